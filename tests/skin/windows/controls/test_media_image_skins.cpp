// The media player's overlay (clicks reaching the player as clicks on its own buttons, following
// its bounds, visibility, z-order and buttons, pixels per button state from a skin whose frames are
// solid colours, and never outliving the player) and the glyph strips handed to image-based check
// and radio controls of other vendors, by stand-ins of those classes registered with their
// published glyph properties.

#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/forms.h"
#include "classlib/controls/mplayer.h"
#include "classlib/core/typinfo.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/mplayer_skin.h"
#include "skin/windows/controls/obj_image_skin.h"
#include "skin/windows/paint/draw_primitives.h"
#include "tests/support/dib.h"
#include "tests/skin/windows/manager/skin_test_env.h"
#include "tests/support/census_check.h"

using namespace skintest;

// ---- Stand-ins of other vendors' image-based check and radio controls

// Glyphs that the application may replace: a strip, its transparent colour and a switch.
class TRzGlyphStandIn : public TCustomControl {
  KARO_CLASS(TRzGlyphStandIn)
public:
  explicit TRzGlyphStandIn(TComponent* o) : TCustomControl(o) {}
  TBitmap* CustomGlyphs() { return &glyphs_; }
  void SetCustomGlyphs(TBitmap* b) { glyphs_.Assign(b); }
  bool UseCustomGlyphs() const { return use_; }
  void SetUseCustomGlyphs(bool v) {
    use_ = v;
    UseLog.push_back(v);
  }
  TColor TransparentColor = clNone;
  std::vector<bool> UseLog;

private:
  TBitmap glyphs_;
  bool use_ = false;
};
KARO_CLASS_PROPS(TRzGlyphStandIn, TCustomControl,
                 Prop("CustomGlyphs", &TRzGlyphStandIn::CustomGlyphs, &TRzGlyphStandIn::SetCustomGlyphs),
                 Prop("TransparentColor", &TRzGlyphStandIn::TransparentColor, &TRzGlyphStandIn::TransparentColor),
                 Prop("UseCustomGlyphs", &TRzGlyphStandIn::UseCustomGlyphs, &TRzGlyphStandIn::SetUseCustomGlyphs))

class TRzCheckBox : public TRzGlyphStandIn {
  KARO_CLASS(TRzCheckBox)
public:
  using TRzGlyphStandIn::TRzGlyphStandIn;
};
KARO_COMPONENT_INFO(TRzCheckBox, TRzGlyphStandIn)

class TRzRadioButton : public TRzGlyphStandIn {
  KARO_CLASS(TRzRadioButton)
public:
  using TRzGlyphStandIn::TRzGlyphStandIn;
};
KARO_COMPONENT_INFO(TRzRadioButton, TRzGlyphStandIn)

// A check box of that vendor that publishes no glyphs.
class TRzDBCheckBox : public TCustomControl {
  KARO_CLASS(TRzDBCheckBox)
public:
  using TCustomControl::TCustomControl;
};
KARO_COMPONENT_INFO(TRzDBCheckBox, TCustomControl)

// Groups of that vendor, whose items the skin reaches as the group's children.
class TRzRadioGroup : public TCustomControl {
  KARO_CLASS(TRzRadioGroup)
public:
  using TCustomControl::TCustomControl;
};
KARO_COMPONENT_INFO(TRzRadioGroup, TCustomControl)

class TRzCheckGroup : public TCustomControl {
  KARO_CLASS(TRzCheckGroup)
public:
  using TCustomControl::TCustomControl;
};
KARO_COMPONENT_INFO(TRzCheckGroup, TCustomControl)

// The glyph lives in an object of the control.
class TcxCheckBoxProperties : public TPersistent {
  KARO_CLASS(TcxCheckBoxProperties)
public:
  TBitmap* Glyph() { return &glyph_; }
  void SetGlyph(TBitmap* b) { glyph_.Assign(b); }

private:
  TBitmap glyph_;
};
KARO_CLASS_PROPS(TcxCheckBoxProperties, TPersistent,
                 Prop("Glyph", &TcxCheckBoxProperties::Glyph, &TcxCheckBoxProperties::SetGlyph))

class TcxCheckBox : public TCustomControl {
  KARO_CLASS(TcxCheckBox)
public:
  using TCustomControl::TCustomControl;
  TcxCheckBoxProperties* Properties() { return &properties_; }

private:
  TcxCheckBoxProperties properties_;
};
KARO_CLASS_PROPS(TcxCheckBox, TCustomControl, Prop("Properties", &TcxCheckBox::Properties))

namespace {

// The pictures' numbers in the complete test skin.
constexpr int kButtonsPic = 6, kCheckPic = 7, kRadioPic = 8;

COLORREF Rgb(TColor c) { return COLORREF(ColorToRGB(c)); }

// ---- Deciding, pure

TEST(MediaPlayerDecisions, FramesPicturesAndTheButtonUnderAPoint) {
  EXPECT_EQ(MPButtonFrame(false, true, true), 3);
  EXPECT_EQ(MPButtonFrame(true, true, true), 2);
  EXPECT_EQ(MPButtonFrame(true, true, false), 1);
  EXPECT_EQ(MPButtonFrame(true, false, true), 1);
  EXPECT_EQ(MPGlyphKind(false, true), mgDisabled);
  EXPECT_EQ(MPGlyphKind(true, true), mgColored);
  EXPECT_EQ(MPGlyphKind(true, false), mgEnabled);
  const uint16_t three = 1u << btPlay | 1u << btStop | 1u << btEject;
  struct {
    int X, Button;
  } rows[] = {{0, btPlay}, {30, btPlay}, {31, btStop}, {60, btStop}, {61, btEject}, {90, btEject}, {91, kMPNoButton}};
  for (const auto& r : rows) EXPECT_EQ(MPFindButton(three, 30, r.X), r.Button) << r.X;
  EXPECT_EQ(MPFindButton(0, 30, 5), kMPNoButton);
  EXPECT_EQ(MPVisibleCount(three), 3);
}

TEST(MediaPlayerDecisions, ButtonSetsAreReadAsSetsByWholeNames) {
  const TTypeInfo* buttons = SetTypeInfo<TMPBtnType>();
  EXPECT_EQ(MPButtonBits(buttons, int64_t(TButtonSet{btPause, btEject}.Value())), 1u << btPause | 1u << btEject);
  // A set of another enumeration whose value names hold a button's name: only whole names count
  // (its text "[btPlayback,btStop]" holds "btPlay").
  const TTypeInfo other = MakeEnumTypeInfo("TOtherButtons", "btPlayback, btStop");
  TTypeInfo otherSet;
  otherSet.Kind = tkSet;
  otherSet.ElementType = &other;
  EXPECT_EQ(MPButtonBits(&otherSet, 3), 1u << btStop);
  // Not a set at all.
  EXPECT_EQ(MPButtonBits(IntegerTypeInfo(), 3), 0u);
}

TEST(ObjImageDecisions, SlotsOfEachKindAndWhichAreFilled) {
  EXPECT_EQ(ObjImageSlots(oiCheck), (std::vector<int>{1, 2, 5, 1, 2, 5, 3, 4, 5}));
  EXPECT_EQ(ObjImageSlots(oiRadio), (std::vector<int>{1, 2, 1, 2, 3, 4}));
  EXPECT_EQ(ObjImageSlots(oiPropertiesCheck), (std::vector<int>{1, 2, 5, 1, 2, 5}));
  EXPECT_TRUE(ObjImageSlots(7).empty());
  EXPECT_TRUE(ObjImageSlotFilled(5, 5));
  EXPECT_FALSE(ObjImageSlotFilled(5, 4));
  EXPECT_FALSE(ObjImageSlotFilled(5, 12));
  EXPECT_TRUE(ObjImageSlotFilled(4, 4));
  // A frame the strip lacks is never read from beyond it.
  EXPECT_FALSE(ObjImageSlotFilled(3, 2));
}

// ---- A class-library form with the skin attached through the choice

class MediaImageSkins : public ManagerTest {
public:
  void SetUp() override {
    ManagerTest::SetUp();
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    form = new TForm(nullptr);
    form->SetBounds(20, 20, 420, 300);
  }
  void TearDown() override {
    skins.reset();
    if (form) form->Free();
    Pump();
    ManagerTest::TearDown();
  }
  // Skins every control of the form (or of another) as the walk does, with the given skin file
  // loaded once.
  void SkinWith(const std::string& file = SkinFile(), TForm* on = nullptr) {
    if (!on) on = form;
    if (!data || file != loaded_) data = Data(sfMainform, nullptr, file, false);
    loaded_ = file;
    skins.reset();
    skins = std::make_unique<TVeltForm>(nullptr);
    skins->hwnd = on->Handle();
    skins->SkinData = data;
    for (int i = 0; i < on->ControlCount(); ++i) AddComp(skins.get(), on->Controls(i), on);
  }
  template <class T> T* SkinOf(TControl* c) {
    for (TSkinControlEntry* e : skins->ControlSkins())
      if (e->Control() == c) return dynamic_cast<T*>(e);
    return nullptr;
  }
  TMediaPlayer* Player(int left = 12, int top = 20, int width = 90, TForm* on = nullptr) {
    if (!on) on = form;
    auto* mp = new TMediaPlayer(on);
    mp->SetParent(on);
    mp->SetBounds(left, top, width, 30);
    mp->SetVisibleButtons({btPlay, btStop, btEject});
    return mp;
  }

  TForm* form = nullptr;
  TSkinData* data = nullptr;
  std::unique_ptr<TVeltForm> skins;

private:
  std::string loaded_;
};

std::string ButtonName(TMPBtnType b) { return GetEnumName(TEnumTraits<TMPBtnType>::Info(), b); }

TEST_F(MediaImageSkins, ClicksOnTheOverlayReachThePlayerAsClicksOnItsOwnButtons) {
  TMediaPlayer* mp = Player();
  std::vector<std::string> log;
  mp->OnClick = [&](TObject*, TMPBtnType b, bool&) { log.push_back("click " + ButtonName(b)); };
  mp->OnPostClick = [&](TObject*, TMPBtnType b) { log.push_back("post " + ButtonName(b)); };
  form->Show();
  SkinWith();
  auto* skin = SkinOf<TSkinMP>(mp);
  ASSERT_NE(skin, nullptr);
  ASSERT_NE(skin->Overlay(), nullptr);
  HWND overlay = skin->Overlay()->Handle();
  // What a click in the middle of the player lands on is the overlay.
  POINT centre{45, 15};
  ClientToScreen(mp->Handle(), &centre);
  EXPECT_EQ(WindowFromPoint(centre), overlay);
  auto press = [&](int downX, int upX) {
    SendMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(downX, 10));
    SendMessageW(overlay, WM_LBUTTONUP, 0, MAKELPARAM(upX, 10));
  };
  press(10, 20);  // play
  press(10, 40);  // pressed on play, released over stop: nothing completes
  press(30, 30);  // the boundary belongs to the left button
  press(80, 85);  // eject
  EXPECT_EQ(log, (std::vector<std::string>{"click btPlay", "post btPlay", "click btPlay", "post btPlay",
                                           "click btEject", "post btEject"}));
  // A quick second press comes as a double click: on the player as on the overlay, two clicks.
  log.clear();
  press(10, 10);
  SendMessageW(overlay, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(overlay, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(log, (std::vector<std::string>{"click btPlay", "post btPlay", "click btPlay", "post btPlay"}));
  // A click of the mouse itself on the middle button lands on the overlay and reaches the player.
  log.clear();
  SetForegroundWindow(form->Handle());
  SetCursorPos(centre.x, centre.y);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
  EXPECT_TRUE(PumpUntil([&] { return log.size() == 2; }));
  EXPECT_EQ(log, (std::vector<std::string>{"click btStop", "post btStop"}));
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);

  // A disabled button of the player stays silent through the overlay too.
  log.clear();
  mp->SetEnabledButtons({btPlay});
  press(80, 80);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MediaImageSkins, TheOverlayFollowsThePlayersPlaceVisibilityZOrderAndButtons) {
  TMediaPlayer* mp = Player(12, 20, 90);
  // A sibling lying over part of the player, above it.
  auto* over = new TCustomControl(form);
  over->SetParent(form);
  over->SetBounds(60, 10, 80, 60);
  form->Show();
  SkinWith();
  TWMediaPlayer* o = SkinOf<TSkinMP>(mp)->Overlay();
  ASSERT_NE(o, nullptr);
  auto windowRect = [](TWinControl* c) {
    RECT r{};
    GetWindowRect(c->Handle(), &r);
    return TRect(r.left, r.top, r.right, r.bottom);
  };
  EXPECT_EQ(o->BoundsRect(), mp->BoundsRect());
  EXPECT_EQ(windowRect(o), windowRect(mp));
  // Just above the player: under the sibling that was above it.
  EXPECT_EQ(GetWindow(mp->Handle(), GW_HWNDPREV), o->Handle());
  EXPECT_EQ(GetWindow(o->Handle(), GW_HWNDPREV), over->Handle());

  UpdateWindow(o->Handle());
  mp->SetBounds(40, 50, 120, 28);
  EXPECT_EQ(o->BoundsRect(), Rect(40, 50, 160, 78));
  EXPECT_EQ(windowRect(o), windowRect(mp));
  // A new width moves every button: the whole overlay is painted again.
  RECT dirty{};
  GetUpdateRect(o->Handle(), &dirty, FALSE);
  EXPECT_EQ(TRect(dirty.left, dirty.top, dirty.right, dirty.bottom), Rect(0, 0, 120, 28));

  mp->Hide();
  EXPECT_FALSE(o->Visible());
  EXPECT_FALSE(IsWindowVisible(o->Handle()));
  mp->Show();
  EXPECT_TRUE(o->Visible());
  EXPECT_TRUE(IsWindowVisible(o->Handle()));

  // The player brought to the front takes the overlay along.
  mp->BringToFront();
  EXPECT_EQ(GetWindow(mp->Handle(), GW_HWNDPREV), o->Handle());
  EXPECT_EQ(GetWindow(o->Handle(), GW_HWNDPREV), nullptr);

  // A later walk of the form meets the overlay and leaves it alone by its Tag; the
  // player keeps its one skin.
  EXPECT_EQ(o->Tag(), data->DisableTag());
  const size_t listed = skins->ControlSkins().size();
  for (int i = 0; i < form->ControlCount(); ++i) AddComp(skins.get(), form->Controls(i), form);
  EXPECT_EQ(skins->ControlSkins().size(), listed);
  EXPECT_EQ(SkinOf<TSkinControl>(o), nullptr);
  EXPECT_EQ(SkinOf<TSkinMP>(mp)->Overlay(), o);

  // New enabled buttons: the player repaints, and so does the overlay.
  UpdateWindow(mp->Handle());
  ValidateRect(o->Handle(), nullptr);
  mp->SetEnabledButtons({btPlay});
  UpdateWindow(mp->Handle());
  EXPECT_TRUE(GetUpdateRect(o->Handle(), nullptr, FALSE));
}

TEST_F(MediaImageSkins, ButtonPixelsPerState) {
  TMediaPlayer* mp = Player();
  mp->SetEnabledButtons({btPlay, btEject});
  mp->SetColoredButtons({btPlay});
  form->Show();
  SkinWith();
  TWMediaPlayer* o = SkinOf<TSkinMP>(mp)->Overlay();
  ASSERT_NE(o, nullptr);
  TDib t(90, 30, 0);
  auto print = [&] { SendMessageW(o->Handle(), WM_PRINTCLIENT, WPARAM(t.DC), PRF_CLIENT); };
  print();
  // Each button's frame from the Buttons strip (its corner), its glyph in the middle: play
  // coloured, stop disabled (frame 3), eject enabled.
  EXPECT_EQ(t.At(2, 2), FrameColor(kButtonsPic, 1));
  EXPECT_EQ(t.At(15, 15), Rgb(clGreen));
  EXPECT_EQ(t.At(32, 2), FrameColor(kButtonsPic, 3));
  EXPECT_EQ(t.At(45, 15), Rgb(clGrayText));
  EXPECT_EQ(t.At(62, 2), FrameColor(kButtonsPic, 1));
  EXPECT_EQ(t.At(75, 15), Rgb(clBlack));
  // The glyph's surround is transparent: the frame shows at the picture's corner.
  EXPECT_EQ(t.At(7, 8), FrameColor(kButtonsPic, 1));

  // Held down on play: frame 2, the glyph one pixel right and down; let go: frame 1 again.
  SendMessageW(o->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  print();
  EXPECT_EQ(t.At(2, 2), FrameColor(kButtonsPic, 2));
  EXPECT_EQ(t.At(62, 2), FrameColor(kButtonsPic, 1));
  TBitmap glyph;
  MPButtonGlyph(btPlay, mgColored, glyph);
  for (int y = 0; y < glyph.Height(); ++y)
    for (int x = 0; x < glyph.Width(); ++x) {
      const COLORREF g = GetPixel(glyph.Canvas()->Handle(), x, y);
      if (g != Rgb(kMPGlyphBack)) {
        ASSERT_EQ(t.At(7 + 1 + x, 8 + 1 + y), g) << x << "," << y;
      }
    }
  SendMessageW(o->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  print();
  EXPECT_EQ(t.At(2, 2), FrameColor(kButtonsPic, 1));

  // A disabled player shows every button disabled, as it paints them itself.
  mp->SetEnabled(false);
  print();
  EXPECT_EQ(t.At(2, 2), FrameColor(kButtonsPic, 3));
  EXPECT_EQ(t.At(15, 15), Rgb(clGrayText));
  mp->SetEnabled(true);

  // No visible button: a plain button face.
  mp->SetVisibleButtons({});
  print();
  const COLORREF face = RGB(250, 243, 223);
  EXPECT_EQ(t.At(2, 2), face);
  EXPECT_EQ(t.At(45, 15), face);
}

TEST_F(MediaImageSkins, WithoutAButtonsPictureTheButtonsShowTheirGlyphsOnTheFace) {
  TTestSkin skin = CompleteSkin();
  for (auto& pic : skin.Pictures)
    if (pic.Name == "buttons.bmp") pic.Data = "not a picture";
  TMediaPlayer* mp = Player();
  form->Show();
  SkinWith(skin.File());
  TWMediaPlayer* o = SkinOf<TSkinMP>(mp)->Overlay();
  ASSERT_NE(o, nullptr);
  TDib t(90, 30, 0);
  SendMessageW(o->Handle(), WM_PRINTCLIENT, WPARAM(t.DC), PRF_CLIENT);
  EXPECT_EQ(t.At(2, 2), RGB(250, 243, 223));
  EXPECT_EQ(t.At(15, 15), Rgb(clGreen));
}

TEST_F(MediaImageSkins, TheOverlayNeverOutlivesThePlayer) {
  auto centreOf = [](TWinControl* c) {
    POINT p{45, 15};
    ClientToScreen(c->Handle(), &p);
    return p;
  };
  {
    // The player freed alone: its overlay goes with it, and the form repaints without it.
    TMediaPlayer* mp = Player();
    form->Show();
    SkinWith();
    HWND overlay = SkinOf<TSkinMP>(mp)->Overlay()->Handle();
    const int listed = int(skins->ControlSkins().size());
    mp->Free();
    EXPECT_FALSE(IsWindow(overlay));
    EXPECT_EQ(int(skins->ControlSkins().size()), listed - 1);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    skins.reset();
  }
  TObjectCensus before{};
  ASSERT_TRUE(TakeCensus(before));
  {
    // Given back while the player stays: the overlay goes, the player paints itself again.
    TMediaPlayer* mp = Player();
    SkinWith();
    auto* skin = SkinOf<TSkinMP>(mp);
    HWND overlay = skin->Overlay()->Handle();
    skin->Unsubclass();
    EXPECT_EQ(skin->Overlay(), nullptr);
    EXPECT_FALSE(IsWindow(overlay));
    EXPECT_EQ(WindowFromPoint(centreOf(mp)), mp->Handle());
    skins.reset();
    mp->Free();
  }
  {
    // A form freed with the player and the overlay in it: each goes once.
    auto* other = new TForm(nullptr);
    other->SetBounds(40, 40, 300, 200);
    TMediaPlayer* mp = Player(12, 20, 90, other);
    other->Show();
    SkinWith(SkinFile(), other);
    EXPECT_EQ(WindowFromPoint(centreOf(mp)), SkinOf<TSkinMP>(mp)->Overlay()->Handle());
    other->Free();
    EXPECT_TRUE(skins->ControlSkins().empty());
    skins.reset();
  }
  Pump();
  EXPECT_TRUE(CensusIs(before));
}

// ---- Image-based check and radio controls

template <class T> T* Add(TForm* form) {
  auto* c = new T(form);
  c->SetParent(form);
  c->SetBounds(10, 10, 100, 20);
  return c;
}

// The slot colours of a strip handed over (its height rows, slot width w), and a check that
// every slot drawn as the control draws it (keyed by the colour it was given) over white shows
// either its frame or white.
std::vector<COLORREF> SlotColours(TBitmap* strip, int w) {
  std::vector<COLORREF> c;
  for (int x = w / 2; x < strip->Width(); x += w) c.push_back(GetPixel(strip->Canvas()->Handle(), x, 3));
  return c;
}

COLORREF DrawnOverWhite(TBitmap* strip, TColor key, int x, int y) {
  TDib t(strip->Width(), strip->Height(), 0);
  RECT all{0, 0, strip->Width(), strip->Height()};
  FillRect(t.DC, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
  GdiTransparentBlt(t.DC, 0, 0, strip->Width(), strip->Height(), strip->Canvas()->Handle(), 0, 0, strip->Width(),
                    strip->Height(), Rgb(key));
  return t.At(x, y);
}

TEST_F(MediaImageSkins, GlyphStripsHandedToEachKind) {
  auto* check = Add<TRzCheckBox>(form);
  auto* radio = Add<TRzRadioButton>(form);
  auto* cx = Add<TcxCheckBox>(form);
  auto* bare = Add<TRzDBCheckBox>(form);
  SkinWith();
  auto* checkSkin = SkinOf<TSkinObjImage>(check);
  ASSERT_NE(checkSkin, nullptr);
  EXPECT_EQ(checkSkin->FKind, oiCheck);
  ASSERT_NE(SkinOf<TSkinObjImage>(radio), nullptr);
  EXPECT_EQ(SkinOf<TSkinObjImage>(radio)->FKind, oiRadio);
  ASSERT_NE(SkinOf<TSkinObjImage>(cx), nullptr);
  EXPECT_EQ(SkinOf<TSkinObjImage>(cx)->FKind, oiPropertiesCheck);
  // A control without the glyph properties gets its skin and is left as it was.
  EXPECT_NE(SkinOf<TSkinObjImage>(bare), nullptr);
  // A second attach does nothing: the glyphs are not handed over again.
  checkSkin->Init(skins.get(), data, nullptr, true);
  EXPECT_EQ(check->UseLog, (std::vector<bool>{false, true}));

  const COLORREF magenta = Rgb(kSkinKeyColor);
  auto f = [](int pic, int k) { return COLORREF(FrameColor(pic, k)); };
  // Kind 1 from the 4-frame check strip of 13 x 13: the slots of frame 5 are not filled...
  ASSERT_EQ(check->CustomGlyphs()->Width(), 9 * 13);
  EXPECT_EQ(check->CustomGlyphs()->Height(), 13);
  EXPECT_EQ(SlotColours(check->CustomGlyphs(), 13),
            (std::vector<COLORREF>{f(kCheckPic, 1), f(kCheckPic, 2), magenta, f(kCheckPic, 1), f(kCheckPic, 2),
                                   magenta, f(kCheckPic, 3), f(kCheckPic, 4), magenta}));
  EXPECT_EQ(check->TransparentColor, 16711935);
  EXPECT_EQ(check->UseLog, (std::vector<bool>{false, true}));
  // ...and, drawn as the control is told to, they let what lies behind show.
  EXPECT_EQ(DrawnOverWhite(check->CustomGlyphs(), check->TransparentColor, 2 * 13 + 6, 6), RGB(255, 255, 255));
  EXPECT_EQ(DrawnOverWhite(check->CustomGlyphs(), check->TransparentColor, 6, 6), f(kCheckPic, 1));

  // Kind 2 from the 10-frame radio strip: frames 1 to 4 only.
  ASSERT_EQ(radio->CustomGlyphs()->Width(), 6 * 16);
  EXPECT_EQ(SlotColours(radio->CustomGlyphs(), 16),
            (std::vector<COLORREF>{f(kRadioPic, 1), f(kRadioPic, 2), f(kRadioPic, 1), f(kRadioPic, 2),
                                   f(kRadioPic, 3), f(kRadioPic, 4)}));
  EXPECT_TRUE(radio->UseCustomGlyphs());

  // Kind 3: the glyph of the Properties object, magenta its transparent colour.
  TBitmap* glyph = cx->Properties()->Glyph();
  ASSERT_EQ(glyph->Width(), 6 * 13);
  EXPECT_EQ(SlotColours(glyph, 13), (std::vector<COLORREF>{f(kCheckPic, 1), f(kCheckPic, 2), magenta,
                                                           f(kCheckPic, 1), f(kCheckPic, 2), magenta}));
  EXPECT_EQ(glyph->TransparentColor(), kSkinKeyColor);
  EXPECT_FALSE(glyph->Transparent());
  EXPECT_EQ(DrawnOverWhite(glyph, glyph->TransparentColor(), 5 * 13 + 6, 6), RGB(255, 255, 255));

  // A new skin whose check strip has five frames: the strips are built again, every slot filled.
  TTestSkin five = CompleteSkin();
  for (auto& pic : five.Pictures)
    if (pic.Name == "check.bmp") pic.Data = Strip(kCheckPic, 5, 13, 13);
  five.Ini += "[Buttons]\r\nCheckButtonFrame=5\r\n";
  auto s = StreamOf(five.File());
  data->LoadFromStream(*s);
  checkSkin->SkinChange();
  SkinOf<TSkinObjImage>(cx)->SkinChange();
  EXPECT_EQ(SlotColours(check->CustomGlyphs(), 13),
            (std::vector<COLORREF>{f(kCheckPic, 1), f(kCheckPic, 2), f(kCheckPic, 5), f(kCheckPic, 1), f(kCheckPic, 2),
                                   f(kCheckPic, 5), f(kCheckPic, 3), f(kCheckPic, 4), f(kCheckPic, 5)}));
  EXPECT_EQ(SlotColours(glyph, 13)[5], f(kCheckPic, 5));

  // Given back: the custom glyphs are switched off, the properties' glyph emptied.
  checkSkin->Unsubclass();
  EXPECT_FALSE(check->UseCustomGlyphs());
  SkinOf<TSkinObjImage>(cx)->Unsubclass();
  EXPECT_TRUE(glyph->Empty());
}

TEST_F(MediaImageSkins, ItemsOfTheVendorsGroupsGetTheStripsOfTheirGroupsKind) {
  auto* radios = Add<TRzRadioGroup>(form);
  auto* checks = Add<TRzCheckGroup>(form);
  auto item = [](TWinControl* group) {
    auto* c = new TRzGlyphStandIn(group);
    c->SetParent(group);
    return c;
  };
  TRzGlyphStandIn* radioItem = item(radios);
  TRzGlyphStandIn* checkItem = item(checks);
  SkinWith();
  ASSERT_NE(SkinOf<TSkinObjImage>(radioItem), nullptr);
  EXPECT_EQ(SkinOf<TSkinObjImage>(radioItem)->FKind, oiRadio);
  EXPECT_EQ(radioItem->CustomGlyphs()->Width(), 6 * 16);
  EXPECT_TRUE(radioItem->UseCustomGlyphs());
  ASSERT_NE(SkinOf<TSkinObjImage>(checkItem), nullptr);
  EXPECT_EQ(SkinOf<TSkinObjImage>(checkItem)->FKind, oiCheck);
  EXPECT_EQ(checkItem->CustomGlyphs()->Width(), 9 * 13);
}

TEST_F(MediaImageSkins, SkinsWithoutTheStripsOrTheExtraImagesHandNothingAndFailNothing) {
  // No check and radio strips: no glyphs, and the controls keep their own.
  TTestSkin bare = CompleteSkin();
  for (auto& pic : bare.Pictures)
    if (pic.Name == "check.bmp" || pic.Name == "radio.bmp") pic.Data = "not a picture";
  auto* check = Add<TRzCheckBox>(form);
  auto* cx = Add<TcxCheckBox>(form);
  SkinWith(bare.File());
  ASSERT_NE(SkinOf<TSkinObjImage>(check), nullptr);
  EXPECT_TRUE(check->CustomGlyphs()->Empty());
  EXPECT_TRUE(check->UseLog.empty());
  EXPECT_TRUE(cx->Properties()->Glyph()->Empty());

  // No ExtraImages in the skin: the strips are handed as with any other skin.
  TTestSkin noExtra = CompleteSkin();
  std::erase_if(noExtra.Pictures, [](const TSkinArchiveEntry& p) { return p.Name == "extra.bmp"; });
  const std::string section = "[ExtraImages]\r\n";
  const size_t at = noExtra.Ini.find(section);
  ASSERT_NE(at, std::string::npos);
  noExtra.Ini.erase(at, noExtra.Ini.find('[', at + 1) - at);
  auto* other = Add<TRzCheckBox>(form);
  SkinWith(noExtra.File());
  ASSERT_EQ(data->ExtraImages, nullptr);
  EXPECT_EQ(other->CustomGlyphs()->Width(), 9 * 13);
  EXPECT_TRUE(other->UseCustomGlyphs());
}

}  // namespace
