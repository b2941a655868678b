// The stand-in multi-line edit base (see com_memo_standin.h).
#include "classlib/controls/com_memo_standin.h"

#include "classlib/controls/com_util.h"

KARO_CLASS_INFO(TMemoStandInStrings, TWideStrings)

std::vector<WideString> TMemoStandInStrings::Split() const {
  WideString text = memo_->Text();
  std::vector<WideString> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

void TMemoStandInStrings::Join(const std::vector<WideString>& lines) {
  WideString text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += L"\r\n";
    text += lines[i];
  }
  memo_->SetText(text);
}

void TMemoStandInStrings::Store(std::vector<WideString> lines) {
  if (updating_) cache_ = std::move(lines);
  else Join(lines);
}

void TMemoStandInStrings::SetUpdateState(bool updating) {
  if (updating) {
    cache_ = Split();
    updating_ = true;
  } else {
    updating_ = false;
    Join(cache_);
    cache_.clear();
  }
}

WideString TMemoStandInStrings::Get(int index) const {
  if (updating_) {
    if (index < 0 || index >= int(cache_.size())) Error(index);
    return cache_[size_t(index)];
  }
  auto lines = Split();
  if (index < 0 || index >= int(lines.size())) Error(index);
  return lines[size_t(index)];
}

int TMemoStandInStrings::GetCount() const { return updating_ ? int(cache_.size()) : int(Split().size()); }

void TMemoStandInStrings::Put(int index, const WideString& s) {
  auto lines = Lines();
  if (index < 0 || index >= int(lines.size())) Error(index);
  lines[size_t(index)] = s;
  Store(std::move(lines));
}

void TMemoStandInStrings::Insert(int index, const WideString& s) {
  if (updating_) {
    if (index < 0 || index > int(cache_.size())) Error(index);
    cache_.insert(cache_.begin() + index, s);
    return;
  }
  auto lines = Split();
  if (index < 0 || index > int(lines.size())) Error(index);
  lines.insert(lines.begin() + index, s);
  Join(lines);
}

void TMemoStandInStrings::Delete(int index) {
  auto lines = Lines();
  if (index < 0 || index >= int(lines.size())) Error(index);
  lines.erase(lines.begin() + index);
  Store(std::move(lines));
}

void TMemoStandInStrings::Clear() {
  if (updating_) cache_.clear();
  else memo_->SetText(WideString());
}


TMemoStandIn::TMemoStandIn(TComponent* owner)
    : TWinControl(owner), lines_(std::make_unique<TMemoStandInStrings>(this)) {
  SetBounds(0, 0, 185, 89);
  SetTabStop(true);
  SetControlStyle(ControlStyle() & ~TControlStyle(csSetCaption));
}

TMemoStandIn::~TMemoStandIn() = default;

void TMemoStandIn::SetScrollBars(TScrollStyle v) { SetRecreating(this, scrollBars_, v); }

void TMemoStandIn::SetWordWrap(bool v) { SetRecreating(this, wordWrap_, v); }

void TMemoStandIn::SetReadOnly(bool v) {
  readOnly_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, v, 0);
}

void TMemoStandIn::SetBorderStyle(TFormBorderStyle v) {
  if (v != bsNone && v != bsSingle) v = bsSingle;
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  RecreateWnd();
}

void TMemoStandIn::SetMaxLength(int v) {
  maxLength_ = std::max(0, v);
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, WPARAM(maxLength_), 0);
}

void TMemoStandIn::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_LEFT;
  if (!wordWrap_) params.Style |= ES_AUTOHSCROLL;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
  if (readOnly_) params.Style |= ES_READONLY;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  CreateSubClass(params, L"EDIT");
}

void TMemoStandIn::CreateWnd() {
  TWinControl::CreateWnd();
  if (maxLength_) SendMessageW(Handle(), EM_LIMITTEXT, WPARAM(maxLength_), 0);
}

void TMemoStandIn::Change() {
  if (OnChange && FiringEvents()) OnChange(this);
}

void TMemoStandIn::CNCommand(TWMCommand& m) {
  if (m.NotifyCode == EN_CHANGE) Change();
}

KARO_BEGIN_MESSAGE_MAP(TMemoStandIn)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(TMemoStandIn, TWinControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Color(), TControlProps::Font(),
                 TControlProps::ParentColor(), TControlProps::ParentFont(), TControlProps::Enabled(),
                 TControlProps::TabOrder(), TControlProps::TabStop(), TControlProps::Visible(),
                 Prop("Lines", &TMemoStandIn::Lines, &TMemoStandIn::SetLines),
                 Prop("ScrollBars", &TMemoStandIn::ScrollBars, &TMemoStandIn::SetScrollBars).Default(ssNone),
                 Prop("WordWrap", &TMemoStandIn::WordWrap, &TMemoStandIn::SetWordWrap).Default(1),
                 Prop("ReadOnly", &TMemoStandIn::ReadOnly, &TMemoStandIn::SetReadOnly).Default(0),
                 Prop("BorderStyle", &TMemoStandIn::BorderStyle, &TMemoStandIn::SetBorderStyle).Default(bsSingle),
                 Prop("MaxLength", &TMemoStandIn::MaxLength, &TMemoStandIn::SetMaxLength).Default(0),
                 Prop("OnChange", &TMemoStandIn::OnChange, &TMemoStandIn::OnChange))
