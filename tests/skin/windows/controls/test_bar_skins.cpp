// Track bars, up-down controls, progress bars, tool bars and headers: the pure decisions they draw
// by (tables), their pixels per state and orientation from a skin whose frames are solid colours,
// what the parent hears from a track bar and an up-down with and without the skin, the library's
// mark on the reflected-notification number, focus across a skin change, and headers whose item
// count changes between paints.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "skin/data/img_util.h"
#include "skin/data/skin_objects.h"
#include "skin/windows/controls/header_skin.h"
#include "skin/windows/controls/progress_skin.h"
#include "skin/windows/controls/toolbar_skin.h"
#include "skin/windows/controls/trackbar_skin.h"
#include "skin/windows/controls/updown_skin.h"
#include "tests/skin/windows/controls/control_test_env.h"

using namespace skintest;

namespace {

// The pictures' numbers in the complete test skin.
constexpr int kProgressPic = 11, kChunkPic = 12, kHeaderPic = 23, kThumbHPic = 31, kThumbVPic = 32, kUpDownHPic = 37,
              kUpDownVPic = 39, kTrackPic = 41, kTrackVertPic = 42;

// ---- Deciding, pure

TEST(BarSkinDecisions, UpDownHalvesStatesAndFrames) {
  TUpDownHalves v = SplitUpDown(TRect(0, 0, 16, 31), false);
  EXPECT_EQ(v.First.Rect, TRect(0, 0, 16, 15));
  EXPECT_EQ(v.Second.Rect, TRect(0, 15, 16, 31));
  EXPECT_EQ(v.First.Kind, udkUp);
  EXPECT_EQ(v.Second.Kind, udkDown);
  TUpDownHalves h = SplitUpDown(TRect(0, 0, 30, 16), true);
  EXPECT_EQ(h.First.Rect, TRect(0, 0, 15, 16));
  EXPECT_EQ(h.Second.Kind, udkRight);
  struct {
    bool Enabled, Over, Pressed, In;
    int State;
  } states[] = {
      {false, true, true, true, udsDisabled}, {true, false, true, true, udsNormal}, {true, true, true, true, udsPressed},
      {true, true, false, true, udsHot},      {true, true, false, false, udsNormal},
  };
  for (const auto& s : states) EXPECT_EQ(UpDownState(s.Enabled, s.Over, s.Pressed, s.In), s.State);
  // Pressed down: frame 6; hot down: 8; disabled: 3 and 7; the horizontal strip numbers alike.
  EXPECT_EQ(UpDownFrame(udkDown, udsPressed), 6);
  EXPECT_EQ(UpDownFrame(udkDown, udsHot), 8);
  EXPECT_EQ(UpDownFrame(udkUp, udsDisabled), 3);
  EXPECT_EQ(UpDownFrame(udkDown, udsDisabled), 7);
  EXPECT_EQ(UpDownFrame(udkLeft, udsHot), 4);
  EXPECT_EQ(UpDownFrame(udkRight, udsNormal), 5);
}

TEST(BarSkinDecisions, TrackBarCustomDrawAndChannel) {
  struct {
    DWORD Stage;
    DWORD_PTR Item;
    LRESULT Result;
    TTrackPart Part;
  } steps[] = {
      {CDDS_PREPAINT, 0, CDRF_NOTIFYITEMDRAW, tpNone},
      {CDDS_ITEMPREPAINT, TBCD_TICS, CDRF_DODEFAULT, tpNone},
      {CDDS_ITEMPREPAINT, TBCD_THUMB, CDRF_SKIPDEFAULT, tpThumb},
      {CDDS_ITEMPREPAINT, TBCD_CHANNEL, CDRF_SKIPDEFAULT, tpChannel},
      {CDDS_POSTPAINT, 0, CDRF_DODEFAULT, tpNone},
      {CDDS_ITEMPOSTPAINT, TBCD_THUMB, CDRF_DODEFAULT, tpNone},
  };
  for (const auto& s : steps) {
    const TTrackDrawStep r = TrackCustomDraw(s.Stage, s.Item);
    EXPECT_EQ(r.Result, s.Result) << s.Stage << " " << s.Item;
    EXPECT_EQ(r.Draw, s.Part) << s.Stage << " " << s.Item;
  }
  // Reported lying down: turned; reported upright (as Wine does): kept; a horizontal bar: kept.
  EXPECT_EQ(UprightChannel(TRect(8, 13, 92, 17), true), TRect(13, 8, 17, 92));
  EXPECT_EQ(UprightChannel(TRect(13, 8, 17, 92), true), TRect(13, 8, 17, 92));
  EXPECT_EQ(UprightChannel(TRect(8, 13, 92, 17), false), TRect(8, 13, 92, 17));

  // A 40 x 6 picture with 3-pixel ends along a 100-pixel channel 4 high: it keeps its height.
  auto s = ChannelSlices(TRect(10, 20, 110, 24), TPoint(40, 6), 3, 3, false);
  EXPECT_EQ(s[0].Source, TRect(0, 0, 3, 6));
  EXPECT_EQ(s[0].Dest, TRect(10, 20, 13, 26));
  EXPECT_EQ(s[1].Source, TRect(3, 0, 37, 6));
  EXPECT_EQ(s[1].Dest, TRect(13, 20, 107, 26));
  EXPECT_EQ(s[2].Dest, TRect(107, 20, 110, 26));
  // Upright, centred across a wider channel.
  s = ChannelSlices(TRect(10, 0, 20, 100), TPoint(6, 40), 3, 3, true);
  EXPECT_EQ(s[0].Dest, TRect(12, 0, 18, 3));
  EXPECT_EQ(s[1].Dest, TRect(12, 3, 18, 97));
  EXPECT_EQ(s[2].Source, TRect(0, 37, 6, 40));
  // Ends that do not fit the channel are dropped.
  s = ChannelSlices(TRect(0, 0, 4, 6), TPoint(40, 6), 3, 3, false);
  EXPECT_TRUE(s[0].Dest.IsEmpty());
  EXPECT_EQ(s[1].Dest, TRect(0, 0, 4, 6));
}

TEST(BarSkinDecisions, ProgressLengthToolbarColoursAndHeaderItems) {
  EXPECT_EQ(ProgressBarLength(100, 50, 100), 50);
  EXPECT_EQ(ProgressBarLength(100, 0, 100), 0);
  EXPECT_EQ(ProgressBarLength(100, 30, 0), 0);
  EXPECT_EQ(ProgressBarLength(100, -5, 100), 0);
  EXPECT_EQ(ProgressBarLength(100, 300, 100), 100);

  const TToolbarColors c = ToolbarColors(0x804020, clBtnFace);
  EXPECT_EQ(c.Dark, Blend(clGray, 0x804020, 150));
  EXPECT_EQ(c.Light, Blend(clBtnFace, clWhite, 150));

  const std::vector<TRect> hover = {HeaderHoverRect(TRect(0, 0, 50, 18)), HeaderHoverRect(TRect(50, 0, 100, 18))};
  EXPECT_EQ(hover[0], TRect(3, 0, 47, 18));
  EXPECT_EQ(HeaderHotItem(hover, TPoint(10, 5), -1), 0);
  EXPECT_EQ(HeaderHotItem(hover, TPoint(60, 5), 0), 1);
  // The strips either side of a divider keep the item lit before.
  EXPECT_EQ(HeaderHotItem(hover, TPoint(48, 5), 0), 0);
  EXPECT_EQ(HeaderHotItem(hover, TPoint(51, 5), 0), 0);
  EXPECT_EQ(HeaderHotItem(hover, TPoint(51, 5), -1), -1);
  EXPECT_EQ(HeaderHotItem({}, TPoint(10, 5), 4), 4);
  EXPECT_EQ(HeaderAlignment(HDF_RIGHT), 2);
  EXPECT_EQ(HeaderAlignment(HDF_CENTER | HDF_STRING), 1);
  EXPECT_EQ(HeaderAlignment(HDF_LEFT | HDF_IMAGE), 0);
  EXPECT_EQ(HeaderImageIndex(HDF_STRING, 3), -1);
  EXPECT_EQ(HeaderImageIndex(HDF_STRING | HDF_IMAGE, 3), 3);
  EXPECT_EQ(HeaderImageIndex(HDF_OWNERDRAW, 2), 2);
}

// ---- Pixels and messages

// Which frame (1..frames) of picture pic a colour is; 0 for none.
int FrameOf(COLORREF c, int pic, int frames) {
  for (int k = 1; k <= frames; ++k)
    if (c == FrameColor(pic, k)) return k;
  return 0;
}

// What a parent window hears: the message, its wParam's low word and a notification's code.
using THeard = std::vector<std::tuple<UINT, int, int>>;
THeard* g_heard = nullptr;
WNDPROC g_panelProc = nullptr;
LRESULT CALLBACK HearingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (g_heard) {
    if (m == WM_HSCROLL || m == WM_VSCROLL) g_heard->push_back({m, int(LOWORD(wp)), 0});
    if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code != UINT(NM_CUSTOMDRAW))
      g_heard->push_back({m, 0, int(reinterpret_cast<NMHDR*>(lp)->code)});
  }
  return CallWindowProcW(g_panelProc, w, m, wp, lp);
}

class BarSkins : public ManagerTest {
public:
  void SetUp() override {
    ManagerTest::SetUp();
    host_ = Window(MakeWindow());
    SetForegroundWindow(host_);
    SetActiveWindow(host_);
    panel_ = std::make_unique<TPanel>(nullptr);
    panel_->SetParentWindow(host_);
    panel_->SetBounds(0, 0, 400, 300);
  }
  void TearDown() override {
    panel_.reset();
    ManagerTest::TearDown();
  }
  template <class T> T* Make(int l, int t, int w, int h) {
    auto* c = new T(panel_.get());
    c->SetParent(panel_.get());
    c->SetBounds(l, t, w, h);
    return c;
  }
  template <class S> S* SkinOf(TControl* c, TSkinData* d) {
    auto* s = new S(c);
    s->Init(nullptr, d, nullptr, false);
    return s;
  }
  TPanel* Panel() { return panel_.get(); }

private:
  HWND host_ = nullptr;
  std::unique_ptr<TPanel> panel_;
};

RECT ChannelOf(HWND tb) {
  RECT r{};
  SendMessageW(tb, TBM_GETCHANNELRECT, 0, LPARAM(&r));
  return r;
}
RECT ThumbOf(HWND tb) {
  RECT r{};
  SendMessageW(tb, TBM_GETTHUMBRECT, 0, LPARAM(&r));
  return r;
}

TEST_F(BarSkins, TrackBarChannelAndThumbInBothOrientations) {
  TSkinData* d = Data();
  for (bool vertical : {false, true}) {
    auto* tb = Make<TTrackBar>(10, 10, 200, 40);
    // Turning the bar upright turns its bounds too.
    if (vertical) tb->SetOrientation(trVertical);
    ASSERT_EQ(tb->Height(), vertical ? 200 : 40);
    tb->SetRange(0, 10);
    tb->SetPosition(5);
    SkinOf<TSkinTrackBar>(tb, d);
    HWND w = tb->Handle();
    TDib dib(vertical ? 40 : 200, vertical ? 200 : 40);
    SendMessageW(w, WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT | PRF_ERASEBKGND);
    // The channel picture runs along the bar's length: upright for a vertical bar, whatever
    // rectangle the control reports.
    const COLORREF channel = FrameColor(vertical ? kTrackVertPic : kTrackPic, 1);
    int lines = 0;
    for (int along = 0; along < 200; ++along) {
      bool found = false;
      for (int across = 0; across < 40 && !found; ++across)
        found = (vertical ? dib.At(across, along) : dib.At(along, across)) == channel;
      lines += found;
    }
    EXPECT_GT(lines, 120) << "vertical " << vertical;
    const RECT th = ThumbOf(w);
    // The thumb: frame 2 of its strip.
    EXPECT_EQ(dib.At((th.left + th.right) / 2, (th.top + th.bottom) / 2), FrameColor(vertical ? kThumbVPic : kThumbHPic, 2))
        << "vertical " << vertical;
    delete tb;
  }
}

TEST_F(BarSkins, ATrackBarThumbWithoutAPictureIsAFramedRectangle) {
  TSkinData* d = Data();
  std::unique_ptr<TDataSkinObject> thumb = std::move(d->ThumbHorz);
  auto* tb = Make<TTrackBar>(10, 10, 200, 40);
  tb->SetRange(0, 10);
  tb->SetPosition(5);
  SkinOf<TSkinTrackBar>(tb, d);
  TDib dib(200, 40);
  SendMessageW(tb->Handle(), WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT | PRF_ERASEBKGND);
  const RECT th = ThumbOf(tb->Handle());
  const int mx = (th.left + th.right) / 2, my = (th.top + th.bottom) / 2;
  EXPECT_EQ(dib.At(th.left, my), COLORREF(ColorToRGB(d->Colors[csButtonShadow])));
  EXPECT_EQ(dib.At(mx, th.top), COLORREF(ColorToRGB(d->Colors[csButtonShadow])));
  EXPECT_EQ(dib.At(mx, my), COLORREF(ColorToRGB(d->Colors[csButtonFace])));
  d->ThumbHorz = std::move(thumb);
  delete tb;
}

// A skin change repaints the track bar where it stands: the focus stays where the user left it.
TEST_F(BarSkins, ASkinChangeLeavesTheFocusAlone) {
  TSkinData* d = Data();
  auto* edit = Make<TEdit>(10, 100, 120, 24);
  auto* tb = Make<TTrackBar>(10, 10, 200, 40);
  auto* s = SkinOf<TSkinTrackBar>(tb, d);
  SetFocus(edit->Handle());
  ASSERT_EQ(GetFocus(), edit->Handle());
  TMessageLog log({WM_SETFOCUS, WM_KILLFOCUS});
  TWindowRecorder rec(tb->Handle(), log);
  s->SkinChange();
  EXPECT_EQ(GetFocus(), edit->Handle());
  EXPECT_EQ(log.Messages.size(), 0u);
  EXPECT_TRUE(SequenceIs(log, {}));
}

TEST_F(BarSkins, UpDownButtonsPerStateAndTheMouseSetsAndClearsTheHotOne) {
  TSkinData* d = Data();
  auto* ud = Make<TUpDown>(10, 10, 16, 32);
  auto* s = SkinOf<TSkinUpDown>(ud, d);
  HWND w = ud->Handle();
  TDib dib(16, 32);
  // The glyph sits in the middle of each button: the corners show the button's frame.
  auto frames = [&] {
    dib.Fill(0x123456);
    s->PaintControl(dib.DC);
    return std::make_pair(FrameOf(dib.At(1, 1), kUpDownVPic, 8), FrameOf(dib.At(1, 30), kUpDownVPic, 8));
  };
  EXPECT_EQ(frames(), std::make_pair(1, 5));
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(8, 24));
  EXPECT_EQ(frames(), std::make_pair(1, 8));
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(8, 4));
  EXPECT_EQ(frames(), std::make_pair(4, 5));
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 24));
  EXPECT_EQ(frames(), std::make_pair(1, 6));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(8, 24));
  EXPECT_EQ(frames(), std::make_pair(1, 8));
  SendMessageW(w, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(frames(), std::make_pair(1, 5));
  EnableWindow(w, FALSE);
  EXPECT_EQ(frames(), std::make_pair(3, 7));
  EnableWindow(w, TRUE);

  // Without the skin's strip: framed faces, the hot one in the shadow colour.
  std::unique_ptr<TDataSkinBorder> strip = std::move(d->UpDownVert);
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(8, 24));
  dib.Fill(0x123456);
  s->PaintControl(dib.DC);
  EXPECT_EQ(dib.At(3, 3), COLORREF(ColorToRGB(d->Colors[csButtonFace])));
  EXPECT_EQ(dib.At(3, 28), COLORREF(ColorToRGB(d->Colors[csButtonShadow])));
  EXPECT_EQ(dib.At(0, 0), COLORREF(ColorToRGB(d->Colors[csButtonDkshadow])));
  d->UpDownVert = std::move(strip);
  SendMessageW(w, WM_MOUSELEAVE, 0, 0);

  // A raw up-down that another skin found, lying down: the hot state without any help of the
  // class library.
  HWND raw = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 60, 32, 16, Panel()->Handle(), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(raw);
  // The control gives itself its default width when it is made.
  SetWindowPos(raw, nullptr, 0, 0, 32, 16, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  TSkinUpDown* rs = AttachUpDownSkin(raw, nullptr, d, nullptr, true, false);
  ASSERT_NE(rs, nullptr);
  TDib h(32, 16);
  auto lying = [&] {
    h.Fill(0x123456);
    rs->PaintControl(h.DC);
    return std::make_pair(FrameOf(h.At(1, 1), kUpDownHPic, 8), FrameOf(h.At(30, 1), kUpDownHPic, 8));
  };
  EXPECT_EQ(lying(), std::make_pair(1, 5));
  SendMessageW(raw, WM_MOUSEMOVE, 0, MAKELPARAM(24, 8));
  EXPECT_EQ(lying(), std::make_pair(1, 8));
  SendMessageW(raw, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(lying(), std::make_pair(1, 5));
  delete rs;
  DestroyWindow(raw);
}

TEST_F(BarSkins, AnUpDownsGlyphTakesTheFrameOfItsButtonCentredOverIt) {
  constexpr int kGlyphVPic = 40;
  TTestSkin skin = CompleteSkin();
  for (auto& p : skin.Pictures)
    if (p.Name == "glyphv.bmp") p.Data = Strip(kGlyphVPic, 8, 8, 8);
  TSkinData* d = Data(sfMainform, nullptr, skin.File(), false);
  auto* ud = Make<TUpDown>(10, 10, 16, 32);
  auto* s = SkinOf<TSkinUpDown>(ud, d);
  TDib dib(16, 32);
  auto paint = [&] {
    dib.Fill(0x123456);
    s->PaintControl(dib.DC);
  };
  paint();
  // The glyph of 8 x 8 in the middle of each half; the button's frame round it.
  EXPECT_EQ(FrameOf(dib.At(8, 8), kGlyphVPic, 8), 1);
  EXPECT_EQ(FrameOf(dib.At(8, 24), kGlyphVPic, 8), 5);
  EXPECT_EQ(FrameOf(dib.At(2, 8), kUpDownVPic, 8), 1);
  SendMessageW(ud->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 24));
  paint();
  EXPECT_EQ(FrameOf(dib.At(8, 24), kGlyphVPic, 8), 6);
  EXPECT_EQ(FrameOf(dib.At(2, 24), kUpDownVPic, 8), 6);
  SendMessageW(ud->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(8, 24));
  delete ud;
}

// What the parent hears from a track bar and an up-down for the same clicks and keys.
THeard ParentHears(BarSkins& t, TSkinData* d, bool skinned) {
  auto* tb = t.Make<TTrackBar>(10, 10, 200, 40);
  tb->SetRange(0, 10);
  auto* ud = t.Make<TUpDown>(250, 10, 16, 32);
  ud->SetMax(10);
  ud->SetPosition(5);
  if (skinned) {
    t.SkinOf<TSkinTrackBar>(tb, d);
    t.SkinOf<TSkinUpDown>(ud, d);
  }
  HWND p = t.Panel()->Handle();
  THeard heard;
  g_panelProc = WNDPROC(SetWindowLongPtrW(p, GWLP_WNDPROC, LONG_PTR(&HearingProc)));
  g_heard = &heard;
  HWND w = tb->Handle();
  for (WPARAM key : {VK_RIGHT, VK_NEXT, VK_END, VK_HOME}) {
    SendMessageW(w, WM_KEYDOWN, key, 1);
    SendMessageW(w, WM_KEYUP, key, LPARAM(0xC0000001u));
  }
  const RECT c = ChannelOf(w);
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.right - 5, (c.top + c.bottom) / 2));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(c.right - 5, (c.top + c.bottom) / 2));
  UpdateWindow(w);
  HWND u = ud->Handle();
  for (int y : {4, 28, 28}) {
    SendMessageW(u, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, y));
    SendMessageW(u, WM_LBUTTONUP, 0, MAKELPARAM(8, y));
  }
  g_heard = nullptr;
  SetWindowLongPtrW(p, GWLP_WNDPROC, LONG_PTR(g_panelProc));
  heard.push_back({0, tb->Position(), ud->Position()});
  delete tb;
  delete ud;
  return heard;
}

TEST_F(BarSkins, TheParentHearsTheSameFromTrackBarsAndUpDownsWithAndWithoutTheSkin) {
  TSkinData* d = Data();
  const THeard plain = ParentHears(*this, d, false);
  const THeard skinned = ParentHears(*this, d, true);
  EXPECT_GT(plain.size(), 8u);
  EXPECT_EQ(plain, skinned);
}

TEST_F(BarSkins, TheLibrarysMarkOnTheReflectedNotificationIsNoNotification) {
  TSkinData* d = Data();
  auto* tb = Make<TTrackBar>(10, 10, 200, 40);
  SkinOf<TSkinTrackBar>(tb, d);
  auto* bar = Make<TToolBar>(0, 100, 300, 30);
  SkinOf<TSkinToolbar>(bar, d);
  // Read as a notification, lParam 16802 would be an address: the tool bar's own handler reads it.
  EXPECT_EQ(SendMessageW(tb->Handle(), CN_SkinNotify, 0, kSkinLibraryMark), 0);
  EXPECT_EQ(SendMessageW(bar->Handle(), CN_SkinNotify, 0, kSkinLibraryMark), 0);
  EXPECT_TRUE(IsWindow(bar->Handle()));
}

TEST_F(BarSkins, ProgressBarsAcrossAndUprightInBothStyles) {
  struct {
    bool Vertical;
    int Pos;
  } rows[] = {{false, 50}, {false, 0}, {true, 50}};
  TSkinData* d = Data();
  for (const auto& r : rows) {
    auto* pb = Make<TProgressBar>(10, 10, 100, 20);
    // Turning the bar upright turns its bounds too.
    if (r.Vertical) pb->SetOrientation(pbVertical);
    ASSERT_EQ(pb->Height(), r.Vertical ? 100 : 20);
    pb->SetPosition(r.Pos);
    auto* s = SkinOf<TSkinProgress>(pb, d);
    RECT wr{};
    GetWindowRect(pb->Handle(), &wr);
    TDib dib(wr.right - wr.left, wr.bottom - wr.top);
    s->PaintControl(dib.DC);
    // The start of the bar (left, or bottom upright) and its far end.
    const COLORREF start = r.Vertical ? dib.At(dib.W / 2, dib.H - 3) : dib.At(3, dib.H / 2);
    const COLORREF end = r.Vertical ? dib.At(dib.W / 2, 3) : dib.At(dib.W - 3, dib.H / 2);
    EXPECT_EQ(FrameOf(start, kProgressPic, 2), r.Pos ? 2 : 1) << r.Vertical << " " << r.Pos;
    EXPECT_EQ(FrameOf(end, kProgressPic, 2), 1) << r.Vertical << " " << r.Pos;
    delete pb;
  }

  // Style 1: one frame, and the chunk picture along the bar.
  TTestSkin skin = CompleteSkin();
  const size_t at = skin.Ini.find("[Progress]\r\n");
  ASSERT_NE(at, std::string::npos);
  skin.Ini.insert(at + 12, "Style=1\r\n");
  for (auto& p : skin.Pictures)
    if (p.Name == "progress.bmp") p.Data = Strip(kProgressPic, 1, 30, 12);
  TSkinData* d1 = Data(sfMainform, nullptr, skin.File(), false);
  ASSERT_EQ(d1->Progress->Style, 1);
  auto* pb = Make<TProgressBar>(10, 10, 100, 20);
  pb->SetPosition(50);
  auto* s = SkinOf<TSkinProgress>(pb, d1);
  RECT wr{};
  GetWindowRect(pb->Handle(), &wr);
  TDib dib(wr.right - wr.left, wr.bottom - wr.top);
  s->PaintControl(dib.DC);
  EXPECT_EQ(dib.At(10, dib.H / 2), FrameColor(kChunkPic, 1));
  EXPECT_EQ(dib.At(dib.W - 3, dib.H / 2), FrameColor(kProgressPic, 1));
  delete pb;
  // Upright at half: the chunks fill the lower half.
  pb = Make<TProgressBar>(10, 10, 100, 20);
  pb->SetOrientation(pbVertical);
  ASSERT_EQ(pb->Height(), 100);
  pb->SetPosition(50);
  s = SkinOf<TSkinProgress>(pb, d1);
  GetWindowRect(pb->Handle(), &wr);
  TDib up(wr.right - wr.left, wr.bottom - wr.top);
  s->PaintControl(up.DC);
  EXPECT_EQ(up.At(up.W / 2, up.H - 10), FrameColor(kChunkPic, 1));
  EXPECT_EQ(up.At(up.W / 2, 10), FrameColor(kProgressPic, 1));
  delete pb;
}

TEST_F(BarSkins, ToolBarBackgroundFromThePictureOrTheGradient) {
  TSkinData* d = Data();
  auto* bar = Make<TToolBar>(0, 0, 300, 40);
  auto* s = SkinOf<TSkinToolbar>(bar, d);
  HWND w = bar->Handle();
  RECT c{};
  GetClientRect(w, &c);
  TDib dib(c.right, c.bottom);
  // The picture the skin rebuilt at load, stretched over the client area.
  ASSERT_TRUE(d->Toolbar && !d->Toolbar->Map->Empty());
  const COLORREF top = GetPixel(d->Toolbar->Map->Canvas()->Handle(), 5, 0);
  const COLORREF bottom = GetPixel(d->Toolbar->Map->Canvas()->Handle(), 5, d->Toolbar->Map->Height() - 1);
  SendMessageW(w, WM_ERASEBKGND, WPARAM(dib.DC), 0);
  EXPECT_EQ(dib.At(c.right / 2, 0), top);
  EXPECT_EQ(dib.At(c.right / 2, c.bottom - 1), bottom);
  // Without it: the gradient between the two colours of the skin.
  d->Toolbar.reset();
  dib.Fill(0x123456);
  SendMessageW(w, WM_ERASEBKGND, WPARAM(dib.DC), 0);
  const TToolbarColors colours = ToolbarColors(d->GetCaptionColor(), d->Colors[csButtonFace]);
  // The gradient's lines round toward zero: its last line is within one step of the dark end.
  auto within1 = [](COLORREF a, TColor b) {
    for (int shift : {0, 8, 16})
      if (std::abs(int(a >> shift & 0xFF) - int(uint32_t(b) >> shift & 0xFF)) > 1) return false;
    return true;
  };
  EXPECT_EQ(dib.At(c.right / 2, 0), COLORREF(colours.Light));
  EXPECT_TRUE(within1(dib.At(c.right / 2, c.bottom - 1), colours.Dark)) << std::hex << dib.At(c.right / 2, c.bottom - 1);
  EXPECT_FALSE(within1(dib.At(c.right / 2, c.bottom / 2), colours.Dark));
  EXPECT_EQ(s->FDarkColor, colours.Dark);
}

int g_buttonsPainted = 0;
bool CountingPainter(HWND, const NMTBCUSTOMDRAW& draw, TSkinData*) {
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) ++g_buttonsPainted;
  return true;
}

TEST_F(BarSkins, ToolBarButtonsGoToTheReplaceablePainter) {
  TSkinData* d = Data();
  auto* bar = Make<TToolBar>(0, 0, 300, 40);
  auto* button = new TToolButton(bar);
  button->SetParent(bar);
  SkinOf<TSkinToolbar>(bar, d);
  ToolbarButtonPainter = &CountingPainter;
  g_buttonsPainted = 0;
  TDib dib(300, 40);
  SendMessageW(bar->Handle(), WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ToolbarButtonPainter = nullptr;
  EXPECT_GT(g_buttonsPainted, 0);
}

class HeaderSkins : public BarSkins {
public:
  THeaderControl* Header(std::initializer_list<std::pair<const wchar_t*, TAlignment>> items) {
    auto* h = Make<THeaderControl>(0, 0, 300, 18);
    for (auto& [text, align] : items) {
      THeaderSection* s = h->Sections()->Add();
      s->SetText(text);
      s->SetWidth(60);
      s->SetAlignment(align);
    }
    return h;
  }
};

TEST_F(HeaderSkins, ItemsTheEmptyAreaAndTheHotItem) {
  TSkinData* d = Data();
  THeaderControl* h = Header({{L"One", taLeftJustify}, {L"ab", taRightJustify}, {L"", taCenter}, {L"ab", taCenter}});
  auto* s = SkinOf<TSkinHeader>(h, d);
  HWND w = h->Handle();
  TDib dib(300, 18);
  auto frameAt = [&](int x) { return FrameOf(dib.At(x, 1), kHeaderPic, 5); };
  auto paint = [&] {
    dib.Fill(0x123456);
    SendMessageW(w, WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  };
  paint();
  EXPECT_EQ(frameAt(2), 1);
  EXPECT_EQ(frameAt(62), 1);
  EXPECT_EQ(frameAt(290), 1);  // the empty area
  ASSERT_EQ(s->FHoverRects.size(), 4u);
  // An item without text shows nothing but its frame.
  for (int x = 121; x < 179; ++x)
    for (int y = 2; y < 16; ++y) ASSERT_EQ(FrameOf(dib.At(x, y), kHeaderPic, 5), 1) << x << " " << y;
  // The right-aligned caption lies in the right half of its item.
  int darkLeft = 0, darkRight = 0;
  for (int x = 61; x < 119; ++x)
    for (int y = 2; y < 16; ++y)
      if (!FrameOf(dib.At(x, y), kHeaderPic, 5)) ++(x < 90 ? darkLeft : darkRight);
  EXPECT_EQ(darkLeft, 0);
  EXPECT_GT(darkRight, 0);
  // The centred one: about the middle of its item, clear of both ends.
  int darkEnds = 0, darkMiddle = 0;
  for (int x = 181; x < 239; ++x)
    for (int y = 2; y < 16; ++y)
      if (!FrameOf(dib.At(x, y), kHeaderPic, 5)) ++(x < 196 || x >= 224 ? darkEnds : darkMiddle);
  EXPECT_EQ(darkEnds, 0);
  EXPECT_GT(darkMiddle, 0);

  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(70, 5));
  paint();
  EXPECT_EQ(frameAt(62), 2);
  EXPECT_EQ(frameAt(2), 1);
  // Across the divider's strips the item lit before stays lit.
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(121, 5));
  paint();
  EXPECT_EQ(frameAt(62), 2);
  EXPECT_EQ(frameAt(122), 1);
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(150, 5));
  paint();
  EXPECT_EQ(frameAt(122), 2);
  SendMessageW(w, WM_MOUSELEAVE, 0, 0);
  paint();
  EXPECT_EQ(frameAt(122), 1);
  EXPECT_EQ(s->FHotItem, -1);
}

TEST_F(HeaderSkins, AnItemCountThatChangesBetweenPaints) {
  TSkinData* d = Data();
  THeaderControl* h = Header({{L"One", taLeftJustify}, {L"Two", taLeftJustify}, {L"Three", taLeftJustify}});
  auto* s = SkinOf<TSkinHeader>(h, d);
  HWND w = h->Handle();
  TDib dib(300, 18);
  SendMessageW(w, WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(150, 5));
  EXPECT_EQ(s->FHotItem, 2);
  // Two items go without a paint: the lit one is gone.
  SendMessageW(w, HDM_DELETEITEM, 2, 0);
  SendMessageW(w, HDM_DELETEITEM, 1, 0);
  dib.Fill(0x123456);
  SendMessageW(w, WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  EXPECT_EQ(s->FHoverRects.size(), 1u);
  EXPECT_EQ(s->FHotItem, -1);
  EXPECT_EQ(FrameOf(dib.At(150, 1), kHeaderPic, 5), 1);
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(150, 5));
  EXPECT_EQ(s->FHotItem, -1);
  // Items come without a paint: the mouse over one of them finds no rectangle until the next.
  for (int i = 1; i < 5; ++i) {
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
    item.cxy = 60;
    item.pszText = const_cast<wchar_t*>(L"New");
    item.fmt = HDF_STRING;
    SendMessageW(w, HDM_INSERTITEMW, WPARAM(i), LPARAM(&item));
  }
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(250, 5));
  EXPECT_EQ(s->FHotItem, -1);
  SendMessageW(w, WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  EXPECT_EQ(s->FHoverRects.size(), 5u);
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(250, 5));
  EXPECT_EQ(s->FHotItem, 4);
}

TEST_F(HeaderSkins, ACaptionOfMoreThanAHundredCharactersIsCut) {
  TSkinData* d = Data();
  auto* h = Make<THeaderControl>(0, 0, 1000, 18);
  THeaderSection* section = h->Sections()->Add();
  section->SetWidth(1000);
  SkinOf<TSkinHeader>(h, d);
  HFONT small = CreateFontW(-8, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  SendMessageW(h->Handle(), WM_SETFONT, WPARAM(small), FALSE);
  auto picture = [&](const WideString& text) {
    section->SetText(text);
    TDib dib(1000, 18);
    SendMessageW(h->Handle(), WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
    std::vector<COLORREF> px;
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 1000; ++x) px.push_back(dib.At(x, y));
    return px;
  };
  const WideString hundred(100, L'i');
  const auto cut = picture(hundred);
  // The hundredth character is drawn, and whatever follows it is not.
  EXPECT_TRUE(picture(WideString(99, L'i') + L"W") != picture(WideString(99, L'i'))) << "the last character is lost";
  EXPECT_TRUE(picture(hundred + WideString(50, L'W')) == cut) << "the caption is not cut";
  SendMessageW(h->Handle(), WM_SETFONT, 0, FALSE);
  DeleteObject(small);
}

// How far right the caption of the first item reaches in the header's font.
int CaptionReach(HWND w) {
  TDib dib(300, 18);
  SendMessageW(w, WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  int reach = 0;
  for (int x = 0; x < 60; ++x)
    for (int y = 0; y < 18; ++y)
      if (!FrameOf(dib.At(x, y), kHeaderPic, 5)) reach = std::max(reach, x);
  return reach;
}

TEST_F(HeaderSkins, CaptionsAreDrawnInTheHeadersOwnFont) {
  TSkinData* d = Data();
  THeaderControl* h = Header({{L"WWW", taLeftJustify}});
  SkinOf<TSkinHeader>(h, d);
  HWND w = h->Handle();
  HFONT small = CreateFontW(-8, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  HFONT large = CreateFontW(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  SendMessageW(w, WM_SETFONT, WPARAM(small), FALSE);
  const int narrow = CaptionReach(w);
  SendMessageW(w, WM_SETFONT, WPARAM(large), FALSE);
  const int wide = CaptionReach(w);
  EXPECT_GT(narrow, 3);
  EXPECT_GT(wide, narrow + 5);
  SendMessageW(w, WM_SETFONT, 0, FALSE);
  DeleteObject(small);
  DeleteObject(large);
}

}  // namespace
