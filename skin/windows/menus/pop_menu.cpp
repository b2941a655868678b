#include "skin/windows/menus/pop_menu.h"

#include <algorithm>

#include "classlib/graphics/bitmap.h"
#include "skin/data/velt_data.h"
#include "skin/data/skin_manager_link.h"
#include "skin/windows/core/skin_messages.h"
#include "skin/windows/paint/draw_primitives.h"

TVeltPopMenu* newskinmenu = nullptr;

namespace {

// The system's question to a popup-menu window for the menu it shows.
constexpr UINT kGetMenuHandle = 0x01E1;
// GetDCEx: the window's class and clipping styles decide (not in every header set).
constexpr DWORD kDcxUseStyle = 0x00010000;

LRESULT CALLBACK PopMenuProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

LRESULT PopMenuMessage(void* menu, HWND, UINT msg, WPARAM wp, LPARAM lp) {
  TMessage message{msg, wp, lp, 0};
  static_cast<TVeltPopMenu*>(menu)->WinWndProc(message);
  return message.Result;
}

// Popup-menu windows are always taken over through the ANSI pair.
const TSubclassKind kPopKind{L"KaroSkinPopMenu", &PopMenuProc, &PopMenuMessage, true};

LRESULT CALLBACK PopMenuProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) { return SubclassWindowProc(kPopKind, wnd, msg, wp, lp); }

bool ManagerEnabled() { return SkinManager && SkinManager->Enabled; }

}  // namespace

TVeltPopMenu::TVeltPopMenu() : frame_(std::make_unique<TBitmap>()) {}

TVeltPopMenu::~TVeltPopMenu() {
  UnSubClass();
  if (newskinmenu == this) newskinmenu = nullptr;
}

void TVeltPopMenu::InitSkin(HWND Wnd, TSkinData* Data, HMENU Menu) {
  hwnd_ = Wnd;
  data_ = Data;
  MenuHandle = Menu;
  if (subclassed_) return;
  sub_.Install(kPopKind, Wnd, this);
  subclassed_ = true;
}

void TVeltPopMenu::UnSubClass() {
  if (!subclassed_) return;
  subclassed_ = false;
  sub_.Restore();
  frame_->SetSize(0, 0);
}

LRESULT TVeltPopMenu::Default(UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (sub_.Installed()) return sub_.CallSaved(Msg, wParam, lParam);
  return DefWindowProcA(hwnd_, Msg, wParam, lParam);
}

void TVeltPopMenu::Default(TMessage& Message) { Message.Result = Default(Message.Msg, Message.WParam, Message.LParam); }

bool TVeltPopMenu::CanPaint() const {
  if (!data_ || data_->NoSkinLoaded) return false;
  const TDataSkinObject* bg = data_->MenuBackground.get();
  return bg && bg->Map && !bg->Map->Empty();
}

POINT TVeltPopMenu::ClientOffset() const {
  RECT w{};
  GetWindowRect(hwnd_, &w);
  POINT c{0, 0};
  ClientToScreen(hwnd_, &c);
  return POINT{c.x - w.left, c.y - w.top};
}

void TVeltPopMenu::BuildFrame() {
  RECT w{};
  GetWindowRect(hwnd_, &w);
  const TDataSkinObject* bg = data_->MenuBackground.get();
  auto pic = GetHMap(Rect(0, 0, w.right - w.left, w.bottom - w.top), bg->Map.get(), bg->Margins, 1,
                     std::max(1, bg->Frame), bg->Tile, 0);
  if (pic) frame_ = std::move(pic);
  if (!MenuHandle) {
    MenuHandle = HMENU(SendMessageA(hwnd_, kGetMenuHandle, 0, 0));
    if (!MenuHandle) newskinmenu = this;
  }
}

TBitmap* TVeltPopMenu::FrameBitmap() const {
  // Items may be drawn before the window's first paint: the picture is made for them then.
  if (frame_->Empty() && subclassed_ && CanPaint()) const_cast<TVeltPopMenu*>(this)->BuildFrame();
  return frame_.get();
}

void TVeltPopMenu::CNIsSkinned(TWMNoParams& m) { m.Result = 1; }

KARO_BEGIN_MESSAGE_MAP_OF(TVeltPopMenu, void, WinWndProc)
  KARO_MESSAGE(CN_IsSkinned, CNIsSkinned)
KARO_END_MESSAGE_MAP_OF(ManagerEnabled() ? SkinnedProc(Message) : Default(Message))

void TVeltPopMenu::WMDestroy(TWMNoParams& m) {
  const TSavedProc saved = sub_.Saved();
  HWND wnd = hwnd_;
  UnSubClass();
  m.Result = saved.Call(wnd, m.Message.Msg, m.Message.WParam, m.Message.LParam);
}

void TVeltPopMenu::WMERASEBKGND(TWMEraseBkgnd& m) {
  // With xoMenuBG the items paint the whole background.
  if (!(data_ && data_->Options().Contains(xoMenuBG))) Default(m.Message);
  m.Result = 1;
}

void TVeltPopMenu::WMNCPaint(TWMNCPaint& m) {
  if (!CanPaint()) return Default(m.Message);
  NcPaint(m.RGN);
  m.Result = 0;
}

void TVeltPopMenu::WMPaint(TWMPaint& m) {
  if (!CanPaint()) return Default(m.Message);
  // A popup without a non-client area paints its own frame with its items: the frame is
  // put on after them, around them.
  BuildFrame();
  Default(m.Message);
  const POINT o = ClientOffset();
  if (o.x == 0 && o.y == 0) PaintOverClient();
}

// The messages of a popup-menu window while the manager is on.
KARO_BEGIN_MESSAGE_MAP_OF(TVeltPopMenu, void, SkinnedProc)
  KARO_MESSAGE(WM_DESTROY, WMDestroy)
  KARO_MESSAGE(WM_ERASEBKGND, WMERASEBKGND)
  KARO_MESSAGE(WM_NCPAINT, WMNCPaint)
  KARO_MESSAGE(WM_PRINT, WMPrint)
  KARO_MESSAGE(WM_PAINT, WMPaint)
KARO_END_MESSAGE_MAP_OF(Default(Message))

void TVeltPopMenu::NcPaint(HRGN Region) {
  const POINT o = ClientOffset();
  // No non-client area: the frame is painted with the client area.
  if (o.x == 0 && o.y == 0) return;
  HDC dc = nullptr;
  if (UINT_PTR(Region) > 1) {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (copy && CombineRgn(copy, HRGN(Region), nullptr, RGN_COPY) != ERROR)
      dc = GetDCEx(hwnd_, copy, DCX_WINDOW | DCX_INTERSECTRGN | kDcxUseStyle);
    if (!dc && copy) DeleteObject(copy);
  }
  if (!dc) dc = GetWindowDC(hwnd_);
  if (!dc) return;
  BuildFrame();
  RECT c{};
  GetClientRect(hwnd_, &c);
  // The client part is the items' to paint.
  ExcludeClipRect(dc, o.x, o.y, o.x + c.right, o.y + c.bottom);
  BitBlt(dc, 0, 0, frame_->Width(), frame_->Height(), frame_->Canvas()->Handle(), 0, 0, SRCCOPY);
  ReleaseDC(hwnd_, dc);
}

void TVeltPopMenu::PaintOverClient() {
  HDC dc = GetDC(hwnd_);
  if (!dc) return;
  RECT c{};
  GetClientRect(hwnd_, &c);
  HRGN clip = CreateRectRgn(0, 0, c.right, c.bottom);
  HMENU menu = MenuHandle ? MenuHandle : HMENU(SendMessageA(hwnd_, kGetMenuHandle, 0, 0));
  const int n = menu ? GetMenuItemCount(menu) : -1;
  if (n > 0) {
    for (int i = 0; i < n; ++i) {
      RECT r{};
      if (!GetMenuItemRect(nullptr, menu, UINT(i), &r)) continue;
      MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
      HRGN item = CreateRectRgnIndirect(&r);
      CombineRgn(clip, clip, item, RGN_DIFF);
      DeleteObject(item);
    }
  } else {
    // Without the items' places, the popup's own 3-pixel border.
    HRGN inner = CreateRectRgn(3, 3, c.right - 3, c.bottom - 3);
    CombineRgn(clip, clip, inner, RGN_DIFF);
    DeleteObject(inner);
  }
  SelectClipRgn(dc, clip);
  DeleteObject(clip);
  BitBlt(dc, 0, 0, frame_->Width(), frame_->Height(), frame_->Canvas()->Handle(), 0, 0, SRCCOPY);
  ReleaseDC(hwnd_, dc);
}

void TVeltPopMenu::WMPrint(TWMPrint& m) {
  HDC dc = m.DC;
  if (!CanPaint() || !dc) return Default(m.Message);
  if (!MenuHandle) newskinmenu = this;
  RECT w{};
  GetWindowRect(hwnd_, &w);
  const int W = w.right - w.left, H = w.bottom - w.top;
  BuildFrame();
  BitBlt(dc, 0, 0, W, H, frame_->Canvas()->Handle(), 0, 0, SRCCOPY);
  const POINT o = ClientOffset();
  const int inset = (o.x == 0 && o.y == 0) ? 3 : 0;
  HRGN inner = CreateRectRgn(inset, inset, W - inset, H - inset);
  const int mode = SetBkMode(dc, TRANSPARENT);
  const int saved = SaveDC(dc);
  SelectClipRgn(dc, inner);
  // The items print over the frame, which already holds the border and the background.
  TMessage items = m.Message;
  items.LParam &= ~LPARAM(PRF_NONCLIENT | PRF_ERASEBKGND);
  Default(items);
  RestoreDC(dc, saved);
  SetBkMode(dc, mode);
  DeleteObject(inner);
  m.Result = items.Result;
}
