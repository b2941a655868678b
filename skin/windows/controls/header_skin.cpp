#include "skin/windows/controls/header_skin.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinHeader, TSkinControl)

namespace {

bool Inside(const TRect& R, TPoint P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }

// The longest caption read from an item; longer ones are cut.
constexpr int kHeaderTextMax = 100;

}  // namespace

int HeaderHotItem(const std::vector<TRect>& Hover, TPoint P, int Hot) {
  for (size_t i = 0; i < Hover.size(); ++i)
    if (Inside(Hover[i], P)) return int(i);
  return Hot;
}

TRect HeaderHoverRect(const TRect& Item) { return TRect(Item.Left + 3, Item.Top, Item.Right - 3, Item.Bottom); }

int HeaderAlignment(int Format) {
  switch (Format & 0xFF) {
    case HDF_RIGHT: return 2;
    case HDF_CENTER: return 1;
    default: return 0;
  }
}

int HeaderImageIndex(int Format, int Image) { return (Format & (HDF_IMAGE | HDF_OWNERDRAW)) ? Image : -1; }

TSkinHeader::TSkinHeader(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinHeader::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  FHotItem = -1;
}

void TSkinHeader::Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  TSkinControl::Inithwnd(Handle, SkinData, Canvas, Form);
  FHotItem = -1;
}

bool TSkinHeader::HasPicture() const {
  return FSkinData && FSkinData->Headerbar && FSkinData->Headerbar->Map && !FSkinData->Headerbar->Map->Empty();
}

bool TSkinHeader::BeforePaint(TWMPaint& m) {
  // Without a "Headerbar" picture the skin would draw nothing at all: the header paints
  // itself, items included.
  if (!HasPicture()) return TSkinControl::BeforeProc(m.Message);
  WMPaint(m);
  return false;
}

bool TSkinHeader::BeforeEraseBkgnd(TWMEraseBkgnd& m) {
  if (!HasPicture()) return TSkinControl::BeforeProc(m.Message);
  m.Result = 1;
  return false;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinHeader, bool, BeforeProc)
  KARO_MESSAGE(WM_PAINT, BeforePaint)
  KARO_MESSAGE(WM_PRINTCLIENT, BeforePaint)
  KARO_MESSAGE(WM_ERASEBKGND, BeforeEraseBkgnd)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))

void TSkinHeader::AfterMouseMove(TWMMouse& m) {
  const TPoint p(m.XPos, m.YPos);
  const int hot = HeaderHotItem(FHoverRects, p, FHotItem);
  if (hot != FHotItem) {
    FHotItem = hot;
    Invalidate();
  }
  if (FHandle) DoTrackMouse(FHandle);
}

void TSkinHeader::AfterMouseLeft(TWMNoParams&) {
  FHotItem = -1;
  Invalidate();
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinHeader, void, AfterProc)
  KARO_MESSAGE(WM_MOUSEMOVE, AfterMouseMove)
  KARO_MESSAGE(WM_MOUSELEAVE, AfterMouseLeft)
KARO_END_MESSAGE_MAP_OF(TSkinControl::AfterProc(Message))

void TSkinHeader::DrawControl(HDC DC, const TRect& R) {
  if (!HasPicture() || R.IsEmpty()) return;
  const TDataSkinObject& bar = *FSkinData->Headerbar;
  TBitmap work;
  work.SetPixelFormat(pf24bit);
  work.SetSize(R.Width(), R.Height());
  HDC w = work.Canvas()->Handle();
  // The header's own font: its captions are measured and drawn as the header would.
  HFONT font = FHandle ? HFONT(SendMessageW(FHandle, WM_GETFONT, 0, 0)) : nullptr;
  HGDIOBJ oldFont = SelectObject(w, font ? HGDIOBJ(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(w, TRANSPARENT);
  FEnabled = 1;
  HIMAGELIST images = FHandle ? HIMAGELIST(SendMessageW(FHandle, HDM_GETIMAGELIST, 0, 0)) : nullptr;
  const int n = FHandle ? std::max(0, int(SendMessageW(FHandle, HDM_GETITEMCOUNT, 0, 0))) : 0;
  // The item count may have changed since the last paint: the hover rectangles are rebuilt for
  // the items there are now, and a lit item that is gone is lit no more.
  FHoverRects.assign(size_t(n), TRect());
  if (FHotItem >= n) FHotItem = -1;
  int x = 0;
  for (int i = 0; i < n; ++i) {
    RECT ir{};
    if (!SendMessageW(FHandle, HDM_GETITEMRECT, WPARAM(i), LPARAM(&ir))) continue;
    const TRect item(ir.left, ir.top, ir.right, ir.bottom);
    DrawItem(images, w, i, item);
    FHoverRects[size_t(i)] = HeaderHoverRect(item);
    x = std::max(x, item.Right);
  }
  if (x < R.Right) {
    const TRect rest(x, R.Top, R.Right, R.Bottom);
    auto frame = GetHMap(TRect(0, 0, rest.Width(), rest.Height()), bar.Map.get(), bar.Margins, 1, bar.Frame, bar.Tile, 0);
    if (frame) BitBlt(w, rest.Left, rest.Top, rest.Width(), rest.Height(), frame->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), w, 0, 0, SRCCOPY);
  SelectObject(w, oldFont);
}

void TSkinHeader::DrawItem(HIMAGELIST Images, HDC DC, int I, const TRect& R) {
  if (R.IsEmpty() || !HasPicture()) return;
  const TDataSkinObject& bar = *FSkinData->Headerbar;
  wchar_t text[kHeaderTextMax + 1] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
  item.pszText = text;
  item.cchTextMax = kHeaderTextMax + 1;
  SendMessageW(FHandle, HDM_GETITEMW, WPARAM(I), LPARAM(&item));
  text[kHeaderTextMax] = L'\0';
  // The control may hand back its own buffer instead of filling ours.
  const wchar_t* shown = item.pszText && item.pszText != LPSTR_TEXTCALLBACKW ? item.pszText : text;
  WideString caption(shown, wcsnlen(shown, kHeaderTextMax));
  auto face = GetHMap(TRect(0, 0, R.Width(), R.Height()), bar.Map.get(), bar.Margins, I == FHotItem ? 2 : 1, bar.Frame,
                      bar.Tile, 0);
  if (!face) return;
  HDC f = face->Canvas()->Handle();
  if (!caption.empty()) {
    HGDIOBJ oldFont = SelectObject(f, GetCurrentObject(DC, OBJ_FONT));
    DrawImgCaption(f, TRect(0, 0, R.Width(), R.Height()), Images, HeaderImageIndex(item.fmt, item.iImage), caption,
                   HeaderAlignment(item.fmt));
    SelectObject(f, oldFont);
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), f, 0, 0, SRCCOPY);
}

void TSkinHeader::DrawImgCaption(HDC DC, const TRect& R, HIMAGELIST Images, int ImageIndex, const WideString& Text,
                                 int Alignment) {
  // A header's captions are in the window's text colour, whatever the DC held.
  const COLORREF oldColour = FEnabled ? SetTextColor(DC, COLORREF(ColorToRGB(clWindowText))) : 0;
  TSkinControl::DrawImgCaption(DC, R, Images, ImageIndex, Text, Alignment);
  if (FEnabled) SetTextColor(DC, oldColour);
}
