#include "skin/windows/controls/button_skin.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "classlib/graphics/image_list.h"
#include "skin/data/img_util.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinButton, TSkinControl)
KARO_CLASS_INFO(TSkinBitButton, TSkinButton)

namespace {

// Reaches the control's protected mouse handler, as the platform's access classes do.
struct TAcControl : TControl {
  using TControl::MouseDown;
};

constexpr UINT_PTR kRedrawTimer = 1;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

class TSelectFont {
public:
  TSelectFont(HDC dc, HFONT f) : dc_(dc), old_(f ? SelectObject(dc, f) : nullptr) {}
  ~TSelectFont() {
    if (old_) SelectObject(dc_, old_);
  }

private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

// ---- Deciding

int ButtonFrame(bool Disabled, bool Down, bool Hot, bool Focused) {
  if (Disabled) return 3;
  if (Down) return 2;
  if (Hot) return 4;
  if (Focused) return 5;
  return 1;
}

int GlyphStateOfFrame(int Frame) {
  switch (Frame) {
    case 2: return 3;
    case 3: return 2;
    default: return 1;
  }
}

TGlyphLayout LayoutGlyphButton(TPoint Client, TPoint Glyph, TPoint Text, int Layout, int Margin, int Spacing,
                               bool Centre, bool Speed) {
  if (Layout < 0 || Layout > 3) Layout = 0;
  const bool across = Layout < 2;
  const int C = across ? Client.X : Client.Y;
  const int G = across ? Glyph.X : Glyph.Y;
  const int S = across ? Text.X : Text.Y;
  const int cross = across ? Client.Y : Client.X;
  const int gCross = across ? Glyph.Y : Glyph.X;
  const int sCross = across ? Text.Y : Text.X;
  if (Text.X == 0 || Glyph.X == 0) Spacing = 0;
  if (Margin == -1 || Centre) {
    if (Spacing == -1) {
      Margin = (C - (G + S)) / 3;
      Spacing = Margin;
    } else {
      Margin = (C - (G + Spacing + S)) / 2 + (Speed ? 1 : 0);
    }
  } else if (Spacing == -1) {
    Spacing = ((C - (Margin + G)) - S) / 2;
  }
  int g = 0, t = 0;
  UINT flags = DT_WORDBREAK;
  if (Layout == 0 || Layout == 2) {
    g = Margin;
    t = Margin + G + Spacing;
  } else {
    g = C - Margin - G;
    t = g - Spacing - S;
  }
  if (Layout == 1) flags |= DT_RIGHT;
  if (Layout >= 2) flags |= DT_CENTER;
  const int gc = (cross - gCross + 1) / 2, tc = (cross - sCross + 1) / 2;
  TGlyphLayout r;
  r.Flags = flags;
  if (across) {
    r.Glyph = TPoint(g, gc);
    r.Text = TRect(t, tc, t + Text.X, tc + Text.Y);
  } else {
    r.Glyph = TPoint(gc, g);
    r.Text = TRect(tc, t, tc + Text.X, t + Text.Y);
  }
  return r;
}

TGlyphLayout LayoutCaptionWithGlyph(HDC DC, WideString& Caption, TPoint Size, TPoint Glyph, int Layout, int Margin,
                                    int Spacing, bool Centre, bool Speed) {
  Caption = StringReplaceW(Caption, L"||", L"\r\n");
  TRect t(2, 2, Size.X - 2, Size.Y - 2);
  if (Layout < 2)
    t.Right -= Glyph.X + 2;
  else
    t.Bottom -= Glyph.Y + 2;
  TPoint s(0, 0);
  if (!Caption.empty()) {
    RECT calc{0, 0, std::max(0, t.Width()), std::max(0, t.Height())};
    Tnt_DrawTextW(DC, Caption, calc, DT_CALCRECT | DT_WORDBREAK);
    s = TPoint(calc.right - calc.left, calc.bottom - calc.top);
  }
  return LayoutGlyphButton(Size, Glyph, s, Layout, Margin, Spacing, Centre, Speed);
}

int LayoutOfName(const std::string& Name) {
  const std::string n = Lower(Name);
  if (n == "blglyphright") return 1;
  if (n == "blglyphtop") return 2;
  if (n == "blglyphbottom") return 3;
  return 0;
}

int GlyphCell(int NumGlyphs, int State) {
  if (NumGlyphs < 1) NumGlyphs = 1;
  if (State < 1 || NumGlyphs < State) return 0;
  return State - 1;
}

// ---- TSkinButton

TSkinButton::TSkinButton(TComponent* AOwner) : TSkinControl(AOwner), FWorkBitmap(std::make_unique<TBitmap>()) {
  FWorkBitmap->SetPixelFormat(pf24bit);
}

TSkinButton::~TSkinButton() {
  if (redrawTimer_ && FHandle && IsWindow(FHandle)) KillTimer(FHandle, kRedrawTimer);
}

void TSkinButton::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  if (!FControl) return;
  const std::string cls = Lower(FControl->ClassName());
  FTransparent = cls.rfind("trz", 0) == 0 || cls.rfind("tel", 0) == 0 ? 1 : 0;
  FParentBack = FControl->Tag() == kParentBackTag || (FSkinData && FSkinData->Options().Contains(xoTransparent));
}

void TSkinButton::Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  TSkinControl::Inithwnd(Handle, SkinData, Canvas, Form);
  FParentBack = FSkinData && FSkinData->Options().Contains(xoTransparent);
}

bool TSkinButton::HasPicture() const {
  return FSkinData && FSkinData->Buttons && FSkinData->Buttons->Map && !FSkinData->Buttons->Map->Empty();
}

int TSkinButton::CurrentFrame() {
  return ButtonFrame(!FEnabled, (FMouseState & scDown) != 0, (FMouseState & scMouseIn) != 0, FFocused != 0);
}

bool TSkinButton::BeforeProc(TMessage& Message) {
  // Without a picture the button paints and presses itself.
  if (!HasPicture()) return TSkinControl::BeforeProc(Message);
  if (PaintWholeWindow(Message)) return false;
  return BeforePicture(Message);
}

bool TSkinButton::BeforeTimer(TWMTimer& m) {
  // Only the redraw timer is ours; the control's own timers go on to it.
  if (m.TimerID == kRedrawTimer && redrawTimer_) {
    SetRedraw(true);
    return false;
  }
  return TSkinControl::BeforeProc(m.Message);
}

bool TSkinButton::BeforeLButtonDown(TWMMouse& m) {
  if (FHandle && GetFocus() != FHandle) SetFocus(FHandle);
  FMouseState |= scDown;
  PaintControl(nullptr);
  if (FTransparent == 0 && FControl) DoMouseDown(m);
  return false;
}

bool TSkinButton::BeforeLButtonUp(TWMMouse&) {
  // The click comes before the control hears the release, as a button's own click does: a
  // class-library control's OnClick then still comes before its OnMouseUp.
  if (FMouseState & scDown) {
    FMouseState &= uint8_t(~scDown);
    Invalidate();
    Click();
  }
  return true;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinButton, bool, BeforePicture)
  KARO_MESSAGE(WM_TIMER, BeforeTimer)
  KARO_MESSAGE(WM_LBUTTONDOWN, BeforeLButtonDown)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, BeforeLButtonDown)
  KARO_MESSAGE(WM_LBUTTONUP, BeforeLButtonUp)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))

void TSkinButton::AfterProc(TMessage& Message) {
  if (!HasPicture()) {
    TSkinControl::AfterProc(Message);
    return;
  }
  AfterPicture(Message);
}

void TSkinButton::AfterSetText(TWMSetText&) { PaintControl(nullptr); }

void TSkinButton::AfterKeyDown(TWMKey& m) {
  if (m.CharCode == VK_SPACE) {
    FMouseState |= scDown;
    Invalidate();
  }
}

void TSkinButton::AfterKeyUp(TWMKey& m) {
  if (m.CharCode == VK_SPACE) {
    FMouseState &= uint8_t(~scDown);
    Invalidate();
  }
}

void TSkinButton::AfterMouseMove(TWMMouse&) {
  if (FEnabled && !(FMouseState & scMouseIn)) {
    FMouseState |= scMouseIn;
    Invalidate();
  }
  if (FHandle) DoTrackMouse(FHandle);
}

void TSkinButton::AfterMouseLeft(TWMNoParams&) {
  FMouseState = 0;
  Invalidate();
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinButton, void, AfterPicture)
  KARO_MESSAGE(WM_SETTEXT, AfterSetText)
  KARO_MESSAGE(WM_KEYDOWN, AfterKeyDown)
  KARO_MESSAGE(WM_KEYUP, AfterKeyUp)
  KARO_MESSAGE(WM_MOUSEMOVE, AfterMouseMove)
  KARO_MESSAGE(WM_MOUSELEAVE, AfterMouseLeft)
  KARO_MESSAGE(CM_DIALOGKEY, AfterStateChanged)
  KARO_MESSAGE(CM_FOCUSCHANGED, AfterStateChanged)
  KARO_MESSAGE(WM_PAINT, AfterNothing)  // painted whole in BeforeProc
KARO_END_MESSAGE_MAP_OF(TSkinControl::AfterProc(Message))

void TSkinButton::Click() {
  if (!FHandle) return;
  HWND parent = GetParent(FHandle);
  if (!parent) return;
  char cls[64] = {};
  GetClassNameA(FHandle, cls, sizeof cls);
  if (!FControl && Lower(cls) == "tbutton") {
    PostMessageW(parent, WM_COMMAND, 0, LPARAM(FHandle));
    return;
  }
  // What the button itself sends on a click, so the parent (and, reflected from it, a class-library
  // control's Click) sees the same with and without the skin.
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(FHandle), BN_CLICKED), LPARAM(FHandle));
}

void TSkinButton::DoMouseDown(TWMMouse& Message) {
  if (!FControl) return;
  int x = Message.XPos, y = Message.YPos;
  if (FControl->Width() > 0x8000 || FControl->Height() > 0x8000) {
    POINT p{};
    GetCursorPos(&p);
    const TPoint c = FControl->ScreenToClient(TPoint(p.x, p.y));
    x = c.X;
    y = c.Y;
  }
  void (TControl::*down)(TMouseButton, TShiftState, int, int) = &TAcControl::MouseDown;
  (FControl->*down)(mbLeft, KeysToShiftState(Message.Keys), x, y);
}

void TSkinButton::SetRedraw(bool Value) {
  if (!FHandle) return;
  LONG_PTR style = GetWindowLongPtrA(FHandle, GWL_STYLE);
  if (redrawTimer_) KillTimer(FHandle, kRedrawTimer);
  redrawTimer_ = false;
  if (!Value) {
    FHidden = true;
    redrawTimer_ = SetTimer(FHandle, kRedrawTimer, 100, nullptr) != 0;
    style &= ~LONG_PTR(WS_VISIBLE);
  } else if (FHidden) {
    FHidden = false;
    style |= WS_VISIBLE;
  }
  SetWindowLongPtrA(FHandle, GWL_STYLE, style);
}

HGDIOBJ TSkinButton::SelectButtonFont(HDC DC) {
  HFONT f = nullptr;
  if (FControl)
    f = FControl->Font()->Handle();
  else if (FHandle)
    f = HFONT(SendMessageW(FHandle, WM_GETFONT, 0, 0));
  if (!f) f = HFONT(GetStockObject(DEFAULT_GUI_FONT));
  return SelectObject(DC, f);
}

TColor TSkinButton::StateTextColor(int Frame) {
  TColor fallback = FControl ? FControl->Font()->Color()
                             : (FSkinData ? FSkinData->Colors[csButtonText] : TColor(clBtnText));
  return ColorToRGB(ButtonTextColor(FSkinData ? FSkinData->Buttons.get() : nullptr, Frame, fallback));
}

void TSkinButton::PaintBackground(HDC DC, const TRect& R) {
  if (FParentBack && FHandle)
    DrawParentImage(FHandle, DC, true);
  else
    FillBG(DC, R);
}

void TSkinButton::DrawBtnText(HDC DC, const TRect& R, UINT Flags) {
  FCaption = StringReplaceW(FCaption, L"||", L"\r\n");
  const int oldMode = SetBkMode(DC, TRANSPARENT);
  TRect m = R;
  m.Left += 2;
  m.Top += 2;
  m.Right -= 2;
  m.Bottom -= 2;
  RECT calc{0, 0, std::max(0, m.Width()), std::max(0, m.Height())};
  Tnt_DrawTextW(DC, FCaption, calc, Flags | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK);
  const int w = calc.right - calc.left, h = calc.bottom - calc.top;
  TRect t;
  t.Top = R.Top + (R.Height() - h) / 2 - 1;
  t.Bottom = t.Top + h;
  if (Flags == DT_CENTER) {
    // Centred by the width the text measures in this font, whatever its script.
    t.Left = R.Left + (R.Width() - w) / 2;
    t.Right = t.Left + w;
  } else {
    t.Left = R.Left;
    t.Right = R.Right;
  }
  RECT d{t.Left, t.Top, t.Right, t.Bottom};
  Tnt_DrawTextW(DC, FCaption, d, CheckBiDi(Flags | DT_EXPANDTABS | DT_WORDBREAK));
  SetBkMode(DC, oldMode);
  if (FFocused && !(FSkinData && FSkinData->Options().Contains(xoNoFocusRect)) && !FCaption.empty()) {
    RECT f{std::max(t.Left - 2, R.Left), std::max(t.Top - 2, R.Top), std::min(t.Right + 2, R.Right),
           std::min(t.Bottom + 2, R.Bottom)};
    SetTextColor(DC, 0);
    SetBkColor(DC, 0xFFFFFF);
    DrawFocusRect(DC, &f);
  }
}

void TSkinButton::DrawControl(HDC DC, const TRect& R) {
  if (!HasPicture() || R.Width() <= 0 || R.Height() <= 0) return;
  FFocused = FHandle && GetFocus() == FHandle ? 1 : 0;
  FEnabled = FHandle && (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_DISABLED) ? 0 : 1;
  FCaption = FControl ? FControl->Caption() : GetWindowTextWide(FHandle);
  const int frame = CurrentFrame();
  FWorkBitmap->SetSize(R.Width(), R.Height());
  HDC w = FWorkBitmap->Canvas()->Handle();
  const TRect all(0, 0, R.Width(), R.Height());
  PaintBackground(w, all);
  DrawSkinMap(w, all, FSkinData->Buttons.get(), frame);
  HGDIOBJ old = SelectButtonFont(w);
  SetTextColor(w, COLORREF(StateTextColor(frame)));
  DrawBtnText(w, all, DT_CENTER);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), w, 0, 0, SRCCOPY);
  SelectObject(w, old);
}

// ---- TSkinBitButton

TSkinBitButton::TSkinBitButton(TComponent* AOwner) : TSkinButton(AOwner) {}

void TSkinBitButton::DrawGlyph(HDC DC, int X, int Y, TBitmap* Glyph, int NumGlyphs, int State) {
  if (!Glyph || Glyph->Empty()) return;
  if (NumGlyphs < 1) NumGlyphs = 1;
  const int cw = Glyph->Width() / NumGlyphs;
  if (cw < 1) return;
  const int cell = GlyphCell(NumGlyphs, State);
  TBitmap tmp;
  tmp.SetPixelFormat(pf24bit);
  tmp.SetSize(cw, Glyph->Height());
  HDC src = Glyph->Canvas()->Handle();
  BitBlt(tmp.Canvas()->Handle(), 0, 0, cw, Glyph->Height(), src, cell * cw, 0, SRCCOPY);
  const COLORREF key = GetPixel(tmp.Canvas()->Handle(), 0, Glyph->Height() - 1);
  if (State != 2) {
    DrawTranmap(DC, TRect(X, Y, X + cw, Y + Glyph->Height()), &tmp, TColor(key));
    return;
  }
  // Greyed, the transparent colour is still the one the cell had: a pixel whose grey happens to
  // match the grey of that colour stays. Those pixels get a colour no grey can have.
  constexpr TColor kMark = 0xFF00FF;
  TPixelView v = tmp.PixelView();
  std::vector<bool> clear(size_t(v.Width) * size_t(v.Height));
  const uint8_t kr = GetRValue(key), kg = GetGValue(key), kb = GetBValue(key);
  for (int y = 0; y < v.Height; ++y) {
    const uint8_t* p = v.Row(y);
    for (int x = 0; x < v.Width; ++x, p += 3)
      clear[size_t(y) * size_t(v.Width) + size_t(x)] = p[0] == kb && p[1] == kg && p[2] == kr;
  }
  ConvertBitmapToGrayscale(&tmp);
  v = tmp.PixelView();
  for (int y = 0; y < v.Height; ++y) {
    uint8_t* p = v.Row(y);
    for (int x = 0; x < v.Width; ++x, p += 3)
      if (clear[size_t(y) * size_t(v.Width) + size_t(x)]) {
        p[0] = 0xFF;
        p[1] = 0x00;
        p[2] = 0xFF;
      }
  }
  DrawTranmap(DC, TRect(X, Y, X + cw, Y + Glyph->Height()), &tmp, kMark);
}

void TSkinBitButton::DrawControl(HDC DC, const TRect& R) {
  if (!HasPicture() || R.Width() <= 0 || R.Height() <= 0) return;
  FFocused = FHandle && GetFocus() == FHandle ? 1 : 0;
  FEnabled = FHandle && (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_DISABLED) ? 0 : 1;
  FCaption = FControl ? FControl->Caption() : GetWindowTextWide(FHandle);
  const int frame = CurrentFrame();
  const int glyphState = GlyphStateOfFrame(frame);
  FWorkBitmap->SetSize(R.Width(), R.Height());
  HDC w = FWorkBitmap->Canvas()->Handle();
  const TRect all(0, 0, R.Width(), R.Height());
  PaintBackground(w, all);
  DrawSkinMap(w, all, FSkinData->Buttons.get(), frame);
  HGDIOBJ old = SelectButtonFont(w);

  auto* glyph = dyn<TBitmap>(GetObjProp(FControl, FGlyphProp.empty() ? "Glyph" : FGlyphProp, TBitmap::StaticClass()));
  int num = GetIntProperty(FControl, "NumGlyphs");
  if (num < 1 || !FGlyphProp.empty()) num = 1;
  // Without a glyph, an image of an image list; disabled, its own disabled image when it names one.
  auto* images = dyn<TCustomImageList>(GetObjProp(FControl, "Images", TCustomImageList::StaticClass()));
  const int imageIndex = GetIntProperty(FControl, "ImageIndex");
  int image = -1;
  TPoint g(0, 0);
  if (glyph && !glyph->Empty()) {
    g = TPoint(glyph->Width() / num, glyph->Height());
  } else if (images && imageIndex != -1) {
    g = TPoint(images->Width(), images->Height());
    const int disabledIndex = GetIntProperty(FControl, "DisabledIndex");
    image = FEnabled || disabledIndex == -1 ? imageIndex : disabledIndex;
  }
  const int layout = LayoutOfName(GetEnumProperty(FControl, "Layout"));
  const bool centre = Lower(GetEnumProperty(FControl, "Alignment")) == "tacenter";

  const TGlyphLayout L = LayoutCaptionWithGlyph(w, FCaption, TPoint(all.Right, all.Bottom), g, layout,
                                                GetIntProperty(FControl, "Margin"),
                                                GetIntProperty(FControl, "Spacing"), centre);
  if (g.X > 0) {
    if (image != -1)
      images->Draw(FWorkBitmap->Canvas(), L.Glyph.X, L.Glyph.Y, image, FEnabled != 0);
    else if (FGlyphProp.empty())
      DrawGlyph(w, L.Glyph.X, L.Glyph.Y, glyph, num, glyphState);
    else
      BitBlt(w, L.Glyph.X, L.Glyph.Y, g.X, g.Y, glyph->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  if (!FCaption.empty()) {
    const int oldMode = SetBkMode(w, TRANSPARENT);
    SetTextColor(w, COLORREF(StateTextColor(frame)));
    RECT d{L.Text.Left, L.Text.Top, L.Text.Right, L.Text.Bottom};
    Tnt_DrawTextW(w, FCaption, d, CheckBiDi(L.Flags));
    SetBkMode(w, oldMode);
    if (FFocused && !(FSkinData->Options().Contains(xoNoFocusRect))) {
      RECT f{L.Text.Left - 2, L.Text.Top - 2, L.Text.Right + 2, L.Text.Bottom + 2};
      SetTextColor(w, 0);
      SetBkColor(w, 0xFFFFFF);
      DrawFocusRect(w, &f);
    }
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), w, 0, 0, SRCCOPY);
  SelectObject(w, old);
}
