#include "classlib/db/dbctrls.h"

// --- TDBEditorLink ---

TDBEditorLink::TDBEditorLink(TWinControl* control, std::function<WideString()> getText,
                             std::function<void(const WideString&)> setText)
    : control_(control), getText_(std::move(getText)), setText_(std::move(setText)) {
  OnDataChange = [this](TObject*) { ShowField(); };
  OnUpdateData = [this](TObject*) { WriteField(); };
}

void TDBEditorLink::ShowField() {
  TField* f = Field();
  WideString text = f ? f->AsString() : WideString();
  if (getText_() == text) return;
  showing_ = true;
  try {
    setText_(text);
  } catch (...) {
    showing_ = false;
    throw;
  }
  showing_ = false;
}

void TDBEditorLink::ControlChanged() {
  if (!showing_) Modified();
}

bool TDBEditorLink::CanEditByKey() { return CanModify() && Edit(); }

void TDBEditorLink::WriteField() {
  TField* f = Field();
  if (!f || !Editing()) return;
  WideString text = getText_();
  if (f->AsString() == text && !(f->IsNull() && f->DataType() == ftWideString && text.empty())) return;
  f->SetAsString(text);
}

namespace {

// Keys that change an edit's text: characters, backspace, and cut and paste.
bool IsEditingChar(wchar_t key) { return key >= 32 || key == 8 || key == 22 || key == 24; }

// The keys that choose another item of a combo box's list.
bool ListKey(TObject* control, WORD key) {
  return control->Is<TCustomComboBox>() && (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT);
}

}  // namespace

#define KARO_DB_EDITOR_COMMON(Cls, Base)                                                  \
  void Cls::Notification(TComponent* c, TOperation op) {                                 \
    Base::Notification(c, op);                                                            \
    if (op == opRemove && c == link_.DataSource()) link_.SetDataSource(nullptr);         \
  }                                                                                       \
  void Cls::Change() {                                                                    \
    link_.ControlChanged();                                                               \
    Base::Change();                                                                       \
  }                                                                                       \
  void Cls::KeyDown(WORD& key, TShiftState shift) {                                       \
    Base::KeyDown(key, shift);                                                            \
    if ((key == VK_DELETE || (key == VK_INSERT && shift.Contains(ssShift)) || ListKey(this, key)) && !link_.CanEditByKey()) \
      key = 0;                                                                            \
  }                                                                                       \
  void Cls::KeyPress(wchar_t& key) {                                                      \
    Base::KeyPress(key);                                                                  \
    if (key == 27) {                                                                      \
      link_.Reset();                                                                      \
      return;                                                                             \
    }                                                                                     \
    if (key && IsEditingChar(key) && !link_.CanEditByKey()) {                            \
      MessageBeep(0);                                                                     \
      key = 0;                                                                            \
    }                                                                                     \
  }                                                                                       \
  void Cls::DoExit() {                                                                    \
    link_.WriteField();                                                                   \
    Base::DoExit();                                                                       \
  }

// --- TDBEdit ---

TDBEdit::TDBEdit(TComponent* owner)
    : TCustomEdit(owner), link_(this, [this] { return Text(); }, [this](const WideString& t) { SetText(t); }) {}

KARO_DB_EDITOR_COMMON(TDBEdit, TCustomEdit)

// --- TDBComboBox ---

TDBComboBox::TDBComboBox(TComponent* owner)
    : TCustomComboBox(owner), link_(this, [this] { return Text(); }, [this](const WideString& t) { SetText(t); }) {}

KARO_DB_EDITOR_COMMON(TDBComboBox, TCustomComboBox)

void TDBComboBox::DropDown() {
  // Choosing from the list edits the record as typing does.
  link_.CanEditByKey();
  TCustomComboBox::DropDown();
}

// --- TDBRichEdit ---

TDBRichEdit::TDBRichEdit(TComponent* owner)
    : TCustomRichEdit(owner), link_(this, [this] { return Text(); }, [this](const WideString& t) { SetText(t); }) {}

KARO_DB_EDITOR_COMMON(TDBRichEdit, TCustomRichEdit)

// --- Published properties ---

using P = TControlProps;
#define KARO_DB_BOUNDS P::Left(), P::Top(), P::Width(), P::Height()
#define KARO_DB_KEYS P::OnEnter(), P::OnExit(), P::OnKeyDown(), P::OnKeyPress(), P::OnKeyUp()
#define KARO_DB_MOUSE P::OnMouseDown(), P::OnMouseEnter(), P::OnMouseLeave(), P::OnMouseMove(), P::OnMouseUp()

KARO_CLASS_PROPS(TDBEdit, TCustomEdit, KARO_DB_BOUNDS, P::Align(),
                 Prop("AutoSelect", &TDBEdit::AutoSelect, &TDBEdit::SetAutoSelect).Default(1), P::BiDiMode(),
                 Prop("BorderStyle", &TDBEdit::BorderStyle, &TDBEdit::SetBorderStyle).Default(bsSingle),
                 Prop("CharCase", &TDBEdit::CharCase, &TDBEdit::SetCharCase).Default(ecNormal), P::Color(),
                 Prop("DataField", &TDBEdit::DataField, &TDBEdit::SetDataField),
                 Prop("DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource), P::Font(), P::ParentColor(),
                 P::ParentFont(), P::Cursor(), P::Enabled(), P::Hint(),
                 Prop("MaxLength", &TDBEdit::MaxLength, &TDBEdit::SetMaxLength).Default(0), P::ParentBiDiMode(),
                 P::PopupMenu(), Prop("ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly).Default(0), P::ShowHint(),
                 P::TabOrder(), P::TabStop(), P::Visible(), Prop("OnChange", &TDBEdit::OnChange, &TDBEdit::OnChange),
                 P::OnClick(), P::OnDblClick(), KARO_DB_KEYS, KARO_DB_MOUSE)

KARO_CLASS_PROPS(TDBComboBox, TCustomComboBox, KARO_DB_BOUNDS, P::Align(),
                 Prop("Style", &TDBComboBox::Style, &TDBComboBox::SetStyle).Default(csDropDown), P::BiDiMode(),
                 Prop("CharCase", &TDBComboBox::CharCase, &TDBComboBox::SetCharCase).Default(ecNormal), P::Color(),
                 Prop("DataField", &TDBComboBox::DataField, &TDBComboBox::SetDataField),
                 Prop("DataSource", &TDBComboBox::DataSource, &TDBComboBox::SetDataSource),
                 Prop("DropDownCount", &TDBComboBox::DropDownCount, &TDBComboBox::SetDropDownCount).Default(8),
                 P::Font(), P::ParentColor(), P::ParentFont(), P::Cursor(), P::Enabled(), P::Hint(),
                 Prop("ItemHeight", &TDBComboBox::ItemHeight, &TDBComboBox::SetItemHeight).Default(16),
                 Prop("Items", &TDBComboBox::Items, &TDBComboBox::SetItems), P::ParentBiDiMode(), P::PopupMenu(),
                 Prop("ReadOnly", &TDBComboBox::ReadOnly, &TDBComboBox::SetReadOnly).Default(0), P::ShowHint(),
                 Prop("Sorted", &TDBComboBox::Sorted, &TDBComboBox::SetSorted).Default(0), P::TabOrder(),
                 P::TabStop(), P::Visible(), Prop("OnChange", &TDBComboBox::OnChange, &TDBComboBox::OnChange),
                 P::OnClick(), P::OnDblClick(),
                 Prop("OnDropDown", &TDBComboBox::OnDropDown, &TDBComboBox::OnDropDown), KARO_DB_KEYS)

KARO_CLASS_PROPS(TDBRichEdit, TCustomRichEdit, KARO_DB_BOUNDS, P::Align(), P::BiDiMode(),
                 Prop("BorderStyle", &TDBRichEdit::BorderStyle, &TDBRichEdit::SetBorderStyle).Default(bsSingle),
                 P::Color(), Prop("DataField", &TDBRichEdit::DataField, &TDBRichEdit::SetDataField),
                 Prop("DataSource", &TDBRichEdit::DataSource, &TDBRichEdit::SetDataSource), P::Font(),
                 P::ParentColor(), P::ParentFont(), P::Enabled(), P::Hint(),
                 Prop("HideScrollBars", &TDBRichEdit::HideScrollBars, &TDBRichEdit::SetHideScrollBars).Default(1),
                 Prop("MaxLength", &TDBRichEdit::MaxLength, &TDBRichEdit::SetMaxLength).Default(0),
                 P::ParentBiDiMode(), Prop("PlainText", &TDBRichEdit::PlainText, &TDBRichEdit::SetPlainText).Default(0),
                 P::PopupMenu(), Prop("ReadOnly", &TDBRichEdit::ReadOnly, &TDBRichEdit::SetReadOnly).Default(0),
                 Prop("ScrollBars", &TDBRichEdit::ScrollBars, &TDBRichEdit::SetScrollBars).Default(ssNone),
                 P::ShowHint(), P::TabOrder(), P::TabStop(), P::Visible(),
                 Prop("WantReturns", &TDBRichEdit::WantReturns, &TDBRichEdit::SetWantReturns).Default(1),
                 Prop("WantTabs", &TDBRichEdit::WantTabs, &TDBRichEdit::SetWantTabs).Default(0),
                 Prop("WordWrap", &TDBRichEdit::WordWrap, &TDBRichEdit::SetWordWrap).Default(1),
                 Prop("OnChange", &TDBRichEdit::OnChange, &TDBRichEdit::OnChange), P::OnClick(), P::OnDblClick(),
                 KARO_DB_KEYS, KARO_DB_MOUSE)
