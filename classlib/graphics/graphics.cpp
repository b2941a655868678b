#include "classlib/graphics/graphics.h"

#include <cwchar>

#include "classlib/graphics/bitmap.h"

KARO_CLASS_INFO(TGraphicsObject, TPersistent)
// Size is derived from Height, which alone is written.
KARO_CLASS_PROPS(TFont, TGraphicsObject,
                 Prop("Charset", &TFont::Charset, &TFont::SetCharset).WithType(FontCharsetTypeInfo()),
                 Prop("Color", &TFont::Color, &TFont::SetColor).WithType(ColorTypeInfo()),
                 Prop("Height", &TFont::Height, &TFont::SetHeight),
                 Prop("Name", &TFont::Name, &TFont::SetName),
                 Prop("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault),
                 Prop<TFont>("Size", [](TFont& f) { return f.Size(); }, [](TFont& f, int v) { f.SetSize(v); }).NotStored(),
                 Prop<TFont>("Style", [](TFont& f) { return TSet<TFontStyle>::FromValue(f.Style()); },
                             [](TFont& f, TSet<TFontStyle> s) { f.SetStyle(TFontStyles(s.Value())); }))
KARO_CLASS_INFO(TBrush, TGraphicsObject)
KARO_CLASS_INFO(TPen, TGraphicsObject)
KARO_CLASS_INFO(TGraphic, TPersistent)

const TTypeInfo* ColorTypeInfo() {
  // The first name of a value is the one written; clLtGray and clDkGray are only read.
  static const TTypeInfo t = MakeIntegerTypeInfo(
      "TColor", {{clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
                 {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
                 {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
                 {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
                 {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
                 {clMedGray, "clMedGray"}, {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
                 {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
                 {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
                 {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
                 {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
                 {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
                 {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
                 {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
                 {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
                 {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
                 {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
                 {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
                 {clGradientActiveCaption, "clGradientActiveCaption"},
                 {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clMenuHighlight, "clMenuHighlight"},
                 {clMenuBar, "clMenuBar"}, {clNone, "clNone"}, {clDefault, "clDefault"}});
  return &t;
}

const TTypeInfo* FontCharsetTypeInfo() {
  static const TTypeInfo t = MakeIntegerTypeInfo(
      "TFontCharset", {{ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                       {SYMBOL_CHARSET, "SYMBOL_CHARSET"}, {MAC_CHARSET, "MAC_CHARSET"},
                       {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
                       {JOHAB_CHARSET, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"},
                       {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"}, {GREEK_CHARSET, "GREEK_CHARSET"},
                       {TURKISH_CHARSET, "TURKISH_CHARSET"}, {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
                       {HEBREW_CHARSET, "HEBREW_CHARSET"}, {ARABIC_CHARSET, "ARABIC_CHARSET"},
                       {BALTIC_CHARSET, "BALTIC_CHARSET"}, {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
                       {THAI_CHARSET, "THAI_CHARSET"}, {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
                       {OEM_CHARSET, "OEM_CHARSET"}});
  return &t;
}

TColor ColorToRGB(TColor color) {
  if (color < 0) return TColor(GetSysColor(int(uint32_t(color) & 0xFF)));
  return color;
}

COLORREF GdiColor(TColor color) { return COLORREF(uint32_t(ColorToRGB(color)) & 0x00FFFFFFu); }

void TGraphicsObject::Changed() {
  if (ownerChanging_) ownerChanging_();
  FreeHandle();
  if (OnChange) OnChange(this);
}

// ---- TFont

int TFont::PixelsPerInch() {
  static const int ppi = [] {
    TWindowDC screen;
    int v = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return v > 0 ? v : 96;
  }();
  return ppi;
}

TFont::TFont() : name_(L"MS Sans Serif"), height_(-MulDiv(8, PixelsPerInch(), 72)) {}

void TFont::SetName(const WideString& name) {
  if (name == name_ || name.empty()) return;
  name_ = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch(), 72)); }

void TFont::SetStyle(TFontStyles style) {
  style &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  // The colour is not part of the handle, but a canvas applies it when it selects the font.
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

LOGFONTW TFont::LogFont() const {
  LOGFONTW lf{};
  lf.lfHeight = height_;
  lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
  lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = pitch_ == fpVariable ? VARIABLE_PITCH : pitch_ == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
  size_t n = std::min(name_.size(), size_t(LF_FACESIZE - 1));
  std::wmemcpy(lf.lfFaceName, name_.data(), n);
  lf.lfFaceName[n] = 0;
  return lf;
}

void TFont::SetLogFont(const LOGFONTW& lf) {
  height_ = lf.lfHeight;
  style_ = TFontStyles((lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
                       (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0));
  charset_ = lf.lfCharSet;
  switch (lf.lfPitchAndFamily & 3) {
    case VARIABLE_PITCH: pitch_ = fpVariable; break;
    case FIXED_PITCH: pitch_ = fpFixed; break;
    default: pitch_ = fpDefault; break;
  }
  WideString face(lf.lfFaceName, wcsnlen(lf.lfFaceName, LF_FACESIZE));
  if (!face.empty()) name_ = face;
  Changed();
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW lf = LogFont();
    handle_.reset(CreateFontIndirectW(&lf));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.get();
}

void TFont::SetHandle(HFONT font) {
  LOGFONTW lf{};
  if (font && GetObjectW(font, sizeof(lf), &lf) == int(sizeof(lf))) SetLogFont(lf);
}

void TFont::Assign(TPersistent* source) {
  if (auto* f = dyn<TFont>(source)) {
    name_ = f->name_;
    height_ = f->height_;
    style_ = f->style_;
    color_ = f->color_;
    charset_ = f->charset_;
    pitch_ = f->pitch_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

// ---- TBrush

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  if (style_ == bsClear) style_ = bsSolid;  // giving a colour makes a clear brush solid again
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  if (style_ == bsClear) color_ = clWhite;
  Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  bitmap_ = bitmap;
  Changed();
}

HBRUSH TBrush::Handle() {
  if (!handle_) {
    static const int hatch[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    HBRUSH h = nullptr;
    if (bitmap_ && !bitmap_->Empty())
      h = CreatePatternBrush(bitmap_->Handle());
    else if (style_ == bsClear)
      // A stock object: deleting it later is a harmless no-op.
      h = HBRUSH(GetStockObject(NULL_BRUSH));
    else if (style_ == bsSolid)
      h = CreateSolidBrush(GdiColor(color_));
    else
      h = CreateHatchBrush(hatch[style_], GdiColor(color_));
    handle_.reset(h);
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.get();
}

void TBrush::Assign(TPersistent* source) {
  if (auto* b = dyn<TBrush>(source)) {
    color_ = b->color_;
    style_ = b->style_;
    bitmap_ = b->bitmap_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

// ---- TPen

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0) width = 0;
  if (width == width_) return;
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  Changed();
}

HPEN TPen::Handle() {
  if (!handle_) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_.reset(CreatePen(styles[style_], width_, GdiColor(color_)));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.get();
}

void TPen::Assign(TPersistent* source) {
  if (auto* p = dyn<TPen>(source)) {
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    mode_ = p->mode_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

int PenModeToRop2(TPenMode mode) {
  static const int rop2[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                             R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                             R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN,
                             R2_NOTXORPEN};
  return rop2[mode];
}

// ---- TGraphic

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TMemoryStream s;
  s.LoadFromFile(fileName);
  LoadFromStream(s);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  TMemoryStream s;
  SaveToStream(s);
  s.SaveToFile(fileName);
}
