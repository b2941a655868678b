// TBitmap: a picture held in a DIB section (1, 24 or 32 bits, rows from the top) with its own
// canvas, transparency, masks and BMP streaming; TIcon over an icon handle. Windows only.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/graphics/canvas.h"
#include "classlib/graphics/pixel_image.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap;

// The canvas of a bitmap: a memory device context with the bitmap selected, made on demand and
// given up whenever the bitmap's handle changes.
class TBitmapCanvas : public TCanvas {
  KARO_CLASS(TBitmapCanvas)
public:
  explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }
  void FreeContext();

protected:
  void CreateHandle() override;

private:
  TBitmap* bitmap_;
  TMemoryDC memDC_;
  std::optional<TSelectObject> bitmapSel_;
};

// A top-down DIB section of width x height at bpp bits (1 bit: black and white), its rows
// stride bytes apart; raises EOutOfResources when it cannot be had or would pass 1 GiB.
TBitmapHandle CreateTopDownDIB(int width, int height, int bpp, uint8_t*& bits, size_t& stride);

class TBitmap : public TGraphic {
  KARO_CLASS(TBitmap)
public:
  TBitmap();
  ~TBitmap() override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ <= 0 || height_ <= 0; }
  // Resizing keeps the pixels that fit; new ones take the canvas brush's colour (when the bitmap
  // has a canvas) or black.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);

  // pfDevice (the default) is stored in 32 bits; pf1bit, pf24bit and pf32bit as named. Setting a
  // format converts the pixels; the other formats are refused with EInvalidGraphicOperation.
  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return format_ == pf1bit; }
  void SetMonochrome(bool value);
  // Bits per pixel of the storage: 1, 24 or 32.
  int BitsPerPixel() const;

  // Row y from the top; EInvalidGraphicOperation outside 0..Height-1.
  uint8_t* ScanLine(int y);
  // All rows as one view (empty for an empty bitmap), after pending GDI drawing has landed.
  TPixelView PixelView();
  // Replaces size, format and pixels by those of image (1, 24 or 32 bits; pf24bit by default for 24).
  void AssignPixels(const TPixelImage& image, TPixelFormat format);
  void AssignPixels(const TPixelImage& image);

  TBitmapCanvas* Canvas();
  // The DIB section (0 for an empty bitmap); owned by the bitmap.
  HBITMAP Handle() const { return handle_.get(); }
  // Takes over a bitmap handle made elsewhere: its pixels are copied in and the handle freed.
  void SetHandle(HBITMAP bitmap);
  // Gives the DIB section to the caller, who then frees it; the bitmap is empty after.
  HBITMAP ReleaseHandle();
  HPALETTE Palette() const { return nullptr; }

  // tmAuto: the colour of the bottom-left pixel (white for a monochrome bitmap); tmFixed: the
  // colour last set.
  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  // Turns the bitmap into a monochrome mask: pixels of transparentColor white, all others black.
  void Mask(TColor transparentColor);

  void Assign(TPersistent* source) override;
  // In form files a bitmap stands as the binary property "Data": the bytes of its BMP file.
  void DefineProperties(TFiler& filer) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void LoadFromResourceName(HINSTANCE instance, const WideString& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;

private:
  friend class TBitmapCanvas;
  void NewImage(int width, int height, int bpp, const TPixelImage* pixels);
  void LoadFromResource(HINSTANCE instance, LPCWSTR name, const WideString& shownName);

  TBitmapHandle handle_;
  uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  size_t stride_ = 0;
  TPixelFormat format_ = pfDevice;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TBitmapCanvas> canvas_;
};

class TIcon : public TGraphic {
  KARO_CLASS(TIcon)
public:
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return !handle_; }

  HICON Handle() const { return handle_.get(); }
  // Takes ownership of the icon.
  void SetHandle(HICON icon);
  HICON ReleaseHandle();

  void Assign(TPersistent* source) override;
  // Reads the first image of an icon file.
  void LoadFromStream(TStream& stream) override;
  // Writing icon files is not supported: raises EInvalidGraphicOperation.
  void SaveToStream(TStream& stream) override;
  void LoadFromResourceName(HINSTANCE instance, const WideString& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;

private:
  TIconHandle handle_;
  int width_ = 0;
  int height_ = 0;
};
