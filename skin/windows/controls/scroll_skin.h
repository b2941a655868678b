// Scrolling controls: TSkinScrollbar (memos, lists, grids, tree views, rich edits and the other
// controls with window scroll bars: two overlays and a two-line border), TSkinScrollbarH (a plain
// window with scroll bars, as the list of a simple combo box), TSkinScControl (a stand-alone
// scroll-bar control under one overlay) and TSkinListView (the scroll-bar skin of a list view,
// whose header window is handed to the header's skin when it appears).
#pragma once

#include "skin/windows/controls/control_skin.h"
#include "skin/windows/controls/overlay_scrollbar.h"

// The offset of a window's client area from its window corner: its real border.
TPoint ClientOffset(HWND Wnd);

class TSkinScrollbar : public TSkinControl {
  KARO_CLASS(TSkinScrollbar)
public:
  explicit TSkinScrollbar(TComponent* AOwner);
  ~TSkinScrollbar() override;
  void InitScrollbar(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  void Unsubclass() override;
  bool BeforeProc(TMessage& Message) override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  void SkinChange() override;

  void SetScrollbarPos();
  // The two-line border in window coordinates.
  void DrawBorder(HDC DC, const TRect& R);
  void BENCPAINT(HDC DC);
  // Fills the square between the two bars when both show.
  void PaintCorner(HDC DC);

  TWScrollbar* FHorz = nullptr;
  TWScrollbar* FVert = nullptr;
  bool FBorder = false;
  bool FColorChanged = false;
  TColor FSavedColor = 0;

protected:
  void MakeOverlays();
  void FreeOverlays();
  void SyncOverlays();
  void SetFixedColor();

private:
  bool BeforeNCPaint(TWMNCPaint& m);
  bool DispatchAfter(TMessage& Message);
  bool AfterSetRedraw(TWMSetRedraw& m);
  bool AfterHScroll(TWMScroll& m);
  bool AfterVScroll(TWMScroll& m);
  bool AfterMoved(TMessage& m);
  bool AfterMouseWheel(TWMMouseWheel& m);
  bool AfterVisibleChanged(TCMChanged& m);
  bool AfterEnabledChanged(TCMChanged& m);
  bool AfterRecreateWnd(TMessage& m);
  bool AfterPaintFrame(TCNSkinMarked& m);
  bool AfterPaintBars(TWMPaint& m);
  bool AfterInherited(TMessage& m);
};

class TSkinScrollbarH : public TSkinControl {
  KARO_CLASS(TSkinScrollbarH)
public:
  explicit TSkinScrollbarH(TComponent* AOwner);
  ~TSkinScrollbarH() override;
  void Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  void Unsubclass() override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  void SetScrollbarPos();

  TWScrollbar* FHorz = nullptr;
  TWScrollbar* FVert = nullptr;

private:
  void DispatchAfter(TMessage& Message);
  void AfterSetRedraw(TWMSetRedraw& m);
  void AfterHScroll(TWMScroll& m);
  void AfterVScroll(TWMScroll& m);
  void AfterMoved(TMessage& m);
  void AfterPaintBars(TWMPaint& m);
  void AfterInherited(TMessage& m);
  // The vertical bar goes out of sight with a window that is hidden while it draws.
  void FollowWindow();
};

class TSkinScControl : public TSkinControl {
  KARO_CLASS(TSkinScControl)
public:
  explicit TSkinScControl(TComponent* AOwner);
  ~TSkinScControl() override;
  void InitScrollbar(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  void Unsubclass() override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;

  TWScrollbar* FBar = nullptr;

private:
  void DispatchAfter(TMessage& Message);
  void AfterWindowPosChanged(TWMWindowPosMsg& m);
  void AfterNCPaint(TWMNCPaint& m);
  void AfterScrolled(TMessage& m);
  void AfterVisibleChanged(TCMChanged& m);
  void AfterPaintBar(TWMPaint& m);
};

class TSkinListView : public TSkinScrollbar {
  KARO_CLASS(TSkinListView)
public:
  explicit TSkinListView(TComponent* AOwner);
  void InitScrollbar(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  void AfterProc(TMessage& Message) override;
  // The header window handed to the header's skin (0 until the list view has one).
  HWND HeaderWindow() const { return header_; }

private:
  void FindHeader();
  void DispatchHeader(TMessage& Message);
  void AfterHeaderMayCome(TMessage& m);
  HWND header_ = nullptr;
};

// True when the skin can paint a scroll bar: without the picture no overlay is laid.
bool SkinPaintsScrollbars(const TSkinData* Data);
