// The common controls over comctl32's window classes: tab and page controls with their sheets,
// the status bar and its panels, track bar, up-down, progress bar, tool bar and tool buttons,
// header control, list view, tree view, date-time picker and rich edit. Each wraps its system
// window class (CreateSubClass) and hears its notifications reflected as CN_NOTIFY. Windows only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "classlib/controls/stdctrls.h"
#include "classlib/controls/controls.h"
#include "classlib/controls/menus.h"
#include "classlib/core/collections.h"
#include "classlib/core/string_list.h"
#include "classlib/graphics/image_list.h"

class TPageControl;
class TTabSheet;
class TToolBar;

// Days since 30 December 1899, the fraction the time of day.
using TDateTime = double;

// Tells a control that a published sub-object of its own changed (the panels of a status bar,
// the sections of a header, the columns of a list view).
class TControlCollection : public TOwnedCollection {
  KARO_CLASS(TControlCollection)
public:
  TControlCollection(TWinControl* control, TClass itemClass, std::function<void()> changed)
      : TOwnedCollection(control, itemClass), changed_(std::move(changed)) {}

protected:
  void Update(TCollectionItem*) override {
    if (UpdateCount() == 0 && changed_) changed_();
  }

private:
  std::function<void()> changed_;
};

// ---------------------------------------------------------------------------------------------
// Tab controls

KARO_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight);
KARO_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons);
using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TCustomTabControl : public TWinControl {
  KARO_CLASS(TCustomTabControl)
public:
  explicit TCustomTabControl(TComponent* owner);
  ~TCustomTabControl() override;

  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition v);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle v);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  // The selected tab, -1 for none.
  int TabIndex() const;
  void SetTabIndex(int v);
  // The area inside the tabs and the border, in client coordinates.
  TRect DisplayRect();

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* c, TOperation op) override;
  // The texts and images of the tabs, in order.
  virtual int TabCount() const = 0;
  virtual WideString TabText(int index) const = 0;
  virtual int TabImage(int index) const { (void)index; return -1; }
  // Writes every tab into the window again (after the set of tabs changed), selecting the tab
  // that was selected, or with keepSelection false the tab TabIndex was last given.
  void UpdateTabs(bool keepSelection = true);
  virtual bool CanChange();
  virtual void Change();
  void CNNotify(TWMNotify& m);

  int tabIndex_ = -1;  // kept while there is no window

private:
  TTabPosition tabPosition_ = tpTop;
  TTabStyle style_ = tsTabs;
  bool multiLine_ = false;
  TCustomImageList* images_ = nullptr;
};

class TTabControl : public TCustomTabControl {
  KARO_CLASS(TTabControl)
public:
  explicit TTabControl(TComponent* owner);
  ~TTabControl() override;
  TWideStrings* Tabs() { return tabs_.get(); }
  void SetTabs(TWideStrings* v) { tabs_->Assign(v); }

protected:
  int TabCount() const override { return tabs_->Count(); }
  WideString TabText(int index) const override { return tabs_->Strings(index); }

private:
  std::unique_ptr<TWideStringList> tabs_;
};

class TTabSheet : public TWinControl {
  KARO_CLASS(TTabSheet)
public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* v);
  // The position among the page control's pages (-1 without one).
  int PageIndex() const;
  void SetPageIndex(int v);
  // The index of the sheet's tab, -1 when its tab is hidden.
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  WideString Caption() { return Text(); }
  void SetCaption(const WideString& v);

  // Being placed in a page control makes the sheet one of its pages.
  void SetParent(TWinControl* parent) override;

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  void Dispatch(TMessage& Message) override;

protected:
  void CMShowingChangedSheet(TMessage& m);
  void CMTextChangedSheet(TMessage& m);

private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
};

class TPageControl : public TCustomTabControl {
  KARO_CLASS(TPageControl)
public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const { return int(pages_.size()); }
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The next (or previous) page with a visible tab after current, wrapping round.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible);
  void SelectNextPage(bool goForward, bool checkTabVisible = true);

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

protected:
  int TabCount() const override;
  WideString TabText(int index) const override;
  int TabImage(int index) const override;
  bool CanChange() override;
  void Change() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void CreateWnd() override;
  // Ctrl+Tab (with Shift: backwards) turns the pages while the focus is inside.
  void CMDialogKeyPages(TWMKey& m);

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  // The sheet of tab index i, and the tab of a sheet (-1 when its tab is hidden).
  TTabSheet* SheetOfTab(int tab) const;
  int TabOfSheet(const TTabSheet* sheet) const;
  void PlaceSheets();
  void TabsChanged();

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Status bar

KARO_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised);
KARO_ENUM(TStatusPanelStyle, psText, psOwnerDraw);

class TStatusPanel : public TCollectionItem {
  KARO_CLASS(TStatusPanel)
public:
  explicit TStatusPanel(TCollection* collection);
  const WideString& Text() const { return text_; }
  void SetText(const WideString& v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel v);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode v);
  void Assign(TPersistent* source) override;

private:
  WideString text_;
  int width_ = 50;
  TStatusPanelBevel bevel_ = pbLowered;
  TStatusPanelStyle style_ = psText;
  TAlignment alignment_ = taLeftJustify;
  TBiDiMode biDiMode_ = bdLeftToRight;
};

class TCustomStatusBar;

class TStatusPanels : public TControlCollection {
  KARO_CLASS(TStatusPanels)
public:
  explicit TStatusPanels(TCustomStatusBar* bar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
};

using TDrawPanelEvent = std::function<void(TCustomStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TCustomStatusBar : public TWinControl {
  KARO_CLASS(TCustomStatusBar)
public:
  explicit TCustomStatusBar(TComponent* owner);
  ~TCustomStatusBar() override;

  TStatusPanels* Panels() { return panels_.get(); }
  void SetPanels(TStatusPanels* v) { panels_->Assign(v); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  const WideString& SimpleText() const { return simpleText_; }
  void SetSimpleText(const WideString& v);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v);
  TCanvas* Canvas() { return canvas_.get(); }

  TDrawPanelEvent OnDrawPanel;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);
  void CNDrawItem(TWMDrawItem& m);
  void WMSizeBar(TWMSize& m);

private:
  friend class TStatusPanels;
  void UpdatePanels();
  void UpdatePanel(int index);

  std::unique_ptr<TStatusPanels> panels_;
  std::unique_ptr<TControlCanvas> canvas_;
  bool simplePanel_ = false;
  WideString simpleText_;
  bool sizeGrip_ = true;
};

class TStatusBar : public TCustomStatusBar {
  KARO_CLASS(TStatusBar)
public:
  using TCustomStatusBar::TCustomStatusBar;
};

// ---------------------------------------------------------------------------------------------
// Track bar, up-down, progress bar

KARO_ENUM(TTrackBarOrientation, trHorizontal, trVertical);
KARO_ENUM(TTickMark, tmBottomRight, tmTopLeft, tmBoth);
KARO_ENUM(TTickStyle, tsNone, tsAuto, tsManual);

class TTrackBar : public TWinControl {
  KARO_CLASS(TTrackBar)
public:
  explicit TTrackBar(TComponent* owner);

  int Min() const { return min_; }
  void SetMin(int v) { SetRange(v, std::max(v, max_)); }
  int Max() const { return max_; }
  void SetMax(int v) { SetRange(std::min(min_, v), v); }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  void SetPosition(int v);
  TTrackBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TTrackBarOrientation v);
  int Frequency() const { return frequency_; }
  void SetFrequency(int v);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int v);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  TTickMark TickMarks() const { return tickMarks_; }
  void SetTickMarks(TTickMark v);
  TTickStyle TickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle v);
  int SelStart() const { return selStart_; }
  void SetSelStart(int v);
  int SelEnd() const { return selEnd_; }
  void SetSelEnd(int v);
  int ThumbLength() const { return thumbLength_; }
  void SetThumbLength(int v);

  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Changed();
  void CNScroll(TWMScroll& m);

private:
  void UpdateSelection();
  int min_ = 0, max_ = 10, position_ = 0;
  TTrackBarOrientation orientation_ = trHorizontal;
  int frequency_ = 1, lineSize_ = 1, pageSize_ = 2;
  TTickMark tickMarks_ = tmBottomRight;
  TTickStyle tickStyle_ = tsAuto;
  int selStart_ = 0, selEnd_ = 0;
  int thumbLength_ = 20;
};

KARO_ENUM(TUDAlignButton, udLeft, udRight);
KARO_ENUM(TUDOrientation, udHorizontal, udVertical);
// The arrow a click of an up-down was on. (The media player's button types also have the
// names btNext and btPrev, so these two carry the up-down's prefix.)
KARO_ENUM(TUDBtnType, udBtnNext, udBtnPrev);
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TUpDown : public TWinControl {
  KARO_CLASS(TUpDown)
public:
  explicit TUpDown(TComponent* owner);

  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* v);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  // The window's position while it has one (the associate's text may have changed it).
  int Position();
  void SetPosition(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v);
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation v);
  TUDAlignButton AlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton v);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v);
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool v);
  bool Thousands() const { return thousands_; }
  void SetThousands(bool v);

  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* c, TOperation op) override;
  void CNScroll(TWMScroll& m);
  void CNNotify(TWMNotify& m);

private:
  void UpdateBuddy();
  TWinControl* associate_ = nullptr;
  int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
  TUDOrientation orientation_ = udVertical;
  TUDAlignButton alignButton_ = udRight;
  bool wrap_ = false, arrowKeys_ = true, thousands_ = true;
};

KARO_ENUM(TProgressBarOrientation, pbHorizontal, pbVertical);

class TProgressBar : public TWinControl {
  KARO_CLASS(TProgressBar)
public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position();
  void SetPosition(int v);
  int Step() const { return step_; }
  void SetStep(int v);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation v);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool v);
  // Moves the position on by Step (or delta), stopping at Max.
  void StepIt();
  void StepBy(int delta);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
  TProgressBarOrientation orientation_ = pbHorizontal;
  bool smooth_ = false;
};

// ---------------------------------------------------------------------------------------------
// Tool bar

KARO_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider);
// The states of a custom-drawn item, one per CDIS_ bit in bit order.
KARO_ENUM(TCustomDrawStateElement, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
          cdsMarked, cdsIndeterminate);
using TCustomDrawState = TSet<TCustomDrawStateElement>;
TCustomDrawState CustomDrawState(UINT itemState);

class TToolButton : public TGraphicControl {
  KARO_CLASS(TToolButton)
public:
  explicit TToolButton(TComponent* owner);
  ~TToolButton() override;

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  bool Down() const;
  void SetDown(bool v);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool v);
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* v);
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* v);
  WideString Caption() { return Text(); }
  void SetCaption(const WideString& v);
  // The command number the tool bar's window knows the button by.
  int CommandId() const { return commandId_; }
  TToolBar* ToolBar() const { return bar_; }

  void SetParent(TWinControl* parent) override;
  // A click of a button with a menu item clicks the item; a check button toggles first.
  void Click() override;
  void Dispatch(TMessage& Message) override;

protected:
  void Notification(TComponent* c, TOperation op) override;
  // The tool bar's window takes the mouse, so the button lets the clicks through to it.
  void CMHitTestButton(TMessage& m);
  // Caption, visibility or enabled state changed: the bar's window shows it.
  void CMButtonChanged(TMessage& m);

private:
  friend class TToolBar;
  void Changed();
  TToolBar* bar_ = nullptr;
  TToolButtonStyle style_ = tbsButton;
  int imageIndex_ = -1;
  bool down_ = false;
  bool grouped_ = false;
  TMenuItem* menuItem_ = nullptr;
  TPopupMenu* dropdownMenu_ = nullptr;
  int commandId_ = 0;
};

using TTBCustomDrawEvent = std::function<void(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TTBCustomDrawBtnEvent =
    std::function<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

class TToolBar : public TWinControl {
  KARO_CLASS(TToolBar)
public:
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;

  int ButtonCount() const { return int(buttons_.size()); }
  TToolButton* Buttons(int index) const;
  TToolButton* FindButton(int commandId) const;
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  bool List() const { return list_; }
  void SetList(bool v);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int v);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  // A menu shown as a row of buttons, one per top item, each opening its item's submenu.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* v);
  TCanvas* Canvas() { return canvas_.get(); }

  TTBCustomDrawEvent OnCustomDraw;
  TTBCustomDrawBtnEvent OnCustomDrawButton;

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* c, TOperation op) override;
  void CNCommand(TWMCommand& m);
  void CNNotify(TWMNotify& m);
  void WMSizeBar(TWMSize& m);
  // The custom-draw stages: the whole bar (OnCustomDraw) and each button (OnCustomDrawButton).
  LRESULT CustomDraw(NMCUSTOMDRAW& cd);

private:
  friend class TToolButton;
  void InsertButton(TToolButton* b);
  void RemoveButton(TToolButton* b);
  // Writes every button into the window again and takes their rectangles back.
  void RecreateButtons();
  void UpdateButtonBounds();
  void ClearMenuButtons();

  std::vector<TToolButton*> buttons_;
  std::unique_ptr<TControlCanvas> canvas_;
  TCustomImageList* images_ = nullptr;
  TMainMenu* menu_ = nullptr;
  std::vector<TToolButton*> menuButtons_;
  bool flat_ = false, showCaptions_ = false, list_ = false;
  int buttonWidth_ = 23, buttonHeight_ = 22;
  int nextCommand_ = 1;
  bool updating_ = false;
};

// ---------------------------------------------------------------------------------------------
// Header control

KARO_ENUM(THeaderSectionStyle, hsText, hsOwnerDraw);

class THeaderSection : public TCollectionItem {
  KARO_CLASS(THeaderSection)
public:
  explicit THeaderSection(TCollection* collection);
  const WideString& Text() const { return text_; }
  void SetText(const WideString& v);
  int Width() const { return width_; }
  void SetWidth(int v);
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int v);
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  THeaderSectionStyle Style() const { return style_; }
  void SetStyle(THeaderSectionStyle v);
  bool AllowClick() const { return allowClick_; }
  void SetAllowClick(bool v) { allowClick_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  // The left edge: the sum of the widths before it.
  int Left() const;
  int Right() const { return Left() + width_; }
  void Assign(TPersistent* source) override;

private:
  friend class THeaderControl;
  WideString text_;
  int width_ = 50, minWidth_ = 0, maxWidth_ = 10000;
  TAlignment alignment_ = taLeftJustify;
  THeaderSectionStyle style_ = hsText;
  bool allowClick_ = true;
  int imageIndex_ = -1;
};

class THeaderControl;

class THeaderSections : public TControlCollection {
  KARO_CLASS(THeaderSections)
public:
  explicit THeaderSections(THeaderControl* header);
  THeaderSection* Add() { return static_cast<THeaderSection*>(TCollection::Add()); }
  THeaderSection* Items(int index) const { return static_cast<THeaderSection*>(TCollection::Items(index)); }
};

using TSectionNotifyEvent = std::function<void(THeaderControl* HeaderControl, THeaderSection* Section)>;

class THeaderControl : public TWinControl {
  KARO_CLASS(THeaderControl)
public:
  explicit THeaderControl(TComponent* owner);
  ~THeaderControl() override;

  THeaderSections* Sections() { return sections_.get(); }
  void SetSections(THeaderSections* v) { sections_->Assign(v); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool v);

  TSectionNotifyEvent OnSectionClick;
  TSectionNotifyEvent OnSectionResize;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* c, TOperation op) override;
  void CNNotify(TWMNotify& m);

private:
  friend class THeaderSections;
  void UpdateSections();
  std::unique_ptr<THeaderSections> sections_;
  TCustomImageList* images_ = nullptr;
  bool hotTrack_ = false;
};

// ---------------------------------------------------------------------------------------------
// List view

KARO_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport);

class TCustomListView;

class TListColumn : public TCollectionItem {
  KARO_CLASS(TListColumn)
public:
  explicit TListColumn(TCollection* collection);
  const WideString& Caption() const { return caption_; }
  void SetCaption(const WideString& v);
  int Width();
  void SetWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  void Assign(TPersistent* source) override;

private:
  friend class TCustomListView;
  TCustomListView* ListView() const;
  WideString caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TControlCollection {
  KARO_CLASS(TListColumns)
public:
  explicit TListColumns(TCustomListView* view);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const { return static_cast<TListColumn*>(TCollection::Items(index)); }
  TCustomListView* Owner() const;
};

class TListItems;

class TListItem : public TPersistent {
  KARO_CLASS(TListItem)
public:
  explicit TListItem(TListItems* owner);
  ~TListItem() override;
  TListItems* Owner() const { return owner_; }
  int Index() const;
  const WideString& Caption() const { return caption_; }
  void SetCaption(const WideString& v);
  // The texts of the columns after the first.
  TWideStrings* SubItems() { return subItems_.get(); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  bool Selected() const;
  void SetSelected(bool v);
  void* Data = nullptr;
  void Delete();

private:
  friend class TListItems;
  friend class TCustomListView;
  void Update();
  TListItems* owner_;
  WideString caption_;
  std::unique_ptr<TWideStringList> subItems_;
  int imageIndex_ = -1;
  bool selected_ = false;
};

class TListItems : public TPersistent {
  KARO_CLASS(TListItems)
public:
  explicit TListItems(TCustomListView* view) : view_(view) {}
  ~TListItems() override;
  TCustomListView* Owner() const { return view_; }
  int Count() const { return int(items_.size()); }
  // Raises EListError for a bad index.
  TListItem* Item(int index) const;
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  void BeginUpdate();
  void EndUpdate();

private:
  friend class TListItem;
  friend class TCustomListView;
  std::vector<std::unique_ptr<TListItem>> items_;
  TCustomListView* view_;
};

using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;

class TCustomListView : public TWinControl {
  KARO_CLASS(TCustomListView)
public:
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  TListColumns* Columns() { return columns_.get(); }
  void SetColumns(TListColumns* v) { columns_->Assign(v); }
  TListItems* Items() { return items_.get(); }
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* v);
  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* v);
  // The first selected item, or null.
  TListItem* Selected();
  void SetSelected(TListItem* item);
  int SelCount();

  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* c, TOperation op) override;
  void CNNotify(TWMNotify& m);

private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumn;
  friend class TListColumns;
  void UpdateColumns();
  void WriteItem(int index, bool insert);
  void WriteAllItems();
  void ApplyExtendedStyle();

  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle viewStyle_ = vsIcon;
  bool readOnly_ = false, rowSelect_ = false, gridLines_ = false, multiSelect_ = false, hideSelection_ = true;
  TFormBorderStyle borderStyle_ = bsSingle;
  TCustomImageList* largeImages_ = nullptr;
  TCustomImageList* smallImages_ = nullptr;
  int updateCount_ = 0;
  bool silent_ = false;  // notifications of the control's own window work are not events
};

class TListView : public TCustomListView {
  KARO_CLASS(TListView)
public:
  using TCustomListView::TCustomListView;
};

// ---------------------------------------------------------------------------------------------
// Tree view

class TCustomTreeView;
class TTreeNodes;

class TTreeNode : public TPersistent {
  KARO_CLASS(TTreeNode)
public:
  TTreeNode(TTreeNodes* owner, TTreeNode* parent);
  ~TTreeNode() override;
  TTreeNodes* Owner() const { return owner_; }
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return int(children_.size()); }
  TTreeNode* Item(int index) const;
  int Index() const;
  int Level() const;
  const WideString& Text() const { return text_; }
  void SetText(const WideString& v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  bool Expanded() const;
  void SetExpanded(bool v);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool v);
  HTREEITEM ItemId() const { return item_; }
  void* Data = nullptr;
  void Delete();

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void WriteToWindow(HTREEITEM after);
  TTreeNodes* owner_;
  TTreeNode* parent_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  WideString text_;
  int imageIndex_ = -1;
  bool expanded_ = false;
  HTREEITEM item_ = nullptr;
};

class TTreeNodes : public TPersistent {
  KARO_CLASS(TTreeNodes)
public:
  explicit TTreeNodes(TCustomTreeView* view) : view_(view) {}
  ~TTreeNodes() override;
  TCustomTreeView* Owner() const { return view_; }
  // Every node, depth first.
  int Count() const;
  TTreeNode* Item(int index) const;
  int RootCount() const { return int(roots_.size()); }
  TTreeNode* Root(int index) const;
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front().get(); }
  // A node at the end of parent's children (the top level for null).
  TTreeNode* AddChild(TTreeNode* parent, const WideString& text);
  // A node at the end of sibling's level (the top level for null).
  TTreeNode* Add(TTreeNode* sibling, const WideString& text);
  void Delete(TTreeNode* node);
  void Clear();
  TTreeNode* FindNode(HTREEITEM item) const;

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  std::vector<std::unique_ptr<TTreeNode>>& ListOf(TTreeNode* parent) { return parent ? parent->children_ : roots_; }
  std::vector<std::unique_ptr<TTreeNode>> roots_;
  TCustomTreeView* view_;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TCustomTreeView : public TWinControl {
  KARO_CLASS(TCustomTreeView)
public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() { return items_.get(); }
  TTreeNode* Selected();
  void SetSelected(TTreeNode* node);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool v);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandedEvent OnExpanded;
  TTVExpandedEvent OnCollapsed;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* c, TOperation op) override;
  void CNNotify(TWMNotify& m);

private:
  friend class TTreeNode;
  friend class TTreeNodes;
  std::unique_ptr<TTreeNodes> items_;
  bool showButtons_ = true, showLines_ = true, showRoot_ = true, readOnly_ = false, hideSelection_ = true;
  TFormBorderStyle borderStyle_ = bsSingle;
  TCustomImageList* images_ = nullptr;
  TTreeNode* selected_ = nullptr;  // kept while there is no window
  bool silent_ = false;  // notifications of the control's own window work are not events
};

class TTreeView : public TCustomTreeView {
  KARO_CLASS(TTreeView)
public:
  using TCustomTreeView::TCustomTreeView;
};

// ---------------------------------------------------------------------------------------------
// Date-time picker

KARO_ENUM(TDateTimeKind, dtkDate, dtkTime);
KARO_ENUM(TDTDateMode, dmComboBox, dmUpDown);
KARO_ENUM(TDTDateFormat, dfShort, dfLong);

// Conversions between TDateTime and the system's calendar time (milliseconds kept).
SYSTEMTIME DateTimeToSystemTime(TDateTime value);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);

class TDateTimePicker : public TWinControl {
  KARO_CLASS(TDateTimePicker)
public:
  explicit TDateTimePicker(TComponent* owner);

  TDateTime DateTime();
  void SetDateTime(TDateTime v);
  // The whole days, and the fraction of a day.
  TDateTime Date();
  void SetDate(TDateTime v);
  TDateTime Time();
  void SetTime(TDateTime v);
  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind v);
  TDTDateMode DateMode() const { return dateMode_; }
  void SetDateMode(TDTDateMode v);
  TDTDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TDTDateFormat v);
  bool ShowCheckbox() const { return showCheckbox_; }
  void SetShowCheckbox(bool v);
  bool Checked();
  void SetChecked(bool v);

  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNNotify(TWMNotify& m);

private:
  void WriteToWindow();
  TDateTime value_ = 0;
  TDateTimeKind kind_ = dtkDate;
  TDTDateMode dateMode_ = dmComboBox;
  TDTDateFormat dateFormat_ = dfShort;
  bool showCheckbox_ = false;
  bool checked_ = true;
};

// ---------------------------------------------------------------------------------------------
// Rich edit

class TCustomRichEdit;

// The lines of a rich edit. Through this class a stream is read and written as rich text
// unless the control's PlainText is set.
class TRichEditStrings : public TMemoStrings {
  KARO_CLASS(TRichEditStrings)
public:
  explicit TRichEditStrings(TCustomRichEdit* edit);
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  void LoadFromFile(const WideString& fileName);
  void SaveToFile(const WideString& fileName) const;

private:
  TCustomRichEdit* edit_;
};

class TCustomRichEdit : public TCustomMemo {
  KARO_CLASS(TCustomRichEdit)
public:
  explicit TCustomRichEdit(TComponent* owner);
  ~TCustomRichEdit() override;

  TRichEditStrings* Lines() { return richLines_.get(); }
  void SetLines(TWideStrings* lines) { richLines_->Assign(lines); }
  // Streams of Lines are plain text, not rich text.
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool v) { plainText_ = v; }
  bool HideScrollBars() const { return hideScrollBars_; }
  void SetHideScrollBars(bool v);

  // The contents as rich text, and replaced by rich text (or by plain text when the bytes are
  // no rich text); the window is made when it does not exist yet.
  std::string RichText();
  void SetRichText(const std::string& rtf);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  friend class TRichEditStrings;
  std::unique_ptr<TRichEditStrings> richLines_;
  bool plainText_ = false;
  bool hideScrollBars_ = true;
  std::string pendingRtf_;  // the contents kept across a re-created window
  bool hasPendingRtf_ = false;
};

class TRichEdit : public TCustomRichEdit {
  KARO_CLASS(TRichEdit)
public:
  using TCustomRichEdit::TCustomRichEdit;
};
