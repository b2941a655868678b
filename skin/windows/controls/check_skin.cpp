#include "skin/windows/controls/check_skin.h"

#include <algorithm>
#include <cctype>

#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/controls/panel_skin.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinCheckBox, TSkinControl)
KARO_CLASS_INFO(TSkinRadioButton, TSkinCheckBox)

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

// Repainted after these: the button draws its new state straight onto the screen.
constexpr UINT kRepaintMark = 0xB0D0;

}  // namespace

int CheckFrame(int S, bool Disabled, bool Indeterminate, int N) {
  if (Disabled) S += 2;
  if (Indeterminate) S = 4;
  if (N == 12) {
    if (S == 2)
      S = 5;
    else if (S == 3)
      S = 4;
    else if (S == 4)
      S = 8;
    if (Indeterminate) S = Disabled ? 12 : 9;
  }
  return S;
}

int RadioFrame(bool Checked, bool Disabled, int N) {
  int S = Checked ? 2 : 1;
  if (Disabled) S += 2;
  if (N == 8) {
    if (S == 2)
      S = 5;
    else if (S == 3)
      S = 4;
    else if (S == 4)
      S = 8;
  }
  return S;
}

int CheckStateOfName(const std::string& Name) {
  const std::string n = Lower(Name);
  if (n.find("uncheck") != std::string::npos) return 1;
  if (n.find("check") != std::string::npos) return 2;
  if (n.find("gray") != std::string::npos) return 4;
  return 0;
}

TSkinCheckBox::TSkinCheckBox(TComponent* AOwner) : TSkinControl(AOwner) {}
TSkinRadioButton::TSkinRadioButton(TComponent* AOwner) : TSkinCheckBox(AOwner) {}

TBitmap* TSkinCheckBox::Strip() const {
  if (!FSkinData || !FSkinData->Buttons) return nullptr;
  TBitmap* b = Radio() ? FSkinData->Buttons->RadioMap.get() : FSkinData->Buttons->CheckMap.get();
  return b && !b->Empty() ? b : nullptr;
}

int TSkinCheckBox::StripFrames() const {
  if (!FSkinData || !FSkinData->Buttons) return 0;
  return Radio() ? FSkinData->Buttons->RadioButtonFrame : FSkinData->Buttons->CheckButtonFrame;
}

void TSkinCheckBox::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  FDataState = 0;
  FUseSkin = 0;
  if (!FControl) return;
  FUseSkin = Strip() ? 1 : 0;
  FTransparent =
      FControl->Tag() == kParentBackTag || (FSkinData && FSkinData->Options().Contains(xoTransparent)) ? 1 : 0;
}

bool TSkinCheckBox::BeforeProc(TMessage& Message) {
  if (!TSkinControl::BeforeProc(Message)) return false;
  return DispatchBefore(Message);
}

bool TSkinCheckBox::BeforePaint(TWMPaint& m) {
  if (FUseSkin != 1) return true;
  WMPaint(m);
  return false;
}

bool TSkinCheckBox::BeforeEraseBkgnd(TWMEraseBkgnd& m) {
  if (!FTransparent) return true;
  WMERASEBKGND(m);
  m.Result = 1;
  return false;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinCheckBox, bool, DispatchBefore)
  KARO_MESSAGE(WM_PAINT, BeforePaint)
  KARO_MESSAGE(WM_PRINTCLIENT, BeforePaint)
  KARO_MESSAGE(WM_ERASEBKGND, BeforeEraseBkgnd)
KARO_END_MESSAGE_MAP_OF(true)

void TSkinCheckBox::AfterSetCheck(TBMSetCheck& m) {
  if (!Radio()) FDataState = m.Check + 1;
  Invalidate();
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinCheckBox, void, AfterProc)
  KARO_MESSAGE(BM_SETCHECK, AfterSetCheck)
  KARO_MESSAGE(WM_LBUTTONDOWN, AfterStateChanged)
  KARO_MESSAGE(WM_LBUTTONUP, AfterStateChanged)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, AfterStateChanged)
  KARO_MESSAGE(CM_EXIT, AfterStateChanged)
  KARO_MESSAGE(kRepaintMark, AfterStateChanged)
KARO_END_MESSAGE_MAP_OF(TSkinControl::AfterProc(Message))

int TSkinCheckBox::CurrentFrame() {
  const int N = StripFrames();
  const bool disabled = FHandle && (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_DISABLED);
  const LRESULT st = FHandle ? SendMessageW(FHandle, BM_GETSTATE, 0, 0) : 0;
  if (Radio()) {
    bool checked = FHandle && SendMessageW(FHandle, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (FControl && HasProperty(FControl, "Checked")) checked = Lower(GetEnumProperty(FControl, "Checked")) == "true";
    return RadioFrame(checked, disabled, N);
  }
  int S = (st & BST_CHECKED) ? 2 : 1;
  if (FControl) {
    if (HasProperty(FControl, "State")) {
      if (const int s = CheckStateOfName(GetEnumProperty(FControl, "State"))) S = s;
    } else if (HasProperty(FControl, "Checked")) {
      S = Lower(GetEnumProperty(FControl, "Checked")) == "true" ? 2 : 1;
    }
    if (HasProperty(FControl, "DataField") && FDataState != 0) S = FDataState == 3 ? 4 : FDataState;
    if (HasProperty(FControl, "DataBinding")) S = 1;
  }
  return CheckFrame(S, disabled, (st & BST_INDETERMINATE) != 0, N);
}

void TSkinCheckBox::DrawControl(HDC DC, const TRect& R) {
  TBitmap* strip = Strip();
  if (!strip) {
    FUseSkin = 0;
    return;
  }
  const int N = StripFrames();
  if (N < 1) return;  // no frames to cut the strip into
  const int W = strip->Width() / N, H = strip->Height();
  const int frame = CurrentFrame();
  const LONG_PTR style = FHandle ? GetWindowLongPtrA(FHandle, GWL_STYLE) : 0;
  const bool rightGlyph = (style & BS_LEFTTEXT) != 0;
  TRect g, t = R;
  g.Top = R.Top + (R.Height() - H) / 2;
  g.Bottom = g.Top + H;
  if (rightGlyph) {
    g.Right = Radio() ? R.Right - 1 : R.Right;
    g.Left = g.Right - W;
    t.Right = g.Left - 2;
  } else {
    g.Left = R.Left;
    g.Right = g.Left + W;
    t.Left = R.Left + W + 2;
  }
  UINT flags = DT_WORDBREAK | DT_EXPANDTABS;
  if (FControl && FControl->BiDiMode() == bdRightToLeft) {
    flags |= DT_RTLREADING;
    if (rightGlyph) flags |= DT_RIGHT;
  }
  if (FUseSkin == 1) {
    // Over a container the skin paints, the container shows through: its face, frame and caption.
    const bool showParent = FTransparent || (FHandle && FindContainerSkin(FForm, GetParent(FHandle)));
    if (showParent && FHandle)
      DrawParentImage(FHandle, DC, true);
    else if (!showParent)
      FillBG(DC, R);
  }
  DrawSkinMap2(DC, g, strip, frame, N);
  if (FUseSkin == 0) return;
  WideString caption = FControl ? FControl->Caption() : GetWindowTextWide(FHandle);
  HFONT font = FControl ? FControl->Font()->Handle() : HFONT(SendMessageW(FHandle, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? SelectObject(DC, font) : nullptr;
  const bool enabled = !(style & WS_DISABLED);
  const COLORREF oldText = SetTextColor(
      DC, COLORREF(ColorToRGB(enabled && FControl ? FControl->Font()->Color() : enabled ? clBtnText : clBtnShadow)));
  const COLORREF oldBk = SetBkColor(DC, COLORREF(ButtonFace()));
  const int oldMode = SetBkMode(DC, TRANSPARENT);
  RECT calc{t.Left, t.Top, t.Right, t.Bottom};
  Tnt_DrawTextW(DC, caption, calc, flags | DT_CALCRECT | DT_NOCLIP);
  const int measuredH = calc.bottom - calc.top;
  RECT d{t.Left, t.Top + (t.Height() - measuredH) / 2, t.Right, t.Bottom};
  // Around the text as it is drawn: measured in the same font, from the same place.
  if (FHandle && GetFocus() == FHandle && !caption.empty())
    DrawFocus(DC, caption, TRect(d.left, d.top, d.right, d.bottom), flags, R);
  Tnt_DrawTextW(DC, caption, d, flags);
  SetBkMode(DC, oldMode);
  SetBkColor(DC, oldBk);
  SetTextColor(DC, oldText);
  if (oldFont) SelectObject(DC, oldFont);
}
