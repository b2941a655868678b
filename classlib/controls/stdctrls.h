// The standard controls over the system's own window classes: labels, edits and memos, push
// buttons, check boxes and radio buttons, list boxes, combo boxes, scroll bars and group boxes.
// Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "classlib/controls/controls.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/menus.h"
#include "classlib/core/string_list.h"

KARO_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter);
KARO_ENUM(TTextLayout, tlTop, tlCenter, tlBottom);
KARO_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase);
KARO_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth);
KARO_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed);
KARO_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable);
KARO_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable);
KARO_ENUM(TScrollBarKind, sbHorizontal, sbVertical);
KARO_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
          scEndScroll);
KARO_ENUM(TOwnerDrawStateElement, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit);
using TOwnerDrawState = TSet<TOwnerDrawStateElement>;
// Controls with a border of their own write bsNone or bsSingle (the first two border styles).
using TBorderStyle = TFormBorderStyle;

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// The height of a line of text in the font (measured on the screen, before any painting).
int FontTextHeight(TFont* font);
// The owner-draw state bits of a DRAWITEMSTRUCT's itemState.
TOwnerDrawState OwnerDrawState(UINT itemState);

// --- Labels ---

class TCustomLabel : public TGraphicControl {
  KARO_CLASS(TCustomLabel)
public:
  explicit TCustomLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool Transparent() const { return (ControlStyle() & csOpaque) == 0; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* c);
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

protected:
  void Notification(TComponent* c, TOperation op) override;
  void Paint() override;
  // Draws the caption into rect with the DrawText flags (DT_CALCRECT measures only).
  void DoDrawText(TRect& rect, UINT flags);
  void AdjustBounds();
  void CMTextChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMDialogChar(TMessage& m);

private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  KARO_CLASS(TLabel)
public:
  using TCustomLabel::TCustomLabel;
};

// --- Edits and memos ---

class TCustomEdit : public TWinControl {
  KARO_CLASS(TCustomEdit)
public:
  explicit TCustomEdit(TComponent* owner);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  wchar_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(wchar_t v);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  bool Modified();
  void SetModified(bool v);
  int SelStart();
  void SetSelStart(int v);
  int SelLength();
  void SetSelLength(int v);
  WideString SelText();
  void SetSelText(const WideString& v);
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(L""); }
  bool CanUndo();
  void Undo();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  void DoEnter() override;
  void CNCommand(TWMCommand& m);

private:
  TBorderStyle borderStyle_ = bsSingle;
  int maxLength_ = 0;
  bool readOnly_ = false;
  wchar_t passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  bool hideSelection_ = true;
  bool modified_ = false;  // kept while the window does not exist
};

class TEdit : public TCustomEdit {
  KARO_CLASS(TEdit)
public:
  using TCustomEdit::TCustomEdit;
};

class TCustomMemo;

// The lines of a memo: its text cut at each CR LF (a last empty line is no line). While an update
// is running the lines are kept aside and written back once, at its end.
class TMemoStrings : public TWideStrings {
  KARO_CLASS(TMemoStrings)
public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
  void Insert(int index, const WideString& s) override;
  void Delete(int index) override;
  void Clear() override;

protected:
  WideString Get(int index) const override;
  int GetCount() const override;
  void Put(int index, const WideString& s) override;
  void SetUpdateState(bool updating) override;

private:
  const std::vector<WideString>& Lines() const;
  // The lines to change, and the writing of them back into the memo (at once, or when the
  // update ends).
  std::vector<WideString>& Work();
  void Store();
  TCustomMemo* memo_;
  bool updating_ = false;
  std::vector<WideString> pending_;
  std::vector<WideString> scratch_;
  mutable WideString cachedText_;
  mutable std::vector<WideString> cachedLines_;
};

class TCustomMemo : public TCustomEdit {
  KARO_CLASS(TCustomMemo)
public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;
  TWideStrings* Lines() { return lines_.get(); }
  void SetLines(TWideStrings* v) { lines_->Assign(v); }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void WMGetDlgCode(TMessage& m);

private:
  std::unique_ptr<TMemoStrings> lines_;
  TAlignment alignment_ = taLeftJustify;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
  KARO_CLASS(TMemo)
public:
  using TCustomMemo::TCustomMemo;
};

// --- Buttons ---

// A control over the system's button class: its check state and the clicks it gives.
class TButtonControl : public TWinControl {
  KARO_CLASS(TButtonControl)
public:
  explicit TButtonControl(TComponent* owner);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  void WndProc(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  virtual bool GetChecked() { return false; }
  virtual void SetChecked(bool) {}
  // True while the control makes a change of its own that must not click.
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool v) { clicksDisabled_ = v; }

private:
  bool wordWrap_ = false;
  bool clicksDisabled_ = false;
};

class TButton : public TButtonControl {
  KARO_CLASS(TButton)
public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  // The button is the one Enter presses now (it is focused, or it is the default button and no
  // other button is focused).
  bool Active() const { return active_; }
  // Hands the modal result to the form, then OnClick.
  void Click() override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // Shows the button as the one Enter presses, or not.
  virtual void SetButtonStyle(bool isDefault);
  void CNCommand(TWMCommand& m);
  void CMDialogKey(TMessage& m);
  void CMDialogChar(TMessage& m);
  void CMFocusChanged(TMessage& m);

private:
  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  TModalResult modalResult_ = mrNone;
};

class TCustomCheckBox : public TButtonControl {
  KARO_CLASS(TCustomCheckBox)
public:
  explicit TCustomCheckBox(TComponent* owner);
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState v);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  void Dispatch(TMessage& Message) override;

protected:
  bool GetChecked() override { return Checked(); }
  // The next state of a click: unchecked, grayed (when allowed), checked, unchecked...
  virtual void Toggle();
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNCommand(TWMCommand& m);
  void CMDialogChar(TMessage& m);

private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  KARO_CLASS(TCheckBox)
public:
  using TCustomCheckBox::TCustomCheckBox;
};

// A radio button: checking it unchecks the radio buttons beside it (same parent).
class TRadioButton : public TButtonControl {
  KARO_CLASS(TRadioButton)
public:
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return checked_; }
  void SetChecked(bool v) override;
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  void Dispatch(TMessage& Message) override;

protected:
  bool GetChecked() override { return checked_; }
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNCommand(TWMCommand& m);
  void CMDialogChar(TMessage& m);

private:
  bool checked_ = false;
  TAlignment alignment_ = taRightJustify;
};

// --- Lists ---

// The messages of a list window kind (list box or combo box).
struct TListMessages {
  UINT InsertString, DeleteString, ResetContent, GetCurSel, SetCurSel;
};

// The items of a list control: kept here and, while the window exists, in the window too, so that a
// window made again gets them back. Sorted lists insert each item at its place.
class TListControlItems : public TWideStrings {
  KARO_CLASS(TListControlItems)
public:
  TListControlItems(TWinControl* control, const TListMessages& msgs) : control_(control), msgs_(msgs) {}
  int Add(const WideString& s) override;
  void Insert(int index, const WideString& s) override;
  void Delete(int index) override;
  void Clear() override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* obj) override;
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  // Fills a new window with the items.
  void FillWindow();
  // Called after every change of the list (the radio group rebuilds its buttons).
  std::function<void()> OnListChange;

protected:
  WideString Get(int index) const override;
  int GetCount() const override;
  void Put(int index, const WideString& s) override;

private:
  HWND Window() const { return control_->HandleAllocated() ? control_->Handle() : nullptr; }
  void CheckIndex(int index, bool allowEnd) const;
  void Changed();
  TWinControl* control_;
  TListMessages msgs_;
  std::vector<WideString> items_;
  std::vector<TObject*> objects_;
  bool sorted_ = false;
};

class TCustomListBox : public TWinControl {
  KARO_CLASS(TCustomListBox)
public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;
  TWideStrings* Items() { return items_.get(); }
  void SetItems(TWideStrings* v) { items_->Assign(v); }
  int Count() { return items_->Count(); }
  int ItemIndex();
  void SetItemIndex(int v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool Selected(int index);
  void SetSelected(int index, bool v);
  int SelCount();
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle v);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int v);
  int Columns() const { return columns_; }
  void SetColumns(int v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  int TopIndex();
  void SetTopIndex(int v);
  void Clear() { items_->Clear(); }
  int ItemAtPos(TPoint pos, bool existing);
  TRect ItemRect(int index);
  // The canvas of an owner-drawn item (only while OnDrawItem runs).
  TCanvas* Canvas() { return &canvas_; }
  void Dispatch(TMessage& Message) override;

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
  void CNCommand(TWMCommand& m);
  void CNDrawItem(TWMDrawItem& m);
  void CNMeasureItem(TWMMeasureItem& m);

private:
  std::unique_ptr<TListControlItems> items_;
  TCanvas canvas_;
  std::vector<int> savedSelection_;  // multi-selection kept while the window is remade
  int itemIndex_ = -1;               // kept while the window does not exist
  bool multiSelect_ = false;
  TListBoxStyle style_ = lbStandard;
  int itemHeight_ = 16;
  int columns_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
};

class TListBox : public TCustomListBox {
  KARO_CLASS(TListBox)
public:
  using TCustomListBox::TCustomListBox;
};

// A combo box. OnChange follows the user (a choice from the list, typing in the edit); setting
// ItemIndex or Text from code does not fire it. Items.Clear keeps the edit's text.
class TCustomComboBox : public TWinControl {
  KARO_CLASS(TCustomComboBox)
public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;
  TWideStrings* Items() { return items_.get(); }
  void SetItems(TWideStrings* v) { items_->Assign(v); }
  int ItemIndex();
  void SetItemIndex(int v);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v) { dropDownCount_ = v < 1 ? 1 : v; }
  bool DroppedDown();
  void SetDroppedDown(bool v);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int v);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v);
  int SelStart();
  void SetSelStart(int v);
  int SelLength();
  void SetSelLength(int v);
  void SelectAll();
  void Clear();
  // The edit inside a drop-down or simple combo, or 0.
  HWND EditHandle() const { return editHandle_; }
  HWND ListHandle() const { return listHandle_; }
  // The canvas of an owner-drawn item (only while OnDrawItem runs).
  TCanvas* Canvas() { return &canvas_; }
  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnSelect;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void Select();
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
  // Messages of the combo's edit and list windows: focus and keys go through the combo.
  virtual void ComboWndProc(TMessage& m, HWND wnd, WNDPROC old);
  void CNCommand(TWMCommand& m);
  void CNDrawItem(TWMDrawItem& m);
  void CNMeasureItem(TWMMeasureItem& m);
  void WMSetText(TWMSetText& m);

private:
  friend LRESULT CALLBACK ComboChildWndProc(HWND, UINT, WPARAM, LPARAM);
  void SubclassChild(HWND wnd);
  void UnsubclassChild(HWND wnd);
  void AdjustDropDown();
  std::unique_ptr<TListControlItems> items_;
  TCanvas canvas_;
  TComboBoxStyle style_ = csDropDown;
  int itemIndex_ = -1;  // kept while the window does not exist
  int dropDownCount_ = 8;
  int maxLength_ = 0;
  int itemHeight_ = 16;
  TEditCharCase charCase_ = ecNormal;
  HWND editHandle_ = nullptr;
  HWND listHandle_ = nullptr;
};

class TComboBox : public TCustomComboBox {
  KARO_CLASS(TComboBox)
public:
  using TCustomComboBox::TCustomComboBox;
};

// --- Scroll bars ---

class TScrollBar : public TWinControl {
  KARO_CLASS(TScrollBar)
public:
  explicit TScrollBar(TComponent* owner);
  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind v);
  int Min() const { return min_; }
  void SetMin(int v) { SetParams(position_, v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetParams(position_, min_, v); }
  int Position() const { return position_; }
  void SetPosition(int v) { SetParams(v, min_, max_); }
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int v) { smallChange_ = v; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int v) { largeChange_ = v; }
  // Raises EInvalidOperation when max < min; the position is kept within the range.
  void SetParams(int position, int min, int max);
  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Change();
  virtual void Scroll(TScrollCode code, int& pos);
  void CNScroll(TWMScroll& m);

private:
  void UpdateWindow();
  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0;
  int smallChange_ = 1, largeChange_ = 1;
};

// --- Group boxes ---

class TCustomGroupBox : public TCustomControl {
  KARO_CLASS(TCustomGroupBox)
public:
  explicit TCustomGroupBox(TComponent* owner);
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  TRect AlignRect() override;
  void Paint() override;
  void CMTextChanged(TMessage& m);
  void CMDialogChar(TMessage& m);
};

class TGroupBox : public TCustomGroupBox {
  KARO_CLASS(TGroupBox)
public:
  using TCustomGroupBox::TCustomGroupBox;
};
