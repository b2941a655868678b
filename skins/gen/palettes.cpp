// The four palettes of Karo's skins. Each is built around one hue; the surfaces stay light so that
// the platform's own black text and white edit fields sit well on them.
#include "skins/gen/skin_art.h"

namespace {

Palette Yellow() {
  Palette p;
  p.name = "Yellow";
  p.captionTop = Hex(0xFCE49A);
  p.captionBottom = Hex(0xE9B23A);
  p.captionTopInactive = Hex(0xF7EFD6);
  p.captionBottomInactive = Hex(0xE4D4A6);
  p.frameBody = Hex(0xE5AE3C);
  p.frameBodyInactive = Hex(0xDDCC9C);
  p.frameOutline = Hex(0x8F6A12);
  p.frameOutlineInactive = Hex(0xA8966A);
  p.titleText = Hex(0x3A2800);
  p.titleTextInactive = Hex(0x5E4E26);
  p.plateOpacity = 0.30f;
  p.closeHot = Hex(0xD9483B);
  p.face = Hex(0xFAF3DF);
  p.faceLight = Hex(0xFFFDF6);
  p.shadow = Hex(0x9C8552);
  p.dkShadow = Hex(0x5A4A20);
  p.border = Hex(0xC49A3E);
  p.accent = Hex(0xEBA52A);
  p.accentText = Hex(0x2E2000);
  p.text = Hex(0x2E2410);
  p.menuBg = Hex(0xFFFBEF);
  p.menuText = Hex(0x2E2410);
  p.menuBarTop = Hex(0xFFF6DC);
  p.menuBarBottom = Hex(0xF6E4B2);
  p.menuBarText = Hex(0x3A2800);
  p.menuHotFrame = Hex(0x9A6508);
  p.thumb = Hex(0xEDC76A);
  p.cornerRadius = 8;
  p.titleHeight = 26;
  return p;
}

Palette Azure() {
  Palette p;
  p.name = "Azure";
  p.captionTop = Hex(0xE6F5FD);
  p.captionBottom = Hex(0x9ED3F1);
  p.captionTopInactive = Hex(0xF2F7FA);
  p.captionBottomInactive = Hex(0xD2E2EB);
  p.frameBody = Hex(0xA6D6F2);
  p.frameBodyInactive = Hex(0xD4E3EC);
  p.frameOutline = Hex(0x4F8DB5);
  p.frameOutlineInactive = Hex(0x93AEBF);
  p.titleText = Hex(0x0B3550);
  p.titleTextInactive = Hex(0x3E5566);
  p.plateOpacity = 0.40f;
  p.closeHot = Hex(0xE0524A);
  p.face = Hex(0xEFF6FB);
  p.faceLight = Hex(0xFFFFFF);
  p.shadow = Hex(0x7893A7);
  p.dkShadow = Hex(0x3A5466);
  p.border = Hex(0x86B6D6);
  p.accent = Hex(0x1D6AA3);
  p.accentText = Hex(0xFFFFFF);
  p.text = Hex(0x10283A);
  p.menuBg = Hex(0xF8FBFE);
  p.menuText = Hex(0x10283A);
  p.menuBarTop = Hex(0xF5FAFE);
  p.menuBarBottom = Hex(0xDCEEF9);
  p.menuBarText = Hex(0x0B3550);
  p.menuHotFrame = Hex(0x2F86C3);
  p.thumb = Hex(0xA9D5EF);
  p.cornerRadius = 7;
  p.titleHeight = 25;
  return p;
}

Palette Blue() {
  Palette p;
  p.name = "Blue";
  p.captionTop = Hex(0x3E6DB6);
  p.captionBottom = Hex(0x173A7A);
  p.captionTopInactive = Hex(0x516486);
  p.captionBottomInactive = Hex(0x3E4F72);
  p.frameBody = Hex(0x21488C);
  p.frameBodyInactive = Hex(0x52648A);
  p.frameOutline = Hex(0x0B1C40);
  p.frameOutlineInactive = Hex(0x39455E);
  p.titleText = Hex(0xFFFFFF);
  p.titleTextInactive = Hex(0xF0F3F8);
  p.plateOpacity = 0.12f;
  p.closeHot = Hex(0xD64541);
  p.face = Hex(0xE1E8F2);
  p.faceLight = Hex(0xF7F9FD);
  p.shadow = Hex(0x6A7A95);
  p.dkShadow = Hex(0x2A3954);
  p.border = Hex(0x6E8CBA);
  p.accent = Hex(0x1F4F9E);
  p.accentText = Hex(0xFFFFFF);
  p.text = Hex(0x0F1B2E);
  p.menuBg = Hex(0xF5F8FC);
  p.menuText = Hex(0x0F1B2E);
  p.menuBarTop = Hex(0xEEF3FA);
  p.menuBarBottom = Hex(0xD3DEEF);
  p.menuBarText = Hex(0x0F1B2E);
  p.menuHotFrame = Hex(0x2A5CAA);
  p.thumb = Hex(0x8FA9D2);
  p.cornerRadius = 6;
  p.titleHeight = 24;
  return p;
}

Palette Gray() {
  Palette p;
  p.name = "Gray";
  p.captionTop = Hex(0x6C6F75);
  p.captionBottom = Hex(0x46494F);
  p.captionTopInactive = Hex(0xD2D3D5);
  p.captionBottomInactive = Hex(0xB3B5B8);
  p.frameBody = Hex(0x55585E);
  p.frameBodyInactive = Hex(0xB6B8BB);
  p.frameOutline = Hex(0x26282C);
  p.frameOutlineInactive = Hex(0x85878B);
  p.titleText = Hex(0xFFFFFF);
  p.titleTextInactive = Hex(0x35373B);
  p.plateOpacity = 0.07f;
  p.closeHot = Hex(0xC8413A);
  p.face = Hex(0xEDEDED);
  p.faceLight = Hex(0xFBFBFB);
  p.shadow = Hex(0x858585);
  p.dkShadow = Hex(0x3E3E3E);
  p.border = Hex(0xA2A2A2);
  p.accent = Hex(0x525E6A);
  p.accentText = Hex(0xFFFFFF);
  p.text = Hex(0x1E1E1E);
  p.menuBg = Hex(0xF8F8F8);
  p.menuText = Hex(0x1E1E1E);
  p.menuBarTop = Hex(0xF6F6F6);
  p.menuBarBottom = Hex(0xDEDEDE);
  p.menuBarText = Hex(0x1E1E1E);
  p.menuHotFrame = Hex(0x5F6B78);
  p.thumb = Hex(0xC4C6C9);
  p.cornerRadius = 5;
  p.titleHeight = 24;
  return p;
}

}  // namespace

const std::vector<Palette>& SkinPalettes() {
  static const std::vector<Palette> all = {Yellow(), Azure(), Blue(), Gray()};
  return all;
}
