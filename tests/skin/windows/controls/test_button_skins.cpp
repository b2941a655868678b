// Pixels of the button skins drawn from a synthetic skin (each frame of the Buttons strip one solid
// colour with a magenta corner): bit-button glyphs in each layout and state, speed buttons (flat,
// grouped, down, glyph right of the caption) and menu buttons with their drop-down triangle, the
// default button of a dialog, Tag 5555 showing the parent's picture through the magenta, and the
// focus rectangle around the text as it is drawn, a Chinese caption included.

#include <algorithm>
#include <functional>
#include <memory>

#include "classlib/controls/buttons.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/graphics/image_list.h"
#include "classlib/graphics/pixel_image.h"
#include "skin/windows/controls/button_skin.h"
#include "skin/windows/controls/check_skin.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/speed_button_skin.h"
#include "tests/skin/windows/controls/control_test_env.h"

using namespace skintest;

// A bit button of another vendor that shows an image of an image list instead of a glyph.
class TImageBitBtn : public TBitBtn {
  KARO_CLASS(TImageBitBtn)
public:
  using TBitBtn::TBitBtn;
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v) { images_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v) { imageIndex_ = v; }
  int DisabledIndex() const { return disabledIndex_; }
  void SetDisabledIndex(int v) { disabledIndex_ = v; }

private:
  TCustomImageList* images_ = nullptr;
  int imageIndex_ = -1, disabledIndex_ = -1;
};
KARO_CLASS_PROPS(TImageBitBtn, TBitBtn, Prop("Images", &TImageBitBtn::Images, &TImageBitBtn::SetImages),
                 Prop("ImageIndex", &TImageBitBtn::ImageIndex, &TImageBitBtn::SetImageIndex),
                 Prop("DisabledIndex", &TImageBitBtn::DisabledIndex, &TImageBitBtn::SetDisabledIndex))

namespace {

constexpr int kButtonsPic = 6, kCheckPic = 7;
constexpr int kCorner = 3;  // the magenta square at the top-left of every Buttons frame

// The Buttons strip: five 20 x 22 frames of solid colours, each with a magenta corner, keyed, with
// margins that keep the corner unscaled.
std::string ButtonSkin() {
  TTestSkin skin = CompleteSkin();
  for (auto& p : skin.Pictures)
    if (p.Name == "buttons.bmp")
      p.Data = Bmp(100, 22, [](int x, int y) {
        return (x % 20 < kCorner && y < kCorner) ? kKey : FrameColor(kButtonsPic, 1 + x / 20);
      });
  const std::string section = "[Buttons]\r\n";
  skin.Ini.insert(skin.Ini.find(section) + section.size(),
                  "Trans=1\r\nLeftWidth=5\r\nTopHeight=5\r\nRightWidth=5\r\nBottomHeight=5\r\n");
  return skin.File();
}

// ---- Glyphs: four 16 x 16 cells, each solid in its own colour inside a border of the
// transparent colour (the cell's bottom-left pixel).
constexpr uint32_t kGlyphKey = 0x00FF00;
constexpr uint32_t GlyphColor(int cell) { return 0x2020C0u + uint32_t(cell) * 0x300000u; }

std::unique_ptr<TBitmap> Glyph(int cells) {
  TPixelImage img(16 * cells, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16 * cells; ++x)
      img.SetPixelRGB(x, y, (x % 16 == 0 || x % 16 == 15 || y == 0 || y == 15) ? kGlyphKey : GlyphColor(x / 16));
  auto b = std::make_unique<TBitmap>();
  b->AssignPixels(img, pf24bit);
  return b;
}

bool IsGrey(uint32_t c) {
  const int r = int(c & 0xFF), g = int(c >> 8 & 0xFF), b = int(c >> 16 & 0xFF);
  return std::abs(r - g) <= 2 && std::abs(g - b) <= 2;
}

// ---- A parent that shows a picture: a checker of two colours in 3-pixel squares, in its own
// client coordinates, for its background and its printing.
constexpr uint32_t kPatternA = 0x204080, kPatternB = 0x60A020;
uint32_t Pattern(int x, int y) { return ((x / 3 + y / 3) % 2) ? kPatternA : kPatternB; }

void PaintPattern(HWND w, HDC dc) {
  RECT c{};
  GetClientRect(w, &c);
  HBRUSH a = CreateSolidBrush(RGB(kPatternA & 0xFF, kPatternA >> 8 & 0xFF, kPatternA >> 16));
  HBRUSH b = CreateSolidBrush(RGB(kPatternB & 0xFF, kPatternB >> 8 & 0xFF, kPatternB >> 16));
  for (int y = 0; y < c.bottom; y += 3)
    for (int x = 0; x < c.right; x += 3) {
      RECT r{x, y, x + 3, y + 3};
      FillRect(dc, &r, Pattern(x, y) == kPatternA ? a : b);
    }
  DeleteObject(a);
  DeleteObject(b);
}

WNDPROC g_panelProc = nullptr;
LRESULT CALLBACK PatternProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_ERASEBKGND || m == WM_PRINTCLIENT) {
    PaintPattern(w, HDC(wp));
    return 1;
  }
  return CallWindowProcW(g_panelProc, w, m, wp, lp);
}

std::vector<std::pair<WPARAM, HWND>> g_commands;
LRESULT CALLBACK CommandParent(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_COMMAND) g_commands.push_back({wp, HWND(lp)});
  return DefWindowProcW(w, m, wp, lp);
}

class ButtonSkins : public ManagerTest {
public:
  void SetUp() override {
    ManagerTest::SetUp();
    data_ = Data(sfMainform, nullptr, ButtonSkin());
    host_ = TopWindow(L"KaroButtonsParent", CommandParent, L"Buttons", 30, 30, 420, 300);
    SetForegroundWindow(host_);
    form_ = std::make_unique<TVeltForm>(nullptr);
    form_->hwnd = host_;
    form_->SkinData = data_;
    panel_ = std::make_unique<TPanel>(nullptr);
    panel_->SetParentWindow(host_);
    panel_->SetBounds(0, 0, 400, 260);
    g_panelProc = WNDPROC(SetWindowLongPtrW(panel_->Handle(), GWLP_WNDPROC, LONG_PTR(&PatternProc)));
  }
  void TearDown() override {
    form_->DeleteControls();
    if (panel_->HandleAllocated()) SetWindowLongPtrW(panel_->Handle(), GWLP_WNDPROC, LONG_PTR(g_panelProc));
    panel_.reset();
    form_.reset();
    ManagerTest::TearDown();
  }

  // A control of the panel at (x, y), skinned by the choice.
  template <class T> T* Make(int x, int y, int w, int h, const WideString& caption = L"Go") {
    auto* c = new T(panel_.get());
    c->SetParent(panel_.get());
    c->SetBounds(x, y, w, h);
    c->SetCaption(caption);
    return c;
  }
  TSkinControl* SkinOf(TControl* c) {
    AddComp(form_.get(), c, panel_.get());
    for (TSkinControlEntry* e : form_->ControlSkins())
      if (e->Control() == c) return dynamic_cast<TSkinControl*>(e);
    return nullptr;
  }
  // The whole control as its skin paints it.
  void Paint(TSkinControl* s, TDib& d) {
    d.Fill(0x123456);
    if (auto* speed = dynamic_cast<TSkinSpeedButton*>(s)) {
      speed->FControl->Perform(WM_PAINT, WPARAM(d.DC), 0);
      return;
    }
    s->PaintControl(d.DC);
  }
  static int FrameAt(const TDib& d, int x, int y) {
    for (int k = 1; k <= 5; ++k)
      if (d.At(x, y) == FrameColor(kButtonsPic, k)) return k;
    return 0;
  }

  TSkinData* data_ = nullptr;
  HWND host_ = nullptr;
  std::unique_ptr<TVeltForm> form_;
  std::unique_ptr<TPanel> panel_;
};

// What is neither the face of the frame nor a glyph: the caption's ink.
bool Ink(int x, int y, uint32_t c, int frame) {
  if (x < kCorner && y < kCorner) return false;
  if (c == FrameColor(kButtonsPic, frame) || c == kKey || c == 0x123456) return false;
  for (int k = 0; k < 4; ++k)
    if (c == GlyphColor(k)) return false;
  return !IsGrey(c) || (c & 0xFF) < 0x90;  // a greyed glyph is light grey; dark grey is ink
}

// ---- Bit buttons

TEST_F(ButtonSkins, BitButtonGlyphsSitByTheirLayoutAndShowTheCellOfTheirState) {
  auto glyph = Glyph(4);
  const struct {
    TButtonLayout Layout;
    const char* Name;
  } layouts[] = {{blGlyphLeft, "left"}, {blGlyphRight, "right"}, {blGlyphTop, "top"}, {blGlyphBottom, "bottom"}};
  int x = 0;
  for (const auto& l : layouts) {
    SCOPED_TRACE(l.Name);
    auto* b = Make<TBitBtn>(x, 0, 90, 60, L"Go");
    x += 95;
    b->SetGlyph(glyph.get());
    b->SetNumGlyphs(4);
    b->SetLayout(l.Layout);
    TSkinControl* s = SkinOf(b);
    ASSERT_NE(s, nullptr);
    ASSERT_STREQ(s->ClassName().c_str(), "TSkinBitButton");
    TDib d(90, 60);
    SetFocus(host_);
    Paint(s, d);
    ASSERT_EQ(FrameAt(d, 10, 10), 1);
    const TRect g = d.Box([](int, int, uint32_t c) { return c == GlyphColor(0); });
    const TRect t = d.Box([](int x, int y, uint32_t c) { return Ink(x, y, c, 1); });
    ASSERT_LT(g.Left, g.Right);
    ASSERT_LT(t.Left, t.Right);
    EXPECT_EQ(g.Width(), 14);  // the cell inside its transparent border, nothing else
    EXPECT_EQ(g.Height(), 14);
    // Glyph and caption apart on the layout's axis, each centred across it.
    switch (l.Layout) {
      case blGlyphLeft: EXPECT_LT(g.Right, t.Left); break;
      case blGlyphRight: EXPECT_LT(t.Right, g.Left); break;
      case blGlyphTop: EXPECT_LT(g.Bottom, t.Top); break;
      case blGlyphBottom: EXPECT_LT(t.Bottom, g.Top); break;
    }
    if (l.Layout == blGlyphLeft || l.Layout == blGlyphRight)
      EXPECT_LE(std::abs(g.Top - (60 - g.Bottom)), 1);
    else
      EXPECT_LE(std::abs(g.Left - (90 - g.Right)), 1);
    // Pressed: frame 2 and the third cell; disabled: frame 3 and the second cell greyed.
    SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Paint(s, d);
    EXPECT_EQ(FrameAt(d, 10, 10), 2);
    EXPECT_EQ(d.At((g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2), GlyphColor(2));
    SendMessageW(b->Handle(), WM_MOUSELEAVE, 0, 0);
    EnableWindow(b->Handle(), FALSE);
    Paint(s, d);
    EXPECT_EQ(FrameAt(d, 10, 10), 3);
    const uint32_t grey = d.At((g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2);
    EXPECT_TRUE(IsGrey(grey)) << std::hex << grey;
    EXPECT_NE(grey, FrameColor(kButtonsPic, 3));
    EnableWindow(b->Handle(), TRUE);
  }
  // One cell only: the same cell in every state, greyed while disabled.
  auto one = Glyph(1);
  auto* b = Make<TBitBtn>(0, 100, 90, 40, L"");
  b->SetGlyph(one.get());
  b->SetNumGlyphs(1);
  TSkinControl* s = SkinOf(b);
  TDib d(90, 40);
  SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  Paint(s, d);
  EXPECT_EQ(d.At(45, 20), GlyphColor(0));  // no caption: the glyph alone, centred
  SendMessageW(b->Handle(), WM_MOUSELEAVE, 0, 0);
  EnableWindow(b->Handle(), FALSE);
  Paint(s, d);
  // Its grey is the grey of the transparent colour (an even mix of 255 green against 192, 32 and
  // 32): greyed, it is still drawn.
  EXPECT_TRUE(IsGrey(d.At(45, 20))) << std::hex << d.At(45, 20);
  EXPECT_NE(d.At(45, 20), FrameColor(kButtonsPic, 3));
}

TEST_F(ButtonSkins, ABitButtonWithoutAGlyphShowsItsImageListImageAndItsDisabledImage) {
  // Image 0 fills its cell inside a transparent border; image 1 is a small square in the middle.
  TPixelImage img(32, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      const int cx = x % 16;
      const bool border = cx == 0 || cx == 15 || y == 0 || y == 15;
      const bool small = cx >= 6 && cx < 10 && y >= 6 && y < 10;
      img.SetPixelRGB(x, y, x < 16 ? (border ? kGlyphKey : GlyphColor(0)) : (small ? GlyphColor(1) : kGlyphKey));
    }
  TBitmap strip;
  strip.AssignPixels(img, pf24bit);
  TImageList images(nullptr);
  ASSERT_EQ(images.AddMasked(&strip, TColor(kGlyphKey)), 0);
  auto* b = Make<TImageBitBtn>(0, 0, 90, 40, L"Img");
  b->SetImages(&images);
  b->SetImageIndex(0);
  TSkinControl* s = SkinOf(b);
  ASSERT_NE(s, nullptr);
  TDib d(90, 40);
  Paint(s, d);
  const TRect g = d.Box([](int, int, uint32_t c) { return c == GlyphColor(0); });
  ASSERT_EQ(g.Width(), 14);
  const TRect t = d.Box([](int x, int y, uint32_t c) { return Ink(x, y, c, 1); });
  EXPECT_LT(g.Right, t.Left);  // where a glyph would be: left of the caption
  const int x0 = g.Left - 1, y0 = g.Top - 1;  // the image's origin
  // Disabled without a disabled image: image 0 greyed where it was; with one: only its square.
  EnableWindow(b->Handle(), FALSE);
  Paint(s, d);
  const uint32_t face = FrameColor(kButtonsPic, 3);
  EXPECT_NE(d.At(x0 + 3, y0 + 3), face);
  EXPECT_NE(d.At(x0 + 3, y0 + 3), GlyphColor(0));
  b->SetDisabledIndex(1);
  Paint(s, d);
  EXPECT_EQ(d.At(x0 + 3, y0 + 3), face);
  EXPECT_NE(d.At(x0 + 7, y0 + 7), face);
  // Without an image index nothing is drawn and the caption is centred alone.
  b->SetImageIndex(-1);
  b->SetDisabledIndex(-1);
  EnableWindow(b->Handle(), TRUE);
  Paint(s, d);
  EXPECT_EQ(d.Box([](int, int, uint32_t c) { return c == GlyphColor(0); }).Right, -1);
}

// ---- Speed buttons

TEST_F(ButtonSkins, SpeedButtonsFlatGroupedDownAndWithTheGlyphRightOfTheCaption) {
  auto* flat = Make<TSpeedButton>(0, 0, 60, 26, L"F");
  flat->SetFlat(true);
  auto* a = Make<TSpeedButton>(70, 0, 60, 26, L"A");
  auto* b = Make<TSpeedButton>(140, 0, 60, 26, L"B");
  for (TSpeedButton* s : {a, b}) {
    s->SetGroupIndex(1);
    s->SetAllowAllUp(false);
  }
  TSkinControl* fs = SkinOf(flat);
  TSkinControl* as = SkinOf(a);
  TSkinControl* bs = SkinOf(b);
  ASSERT_TRUE(fs && as && bs);
  ASSERT_STREQ(fs->ClassName().c_str(), "TSkinSpeedButton");
  TDib d(60, 26);
  // Flat: no face until the mouse comes, then the hot frame.
  Paint(fs, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 0);
  EXPECT_EQ(d.At(10, 10), ColorToRGB(data_->Colors[csButtonFace]) & 0xFFFFFF);
  flat->Perform(CM_MOUSEENTER, 0, 0);
  Paint(fs, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 4);
  flat->Perform(CM_MOUSELEAVE, 0, 0);
  Paint(fs, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 0);
  // A group: the button put down shows frame 2, the other comes up; down and disabled stays 2.
  a->SetDown(true);
  Paint(as, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 2);
  Paint(bs, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 1);
  b->SetDown(true);
  EXPECT_FALSE(a->Down());
  Paint(as, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 1);
  Paint(bs, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 2);
  b->SetEnabled(false);
  Paint(bs, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 2);
  b->SetEnabled(true);
  // The glyph right of the caption, each centred down the button; down shows the fourth cell.
  auto glyph = Glyph(4);
  auto* r = Make<TSpeedButton>(0, 40, 80, 26, L"Right");
  r->SetGlyph(glyph.get());
  r->SetNumGlyphs(4);
  r->SetLayout(blGlyphRight);
  TSkinControl* rs = SkinOf(r);
  TDib e(80, 26);
  Paint(rs, e);
  const TRect g = e.Box([](int, int, uint32_t c) { return c == GlyphColor(0); });
  const TRect t = e.Box([](int x, int y, uint32_t c) { return Ink(x, y, c, 1); });
  ASSERT_LT(g.Left, g.Right);
  ASSERT_LT(t.Left, t.Right);
  EXPECT_LT(t.Right, g.Left);
  EXPECT_LE(std::abs(g.Top - (26 - g.Bottom)), 1);
  r->SetGroupIndex(2);
  r->SetAllowAllUp(true);
  r->SetDown(true);
  Paint(rs, e);
  EXPECT_EQ(e.At((g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2), GlyphColor(3));
}

// ---- Menu buttons

TEST_F(ButtonSkins, AMenuButtonDrawsItsDropDownTriangleRightOfATwoLineCaption) {
  HWND w = CreateWindowExW(0, L"Button", L"One||Two", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 50, host_,
                           HMENU(INT_PTR(5)), GetModuleHandleW(nullptr), nullptr);
  auto* s = new TSkinMenuButton(nullptr);
  s->Inithwnd(w, data_, nullptr, nullptr);
  TDib d(100, 50);
  SetFocus(host_);
  Paint(s, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 1);
  // The triangle: filled, pointing down, in the 17 pixels at the right, centred down the button.
  const uint32_t ink = ColorToRGB(clWindowText) & 0xFFFFFF;
  const TRect tri = d.Box([&](int x, int, uint32_t c) { return x >= 100 - 17 && c == ink; });
  EXPECT_EQ(tri.Left, 100 - 15);
  EXPECT_EQ(tri.Top, 50 / 2 - 1);
  EXPECT_GE(tri.Right - tri.Left, 6);
  EXPECT_LE(tri.Bottom, 50 / 2 + 3);
  // Its tip is one pixel wide, its top row the widest.
  int topRow = 0, tipRow = 0;
  for (int x = tri.Left; x < tri.Right; ++x) {
    topRow += d.At(x, tri.Top) == ink;
    tipRow += d.At(x, tri.Bottom - 1) == ink;
  }
  EXPECT_GT(topRow, tipRow);
  EXPECT_LE(tipRow, 2);
  // Two lines of text left of the arrow area: two bands of ink with a gap between them.
  std::vector<bool> rows(50, false);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100 - 17; ++x)
      if (Ink(x, y, d.At(x, y), 1)) rows[size_t(y)] = true;
  int bands = 0;
  for (int y = 0; y < 50; ++y)
    if (rows[size_t(y)] && (y == 0 || !rows[size_t(y - 1)])) ++bands;
  EXPECT_EQ(bands, 2);
  // Pressed shows frame 2, disabled frame 3 with the triangle in the shadow colour.
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  Paint(s, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 2);
  SendMessageW(w, WM_MOUSELEAVE, 0, 0);
  EnableWindow(w, FALSE);
  Paint(s, d);
  EXPECT_EQ(FrameAt(d, 10, 10), 3);
  EXPECT_EQ(d.At(100 - 12, 50 / 2), ColorToRGB(clBtnShadow) & 0xFFFFFF);
  delete s;
  DestroyWindow(w);
}

// ---- The default button of a dialog

TEST_F(ButtonSkins, TheDefaultButtonOfADialogKeepsTheSkinAndAClickReachesTheParentOnce) {
  HWND dlg = Window(CreateWindowExW(WS_EX_CONTROLPARENT, L"KaroButtonsParent", L"Dialog", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    60, 60, 300, 160, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  HWND ok = CreateWindowExW(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 10, 100,
                            30, dlg, HMENU(INT_PTR(IDOK)), GetModuleHandleW(nullptr), nullptr);
  HWND other = CreateWindowExW(0, L"Button", L"Other", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 120, 10,
                               100, 30, dlg, HMENU(INT_PTR(7)), GetModuleHandleW(nullptr), nullptr);
  TVeltForm* f = Skin(dlg);
  ASSERT_NE(f, nullptr);
  TSkinControl* s = Lookupcontrol(f, ok);
  ASSERT_NE(s, nullptr);
  EXPECT_STREQ(s->ClassName().c_str(), "TSkinButton");
  SetFocus(other);
  Pump();
  // The dialog manager moves the default look with BM_SETSTYLE; what the screen shows stays the skin's.
  SendMessageW(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  SendMessageW(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  UpdateWindow(ok);
  Pump();
  HDC screen = GetDC(ok);
  const COLORREF shown = GetPixel(screen, 10, 10);
  ReleaseDC(ok, screen);
  EXPECT_EQ(uint32_t(shown), FrameColor(kButtonsPic, 1));
  EXPECT_EQ(GetWindowLongPtrW(ok, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  // A click sent to it (as the dialog manager sends one for its mnemonic) reaches the parent once.
  g_commands.clear();
  SendMessageW(ok, BM_CLICK, 0, 0);
  Pump();
  int clicks = 0;
  for (auto& c : g_commands)
    if (c.first == MAKEWPARAM(IDOK, BN_CLICKED) && c.second == ok) ++clicks;
  EXPECT_EQ(clicks, 1);
}

// ---- Tag 5555

TEST_F(ButtonSkins, Tag5555ShowsTheParentsPictureThroughTheMagentaOfEachKind) {
  auto* push = Make<TButton>(31, 17, 80, 30, L"P");
  auto* speed = Make<TSpeedButton>(131, 17, 80, 30, L"S");
  auto* check = Make<TCheckBox>(31, 70, 120, 30, L"C");
  auto* plain = Make<TButton>(231, 17, 80, 30, L"N");
  for (TControl* c : {static_cast<TControl*>(push), static_cast<TControl*>(speed), static_cast<TControl*>(check)})
    c->SetTag(5555);
  struct {
    TControl* C;
    int X, Y;  // a pixel of the magenta corner, or beside the check box's glyph
  } rows[] = {{push, 1, 1}, {speed, 1, 1}, {check, 20, 2}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.C->ClassName());
    TSkinControl* s = SkinOf(r.C);
    ASSERT_NE(s, nullptr);
    TDib d(r.C->Width(), r.C->Height());
    Paint(s, d);
    EXPECT_EQ(d.At(r.X, r.Y), Pattern(r.C->Left() + r.X, r.C->Top() + r.Y));
    EXPECT_EQ(d.At(r.X + 1, r.Y), Pattern(r.C->Left() + r.X + 1, r.C->Top() + r.Y));
  }
  // Without the tag the face colour fills the corner.
  TDib d(80, 30);
  Paint(SkinOf(plain), d);
  EXPECT_EQ(d.At(1, 1), ColorToRGB(data_->Colors[csButtonFace]) & 0xFFFFFF);
}

// ---- The focus rectangle

// The focus rectangle of a painted control: the pixels that differ between its paint with and
// without the focus rectangle.
TRect FocusBox(const TDib& with, const TDib& without) {
  return with.Box([&](int x, int y, uint32_t c) { return c != without.At(x, y); });
}

TEST_F(ButtonSkins, TheFocusRectangleSurroundsTheTextAsDrawnAChineseCaptionCentredByItsWidth) {
  // A face that has the Chinese glyphs, as Karo's captions use.
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, L"WenQuanYi Micro Hei");
  ASSERT_NE(font, nullptr);
  for (const WideString& caption : {WideString(L"Go on"), WideString(L"\u6625\u5929\u6765\u4e86")}) {
    SCOPED_TRACE(caption.size());
    HWND w = CreateWindowExW(0, L"Button", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10,
                             10, 140, 30, host_, HMENU(INT_PTR(9)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(w, WM_SETFONT, WPARAM(font), FALSE);
    auto* s = new TSkinButton(nullptr);
    s->Inithwnd(w, data_, nullptr, nullptr);
    SetFocus(w);
    ASSERT_EQ(GetFocus(), w);
    TDib with(140, 30), without(140, 30);
    Paint(s, with);
    data_->SetOptions(TSkinOptions(data_->Options()).Include(xoNoFocusRect));
    Paint(s, without);
    data_->SetOptions(TSkinOptions(data_->Options()).Exclude(xoNoFocusRect));
    const TRect focus = FocusBox(with, without);
    const TRect ink = without.Box([](int x, int y, uint32_t c) { return Ink(x, y, c, 5); });
    ASSERT_LT(focus.Left, focus.Right);
    ASSERT_LT(ink.Left, ink.Right);
    // Around the ink, two pixels out from the text's measured box, and centred as the text is.
    EXPECT_LT(focus.Left, ink.Left);
    EXPECT_GT(focus.Right, ink.Right);
    EXPECT_LE(focus.Top, ink.Top);
    EXPECT_GE(focus.Bottom, ink.Bottom);
    EXPECT_LE(ink.Left - focus.Left, 5);
    EXPECT_LE(focus.Right - ink.Right, 5);
    EXPECT_LE(std::abs(focus.Left - (140 - focus.Right)), 1);
    EXPECT_LE(std::abs(ink.Left - (140 - ink.Right)), 2);
    delete s;
    DestroyWindow(w);
  }
  DeleteObject(font);
  // A check box: the rectangle starts at its text and follows the text drawn, not the box's width.
  for (const WideString& caption : {WideString(L"Tick"), WideString(L"\u6625\u5929")}) {
    SCOPED_TRACE(caption.size());
    auto* c = Make<TCheckBox>(10, 120, 160, 24, caption);
    TSkinControl* s = SkinOf(c);
    ASSERT_NE(s, nullptr);
    TDib with(160, 24), without(160, 24);
    SetFocus(host_);
    Paint(s, without);
    SetFocus(c->Handle());
    ASSERT_EQ(GetFocus(), c->Handle());
    Paint(s, with);
    const TRect focus = FocusBox(with, without);
    const uint32_t face = ColorToRGB(data_->Colors[csButtonFace]) & 0xFFFFFF;
    const TRect ink = without.Box([&](int x, int, uint32_t v) {
      return x >= 15 && v != face && v != FrameColor(kCheckPic, 1);
    });
    ASSERT_LT(focus.Left, focus.Right);
    ASSERT_LT(ink.Left, ink.Right);
    EXPECT_EQ(focus.Left, 13 + 2 - 2);  // the text starts 2 pixels right of the 13-pixel glyph
    EXPECT_LT(focus.Left, ink.Left);
    EXPECT_GT(focus.Right, ink.Right);
    EXPECT_LE(focus.Right - ink.Right, 5);
    EXPECT_LE(focus.Top, ink.Top);
    EXPECT_GE(focus.Bottom, ink.Bottom);
    delete c;
  }
}

}  // namespace
