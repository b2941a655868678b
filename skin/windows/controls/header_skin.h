// Headers: TSkinHeader paints a header control (a class-library one, or the header window of a
// list view) wholly from the skin's "Headerbar" strip: each item with its caption and image, the
// empty area after the last one, and the item under the mouse lit; with the pure decisions.
#pragma once

#include <vector>

#include "skin/windows/controls/control_skin.h"

// The item whose hover rectangle holds P (the first, in item order), else Hot unchanged: the
// strips either side of a divider keep the item lit before.
int HeaderHotItem(const std::vector<TRect>& Hover, TPoint P, int Hot);
// An item's hover rectangle: its rectangle less 3 pixels on the left and on the right.
TRect HeaderHoverRect(const TRect& Item);
// The caption alignment of an item's format: 2 right (HDF_RIGHT), 1 centred (HDF_CENTER), else 0.
int HeaderAlignment(int Format);
// The image shown with an item: its image index when the format asks for an image (HDF_IMAGE) or
// the item is owner-drawn, else -1.
int HeaderImageIndex(int Format, int Image);

class TSkinHeader : public TSkinControl {
  KARO_CLASS(TSkinHeader)
public:
  explicit TSkinHeader(TComponent* AOwner);

  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  bool BeforeProc(TMessage& Message) override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  // Item I into DC (the work bitmap) at R: its "Headerbar" frame with caption and image.
  void DrawItem(HIMAGELIST Images, HDC DC, int I, const TRect& R);
  // A caption with an image of the list before it, aligned in R (0 left, 1 centred, 2 right).
  void DrawImgCaption(HDC DC, const TRect& R, HIMAGELIST Images, int ImageIndex, const WideString& Text,
                      int Alignment);

  // The hover rectangles of the last paint, one per item then.
  std::vector<TRect> FHoverRects;
  int FHotItem = -1;

private:
  bool HasPicture() const;

  bool BeforePaint(TWMPaint& m);
  bool BeforeEraseBkgnd(TWMEraseBkgnd& m);
  void AfterMouseMove(TWMMouse& m);
  void AfterMouseLeft(TWMNoParams& m);
};
