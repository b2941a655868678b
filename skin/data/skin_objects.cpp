#include "skin/data/skin_objects.h"

KARO_CLASS_INFO(TDataSkinObject, TObject)
KARO_CLASS_INFO(TDataSkinBorder, TDataSkinObject)
KARO_CLASS_INFO(TDataSkinButton, TDataSkinObject)
KARO_CLASS_INFO(TDataSkinTitle, TDataSkinObject)
KARO_CLASS_INFO(TDataSkinSysButton, TDataSkinObject)
KARO_CLASS_INFO(TDataSkinBoxLabel, TDataSkinObject)

TDataSkinObject::TDataSkinObject(const AnsiString& name) : Map(std::make_unique<TBitmap>()), Name(name) {}

TDataSkinBorder::TDataSkinBorder(const AnsiString& name) : TDataSkinObject(name), Map2(std::make_unique<TBitmap>()) {}

TDataSkinButton::TDataSkinButton(const AnsiString& name)
    : TDataSkinObject(name), CheckMap(std::make_unique<TBitmap>()), RadioMap(std::make_unique<TBitmap>()) {}
