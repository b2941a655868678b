#include "classlib/db/dbgrids.h"

#include <algorithm>
#include <array>

// --- The grid's links to its data and its editor ---

class TGridDataLink : public TDataLink {
public:
  explicit TGridDataLink(TDBGrid* grid) : grid_(grid) {}

protected:
  void ActiveChanged() override { grid_->LinkChanged(); }
  void DataSetChanged() override { grid_->LinkChanged(); }
  void DataSetScrolled(int) override { grid_->LinkChanged(); }
  void RecordChanged(TField*) override {
    if (grid_->HandleAllocated()) grid_->Invalidate();
  }
  void EditingChanged() override {
    if (grid_->HandleAllocated()) grid_->Invalidate();
  }
  void UpdateData() override { grid_->WriteEditor(); }

private:
  TDBGrid* grid_;
};

// The edit that shows over a cell while it is edited.
class TInplaceEdit : public TCustomEdit {
  KARO_CLASS(TInplaceEdit)
public:
  TInplaceEdit(TDBGrid* grid) : TCustomEdit(grid), grid_(grid) {
    SetBorderStyle(bsNone);
    SetParentFont(true);
    SetTabStop(false);
    SetAutoSelect(false);
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
      return;
    }
    TCustomEdit::Dispatch(m);
  }

protected:
  void Change() override {
    if (!grid_->settingEditor_) grid_->editorModified_ = true;
    TCustomEdit::Change();
  }
  void KeyDown(WORD& key, TShiftState shift) override {
    TCustomEdit::KeyDown(key, shift);
    TDataSet* ds = grid_->DataSet();
    switch (key) {
      case VK_ESCAPE:
        key = 0;
        grid_->HideEditor();
        if (ds) ds->Cancel();
        grid_->SetFocus();
        break;
      case VK_RETURN:
        key = 0;
        grid_->WriteEditor();
        if (ds) ds->Post();
        grid_->HideEditor();
        grid_->SetFocus();
        break;
      case VK_UP:
      case VK_DOWN:
      case VK_PRIOR:
      case VK_NEXT:
      case VK_TAB: {
        WORD k = key;
        key = 0;
        grid_->WriteEditor();
        grid_->HideEditor();
        grid_->SetFocus();
        grid_->KeyDown(k, shift);
        break;
      }
      default: break;
    }
  }
  void KeyPress(wchar_t& key) override {
    TCustomEdit::KeyPress(key);
    // Enter, Escape and Tab are the grid's, not text.
    if (key == 13 || key == 27 || key == 9) key = 0;
  }
  void DoExit() override {
    grid_->WriteEditor();
    TCustomEdit::DoExit();
  }

private:
  TDBGrid* grid_;
};

KARO_CLASS_INFO(TInplaceEdit, TCustomEdit)

namespace {

WideString CellText(TField* field, const Variant& stored) {
  if (!field) return L"";
  Variant v = FieldValueOf(field->DataType(), stored);
  if (v.IsNull() || v.IsEmpty()) return L"";
  if (v.VarType() == varDate) return DateTimeToStr(v.AsDate());
  return v.AsWideString();
}

constexpr TColor kLineColor = TColor(0xC0C0C0);

}  // namespace

// --- TColumnTitle ---

WideString TColumnTitle::Caption() const { return caption_.empty() ? column_->FieldName() : caption_; }

void TColumnTitle::SetCaption(const WideString& v) {
  caption_ = v;
  column_->Changed();
}

void TColumnTitle::SetAlignment(TAlignment v) {
  alignment_ = v;
  column_->Changed();
}

void TColumnTitle::Assign(TPersistent* source) {
  if (auto* t = dyn<TColumnTitle>(source)) {
    caption_ = t->caption_;
    alignment_ = t->alignment_;
    font_.Assign(&t->font_);
    column_->Changed();
    return;
  }
  TPersistent::Assign(source);
}

TPersistent* TColumnTitle::GetOwner() { return column_; }

KARO_CLASS_PROPS(TColumnTitle, TPersistent,
                 Prop("Alignment", &TColumnTitle::Alignment, &TColumnTitle::SetAlignment).Default(taLeftJustify),
                 Prop("Caption", &TColumnTitle::Caption, &TColumnTitle::SetCaption),
                 Prop("Font", &TColumnTitle::Font, &TColumnTitle::SetFont))

// --- TColumn ---

TColumn::TColumn(TCollection* c) : TCollectionItem(c), title_(std::make_unique<TColumnTitle>(this)) {}
TColumn::~TColumn() = default;

void TColumn::SetFieldName(const WideString& v) {
  fieldName_ = v;
  Changed();
}
void TColumn::SetWidth(int v) {
  width_ = std::max(0, v);
  Changed();
}
void TColumn::SetAlignment(TAlignment v) {
  alignment_ = v;
  Changed();
}
void TColumn::SetVisible(bool v) {
  visible_ = v;
  Changed();
}

TDBGrid* TColumn::Grid() const {
  auto* cols = dyn<TDBGridColumns>(Collection());
  return cols ? cols->Grid() : nullptr;
}

TField* TColumn::Field() const {
  TDBGrid* g = Grid();
  TDataSet* ds = g ? g->DataSet() : nullptr;
  return ds && ds->Active() ? ds->FindField(fieldName_) : nullptr;
}

void TColumn::Assign(TPersistent* source) {
  if (auto* c = dyn<TColumn>(source)) {
    fieldName_ = c->fieldName_;
    title_->Assign(c->title_.get());
    width_ = c->width_;
    alignment_ = c->alignment_;
    readOnly_ = c->readOnly_;
    visible_ = c->visible_;
    expanded_ = c->expanded_;
    Changed();
    return;
  }
  TCollectionItem::Assign(source);
}

KARO_CLASS_PROPS(TColumn, TCollectionItem,
                 Prop("Alignment", &TColumn::Alignment, &TColumn::SetAlignment).Default(taLeftJustify),
                 Prop("Expanded", &TColumn::Expanded, &TColumn::SetExpanded).Default(1),
                 Prop("FieldName", &TColumn::FieldName, &TColumn::SetFieldName),
                 Prop("ReadOnly", &TColumn::ReadOnly, &TColumn::SetReadOnly).Default(0),
                 Prop("Title", &TColumn::Title, &TColumn::SetTitle),
                 Prop("Visible", &TColumn::Visible, &TColumn::SetVisible).Default(1),
                 Prop("Width", &TColumn::Width, &TColumn::SetWidth).Default(64))

// --- TDBGridColumns ---

TDBGridColumns::TDBGridColumns(TDBGrid* grid) : TOwnedCollection(grid, TColumn::StaticClass()), grid_(grid) {}

void TDBGridColumns::Update(TCollectionItem*) {
  if (grid_->HandleAllocated()) {
    grid_->UpdateScrollBars();
    grid_->Invalidate();
  }
}

KARO_CLASS_INFO(TDBGridColumns, TOwnedCollection)

// --- TDBGrid ---

std::function<bool(TDBGrid*)> TDBGrid::ConfirmDelete = [](TDBGrid* grid) {
  return MessageBoxW(grid->HandleAllocated() ? grid->Handle() : nullptr, L"Delete record?", L"Confirm",
                     MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
};

TDBGrid::TDBGrid(TComponent* owner)
    : TCustomControl(owner),
      link_(std::make_unique<TGridDataLink>(this)),
      columns_(std::make_unique<TDBGridColumns>(this)),
      autoColumns_(std::make_unique<TDBGridColumns>(this)) {
  SetBounds(0, 0, 320, 120);
  SetTabStop(true);
  SetColor(clWindow);
  titleFont_.Assign(Font());
  titleFont_.OnChange = [this](TObject*) {
    if (!followingFont_) titleFollowsFont_ = false;
    Invalidate();
  };
}

void TDBGrid::CMFontChanged(TMessage& m) {
  TCustomControl::CMFontChanged(m);
  if (!titleFollowsFont_) return;
  followingFont_ = true;
  titleFont_.Assign(Font());
  followingFont_ = false;
}

TDBGrid::~TDBGrid() { link_->SetDataSource(nullptr); }

TDataSource* TDBGrid::DataSource() const { return link_->DataSource(); }
void TDBGrid::SetDataSource(TDataSource* s) {
  if (s) s->FreeNotification(this);
  link_->SetDataSource(s);
  LinkChanged();
}
TDataSet* TDBGrid::DataSet() const { return link_->DataSet(); }

void TDBGrid::Notification(TComponent* c, TOperation op) {
  TCustomControl::Notification(c, op);
  if (op == opRemove && c == link_->DataSource()) link_->SetDataSource(nullptr);
  if (op == opRemove && c == editor_) editor_ = nullptr;
}

void TDBGrid::SetOptions(TDBGridOptions v) {
  options_ = v;
  if (HandleAllocated()) {
    UpdateScrollBars();
    Invalidate();
  }
}

void TDBGrid::SetFixedColor(TColor c) {
  fixedColor_ = c;
  if (HandleAllocated()) Invalidate();
}

void TDBGrid::SetBorderStyle(TBorderStyle v) {
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TDBGrid::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
  params.WindowClass.style |= CS_DBLCLKS;
}

void TDBGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  vertBar_ = horzBar_ = {-1, -1, -1};
  rowFont_ = titleFontHandle_ = nullptr;
  UpdateScrollBars();
}

int TDBGrid::ColumnCount() const {
  return columns_->Count() > 0 ? columns_->Count() : autoColumns_->Count();
}

TColumn* TDBGrid::ShownColumn(int index) const {
  TDBGridColumns* c = columns_->Count() > 0 ? columns_.get() : autoColumns_.get();
  return index >= 0 && index < c->Count() ? c->Items(index) : nullptr;
}

TField* TDBGrid::SelectedField() const {
  TColumn* c = ShownColumn(selCol_);
  return c ? c->Field() : nullptr;
}

void TDBGrid::SetSelectedIndex(int v) {
  v = std::clamp(v, 0, std::max(0, ColumnCount() - 1));
  if (v == selCol_) return;
  if (OnColExit) OnColExit(this);
  selCol_ = v;
  // Bring the column into view.
  int left = ColumnLeft(selCol_) + hOffset_, width = ShownColumn(selCol_) ? ShownColumn(selCol_)->Width() : 0;
  int area = ClientWidth() - IndicatorWidth();
  if (left - IndicatorWidth() < hOffset_) hOffset_ = left - IndicatorWidth();
  else if (left - IndicatorWidth() + width > hOffset_ + area) hOffset_ = left - IndicatorWidth() + width - area;
  hOffset_ = std::max(0, hOffset_);
  UpdateScrollBars();
  if (HandleAllocated()) Invalidate();
  if (OnColEnter) OnColEnter(this);
}

// Text heights are measured once per font: the fonts' handles tell when they change.
int TDBGrid::RowHeight() {
  if (!HandleAllocated()) return 18;
  HFONT f = Font()->Handle();
  if (f != rowFont_) {
    Canvas()->SetFont(Font());
    rowHeight_ = Canvas()->TextHeight(L"Wg\u6625") + 3;
    rowFont_ = f;
  }
  return rowHeight_;
}

int TDBGrid::TitleHeight() {
  if (!options_.Contains(dgTitles)) return 0;
  if (!HandleAllocated()) return 19;
  HFONT f = titleFont_.Handle();
  if (f != titleFontHandle_) {
    Canvas()->SetFont(&titleFont_);
    titleHeight_ = Canvas()->TextHeight(L"Wg\u6625") + 4;
    titleFontHandle_ = f;
  }
  return titleHeight_;
}

int TDBGrid::VisibleRowCount() {
  int h = ClientHeight() - TitleHeight();
  return std::max(1, h / std::max(1, RowHeight()));
}

int TDBGrid::ColumnLeft(int column) {
  int x = IndicatorWidth() - hOffset_;
  for (int i = 0; i < column; ++i)
    if (ShownColumn(i)->Visible()) x += ShownColumn(i)->Width();
  return x;
}

int TDBGrid::ColumnAt(int x) {
  int left = IndicatorWidth() - hOffset_;
  if (x < IndicatorWidth()) return -1;
  for (int i = 0; i < ColumnCount(); ++i) {
    TColumn* c = ShownColumn(i);
    if (!c->Visible()) continue;
    if (x >= left && x < left + c->Width()) return i;
    left += c->Width();
  }
  return -1;
}

int TDBGrid::ResizeColumnAt(int x, int y) {
  if (!options_.Contains(dgColumnResize) || y >= TitleHeight() || !options_.Contains(dgTitles)) return -1;
  int left = IndicatorWidth() - hOffset_;
  for (int i = 0; i < ColumnCount(); ++i) {
    TColumn* c = ShownColumn(i);
    if (!c->Visible()) continue;
    left += c->Width();
    if (std::abs(x - left) <= 2) return i;
  }
  return -1;
}

TRect TDBGrid::CellRect(int record, int column) {
  int y = TitleHeight() + (record - top_) * RowHeight();
  int x = ColumnLeft(column);
  TColumn* c = ShownColumn(column);
  return TRect{x, y, x + (c ? c->Width() : 0), y + RowHeight()};
}

HWND TDBGrid::EditorHandle() const { return editor_ && editorShown_ && editor_->HandleAllocated() ? editor_->Handle() : nullptr; }

void TDBGrid::LinkChanged() {
  TDataSet* ds = DataSet();
  bool active = ds && ds->Active();
  if (!active) {
    top_ = 0;
    if (editorShown_) HideEditor();
  }
  // Without columns of its own the grid shows every field.
  if (columns_->Count() == 0) {
    bool same = active && autoColumns_->Count() == ds->FieldCount();
    for (int i = 0; same && i < ds->FieldCount(); ++i)
      same = SameText(autoColumns_->Items(i)->FieldName(), ds->Fields(i)->FieldName());
    if (!same) {
      autoColumns_->BeginUpdate();
      autoColumns_->Clear();
      if (active)
        for (int i = 0; i < ds->FieldCount(); ++i) autoColumns_->Add()->SetFieldName(ds->Fields(i)->FieldName());
      autoColumns_->EndUpdate();
    }
  }
  if (active) ScrollToCurrent();
  if (editorShown_ && ds && ds->State() == dsBrowse && !editorModified_) {
    settingEditor_ = true;
    TField* f = SelectedField();
    editor_->SetText(f ? f->AsString() : WideString());
    settingEditor_ = false;
  }
  if (HandleAllocated()) {
    UpdateScrollBars();
    Invalidate();
    if (editorShown_) PlaceEditor();
  }
}

void TDBGrid::ScrollToCurrent() {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active()) return;
  int cur = ds->ActiveIndex();
  int n = ds->RecordCount() + (ds->State() == dsInsert ? 1 : 0);
  int vis = HandleAllocated() ? VisibleRowCount() : 1;
  if (cur < top_) top_ = cur;
  if (cur >= top_ + vis) top_ = cur - vis + 1;
  top_ = std::clamp(top_, 0, std::max(0, n - vis));
  if (cur >= 0 && cur < top_) top_ = cur;
}

void TDBGrid::UpdateScrollBars() {
  if (!HandleAllocated() || updatingScrollBars_) return;
  updatingScrollBars_ = true;
  TDataSet* ds = DataSet();
  int n = ds && ds->Active() ? ds->RecordCount() + (ds->State() == dsInsert ? 1 : 0) : 0;
  // A scroll bar is set only when it changes: each setting redraws it. The vertical bar stays,
  // disabled while every row shows; the horizontal one shows only while columns are hidden.
  auto set = [this](int bar, int max, int page, int pos, std::array<int, 3>& last, UINT keep) {
    if (last == std::array<int, 3>{max, page, pos}) return;
    last = {max, page, pos};
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL | keep;
    si.nMax = max;
    si.nPage = UINT(page);
    si.nPos = pos;
    SetScrollInfo(Handle(), bar, &si, TRUE);
  };
  auto vertical = [&] { set(SB_VERT, std::max(0, n - 1), VisibleRowCount(), top_, vertBar_, SIF_DISABLENOSCROLL); };
  vertical();
  int total = IndicatorWidth();
  for (int i = 0; i < ColumnCount(); ++i)
    if (ShownColumn(i)->Visible()) total += ShownColumn(i)->Width();
  hOffset_ = std::clamp(hOffset_, 0, std::max(0, total - ClientWidth()));
  const int height = ClientHeight();
  set(SB_HORZ, std::max(0, total - 1), std::max(0, ClientWidth()), hOffset_, horzBar_, 0);
  // The horizontal bar came or went: the rows that fit changed with the client height.
  if (ClientHeight() != height) vertical();
  updatingScrollBars_ = false;
}

void TDBGrid::Resize() {
  TCustomControl::Resize();
  ScrollToCurrent();
  UpdateScrollBars();
  if (editorShown_) PlaceEditor();
}

void TDBGrid::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  TDataSet* ds = DataSet();
  bool active = ds && ds->Active();
  int rowH = RowHeight(), titleH = TitleHeight(), ind = IndicatorWidth();
  c->Brush()->SetColor(Color());
  c->FillRect(client);
  c->Pen()->SetColor(kLineColor);
  auto alignedText = [&](const TRect& r, TAlignment a, const WideString& text) {
    int w = c->TextWidth(text), x = r.Left + 2;
    if (a == taRightJustify) x = r.Right - 3 - w;
    else if (a == taCenter) x = r.Left + (r.Width() - w) / 2;
    TRect clip{r.Left + 1, r.Top, r.Right - 1, r.Bottom};
    c->TextRect(clip, x, r.Top + 2, text);
  };
  auto fixedCell = [&](const TRect& r) {
    c->Brush()->SetColor(fixedColor_);
    c->FillRect(r);
    RECT rr{r.Left, r.Top, r.Right, r.Bottom};
    DrawEdge(c->Handle(), &rr, BDR_RAISEDINNER, BF_RECT);
  };
  // Titles.
  if (titleH > 0) {
    c->SetFont(&titleFont_);
    if (ind) fixedCell(TRect{0, 0, ind, titleH});
    for (int i = 0; i < ColumnCount(); ++i) {
      TColumn* col = ShownColumn(i);
      if (!col->Visible()) continue;
      TRect r = CellRect(top_, i);
      r.Top = 0;
      r.Bottom = titleH;
      if (r.Right <= ind || r.Left >= client.Right) continue;
      // A title scrolled partly under the indicator is drawn only beside it.
      const int save = SaveDC(c->Handle());
      IntersectClipRect(c->Handle(), std::max(r.Left, ind), r.Top, r.Right, r.Bottom);
      fixedCell(r);
      c->Brush()->SetStyle(bsClear);
      alignedText(r, col->Title()->Alignment(), col->Title()->Caption());
      c->Brush()->SetStyle(bsSolid);
      RestoreDC(c->Handle(), save);
      c->Refresh();
    }
  }
  if (!active) return;
  // Rows: only those that show are read.
  c->SetFont(Font());
  int n = ds->RecordCount() + (ds->State() == dsInsert ? 1 : 0);
  int cur = ds->ActiveIndex();
  bool showSel = Focused() || options_.Contains(dgAlwaysShowSelection) || EditorMode();
  std::vector<TField*> fields;
  for (int i = 0; i < ColumnCount(); ++i) fields.push_back(ShownColumn(i)->Field());
  for (int rec = top_, y = titleH; rec < n && y < client.Bottom; ++rec, y += rowH) {
    std::vector<Variant> values = ds->RecordValues(rec);
    if (ind) {
      TRect r{0, y, ind, y + rowH};
      fixedCell(r);
      if (rec == cur) {
        c->Brush()->SetColor(clWindowText);
        c->Pen()->SetColor(clWindowText);
        int my = y + rowH / 2;
        if (ds->State() == dsBrowse) c->Polygon({{3, my - 4}, {7, my}, {3, my + 4}});
        else if (ds->State() == dsEdit) c->Rectangle(4, my - 4, 6, my + 5);
        else c->Rectangle(2, my - 1, 9, my + 2);
        c->Pen()->SetColor(kLineColor);
      }
    }
    for (int i = 0; i < ColumnCount(); ++i) {
      TColumn* col = ShownColumn(i);
      if (!col->Visible()) continue;
      TRect r = CellRect(rec, i);
      if (r.Right <= ind || r.Left >= client.Right) continue;
      TRect visible{std::max(r.Left, ind), r.Top, r.Right, r.Bottom};
      bool selected = rec == cur && showSel && (i == selCol_ || options_.Contains(dgRowSelect));
      c->Brush()->SetColor(selected ? clHighlight : Color());
      c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
      TRect fill = visible;
      if (options_.Contains(dgColLines)) fill.Right -= 1;
      if (options_.Contains(dgRowLines)) fill.Bottom -= 1;
      c->FillRect(fill);
      WideString text;
      if (fields[size_t(i)] && size_t(fields[size_t(i)]->Index()) < values.size())
        text = CellText(fields[size_t(i)], values[size_t(fields[size_t(i)]->Index())]);
      int save = SaveDC(c->Handle());
      IntersectClipRect(c->Handle(), visible.Left, visible.Top, fill.Right, fill.Bottom);
      c->Brush()->SetStyle(bsClear);
      alignedText(r, col->Alignment(), text);
      c->Brush()->SetStyle(bsSolid);
      RestoreDC(c->Handle(), save);
      c->Refresh();
      c->Font()->SetColor(Font()->Color());
      c->Pen()->SetColor(kLineColor);
      if (options_.Contains(dgColLines)) {
        c->MoveTo(r.Right - 1, r.Top);
        c->LineTo(r.Right - 1, r.Bottom);
      }
      if (options_.Contains(dgRowLines)) {
        c->MoveTo(visible.Left, r.Bottom - 1);
        c->LineTo(r.Right, r.Bottom - 1);
      }
    }
  }
}

bool TDBGrid::CanEditGrid() {
  TDataSet* ds = DataSet();
  return options_.Contains(dgEditing) && !readOnly_ && ds && ds->Active() && ds->CanModify();
}

void TDBGrid::ShowEditor(const WideString* initial) {
  TColumn* col = ShownColumn(selCol_);
  TField* f = SelectedField();
  if (!CanEditGrid() || !col || col->ReadOnly() || !f || !f->CanModify()) return;
  if (!link_->Edit()) return;
  f = SelectedField();  // an empty dataset's edit started a new record
  if (!f) return;
  if (!editor_) {
    editor_ = new TInplaceEdit(this);
    editor_->SetParent(this);
  }
  editorShown_ = true;
  settingEditor_ = true;
  editor_->SetText(initial ? *initial : f->AsString());
  settingEditor_ = false;
  editorModified_ = initial != nullptr;
  PlaceEditor();
  editor_->Show();
  editor_->SetFocus();
  int len = int(editor_->Text().size());
  if (initial) editor_->SetSelStart(len);
  else editor_->SelectAll();
  Invalidate();
}

void TDBGrid::PlaceEditor() {
  TDataSet* ds = DataSet();
  if (!editor_ || !ds) return;
  TRect r = CellRect(ds->ActiveIndex(), selCol_);
  editor_->SetBounds(r.Left + 1, r.Top + 1, std::max(0, r.Width() - 2), std::max(0, r.Height() - 2));
}

void TDBGrid::HideEditor() {
  if (!editorShown_) return;
  editorShown_ = false;
  editorModified_ = false;
  if (editor_) editor_->Hide();
  if (HandleAllocated()) Invalidate();
}

void TDBGrid::SetEditorMode(bool v) {
  if (v) ShowEditor(nullptr);
  else {
    WriteEditor();
    HideEditor();
  }
}

void TDBGrid::WriteEditor() {
  if (!editorShown_ || !editorModified_ || !editor_) return;
  TField* f = SelectedField();
  TDataSet* ds = DataSet();
  if (!f || !ds || (ds->State() != dsEdit && ds->State() != dsInsert)) return;
  editorModified_ = false;
  f->SetAsString(editor_->Text());
}

void TDBGrid::MoveCol(int delta) {
  int n = ColumnCount(), i = selCol_;
  do {
    i += delta;
  } while (i >= 0 && i < n && !ShownColumn(i)->Visible());
  if (i >= 0 && i < n) SetSelectedIndex(i);
}

void TDBGrid::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  TDataSet* ds = DataSet();
  if (key == 0 || !ds || !ds->Active()) return;
  bool ctrl = shift.Contains(ssCtrl);
  switch (key) {
    case VK_UP: ds->Prior(); break;
    case VK_DOWN: ds->Next(); break;
    case VK_PRIOR: ds->MoveBy(-VisibleRowCount()); break;
    case VK_NEXT: ds->MoveBy(VisibleRowCount()); break;
    case VK_HOME:
      if (ctrl) ds->First();
      else SetSelectedIndex(0);
      break;
    case VK_END:
      if (ctrl) ds->Last();
      else SetSelectedIndex(ColumnCount() - 1);
      break;
    case VK_LEFT: MoveCol(-1); break;
    case VK_RIGHT: MoveCol(1); break;
    case VK_TAB:
      if (!options_.Contains(dgTabs)) return;
      MoveCol(shift.Contains(ssShift) ? -1 : 1);
      break;
    case VK_F2:
    case VK_RETURN: ShowEditor(nullptr); break;
    case VK_ESCAPE:
      HideEditor();
      ds->Cancel();
      break;
    case VK_INSERT:
      if (CanEditGrid()) ds->Insert();
      break;
    case VK_DELETE:
      if (ctrl && CanEditGrid() && !ds->IsEmpty() && (!options_.Contains(dgConfirmDelete) || ConfirmDelete(this)))
        ds->Delete();
      break;
    default: return;
  }
  key = 0;
}

void TDBGrid::KeyPress(wchar_t& key) {
  TCustomControl::KeyPress(key);
  if (key >= 32 && CanEditGrid()) {
    WideString first(1, key);
    key = 0;
    ShowEditor(&first);
  }
}

void TDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus() && !Focused()) SetFocus();
  TDataSet* ds = DataSet();
  int resize = button == mbLeft ? ResizeColumnAt(x, y) : -1;
  if (resize >= 0) {
    resizing_ = resize;
    resizeStartX_ = x;
    resizeStartWidth_ = ShownColumn(resize)->Width();
  } else if (ds && ds->Active() && y >= TitleHeight() && x >= IndicatorWidth()) {
    int rec = top_ + (y - TitleHeight()) / RowHeight();
    int col = ColumnAt(x);
    int n = ds->RecordCount() + (ds->State() == dsInsert ? 1 : 0);
    if (rec < n && col >= 0) {
      bool same = rec == ds->ActiveIndex() && col == selCol_;
      if (editorShown_) {
        WriteEditor();
        HideEditor();
      }
      if (rec != ds->ActiveIndex()) ds->MoveTo(rec);
      SetSelectedIndex(col);
      if (same && button == mbLeft && !shift.Contains(ssDouble)) ShowEditor(nullptr);
      else if (shift.Contains(ssDouble)) ShowEditor(nullptr);
      Invalidate();
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TDBGrid::MouseMove(TShiftState shift, int x, int y) {
  if (resizing_ >= 0) {
    ShownColumn(resizing_)->SetWidth(std::max(4, resizeStartWidth_ + x - resizeStartX_));
    if (editorShown_) PlaceEditor();
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TDBGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  resizing_ = -1;
  TCustomControl::MouseUp(button, shift, x, y);
}

void TDBGrid::DoExit() {
  TDataSet* ds = DataSet();
  HWND focus = GetFocus();
  bool toEditor = editor_ && editor_->HandleAllocated() && focus == editor_->Handle();
  if (!toEditor && ds && ds->Active() && options_.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() &&
      !editorModified_) {
    HideEditor();
    ds->Cancel();
  }
  TCustomControl::DoExit();
}

namespace {
// Where the thumb is while it is dragged: the 16-bit position of the message would cut it.
int TrackPos(HWND h, int bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(h, bar, &si);
  return si.nTrackPos;
}
}  // namespace

void TDBGrid::WMVScroll(TWMScroll& m) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active()) return;
  int n = ds->RecordCount() + (ds->State() == dsInsert ? 1 : 0), vis = VisibleRowCount();
  int top = top_;
  switch (m.ScrollCode) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= vis; break;
    case SB_PAGEDOWN: top += vis; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = n; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top = TrackPos(Handle(), SB_VERT); break;
    default: return;
  }
  top = std::clamp(top, 0, std::max(0, n - vis));
  if (top == top_) return;
  top_ = top;
  UpdateScrollBars();
  if (editorShown_) PlaceEditor();
  Invalidate();
}

void TDBGrid::WMHScroll(TWMScroll& m) {
  int x = hOffset_;
  switch (m.ScrollCode) {
    case SB_LINELEFT: x -= 16; break;
    case SB_LINERIGHT: x += 16; break;
    case SB_PAGELEFT: x -= ClientWidth(); break;
    case SB_PAGERIGHT: x += ClientWidth(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: x = TrackPos(Handle(), SB_HORZ); break;
    default: return;
  }
  hOffset_ = std::max(0, x);
  UpdateScrollBars();
  if (editorShown_) PlaceEditor();
  Invalidate();
}

void TDBGrid::WMMouseWheel(TWMMouseWheel& m) {
  TDataSet* ds = DataSet();
  if (ds && ds->Active()) ds->MoveBy(m.WheelDelta > 0 ? -1 : 1);
  m.Result = 1;
}

void TDBGrid::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (options_.Contains(dgTabs) ? DLGC_WANTTAB : 0);
}

void TDBGrid::WMSetCursorGrid(TWMSetCursor& m) {
  POINT p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  if (m.HitTest == HTCLIENT && (resizing_ >= 0 || ResizeColumnAt(p.x, p.y) >= 0)) {
    ::SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
    m.Result = 1;
    return;
  }
  TCustomControl::Dispatch(m.Message);
}

KARO_BEGIN_MESSAGE_MAP(TDBGrid)
  KARO_MESSAGE(WM_VSCROLL, WMVScroll)
  KARO_MESSAGE(WM_HSCROLL, WMHScroll)
  KARO_MESSAGE(WM_GETDLGCODE, WMGetDlgCode)
  KARO_MESSAGE(WM_MOUSEWHEEL, WMMouseWheel)
  KARO_MESSAGE(WM_SETCURSOR, WMSetCursorGrid)
  KARO_MESSAGE(CM_FONTCHANGED, CMFontChanged)
KARO_END_MESSAGE_MAP(TCustomControl)

using P = TControlProps;

KARO_CLASS_PROPS(TDBGrid, TCustomControl, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(), P::BiDiMode(),
                 Prop("BorderStyle", &TDBGrid::BorderStyle, &TDBGrid::SetBorderStyle).Default(bsSingle), P::Color(),
                 Prop("Columns", &TDBGrid::Columns, &TDBGrid::SetColumns),
                 Prop("DataSource", &TDBGrid::DataSource, &TDBGrid::SetDataSource), P::Enabled(),
                 Prop("FixedColor", &TDBGrid::FixedColor, &TDBGrid::SetFixedColor).Default(clBtnFace), P::Font(),
                 Prop("Options", &TDBGrid::Options, &TDBGrid::SetOptions)
                     .Default(int64_t(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                                     dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit}
                                          .Value())),
                 P::ParentBiDiMode(), P::ParentColor(), P::ParentFont(), P::PopupMenu(),
                 Prop("ReadOnly", &TDBGrid::ReadOnly, &TDBGrid::SetReadOnly).Default(0), P::ShowHint(), P::TabOrder(),
                 P::TabStop(), Prop("TitleFont", &TDBGrid::TitleFont, &TDBGrid::SetTitleFont), P::Visible(),
                 Prop("OnColEnter", &TDBGrid::OnColEnter, &TDBGrid::OnColEnter),
                 Prop("OnColExit", &TDBGrid::OnColExit, &TDBGrid::OnColExit), P::OnDblClick(), P::OnEnter(),
                 P::OnExit(), P::OnKeyDown(), P::OnKeyPress(), P::OnKeyUp(), P::OnMouseDown(), P::OnMouseMove(),
                 P::OnMouseUp())
