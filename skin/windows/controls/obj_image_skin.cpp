#include "skin/windows/controls/obj_image_skin.h"

#include <string>

#include "classlib/core/typinfo.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinObjImage, TSkinControl)

// ---- Deciding

const std::vector<int>& ObjImageSlots(int Kind) {
  static const std::vector<int> check{1, 2, 5, 1, 2, 5, 3, 4, 5}, radio{1, 2, 1, 2, 3, 4}, cx{1, 2, 5, 1, 2, 5},
      none;
  switch (Kind) {
    case oiCheck: return check;
    case oiRadio: return radio;
    case oiPropertiesCheck: return cx;
    default: return none;
  }
}

bool ObjImageSlotFilled(int Frame, int Frames) {
  if (Frame == 5) return Frames == 5;
  return Frame >= 1 && Frame <= Frames;
}

bool BuildObjImageStrip(TBitmap* Skin, int Frames, int Kind, TBitmap& Out) {
  const std::vector<int>& slots = ObjImageSlots(Kind);
  if (!Skin || Skin->Empty() || Frames < 1 || slots.empty()) return false;
  const int fw = Skin->Width() / Frames, h = Skin->Height();
  if (fw < 1) return false;
  Out.SetPixelFormat(pf24bit);
  Out.SetSize(fw * int(slots.size()), h);
  HDC dc = Out.Canvas()->Handle();
  // A new bitmap is black, which the control would show: what no frame fills is see-through.
  HBRUSH key = CreateSolidBrush(COLORREF(kSkinKeyColor));
  const RECT all{0, 0, Out.Width(), h};
  FillRect(dc, &all, key);
  DeleteObject(key);
  HDC src = Skin->Canvas()->Handle();
  for (size_t i = 0; i < slots.size(); ++i)
    if (ObjImageSlotFilled(slots[i], Frames))
      BitBlt(dc, int(i) * fw, 0, fw, h, src, (slots[i] - 1) * fw, 0, SRCCOPY);
  GdiFlush();
  return true;
}

// ---- The skin

TSkinObjImage::TSkinObjImage(TComponent* AOwner, int Kind) : TSkinControl(AOwner), FKind(Kind) {}

void TSkinObjImage::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  (void)SetColor;
  if (FInitialized) return;
  auto* control = dyn<TControl>(Owner());
  if (!control) return;
  TakeControl(control, SkinData, Canvas, Form);
  ChangeImage();
  FInitialized = true;
  FState = kSkinAttached;
}

void TSkinObjImage::ChangeImage() {
  switch (FKind) {
    case oiCheck: SetRzImage(); break;
    case oiRadio: SetRzRadio(); break;
    case oiPropertiesCheck: SetDevCheck(); break;
    default: break;
  }
}

void TSkinObjImage::SkinChange() { ChangeImage(); }

void TSkinObjImage::SetCustomGlyphs(TBitmap* Skin, int Frames) {
  TBitmap strip;
  if (!BuildObjImageStrip(Skin, Frames, FKind, strip)) return;
  auto* glyphs = dyn<TBitmap>(GetObjProp(FControl, "CustomGlyphs", TBitmap::StaticClass()));
  if (!glyphs) return;
  glyphs->Assign(&strip);
  SetProperty(FControl, "transparentcolor", std::to_string(kSkinKeyColor));
  // Off and on again, so that the control notices the new glyphs.
  SetProperty(FControl, "UseCustomGlyphs", "false");
  SetProperty(FControl, "UseCustomGlyphs", "true");
}

void TSkinObjImage::SetRzImage() {
  if (!FSkinData || !FSkinData->Buttons) return;
  SetCustomGlyphs(FSkinData->Buttons->CheckMap.get(), FSkinData->Buttons->CheckButtonFrame);
}

void TSkinObjImage::SetRzRadio() {
  if (!FSkinData || !FSkinData->Buttons) return;
  SetCustomGlyphs(FSkinData->Buttons->RadioMap.get(), FSkinData->Buttons->RadioButtonFrame);
}

void TSkinObjImage::SetDevCheck() {
  if (!FSkinData || !FSkinData->Buttons) return;
  TBitmap strip;
  if (!BuildObjImageStrip(FSkinData->Buttons->CheckMap.get(), FSkinData->Buttons->CheckButtonFrame, FKind, strip))
    return;
  TObject* properties = GetObjProp(FControl, "Properties", TObject::StaticClass());
  auto* glyph = dyn<TBitmap>(GetObjProp(properties, "Glyph", TBitmap::StaticClass()));
  if (!glyph) return;
  glyph->Assign(&strip);
  glyph->SetTransparentColor(kSkinKeyColor);
  glyph->SetTransparent(false);
}

void TSkinObjImage::Unsubclass() {
  TSkinControl::Unsubclass();
  if (FKind == oiCheck || FKind == oiRadio) {
    SetProperty(FControl, "UseCustomGlyphs", "false");
  } else if (FKind == oiPropertiesCheck) {
    TObject* properties = GetObjProp(FControl, "Properties", TObject::StaticClass());
    if (auto* glyph = dyn<TBitmap>(GetObjProp(properties, "Glyph", TBitmap::StaticClass()))) {
      TBitmap empty;
      glyph->Assign(&empty);
    }
  }
}
