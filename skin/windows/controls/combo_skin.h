// Combo boxes: TSkinComBox draws the skin's frame and drop-down button over a combo box of any
// style after the combo has painted itself, lights and presses the button, and gives the combo's
// list its skin: TComboxScrollBar paints the drop-down list's vertical scroll bar in the list's
// non-client area and drags its thumb in a loop of its own; a simple combo's list gets the
// overlays of TSkinScrollbarH.
#pragma once

#include "skin/windows/controls/control_skin.h"
#include "skin/windows/controls/scroll_skin.h"

class TComboxScrollBar;

class TSkinComBox : public TSkinControl {
  KARO_CLASS(TSkinComBox)
public:
  explicit TSkinComBox(TComponent* AOwner);
  ~TSkinComBox() override;
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  void Unsubclass() override;
  bool BeforeProc(TMessage& Message) override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  // The flat mode ("ComboButton" Style 1).
  void DrawControl1(HDC DC, const TRect& R);
  void Notification(TComponent* C, TOperation Op) override;

  // The frame of the button, frame and glyph for the current state.
  int CurrentFrame();
  // The messages of the combo's first child (its edit), after that child's own procedure.
  void ButtonProc(UINT Msg);

  DWORD FStyle = 0;
  DWORD FExStyle = 0;
  HWND FListWindow = nullptr;
  HWND FEditChild = nullptr;
  TSkinScrollbarH* FSimpleList = nullptr;
  TComboxScrollBar* FDropList = nullptr;
  COMBOBOXINFO FInfo{};
  TRect FButtonRect{};

private:
  // The hold on the edit child while FEditChild names it.
  TWindowSubclass editSub_;
  void FindBtn();
  void UnhookEdit();
  void SkinDropList();
  void SkinSimpleList();
  bool ReadInfo();
  void SetHot(bool Hot);
  void SetPressed(bool Pressed);
  // A press or release of the left button, on the combo or on its edit: true when Msg is one.
  bool TrackPress(UINT Msg);
};

class TComboxScrollBar : public TSkinControl {
  KARO_CLASS(TComboxScrollBar)
public:
  explicit TComboxScrollBar(TComponent* AOwner);
  ~TComboxScrollBar() override;
  bool BeforeProc(TMessage& Message) override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  void PaintScrollbar(HDC DC, const TRect& R, bool Vertical);
  // The thumb drag of the list's vertical bar; true when the press was on the thumb and handled.
  bool NCLButtonDown(TMessage& Message);

  int FArrowSize = 0;
  // True while the thumb is dragged.
  bool Tracking() const { return tracking_; }

private:
  // The system reports another bar than the one last painted.
  bool Changed();
  void StopSync();
  SCROLLBARINFO painted_{};
  bool tracking_ = false;
  bool syncing_ = false;
};
