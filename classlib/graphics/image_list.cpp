#include "classlib/graphics/image_list.h"

KARO_CLASS_INFO(TCustomImageList, TComponent)
// A form file gives the size; the images are added at run time.
KARO_CLASS_PROPS(TImageList, TCustomImageList,
                 Prop("Height", &TImageList::Height, &TImageList::SetHeight).Default(16),
                 Prop("Width", &TImageList::Width, &TImageList::SetWidth).Default(16))

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height) : TComponent(owner) {
  SetSize(width, height);
}

void TCustomImageList::SetSize(int width, int height) {
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  handle_.reset();
  Changed();
}

HIMAGELIST TCustomImageList::Handle() {
  if (!handle_) {
    handle_.reset(ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 4, 4));
    if (!handle_) throw EOutOfResources("Out of system resources");
    ImageList_SetBkColor(handle_.get(), CLR_NONE);
  }
  return handle_.get();
}

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_.get()) : 0; }

void TCustomImageList::Changed() {
  if (OnChange) OnChange(this);
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) return -1;
  HIMAGELIST list = Handle();
  // The list copies from the bitmaps, which must not be selected into a context meanwhile.
  if (image->Canvas()->HandleAllocated()) image->Canvas()->FreeContext();
  TBitmap monoMask;
  HBITMAP maskHandle = nullptr;
  if (mask && !mask->Empty()) {
    monoMask.Assign(mask);
    monoMask.SetMonochrome(true);
    maskHandle = monoMask.Handle();
  }
  int index = ImageList_Add(list, image->Handle(), maskHandle);
  Changed();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Empty()) return -1;
  HIMAGELIST list = Handle();
  // ImageList_AddMasked blacks out the key colour in the bitmap it is given: give it a copy.
  TBitmap copy;
  copy.Assign(image);
  int index = ImageList_AddMasked(list, copy.Handle(), GdiColor(maskColor));
  Changed();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  int index = ImageList_AddIcon(Handle(), icon->Handle());
  Changed();
  return index;
}

void TCustomImageList::Delete(int index) {
  if (!handle_ || index < 0 || index >= Count()) return;
  ImageList_Remove(handle_.get(), index);
  Changed();
}

void TCustomImageList::Clear() {
  if (!handle_) return;
  ImageList_Remove(handle_.get(), -1);
  Changed();
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image) return;
  image->SetSize(width_, height_);
  TCanvas* c = image->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, width_, height_));
  if (handle_ && index >= 0 && index < Count())
    ImageList_Draw(handle_.get(), index, c->Handle(), 0, 0, ILD_TRANSPARENT);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas || !handle_ || index < 0 || index >= Count()) return;
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_Draw(handle_.get(), index, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  // The shape: black where the image is opaque, white elsewhere (a colour bitmap, so that the
  // raster operation below works the same on every device).
  TBitmap shape;
  shape.SetPixelFormat(pf32bit);
  shape.SetSize(width_, height_);
  HDC sdc = shape.Canvas()->Handle();
  RECT all{0, 0, width_, height_};
  FillRect(sdc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
  SetTextColor(sdc, RGB(0, 0, 0));
  SetBkColor(sdc, RGB(255, 255, 255));
  ImageList_Draw(handle_.get(), index, sdc, 0, 0, ILD_MASK);
  // ILD_MASK paints the mask: opaque pixels black, transparent ones white.
  // Where the shape is black the brush is painted, elsewhere the destination stays (PSDPxax).
  constexpr DWORD kPaintBrushWhereBlack = 0x00B8074A;
  TBrushHandle light(CreateSolidBrush(GdiColor(clBtnHighlight)));
  TBrushHandle dark(CreateSolidBrush(GdiColor(clBtnShadow)));
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  {
    TSelectObject sel(dc, light.get());
    BitBlt(dc, x + 1, y + 1, width_, height_, sdc, 0, 0, kPaintBrushWhereBlack);
  }
  {
    TSelectObject sel(dc, dark.get());
    BitBlt(dc, x, y, width_, height_, sdc, 0, 0, kPaintBrushWhereBlack);
  }
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
}
