#include "classlib/graphics/bitmap.h"

#include <cstring>
#include <limits>
#include <vector>

#include "classlib/core/filer.h"
#include "classlib/graphics/bmp_codec.h"

KARO_CLASS_INFO(TBitmapCanvas, TCanvas)
KARO_CLASS_INFO(TBitmap, TGraphic)
KARO_CLASS_INFO(TIcon, TGraphic)

namespace {

// A DIB section bigger than this is refused before the system is asked.
constexpr size_t kMaxDibBytes = size_t(1) << 30;

int StorageBpp(TPixelFormat f) {
  switch (f) {
    case pf1bit: return 1;
    case pf24bit: return 24;
    case pfDevice:
    case pf32bit: return 32;
    default: throw EInvalidGraphicOperation("Unsupported pixel format");
  }
}

std::string Narrow(const WideString& s) {
  std::string out;
  for (wchar_t c : s) out += c < 0x80 ? char(c) : '?';
  return out;
}

// The rest of the stream from its position; a rest beyond the stream API's counts is refused.
std::vector<uint8_t> ReadRest(TStream& stream, const char* invalid) {
  int64_t remaining = stream.Size() - stream.Position();
  if (remaining <= 0) return {};
  if (remaining > std::numeric_limits<int32_t>::max()) throw EInvalidGraphic(invalid);
  std::vector<uint8_t> bytes(static_cast<size_t>(remaining));
  stream.ReadBuffer(bytes.data(), int32_t(remaining));
  return bytes;
}

HICON LoadIconResource(HINSTANCE instance, LPCWSTR name, const WideString& shownName) {
  HICON icon = HICON(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
  if (!icon) throw EResNotFound("Resource " + Narrow(shownName) + " not found");
  return icon;
}

void FillPixels(TPixelImage& img, uint32_t rgb) {
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) img.SetPixelRGB(x, y, rgb);
}

}  // namespace

// ---- TBitmapCanvas

void TBitmapCanvas::CreateHandle() {
  memDC_.reset(CreateCompatibleDC(nullptr));
  if (!memDC_) throw EOutOfResources("Out of system resources");
  if (bitmap_->handle_) bitmapSel_.emplace(memDC_.get(), bitmap_->handle_.get());
  SetHandle(memDC_.get());
}

void TBitmapCanvas::FreeContext() {
  SetHandle(nullptr);
  bitmapSel_.reset();
  memDC_.reset();
}

// ---- TBitmap

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  // The canvas's context holds the DIB section; it goes first.
  canvas_.reset();
}

TBitmapHandle CreateTopDownDIB(int width, int height, int bpp, uint8_t*& bits, size_t& stride) {
  stride = PixelRowStride(width, bpp);
  if (width <= 0 || height <= 0 || stride == 0 || stride > kMaxDibBytes / size_t(height))
    throw EOutOfResources("Out of system resources");
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;  // rows from the top, as ScanLine counts them
  info.header.biPlanes = 1;
  info.header.biBitCount = WORD(bpp);
  info.header.biCompression = BI_RGB;
  if (bpp == 1) {
    info.header.biClrUsed = 2;
    info.colors[1] = RGBQUAD{255, 255, 255, 0};
  }
  void* mem = nullptr;
  TBitmapHandle handle(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &mem, nullptr, 0));
  if (!handle || !mem) throw EOutOfResources("Out of system resources");
  bits = static_cast<uint8_t*>(mem);
  return handle;
}

int TBitmap::BitsPerPixel() const { return StorageBpp(format_); }

void TBitmap::NewImage(int width, int height, int bpp, const TPixelImage* pixels) {
  TBitmapHandle handle;
  uint8_t* bits = nullptr;
  size_t stride = 0;
  if (width > 0 && height > 0) {
    handle = CreateTopDownDIB(width, height, bpp, bits, stride);
    if (pixels && pixels->Width() == width && pixels->Height() == height && pixels->BitsPerPixel() == bpp)
      std::memcpy(bits, pixels->Data(), stride * size_t(height));
    else
      std::memset(bits, 0, stride * size_t(height));
  }
  if (canvas_) canvas_->FreeContext();
  handle_ = std::move(handle);
  bits_ = bits;
  stride_ = stride;
  width_ = bits ? width : 0;
  height_ = bits ? height : 0;
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (width == width_ && height == height_) return;
  int bpp = BitsPerPixel();
  if (width == 0 || height == 0) {
    NewImage(0, 0, bpp, nullptr);
    Changed();
    return;
  }
  TPixelImage img(width, height, bpp);
  if (canvas_ && canvas_->Brush()->Style() == bsSolid) FillPixels(img, GdiColor(canvas_->Brush()->Color()));
  if (!Empty()) {
    GdiFlush();
    const int rows = std::min(height, height_), cols = std::min(width, width_);
    for (int y = 0; y < rows; ++y) {
      const uint8_t* from = bits_ + size_t(y) * stride_;
      uint8_t* to = img.Row(y);
      if (bpp == 1) {
        for (int x = 0; x < cols; ++x) {
          uint8_t bit = uint8_t(0x80 >> (x & 7));
          to[x >> 3] = uint8_t((to[x >> 3] & ~bit) | (from[x >> 3] & bit));
        }
      } else {
        std::memcpy(to, from, size_t(cols) * size_t(bpp / 8));
      }
    }
  }
  NewImage(width, height, bpp, &img);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  int bpp = StorageBpp(format);
  if (format == format_) return;
  if (!Empty() && bpp != BitsPerPixel()) {
    TPixelImage img = ConvertPixels(PixelView(), bpp);
    NewImage(width_, height_, bpp, &img);
  }
  format_ = format;
  Changed();
}

void TBitmap::SetMonochrome(bool value) {
  if (value == Monochrome()) return;
  SetPixelFormat(value ? pf1bit : pfDevice);
}

uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= height_ || !bits_) throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();
  return bits_ + size_t(y) * stride_;
}

TPixelView TBitmap::PixelView() {
  if (Empty()) return {};
  GdiFlush();
  return {bits_, width_, height_, BitsPerPixel(), stride_};
}

void TBitmap::AssignPixels(const TPixelImage& image, TPixelFormat format) {
  if (StorageBpp(format) != image.BitsPerPixel()) throw EInvalidGraphicOperation("Unsupported pixel format");
  NewImage(image.Width(), image.Height(), image.BitsPerPixel(), &image);
  format_ = format;
  Changed();
}

void TBitmap::AssignPixels(const TPixelImage& image) {
  TPixelFormat f = image.BitsPerPixel() == 1 ? pf1bit : image.BitsPerPixel() == 24 ? pf24bit : pf32bit;
  AssignPixels(image, f);
}

TBitmapCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
  return canvas_.get();
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == handle_.get()) return;
  if (!bitmap) {
    NewImage(0, 0, BitsPerPixel(), nullptr);
    Changed();
    return;
  }
  TBitmapHandle owned(bitmap);
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof(bm), &bm)) throw EInvalidGraphic("Invalid bitmap handle");
  TPixelImage img(bm.bmWidth, bm.bmHeight, 32);
  if (!img.Empty()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    TWindowDC screen;
    GetDIBits(screen.get(), bitmap, 0, UINT(bm.bmHeight), img.Data(), &info, DIB_RGB_COLORS);
  }
  NewImage(img.Width(), img.Height(), 32, &img);
  format_ = pfDevice;
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  if (canvas_) canvas_->FreeContext();
  HBITMAP h = handle_.release();
  bits_ = nullptr;
  width_ = height_ = 0;
  stride_ = 0;
  Changed();
  return h;
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return ColorToRGB(transparentColor_);
  if (Monochrome()) return clWhite;
  if (Empty()) return clBlack;
  GdiFlush();
  TPixelView v = PixelView();
  const uint8_t* p = v.Row(height_ - 1);
  return MakeColor(p[2], p[1], p[0]);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == transparentColor_ && transparentMode_ == tmFixed) return;
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  if (mode == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TransparentColor());
}

void TBitmap::Mask(TColor transparentColor) {
  if (Empty()) {
    format_ = pf1bit;
    return;
  }
  uint32_t key = GdiColor(transparentColor);
  TPixelView v = PixelView();
  TPixelImage src = CopyPixels(v);
  TPixelImage mask(width_, height_, 1);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      mask.SetPixelRGB(x, y, src.PixelRGB(x, y) == key ? 0xFFFFFFu : 0u);
  AssignPixels(mask, pf1bit);
}

void TBitmap::Assign(TPersistent* source) {
  if (!source) {
    NewImage(0, 0, BitsPerPixel(), nullptr);
    Changed();
    return;
  }
  if (auto* b = dyn<TBitmap>(source)) {
    if (b == this) return;
    TPixelImage img = CopyPixels(b->PixelView());
    NewImage(b->width_, b->height_, b->BitsPerPixel(), &img);
    format_ = b->format_;
    transparent_ = b->transparent_;
    transparentColor_ = b->transparentColor_;
    transparentMode_ = b->transparentMode_;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::LoadFromStream(TStream& stream) {
  std::vector<uint8_t> bytes = ReadRest(stream, "Bitmap image is not valid: too large");
  if (bytes.empty()) {
    NewImage(0, 0, BitsPerPixel(), nullptr);
    Changed();
    return;
  }
  TPixelImage img = DecodeBmpFile(bytes.data(), bytes.size());
  AssignPixels(img);
}

void TBitmap::SaveToStream(TStream& stream) {
  if (Empty()) return;
  std::vector<uint8_t> bytes = EncodeBmpFile(PixelView());
  stream.WriteBuffer(bytes.data(), int32_t(bytes.size()));
}

void TBitmap::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { LoadFromStream(s); }, [this](TStream& s) { SaveToStream(s); }, !Empty());
}

void TBitmap::LoadFromResource(HINSTANCE instance, LPCWSTR name, const WideString& shownName) {
  HRSRC res = FindResourceW(instance, name, MAKEINTRESOURCEW(2) /* RT_BITMAP */);
  HGLOBAL mem = res ? LoadResource(instance, res) : nullptr;
  const void* data = mem ? LockResource(mem) : nullptr;
  if (!data) throw EResNotFound("Resource " + Narrow(shownName) + " not found");
  TPixelImage img = DecodePackedDib(static_cast<const uint8_t*>(data), SizeofResource(instance, res));
  AssignPixels(img);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const WideString& name) {
  LoadFromResource(instance, name.c_str(), name);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  LoadFromResource(instance, MAKEINTRESOURCEW(id), std::to_wstring(id));
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  HDC dest = canvas.Handle();
  HDC src = Canvas()->Handle();
  if (Transparent())
    GdiTransparentBlt(dest, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, width_, height_,
                      GdiColor(TransparentColor()));
  else
    StretchBlt(dest, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, width_, height_, canvas.CopyMode());
}

// ---- TIcon

void TIcon::SetHandle(HICON icon) {
  if (icon == handle_.get()) return;
  handle_.reset(icon);
  width_ = height_ = 0;
  ICONINFO ii{};
  if (icon && GetIconInfo(icon, &ii)) {
    BITMAP bm{};
    if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof(bm), &bm)) {
      width_ = bm.bmWidth;
      height_ = bm.bmHeight;
    } else if (ii.hbmMask && GetObjectW(ii.hbmMask, sizeof(bm), &bm)) {
      width_ = bm.bmWidth;
      height_ = bm.bmHeight / 2;  // a monochrome icon's mask holds both halves
    }
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  width_ = height_ = 0;
  HICON h = handle_.release();
  Changed();
  return h;
}

void TIcon::Assign(TPersistent* source) {
  if (!source) {
    SetHandle(nullptr);
    return;
  }
  if (auto* i = dyn<TIcon>(source)) {
    if (i != this) SetHandle(i->Handle() ? CopyIcon(i->Handle()) : nullptr);
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::LoadFromStream(TStream& stream) {
  std::vector<uint8_t> b = ReadRest(stream, "Icon image is not valid");
  if (b.size() < 6) throw EInvalidGraphic("Icon image is not valid");
  auto u16 = [&](size_t at) { return uint32_t(b[at] | b[at + 1] << 8); };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  // Icon directory: reserved 0, type 1, count, then 16-byte entries.
  if (u16(0) != 0 || u16(2) != 1 || u16(4) == 0 || b.size() < 6 + 16) throw EInvalidGraphic("Icon image is not valid");
  uint32_t size = u32(6 + 8), offset = u32(6 + 12);
  if (offset > b.size() || size > b.size() - offset || size < 40) throw EInvalidGraphic("Icon image is not valid");
  int w = b[6] ? b[6] : 256, h = b[7] ? b[7] : 256;
  HICON icon = CreateIconFromResourceEx(&b[offset], size, TRUE, 0x00030000, w, h, LR_DEFAULTCOLOR);
  if (!icon) throw EInvalidGraphic("Icon image is not valid");
  SetHandle(icon);
}

void TIcon::SaveToStream(TStream&) { throw EInvalidGraphicOperation("Saving icons is not supported"); }

void TIcon::LoadFromResourceName(HINSTANCE instance, const WideString& name) {
  SetHandle(LoadIconResource(instance, name.c_str(), name));
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id) {
  SetHandle(LoadIconResource(instance, MAKEINTRESOURCEW(id), std::to_wstring(id)));
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  if (!handle_) return;
  DrawIconEx(canvas.Handle(), rect.Left, rect.Top, handle_.get(), rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
}
