// Checks Karo's four drawn skins from their files: every picture the INI names exists as a 24-bit
// BMP, strips divide by the frame counts the library cuts them into, the sizes fit the library's
// layout, magenta appears only where a picture is drawn with the key, and text colours stand out
// from the surfaces they are drawn on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDir = KARO_SKINS_DIR;
const char* const kSkins[] = {"Yellow", "Azure", "Blue", "Gray"};

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// The INI rules of the library's reader: sections and keys without regard to case, ";" comments,
// the first of two equal keys wins, an empty value counts as absent.
struct Ini {
  std::vector<std::string> sections;  // in file order, as written
  std::map<std::string, std::map<std::string, std::string>> values;

  std::optional<std::string> Get(const std::string& section, const std::string& key) const {
    auto s = values.find(Lower(section));
    if (s == values.end()) return std::nullopt;
    auto k = s->second.find(Lower(key));
    if (k == s->second.end() || k->second.empty()) return std::nullopt;
    return k->second;
  }
  int Int(const std::string& section, const std::string& key, int def) const {
    auto v = Get(section, key);
    if (!v) return def;
    std::string t = *v;
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
      t = t.substr(2);
      base = 16;
    }
    size_t used = 0;
    long n = std::stol(t, &used, base);
    return used == t.size() ? int(n) : def;
  }
  bool Has(const std::string& section) const { return values.count(Lower(section)) > 0; }
};

Ini ParseIni(const std::string& text) {
  Ini ini;
  std::istringstream in(text);
  std::string line, current;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = Lower(Trim(line.substr(1, line.size() - 2)));
      ini.sections.push_back(Trim(line.substr(1, line.size() - 2)));
      ini.values[current];
      continue;
    }
    size_t eq = line.find('=');
    std::string name = Lower(Trim(eq == std::string::npos ? "" : line.substr(0, eq)));
    std::string value = eq == std::string::npos ? "" : Trim(line.substr(eq + 1));
    ini.values[current].emplace(name, value);  // keeps the first
  }
  return ini;
}

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
void PrintTo(const Rgb& c, std::ostream* os) { *os << "(" << c.r << ", " << c.g << ", " << c.b << ")"; }
const Rgb kKey{255, 0, 255};
bool NearKey(Rgb c) { return c.r == 255 && c.g <= 1 && c.b == 255; }

struct Picture {
  int w = 0, h = 0;
  std::vector<Rgb> px;
  Rgb at(int x, int y) const { return px[size_t(y) * w + x]; }
};

uint32_t U32(const std::string& s, size_t o) {
  return uint8_t(s[o]) | uint32_t(uint8_t(s[o + 1])) << 8 | uint32_t(uint8_t(s[o + 2])) << 16 | uint32_t(uint8_t(s[o + 3])) << 24;
}
uint16_t U16(const std::string& s, size_t o) { return uint16_t(uint8_t(s[o]) | uint8_t(s[o + 1]) << 8); }

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return std::nullopt;
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// A 24-bit uncompressed BMP as the platform loads it; an error text for anything else.
std::optional<Picture> ParseBmp(const std::string& s, std::string& error) {
  if (s.size() < 54 || s[0] != 'B' || s[1] != 'M') return error = "not a BMP file", std::nullopt;
  uint32_t offset = U32(s, 10), header = U32(s, 14);
  int32_t w = int32_t(U32(s, 18)), h = int32_t(U32(s, 22));
  if (header != 40) return error = "not a 40-byte info header", std::nullopt;
  if (U16(s, 26) != 1 || U16(s, 28) != 24) return error = "not 24 bits per pixel", std::nullopt;
  if (U32(s, 30) != 0) return error = "compressed", std::nullopt;
  if (w <= 0 || h <= 0) return error = "not a bottom-up picture of positive size", std::nullopt;
  size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
  if (offset < 54 || s.size() < offset + stride * size_t(h)) return error = "truncated", std::nullopt;
  Picture p{w, h, std::vector<Rgb>(size_t(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      size_t o = offset + size_t(h - 1 - y) * stride + size_t(x) * 3;
      p.px[size_t(y) * w + x] = Rgb{uint8_t(s[o + 2]), uint8_t(s[o + 1]), uint8_t(s[o])};
    }
  return p;
}

// ---- colours ----
double Channel(int c) {
  double v = c / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double Luminance(Rgb c) { return 0.2126 * Channel(c.r) + 0.7152 * Channel(c.g) + 0.0722 * Channel(c.b); }
double Contrast(Rgb a, Rgb b) {
  double x = Luminance(a), y = Luminance(b);
  if (x < y) std::swap(x, y);
  return (x + 0.05) / (y + 0.05);
}

// "r g b" text: decimal numbers separated by anything else.
std::optional<Rgb> RgbText(const std::string& s) {
  std::vector<int> n;
  for (size_t i = 0; i < s.size();) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
    n.push_back(std::stoi(s.substr(i, j - i)));
    i = j;
  }
  if (n.size() != 3) return std::nullopt;
  return Rgb{n[0], n[1], n[2]};
}

// The platform's colour number: red in the low byte.
Rgb ColorValue(int v) { return Rgb{v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF}; }

struct Rect {
  int x0, y0, x1, y1;
};

// ---- how the library cuts a picture into frames ----
struct Strip {
  const Picture* pic = nullptr;
  int frames = 1;
  bool stacked = false;
  int FrameW() const { return stacked ? pic->w : pic->w / frames; }
  int FrameH() const { return stacked ? pic->h / frames : pic->h; }
  Rgb At(int frame, int x, int y) const {
    return stacked ? pic->at(x, (frame - 1) * FrameH() + y) : pic->at((frame - 1) * FrameW() + x, y);
  }
};

class SkinTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    dir_ = kDir + "/" + GetParam();
    auto text = ReadFile(dir_ + "/skin.ini");
    ASSERT_TRUE(text) << "no skin.ini in " << dir_;
    ini_ = ParseIni(*text);
  }

  const Picture& Pic(const std::string& name) {
    auto it = pics_.find(name);
    if (it != pics_.end()) return it->second;
    std::string error = "missing";
    auto bytes = ReadFile(dir_ + "/" + name);
    std::optional<Picture> p = bytes ? ParseBmp(*bytes, error) : std::nullopt;
    if (!p) {
      ADD_FAILURE() << name << ": " << error;
      p = Picture{1, 1, {kKey}};
    }
    return pics_.emplace(name, *p).first->second;
  }

  // The picture a key names, as the library's reader finds it.
  const Picture& Named(const std::string& section, const std::string& key) {
    auto v = ini_.Get(section, key);
    if (!v) {
      ADD_FAILURE() << "[" << section << "] has no " << key;
      static const Picture empty{1, 1, {kKey}};
      return empty;
    }
    return Pic(*v);
  }

  Strip S(const std::string& section, const std::string& key, int frames, bool stacked = false) {
    return Strip{&Named(section, key), frames, stacked};
  }

  Rgb Colour(const std::string& key) {
    auto v = ini_.Get("Colours", key);
    EXPECT_TRUE(v) << "no colour " << key;
    auto c = v ? RgbText(*v) : std::nullopt;
    EXPECT_TRUE(c) << key << " is not RGB text";
    return c.value_or(Rgb{});
  }

  Rgb ColourNumber(const std::string& section, const std::string& key) {
    int v = ini_.Int(section, key, -1);
    EXPECT_GE(v, 0) << "[" << section << "] " << key << " is not given";
    return ColorValue(v);
  }

  // The smallest contrast of a text colour with the drawn pixels of a frame's area.
  double MinContrast(Rgb text, const Strip& s, int frame, Rect r) {
    double worst = 100;
    for (int y = r.y0; y < r.y1; ++y)
      for (int x = r.x0; x < r.x1; ++x) {
        Rgb c = s.At(frame, x, y);
        if (c == kKey) continue;
        worst = std::min(worst, Contrast(text, c));
      }
    return worst;
  }

  // The area inside a section's margins.
  Rect Inner(const std::string& section, const Strip& s) {
    return Rect{ini_.Int(section, "LeftWidth", 0), ini_.Int(section, "TopHeight", 0), s.FrameW() - ini_.Int(section, "RightWidth", 0),
                s.FrameH() - ini_.Int(section, "BottomHeight", 0)};
  }

  std::vector<std::string> CaptionButtonSections() const {
    std::vector<std::string> out;
    for (const std::string& s : ini_.sections) {
      std::string u = s;
      for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
      if (u.rfind("BUTTON", 0) == 0 && u != "BUTTON" && u != "BUTTONS" && u != "BUTTON.RADIO" && u != "BUTTON.CHECKBOX") out.push_back(s);
    }
    return out;
  }

  int TitleHeight() { return S("Personality", "Top", 2, true).FrameH(); }

  std::string dir_;
  Ini ini_;
  std::map<std::string, Picture> pics_;
};

// ---------------------------------------------------------------------------------------------

TEST_P(SkinTest, EveryNamedImageIsALoadable24BitBmp) {
  int count = 0;
  for (auto& [section, keys] : ini_.values)
    for (auto& [key, value] : keys) {
      if (value.size() < 4 || Lower(value).compare(value.size() - 4, 4, ".bmp") != 0) continue;
      ++count;
      SCOPED_TRACE("[" + section + "] " + key + "=" + value);
      // The archive lower-cases its entry names and the reader wants exactly ".bmp"; a name that
      // contains ".ini" would be taken for the INI text.
      EXPECT_EQ(value, Lower(value));
      EXPECT_EQ(value.compare(value.size() - 4, 4, ".bmp"), 0);
      EXPECT_EQ(value.find_first_of("/\\:"), std::string::npos);
      EXPECT_EQ(value.find(".ini"), std::string::npos);
      const Picture& p = Pic(value);
      EXPECT_GT(p.w * p.h, 1);
    }
  EXPECT_GE(count, 38);
  EXPECT_EQ(ini_.Get("TitlebarSkin", "SkinName").value_or(""), GetParam());
}

// Each picture with the frame count the library cuts it into (side by side unless stacked).
struct FrameRule {
  const char* section;
  const char* key;
  int frames;  // 0: read from the INI, see the test
  bool stacked;
};

const FrameRule kFrameRules[] = {
    {"Personality", "Left", 0, false},       {"Personality", "Right", 0, false},      {"Personality", "Top", 0, true},
    {"Personality", "Bottom", 0, true},      {"Personality", "TextBack", 2, true},    {"Personality", "menuBar", 2, true},
    {"MDICONTROLS", "Image", 12, false},     {"Buttons", "Bitmap", 5, false},         {"Buttons", "CheckButton", 0, false},
    {"Buttons", "RadioButton", 0, false},    {"Tabs", "Image", 5, false},             {"Tabs", "Border", 1, false},
    {"Tab.Pane", "Image", 1, false},         {"GroupBoxEdge", "Image", 2, false},     {"StatusBarEdges", "Image", 3, false},
    {"ExtraImages", "Image", 5, false},      {"ComboButton", "Image", 4, false},      {"SunkEdge", "Image", 4, false},
    {"Headerbar", "Image", 0, false},        {"MenuItem", "Image", 5, false},         {"MenuBackground", "Image", 1, false},
    {"Scrollbar", "Image", 23, false},       {"HorzScroll", "Image", 4, false},       {"VertScroll", "Image", 4, false},
    {"HorzScrollThumb", "Image", 0, false},  {"VertScrollThumb", "Image", 0, false},  {"Trackbar.ThumbHorz", "Image", 5, false},
    {"Trackbar.ThumbVert", "Image", 5, false}, {"UpDown.Horz", "Image", 8, false},    {"UpDown.Horz", "GlyphImage", 8, false},
    {"UpDown.Vert", "Image", 8, false},      {"UpDown.Vert", "GlyphImage", 8, false}, {"Progress", "Bitmap", 0, false},
    {"Progress.Chunk", "Image", 1, false},   {"Track", "Image", 1, false},            {"TRACKVERT", "Image", 1, false},
};

TEST_P(SkinTest, StripsDivideByTheirFrameCounts) {
  for (const FrameRule& r : kFrameRules) {
    SCOPED_TRACE(std::string("[") + r.section + "] " + r.key);
    int n = r.frames;
    std::string s = r.section, k = r.key;
    if (s == "Personality" && n == 0) n = ini_.Int(s, k + "Frame", 1);
    if (k == "CheckButton") n = ini_.Int(s, "CheckButtonFrame", 0);
    if (k == "RadioButton") n = ini_.Int(s, "RadioButtonFrame", 0);
    if (s == "Headerbar") n = ini_.Int(s, "Frame", 0) ? ini_.Int(s, "Frame", 0) : 5;
    if (s == "HorzScrollThumb" || s == "VertScrollThumb") n = ini_.Int(s, "FrameCount", 3);
    if (s == "Progress") n = ini_.Int(s, "Style", 0) ? 1 : 2;
    ASSERT_GT(n, 0) << "the frame count must be written out";
    const Picture& p = Named(s, k);
    EXPECT_EQ((r.stacked ? p.h : p.w) % n, 0) << p.w << "x" << p.h << " in " << n << " frames";
  }
  // Caption buttons state their count; 4 gives normal, pressed, hot and inactive.
  for (const std::string& b : CaptionButtonSections()) {
    if (!ini_.Get(b, "ButtonImage")) continue;
    SCOPED_TRACE(b);
    EXPECT_EQ(ini_.Int(b, "frame", 0), 4);
    EXPECT_EQ(Named(b, "ButtonImage").w % 4, 0);
  }
  // Check strips in groups of four per state: 12 frames; radio strips 8.
  EXPECT_EQ(ini_.Int("Buttons", "CheckButtonFrame", 0), 12);
  EXPECT_EQ(ini_.Int("Buttons", "RadioButtonFrame", 0), 8);
  // No picture-bearing section outside the rules slips through unchecked.
  for (const std::string& sec : ini_.sections) {
    if (!ini_.Get(sec, "Image") && !ini_.Get(sec, "Bitmap")) continue;
    bool known = std::any_of(std::begin(kFrameRules), std::end(kFrameRules), [&](const FrameRule& r) { return Lower(r.section) == Lower(sec); });
    EXPECT_TRUE(known) << "[" << sec << "] is not covered";
  }
}

TEST_P(SkinTest, SizesFitTheLibrarysLayout) {
  const std::string P = "Personality";
  Strip left = S(P, "Left", 2), right = S(P, "Right", 2), top = S(P, "Top", 2, true), bottom = S(P, "Bottom", 2, true);
  int th = top.FrameH();
  // The side borders run the full window height; their unscaled top rows are the title bar's ends
  // and their unscaled bottom rows the bottom corners.
  EXPECT_EQ(ini_.Int(P, "LeftTopHeight", 0), th);
  EXPECT_EQ(ini_.Int(P, "RightTopHeight", 0), th);
  EXPECT_EQ(ini_.Int(P, "LeftBotHeight", 0), bottom.FrameH());
  EXPECT_EQ(ini_.Int(P, "RightBotHeight", 0), bottom.FrameH());
  EXPECT_LT(ini_.Int(P, "LeftTopHeight", 0) + ini_.Int(P, "LeftBotHeight", 0), left.FrameH());
  EXPECT_EQ(left.FrameH(), right.FrameH());
  EXPECT_EQ(top.FrameW(), bottom.FrameW());
  EXPECT_LT(ini_.Int(P, "TopTopHeight", 0) + ini_.Int(P, "TopBotHeight", 0), top.FrameW());
  for (const char* k : {"LeftStretch", "RightStretch", "TopStretch", "BottomStretch"}) EXPECT_EQ(ini_.Int(P, k, 1), 1) << k;

  // The caption plate is tiled across at the title's height.
  Strip plate = S(P, "TextBack", 2, true);
  EXPECT_EQ(plate.FrameH(), th);
  EXPECT_GT(plate.FrameW() - ini_.Int(P, "TXTBackleft", 0) - ini_.Int(P, "TXTBackRight", 0), 0);

  // Caption buttons stay inside the title bar and off the right border.
  for (const std::string& b : CaptionButtonSections()) {
    if (!ini_.Get(b, "ButtonImage")) continue;
    SCOPED_TRACE(b);
    Strip s = S(b, "ButtonImage", 4);
    int y = ini_.Int(b, "Ycoord", 0);
    EXPECT_GE(y, 1);
    EXPECT_LE(y + s.FrameH(), th - 1);
    if (ini_.Int(b, "Align", 0) == 1) {
      EXPECT_GE(ini_.Int(b, "Xcoord", 0), s.FrameW() + right.FrameW());
    }
  }
  // The caption text stops before the leftmost button that a plain window shows.
  int leftmost = 0;
  for (const std::string& b : CaptionButtonSections())
    if (ini_.Int(b, "Align", 0) == 1 && ini_.Int(b, "Visibility", 0) != 9) leftmost = std::max(leftmost, ini_.Int(b, "Xcoord", 0));
  EXPECT_GE(ini_.Int(P, "TextRightClip", 0) + right.FrameW(), leftmost);

  // The maximised MDI child's buttons fit in the menu bar.
  EXPECT_LE(Named("MDICONTROLS", "Image").h, S(P, "menuBar", 2, true).FrameH());

  // Scroll-bar parts are as thick as the platform's arrows (17 pixels), give or take 2.
  Strip sb = S("Scrollbar", "Image", 23);
  EXPECT_EQ(sb.FrameW(), 17);
  EXPECT_LE(std::abs(sb.FrameH() - 17), 2);
  EXPECT_EQ(S("VertScroll", "Image", 4).FrameW(), sb.FrameH());
  EXPECT_EQ(S("HorzScroll", "Image", 4).FrameH(), sb.FrameH());
  EXPECT_EQ(S("VertScrollThumb", "Image", 3).FrameW(), sb.FrameH());
  EXPECT_EQ(S("HorzScrollThumb", "Image", 3).FrameH(), sb.FrameH());

  // The loader clamps the pane's margins to 4; writing more would misplace the picture.
  for (const char* k : {"LeftWidth", "TopHeight", "RightWidth", "BottomHeight"}) EXPECT_LE(ini_.Int("Tab.Pane", k, 0), 4) << k;

  // Every nine-slice picture keeps a middle to stretch.
  struct Nine {
    const char* section;
    const char* key;
    int frames;
  };
  const Nine nines[] = {{"Buttons", "Bitmap", 5},     {"Tabs", "Image", 5},       {"Tab.Pane", "Image", 1},
                        {"GroupBoxEdge", "Image", 2}, {"StatusBarEdges", "Image", 3}, {"ComboButton", "Image", 4},
                        {"SunkEdge", "Image", 4},     {"Headerbar", "Image", 5},  {"MenuItem", "Image", 5},
                        {"MenuBackground", "Image", 1}, {"HorzScrollThumb", "Image", 3}, {"VertScrollThumb", "Image", 3},
                        {"Track", "Image", 1},        {"TRACKVERT", "Image", 1},  {"Progress", "Bitmap", 2}};
  for (const Nine& n : nines) {
    SCOPED_TRACE(n.section);
    Strip s = S(n.section, n.key, n.frames);
    Rect in = Inner(n.section, s);
    EXPECT_GT(in.x1 - in.x0, 0);
    EXPECT_GT(in.y1 - in.y0, 0);
  }
  // The popup menu's edge is the 3 pixels around its items.
  EXPECT_EQ(ini_.Int("MenuBackground", "TopHeight", 0), 3);
  EXPECT_EQ(ini_.Int("MenuBackground", "RightWidth", 0), 3);
  EXPECT_EQ(ini_.Int("MenuBackground", "BottomHeight", 0), 3);
  // Up-down glyphs fit their buttons.
  for (const char* sec : {"UpDown.Horz", "UpDown.Vert"}) {
    Strip b = S(sec, "Image", 8), g = S(sec, "GlyphImage", 8);
    EXPECT_LE(g.FrameW(), b.FrameW()) << sec;
    EXPECT_LE(g.FrameH(), b.FrameH()) << sec;
  }
}

// Pictures that the library draws with the magenta key (whatever their Trans value says), those
// drawn opaque, and those whose Trans value decides.
enum class Keyed { Always, Never, ByTrans };

struct KeyRule {
  const char* section;
  const char* key;
  Keyed keyed;
};

const KeyRule kKeyRules[] = {
    {"Personality", "Left", Keyed::ByTrans},     {"Personality", "Right", Keyed::ByTrans},
    {"Personality", "Top", Keyed::ByTrans},      {"Personality", "Bottom", Keyed::ByTrans},
    {"Personality", "TextBack", Keyed::Always},  {"Personality", "menuBar", Keyed::Never},
    {"MDICONTROLS", "Image", Keyed::Always},     {"Buttons", "Bitmap", Keyed::ByTrans},
    {"Buttons", "CheckButton", Keyed::Always},   {"Buttons", "RadioButton", Keyed::Always},
    {"Tabs", "Image", Keyed::ByTrans},           {"Tabs", "Border", Keyed::Never},
    {"Tab.Pane", "Image", Keyed::Never},         {"GroupBoxEdge", "Image", Keyed::Never},
    {"StatusBarEdges", "Image", Keyed::Never},   {"ExtraImages", "Image", Keyed::Always},
    {"ComboButton", "Image", Keyed::Always},     {"SunkEdge", "Image", Keyed::ByTrans},
    {"Headerbar", "Image", Keyed::Never},        {"MenuItem", "Image", Keyed::Always},
    {"MenuBackground", "Image", Keyed::Never},   {"Scrollbar", "Image", Keyed::Always},
    {"HorzScroll", "Image", Keyed::ByTrans},     {"VertScroll", "Image", Keyed::ByTrans},
    {"HorzScrollThumb", "Image", Keyed::ByTrans}, {"VertScrollThumb", "Image", Keyed::ByTrans},
    {"Trackbar.ThumbHorz", "Image", Keyed::Always}, {"Trackbar.ThumbVert", "Image", Keyed::Always},
    {"UpDown.Horz", "Image", Keyed::Never},      {"UpDown.Horz", "GlyphImage", Keyed::Always},
    {"UpDown.Vert", "Image", Keyed::Never},      {"UpDown.Vert", "GlyphImage", Keyed::Always},
    {"Progress", "Bitmap", Keyed::Always},       {"Progress.Chunk", "Image", Keyed::Never},
    {"Track", "Image", Keyed::Never},            {"TRACKVERT", "Image", Keyed::Never},
};

TEST_P(SkinTest, MagentaOnlyWhereTheLibraryDrawsWithTheKey) {
  auto check = [&](const std::string& section, const std::string& key, bool keyed) {
    SCOPED_TRACE("[" + section + "] " + key);
    const Picture& p = Named(section, key);
    int keyPixels = 0, near = 0;
    for (const Rgb& c : p.px) {
      keyPixels += c == kKey;
      near += NearKey(c) && !(c == kKey);  // the region builder would cut these too
    }
    EXPECT_EQ(near, 0);
    if (!keyed) {
      EXPECT_EQ(keyPixels, 0);
    }
    EXPECT_LT(keyPixels, p.w * p.h) << "a picture of nothing but the key";
  };
  for (const KeyRule& r : kKeyRules) {
    std::string s = r.section, k = r.key;
    std::string transKey = s == "Personality" ? k + "Trans" : "Trans";
    int transDefault = s == "Personality" ? 1 : 0;
    bool keyed = r.keyed == Keyed::Always || (r.keyed == Keyed::ByTrans && ini_.Int(s, transKey, transDefault) == 1);
    check(s, k, keyed);
  }
  for (const std::string& b : CaptionButtonSections())
    if (ini_.Get(b, "ButtonImage")) {
      check(b, "ButtonImage", true);
    }

  // The window's region: rounded top corners cut by the key, square and solid bottom corners.
  const std::string P = "Personality";
  ASSERT_EQ(ini_.Int(P, "LeftTrans", 1), 1);
  ASSERT_EQ(ini_.Int(P, "RightTrans", 1), 1);
  Strip left = S(P, "Left", 2), right = S(P, "Right", 2), top = S(P, "Top", 2, true);
  int bb = ini_.Int(P, "LeftBotHeight", 0);
  for (int f = 1; f <= 2; ++f) {
    SCOPED_TRACE("frame " + std::to_string(f));
    EXPECT_EQ(left.At(f, 0, 0), kKey);
    EXPECT_EQ(right.At(f, right.FrameW() - 1, 0), kKey);
    for (int y = left.FrameH() - bb; y < left.FrameH(); ++y)
      for (int x = 0; x < left.FrameW(); ++x) {
        EXPECT_FALSE(left.At(f, x, y) == kKey);
        EXPECT_FALSE(right.At(f, x, y) == kKey);
      }
    // Only the unscaled ends of the top border hold corners: its stretched middle is solid.
    int te = ini_.Int(P, "TopTopHeight", 0);
    for (int y = 0; y < top.FrameH(); ++y)
      for (int x = te; x < top.FrameW() - ini_.Int(P, "TopBotHeight", 0); ++x) EXPECT_FALSE(top.At(f, x, y) == kKey);
  }

  // Stretched middles of keyed elements are drawn, apart from the combo frame's text field.
  struct Middle {
    const char* section;
    const char* key;
    int frames;
  };
  const Middle middles[] = {{"Buttons", "Bitmap", 5},        {"Tabs", "Image", 5},          {"Progress", "Bitmap", 2},
                            {"HorzScrollThumb", "Image", 3}, {"VertScrollThumb", "Image", 3}, {"ComboButton", "Image", 4}};
  for (const Middle& m : middles) {
    Strip s = S(m.section, m.key, m.frames);
    for (int f = 1; f <= m.frames; ++f) EXPECT_FALSE(s.At(f, s.FrameW() / 2, s.FrameH() / 2) == kKey) << m.section << " frame " << f;
  }
  Strip sunk = S("SunkEdge", "Image", 4);
  EXPECT_EQ(sunk.At(1, sunk.FrameW() / 2, sunk.FrameH() / 2), kKey);
  // The normal menu item lets the popup's background show; the separator draws its line low in
  // the frame, where the library takes a short item's rows from.
  Strip item = S("MenuItem", "Image", 5);
  for (int y = 0; y < item.FrameH(); ++y)
    for (int x = 0; x < item.FrameW(); ++x) EXPECT_EQ(item.At(1, x, y), kKey);
  bool lineLow = false;
  for (int y = item.FrameH() - 8; y < item.FrameH(); ++y) lineLow = lineLow || !(item.At(2, item.FrameW() / 2, y) == kKey);
  EXPECT_TRUE(lineLow);
}

TEST_P(SkinTest, TextColoursStandOutFromTheirSurfaces) {
  const double kText = 4.5;  // readable body text
  const std::string P = "Personality";
  // Caption text over the title bar and its plate, across the rows where the text sits.
  Strip top = S(P, "Top", 2, true), plate = S(P, "TextBack", 2, true);
  int th = top.FrameH(), mid = plate.FrameW() / 2;
  for (int f = 1; f <= 2; ++f) {
    Rgb text = Colour(f == 1 ? "TitleTextActive" : "TitleTextNoActive");
    double worst = 100;
    for (int y = th / 2 - 6; y <= th / 2 + 6; ++y) {
      Rgb under = plate.At(f, mid, y);
      if (under == kKey) under = top.At(f, top.FrameW() / 2, y);
      worst = std::min(worst, Contrast(text, under));
    }
    EXPECT_GE(worst, kText) << "caption text, frame " << f;
  }
  // Push buttons: caption colours by frame (1 normal, 2 pressed, 4 hot, 5 focused).
  Strip buttons = S("Buttons", "Bitmap", 5);
  Rect in = Inner("Buttons", buttons);
  const std::pair<int, const char*> states[] = {{1, "NormalColour"}, {2, "PressedColour"}, {4, "MouseOverColour"}, {5, "NormalColour"}};
  for (auto& [frame, key] : states) {
    EXPECT_GE(MinContrast(ColourNumber("Buttons", key), buttons, frame, in), kText) << key << " on frame " << frame;
    EXPECT_GE(MinContrast(Colour("ButtonText"), buttons, frame, in), kText) << "ButtonText on frame " << frame;
  }
  // Tabs: the normal colour on tabs, the mouse-over colour on the current tab.
  Strip tabs = S("Tabs", "Image", 5);
  EXPECT_GE(MinContrast(ColourNumber("Tabs", "NormalColour"), tabs, 1, Inner("Tabs", tabs)), kText);
  EXPECT_GE(MinContrast(ColourNumber("Tabs", "MouseOverColour"), tabs, 2, Inner("Tabs", tabs)), kText);
  // Status-bar panels and header items.
  Strip status = S("StatusBarEdges", "Image", 3);
  for (int f = 1; f <= 3; ++f)
    EXPECT_GE(MinContrast(ColourNumber("StatusBarEdges", "NormalColour"), status, f, Inner("StatusBarEdges", status)), kText) << f;
  Strip header = S("Headerbar", "Image", 5);
  for (int f = 1; f <= 2; ++f) EXPECT_GE(MinContrast(ColourNumber("Headerbar", "NormalColour"), header, f, Inner("Headerbar", header)), kText) << f;
  // Menu bar text, and the frame the bar draws around the item under the mouse.
  Strip bar = S(P, "menuBar", 2, true);
  Rect whole{1, 0, bar.FrameW() - 1, bar.FrameH() - 1};
  for (int f = 1; f <= 2; ++f) EXPECT_GE(MinContrast(Colour("MenuBarText"), bar, f, whole), kText) << f;
  EXPECT_GE(MinContrast(Colour("ButtonHilight"), bar, 1, whole), 3.0);
  // Popup menus: items over the background, the selected item in the highlight text colour.
  Strip menu = S("MenuBackground", "Image", 1);
  // Item captions start right of the glyph column, which the background's left margin covers.
  Rect text{ini_.Int("MenuBackground", "LeftWidth", 0), 3, menu.FrameW() - 3, menu.FrameH() - 3};
  EXPECT_GE(MinContrast(Colour("MenuText"), menu, 1, text), kText);
  EXPECT_GE(Contrast(Colour("MenuText"), Colour("Menu")), kText);
  Strip item = S("MenuItem", "Image", 5);
  EXPECT_GE(MinContrast(Colour("HilightText"), item, 4, Inner("MenuItem", item)), kText);
  EXPECT_GE(Contrast(Colour("HilightText"), Colour("Hilight")), kText);
  // Plain text on the button face, and the shadow colour of disabled text and group-box lines.
  EXPECT_GE(Contrast(Colour("WindowText"), Colour("ButtonFace")), kText);
  EXPECT_GE(Contrast(Colour("ButtonText"), Colour("ButtonFace")), kText);
  EXPECT_GE(Contrast(Colour("ButtonShadow"), Colour("ButtonFace")), 2.5);
  EXPECT_LT(Contrast(Colour("ButtonShadow"), Colour("ButtonFace")), Contrast(Colour("ButtonText"), Colour("ButtonFace")));
}

INSTANTIATE_TEST_SUITE_P(KaroSkins, SkinTest, ::testing::ValuesIn(kSkins),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// The four skins keep their promise: a warm yellow, a light azure, a deep blue and a neutral gray,
// judged by the caption colour the library takes from the top border (used also for tool bars).
TEST(KaroSkins, EachSkinHasItsOwnPalette) {
  struct Hsl {
    double h, s, l;
  };
  auto hsl = [](Rgb c) {
    double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
    double mx = std::max({r, g, b}), mn = std::min({r, g, b}), l = (mx + mn) / 2, d = mx - mn;
    double h = 0, s = d == 0 ? 0 : d / (1 - std::fabs(2 * l - 1));
    if (d > 0) {
      if (mx == r) h = 60 * std::fmod((g - b) / d + 6, 6);
      else if (mx == g) h = 60 * ((b - r) / d + 2);
      else h = 60 * ((r - g) / d + 4);
    }
    return Hsl{h, s, l};
  };
  std::map<std::string, Hsl> caption;
  for (const char* name : kSkins) {
    std::string error;
    auto bytes = ReadFile(kDir + "/" + name + "/top.bmp");
    ASSERT_TRUE(bytes) << name;
    auto p = ParseBmp(*bytes, error);
    ASSERT_TRUE(p) << name << ": " << error;
    caption[name] = hsl(p->at(p->w / 3, (p->h / 2) / 3));
  }
  EXPECT_GE(caption["Yellow"].h, 30);
  EXPECT_LE(caption["Yellow"].h, 60);
  EXPECT_GE(caption["Yellow"].s, 0.5);
  EXPECT_GE(caption["Azure"].h, 185);
  EXPECT_LE(caption["Azure"].h, 215);
  EXPECT_GE(caption["Azure"].l, 0.6);
  EXPECT_GE(caption["Blue"].h, 205);
  EXPECT_LE(caption["Blue"].h, 235);
  EXPECT_LE(caption["Blue"].l, 0.45);
  EXPECT_LE(caption["Gray"].s, 0.1);
}

}  // namespace
