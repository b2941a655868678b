// Menus over real menu handles: TMenuItem (caption, shortcut, check, enabling, default, image,
// owner drawing, click), TMenu with its item tree and look-ups by command, handle and shortcut,
// TMainMenu (a form's menu bar) and TPopupMenu; shortcut texts. Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "classlib/controls/controls.h"
#include "classlib/core/persistent.h"

class TMenu;
class TCustomImageList;

// A key and its shift keys in one word: the virtual key in the low byte.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F5", "Alt+F4"; "" for none.
WideString ShortCutToText(TShortCut shortCut);
// The reverse, without regard to letter case ("ALT+F4"); 0 for a text that names no key.
TShortCut TextToShortCut(const WideString& text);
// The caption without its "&" marks ("&&" stands for one "&").
WideString StripHotkey(const WideString& caption);
// The character after a single "&" of the caption (upper case), or 0.
wchar_t GetHotkey(const WideString& caption);
// Whether ch (any case) is the caption's accelerator.
bool IsAccel(wchar_t ch, const WideString& caption);

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };
KARO_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak);
KARO_ENUM(TPopupAlignment, paLeft, paRight, paCenter);
KARO_ENUM(TTrackButton, tbRightButton, tbLeftButton);

using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

class TMenuItem : public TComponent {
  KARO_CLASS(TMenuItem)
public:
  explicit TMenuItem(TComponent* owner);
  // Leaves its parent item, frees its sub-items and gives back its command and menu handle.
  ~TMenuItem() override;

  // --- The tree ---
  int Count() const { return int(items_.size()); }
  // Raises EMenuError ("Menu index out of range") for a bad index.
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  void SetMenuIndex(int index);
  // Raises EMenuError ("Menu inserted twice") for an item that has a parent already.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out (it is not freed).
  void Remove(TMenuItem* item);
  void Delete(int index);
  // Frees every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  // The sub-item whose caption without "&" marks is caption (compared without case), or null.
  TMenuItem* Find(const WideString& caption) const;
  // The menu the item belongs to (through its parents), or null.
  TMenu* GetParentMenu() const;

  // --- What the item shows ---
  const WideString& Caption() const { return caption_; }
  void SetCaption(const WideString& caption);
  bool IsLine() const { return caption_ == L"-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool v) { autoCheck_ = v; }
  uint8_t GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(uint8_t v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v);
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak v);
  const WideString& Hint() const { return hint_; }
  void SetHint(const WideString& v) { hint_ = v; }
  // The images of the item's parent menu.
  TCustomImageList* GetImageList() const;

  // The identifier the item's WM_COMMAND carries; unique in the process while the item lives.
  WORD Command() const { return command_; }
  // The menu of the sub-items (made on first use).
  HMENU Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }

  // OnClick; an AutoCheck item changes its check first.
  virtual void Click();
  // The size of the owner-drawn item: a default from its caption, shortcut and image, then
  // OnMeasureItem when assigned.
  void MeasureItem(TCanvas* canvas, int& width, int& height);
  // OnDrawItem when assigned, else the default look (text, check mark, image, shortcut).
  void DrawItem(TCanvas* canvas, const TRect& rect, bool selected);

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

private:
  friend class TMenu;
  // The item's place in its parent's menu changed (rebuild) or its look (redraw).
  void MenuChanged(bool rebuild);
  void RebuildHandle();
  // Every menu handle of the item and its sub-items, built again (a change of the whole menu).
  void RebuildTree();
  void AppendTo(HMENU menu, bool rightToLeft);
  void TurnSiblingsOff();
  void DrawDefault(TCanvas* canvas, const TRect& rect, bool selected);

  TMenu* menu_ = nullptr;  // set on a menu's root item
  TMenuItem* parent_ = nullptr;
  std::vector<TMenuItem*> items_;
  HMENU handle_ = nullptr;
  WORD command_ = 0;
  WideString caption_;
  WideString hint_;
  bool checked_ = false;
  bool enabled_ = true;
  bool default_ = false;
  bool visible_ = true;
  bool radioItem_ = false;
  bool autoCheck_ = false;
  uint8_t groupIndex_ = 0;
  int imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  TMenuBreak break_ = mbNone;
};

KARO_EXCEPTION(EMenuError, Exception);

class TMenu : public TComponent {
  KARO_CLASS(TMenu)
public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item, whose sub-items are the menu's items.
  TMenuItem* Items() const { return items_; }
  HMENU Handle() { return items_->Handle(); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode v);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool v) { parentBiDiMode_ = v; }
  bool IsRightToLeft() const { return biDiMode_ != bdLeftToRight; }

  // The item of that command, sub-menu handle or shortcut, at any depth; null when none.
  TMenuItem* FindItem(UINT_PTR value, TFindItemKind kind) const;
  // Clicks the item of the command; false when the menu has none.
  bool DispatchCommand(WORD command);
  // A sub-menu is about to open: its item's OnClick; false when the menu has none.
  bool DispatchPopup(HMENU subMenu);
  // Clicks the enabled item whose shortcut the key is; true when there was one.
  bool IsShortCut(TWMKey& message);
  // The window the menu is attached to (a main menu's form), or 0.
  HWND WindowHandle() const { return windowHandle_; }
  void SetWindowHandle(HWND wnd) { windowHandle_ = wnd; }

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;

  // The menu's items changed; source is the item, or null when all may have.
  TNotifyEvent OnChange;
  virtual void MenuChanged(TMenuItem* source, bool rebuild);

  // Every menu that exists, for look-ups by command and handle across menus.
  static const std::vector<TMenu*>& AllMenus();

protected:
  void Notification(TComponent* c, TOperation op) override;
  // The kind of menu handle the root item makes: a bar or a popup menu.
  virtual bool IsPopup() const { return true; }

private:
  friend class TMenuItem;
  TMenuItem* items_;
  TCustomImageList* images_ = nullptr;
  HWND windowHandle_ = nullptr;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool ownerDraw_ = false;
  bool parentBiDiMode_ = true;
};

// The menu bar of a form. A change of its items tells the form's window (CM_MENUCHANGED,
// sent), which attaches the rebuilt menu again.
class TMainMenu : public TMenu {
  KARO_CLASS(TMainMenu)
public:
  explicit TMainMenu(TComponent* owner);
  void MenuChanged(TMenuItem* source, bool rebuild) override;

protected:
  bool IsPopup() const override { return false; }
};

class TPopupMenu : public TMenu {
  KARO_CLASS(TPopupMenu)
public:
  explicit TPopupMenu(TComponent* owner);

  // OnPopup, then the menu at the screen point until the user chooses or dismisses it; the
  // chosen item is clicked. Goes through the modal seam (classlib/controls/forms.h).
  virtual void Popup(int x, int y);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment v) { alignment_ = v; }
  TTrackButton TrackButton() const { return trackButton_; }
  void SetTrackButton(TTrackButton v) { trackButton_ = v; }
  // The control whose context menu it was last shown as.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* c) { popupComponent_ = c; }
  TPoint PopupPoint() const { return popupPoint_; }

  TNotifyEvent OnPopup;

private:
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  TTrackButton trackButton_ = tbRightButton;
  TComponent* popupComponent_ = nullptr;
  TPoint popupPoint_{};
};

// The window that owns the popup menus while they are open: it receives their WM_COMMAND,
// WM_INITMENUPOPUP and owner-draw messages (made on first use).
HWND PopupListWindow();
