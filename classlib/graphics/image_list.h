// Image lists over comctl32: TCustomImageList with its images of one size, drawn enabled or
// greyed out as disabled, and TImageList. Windows only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "classlib/graphics/bitmap.h"

class TCustomImageList : public TComponent {
  KARO_CLASS(TCustomImageList)
public:
  explicit TCustomImageList(TComponent* owner);
  TCustomImageList(TComponent* owner, int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  // A new size empties the list.
  void SetSize(int width, int height);
  int Count() const;

  // The list, made on first use; owned.
  HIMAGELIST Handle();
  bool HandleAllocated() const { return bool(handle_); }

  // Each adds as many images as the bitmap is wide and returns the index of the first, or -1.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  void Delete(int index);
  void Clear();
  // The image at index drawn into a bitmap of the list's size on white.
  void GetBitmap(int index, TBitmap* image);

  // Draws image index with its transparent parts left alone; a disabled image is drawn as its
  // shape embossed in clBtnHighlight and clBtnShadow.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);

  TNotifyEvent OnChange;

private:
  void Changed();
  int width_ = 16;
  int height_ = 16;
  TImageListHandle handle_;
};

class TImageList : public TCustomImageList {
  KARO_CLASS(TImageList)
public:
  using TCustomImageList::TCustomImageList;
};
