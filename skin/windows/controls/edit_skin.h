// Edits and date-time pickers: TSkinEdit redraws an edit's border (or that of a picker showing an
// up-down) and gives an up-down inside the edit its skin; TSkinDateTime redraws a drop-down
// picker's border and lays a TArrowButton over the picker's own drop-down button, which shows the
// skin's arrow and hands a click on it to the picker.
#pragma once

#include <functional>

#include "skin/windows/controls/control_skin.h"

class TSkinEdit : public TSkinControl {
  KARO_CLASS(TSkinEdit)
public:
  explicit TSkinEdit(TComponent* AOwner);
  ~TSkinEdit() override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  void Notification(TComponent* C, TOperation Op) override;
  // PaintControl and DrawControl of WM_PRINT: the border in the device context's own brush.
  void PaintControl1(HDC DC);
  void DrawControl1(HDC DC, const TRect& R);
  // Gives the first up-down or spin child of Wnd its skin.
  void FindUPDown(HWND Wnd);

  // The up-down child found (0 while none) and its skin (nil while none, or once freed).
  HWND FUpDownWindow = nullptr;
  TSkinControl* FUpDown = nullptr;
  // Makes the up-down's skin; by default the kind table's up-down skin. Tests put their own in.
  static std::function<TSkinControl*(TComponent* Owner)> UpDownMaker;
};

class TSkinDateTime;

class TArrowButton : public TCustomControl {
  KARO_CLASS(TArrowButton)
public:
  explicit TArrowButton(TComponent* AOwner);
  void Attach(TSkinDateTime* Skin, TWinControl* Picker);
  // Keeps the arrow at the picker's button for a window of the rectangle's width.
  void MoveArrow(const TRect& R);
  // The point (picker client coordinates) a click on the arrow is handed to the picker at: the
  // middle of the picker's own button.
  POINT PickerButtonPoint() const;
  bool Hot() const { return (mouse_ & 1) != 0; }
  void PaintTo(HDC DC);

protected:
  void WndProc(TMessage& Message) override;

private:
  void SetHot(bool Hot);
  int arrowSize_ = 0;
  TWinControl* picker_ = nullptr;
  TSkinDateTime* skin_ = nullptr;
  HWND pickerWnd_ = nullptr;
  uint8_t mouse_ = 0;
};

class TSkinDateTime : public TSkinControl {
  KARO_CLASS(TSkinDateTime)
public:
  explicit TSkinDateTime(TComponent* AOwner);
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void DrawControl(HDC DC, const TRect& R) override;

  TArrowButton* FArrow = nullptr;
};
