// The look of Karo's skins: each skin's palette, and the painter that draws every picture a skin
// names together with the metrics its INI text states about them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "skins/gen/raster.h"

struct Palette {
  std::string name;  // the skin's name as Karo's store lists it: "Yellow", "Azure", "Blue", "Gray"
  // Window frame, active and inactive.
  Color captionTop, captionBottom, captionTopInactive, captionBottomInactive;
  Color frameBody, frameBodyInactive, frameOutline, frameOutlineInactive;
  Color titleText, titleTextInactive;
  float plateOpacity;  // strength of the light plate behind the caption text
  Color closeHot;      // the close button under the mouse
  // Surfaces and text.
  Color face, faceLight, shadow, dkShadow, border;
  Color accent, accentText;  // selection and focus
  Color text;
  Color menuBg, menuText, menuBarTop, menuBarBottom, menuBarText, menuHotFrame;
  Color thumb;  // scroll thumb body
  // Shape.
  int cornerRadius;  // rounded top corners of the window frame
  int titleHeight;   // rows of the title bar, top outline included
};

const std::vector<Palette>& SkinPalettes();  // in the order of Karo's skin store

struct SkinArt {
  std::map<std::string, Bitmap> images;       // archive entry name -> picture
  std::map<std::string, std::string> values;  // placeholder of the INI template -> text
};

SkinArt DrawSkin(const Palette& p);

// Fills the placeholders "${Name}" of the template; throws on a placeholder that has no value.
std::string FillTemplate(const std::string& text, const std::map<std::string, std::string>& values);

// The image file names that a skin INI text names: the values that end in ".bmp", in order, once each.
std::vector<std::string> NamedImages(const std::string& iniText);
