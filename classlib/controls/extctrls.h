// Containers and pictures: TPanel (bevels, border, caption), TRadioGroup (a group box whose
// radio buttons are made from its items), TScrollBox (a box that scrolls its children), TImage
// with its TPicture, and the geometry they paint by. Windows only.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "classlib/controls/stdctrls.h"
#include "classlib/graphics/bitmap.h"

KARO_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace);

// The colours of a bevel's top-left and bottom-right edges.
void BevelColors(TBevelCut cut, TColor face, TColor& topLeft, TColor& bottomRight);
// Draws a frame of width lines inside rect and moves rect inside it.
void Frame3D(HDC dc, TRect& rect, TColor topLeft, TColor bottomRight, int width);

// Where a picture of the given size is drawn in a client rectangle: at the top-left, centred,
// stretched over it, or, with proportional, scaled down (never up) to fit, keeping its shape.
TRect PictureRect(const TRect& client, int pictureWidth, int pictureHeight, bool stretch, bool center,
                  bool proportional);

// A picture: for now a bitmap. In form files it stands as the binary property "Data" (the
// graphic's class name as a short string, then the graphic's own bytes).
class TPicture : public TPersistent {
  KARO_CLASS(TPicture)
public:
  TPicture();
  ~TPicture() override;
  TBitmap* Bitmap() { return bitmap_.get(); }
  void SetBitmap(TBitmap* v);
  TGraphic* Graphic() { return bitmap_->Empty() ? nullptr : bitmap_.get(); }
  int Width() const { return bitmap_->Width(); }
  int Height() const { return bitmap_->Height(); }
  void LoadFromFile(const std::string& fileName);
  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;

  TNotifyEvent OnChange;

private:
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  std::unique_ptr<TBitmap> bitmap_;
};

// --- Panels ---

class TCustomPanel : public TCustomControl {
  KARO_CLASS(TCustomPanel)
public:
  explicit TCustomPanel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  // The panel shows its parent's picture behind its caption instead of filling with Color.
  bool ParentBackground() const { return (ControlStyle() & csParentBackground) != 0; }
  void SetParentBackground(bool v);
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool v) { fullRepaint_ = v; }
  bool Locked() const { return locked_; }
  void SetLocked(bool v) { locked_ = v; }
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  TRect AlignRect() override;
  void Paint() override;
  // Paints the parent's client area, as it lies behind the panel, into dc.
  void DrawParentBackground(HDC dc);
  void WMEraseBkgnd(TWMEraseBkgnd& m);
  void CMTextChanged(TMessage& m);

private:
  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  bool fullRepaint_ = true;
  bool locked_ = false;
};

class TPanel : public TCustomPanel {
  KARO_CLASS(TPanel)
public:
  using TCustomPanel::TCustomPanel;
};

// --- Radio groups ---

class TCustomRadioGroup;

// A radio button of a radio group: made, placed and freed by the group, never written to a form.
class TGroupButton : public TRadioButton {
  KARO_CLASS(TGroupButton)
public:
  explicit TGroupButton(TCustomRadioGroup* group);
};

class TCustomRadioGroup : public TCustomGroupBox {
  KARO_CLASS(TCustomRadioGroup)
public:
  explicit TCustomRadioGroup(TComponent* owner);
  ~TCustomRadioGroup() override;
  TWideStrings* Items() { return items_.get(); }
  void SetItems(TWideStrings* v) { items_->Assign(v); }
  int ItemIndex() const { return itemIndex_; }
  // Checks the button of that item (-1: none); OnClick follows as for a click.
  void SetItemIndex(int v);
  int Columns() const { return columns_; }
  void SetColumns(int v);
  int ButtonCount() const { return int(buttons_.size()); }
  TRadioButton* Buttons(int index) const { return buttons_.at(size_t(index)); }
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

protected:
  void Resize() override;
  void CMEnabledChanged(TMessage& m);
  void CMFontChanged(TMessage& m);

private:
  friend class TGroupButton;
  void ButtonClick(TObject* sender);
  void UpdateButtons();
  void ArrangeButtons();
  std::unique_ptr<TWideStringList> items_;
  std::vector<TGroupButton*> buttons_;
  int itemIndex_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
  KARO_CLASS(TRadioGroup)
public:
  using TCustomRadioGroup::TCustomRadioGroup;
};

// --- Scroll boxes ---

class TScrollBox : public TWinControl {
  KARO_CLASS(TScrollBox)
public:
  explicit TScrollBox(TComponent* owner);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool v);
  // How far the children are scrolled, and how far they reach (the scroll ranges).
  int HorzPosition() const { return pos_.X; }
  int VertPosition() const { return pos_.Y; }
  void SetHorzPosition(int v) { ScrollTo(v, pos_.Y); }
  void SetVertPosition(int v) { ScrollTo(pos_.X, v); }
  int HorzRange() const { return range_.X; }
  int VertRange() const { return range_.Y; }
  void ScrollTo(int x, int y);
  // Makes the control visible inside the box.
  void ScrollInView(TControl* control);
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void UpdateScrollBars();
  void WMScroll(TWMScroll& m);
  void WMMouseWheel(TMessage& m);

private:
  TBorderStyle borderStyle_ = bsSingle;
  bool autoScroll_ = true;
  bool updating_ = false;
  TPoint pos_{};
  TPoint range_{};
};

// --- Images ---

class TImage : public TGraphicControl {
  KARO_CLASS(TImage)
public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TPicture* Picture() { return picture_.get(); }
  void SetPicture(TPicture* v) { picture_->Assign(v); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool v);
  // The bitmap's bottom-left colour shows what lies behind.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  // The rectangle the picture is drawn in.
  TRect DestRect();

protected:
  void Paint() override;

private:
  void PictureChanged(TObject*);
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false, center_ = false, proportional_ = false, transparent_ = false, autoSize_ = false;
};
