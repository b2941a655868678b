#include "skin/windows/controls/panel_skin.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/controls/tab_skin.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinBox, TSkinControl)
KARO_CLASS_INFO(TSkinBoxH, TSkinControl)
KARO_CLASS_INFO(TSkinGroupBox, TSkinControl)
KARO_CLASS_INFO(TSkinStatusBar, TSkinControl)
KARO_CLASS_INFO(TSkinSizer, TSkinControl)
KARO_CLASS_INFO(TSkinTransObj, TSkinControl)

namespace {

TRect TR(const RECT& r) { return TRect(r.left, r.top, r.right, r.bottom); }

COLORREF ShadowColour(const TSkinData* d) {
  return COLORREF(ColorToRGB(d ? d->Colors[csButtonShadow] : TColor(clBtnShadow)));
}

// A picture of R's size to compose in; its canvas ready to draw on.
TBitmap* Work(const TRect& R) {
  TBitmap* bg = SizeBG(std::max(R.Width(), 1), std::max(R.Height(), 1));
  return bg && bg->Canvas()->Handle() ? bg : nullptr;
}

// What the unskinned bar leaves between a panel's edge and its text on the left.
constexpr int kStatusTextIndent = 3;

UINT AlignmentFlags(int Alignment) {
  switch (Alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

// ---- Deciding, pure

int StatusPanelFrame(int Bevel) {
  switch (Bevel) {
    case pbRaised: return 2;
    case pbNone: return 3;
    default: return 1;
  }
}

int StatusPanelAlignment(int Alignment, bool RightToLeft) {
  if (!RightToLeft) return Alignment;
  if (Alignment == taLeftJustify) return taRightJustify;
  if (Alignment == taRightJustify) return taLeftJustify;
  return Alignment;
}

TRect StatusPanelRect(const TRect& Part, const TRect& Bar, bool Last) {
  TRect r = Part;
  r.Right += 2;
  if (Last) r.Right = Bar.Right;
  return r;
}

TRect SizeGripRect(const TRect& Bar, TPoint Size) {
  return TRect(Bar.Right - 1 - Size.X, Bar.Bottom - 1 - Size.Y, Bar.Right - 1, Bar.Bottom - 1);
}

TRect StatusTextRect(const TRect& Part, bool Bevelled) {
  const int edge = Bevelled ? 1 : 0;
  return TRect(Part.Left + kStatusTextIndent, Part.Top + edge, Part.Right - edge, Part.Bottom - edge);
}

bool DrawSkinSizeGrip(HDC DC, const TRect& R, const TSkinData* Data) {
  const TDataSkinObject* extra = Data ? Data->ExtraImages.get() : nullptr;
  if (!extra || !extra->Map || extra->Map->Empty() || extra->Frame < 5) return false;
  const TPoint size(extra->Map->Width() / extra->Frame, extra->Map->Height());
  TSkinControl::DrawSkinMap2(DC, SizeGripRect(R, size), extra->Map.get(), 5, extra->Frame);
  return true;
}

bool PaintsContainerBackground(const TSkinControl* Skin) {
  if (!Skin || !Skin->FActive || Skin->FState != kSkinAttached) return false;
  return Skin->Is<TSkinBox>() || Skin->Is<TSkinBoxH>() || Skin->Is<TSkinGroupBox>() || Skin->Is<TSkinTabSheet>() ||
         Skin->Is<TSkinTab>();
}

TSkinControl* FindContainerSkin(TVeltForm* Form, HWND Parent) {
  if (!Form || !Parent) return nullptr;
  for (TSkinControlEntry* e : Form->ControlSkins())
    if (auto* s = dynamic_cast<TSkinControl*>(e); s && s->FHandle == Parent && PaintsContainerBackground(s)) return s;
  return nullptr;
}

// ---- TSkinBox

TSkinBox::TSkinBox(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinBox::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  if (FInitialized) return;
  auto* control = dyn<TControl>(Owner());
  if (!control) return;
  FSetColor = SetColor;
  TakeControl(control, SkinData, Canvas, Form);
  if (FSetColor) {
    FOldColor = control->Color();
    control->SetColor(ButtonFace());
  }
  FInitialized = true;
  FState = kSkinAttached;
}

void TSkinBox::AfterProc(TMessage& Message) { (void)Message; }

void TSkinBox::Unsubclass() {
  TSkinControl::Unsubclass();
  FState = 2;
}

// ---- TSkinBoxH

TSkinBoxH::TSkinBoxH(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinBoxH::BeforeEraseBkgnd(TWMEraseBkgnd& m) {
  FillWindowBG(m.DC);
  m.Result = 0;
  return false;
}

bool TSkinBoxH::BeforeCtlColorStatic(TWMCtlColor& m) {
  Default(m.Message);
  if (FSkinData && FSkinData->FaceBrush.get()) m.Result = LRESULT(FSkinData->FaceBrush.get());
  return false;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinBoxH, bool, BeforeProc)
  KARO_MESSAGE(WM_ERASEBKGND, BeforeEraseBkgnd)
  KARO_MESSAGE(WM_CTLCOLORSTATIC, BeforeCtlColorStatic)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))

// ---- TSkinGroupBox

TSkinGroupBox::TSkinGroupBox(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinGroupBox::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  if (FControl) FPainter = true;
}

bool TSkinGroupBox::BeforeProc(TMessage& Message) {
  if (!TSkinControl::BeforeProc(Message)) return false;
  return DispatchBefore(Message);
}

bool TSkinGroupBox::BeforePaint(TWMPaint& m) {
  if (!FPainter) return true;
  WMPaint(m);
  return false;
}

// Printing shares the paint: controls that show the box through ask for it that way.
KARO_BEGIN_MESSAGE_MAP_OF(TSkinGroupBox, bool, DispatchBefore)
  KARO_MESSAGE(WM_PAINT, BeforePaint)
  KARO_MESSAGE(WM_PRINTCLIENT, BeforePaint)
KARO_END_MESSAGE_MAP_OF(true)

void TSkinGroupBox::DrawControl(HDC DC, const TRect& R) {
  TBitmap* work = Work(R);
  if (!work) return DefaultDraw(DC, R);
  DrawBox(work->Canvas()->Handle(), TRect(0, 0, R.Width(), R.Height()));
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
  // After the copy: a child's own painter may compose in the shared work bitmap too.
  PaintGraphicChildren(FControl, DC);
}

void TSkinGroupBox::DefaultDraw(HDC DC, const TRect& R) {
  DrawBox(DC, R);
  PaintGraphicChildren(FControl, DC);
}

void TSkinGroupBox::DrawBox(HDC DC, const TRect& R) {
  WideString caption = GetWindowTextWide(FHandle);
  if (caption.empty() && FControl) caption = FControl->Caption();
  // Composed off screen, the box needs its background even without a control object.
  FillBG(DC, R);
  HFONT font = FHandle ? HFONT(SendMessageW(FHandle, WM_GETFONT, 0, 0)) : nullptr;
  COLORREF text = COLORREF(ColorToRGB(clBtnText));
  if (FControl) {
    font = FControl->Font()->Handle();
    text = COLORREF(ColorToRGB(FControl->Font()->Color()));
  }
  if (!font) font = HFONT(GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldFont = SelectObject(DC, font);
  const COLORREF oldText = SetTextColor(DC, text);
  SIZE zero{};
  GetTextExtentPoint32A(DC, "0", 1, &zero);
  const int h = zero.cy / 2 - 1;
  HPEN pen = CreatePen(PS_SOLID, 1, ShadowColour(FSkinData));
  HGDIOBJ oldPen = SelectObject(DC, pen);
  HGDIOBJ oldBrush = SelectObject(DC, GetStockObject(NULL_BRUSH));
  RoundRect(DC, 1, h, R.Right - 1, R.Bottom - 1, 5, 5);
  SelectObject(DC, oldBrush);
  SelectObject(DC, oldPen);
  DeleteObject(pen);
  // An opaque caption on the face colour cuts the frame line.
  const COLORREF oldBk = SetBkColor(DC, COLORREF(ButtonFace()));
  const int oldMode = SetBkMode(DC, OPAQUE);
  if (!caption.empty()) {
    const bool right = (GetWindowLongPtrA(FHandle, GWL_EXSTYLE) & WS_EX_RIGHT) != 0;
    RECT t = right ? RECT{R.Left, R.Top, R.Right - 8, R.Bottom} : RECT{R.Left + 8, R.Top, R.Right, R.Bottom};
    Tnt_DrawTextW(DC, caption, t, right ? CheckBiDi(DT_EXPANDTABS | DT_RIGHT) : DT_EXPANDTABS);
  }
  SetBkMode(DC, oldMode);
  SetBkColor(DC, oldBk);
  SetTextColor(DC, oldText);
  SelectObject(DC, oldFont);
}

// ---- TSkinStatusBar

TSkinStatusBar::TSkinStatusBar(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinStatusBar::BeforeProc(TMessage& Message) {
  if (PaintWholeWindow(Message)) return false;
  return TSkinControl::BeforeProc(Message);
}

void TSkinStatusBar::DrawStatusText(HDC DC, const TRect& R, const WideString& Text, UINT Flags) {
  if (R.Right <= R.Left || R.Bottom <= R.Top) return;
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  // As the unskinned bar writes it: one line, "&" as it stands; what does not fit is cut at a
  // whole character and ends in an ellipsis rather than in half a glyph.
  Tnt_DrawTextW(DC, Text.empty() ? WideString(L" ") : Text, r,
                Flags | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS | DT_END_ELLIPSIS);
}

void TSkinStatusBar::drawitem(HDC DC, const TRect& R, int Frame) {
  const TDataSkinObject* rec = FSkinData ? FSkinData->StatusBarEdges.get() : nullptr;
  if (rec && rec->Map && !rec->Map->Empty()) {
    if (R.Right < R.Left || R.Bottom < R.Top) return;
    std::unique_ptr<TBitmap> frame = GetHMap(R, rec->Map.get(), rec->Margins, Frame, 3, rec->Tile, 0);
    if (frame) BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), frame->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  Defaultpaint(DC, R, Frame);
}

void TSkinStatusBar::Defaultpaint(HDC DC, const TRect& R, int Frame) {
  if (Frame != 1 && Frame != 2) return;
  // Pens of system colours must be given the colours themselves.
  const TColor topLeft = Frame == 1 ? clBtnShadow : clBtnHighlight, bottomRight = Frame == 1 ? clBtnHighlight : clBtnShadow;
  FillColor(DC, TRect(R.Left, R.Top, R.Right, R.Top + 1), topLeft);
  FillColor(DC, TRect(R.Left, R.Top, R.Left + 1, R.Bottom), topLeft);
  FillColor(DC, TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), bottomRight);
  FillColor(DC, TRect(R.Right - 1, R.Top, R.Right, R.Bottom), bottomRight);
}

void TSkinStatusBar::DrawControl(HDC DC, const TRect& R) {
  if (!FHandle) return;
  TBitmap* work = Work(R);
  if (!work) return;
  HDC w = work->Canvas()->Handle();
  const TRect all(0, 0, R.Width(), R.Height());
  FillBG(w, all);
  auto* bar = dyn<TCustomStatusBar>(FControl);
  TFont font;
  if (FControl) font.Assign(FControl->Font());
  font.SetStyle(0);
  HGDIOBJ oldFont = SelectObject(w, FControl ? font.Handle() : HFONT(SendMessageW(FHandle, WM_GETFONT, 0, 0)));
  COLORREF text = COLORREF(ColorToRGB(FControl ? FControl->Font()->Color() : TColor(clBtnText)));
  if (FSkinData && FSkinData->StatusBarEdges) text = SkinColour(FSkinData->StatusBarEdges->NormalColour, clBtnText);
  const COLORREF oldText = SetTextColor(w, text);
  const int oldMode = SetBkMode(w, TRANSPARENT);
  const int n = bar ? bar->Panels()->Count() : 0;
  std::vector<std::pair<int, TRect>> drawn;
  if (!bar || bar->SimplePanel() || n == 0) {
    const bool rtl = FControl && FControl->BiDiMode() == bdRightToLeft;
    drawitem(w, all, 1);
    DrawStatusText(w, StatusTextRect(all, true), bar ? bar->SimpleText() : GetWindowTextWide(FHandle),
                   AlignmentFlags(rtl ? taRightJustify : taLeftJustify));
  } else {
    for (int i = 0; i < n; ++i) {
      TStatusPanel* p = bar->Panels()->Items(i);
      RECT part{};
      if (!SendMessageW(FHandle, SB_GETRECT, WPARAM(i), LPARAM(&part))) continue;
      const TRect r = StatusPanelRect(TR(part), all, i == n - 1);
      const bool rtl = p->BiDiMode() == bdRightToLeft;
      drawitem(w, r, StatusPanelFrame(p->Bevel()));
      if (p->Style() == psText)
        DrawStatusText(w, StatusTextRect(TR(part), p->Bevel() != pbNone), p->Text(),
                       AlignmentFlags(StatusPanelAlignment(p->Alignment(), rtl)) | (rtl ? UINT(DT_RTLREADING) : 0));
      else
        drawn.push_back({i, TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2)});
    }
  }
  if (GetWindowLongPtrA(FHandle, GWL_STYLE) & SBARS_SIZEGRIP) DrawSkinSizeGrip(w, all, FSkinData);
  SetBkMode(w, oldMode);
  SetTextColor(w, oldText);
  SelectObject(w, oldFont);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), w, 0, 0, SRCCOPY);
  PaintGraphicChildren(FControl, DC);
  // Panels the application draws itself are handed to it over the skin's picture.
  if (bar && bar->OnDrawPanel)
    for (const auto& [i, r] : drawn) bar->OnDrawPanel(bar, bar->Panels()->Items(i), r);
}

// ---- TSkinSizer

TSkinSizer::TSkinSizer(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinSizer::BeforeProc(TMessage& Message) {
  if (PaintWholeWindow(Message)) return false;
  return TSkinControl::BeforeProc(Message);
}

void TSkinSizer::DrawControl(HDC DC, const TRect& R) {
  FillBG(DC, R);
  // The face alone hid the grip the window is there to show.
  if (!(GetWindowLongPtrA(FHandle, GWL_STYLE) & SBS_SIZEGRIP) || DrawSkinSizeGrip(DC, R, FSkinData)) return;
  // A skin without a grip picture: the usual three ridges, in the skin's light and shadow.
  const COLORREF light = SkinColour(FSkinData ? FSkinData->Colors[csButtonlight] : TColor(-1), clBtnHighlight);
  const COLORREF shadow = SkinColour(FSkinData ? FSkinData->Colors[csButtonShadow] : TColor(-1), clBtnShadow);
  const int size = std::min({R.Width(), R.Height(), 13});
  for (int ridge = 0; ridge < 3; ++ridge)
    for (int line = 0; line < 3; ++line) {
      const int o = size - 4 * ridge - line;
      if (o < 1) continue;
      HPEN pen = CreatePen(PS_SOLID, 1, line == 2 ? light : shadow);
      HGDIOBJ old = SelectObject(DC, pen);
      MoveToEx(DC, R.Right - o, R.Bottom - 1, nullptr);
      LineTo(DC, R.Right, R.Bottom - 1 - o);
      SelectObject(DC, old);
      DeleteObject(pen);
    }
}

// ---- TSkinTransObj

TSkinTransObj::TSkinTransObj(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinTransObj::BeforePaint(TWMPaint& m) {
  // The control paints itself; what it leaves of its text's background is the face.
  if (m.DC) SetBkColor(m.DC, COLORREF(ButtonFace()));
  return TSkinControl::BeforeProc(m.Message);
}

bool TSkinTransObj::BeforeEraseBkgnd(TWMEraseBkgnd& m) {
  FillWindowBG(m.DC);
  m.Result = 1;
  return false;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinTransObj, bool, BeforeProc)
  KARO_MESSAGE(WM_PAINT, BeforePaint)
  KARO_MESSAGE(WM_ERASEBKGND, BeforeEraseBkgnd)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))
