#include "skin/windows/controls/tab_skin.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/core/string_list.h"
#include "classlib/core/typinfo.h"
#include "classlib/graphics/graphics.h"
#include "skin/data/img_util.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/updown_skin.h"
#include "skin/windows/manager/skin_messages.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinTab, TSkinControl)
KARO_CLASS_INFO(TSkinTabBtn, TSkinControl)
KARO_CLASS_INFO(TSkinTab31, TSkinControl)
KARO_CLASS_INFO(TSkinAdvPage, TSkinControl)
KARO_CLASS_INFO(TSkinTabSheet, TSkinControl)

namespace {

// The longest tab text read.
constexpr int kTabTextMax = 80;

TRect TR(const RECT& r) { return TRect(r.left, r.top, r.right, r.bottom); }

// A 24-bit picture of the given size whose canvas is ready to draw on.
std::unique_ptr<TBitmap> NewWork(int W, int H) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(std::max(W, 0), std::max(H, 0));
  return b;
}

std::unique_ptr<TBitmap> Copy24(TBitmap* Source) {
  if (!Source || Source->Empty()) return nullptr;
  auto b = std::make_unique<TBitmap>();
  b->Assign(Source);
  b->SetPixelFormat(pf24bit);
  return b;
}

HFONT WindowFont(HWND W) {
  HFONT f = W ? HFONT(SendMessageW(W, WM_GETFONT, 0, 0)) : nullptr;
  return f ? f : HFONT(GetStockObject(DEFAULT_GUI_FONT));
}

// The selected tab. The focus item is no substitute: the system leaves it unset until the
// selection changes, so the first tab of a new control would never show as current.
int CurrentTab(HWND W) { return int(SendMessageW(W, TCM_GETCURSEL, 0, 0)); }

bool WindowDisabled(HWND W) { return W && (GetWindowLongPtrA(W, GWL_STYLE) & WS_DISABLED) != 0; }

struct TTabPaintItem {
  TRect Rect;  // client coordinates
  WideString Text;
  int Image = -1;
};

// Every tab that has a rectangle, read now: texts and the enabled state change between paints.
std::vector<std::pair<int, TTabPaintItem>> ReadTabs(HWND W, bool Unicode) {
  std::vector<std::pair<int, TTabPaintItem>> tabs;
  const int n = int(SendMessageW(W, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    RECT r{};
    if (!SendMessageW(W, TCM_GETITEMRECT, WPARAM(i), LPARAM(&r))) continue;
    TTabPaintItem item;
    item.Rect = TR(r);
    ReadTabItem(W, Unicode, i, item.Text, item.Image);
    tabs.push_back({i, item});
  }
  return tabs;
}

}  // namespace

// ---- Deciding, pure

TSkinTabPosition TabPositionOfStyle(LONG Style) {
  const bool bottom = (Style & TCS_BOTTOM) != 0, vertical = (Style & TCS_VERTICAL) != 0;
  if (bottom && vertical) return Stright;
  if (bottom) return Stbottom;
  if (vertical) return Stleft;
  return StTop;
}

TRect TabPaneRect(const TRect& Display, TSkinTabPosition P) {
  TRect d(Display.Left - 4, Display.Top - 4, Display.Right + 4, Display.Bottom + 4);
  switch (P) {
    case StTop: d.Top += 1; break;
    case Stbottom: d.Bottom -= 1; break;
    case Stleft: d.Left += 1; break;
    case Stright: d.Right -= 1; break;
  }
  return d;
}

TRect TabStripRect(const TRect& R, const TRect& D, TSkinTabPosition P) {
  switch (P) {
    case StTop: return TRect(R.Left, R.Top, R.Right, D.Top);
    case Stbottom: return TRect(R.Left, D.Bottom, R.Right, R.Bottom);
    case Stleft: return TRect(R.Left, R.Top, D.Left, R.Bottom);
    case Stright: return TRect(D.Right, R.Top, R.Right, R.Bottom);
  }
  return TRect();
}

TPoint TabWorkSize(const TRect& S, TSkinTabPosition P) {
  if (P == StTop || P == Stbottom) return TPoint(std::max(S.Width(), 0), std::max(S.Height(), 0));
  return TPoint(std::max(S.Height(), 0), std::max(S.Width(), 0));
}

TRect TabInWork(const TRect& T, const TRect& R, const TRect& D, int Length, TSkinTabPosition P) {
  switch (P) {
    case StTop: return TRect(T.Left, T.Top + 1, T.Right, T.Bottom + 1);
    case Stbottom: return TRect(T.Left, T.Top - D.Bottom - 1, T.Right, T.Bottom - D.Bottom - 1);
    case Stleft: return TRect(Length - T.Bottom, T.Left, Length - T.Top, T.Right);
    case Stright: return TRect(T.Top - 1, R.Right - T.Right, T.Bottom - 1, R.Right - T.Left);
  }
  return T;
}

TRect TabCloseRect(const TRect& W) { return TRect(W.Right - 8, W.Top + 2, W.Right - 2, W.Top + 8); }

int TabFrame(bool Current, bool Hot, bool Disabled, int FrameCount) {
  if (FrameCount < 5) return Current ? 2 : 1;
  if (Disabled) return 4;
  if (Current) return Hot ? 5 : 2;
  return Hot ? 3 : 1;
}

std::vector<TRect> TabSetLayout(const std::vector<int>& TextWidths, int First, int Start, int Limit, int Height,
                                bool ScrollerVisible) {
  std::vector<TRect> r(TextWidths.size(), TRect(0, 0, -1, -1));
  const int room = ScrollerVisible ? 21 : 9;
  int x = Start;
  for (size_t i = size_t(std::max(First, 0)); i < TextWidths.size(); ++i) {
    const int w = TextWidths[i];
    if (Limit < x + w + room) continue;
    r[i] = TRect(x, 0, x + w + 9, Height);
    x += w + 9;
  }
  return r;
}

int PageOfTab(const int* SheetTabIndexes, int Count, int Tab) {
  if (Tab < 0) return -1;
  for (int i = 0; i < Count; ++i)
    if (SheetTabIndexes[i] == Tab) return i;
  return -1;
}

bool ReadTabItem(HWND Tab, bool Unicode, int Index, WideString& Text, int& Image) {
  Text.clear();
  Image = -1;
  if (Unicode) {
    wchar_t buf[kTabTextMax + 1] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    item.pszText = buf;
    item.cchTextMax = int(std::size(buf));
    if (!SendMessageW(Tab, TCM_GETITEMW, WPARAM(Index), LPARAM(&item))) return false;
    // The control may hand back its own buffer instead of filling ours.
    if (item.pszText) Text = WideString(item.pszText, wcsnlen(item.pszText, kTabTextMax));
    Image = item.iImage;
  } else {
    char buf[kTabTextMax + 1] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    item.pszText = buf;
    item.cchTextMax = int(std::size(buf));
    if (!SendMessageA(Tab, TCM_GETITEMA, WPARAM(Index), LPARAM(&item))) return false;
    if (item.pszText) {
      const int n = int(strnlen(item.pszText, kTabTextMax));
      const int w = MultiByteToWideChar(CP_ACP, 0, item.pszText, n, nullptr, 0);
      Text.resize(size_t(std::max(w, 0)));
      if (w > 0) MultiByteToWideChar(CP_ACP, 0, item.pszText, n, Text.data(), w);
    }
    Image = item.iImage;
  }
  return true;
}

// ---- TSkinTab

TSkinTab::TSkinTab(TComponent* AOwner) : TSkinControl(AOwner), FWorkBitmap(NewWork(0, 0)) {}
TSkinTab::~TSkinTab() = default;

void TSkinTab::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  if (FInitialized) return;
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  if (!FInitialized) return;
  auto* pages = dyn<TPageControl>(FControl);
  FCloseButtons = pages && FControl->Tag() == kTabCloseTag && pages->TabPosition() == tpTop;
  inittab();
  FindScroll();
}

void TSkinTab::Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  TSkinControl::Inithwnd(Handle, SkinData, Canvas, Form);
  inittab();
  FindScroll();
}

void TSkinTab::SkinChange() {
  TSkinControl::SkinChange();
  inittab();
}

TSkinTabPosition TSkinTab::GetPosition() const {
  return TabPositionOfStyle(FHandle ? LONG(GetWindowLongPtrA(FHandle, GWL_STYLE)) : 0);
}

void TSkinTab::inittab() {
  FPosition = GetPosition();
  FTabImage.reset();
  FPaneImage.reset();
  if (!FSkinData || !FSkinData->Tabs) return;
  TDataSkinBorder* tabs = FSkinData->Tabs.get();
  FTabImage = Copy24(tabs->Map.get());
  if (tabs->Style == 0)
    FPaneImage = Copy24(tabs->Map2.get());
  else if (tabs->Style == 1 && FSkinData->TabPane)
    FPaneImage = Copy24(FSkinData->TabPane->Map.get());
  switch (FPosition) {
    case Stbottom:
      if (FTabImage) SpiegelnVertikal(FTabImage.get());
      if (FPaneImage) SpiegelnVertikal(FPaneImage.get());
      break;
    case Stleft:
      if (FPaneImage) Drehen270Grad(FPaneImage.get());
      break;
    case Stright:
      if (FPaneImage) Drehen90Grad(FPaneImage.get());
      break;
    default:
      break;
  }
}

HWND TSkinTab::FindScroll() {
  return FindTabScroll(FHandle, Owner() ? Owner() : this, FScrollSkin, FSkinData, FForm);
}

HWND FindTabScroll(HWND Tab, TComponent* Owner, TSkinControl*& ScrollSkin, TSkinData* SkinData, TVeltForm* Form) {
  if (!Tab) return nullptr;
  HWND up = FindWindowExW(Tab, nullptr, UPDOWN_CLASSW, nullptr);
  if (!up) return nullptr;
  if (!ScrollSkin) {
    // The scroller's arrows point left and right.
    ScrollSkin = AttachUpDownSkin(up, Owner, SkinData, Form, true, false);
  }
  return (GetWindowLongPtrA(up, GWL_STYLE) & WS_VISIBLE) ? up : nullptr;
}

void TSkinTab::SetHot(int Tab) {
  if (Tab == FHot) return;
  FHot = Tab;
  if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

bool TSkinTab::BeforeProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      WMPaint(Message);
      return false;
    case WM_PRINTCLIENT:
      if (Message.WParam) {
        RECT r{};
        GetClientRect(FHandle, &r);
        DrawControl(HDC(Message.WParam), TR(r));
      }
      Message.Result = 0;
      return false;
    case WM_ERASEBKGND:
      // The paint covers the whole window.
      Message.Result = 1;
      return false;
    case WM_LBUTTONDOWN:
      if (FCloseButtons && ClickClose(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam))) {
        Message.Result = 0;
        return false;
      }
      return TSkinControl::BeforeProc(Message);
    case WM_MOUSEMOVE: {
      TCHITTESTINFO hit{};
      hit.pt = POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      SetHot(int(SendMessageW(FHandle, TCM_HITTEST, 0, LPARAM(&hit))));
      TRACKMOUSEEVENT t{};
      t.cbSize = sizeof t;
      t.dwFlags = TME_LEAVE;
      t.hwndTrack = FHandle;
      TrackMouseEvent(&t);
      return TSkinControl::BeforeProc(Message);
    }
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
      SetHot(-1);
      return TSkinControl::BeforeProc(Message);
    default:
      return TSkinControl::BeforeProc(Message);
  }
}

bool TSkinTab::ClickClose(int X, int Y) {
  if (!FHandle || GetPosition() != StTop) return false;
  // The hit areas come from the tabs as they are now, through the routine that places the
  // drawn buttons.
  int hitTab = -1;
  const int n = int(SendMessageW(FHandle, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n && hitTab < 0; ++i) {
    RECT r{};
    if (!SendMessageW(FHandle, TCM_GETITEMRECT, WPARAM(i), LPARAM(&r))) continue;
    const TRect c = TabCloseRect(TabInWork(TR(r), TRect(), TRect(), 0, StTop));
    if (X >= c.Left && X < c.Right && Y >= c.Top && Y < c.Bottom) hitTab = i;
  }
  if (hitTab < 0) return false;
  auto* pages = dyn<TPageControl>(FControl);
  // The page is found before asking: with hidden pages the tab index is not the page index, and
  // the answer may come after the application has changed the pages itself.
  TTabSheet* page = nullptr;
  if (pages) {
    std::vector<int> tabIndexes;
    for (int i = 0; i < pages->PageCount(); ++i) tabIndexes.push_back(pages->Pages(i)->TabIndex());
    const int p = PageOfTab(tabIndexes.data(), int(tabIndexes.size()), hitTab);
    if (p >= 0) page = pages->Pages(p);
  }
  HWND formWnd = FForm ? FForm->hwnd : nullptr;
  if (!formWnd) return true;
  const LRESULT answer = SendMessageW(formWnd, CN_TabClose, WPARAM(FHandle), LPARAM(hitTab));
  if (answer != 0 || !page || !pages) return true;
  // Freed only while it is still one of the control's pages: the application may have freed it.
  for (int i = 0; i < pages->PageCount(); ++i)
    if (pages->Pages(i) == page) {
      delete page;
      break;
    }
  return true;
}

void TSkinTab::DrawStrip(HDC DC, const TRect& R, const TRect& D) {
  const TRect S = TabStripRect(R, D, FPosition);
  const TPoint size = TabWorkSize(S, FPosition);
  if (size.X <= 0 || size.Y <= 0) return;
  FWorkBitmap = NewWork(size.X, size.Y);
  HDC w = FWorkBitmap->Canvas()->Handle();
  FillParentBG(w, TRect(0, 0, size.X, size.Y));
  HGDIOBJ oldFont = SelectObject(w, WindowFont(FHandle));
  const TDataSkinBorder* rec = FSkinData->Tabs.get();
  const int current = CurrentTab(FHandle);
  HIMAGELIST images = HIMAGELIST(SendMessageW(FHandle, TCM_GETIMAGELIST, 0, 0));
  const bool disabled = !FEnabled;
  HPEN pen = nullptr;
  HGDIOBJ oldPen = nullptr;
  if (FCloseButtons) {
    pen = CreatePen(PS_SOLID, 1, SkinColour(rec->NormalColour, clBtnText));
    oldPen = SelectObject(w, pen);
  }
  for (const auto& [i, item] : ReadTabs(FHandle, FUnicode)) {
    const TRect t = TabInWork(item.Rect, R, D, size.X, FPosition);
    const int f = TabFrame(i == current, i == FHot, disabled, rec->Frame);
    DrawRect2(w, t, FTabImage.get(), rec->Margins, f, rec->Frame, rec->Trans, rec->Tile, 0);
    TRect text = t;
    if (FCloseButtons) {
      const TRect c = TabCloseRect(t);
      HGDIOBJ oldBrush = SelectObject(w, GetStockObject(NULL_BRUSH));
      Rectangle(w, c.Left, c.Top, c.Right, c.Bottom);
      MoveToEx(w, c.Left, c.Top, nullptr);
      LineTo(w, c.Right, c.Bottom);
      MoveToEx(w, c.Right - 1, c.Top, nullptr);
      LineTo(w, c.Left - 1, c.Bottom);
      SelectObject(w, oldBrush);
      text.Right = c.Left;
    }
    SetTextColor(w, f == 1 ? SkinColour(rec->NormalColour, clBtnText) : SkinColour(rec->MouseOverColour, clBtnText));
    DrawImgCaption(w, text, images, item.Image, item.Text, 1);
  }
  if (pen) {
    SelectObject(w, oldPen);
    DeleteObject(pen);
  }
  SelectObject(w, oldFont);
  if (FPosition == Stright) Drehen90Grad(FWorkBitmap.get());
  if (FPosition == Stleft) Drehen270Grad(FWorkBitmap.get());
  BitBlt(DC, S.Left, S.Top, S.Width(), S.Height(), FWorkBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TSkinTab::DrawControl(HDC DC, const TRect& R) {
  if (!FHandle || !FSkinData) return;
  FEnabled = WindowDisabled(FHandle) ? 0 : 1;
  FPosition = GetPosition();
  RECT adj = ToRECT(R);
  SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, LPARAM(&adj));
  const TRect D = TabPaneRect(TR(adj), FPosition);
  HWND scroll = FindScroll();
  // The whole window is composed off screen and copied once.
  auto all = NewWork(R.Width(), R.Height());
  HDC a = all->Canvas()->Handle();
  FillParentBG(a, TRect(0, 0, R.Width(), R.Height()));
  if (FTabImage && FSkinData->Tabs) DrawStrip(a, R, D);
  if (FPaneImage) {
    const bool own = FSkinData->Tabs && FSkinData->Tabs->Style != 0 && FSkinData->TabPane;
    const TRect m = own ? FSkinData->TabPane->Margins : TRect(4, 5, 4, 4);
    DrawRect2(a, D, FPaneImage.get(), m, 1, 1, 0, 0, 0);
  }
  if (FTransparent == 2)
    PaintGraphicChildren(FControl, a);
  const int saved = SaveDC(DC);
  if (scroll) {
    RECT sr{}, own{};
    GetWindowRect(scroll, &sr);
    GetWindowRect(FHandle, &own);
    ExcludeClipRect(DC, sr.left - own.left, sr.top - own.top, sr.right - own.left, sr.bottom - own.top);
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), a, 0, 0, SRCCOPY);
  RestoreDC(DC, saved);
}

// ---- TSkinAdvPage

namespace {
const char* const kAdvPictures[] = {"TabBackGround", "TabBackGroundActive"};
}

TSkinAdvPage::TSkinAdvPage(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinAdvPage::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  if (FInitialized) return;
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  ChangeImage();
}

void TSkinAdvPage::SkinChange() {
  TSkinControl::SkinChange();
  ChangeImage();
}

void TSkinAdvPage::ChangeImage() {
  if (FKind == 4) SetAdvPage();
}

void TSkinAdvPage::SetAdvPage() {
  if (!FSkinData || !FSkinData->Tabs || !FControl) return;
  const TDataSkinBorder* rec = FSkinData->Tabs.get();
  for (int f = 1; f <= 2; ++f) {
    if (!HasProperty(FControl, kAdvPictures[f - 1])) continue;
    std::unique_ptr<TBitmap> frame = GetHMap(TRect(0, 0, 100, 21), rec->Map.get(), rec->Margins, f, rec->Frame,
                                             rec->Tile, 0);
    if (frame) SetObjectProp(FControl, kAdvPictures[f - 1], frame.get());
  }
}

void TSkinAdvPage::Unsubclass() {
  if (FControl) {
    TBitmap empty;
    for (const char* name : kAdvPictures)
      if (HasProperty(FControl, name)) SetObjectProp(FControl, name, &empty);
  }
  TSkinControl::Unsubclass();
}

void TSkinAdvPage::DrawControl(HDC DC, const TRect& R) {
  (void)DC;
  (void)R;
  FindTabScroll(FHandle, Owner() ? Owner() : this, FScrollSkin, FSkinData, FForm);
}

// ---- TSkinTab31

TSkinTab31::TSkinTab31(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinTab31::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  (void)SetColor;
  if (FInitialized) return;
  auto* control = dyn<TControl>(Owner());
  HWND wnd = ControlWindow(control);
  if (!wnd) return;
  // The set's window procedure is taken over, as for a plain window; the skin still belongs to it.
  Inithwnd(wnd, SkinData, Canvas, Form);
  FControl = control;
  inittab();
  if (control->ComponentCount() > 0 && control->Components(0)->ClassName() == "TScroller") {
    FScroller = dyn<TWinControl>(control->Components(0));
    if (HWND up = ControlWindow(FScroller))
      FScrollSkin = AttachUpDownSkin(up, control, SkinData, Form, true, false);
  }
}

void TSkinTab31::inittab() {
  FTabImage.reset();
  if (!FSkinData || !FSkinData->Tabs) return;
  FTabImage = Copy24(FSkinData->Tabs->Map.get());
  if (FTabImage) SpiegelnVertikal(FTabImage.get());
}

void TSkinTab31::SkinChange() {
  TSkinControl::SkinChange();
  inittab();
}

bool TSkinTab31::BeforeProc(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return false;
  }
  // WM_PAINT goes on to the set, and the skin paints over what it drew (AfterProc).
  return TSkinControl::BeforeProc(Message);
}

void TSkinTab31::DrawControl(HDC DC, const TRect& R) {
  if (!FTabImage || !FControl || !FSkinData || !FSkinData->Tabs || R.Width() <= 0 || R.Height() <= 0) return;
  const TDataSkinBorder* rec = FSkinData->Tabs.get();
  FEnabled = WindowDisabled(FHandle) ? 0 : 1;
  auto work = NewWork(R.Width(), R.Height());
  HDC w = work->Canvas()->Handle();
  FillBG(w, TRect(0, 0, R.Width(), R.Height()));
  HGDIOBJ oldFont = SelectObject(w, FControl->Font()->Handle());
  std::vector<WideString> texts;
  TObject* list = GetObjProp(FControl, "Tabs", TObject::StaticClass());
  if (auto* wide = dyn<TWideStrings>(list))
    for (int i = 0; i < wide->Count(); ++i) texts.push_back(wide->Strings(i));
  else if (auto* ansi = dyn<TStrings>(list))
    for (int i = 0; i < ansi->Count(); ++i) texts.push_back(StrToWideStr(ansi->Strings(i)));
  std::vector<int> widths;
  for (const WideString& t : texts) {
    RECT m{0, 0, 0, 0};
    if (!t.empty()) Tnt_DrawTextW(w, t, m, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
    widths.push_back(int(m.right - m.left));
  }
  // Properties a tab set may lack count as 0.
  auto prop = [&](const char* name) { return std::max(GetIntProperty(FControl, name), 0); };
  const bool scroller = FScroller && FScroller->HandleAllocated() &&
                        (GetWindowLongPtrA(FScroller->Handle(), GWL_STYLE) & WS_VISIBLE);
  const std::vector<TRect> tabs = TabSetLayout(widths, prop("FirstIndex"), prop("StartMargin"),
                                               R.Width() - prop("EndMargin"), R.Height(), scroller);
  const int selected = GetIntProperty(FControl, "TabIndex");
  for (size_t i = 0; i < tabs.size(); ++i) {
    if (tabs[i].Right < tabs[i].Left) continue;
    const int f = int(i) == selected ? 2 : 1;
    DrawRect2(w, tabs[i], FTabImage.get(), rec->Margins, f, rec->Frame, rec->Trans, rec->Tile, 0);
    SetTextColor(w, SkinColour(f == 1 ? rec->NormalColour : rec->MouseOverColour, clBtnText));
    DrawCaption(w, tabs[i], texts[i], FEnabled != 0, DT_CENTER);
  }
  SelectObject(w, oldFont);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), w, 0, 0, SRCCOPY);
}

// ---- TSkinTabBtn

TSkinTabBtn::TSkinTabBtn(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinTabBtn::BeforeProc(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    WMPaint(Message);
    return false;
  }
  return TSkinControl::BeforeProc(Message);
}

void TSkinTabBtn::DrawControl(HDC DC, const TRect& R) {
  if (!FHandle || !FSkinData || !FSkinData->Buttons) return;
  const TDataSkinButton* b = FSkinData->Buttons.get();
  if (!b->Map || b->Map->Empty()) return;
  FEnabled = WindowDisabled(FHandle) ? 0 : 1;
  RECT adj = ToRECT(R);
  SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, LPARAM(&adj));
  const TRect strip(R.Left, R.Top, R.Right, adj.top - 4 + 1);
  if (strip.Width() <= 0 || strip.Height() <= 0) return;
  auto work = NewWork(strip.Width(), strip.Height());
  HDC w = work->Canvas()->Handle();
  FillBG(w, TRect(0, 0, strip.Width(), strip.Height()));
  HGDIOBJ oldFont = SelectObject(w, WindowFont(FHandle));
  const int current = CurrentTab(FHandle);
  HIMAGELIST images = HIMAGELIST(SendMessageW(FHandle, TCM_GETIMAGELIST, 0, 0));
  const int frames = b->Frame > 0 ? b->Frame : 5;
  for (const auto& [i, item] : ReadTabs(FHandle, FUnicode)) {
    const TRect t(item.Rect.Left - strip.Left, item.Rect.Top + 1 - strip.Top, item.Rect.Right - strip.Left,
                  item.Rect.Bottom + 1 - strip.Top);
    const int f = i == current ? 2 : 1;
    DrawRect2(w, t, b->Map.get(), b->Margins, f, frames, b->Trans, b->Tile, 0);
    // Each tab from black: the current tab's colour must not carry over to the tabs after it.
    SetTextColor(w, 0);
    if (f == 1 && b->NormalColour != -1) SetTextColor(w, SkinColour(b->NormalColour, clBtnText));
    if (f == 2 && b->PressedColour != -1) SetTextColor(w, SkinColour(b->PressedColour, clBtnText));
    DrawImgCaption(w, t, images, item.Image, item.Text, 1);
  }
  SelectObject(w, oldFont);
  BitBlt(DC, strip.Left, strip.Top, strip.Width(), strip.Height(), w, 0, 0, SRCCOPY);
}

// ---- TSkinTabSheet

TSkinTabSheet::TSkinTabSheet(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinTabSheet::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  (void)SetColor;
  // The page takes the face colour, so that labels and other controls that follow their
  // parent's colour match the page instead of showing the system's face as a strip.
  TSkinControl::Init(Form, SkinData, Canvas, true);
}

bool TSkinTabSheet::BeforeProc(TMessage& Message) {
  const bool inherited = TSkinControl::BeforeProc(Message);
  if (!inherited) return false;
  switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      WMPaint(Message);
      return false;
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(FHandle, &r);
      FillBG(HDC(Message.WParam), TR(r));
      Message.Result = 1;
      return false;
    }
    default:
      return inherited;
  }
}

void TSkinTabSheet::DrawControl(HDC DC, const TRect& R) {
  FillBG(DC, R);
  PaintGraphicChildren(FControl, DC);
}
