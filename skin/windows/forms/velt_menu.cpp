#include "skin/windows/forms/velt_menu.h"

#include <algorithm>

#include "classlib/controls/forms.h"
#include "classlib/controls/menus.h"
#include "classlib/graphics/bitmap.h"
#include "classlib/graphics/graphics.h"
#include "skin/data/velt_data.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/menus/menu_items.h"
#include "skin/windows/paint/draw_primitives.h"
#include "skin/windows/paint/nc_geometry.h"

KARO_CLASS_INFO(TVeltMenu, TComponent)

std::function<void(const MSG& Msg)> MenuLoopSpy;

namespace {

COLORREF Rgb(TColor c) { return GdiColor(ColorToRGB(c)); }

bool Inside(const TRect& r, POINT p) { return p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom; }

const TDataSkinObject* BarRecord(TSkinData* Data) {
  const TDataSkinObject* r = Data ? Data->MenuBar.get() : nullptr;
  return r && r->Map && !r->Map->Empty() ? r : nullptr;
}

// The tracking state: one menu of one bar open at a time in the process.
struct TTracking {
  HHOOK Hook = nullptr;
  TVeltForm* Form = nullptr;
  int OpenIndex = -1;
  bool FirstSeen = false;
  bool Switching = false;
  bool RightToLeft = false;
  POINT LastMouse{};
  HMENU Tracked = nullptr;
  HMENU SelectedMenu = nullptr;  // the menu of the item last selected (nil: none yet)
  bool SelectedHasSub = false;
  int Target = -1;               // the button whose menu opens next
};
TTracking g;

TVeltMenu* BarOf(TVeltForm* Form) { return Form ? Form->MenuBarObject() : nullptr; }

// A button that a move across the bar may open: shown, with a caption, a submenu and enabled.
bool Openable(const TMenuBtn* b) { return b && b->Visible && !b->Caption.empty() && b->SubMenu && b->Enabled; }

// The next openable button from Index in direction Step (wrapping round), or -1.
int NextOpenable(TVeltMenu* Bar, int Index, int Step) {
  const int n = Bar->BtnCount();
  for (int i = 1; i <= n; ++i) {
    const int k = ((Index + Step * i) % n + n) % n;
    if (Openable(Bar->Btn(k))) return k;
  }
  return -1;
}

// The window of this thread that shows Menu as an open popup, else nil.
struct TPopupSearch {
  HMENU Menu;
  HWND Found;
};
BOOL CALLBACK FindPopupOf(HWND w, LPARAM l) {
  auto* s = reinterpret_cast<TPopupSearch*>(l);
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(w) && HMENU(SendMessageW(w, 0x01E1, 0, 0)) == s->Menu) {
    s->Found = w;
    return FALSE;
  }
  return TRUE;
}
bool PopupShown(HMENU Menu) {
  TPopupSearch s{Menu, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &FindPopupOf, LPARAM(&s));
  return s.Found != nullptr;
}

// Where the highlight is now: the deepest open menu below the tracked one and its highlighted
// item's submenu (nil when it has none or nothing is highlighted). Asked of the menus themselves:
// the window is not told when a key takes the highlight back to a parent menu.
struct TSelection {
  HMENU Menu = nullptr;
  bool HasSub = false;
};
TSelection CurrentSelection(HMENU Tracked) {
  TSelection sel{Tracked, false};
  for (int depth = 0; depth < 16 && sel.Menu; ++depth) {
    const int n = GetMenuItemCount(sel.Menu);
    int hilite = -1;
    for (int i = 0; i < n && hilite < 0; ++i)
      if (GetMenuState(sel.Menu, UINT(i), MF_BYPOSITION) & MF_HILITE) hilite = i;
    if (hilite < 0) return TSelection{sel.Menu, false};
    HMENU sub = GetSubMenu(sel.Menu, hilite);
    if (!sub || !PopupShown(sub)) return TSelection{sel.Menu, sub != nullptr};
    sel.Menu = sub;
  }
  return sel;
}

bool IsKeyMessage(UINT m) { return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP; }

LRESULT CALLBACK MenuFilterHook(int Code, WPARAM wParam, LPARAM lParam) {
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  // A right-to-left bar moves the other way. Only key messages carry virtual keys: a WM_CHAR of
  // 37 or 39 is the character '%' or '\'' and stays as it is.
  if (Code == MSGF_MENU && msg && g.RightToLeft && IsKeyMessage(msg->message)) {
    if (msg->wParam == VK_LEFT)
      msg->wParam = VK_RIGHT;
    else if (msg->wParam == VK_RIGHT)
      msg->wParam = VK_LEFT;
  }
  const LRESULT next = CallNextHookEx(g.Hook, Code, wParam, lParam);
  if (next || Code != MSGF_MENU || !msg || !g.Form) return next;
  try {
    if (MenuLoopSpy) MenuLoopSpy(*msg);
    TVeltForm* form = g.Form;
    TVeltMenu* bar = BarOf(form);
    if (!bar || g.OpenIndex < 0) return 0;
    if (!g.FirstSeen) {
      g.FirstSeen = true;
      // The first item of the new menu is highlighted, as a keyboard-opened menu shows it.
      PostMessageW(form->hwnd, WM_KEYDOWN, VK_DOWN, 0);
    }
    int target = -1;
    switch (msg->message) {
      case WM_KEYDOWN:
        switch (msg->wParam) {
          case VK_RETURN:
          case VK_ESCAPE:
            g.Switching = false;
            break;
          case VK_LEFT:
            // In a deeper submenu the key closes that submenu only.
            if (CurrentSelection(g.Tracked).Menu == g.Tracked) target = NextOpenable(bar, g.OpenIndex, -1);
            break;
          case VK_RIGHT:
            // On an item with a submenu the key opens it.
            if (!CurrentSelection(g.Tracked).HasSub) target = NextOpenable(bar, g.OpenIndex, 1);
            break;
          default:
            break;
        }
        break;
      case WM_SYSKEYDOWN:
        if (msg->wParam == VK_MENU) form->CancelMenu();
        return 0;
      case WM_MOUSEMOVE: {
        POINT p = msg->pt;
        if (TVeltForm::CursorPos) p = TVeltForm::CursorPos();
        if (p.x != g.LastMouse.x || p.y != g.LastMouse.y) {
          g.LastMouse = p;
          TMenuBtn* b = bar->FindBtn(form->GetWinXY(p.x, p.y));
          if (Openable(b)) target = b->Index;
        }
        break;
      }
      default:
        break;
    }
    if (target >= 0 && target != g.OpenIndex) {
      // The open menu ends and the bar's own loop opens the next one: a click posted to the
      // window would be dispatched inside this menu's loop and nest another.
      g.Switching = true;
      g.Target = target;
      EndMenu();
      return 1;
    }
  } catch (...) {
    if (Application) Application->HandleException(nullptr);
  }
  return 0;
}

}  // namespace

// ---- TMenuBtn

void TMenuBtn::Draw() {
  TVeltMenu* bar = BarOf(Form);
  if (!bar || bar->Snapshot->Empty() || Rect.Right <= Rect.Left) return;
  HDC dc = GetWindowDC(Form->hwnd);
  if (!dc) return;
  const TRect& b = bar->BarRect;
  const int h = b.Bottom - b.Top;
  BitBlt(dc, Rect.Left, b.Top, Rect.Right - Rect.Left, h, bar->Snapshot->Canvas()->Handle(), Rect.Left - b.Left, 0,
         SRCCOPY);
  if (State == ncHot || State == ncPressed) {
    HBRUSH frame = CreateSolidBrush(Rgb(SkinData->Colors[csButtonHilight]));
    RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
    FrameRect(dc, &r, frame);
    DeleteObject(frame);
  }
  HGDIOBJ old = SelectObject(dc, SkinMenuFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Rgb(SkinData->Colors[Enabled ? csMenuBarText : csButtonShadow]));
  MyDrawCaption(dc, Rect, Caption);
  SelectObject(dc, old);
  ReleaseDC(Form->hwnd, dc);
}

void MyDrawCaption(HDC DC, const TRect& R, const WideString& Caption) {
  if (Caption.empty()) return;
  RECT m{R.Left, R.Top, R.Right, R.Bottom};
  const UINT f = DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS;
  DrawTextW(DC, Caption.c_str(), int(Caption.size()), &m, f | DT_CALCRECT | DT_NOCLIP);
  const int w = m.right - m.left, h = m.bottom - m.top;
  RECT t{R.Left + (R.Width() - w) / 2, R.Top + (R.Height() - h) / 2, 0, 0};
  t.right = t.left + w;
  t.bottom = t.top + h;
  DrawTextW(DC, Caption.c_str(), int(Caption.size()), &t, f);
}

// ---- TVeltMenu

TVeltMenu::TVeltMenu(TVeltForm* AOwner, TSkinData* Data)
    : TComponent(AOwner), SkinData(Data), Form(AOwner), Snapshot(std::make_unique<TBitmap>()) {}

TVeltMenu::~TVeltMenu() { ClearButtons(); }

void TVeltMenu::ClearButtons() {
  for (auto& b : buttons_)
    if (Form->HotObject == b.get()) Form->HotObject = nullptr;
  buttons_.clear();
}

void TVeltMenu::AddButton(int Position, HMENU Menu, bool Mdi) {
  wchar_t text[260] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
  info.dwTypeData = text;
  info.cch = UINT(std::size(text) - 1);
  if (!GetMenuItemInfoW(Menu, UINT(Position), TRUE, &info)) text[0] = 0;
  auto b = std::make_unique<TMenuBtn>(Form);
  b->SkinData = SkinData;
  b->Index = int(buttons_.size());
  b->SubMenu = info.hSubMenu;
  b->Enabled = !(info.fState & (MFS_GRAYED | MFS_DISABLED));
  b->Visible = true;
  b->Command = info.wID;
  b->Caption = text;
  if (MainMenu && !(Mdi && b->Caption.empty()))
    if (TMenuItem* item = MainMenu->FindItem(info.wID, fkCommand)) {
      b->Caption = item->Caption();
      b->Enabled = item->Enabled();
      b->MenuItem = item;
      b->SubMenu = item->Count() > 0 ? item->Handle() : nullptr;
    }
  buttons_.push_back(std::move(b));
}

void TVeltMenu::UpdataBtn() {
  HWND wnd = Form->hwnd;
  if (HMENU m = GetMenu(wnd)) MenuHandle = m;
  if (!MenuHandle || !IsMenu(MenuHandle)) return;
  if (auto* f = dyn<TCustomForm>(Form->Form)) {
    MainMenu = f->Menu();
    if (!MainMenu) return;
  }
  ClearButtons();
  const int n = GetMenuItemCount(MenuHandle);
  if (n <= 0) return;
  for (int i = 0; i < n; ++i) AddButton(i, MenuHandle, false);
  if (GetMenu(wnd)) Form->DetachMenu();
}

void TVeltMenu::UpdataBtn2() {
  HWND wnd = Form->hwnd;
  if (HMENU m = GetMenu(wnd)) MenuHandle = m;
  if (!MenuHandle || !IsMenu(MenuHandle)) return;
  if (auto* f = dyn<TCustomForm>(Form->Form)) MainMenu = f->Menu();
  ClearButtons();
  const int n = GetMenuItemCount(MenuHandle);
  for (int i = 0; i < n; ++i) AddButton(i, MenuHandle, true);
  if (GetMenu(wnd)) Form->DetachMenu();
  SetMenuRect();
}

TRect TVeltMenu::CurrentBarRect() const {
  RECT wr{};
  GetWindowRect(Form->hwnd, &wr);
  const TNcLayout l =
      NcLayout(wr.right - wr.left, wr.bottom - wr.top, Form->FrameBorders(), Form->WindowState == vwMinimized);
  return l.MenuBar;
}

void TVeltMenu::Layout(const TRect& Bar, HDC MeasureDC) {
  const TDataSkinObject* rec = BarRecord(SkinData);
  TMenuBarLayoutInput in;
  in.BarWidth = Bar.Width();
  in.Height = Bar.Height();
  in.HasRecord = rec != nullptr;
  if (rec) {
    in.TileLeft = rec->Margins.Left;
    in.TileRight = rec->Margins.Right;
  }
  in.RightToLeft = MainMenu && MainMenu->IsRightToLeft();
  if (in.RightToLeft && Form->FormKind == fkMDIParent && Form->MDIChildMax()) {
    // A paint has just laid the caption buttons out; anything else lays them out now.
    if (!Painting) Form->SetSysbtnRect();
    for (int i = 0; i < Form->SysBtnCount(); ++i) {
      TWinSysButton* s = Form->SysBtn(i);
      if (s->Visible && s->Button->Visibility == 100) {
        const int limit = s->Rect.Left - Bar.Left - 5;
        if (in.RightLimit < 0 || limit < in.RightLimit) in.RightLimit = limit;
      }
    }
  }
  HGDIOBJ old = SelectObject(MeasureDC, SkinMenuFont());
  for (auto& b : buttons_) {
    int w = 0;
    if (!b->Caption.empty()) {
      RECT r{0, 0, 0, 0};
      DrawTextW(MeasureDC, b->Caption.c_str(), int(b->Caption.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
      w = r.right - r.left;
    }
    in.TextWidths.push_back(w);
    in.Visible.push_back(b->Visible);
  }
  SelectObject(MeasureDC, old);
  const std::vector<TRect> rects = MenuBarLayout(in);
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const TRect& r = rects[i];
    buttons_[i]->Rect = r.Right > r.Left ? Rect(r.Left + Bar.Left, r.Top + Bar.Top, r.Right + Bar.Left, r.Bottom + Bar.Top)
                                         : TRect{};
  }
}

void TVeltMenu::SetMenuRect() {
  HDC dc = GetWindowDC(Form->hwnd);
  if (!dc) return;
  Layout(CurrentBarRect(), dc);
  ReleaseDC(Form->hwnd, dc);
}

void TVeltMenu::DrawMenu(HDC DC, const TRect& R) {
  const int w = R.Width(), h = R.Height();
  if (w <= 0 || h <= 0 || !SkinData) return;
  TBitmap* bg = SizeBG(w, h);
  if (!bg) return;
  Painting = true;
  HDC m = bg->Canvas()->Handle();
  const TRect all = Rect(0, 0, w, h);
  if (const TDataSkinObject* rec = BarRecord(SkinData)) {
    const int frame = Form->Active ? 1 : 2;
    const int frames = std::max(1, rec->Frame);
    if (rec->Tile == 1)
      DrawRect2(m, all, rec->Map.get(), rec->Margins, frame, frames, 0, 0, 1);
    else
      DrawRectTile(bg->Canvas(), all, rec->Map.get(), rec->Margins, frame, frames, 0, 1);
  } else {
    HBRUSH b = CreateSolidBrush(Rgb(SkinData->Colors[csMenuBar]));
    RECT r{0, 0, w, h};
    FillRect(m, &r, b);
    DeleteObject(b);
  }
  GdiFlush();
  BarRect = R;
  Snapshot->SetPixelFormat(pf24bit);
  Snapshot->SetSize(w, h);
  BitBlt(Snapshot->Canvas()->Handle(), 0, 0, w, h, m, 0, 0, SRCCOPY);
  Layout(R, m);
  HGDIOBJ oldFont = SelectObject(m, SkinMenuFont());
  SetBkMode(m, TRANSPARENT);
  const int open = g.Form == Form ? g.OpenIndex : -1;
  for (auto& b : buttons_) {
    if (!b->Visible || b->Rect.Right <= b->Rect.Left) continue;
    const TRect r = Rect(b->Rect.Left - R.Left, b->Rect.Top - R.Top, b->Rect.Right - R.Left, b->Rect.Bottom - R.Top);
    // The button whose menu is open keeps its pressed look through a repaint of the frame.
    if (b->Index == open) {
      HBRUSH frame = CreateSolidBrush(Rgb(SkinData->Colors[csButtonHilight]));
      RECT fr{r.Left, r.Top, r.Right, r.Bottom};
      FrameRect(m, &fr, frame);
      DeleteObject(frame);
    }
    SetTextColor(m, Rgb(SkinData->Colors[b->Enabled ? csMenuBarText : csButtonShadow]));
    MyDrawCaption(m, r, b->Caption);
  }
  SelectObject(m, oldFont);
  if (Form->FormKind == fkMDIParent && Form->MDIChildMax()) {
    for (int i = 0; i < Form->SysBtnCount(); ++i) {
      TWinSysButton* s = Form->SysBtn(i);
      const TDataSkinSysButton* rec = s->Button;
      if (!s->Visible || rec->Visibility != 100 || !rec->Map || rec->Map->Empty()) continue;
      const TRect r = Rect(s->Rect.Left - R.Left, s->Rect.Top - R.Top, s->Rect.Right - R.Left, s->Rect.Bottom - R.Top);
      DrawRect1(m, r, rec->Map.get(), 1, std::max(1, rec->Frame), 1);
    }
    if (Form->Manager && !Form->Manager->MDIMaximized) Form->Manager->SetMDIMax(true);
  }
  GdiFlush();
  BitBlt(DC, R.Left, R.Top, w, h, m, 0, 0, SRCCOPY);
  Painting = false;
}

TMenuBtn* TVeltMenu::FindBtn(POINT P) {
  // Where the bar would be painted now, not where it was last painted.
  if (buttons_.empty() || !Form->FramePainted()) return nullptr;
  SetMenuRect();
  for (const auto& b : buttons_)
    if (b->Visible && !b->Caption.empty() && Inside(b->Rect, P)) return b.get();
  return nullptr;
}

TMenuBtn* TVeltMenu::FindButtonFromAccel(wchar_t Key) const {
  for (const auto& b : buttons_)
    if (b->Enabled && b->Visible && IsAccel(Key, b->Caption)) return b.get();
  return nullptr;
}

// ---- Tracking

int OpenMenuButton() { return g.OpenIndex; }
bool MenuTracking() { return g.Hook != nullptr; }

void ForgetTrackedForm(TVeltForm* Form) {
  if (g.Form != Form) return;
  if (g.Hook) EndMenu();
  g.Form = nullptr;
}

void TrackMenuSelect(TVeltForm* Form, TWMMenuSelect& Message) {
  if (g.Form != Form || g.OpenIndex < 0) return;
  const UINT flags = Message.MenuFlag;
  HMENU menu = Message.Menu;
  if (flags == 0xFFFF && !menu) {
    if (!g.Switching) Form->CancelMenu();
    return;
  }
  g.Switching = false;
  g.SelectedMenu = menu;
  g.SelectedHasSub = (flags & MF_POPUP) != 0;
}

void ClickButton(TVeltForm* Form, TMenuBtn* Button) {
  if (!Form || !Button) return;
  if (g.Hook && g.Form == Form) {
    // A menu of the bar is open: the bar's loop opens this one when the open one has ended.
    if (Openable(Button) && Button->Index != g.OpenIndex) {
      g.Switching = true;
      g.Target = Button->Index;
      EndMenu();
    }
    return;
  }
  RECT wr{};
  GetWindowRect(Form->hwnd, &wr);
  const int x = Button->Rect.Left + wr.left + 1, y = Button->Rect.Top + wr.top + 1;
  PostMessageW(Form->hwnd, WM_NCLBUTTONDOWN, 1, MAKELPARAM(x, y));
}

bool CheckMenu(TVeltForm* Form, TMenuBtn* Button) {
  TVeltMenu* bar = BarOf(Form);
  if (!bar || !Button) return false;
  if (!Button->SubMenu) {
    // A command on the bar itself: only an enabled one says so.
    if (Button->Enabled && Button->Command) PostMessageW(Form->hwnd, WM_COMMAND, Button->Command, 0);
    return false;
  }
  if (g.Hook) {
    // Reached from inside an open menu's loop (a click dispatched there): switch instead of nesting.
    ClickButton(Form, Button);
    return false;
  }
  bool tracked = false;
  int index = Button->Index;
  HWND wnd = Form->hwnd;
  while (index >= 0 && index < bar->BtnCount()) {
    TMenuBtn* b = bar->Btn(index);
    g.Form = Form;
    g.OpenIndex = index;
    g.Target = -1;
    g.Tracked = b->SubMenu;
    g.SelectedMenu = nullptr;
    g.SelectedHasSub = false;
    g.Switching = false;
    g.FirstSeen = false;
    g.RightToLeft = bar->MainMenu && bar->MainMenu->IsRightToLeft();
    if (TVeltForm::CursorPos)
      g.LastMouse = TVeltForm::CursorPos();
    else
      GetCursorPos(&g.LastMouse);
    Form->PrepareMenu(b->SubMenu);
    Form->MenuTracking = true;
    Form->TrackedMenu = b->SubMenu;
    if (Form->Manager) Form->Manager->MenuKind = 1;
    if (Form->HotObject && Form->HotObject != b) Form->HotObject->MouseLeave();
    Form->HotObject = b;
    b->State = ncPressed;
    b->Draw();
    if (!g.Hook) g.Hook = SetWindowsHookExW(WH_MSGFILTER, &MenuFilterHook, nullptr, GetCurrentThreadId());
    if (b->Enabled) {
      RECT wr{};
      GetWindowRect(wnd, &wr);
      const bool rtl = Form->RightToLeft;
      const int x = (rtl ? b->Rect.Right : b->Rect.Left) + wr.left;
      const int y = b->Rect.Bottom + wr.top;
      const UINT flags = TPM_RIGHTBUTTON | (rtl ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
      TrackPopupMenu(b->SubMenu, flags, x, y, 0, wnd, nullptr);
      tracked = true;
    }
    if (g.Hook) UnhookWindowsHookEx(g.Hook);
    g.Hook = nullptr;
    const int next = g.Target;
    g.Target = -1;
    if (!IsWindow(wnd) || g.Form != Form) break;
    // The menu's handlers may have changed the menu, and the bar rebuilt its buttons: the old
    // button is looked for, never read, before it is drawn again.
    bar = BarOf(Form);
    if (!bar) break;
    bool still = false;
    for (int i = 0; i < bar->BtnCount(); ++i) still = still || bar->Btn(i) == b;
    if (still) {
      b->State = ncNormal;
      b->Draw();
    }
    if (next < 0 || next == index) break;
    index = next;
  }
  g.OpenIndex = -1;
  g.FirstSeen = false;
  g.Tracked = nullptr;
  if (g.Form == Form) {
    Form->MenuTracking = false;
    Form->TrackedMenu = nullptr;
  }
  g.Form = nullptr;
  return tracked;
}
