// The drawing tools of the graphics layer: colour resolution, TFont, TBrush and TPen (each makes
// its GDI handle on demand) and TGraphic, the base of bitmaps and icons. Windows only.
#pragma once

#include <windows.h>

#include "classlib/core/persistent.h"
#include "classlib/core/streams.h"
#include "classlib/core/typinfo.h"
#include "classlib/graphics/gdi_handles.h"
#include "classlib/graphics/graphic_types.h"

class TCanvas;

// The RGB value of a colour: system colours (negative values) are looked up.
TColor ColorToRGB(TColor color);
// The COLORREF to hand to GDI: resolved, and with the flag byte cleared, so that no unresolved
// or marker value (clNone, clDefault) ever reaches a GDI call.
COLORREF GdiColor(TColor color);

// The type of published colour properties: form files may write the cl* names.
const TTypeInfo* ColorTypeInfo();
// The type of published character-set properties: form files may write the *_CHARSET names.
const TTypeInfo* FontCharsetTypeInfo();

inline RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromRECT(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

// Base of fonts, brushes and pens: a value with a GDI handle made from it on demand.
class TGraphicsObject : public TPersistent {
  KARO_CLASS(TGraphicsObject)
public:
  TNotifyEvent OnChange;

protected:
  friend class TCanvas;
  // Tells the canvas that selected the handle (so it selects it out), drops the handle, which
  // the next Handle() makes again from the new values, and fires OnChange.
  void Changed();
  virtual void FreeHandle() = 0;

private:
  std::function<void()> ownerChanging_;
};

enum TFontStyleBit : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;
// The elements of the published Style set ("[fsBold, fsItalic]"); element n is bit 1 << n of
// TFontStyles.
enum class TFontStyle : int { Bold, Italic, Underline, StrikeOut };
KARO_ENUM_NAMES(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut);
enum TFontPitch { fpDefault, fpVariable, fpFixed };
KARO_ENUM_NAMES(TFontPitch, fpDefault, fpVariable, fpFixed);
using TFontCharset = uint8_t;

class TFont : public TGraphicsObject {
  KARO_CLASS(TFont)
public:
  TFont();

  const WideString& Name() const { return name_; }
  void SetName(const WideString& name);
  // Height in pixels as LOGFONT has it: negative for the character height, positive for the cell.
  int Height() const { return height_; }
  void SetHeight(int height);
  // Size in points at the screen's PixelsPerInch.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);

  // The font handle, made on first use after each change; owned by the font.
  HFONT Handle();
  // Takes name, height, style, charset and pitch from a font handle (the handle stays the caller's).
  void SetHandle(HFONT font);
  LOGFONTW LogFont() const;
  void SetLogFont(const LOGFONTW& lf);

  void Assign(TPersistent* source) override;

  static int PixelsPerInch();

protected:
  void FreeHandle() override { handle_.reset(); }

private:
  WideString name_;
  int height_;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  TFontHandle handle_;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;

class TBrush : public TGraphicsObject {
  KARO_CLASS(TBrush)
public:
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern bitmap (not owned; the caller keeps it alive while the brush uses it).
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);

  HBRUSH Handle();
  void Assign(TPersistent* source) override;

protected:
  void FreeHandle() override { handle_.reset(); }

private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  TBrushHandle handle_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
  KARO_CLASS(TPen)
public:
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  // The raster operation lines are drawn with (applied by the canvas, not part of the handle).
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

  HPEN Handle();
  void Assign(TPersistent* source) override;

protected:
  void FreeHandle() override { handle_.reset(); }

private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  TPenHandle handle_;
};

int PenModeToRop2(TPenMode mode);

// A picture that can draw itself onto a canvas and be read from and written to a stream.
class TGraphic : public TPersistent {
  KARO_CLASS(TGraphic)
public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  TNotifyEvent OnChange;

protected:
  friend class TCanvas;
  // Draws the picture into rect of the canvas (stretched to it).
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  void Changed();
  bool transparent_ = false;
};
