// Tab and page controls: TSkinTab (the tab strip in four orientations from the skin's tab
// pictures, the pane, close buttons on the tabs), TSkinTab31 (tab sets), TSkinTabBtn
// (button-style tabs from the push button pictures), TSkinTabSheet (a page's background) and
// TSkinAdvPage (another vendor's page control that draws from two pictures); with the pure geometry and frame
// choices they paint and hit-test by.
#pragma once

#include <memory>
#include <vector>

#include "skin/windows/controls/control_skin.h"

// The tag that asks a page control with tabs at the top for close buttons on its tabs.
constexpr intptr_t kTabCloseTag = 7777;

enum TSkinTabPosition { StTop, Stbottom, Stleft, Stright };

// ---- Deciding, pure

// From the window style: TCS_BOTTOM with TCS_VERTICAL right, TCS_BOTTOM bottom, TCS_VERTICAL left.
TSkinTabPosition TabPositionOfStyle(LONG Style);
// The pane rectangle from the display rectangle the control reports: four pixels wider on every
// side and one pixel further towards the tabs.
TRect TabPaneRect(const TRect& Display, TSkinTabPosition P);
// The part of the window outside the pane on the tab side.
TRect TabStripRect(const TRect& Window, const TRect& Pane, TSkinTabPosition P);
// The size of the work bitmap the strip is composed in: always laid horizontally.
TPoint TabWorkSize(const TRect& Strip, TSkinTabPosition P);
// A tab's rectangle (client coordinates) in the work bitmap.
TRect TabInWork(const TRect& Tab, const TRect& Window, const TRect& Pane, int WorkWidth, TSkinTabPosition P);
// The close button of a tab drawn at WorkTab in the work bitmap: a 6-pixel square near the top
// right corner. For top tabs the work bitmap lies at the client origin, so this is also where a
// click hits it.
TRect TabCloseRect(const TRect& WorkTab);
// The tab strip's frame: 1 a tab, 2 the current tab, 3 a tab under the mouse, 4 any tab of a
// disabled control, 5 the current tab under the mouse. A strip of fewer than five frames has only
// the first two.
int TabFrame(bool Current, bool Hot, bool Disabled, int FrameCount);
// Where the tabs of a tab set go, along a strip of Height from Start: each tab its text's width
// and 9 more, while it ends at or before Limit (12 pixels earlier while the scroller shows). A tab
// that does not fit is skipped and those after it are still tried. Tabs before First and skipped
// ones get an empty rectangle.
std::vector<TRect> TabSetLayout(const std::vector<int>& TextWidths, int First, int Start, int Limit, int Height,
                                bool ScrollerVisible);
// The page whose tab is Tab, given each page's tab index in page order (-1 for a page whose tab
// is hidden, so tab and page indexes part after it); -1 when no page has that tab.
int PageOfTab(const int* SheetTabIndexes, int Count, int Tab);

class TSkinTab : public TSkinControl {
  KARO_CLASS(TSkinTab)
public:
  explicit TSkinTab(TComponent* AOwner);
  ~TSkinTab() override;

  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  bool BeforeProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  void SkinChange() override;

  // Copies the tab and pane pictures for the tab side.
  void inittab();
  TSkinTabPosition GetPosition() const;
  // The tab control's own scroll arrows (skinned once found); nil when it has none.
  HWND FindScroll();
  // A click at client point (X, Y): the close button it hits, asked of the form's window, and the
  // page freed when the answer is 0. True when a close button was hit.
  bool ClickClose(int X, int Y);

  std::unique_ptr<TBitmap> FTabImage, FPaneImage, FWorkBitmap;
  TSkinTabPosition FPosition = StTop;
  bool FCloseButtons = false;
  int FHot = -1;  // the tab under the mouse
  TSkinControl* FScrollSkin = nullptr;

private:
  void DrawStrip(HDC DC, const TRect& R, const TRect& Pane);
  void SetHot(int Tab);

  bool BeforePaint(TWMPaint& m);
  bool BeforePrintClient(TWMPaint& m);
  bool BeforeLButtonDown(TWMMouse& m);
  bool BeforeMouseMove(TWMMouse& m);
  bool BeforeMouseLeft(TWMNoParams& m);
};

// An advanced page control of another vendor that draws its tabs from two bitmap properties,
// "TabBackGround" and "TabBackGroundActive": the skin fills them with its tab frames 1 and 2.
class TSkinAdvPage : public TSkinControl {
  KARO_CLASS(TSkinAdvPage)
public:
  explicit TSkinAdvPage(TComponent* AOwner);
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void SkinChange() override;
  // Gives the control empty pictures: it draws its own tabs again.
  void Unsubclass() override;
  void DrawControl(HDC DC, const TRect& R) override;
  void ChangeImage();
  void SetAdvPage();

  // 4: made for an "advpagecontrol" entry of the class list; only that kind fills the pictures.
  int FKind = 0;
  TSkinControl* FScrollSkin = nullptr;
};

// A tab set (class "TTabSet"): its tabs from the tab picture turned upside down (a tab set's
// tabs open downwards) and its own scroller with the up-down skin. It reads the tab set's "Tabs",
// "TabIndex", "FirstIndex", "StartMargin" and "EndMargin" by name and takes over its window
// procedure; the set paints itself first and the skin over it.
class TSkinTab31 : public TSkinControl {
  KARO_CLASS(TSkinTab31)
public:
  explicit TSkinTab31(TComponent* AOwner);
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  bool BeforeProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  void SkinChange() override;
  void inittab();

  std::unique_ptr<TBitmap> FTabImage;
  TWinControl* FScroller = nullptr;  // the tab set's first owned component when it is a scroller
  TSkinControl* FScrollSkin = nullptr;
};

class TSkinTabBtn : public TSkinControl {
  KARO_CLASS(TSkinTabBtn)
public:
  explicit TSkinTabBtn(TComponent* AOwner);
  bool BeforeProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
};

class TSkinTabSheet : public TSkinControl {
  KARO_CLASS(TSkinTabSheet)
public:
  explicit TSkinTabSheet(TComponent* AOwner);
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  bool BeforeProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;

private:
  bool DispatchBefore(TMessage& Message);
  bool BeforeEraseBkgnd(TWMEraseBkgnd& m);
};

// Reads tab Index's text (all of it, the buffer's size given), image and state; false when the
// control has no such tab.
bool ReadTabItem(HWND Tab, bool Unicode, int Index, WideString& Text, int& Image);
// The tab window's own scroll arrows, skinned (ScrollSkin, owned by Owner) the first time they
// are found; nil when there are none or they are hidden.
HWND FindTabScroll(HWND Tab, TComponent* Owner, TSkinControl*& ScrollSkin, TSkinData* SkinData, TVeltForm* Form);
