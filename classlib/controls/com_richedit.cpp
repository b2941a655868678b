// TCustomRichEdit over the system's rich-edit window class: plain and rich text, Lines.
#include <richedit.h>

#include "classlib/controls/com_util.h"
#include "classlib/controls/comctrls.h"

namespace {

// The rich-edit window classes live in their own library, loaded once and kept.
void LoadRichEditLibrary() {
  static HMODULE module = LoadLibraryW(L"riched20.dll");
  if (!module) throw EOSError("The rich edit library cannot be loaded");
}

struct StreamCursor {
  const std::string* in = nullptr;
  size_t pos = 0;
  std::string* out = nullptr;
};

DWORD CALLBACK StreamInProc(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto* c = reinterpret_cast<StreamCursor*>(cookie);
  size_t n = std::min(size_t(std::max<LONG>(count, 0)), c->in->size() - c->pos);
  std::memcpy(buffer, c->in->data() + c->pos, n);
  c->pos += n;
  *done = LONG(n);
  return 0;
}

DWORD CALLBACK StreamOutProc(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto* c = reinterpret_cast<StreamCursor*>(cookie);
  if (count > 0) c->out->append(reinterpret_cast<const char*>(buffer), size_t(count));
  *done = count;
  return 0;
}

bool IsRichText(const std::string& bytes) { return bytes.rfind("{\\rtf", 0) == 0; }

}  // namespace

KARO_CLASS_INFO(TRichEditStrings, TMemoStrings)

TRichEditStrings::TRichEditStrings(TCustomRichEdit* edit) : TMemoStrings(edit), edit_(edit) {}

void TRichEditStrings::LoadFromStream(TStream& stream) {
  if (edit_->PlainText()) {
    TMemoStrings::LoadFromStream(stream);
    return;
  }
  std::string bytes = ReadStreamToEnd(stream);
  if (!IsRichText(bytes)) {
    TMemoryStream plain;
    WriteStreamBytes(plain, bytes);
    plain.SetPosition(0);
    TMemoStrings::LoadFromStream(plain);
    return;
  }
  edit_->SetRichText(bytes);
}

void TRichEditStrings::SaveToStream(TStream& stream) const {
  if (edit_->PlainText()) {
    TMemoStrings::SaveToStream(stream);
    return;
  }
  WriteStreamBytes(stream, edit_->RichText());
}

void TRichEditStrings::LoadFromFile(const WideString& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TRichEditStrings::SaveToFile(const WideString& fileName) const {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}


TCustomRichEdit::TCustomRichEdit(TComponent* owner)
    : TCustomMemo(owner), richLines_(std::make_unique<TRichEditStrings>(this)) {}

TCustomRichEdit::~TCustomRichEdit() = default;

void TCustomRichEdit::SetHideScrollBars(bool v) { SetRecreating(this, hideScrollBars_, v); }

void TCustomRichEdit::CreateParams(TCreateParams& params) {
  LoadRichEditLibrary();
  TCustomMemo::CreateParams(params);
  if (!hideScrollBars_) params.Style |= ES_DISABLENOSCROLL;
  CreateSubClass(params, RICHEDIT_CLASSW);
}

void TCustomRichEdit::CreateWnd() {
  TCustomMemo::CreateWnd();
  SendMessageW(Handle(), EM_SETEVENTMASK, 0, ENM_CHANGE);
  if (hasPendingRtf_) {
    hasPendingRtf_ = false;
    std::string rtf;
    rtf.swap(pendingRtf_);
    SetRichText(rtf);
  }
}

void TCustomRichEdit::DestroyWnd() {
  // The formatting would be lost with the window; the next window gets it back.
  if (HandleAllocated() && !HasState(csDestroying)) {
    pendingRtf_ = RichText();
    hasPendingRtf_ = true;
  }
  TCustomMemo::DestroyWnd();
}

std::string TCustomRichEdit::RichText() {
  std::string out;
  StreamCursor c;
  c.out = &out;
  EDITSTREAM es{DWORD_PTR(&c), 0, StreamOutProc};
  SendMessageW(Handle(), EM_STREAMOUT, SF_RTF, LPARAM(&es));
  return out;
}

void TCustomRichEdit::SetRichText(const std::string& rtf) {
  StreamCursor c;
  c.in = &rtf;
  EDITSTREAM es{DWORD_PTR(&c), 0, StreamInProc};
  SendMessageW(Handle(), EM_STREAMIN, IsRichText(rtf) ? SF_RTF : SF_TEXT, LPARAM(&es));
}

KARO_CLASS_INFO(TCustomRichEdit, TCustomMemo)
KARO_CLASS_PROPS(TRichEdit, TCustomRichEdit, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Color(), TControlProps::Font(),
                 TControlProps::ParentColor(), TControlProps::ParentFont(), TControlProps::Enabled(),
                 TControlProps::TabOrder(), TControlProps::TabStop(), TControlProps::Visible(),
                 Prop("Lines", &TRichEdit::Lines, &TRichEdit::SetLines),
                 Prop("ScrollBars", &TRichEdit::ScrollBars, &TRichEdit::SetScrollBars).Default(ssNone),
                 Prop("WordWrap", &TRichEdit::WordWrap, &TRichEdit::SetWordWrap).Default(1),
                 Prop("ReadOnly", &TRichEdit::ReadOnly, &TRichEdit::SetReadOnly).Default(0),
                 Prop("BorderStyle", &TRichEdit::BorderStyle, &TRichEdit::SetBorderStyle).Default(bsSingle),
                 Prop("MaxLength", &TRichEdit::MaxLength, &TRichEdit::SetMaxLength).Default(0),
                 Prop("PlainText", &TRichEdit::PlainText, &TRichEdit::SetPlainText).Default(0),
                 Prop("HideScrollBars", &TRichEdit::HideScrollBars, &TRichEdit::SetHideScrollBars).Default(1),
                 Prop("OnChange", &TRichEdit::OnChange, &TRichEdit::OnChange))
