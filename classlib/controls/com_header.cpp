// The header control over "SysHeader32" with its sections.
#include "classlib/controls/com_util.h"
#include "classlib/controls/comctrls.h"

// --- THeaderSection ---

THeaderSection::THeaderSection(TCollection* collection) : TCollectionItem(collection) {}

void THeaderSection::SetText(const WideString& v) {
  if (text_ == v) return;
  text_ = v;
  Changed(false);
}

void THeaderSection::SetWidth(int v) {
  v = std::clamp(v, minWidth_, std::max(minWidth_, maxWidth_));
  if (width_ == v) return;
  width_ = v;
  Changed(true);
}

void THeaderSection::SetMinWidth(int v) {
  minWidth_ = std::max(0, v);
  if (width_ < minWidth_) SetWidth(minWidth_);
}

void THeaderSection::SetMaxWidth(int v) {
  maxWidth_ = std::max(minWidth_, v);
  if (width_ > maxWidth_) SetWidth(maxWidth_);
}

void THeaderSection::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Changed(false);
}

void THeaderSection::SetStyle(THeaderSectionStyle v) {
  if (style_ == v) return;
  style_ = v;
  Changed(false);
}

void THeaderSection::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  Changed(false);
}

int THeaderSection::Left() const {
  int x = 0;
  if (TCollection* c = Collection())
    for (int i = 0; i < Index(); ++i) x += static_cast<THeaderSection*>(c->Items(i))->width_;
  return x;
}

void THeaderSection::Assign(TPersistent* source) {
  if (auto* s = dyn<THeaderSection>(source)) {
    text_ = s->text_;
    width_ = s->width_;
    minWidth_ = s->minWidth_;
    maxWidth_ = s->maxWidth_;
    alignment_ = s->alignment_;
    style_ = s->style_;
    allowClick_ = s->allowClick_;
    imageIndex_ = s->imageIndex_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

KARO_CLASS_PROPS(THeaderSection, TCollectionItem,
                 Prop("Alignment", &THeaderSection::Alignment, &THeaderSection::SetAlignment).Default(taLeftJustify),
                 Prop("AllowClick", &THeaderSection::AllowClick, &THeaderSection::SetAllowClick).Default(1),
                 Prop("ImageIndex", &THeaderSection::ImageIndex, &THeaderSection::SetImageIndex).Default(-1),
                 Prop("MaxWidth", &THeaderSection::MaxWidth, &THeaderSection::SetMaxWidth).Default(10000),
                 Prop("MinWidth", &THeaderSection::MinWidth, &THeaderSection::SetMinWidth).Default(0),
                 Prop("Style", &THeaderSection::Style, &THeaderSection::SetStyle).Default(hsText),
                 Prop("Text", &THeaderSection::Text, &THeaderSection::SetText),
                 Prop("Width", &THeaderSection::Width, &THeaderSection::SetWidth))

THeaderSections::THeaderSections(THeaderControl* header)
    : TControlCollection(header, THeaderSection::StaticClass(), [header] { header->UpdateSections(); }) {}

KARO_CLASS_INFO(THeaderSections, TControlCollection)

// --- THeaderControl ---

THeaderControl::THeaderControl(TComponent* owner)
    : TWinControl(owner), sections_(std::make_unique<THeaderSections>(this)) {
  SetBounds(0, 0, 200, 17);
  SetAlign(alTop);
  SetColor(clBtnFace);
}

THeaderControl::~THeaderControl() {
  sections_->BeginUpdate();
  sections_.reset();
}

void THeaderControl::SetImages(TCustomImageList* v) {
  SetFreeNotified(this, images_, v);
  if (HandleAllocated()) SendMessageW(Handle(), HDM_SETIMAGELIST, 0, LPARAM(images_ ? images_->Handle() : nullptr));
}

void THeaderControl::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op == opRemove && c == images_) SetImages(nullptr);
}

void THeaderControl::SetHotTrack(bool v) { SetRecreating(this, hotTrack_, v); }

void THeaderControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= HDS_HORZ | HDS_BUTTONS | HDS_FULLDRAG;
  if (hotTrack_) params.Style |= HDS_HOTTRACK;
  CreateSubClass(params, WC_HEADERW);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void THeaderControl::CreateWnd() {
  TWinControl::CreateWnd();
  if (images_) SendMessageW(Handle(), HDM_SETIMAGELIST, 0, LPARAM(images_->Handle()));
  UpdateSections();
}

void THeaderControl::UpdateSections() {
  if (!HandleAllocated() || !sections_) return;
  HWND wnd = Handle();
  while (SendMessageW(wnd, HDM_GETITEMCOUNT, 0, 0) > 0)
    if (!SendMessageW(wnd, HDM_DELETEITEM, 0, 0)) break;
  for (int i = 0; i < sections_->Count(); ++i) {
    THeaderSection* s = sections_->Items(i);
    WideString text = s->Text();
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = text.data();
    item.cxy = s->Width();
    item.fmt = s->Alignment() == taRightJustify ? HDF_RIGHT : s->Alignment() == taCenter ? HDF_CENTER : HDF_LEFT;
    item.fmt |= s->Style() == hsOwnerDraw ? HDF_OWNERDRAW : HDF_STRING;
    if (s->ImageIndex() >= 0 && images_) {
      item.mask |= HDI_IMAGE;
      item.fmt |= HDF_IMAGE;
      item.iImage = s->ImageIndex();
    }
    SendMessageW(wnd, HDM_INSERTITEMW, WPARAM(i), LPARAM(&item));
  }
}

void THeaderControl::CNNotify(TWMNotify& m) {
  m.Result = 0;
  UINT code = m.NMHdr->code;
  // Only the item notifications carry an NMHEADER; the others are read no further.
  bool itemNote = code == HDN_ITEMCLICKW || code == HDN_ITEMCLICKA || code == HDN_ITEMCHANGINGW ||
                  code == HDN_ITEMCHANGINGA || code == HDN_ITEMCHANGEDW || code == HDN_ITEMCHANGEDA;
  if (!itemNote) return;
  auto* n = reinterpret_cast<NMHEADERW*>(m.NMHdr);
  bool known = n->iItem >= 0 && n->iItem < sections_->Count();
  THeaderSection* section = known ? sections_->Items(n->iItem) : nullptr;
  switch (code) {
    case HDN_ITEMCLICKW:
    case HDN_ITEMCLICKA:
      if (section && section->AllowClick() && OnSectionClick && FiringEvents()) OnSectionClick(this, section);
      break;
    case HDN_ITEMCHANGINGW:
    case HDN_ITEMCHANGINGA:
      // A width beyond the section's limits is refused.
      if (section && n->pitem && (n->pitem->mask & HDI_WIDTH))
        m.Result = n->pitem->cxy < section->MinWidth() || n->pitem->cxy > section->MaxWidth();
      break;
    case HDN_ITEMCHANGEDW:
    case HDN_ITEMCHANGEDA:
      if (section && n->pitem && (n->pitem->mask & HDI_WIDTH) && n->pitem->cxy != section->width_) {
        // Taken over without writing it back to the window that reported it.
        section->width_ = n->pitem->cxy;
        if (OnSectionResize && FiringEvents()) OnSectionResize(this, section);
      }
      break;
    default: break;
  }
}

KARO_BEGIN_MESSAGE_MAP(THeaderControl)
  KARO_MESSAGE(CN_NOTIFY, CNNotify)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(THeaderControl, TWinControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Font(), TControlProps::ParentFont(),
                 TControlProps::Enabled(), TControlProps::Hint(), TControlProps::ShowHint(),
                 TControlProps::Visible(),
                 Prop("HotTrack", &THeaderControl::HotTrack, &THeaderControl::SetHotTrack).Default(0),
                 Prop("Images", &THeaderControl::Images, &THeaderControl::SetImages),
                 Prop("Sections", &THeaderControl::Sections, &THeaderControl::SetSections),
                 Prop("OnSectionClick", &THeaderControl::OnSectionClick, &THeaderControl::OnSectionClick),
                 Prop("OnSectionResize", &THeaderControl::OnSectionResize, &THeaderControl::OnSectionResize))
