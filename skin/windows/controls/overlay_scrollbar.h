// TWScrollbar: the small window laid over one native scroll bar of a control (or over a
// stand-alone scroll-bar control), painted from the skin's scroll-bar parts. It reads the bar's
// geometry from the system, follows the bar's place, and hands every press to the window that
// owns the bar, so that the system's own tracking scrolls the window.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "classlib/controls/controls.h"
#include "skin/windows/paint/scroll_geometry.h"

class TSkinControl;
class TSkinData;

// Kinds of bar covered.
constexpr int kBarHorz = 0, kBarVert = 1, kBarControl = 2;

// A memory picture to compose in for a device context, freed with its own device context.
struct TWorkBitmap {
  TWorkBitmap(HDC Like, int W, int H);
  ~TWorkBitmap();
  TWorkBitmap(const TWorkBitmap&) = delete;
  TWorkBitmap& operator=(const TWorkBitmap&) = delete;
  void Fill(TColor Color, int W, int H);
  HDC DC;
  HBITMAP Bmp;
  HGDIOBJ Old;
};

// A message's device context, or 0 when it is none (a message may carry anything there).
HDC AsDC(HDC DC);
// Answers WM_PAINT (between BeginPaint and EndPaint) and WM_PRINTCLIENT (on the device context in
// wParam, when it is one) of a window that paints itself wholly through Paint.
void PaintOwnWindow(HWND Wnd, TWMPaint& Message, const std::function<void(HDC)>& Paint);

// The bar's thickness: the Scrollbar picture's height, or the arrow size when they differ by
// more than 2.
int BarThickness(const TSkinData* Data, int Arrow);
// Draws what the layout decided (track, arrows, thumb, grip) from the skin's scroll-bar parts.
void DrawBarPieces(HDC DC, const TSkinData* Data, const TBarLayout& L, bool Vertical);

class TWScrollbar : public TCustomControl {
  KARO_CLASS(TWScrollbar)
public:
  // Owner: the control skin, which frees the overlay.
  explicit TWScrollbar(TComponent* AOwner);
  ~TWScrollbar() override;

  void Attach(TSkinControl* Skin, TWinControl* Control, int Kind);
  void AttachHwnd(TSkinControl* Skin, HWND Wnd, int Kind);
  // Reads the bar and places, shows or hides the overlay over it.
  void SetPosition(HWND Wnd);
  void HideScrollbar();
  // Places the overlay again when the bar moved, appeared or went, and repaints it when the
  // system reports another thumb or state than the one it shows. Cheap when nothing changed.
  void Sync();
  // WM_SETREDRAW of the target: while its drawing is off, the system takes its visible style away,
  // which is no hiding; the overlay stays as it is and follows the bar when drawing comes back.
  void TargetRedraw(bool On);
  // While it is off, the target's missing visible style says nothing; a real hiding still hides.
  bool RedrawOff() const { return redrawOff_; }
  // The bar as the system reports it (a stand-alone scroll bar: its bounds and thumb).
  bool ReadBar(SCROLLBARINFO& Info);
  // Draws the whole bar into DC at the overlay's client origin.
  void PaintTo(HDC DC);
  // Repaints the overlay.
  void Refresh();

  TSkinData* SkinData() const;
  HWND Target() const { return target_; }
  bool Shown() const { return shown_; }
  // The bar in the target's client coordinates at the last placing (kinds 0 and 1).
  TRect BarInTarget() const { return barInTarget_; }
  // What the last paint drew: the thumb along the bar ({0, 0} when none) and the bar's length.
  TThumbSpan DrawnThumb() const { return drawnThumb_; }
  bool DrawnAny() const { return drawnAny_; }

  int HotPart = kPartNone;
  bool Pressed = false;
  bool BarEnabled = true;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  void Press(TWMMouse& Message);
  void Release(TWMMouse& Message);
  void MouseMove(TWMMouse& Message);
  // The bar as it is now, laid out as it is painted: what the paint draws and what the mouse hits.
  struct TBarNow {
    SCROLLBARINFO Info{};
    RECT Client{};     // the overlay's client rectangle
    TRect Bar;         // the bar's rectangle moved to the origin
    int W = 0, H = 0;  // the picture composed: a stand-alone bar's is one thickness across
    bool Enabled = true;
    TBarState State;
  };
  // False when the bar cannot be read.
  bool LayOut(TBarNow& Now);
  void WMMouseLeave(TWMNoParams& m);
  void WMMouseActivate(TWMMouseActivate& m);
  void WMEraseBkgnd(TWMEraseBkgnd& m);
  void WMTimer(TWMTimer& m);
  void WMPaint(TWMPaint& m);
  int HitTest(int X, int Y);
  bool Vertical() const { return orientation_ == 1; }
  void ShowAt(int X, int Y, int W, int H);
  bool LiesOverTarget();

  TSkinControl* skin_ = nullptr;
  TWinControl* control_ = nullptr;
  HWND target_ = nullptr;
  int kind_ = kBarVert;
  int orientation_ = 1;
  int arrow_ = 0;
  TThumbSpan thumbAtPress_;
  POINT barOrigin_{};
  POINT pressCursor_{};
  bool shown_ = false;
  TRect barInTarget_{};
  // What the bar looked like when it was last placed and painted.
  RECT placedRect_{};
  SCROLLBARINFO painted_{};
  TThumbSpan drawnThumb_;
  bool drawnAny_ = false;
  bool clipSiblingsAdded_ = false;
  bool busy_ = false;
  bool redrawOff_ = false;
  std::shared_ptr<bool> alive_;
};
