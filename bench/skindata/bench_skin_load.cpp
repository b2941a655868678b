// Time to load a skin file into a ready TSkinData (read, decompressed, unpacked, every picture
// decoded, every record made and the combo-box and tool-bar pictures rebuilt): a typical skin of
// 40 pictures and about 300 KB, made here, and Karo's four skins when the native build has packed
// them. Median and spread of many runs, one line each.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/graphics/bmp_codec.h"
#include "skin/data/skin_reader.h"
#include "skin/data/velt_data.h"
#include "tools/skntool/skin_archive.h"

namespace {

// A picture with the texture of drawn skin art: bands of soft gradients, rows repeated in pairs,
// and a sparse grain, which the coder packs about as well as it packs real pictures.
std::string Picture(int w, int h, uint32_t seed) {
  TPixelImage img(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      const uint32_t grain = ((seed >> 16) & 15) == 0 ? (seed >> 20) & 7 : 0;
      const uint32_t r = ((x / 3) * 7 + grain) & 0xFF, g = ((y / 2) * 5) & 0xFF, b = (seed & 0x100) ? 0x80 : 0x90;
      img.SetPixelRGB(x, y, r | g << 8 | b << 16);
    }
  std::vector<uint8_t> bytes = EncodeBmpFile(img.View());
  return std::string(bytes.begin(), bytes.end());
}

// Sections, picture keys and sizes of a skin that uses the whole vocabulary.
std::string TypicalSkin() {
  struct P {
    const char* section;
    const char* key;
    int w, h;
  } pictures[] = {
      {"Personality", "Left", 16, 400},      {"Personality", "Right", 16, 400},     {"Personality", "Top", 400, 60},
      {"Personality", "Bottom", 400, 16},    {"Personality", "TextBack", 200, 48},  {"Personality", "menuBar", 200, 40},
      {"Buttons", "Bitmap", 300, 30},        {"Buttons", "CheckButton", 156, 13},   {"Buttons", "RadioButton", 104, 13},
      {"ButtonClose", "ButtonImage", 96, 24}, {"ButtonMax", "ButtonImage", 96, 24}, {"ButtonMin", "ButtonImage", 96, 24},
      {"ButtonRestore", "ButtonImage", 96, 24}, {"ButtonHelp", "ButtonImage", 96, 24}, {"MDICONTROLS", "Image", 192, 16},
      {"Progress", "Bitmap", 100, 20},       {"Progress.Chunk", "Image", 10, 16},   {"GroupBoxEdge", "Image", 60, 30},
      {"Tabs", "Image", 400, 26},            {"Tabs", "Border", 60, 60},            {"StatusBarEdges", "Image", 90, 30},
      {"Tab.Pane", "Image", 60, 60},         {"ComboButton", "Image", 80, 21},      {"SunkEdge", "Image", 200, 21},
      {"ExtraImages", "Image", 60, 12},      {"Headerbar", "Image", 300, 22},       {"MenuItem", "Image", 300, 22},
      {"MenuBackground", "Image", 120, 120}, {"Scrollbar", "Image", 391, 17},       {"HorzScroll", "Image", 200, 17},
      {"VertScroll", "Image", 68, 50},       {"HorzScrollThumb", "Image", 90, 17},  {"VertScrollThumb", "Image", 51, 30},
      {"Trackbar.ThumbHorz", "Image", 55, 20}, {"Trackbar.ThumbVert", "Image", 100, 11}, {"UpDown.Horz", "Image", 128, 16},
      {"UpDown.Horz", "GlyphImage", 64, 8},  {"UpDown.Vert", "Image", 128, 16},     {"UpDown.Vert", "GlyphImage", 64, 8},
      {"Track", "Image", 60, 6},
  };
  std::string ini = "[TitlebarSkin]\r\nSkinName=Typical\r\n";
  std::vector<TSkinArchiveEntry> entries;
  std::string section;
  int n = 0;
  for (const P& p : pictures) {
    if (section != p.section) {
      section = p.section;
      ini += "[" + section + "]\r\n";
    }
    const std::string file = "p" + std::to_string(n) + ".bmp";
    ini += std::string(p.key) + "=" + file + "\r\nLeftWidth=3\r\nRightWidth=3\r\nTopHeight=3\r\nBottomHeight=3\r\n";
    // A little larger than the sizes above, which are those of a skin for small windows.
    entries.push_back({file, Picture(p.w * 6 / 5, p.h * 6 / 5, uint32_t(++n))});
  }
  entries.insert(entries.begin(), {"skin.ini", ini});
  return CompressImage(BuildSkinArchive(entries));
}

std::string TempFile(const char* name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

struct TRuns {
  double median, fastest, p90;
};

// Runs f many times after one run that warms the caches.
template <class F> TRuns Measure(F f) {
  constexpr int kRuns = 101;
  f();
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    f();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[kRuns / 2], ms.front(), ms[kRuns * 9 / 10]};
}

// The whole load, and how much of it is the archive reader's decompression alone.
void Time(const char* what, const std::string& file, long bytes) {
  TSkinData data(nullptr);
  data.LoadFromFile(file);
  if (data.NoSkinLoaded) {
    std::printf("%-28s could not be loaded\n", what);
    return;
  }
  const TRuns load = Measure([&] { data.LoadFromFile(file); });
  TSkinReader reader;
  const TRuns unpack = Measure([&] { reader.Loadfromstream(data.SkinStream); });
  std::printf("%-28s %7ld bytes -> %7lld  median %6.2f ms (fastest %6.2f, 90th percentile %6.2f), of which "
              "decompression %6.2f ms\n",
              what, bytes, (long long)reader.EntryData().Size(), load.median, load.fastest, load.p90, unpack.median);
}

}  // namespace

int main() {
  const std::string image = TypicalSkin();
  const std::string file = TempFile("karo_bench_skin_load.skn");
  FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) return 1;
  std::fwrite(image.data(), 1, image.size(), f);
  std::fclose(f);
  Time("typical skin, 40 pictures", file, long(image.size()));
  DeleteFileA(file.c_str());
  for (const char* name : {"Yellow", "Azure", "Blue", "Gray"}) {
    const std::string skin = std::string(KARO_NATIVE_SKINS_DIR) + "/" + name + ".skn";
    WIN32_FILE_ATTRIBUTE_DATA attr{};
    if (!GetFileAttributesExA(skin.c_str(), GetFileExInfoStandard, &attr)) continue;
    Time((std::string("Karo's ") + name + " skin").c_str(), skin, long(attr.nFileSizeLow));
  }
  return 0;
}
