#include "skin/windows/controls/mplayer_skin.h"

#include <string>

#include "classlib/core/typinfo.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"

KARO_CLASS_INFO(TWMediaPlayer, TCustomControl)
KARO_CLASS_INFO(TSkinMP, TSkinControl)

// ---- Deciding

uint16_t MPButtonBits(const TTypeInfo* SetType, int64_t Value) {
  if (!SetType || SetType->Kind != tkSet || !SetType->ElementType) return 0;
  const TTypeInfo* buttons = TEnumTraits<TMPBtnType>::Info();
  uint16_t bits = 0;
  const auto& names = SetType->ElementType->EnumNames;
  for (size_t n = 0; n < names.size() && n < 64; ++n) {
    if (!(uint64_t(Value) >> n & 1)) continue;
    // By whole name: a value whose name merely contains a button's name is another value.
    for (int b = 0; b < kMPButtonCount; ++b)
      if (names[n] == buttons->EnumNames[size_t(b)]) bits = uint16_t(bits | 1u << b);
  }
  return bits;
}

namespace {

uint16_t ReadSet(TControl* Player, const char* Name) {
  const TPropInfo* p = GetPropInfo(Player, Name);
  if (!p || p->Kind() != tkSet) return 0;
  return MPButtonBits(p->Type, GetOrdProp(Player, Name));
}

}  // namespace

TMPButtonFlags ReadMPButtons(TControl* Player) {
  TMPButtonFlags f;
  if (!Player) return f;
  f.Visible = ReadSet(Player, "VisibleButtons");
  f.Enabled = Player->Enabled() ? ReadSet(Player, "EnabledButtons") : 0;
  f.Colored = ReadSet(Player, "ColoredButtons");
  return f;
}

int MPButtonFrame(bool Enabled, bool MouseDown, bool Pressed) {
  if (!Enabled) return 3;
  return MouseDown && Pressed ? 2 : 1;
}

TMPGlyphKind MPGlyphKind(bool Enabled, bool Colored) {
  if (!Enabled) return mgDisabled;
  return Colored ? mgColored : mgEnabled;
}

int MPVisibleCount(uint16_t Visible) {
  int n = 0;
  for (int b = 0; b < kMPButtonCount; ++b) n += Visible >> b & 1;
  return n;
}

int MPFindButton(uint16_t Visible, int ButtonWidth, int X) {
  int left = 0;
  for (int b = 0; b < kMPButtonCount; ++b) {
    if (!(Visible >> b & 1)) continue;
    if (left <= X && X <= left + ButtonWidth) return b;
    left += ButtonWidth;
  }
  return kMPNoButton;
}

// ---- The overlay

TWMediaPlayer::TWMediaPlayer(TComponent* AOwner) : TCustomControl(AOwner) {
  // Painted whole in one blit: no background of its own first.
  SetControlStyle((ControlStyle() | csOpaque) & ~TControlStyle(csSetCaption | csDoubleClicks));
  LoadBitmaps();
}

TWMediaPlayer::~TWMediaPlayer() {
  if (FMediaPlayer) FMediaPlayer->RemoveFreeNotification(this);
}

void TWMediaPlayer::LoadBitmaps() {
  for (int b = 0; b < kMPButtonCount; ++b) {
    MPButtonGlyph(TMPBtnType(b), mgEnabled, FButtons[size_t(b)].EN);
    MPButtonGlyph(TMPBtnType(b), mgDisabled, FButtons[size_t(b)].DI);
    MPButtonGlyph(TMPBtnType(b), mgColored, FButtons[size_t(b)].CL);
  }
}

void TWMediaPlayer::Attach(TSkinMP* Skin, TControl* MediaPlayer) {
  FSkin = Skin;
  FMediaPlayer = MediaPlayer;
  FSkinData = Skin ? Skin->FSkinData : nullptr;
  if (FSkinData) SetTag(FSkinData->DisableTag());
  if (!MediaPlayer) return;
  // The player may go without its skin knowing (freed with its parent): never paint a freed one.
  MediaPlayer->FreeNotification(this);
  SetParent(MediaPlayer->Parent());
  SetPosition(MediaPlayer);
}

void TWMediaPlayer::Detach() {
  if (FMediaPlayer) FMediaPlayer->RemoveFreeNotification(this);
  FMediaPlayer = nullptr;
  SetVisible(false);
}

void TWMediaPlayer::Notification(TComponent* c, TOperation op) {
  TCustomControl::Notification(c, op);
  if (op == opRemove && c == FMediaPlayer) {
    FMediaPlayer = nullptr;
    SetVisible(false);
  }
}

void TWMediaPlayer::SetPosition(TControl* MediaPlayer) {
  if (!MediaPlayer) return;
  SetBounds(MediaPlayer->Left(), MediaPlayer->Top(), MediaPlayer->Width(), MediaPlayer->Height());
  KeepAbovePlayer();
}

// A sibling that lies above the player stays above the overlay too; below the player the overlay
// would be hidden.
void TWMediaPlayer::KeepAbovePlayer() {
  auto* player = dyn<TWinControl>(FMediaPlayer);
  if (!player || !player->HandleAllocated() || !Parent() || !Parent()->HandleAllocated()) return;
  HWND own = Handle(), under = player->Handle();
  if (GetParent(own) != GetParent(under)) return;
  HWND above = GetWindow(under, GW_HWNDPREV);
  if (above == own) return;
  SetWindowPos(own, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWMediaPlayer::ReadButtons() {
  const TMPButtonFlags f = ReadMPButtons(FMediaPlayer);
  for (int b = 0; b < kMPButtonCount; ++b) {
    FButtons[size_t(b)].Visible = f.Visible >> b & 1;
    FButtons[size_t(b)].Enabled = f.Enabled >> b & 1;
    FButtons[size_t(b)].Colored = f.Colored >> b & 1;
  }
  FVisibleCount = MPVisibleCount(f.Visible);
}

int TWMediaPlayer::FindButton(int X) {
  ReadButtons();
  uint16_t visible = 0;
  for (int b = 0; b < kMPButtonCount; ++b)
    if (FButtons[size_t(b)].Visible) visible = uint16_t(visible | 1u << b);
  // The width of now, as the player itself finds its buttons.
  const int width = FVisibleCount ? Width() / FVisibleCount : 0;
  return MPFindButton(visible, width, X);
}

void TWMediaPlayer::WMLButtonDown(TWMMouse& m) {
  FMouseDown = true;
  TCustomControl::WndProc(m.Message);
  if (FMediaPlayer) FMediaPlayer->Perform(m.Message.Msg, m.Message.WParam, m.Message.LParam);
  ReleaseCapture();
  FFound = FindButton(m.XPos);
  FPressed = FFound;
  Invalidate();
}

void TWMediaPlayer::WMLButtonDblClk(TWMMouse& m) {
  // The window class has double clicks: the second press of a quick pair is a press all the
  // same, as on the player, or that click would be lost.
  m.Message.Msg = WM_LBUTTONDOWN;
  WMLButtonDown(m);
}

void TWMediaPlayer::WMLButtonUp(TWMMouse& m) {
  FMouseDown = false;
  TCustomControl::WndProc(m.Message);
  FFound = FindButton(m.XPos);
  // A click completes only over the button where it started.
  if (FFound == FPressed && FMediaPlayer) FMediaPlayer->Perform(m.Message.Msg, m.Message.WParam, m.Message.LParam);
  FPressed = FFound;
  Invalidate();
}

KARO_BEGIN_MESSAGE_MAP_OF(TWMediaPlayer, void, WndProc)
  KARO_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, WMLButtonDblClk)
  KARO_MESSAGE(WM_LBUTTONUP, WMLButtonUp)
KARO_END_MESSAGE_MAP_OF(TCustomControl::WndProc(Message))

void TWMediaPlayer::DrawButton(HDC DC, int Button, const TRect& R) {
  TMPButton& b = FButtons[size_t(Button)];
  TBitmap& image = !b.Enabled ? b.DI : b.Colored ? b.CL : b.EN;
  const int frame = MPButtonFrame(b.Enabled, FMouseDown, Button == FPressed);
  if (FSkinData && FSkinData->Buttons && !FSkinData->Buttons->Map->Empty())
    DrawElement(DC, R, FSkinData->Buttons.get(), frame);
  if (image.Empty()) return;
  const int shift = frame == 2 ? 1 : 0;
  const int x = R.Left + (R.Width() - image.Width()) / 2 + shift;
  const int y = (R.Height() - image.Height()) / 2 + shift;
  GdiTransparentBlt(DC, x, y, image.Width(), image.Height(), image.Canvas()->Handle(), 0, 0, image.Width(),
                    image.Height(), COLORREF(ColorToRGB(kMPGlyphBack)));
}

void TWMediaPlayer::Paint() {
  ReadButtons();
  const TColor face = ColorToRGB(FSkinData ? FSkinData->Colors[csButtonFace] : TColor(clBtnFace));
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  HBRUSH brush = CreateSolidBrush(COLORREF(face));
  const RECT all{0, 0, w, h};
  HDC target = Canvas()->Handle();
  if (FVisibleCount == 0) {
    FillRect(target, &all, brush);
    DeleteObject(brush);
    return;
  }
  FButtonWidth = w / FVisibleCount;
  TBitmap buffer;
  buffer.SetPixelFormat(pf24bit);
  buffer.SetSize(w, h);
  HDC dc = buffer.Canvas()->Handle();
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  int left = 0;
  for (int b = 0; b < kMPButtonCount; ++b) {
    if (!FButtons[size_t(b)].Visible) continue;
    DrawButton(dc, b, TRect(left, 0, left + FButtonWidth, h));
    left += FButtonWidth;
  }
  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

// ---- The skin

TSkinMP::TSkinMP(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinMP::~TSkinMP() { FreeOverlay(); }

void TSkinMP::FreeOverlay() {
  TWMediaPlayer* p = FPlayer;
  FPlayer = nullptr;
  if (!p) return;
  p->RemoveFreeNotification(this);
  delete p;
}

void TSkinMP::Notification(TComponent* c, TOperation op) {
  TSkinControl::Notification(c, op);
  // Its parent frees the overlay with itself.
  if (op == opRemove && c == FPlayer) FPlayer = nullptr;
}

void TSkinMP::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  if (FInitialized) return;
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  if (!FInitialized || !FControl || !FControl->Parent()) return;
  // The skin owns the overlay rather than the form skin: it goes with the player it covers.
  FPlayer = new TWMediaPlayer(nullptr);
  FPlayer->FreeNotification(this);
  FPlayer->Attach(this, FControl);
  FPlayer->SetVisible(FControl->Visible());
}

void TSkinMP::AfterWindowPosChanged(TWMWindowPosMsg&) {
  if (FPlayer) FPlayer->SetPosition(FControl);
}

void TSkinMP::AfterVisibleChanged(TMessage&) {
  if (FPlayer && FControl) FPlayer->SetVisible(FControl->Visible());
}

void TSkinMP::AfterPaintPlayer(TWMPaint&) {
  // The player repaints when its buttons or its state change: the overlay shows the same.
  if (FPlayer) FPlayer->Invalidate();
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinMP, void, AfterProc)
  KARO_MESSAGE(WM_WINDOWPOSCHANGED, AfterWindowPosChanged)
  KARO_MESSAGE(CM_VISIBLECHANGED, AfterVisibleChanged)
  KARO_MESSAGE(WM_PAINT, AfterPaintPlayer)
KARO_END_MESSAGE_MAP_OF(TSkinControl::AfterProc(Message))

void TSkinMP::Unsubclass() {
  TSkinControl::Unsubclass();
  if (FState == kSkinWindowGone) {
    // The player's window is going, perhaps with its parent's: the overlay's window goes with
    // them, and the overlay itself with this skin.
    if (FPlayer) FPlayer->Detach();
  } else {
    FreeOverlay();
  }
}
