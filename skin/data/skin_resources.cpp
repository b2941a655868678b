#include "skin/data/skin_resources.h"

#include <cstdint>

#include "classlib/core/sysutils.h"

namespace {

// Each glyph row is 16 characters; '#' is black, anything else white.
constexpr const char* kMenuGlyphs[4][16] = {
    {  // restore: two overlapping windows
        "................",
        "................",
        ".....########...",
        ".....########...",
        ".....#......#...",
        "...########.#...",
        "...########.#...",
        "...#......#.#...",
        "...#......#.#...",
        "...#......###...",
        "...#......#.....",
        "...#......#.....",
        "...########.....",
        "................",
        "................",
        "................"},
    {  // maximise: one window with a thick title bar
        "................",
        "................",
        "...##########...",
        "...##########...",
        "...#........#...",
        "...#........#...",
        "...#........#...",
        "...#........#...",
        "...#........#...",
        "...#........#...",
        "...#........#...",
        "...##########...",
        "................",
        "................",
        "................",
        "................"},
    {  // minimise: a bar at the bottom
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "....########....",
        "....########....",
        "................",
        "................",
        "................",
        "................"},
    {  // close: a cross
        "................",
        "................",
        "...##......##...",
        "....##....##....",
        ".....##..##.....",
        "......####......",
        ".......##.......",
        "......####......",
        ".....##..##.....",
        "....##....##....",
        "...##......##...",
        "................",
        "................",
        "................",
        "................",
        "................"},
};

// The horizontal groove: grey and black above, silver and white below, silver corners.
constexpr const char* kTrack[4] = {
    "sggggggggggggggs",
    "gkkkkkkkkkkkkkkw",
    "gkssssssssssssww",
    "swwwwwwwwwwwwwws",
};

uint32_t TrackColor(char c) {
  switch (c) {
    case 'k': return 0x000000;
    case 'g': return 0x808080;
    case 'w': return 0xFFFFFF;
    default: return 0xC0C0C0;
  }
}

TPixelImage MenuGlyphs() {
  TPixelImage img(64, 16, 1);
  for (int g = 0; g < 4; ++g)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) img.SetPixelRGB(g * 16 + x, y, kMenuGlyphs[g][y][x] == '#' ? 0x000000 : 0xFFFFFF);
  return img;
}

TPixelImage Track(bool upright) {
  TPixelImage img(upright ? 4 : 16, upright ? 16 : 4, 24);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) {
      uint32_t c = TrackColor(kTrack[y][x]);
      if (upright)
        img.SetPixelRGB(y, x, c);
      else
        img.SetPixelRGB(x, y, c);
    }
  return img;
}

}  // namespace

TPixelImage SkinResourceImage(std::string_view Name) {
  if (SameText(Name, "CORVANEMENU")) return MenuGlyphs();
  if (SameText(Name, "TRACK")) return Track(false);
  if (SameText(Name, "TRACKVERT")) return Track(true);
  return {};
}
