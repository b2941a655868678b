#include <gtest/gtest.h>

#include <vector>

#include "classlib/core/streams.h"
#include "classlib/core/typinfo.h"
#include "classlib/graphics/bitmap.h"
#include "classlib/graphics/image_list.h"
#include "tests/classlib/graphics/bmp_builder.h"
#include "tests/classlib/graphics/pixel_probe.h"

namespace {

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kMagenta = 0xFF00FF;

uint32_t Sys(int index) { return GetSysColor(index) & 0xFFFFFF; }

// Counts the pixels of rect that differ from the background colour.
int Ink(TBitmap& bmp, const TRect& r, uint32_t background) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (PixelOf(bmp, x, y) != background) ++n;
  return n;
}

TEST(Colors, SystemColoursAreResolvedBeforeGdiSeesThem) {
  EXPECT_EQ(uint32_t(ColorToRGB(clBtnFace)), Sys(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clRed), 0xFF);
  EXPECT_EQ(GdiColor(clNone) >> 24, 0u);
  EXPECT_EQ(GdiColor(clDefault) >> 24, 0u);

  TBitmap bmp;
  Surface(bmp, 4, 4, kWhite);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clBtnShadow);
  c->FillRect(Rect(0, 0, 4, 4));
  c->Pen()->SetColor(clHighlight);
  c->MoveTo(0, 0);
  c->LineTo(4, 0);
  c->SetPixels(3, 3, clWindowText);
  EXPECT_EQ(PixelOf(bmp, 1, 1), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelOf(bmp, 2, 0), Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(PixelOf(bmp, 3, 3), Sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(uint32_t(c->Pixels(1, 1)), Sys(COLOR_BTNSHADOW));
}

TEST(Bitmap, NewBitmapIsEmptyAndSizesInTheDeviceFormat) {
  TBitmap bmp;
  EXPECT_TRUE(bmp.Empty());
  EXPECT_EQ(bmp.Handle(), nullptr);
  EXPECT_EQ(bmp.PixelFormat(), pfDevice);
  bmp.SetSize(3, 2);
  EXPECT_FALSE(bmp.Empty());
  EXPECT_NE(bmp.Handle(), nullptr);
  EXPECT_EQ(bmp.BitsPerPixel(), 32);
  EXPECT_EQ(PixelOf(bmp, 2, 1), 0u);  // without a canvas new pixels are black
  EXPECT_THROW(bmp.ScanLine(2), EInvalidGraphicOperation);
  EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphicOperation);
  EXPECT_THROW(bmp.SetPixelFormat(pf8bit), EInvalidGraphicOperation);
  bmp.SetSize(-5, 4);
  EXPECT_TRUE(bmp.Empty());
}

TEST(Bitmap, ResizeKeepsPixelsAndFillsNewOnesWithTheBrush) {
  TBitmap bmp;
  FillBitmap(bmp, 2, 2, pf24bit, [](int x, int y) { return x == 0 && y == 0 ? kRed : kBlue; });
  bmp.Canvas()->Brush()->SetColor(clLime);
  bmp.SetSize(3, 3);
  EXPECT_EQ(PixelOf(bmp, 0, 0), kRed);
  EXPECT_EQ(PixelOf(bmp, 1, 1), kBlue);
  EXPECT_EQ(PixelOf(bmp, 2, 0), kGreen);
  EXPECT_EQ(PixelOf(bmp, 0, 2), kGreen);
  bmp.SetWidth(1);
  EXPECT_EQ(bmp.Width(), 1);
  EXPECT_EQ(PixelOf(bmp, 0, 0), kRed);
  // The canvas follows the new DIB section.
  bmp.Canvas()->SetPixels(0, 2, clRed);
  EXPECT_EQ(PixelOf(bmp, 0, 2), kRed);
}

TEST(Bitmap, PixelFormatConversionsKeepThePixels) {
  TBitmap bmp;
  FillBitmap(bmp, 3, 1, pf24bit, [](int x, int) { return x == 0 ? kRed : x == 1 ? kWhite : 0x202020u; });
  bmp.SetPixelFormat(pf32bit);
  EXPECT_EQ(bmp.BitsPerPixel(), 32);
  EXPECT_EQ(PixelOf(bmp, 0, 0), kRed);
  bmp.SetPixelFormat(pf24bit);
  EXPECT_EQ(PixelOf(bmp, 2, 0), 0x202020u);
  bmp.SetMonochrome(true);
  EXPECT_EQ(bmp.PixelFormat(), pf1bit);
  EXPECT_EQ(PixelOf(bmp, 1, 0), kWhite);
  EXPECT_EQ(PixelOf(bmp, 2, 0), 0u);
}

TEST(Bitmap, AssignCopiesDeeplyAndNilEmpties) {
  TBitmap a, b;
  FillBitmap(a, 2, 1, pf24bit, [](int x, int) { return x ? kRed : kBlue; });
  a.SetTransparent(true);
  a.SetTransparentColor(clBlue);
  b.Assign(&a);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), clBlue);
  b.Canvas()->SetPixels(0, 0, clLime);
  EXPECT_EQ(PixelOf(a, 0, 0), kBlue);
  EXPECT_EQ(PixelOf(b, 0, 0), kGreen);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
  TFont f;
  EXPECT_THROW(b.Assign(&f), EConvertError);
}

TEST(Bitmap, AutomaticTransparentColourIsTheBottomLeftPixel) {
  TBitmap bmp;
  FillBitmap(bmp, 2, 2, pf24bit, [](int x, int y) { return x == 0 && y == 1 ? kGreen : kRed; });
  EXPECT_EQ(bmp.TransparentMode(), tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), TColor(kGreen));
  bmp.SetTransparentColor(clBlue);
  EXPECT_EQ(bmp.TransparentMode(), tmFixed);
  bmp.SetTransparentMode(tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), TColor(kGreen));
}

TEST(Canvas, ShapesAndFramesPaintTheirPixels) {
  TBitmap bmp;
  Surface(bmp, 10, 10, kWhite);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clRed);
  c->FrameRect(Rect(1, 1, 5, 5));
  EXPECT_EQ(PixelOf(bmp, 1, 1), kRed);
  EXPECT_EQ(PixelOf(bmp, 4, 3), kRed);
  EXPECT_EQ(PixelOf(bmp, 2, 2), kWhite);

  c->Brush()->SetColor(clBlue);
  c->Pen()->SetColor(clLime);
  c->Polygon({{6, 1}, {9, 1}, {9, 4}, {6, 4}});
  EXPECT_EQ(PixelOf(bmp, 6, 1), kGreen);  // outline in the pen
  EXPECT_EQ(PixelOf(bmp, 7, 2), kBlue);   // inside in the brush

  c->RoundRect(1, 6, 9, 10, 2, 2);
  EXPECT_EQ(PixelOf(bmp, 5, 8), kBlue);
  EXPECT_EQ(PixelOf(bmp, 5, 6), kGreen);

  c->Pen()->SetMode(pmNot);
  c->MoveTo(0, 0);
  c->LineTo(0, 3);
  EXPECT_EQ(PixelOf(bmp, 0, 1), 0u);  // white inverted
  EXPECT_EQ(c->PenPos(), Point(0, 3));
}

TEST(Canvas, CopyRectStretchesAndDrawHonoursTransparency) {
  TBitmap src;
  FillBitmap(src, 3, 1, pf24bit, [](int x, int) { return x == 1 ? kRed : kMagenta; });
  TBitmap dst;
  Surface(dst, 6, 2, kGreen);

  dst.Canvas()->CopyRect(Rect(0, 0, 6, 2), *src.Canvas(), Rect(0, 0, 3, 1));
  EXPECT_EQ(PixelOf(dst, 0, 1), kMagenta);
  EXPECT_EQ(PixelOf(dst, 3, 1), kRed);

  Surface(dst, 6, 2, kGreen);
  src.SetTransparent(true);  // automatic: the bottom-left pixel, magenta
  dst.Canvas()->Draw(0, 0, &src);
  EXPECT_EQ(PixelOf(dst, 0, 0), kGreen);
  EXPECT_EQ(PixelOf(dst, 1, 0), kRed);
  EXPECT_EQ(PixelOf(dst, 2, 0), kGreen);
  EXPECT_EQ(PixelOf(dst, 1, 1), kGreen);

  Surface(dst, 6, 2, kGreen);
  dst.Canvas()->StretchDraw(Rect(0, 0, 6, 2), &src);
  EXPECT_EQ(PixelOf(dst, 1, 1), kGreen);
  EXPECT_EQ(PixelOf(dst, 2, 1), kRed);
  EXPECT_EQ(PixelOf(dst, 3, 0), kRed);
  EXPECT_EQ(PixelOf(dst, 5, 0), kGreen);

  src.SetTransparent(false);
  dst.Canvas()->Draw(3, 0, &src);
  EXPECT_EQ(PixelOf(dst, 3, 0), kMagenta);
}

TEST(Canvas, BrushCopyReplacesTheKeyByTheBrush) {
  TBitmap src;
  FillBitmap(src, 2, 1, pf24bit, [](int x, int) { return x ? kRed : kMagenta; });
  TBitmap dst;
  Surface(dst, 2, 1, kWhite);
  dst.Canvas()->Brush()->SetColor(clBlue);
  dst.Canvas()->BrushCopy(Rect(0, 0, 2, 1), &src, Rect(0, 0, 2, 1), clFuchsia);
  EXPECT_EQ(PixelOf(dst, 0, 0), kBlue);
  EXPECT_EQ(PixelOf(dst, 1, 0), kRed);
}

TEST(Canvas, MaskMakesAMonochromeBitmapThatMaskBltAccepts) {
  TBitmap src;
  FillBitmap(src, 3, 1, pf24bit, [](int x, int) { return x == 1 ? kRed : kMagenta; });
  TBitmap mask;
  mask.Assign(&src);
  mask.Mask(clFuchsia);
  ASSERT_EQ(mask.PixelFormat(), pf1bit);
  EXPECT_EQ(PixelOf(mask, 0, 0), kWhite);
  EXPECT_EQ(PixelOf(mask, 1, 0), 0u);

  // Key pixels (white in the mask) keep the destination; the others take the source.
  TBitmap dst;
  Surface(dst, 3, 1, kGreen);
  ASSERT_TRUE(MaskBlt(dst.Canvas()->Handle(), 0, 0, 3, 1, src.Canvas()->Handle(), 0, 0, mask.Handle(), 0, 0,
                      MAKEROP4(0x00AA0029, SRCCOPY)));
  EXPECT_EQ(PixelOf(dst, 0, 0), kGreen);
  EXPECT_EQ(PixelOf(dst, 1, 0), kRed);
}

TEST(Canvas, AttachedContextGetsItsOwnObjectsBack) {
  TBitmapHandle target(CreateBitmap(8, 8, 1, 32, nullptr));
  TMemoryDC dc(CreateCompatibleDC(nullptr));
  TSelectObject keep(dc.get(), target.get());
  HGDIOBJ font0 = GetCurrentObject(dc.get(), OBJ_FONT);
  HGDIOBJ brush0 = GetCurrentObject(dc.get(), OBJ_BRUSH);
  HGDIOBJ pen0 = GetCurrentObject(dc.get(), OBJ_PEN);
  {
    TCanvas c;
    c.SetHandle(dc.get());
    c.Brush()->SetColor(clRed);
    c.FillRect(Rect(0, 0, 2, 2));
    c.TextOut(0, 0, L"x");
    c.LineTo(3, 3);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), c.Font()->Handle());
    c.Font()->SetHeight(-20);  // the old font is selected out before it goes
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font0);
    c.TextOut(0, 0, L"y");
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), c.Font()->Handle());
    c.SetHandle(nullptr);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font0);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush0);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen0);
    c.SetHandle(dc.get());
    c.FillRect(Rect(0, 0, 1, 1));
  }  // destruction detaches as well
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush0);
}

TEST(Canvas, TextIsDrawnInTheFontColourAndClippedByTextRect) {
  TBitmap bmp;
  Surface(bmp, 80, 30, kWhite);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetName(L"SimSun");
  c->Font()->SetHeight(-16);
  c->Font()->SetColor(clRed);
  // Under Wine a CJK charset makes the font mapper pick a face that has the glyphs.
  c->Font()->SetCharset(GB2312_CHARSET);
  const WideString text = L"\u6625Ab";
  int w = c->TextWidth(text), h = c->TextHeight(text);
  ASSERT_GT(w, 10);
  ASSERT_GT(h, 10);
  c->TextOut(2, 2, text);
  EXPECT_GT(Ink(bmp, Rect(2, 2, 2 + w, 2 + h), kWhite), 20);
  EXPECT_EQ(Ink(bmp, Rect(2 + w + 1, 0, 80, 30), kWhite), 0);
  // Ink is the font colour (anti-aliasing may blend edges, so look for one pure pixel).
  bool red = false;
  for (int y = 2; y < 2 + h && !red; ++y)
    for (int x = 2; x < 2 + w && !red; ++x) red = PixelOf(bmp, x, y) == kRed;
  EXPECT_TRUE(red);

  // Real glyphs, not one replacement box for both characters.
  auto picture = [&](const WideString& t) {
    Surface(bmp, 80, 30, kWhite);
    c->TextOut(2, 2, t);
    std::vector<uint32_t> px;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 80; ++x) px.push_back(PixelOf(bmp, x, y));
    return px;
  };
  EXPECT_NE(picture(L"\u6625"), picture(L"\u5929"));

  Surface(bmp, 80, 30, kWhite);
  c->Brush()->SetColor(clYellow);  // an opaque brush fills the whole clip rectangle
  c->TextRect(Rect(10, 5, 20, 25), 10, 5, text);
  EXPECT_EQ(PixelOf(bmp, 19, 24), 0x00FFFFu);
  EXPECT_EQ(Ink(bmp, Rect(20, 0, 80, 30), kWhite), 0);
  EXPECT_EQ(Ink(bmp, Rect(0, 0, 10, 30), kWhite), 0);
}

TEST(Canvas, LockNests) {
  TCanvas c;
  c.Lock();
  c.Lock();
  EXPECT_EQ(c.LockCount(), 2);
  EXPECT_TRUE(c.TryLock());
  c.Unlock();
  c.Unlock();
  c.Unlock();
  EXPECT_EQ(c.LockCount(), 0);
  EXPECT_THROW(c.Handle(), EInvalidOperation);  // a plain canvas has no context of its own
}

TEST(Font, SizeHeightAndLogFont) {
  TFont f;
  const int ppi = TFont::PixelsPerInch();
  f.SetSize(12);
  EXPECT_EQ(f.Height(), -MulDiv(12, ppi, 72));
  EXPECT_EQ(f.Size(), 12);
  f.SetStyle(fsBold | fsItalic);
  f.SetName(L"SimSun");
  f.SetCharset(GB2312_CHARSET);
  LOGFONTW lf = f.LogFont();
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  EXPECT_STREQ(lf.lfFaceName, L"SimSun");

  TFontHandle made(CreateFontIndirectW(&lf));
  TFont g;
  g.SetHandle(made.get());
  EXPECT_EQ(g.Name(), L"SimSun");
  EXPECT_EQ(g.Height(), f.Height());
  EXPECT_EQ(g.Style(), TFontStyles(fsBold | fsItalic));

  int changes = 0;
  g.OnChange = [&](TObject*) { ++changes; };
  HFONT before = g.Handle();
  g.SetStyle(0);
  EXPECT_EQ(changes, 1);
  HFONT after = g.Handle();
  EXPECT_NE(after, nullptr);
  LOGFONTW check{};
  GetObjectW(after, sizeof check, &check);
  EXPECT_EQ(check.lfWeight, FW_NORMAL);
  (void)before;

  WideString longName(40, L'a');
  g.SetName(longName);
  EXPECT_EQ(wcslen(g.LogFont().lfFaceName), size_t(LF_FACESIZE - 1));
}

TEST(Font, PublishedPropertiesUseTheirNames) {
  TFont font;
  EXPECT_TRUE(SetPropValue(&font, "Style", "[fsBold, fsUnderline]"));
  EXPECT_EQ(font.Style(), fsBold | fsUnderline);
  EXPECT_EQ(GetPropValue(&font, "Style"), "[fsBold,fsUnderline]");
  EXPECT_TRUE(SetPropValue(&font, "Color", "clBtnFace"));
  EXPECT_EQ(font.Color(), clBtnFace);
  EXPECT_TRUE(SetPropValue(&font, "Color", "clLtGray"));
  EXPECT_EQ(font.Color(), clSilver);
  EXPECT_TRUE(SetPropValue(&font, "Charset", "GB2312_CHARSET"));
  EXPECT_EQ(font.Charset(), GB2312_CHARSET);
  EXPECT_TRUE(SetWideStrProp(&font, "Name", L"\u5b8b\u4f53"));
  EXPECT_EQ(font.Name(), L"\u5b8b\u4f53");
  EXPECT_FALSE(SetPropValue(&font, "Charset", "300"));
}

TEST(BitmapStream, SaveAndLoadRoundTrip) {
  for (TPixelFormat pf : {pf24bit, pf32bit, pf1bit}) {
    TBitmap a;
    FillBitmap(a, 3, 2, pf, [](int x, int y) { return (x + y) % 2 ? kWhite : 0u; });
    TMemoryStream s;
    a.SaveToStream(s);
    EXPECT_EQ(s.Memory()[0], 'B');
    s.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(s);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.PixelFormat(), pf == pf32bit ? pf32bit : pf == pf1bit ? pf24bit : pf24bit);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(b, x, y), PixelOf(a, x, y));
  }
}

TEST(BitmapStream, InvalidDataRaisesAndLeavesTheBitmapAlone) {
  TBitmap bmp;
  FillBitmap(bmp, 2, 2, pf24bit, [](int, int) { return kRed; });
  TBmpLayout layout;
  layout.Width = 2;
  layout.Height = 2;
  layout.Bpp = 24;
  layout.Rows = {{1, 2}, {3, 4}};
  std::vector<uint8_t> bytes = BuildBmp(layout);
  bytes.resize(bytes.size() - 8);
  TMemoryStream s;
  s.WriteBuffer(bytes.data(), int32_t(bytes.size()));
  s.SetPosition(0);
  EXPECT_THROW(bmp.LoadFromStream(s), EInvalidGraphic);
  EXPECT_EQ(bmp.Width(), 2);
  EXPECT_EQ(PixelOf(bmp, 1, 1), kRed);

  // An empty rest of the stream empties the bitmap.
  TMemoryStream none;
  bmp.LoadFromStream(none);
  EXPECT_TRUE(bmp.Empty());
}

TEST(BitmapResource, LoadsByNameAndReportsMissingOnes) {
  TBitmap bmp;
  bmp.LoadFromResourceName(GetModuleHandleW(nullptr), L"TESTBMP");
  ASSERT_EQ(bmp.Width(), 2);
  EXPECT_EQ(bmp.PixelFormat(), pf24bit);
  EXPECT_EQ(PixelOf(bmp, 0, 0), kRed);
  EXPECT_EQ(PixelOf(bmp, 1, 0), kGreen);
  EXPECT_EQ(PixelOf(bmp, 0, 1), kBlue);
  EXPECT_EQ(PixelOf(bmp, 1, 1), kWhite);
  EXPECT_THROW(bmp.LoadFromResourceName(GetModuleHandleW(nullptr), L"NOSUCH"), EResNotFound);
  EXPECT_EQ(bmp.Width(), 2);
}

TEST(ImageList, DrawsEnabledTransparentAndDisabledEmbossed) {
  TImageList list(nullptr, 16, 16);
  TBitmap glyphs;
  // Two images: a red square on magenta, then a blue one.
  FillBitmap(glyphs, 32, 16, pf24bit, [](int x, int y) {
    int cx = x % 16;
    bool inside = cx >= 4 && cx < 12 && y >= 4 && y < 12;
    return inside ? (x < 16 ? kRed : kBlue) : kMagenta;
  });
  EXPECT_EQ(list.AddMasked(&glyphs, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(PixelOf(glyphs, 0, 0), kMagenta);  // the caller's bitmap is left as it was

  TBitmap dst;
  Surface(dst, 20, 20, kWhite);
  list.Draw(dst.Canvas(), 0, 0, 1);
  EXPECT_EQ(PixelOf(dst, 6, 6), kBlue);
  EXPECT_EQ(PixelOf(dst, 1, 1), kWhite);

  Surface(dst, 20, 20, kWhite);
  list.Draw(dst.Canvas(), 0, 0, 0, false);
  EXPECT_EQ(PixelOf(dst, 6, 6), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelOf(dst, 12, 12), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(PixelOf(dst, 1, 1), kWhite);

  list.Draw(dst.Canvas(), 0, 0, 7);  // no such image: nothing
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

// A 2x2 icon file with one 32-bit image: red, green / blue, white, all opaque.
std::vector<uint8_t> IconFile() {
  std::vector<uint8_t> img(40 + 16 + 8, 0);
  PutLE(img, 0, 40, 4);
  PutLE(img, 4, 2, 4);
  PutLE(img, 8, 4, 4);  // both halves: colour and mask
  PutLE(img, 12, 1, 2);
  PutLE(img, 14, 32, 2);
  const uint32_t bottomUp[4] = {0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00};  // blue white / red green
  for (int i = 0; i < 4; ++i) PutLE(img, 40 + size_t(i) * 4, bottomUp[i], 4);
  std::vector<uint8_t> file(6 + 16, 0);
  PutLE(file, 2, 1, 2);
  PutLE(file, 4, 1, 2);
  file[6] = 2;
  file[7] = 2;
  PutLE(file, 6 + 4, 1, 2);
  PutLE(file, 6 + 6, 32, 2);
  PutLE(file, 6 + 8, uint32_t(img.size()), 4);
  PutLE(file, 6 + 12, 22, 4);
  file.insert(file.end(), img.begin(), img.end());
  return file;
}

TEST(Icon, LoadsAnIconFileAndDrawsIt) {
  std::vector<uint8_t> bytes = IconFile();
  TMemoryStream s;
  s.WriteBuffer(bytes.data(), int32_t(bytes.size()));
  s.SetPosition(0);
  TIcon icon;
  icon.LoadFromStream(s);
  EXPECT_EQ(icon.Width(), 2);
  EXPECT_EQ(icon.Height(), 2);
  TBitmap dst;
  Surface(dst, 2, 2, 0x808080);
  dst.Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(PixelOf(dst, 0, 0), kRed);
  EXPECT_EQ(PixelOf(dst, 0, 1), kBlue);

  TIcon copy;
  copy.Assign(&icon);
  EXPECT_NE(copy.Handle(), icon.Handle());
  EXPECT_EQ(copy.Width(), 2);

  bytes[6 + 12] = 0xF0;  // image offset past the end
  TMemoryStream bad;
  bad.WriteBuffer(bytes.data(), int32_t(bytes.size()));
  bad.SetPosition(0);
  EXPECT_THROW(icon.LoadFromStream(bad), EInvalidGraphic);
  EXPECT_THROW(icon.SaveToStream(bad), EInvalidGraphicOperation);
}

}  // namespace
