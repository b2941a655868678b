#include "skin/windows/controls/toolbar_skin.h"

#include "skin/data/img_util.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/core/skin_messages.h"

KARO_CLASS_INFO(TSkinToolbar, TSkinControl)

TToolbarButtonPainter ToolbarButtonPainter = nullptr;

TToolbarColors ToolbarColors(TColor CaptionColor, TColor ButtonFace) {
  // Weight 150: 15 % of the first colour.
  return {Blend(ButtonFace, clWhite, 150), Blend(clGray, CaptionColor, 150)};
}

TSkinToolbar::TSkinToolbar(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinToolbar::TakeColors() {
  if (!FSkinData) return;
  const TToolbarColors c = ToolbarColors(FSkinData->GetCaptionColor(), FSkinData->Colors[csButtonFace]);
  FLightColor = c.Light;
  FDarkColor = c.Dark;
}

void TSkinToolbar::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  TakeColors();
}

void TSkinToolbar::Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  TSkinControl::Inithwnd(Handle, SkinData, Canvas, Form);
  TakeColors();
}

void TSkinToolbar::SkinChange() {
  // A new skin brings a new caption colour.
  TakeColors();
  TSkinControl::SkinChange();
}

bool TSkinToolbar::BeforeEraseBkgnd(TWMEraseBkgnd& m) {
  ERASEBKGND(m);
  m.Result = 1;
  return false;
}

bool TSkinToolbar::BeforeNotify(TWMSkinNotify& m) {
  // The tool bar would read the library's mark as a notification.
  if (m.Marked) {
    Invalidate();
    m.Result = 0;
    return false;
  }
  return !PaintButton(m);
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinToolbar, bool, BeforeProc)
  KARO_MESSAGE(WM_ERASEBKGND, BeforeEraseBkgnd)
  KARO_MESSAGE(WM_NOTIFY, BeforeNotify)
  KARO_MESSAGE(CN_NOTIFY, BeforeNotify)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))

bool TSkinToolbar::PaintButton(TWMSkinNotify& Message) {
  const NMHDR* hdr = Message.NMHdr;
  if (!ToolbarButtonPainter || !hdr || hdr->code != UINT(NM_CUSTOMDRAW) || hdr->hwndFrom != FHandle) return false;
  const auto& draw = *reinterpret_cast<const NMTBCUSTOMDRAW*>(hdr);
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
    Default(Message.Message);
    Message.Result |= CDRF_NOTIFYITEMDRAW;
    return true;
  }
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && ToolbarButtonPainter(FHandle, draw, FSkinData)) {
    Message.Result = CDRF_SKIPDEFAULT;
    return true;
  }
  return false;
}

void TSkinToolbar::ERASEBKGND(TWMEraseBkgnd& Message) {
  HDC dc = Message.DC;
  if (!dc || !FHandle) return;
  RECT c{};
  GetClientRect(FHandle, &c);
  const TRect r(c.left, c.top, c.right, c.bottom);
  const TDataSkinObject* rec = FSkinData ? FSkinData->Toolbar.get() : nullptr;
  if (!rec || !rec->Map || rec->Map->Empty()) {
    GradFill(dc, r, FLightColor, FDarkColor, 1);
    return;
  }
  TBitmap* map = rec->Map.get();
  const int old = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, r.Left, r.Top, r.Width(), r.Height(), map->Canvas()->Handle(), 0, 0, map->Width(), map->Height(),
             SRCCOPY);
  SetStretchBltMode(dc, old);
}
