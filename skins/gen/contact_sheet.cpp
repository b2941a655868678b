// Contact sheets of the skins.
#include "skins/gen/contact_sheet.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

namespace {

const Rgb kGround{0xB9, 0xBB, 0xBE};
const Rgb kInk{0x20, 0x22, 0x26};

// ---- a 5 x 7 pixel font for labels ----
const std::map<char, std::array<const char*, 7>>& Font() {
  static const std::map<char, std::array<const char*, 7>> f = {
      {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
      {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
      {'C', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "}},
      {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
      {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
      {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
      {'G', {" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"}},
      {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
      {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
      {'J', {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "}},
      {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
      {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
      {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
      {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
      {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
      {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
      {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
      {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
      {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
      {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
      {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
      {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
      {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "# # #", " # # "}},
      {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
      {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
      {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
      {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
      {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
      {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
      {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
      {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
      {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
      {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "}},
      {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
      {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
      {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
      {'.', {"     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "}},
      {',', {"     ", "     ", "     ", "     ", " ##  ", "  #  ", " #   "}},
      {':', {"     ", " ##  ", " ##  ", "     ", " ##  ", " ##  ", "     "}},
      {'-', {"     ", "     ", "     ", "#####", "     ", "     ", "     "}},
      {'+', {"     ", "  #  ", "  #  ", "#####", "  #  ", "  #  ", "     "}},
      {'/', {"    #", "    #", "   # ", "  #  ", " #   ", "#    ", "#    "}},
      {'(', {"   # ", "  #  ", " #   ", " #   ", " #   ", "  #  ", "   # "}},
      {')', {" #   ", "  #  ", "   # ", "   # ", "   # ", "  #  ", " #   "}},
      {'%', {"##   ", "##  #", "   # ", "  #  ", " #   ", "#  ##", "   ##"}},
      {'=', {"     ", "     ", "#####", "     ", "#####", "     ", "     "}},
      {'?', {" ### ", "#   #", "    #", "   # ", "  #  ", "     ", "  #  "}},
      {'_', {"     ", "     ", "     ", "     ", "     ", "     ", "#####"}},
  };
  return f;
}

int TextWidth(const std::string& s) { return s.empty() ? 0 : int(s.size()) * 6 - 1; }

void Text(Bitmap& dst, int x, int y, const std::string& s, Rgb c) {
  for (char ch : s) {
    auto it = Font().find(char(std::toupper(static_cast<unsigned char>(ch))));
    if (it != Font().end())
      for (int r = 0; r < 7; ++r)
        for (int k = 0; k < 5; ++k)
          if (it->second[r][k] == '#') {
            int px = x + k, py = y + r;
            if (px >= 0 && py >= 0 && px < dst.w && py < dst.h) dst.at(px, py) = c;
          }
    x += 6;
  }
}

void FillBox(Bitmap& dst, int x, int y, int w, int h, Rgb c) {
  for (int j = std::max(0, y); j < std::min(dst.h, y + h); ++j)
    for (int i = std::max(0, x); i < std::min(dst.w, x + w); ++i) dst.at(i, j) = c;
}

void FrameBox(Bitmap& dst, int x, int y, int w, int h, Rgb c) {
  FillBox(dst, x, y, w, 1, c);
  FillBox(dst, x, y + h - 1, w, 1, c);
  FillBox(dst, x, y, 1, h, c);
  FillBox(dst, x + w - 1, y, 1, h, c);
}

// ---- the library's way of cutting and stretching frames, with nearest-pixel stretching ----
struct Margins {
  int l = 0, t = 0, r = 0, b = 0;
};

Bitmap Frame(const Bitmap& strip, int index, int count, bool stacked) {
  if (count <= 0) throw std::logic_error("no frames");
  if (stacked) {
    int fh = strip.h / count;
    return strip.Crop(0, (index - 1) * fh, strip.w, fh);
  }
  int fw = strip.w / count;
  return strip.Crop((index - 1) * fw, 0, fw, strip.h);
}

void Stretch(Bitmap& dst, int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy, int sw, int sh, bool keyed) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  for (int j = 0; j < dh; ++j)
    for (int i = 0; i < dw; ++i) {
      int tx = dx + i, ty = dy + j;
      if (tx < 0 || ty < 0 || tx >= dst.w || ty >= dst.h) continue;
      Rgb c = src.at(sx + i * sw / dw, sy + j * sh / dh);
      if (keyed && c == kKey) continue;
      dst.at(tx, ty) = c;
    }
}

void Nine(Bitmap& dst, int x, int y, int w, int h, const Bitmap& f, Margins m, bool keyed) {
  if (m.l + m.r > w) m.l = m.r = 0;
  if (m.t + m.b > h) m.t = m.b = 0;
  const int cols[2][3] = {{0, m.l, f.w - m.r}, {m.l, f.w - m.l - m.r, m.r}};
  const int rows[2][3] = {{0, m.t, f.h - m.b}, {m.t, f.h - m.t - m.b, m.b}};
  const int dcols[2][3] = {{0, m.l, w - m.r}, {m.l, w - m.l - m.r, m.r}};
  const int drows[2][3] = {{0, m.t, h - m.b}, {m.t, h - m.t - m.b, m.b}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      Stretch(dst, x + dcols[0][c], y + drows[0][r], dcols[1][c], drows[1][r], f, cols[0][c], rows[0][r], cols[1][c], rows[1][r],
              keyed);
}

// Left and right columns at their width, the middle repeated: the caption plate.
void TileAcross(Bitmap& dst, int x, int y, int w, int h, const Bitmap& f, int l, int r) {
  Bitmap tmp(w, h);
  Stretch(tmp, 0, 0, l, h, f, 0, 0, l, f.h, false);
  int step = f.w - l - r;
  for (int px = l; step > 0 && px < w - r; px += step) Stretch(tmp, px, 0, step, h, f, l, 0, step, f.h, false);
  Stretch(tmp, w - r, 0, r, h, f, f.w - r, 0, r, f.h, false);
  dst.Blit(tmp, x, y, true);
}

void Centered(Bitmap& dst, int x, int y, int w, int h, const Bitmap& f) { dst.Blit(f, x + (w - f.w) / 2, y + (h - f.h) / 2, true); }

Rgb ParseRgb(const std::string& s) {
  int r = 0, g = 0, b = 0;
  if (std::sscanf(s.c_str(), "%d %d %d", &r, &g, &b) != 3) throw std::runtime_error("not a colour: " + s);
  return Rgb{uint8_t(r), uint8_t(g), uint8_t(b)};
}

class Mock {
 public:
  Mock(const Palette& p, const SkinArt& art) : p_(p), art_(art) {}

  const Bitmap& Img(const std::string& n) const {
    auto it = art_.images.find(n);
    if (it == art_.images.end()) throw std::runtime_error("no picture " + n);
    return it->second;
  }
  int V(const std::string& k) const { return std::stoi(art_.values.at(k)); }
  Rgb C(const std::string& k) const { return ParseRgb(art_.values.at(k)); }
  Margins M(const std::string& k) const {
    int m = V(k);
    return {m, m, m, m};
  }

  // A window as the library frames it: borders, title bar with plate and caption buttons, menu bar.
  int Window(Bitmap& dst, int x, int y, int w, int h, bool active, const std::string& caption, bool menu) const {
    int fi = active ? 1 : 2;
    int th = V("TitleHeight"), bb = V("BorderBottom");
    Bitmap left = Frame(Img("left.bmp"), fi, 2, false), right = Frame(Img("right.bmp"), fi, 2, false);
    int bl = left.w, br = right.w;
    Nine(dst, x, y, bl, h, left, {0, th, 0, bb}, true);
    Nine(dst, x + w - br, y, br, h, right, {0, th, 0, bb}, true);
    Nine(dst, x + bl, y + h - bb, w - bl - br, bb, Frame(Img("bottom.bmp"), fi, 2, true), {}, false);
    int te = V("TopEnd");
    Nine(dst, x + bl, y, w - bl - br, th, Frame(Img("top.bmp"), fi, 2, true), {te, 0, te, 0}, true);
    // Icon, then the caption on its plate.
    int ix = x + V("IconX"), iy = y + V("IconY");
    FillBox(dst, ix + 1, iy + 1, 14, 14, ToRgb(p_.accent));
    Text(dst, ix + 5, iy + 4, "K", ToRgb(p_.accentText));
    int e = V("TextBackEnd");
    int tx = x + bl + V("TextShift"), tw = TextWidth(caption) + 12 + 2 * e;
    TileAcross(dst, tx, y, tw, th, Frame(Img("textback.bmp"), fi, 2, true), e, e);
    Text(dst, tx + e + 6, y + (th - 7) / 2, caption, C(active ? "TitleTextActive" : "TitleTextNoActive"));
    int sy = y + V("SysButtonY");
    const std::pair<const char*, const char*> buttons[] = {{"close.bmp", "CloseX"}, {"maximize.bmp", "MaxX"}, {"minimize.bmp", "MinX"}};
    int k = 0;
    for (auto& [file, key] : buttons) {
      // Show the states side by side in the active window: the close button hot, the rest normal.
      int frame = active ? (k == 0 ? 3 : 1) : 4;
      Bitmap f = Frame(Img(file), frame, 4, false);
      dst.Blit(f, x + w - V(key), sy, true);
      ++k;
    }
    int cy = y + th;
    if (menu) {
      Bitmap bar = Frame(Img("menubar.bmp"), fi, 2, true);
      Nine(dst, x + bl, cy, w - bl - br, bar.h, bar, {1, 0, 1, 0}, false);
      int mx = x + bl + 5;
      const char* items[] = {"File", "Edit", "View", "Help"};
      for (int i = 0; i < 4; ++i) {
        int iw = TextWidth(items[i]) + 10;
        if (i == 1 && active) FrameBox(dst, mx, cy, iw, bar.h - 1, C("ButtonHilight"));
        Text(dst, mx + 5, cy + (bar.h - 7) / 2, items[i], C("MenuBarText"));
        mx += iw;
      }
      cy += bar.h;
    }
    FillBox(dst, x + bl, cy, w - bl - br, y + h - bb - cy, ToRgb(p_.face));
    return cy;
  }

  void PushButton(Bitmap& dst, int x, int y, int w, int h, int frame, const std::string& label) const {
    Nine(dst, x, y, w, h, Frame(Img("buttons.bmp"), frame, 5, false), M("ButtonMargin"), true);
    Rgb ink = frame == 3 ? C("ButtonShadow") : C("ButtonText");
    Text(dst, x + (w - TextWidth(label)) / 2, y + (h - 7) / 2 - 1, label, ink);
  }

  void Glyph(Bitmap& dst, int x, int y, const std::string& file, int frame, int count, const std::string& label, bool enabled) const {
    dst.Blit(Frame(Img(file), frame, count, false), x, y, true);
    Text(dst, x + 17, y + 3, label, enabled ? C("WindowText") : C("ButtonShadow"));
  }

  // The combo-box picture the loader builds from SunkEdge, ComboButton and ExtraImages.
  void Combo(Bitmap& dst, int x, int y, int w, int frame, const std::string& text) const {
    const int cw = 50, ch = 21, bw = 19;
    Bitmap cell(cw, ch);
    Nine(cell, 0, 0, cw, ch, Frame(Img("sunkedge.bmp"), frame, 4, false), M("SunkMargin"), true);
    Nine(cell, cw - bw, 0, bw, ch, Frame(Img("combobutton.bmp"), frame, 4, false), M("ComboButtonMargin"), true);
    Centered(cell, cw - bw, 0, bw, ch, Frame(Img("extra.bmp"), frame, 5, false));
    FillBox(cell, 2, 2, 47 - bw, 16, kKey);
    FillBox(dst, x + 2, y + 2, w - 4, ch - 4, Rgb{255, 255, 255});
    int sm = V("SunkMargin");
    Nine(dst, x, y, w, ch, cell, {2, sm, bw + 2, sm}, true);
    Text(dst, x + 5, y + 7, text, C("WindowText"));
  }

  void Draw(Bitmap& dst, int ox, int oy) const {
    const int W = 330, H = 350;
    int cy = Window(dst, ox, oy, W, H, true, "Karo - " + p_.name, true);
    int bl = Img("left.bmp").w / 2, br = Img("right.bmp").w / 2, bb = V("BorderBottom");
    int left = ox + bl, right = ox + W - br;

    // Tabs over a pane.
    int tx = left + 6, ty = cy + 6, tabH = 20;
    const char* tabs[] = {"Rhyme", "Words", "Notes"};
    Bitmap tabStrip = Img("tabs.bmp");
    Margins tm{V("TabSideMargin"), V("TabTopMargin"), V("TabSideMargin"), V("TabBottomMargin")};
    int paneY = ty + tabH;
    int paneH = 160;
    Nine(dst, tx, paneY - 1, right - 6 - tx, paneH, Img("tabpane.bmp"), M("PaneMargin"), false);
    for (int i = 0; i < 3; ++i) {
      int tw = TextWidth(tabs[i]) + 16;
      bool cur = i == 0;
      Nine(dst, tx, cur ? ty - 2 : ty, tw, cur ? tabH + 2 : tabH, Frame(tabStrip, cur ? 2 : (i == 2 ? 3 : 1), 5, false), tm, true);
      Text(dst, tx + 8, ty + 7, tabs[i], C("ButtonText"));
      tx += tw;
    }

    int px = left + 14, py = paneY + 8;
    const std::pair<int, const char*> buttons[] = {{1, "OK"}, {4, "Hot"}, {2, "Down"}, {3, "Off"}, {5, "Focus"}};
    for (auto& [frame, label] : buttons) {
      PushButton(dst, px, py, 48, 23, frame, label);
      px += 52;
    }
    // Check boxes and radio buttons.
    int gy = py + 32;
    Glyph(dst, left + 14, gy, "check.bmp", 1, 12, "Tone", true);
    Glyph(dst, left + 14, gy + 17, "check.bmp", 5, 12, "Final", true);
    Glyph(dst, left + 14, gy + 34, "check.bmp", 9, 12, "Both", true);
    Glyph(dst, left + 14, gy + 51, "check.bmp", 8, 12, "Off", false);
    Glyph(dst, left + 80, gy, "radio.bmp", 1, 8, "Ping", true);
    Glyph(dst, left + 80, gy + 17, "radio.bmp", 5, 8, "Ze", true);
    Glyph(dst, left + 80, gy + 34, "radio.bmp", 2, 8, "Hot", true);
    Glyph(dst, left + 80, gy + 51, "radio.bmp", 8, 8, "Off", false);
    // Combo boxes: normal and focused.
    Combo(dst, left + 140, gy, 110, 1, "Yellow");
    Combo(dst, left + 140, gy + 26, 110, 4, "Region CN");
    // Progress bar at 60 %.
    int barY = gy + 56, barW = 110;
    Bitmap prog = Img("progress.bmp");
    Bitmap back(barW, 16, ToRgb(p_.face));
    Nine(back, 0, 0, barW, 16, Frame(prog, 1, 2, false), M("ProgressMargin"), true);
    Nine(back, 0, 0, barW * 6 / 10, 16, Frame(prog, 2, 2, false), M("ProgressMargin"), true);
    dst.Blit(back, left + 140, barY);
    // Track bar.
    int trY = barY + 24;
    Bitmap track = Img("track.bmp");
    int te = V("TrackEnd");
    Nine(dst, left + 140, trY + 8, barW, track.h, track, {te, 0, te, 0}, false);
    Bitmap thumb = Frame(Img("trackthumbh.bmp"), 2, 5, false);
    dst.Blit(thumb, left + 140 + barW * 4 / 10, trY + 8 + track.h / 2 - thumb.h / 2, true);

    // A list with a header and a vertical scroll bar, below the pane.
    int ly = paneY + paneH + 4, lh = H - bb - 22 - ly + oy - 4;
    int lx = left + 6, lw = right - 6 - lx;
    FillBox(dst, lx, ly, lw, lh, Rgb{255, 255, 255});
    FrameBox(dst, lx, ly, lw, lh, ToRgb(p_.border));
    Bitmap header = Img("header.bmp");
    int hx = lx + 1;
    const char* cols[] = {"Yin Jie", "Jian Yi", "Tone"};
    const int widths[] = {70, 120, 60};
    for (int i = 0; i < 3; ++i) {
      Nine(dst, hx, ly + 1, widths[i], 18, Frame(header, i == 1 ? 2 : 1, 5, false), M("HeaderMargin"), false);
      Text(dst, hx + 5, ly + 6, cols[i], C("ButtonText"));
      hx += widths[i];
    }
    Nine(dst, hx, ly + 1, lx + lw - 1 - 17 - hx, 18, Frame(header, 1, 5, false), M("HeaderMargin"), false);
    Text(dst, lx + 6, ly + 24, "an  ang  ai", C("WindowText"));
    ScrollBar(dst, lx + lw - 18, ly + 1, lh - 2);

    // Status bar with the size grip.
    int sy = oy + H - bb - 20;
    FillBox(dst, left, sy, right - left, 20, ToRgb(p_.face));
    Bitmap panels = Img("statusbar.bmp");
    Nine(dst, left + 2, sy + 2, 150, 17, Frame(panels, 1, 3, false), M("StatusMargin"), false);
    Nine(dst, left + 154, sy + 2, right - left - 156, 17, Frame(panels, 1, 3, false), M("StatusMargin"), false);
    Text(dst, left + 7, sy + 7, "12 rhymes", C("WindowText"));
    Text(dst, left + 159, sy + 7, "CN", C("WindowText"));
    Bitmap grip = Frame(Img("extra.bmp"), 5, 5, false);
    dst.Blit(grip, right - 1 - grip.w, sy + 20 - 1 - grip.h, true);
  }

  void ScrollBar(Bitmap& dst, int x, int y, int h) const {
    const int a = 17;
    Bitmap sb = Img("scrollbar.bmp");
    FillBox(dst, x, y, a, h, ToRgb(p_.face));
    Nine(dst, x, y + a, a, h - 2 * a, Frame(Img("vscroll.bmp"), 1, 4, false), {}, false);
    dst.Blit(Frame(sb, 9, 23, false), x, y, true);
    dst.Blit(Frame(sb, 16, 23, false), x, y + h - a, true);
    int ts = y + a + 4, tl = std::max(12, (h - 2 * a) / 2);
    int e = V("ThumbEnd");
    Nine(dst, x, ts, a, tl, Frame(Img("vthumb.bmp"), 1, 3, false), {0, e, 0, e}, true);
    dst.Blit(Frame(sb, 20, 23, false), x, ts + (tl - a) / 2, true);
  }

  // A popup menu, an inactive window with an up-down, and the MDI buttons.
  void Extras(Bitmap& dst, int ox, int oy) const {
    int mw = 124, mh = 96;
    int gl = V("MenuBgLeft"), ge = V("MenuBgEdge");
    Nine(dst, ox, oy, mw, mh, Img("menubg.bmp"), {gl, ge, ge, ge}, false);
    const char* items[] = {"Open", "Save", "-", "Skin", "Exit"};
    int iy = oy + 3, m = V("MenuItemMargin");
    Bitmap strip = Img("menuitem.bmp");
    for (int i = 0; i < 5; ++i) {
      bool sep = items[i][0] == '-';
      int ih = sep ? 9 : 19;
      if (sep) {
        Bitmap f = Frame(strip, 2, 5, false);
        Bitmap bottom = f.Crop(0, f.h - ih, f.w, ih);
        Nine(dst, ox + 3, iy, mw - 6, ih, bottom, {m, 0, m, 0}, true);
      } else {
        bool sel = i == 1;
        Nine(dst, ox + 3, iy, mw - 6, ih, Frame(strip, sel ? 4 : 1, 5, false), {m, m, m, m}, true);
        Text(dst, ox + 3 + 1 + m + 16 + 3 + 2, iy + 6, items[i], C(sel ? "HilightText" : "MenuText"));
        if (i == 3) dst.Blit(Frame(Img("check.bmp"), 5, 12, false), ox + 3 + 1 + m + 2, iy + 3, true);
      }
      iy += ih;
    }

    int wy = oy + mh + 12;
    int cy = Window(dst, ox, wy, 190, 96, false, "Inactive", false);
    Bitmap ud = Img("updownv.bmp"), glyph = Img("updownvglyph.bmp");
    int ux = ox + 12, uy = cy + 10;
    FillBox(dst, ux, uy, 60, 22, Rgb{255, 255, 255});
    FrameBox(dst, ux, uy, 60, 22, ToRgb(p_.border));
    Text(dst, ux + 5, uy + 8, "42", C("WindowText"));
    for (int half = 0; half < 2; ++half) {
      int frame = half == 0 ? 4 : 5;
      Bitmap f = Frame(ud, frame, 8, false);
      Nine(dst, ux + 60 - 17, uy + 1 + half * 10, 16, 10, f, {}, false);
      Centered(dst, ux + 60 - 17, uy + 1 + half * 10, 16, 10, Frame(glyph, frame, 8, false));
    }
    // The MDI child's buttons on a strip of menu bar.
    Bitmap bar = Frame(Img("menubar.bmp"), 1, 2, true);
    Nine(dst, ox + 12, uy + 30, 80, bar.h, bar, {1, 0, 1, 0}, false);
    Bitmap mdi = Img("mdicontrols.bmp");
    for (int i = 0; i < 3; ++i)
      dst.Blit(Frame(mdi, i * 4 + (i == 2 ? 4 : 1), 12, false), ox + 12 + 80 - 3 - (3 - i) * 20, uy + 30 + (bar.h - mdi.h) / 2, true);
    // Trackbar thumb vertical and the horizontal scroll bar parts.
    Bitmap sb = Img("scrollbar.bmp");
    int hx = ox + 100, hy = uy + 4, hw = 80;
    FillBox(dst, hx, hy, hw, 17, ToRgb(p_.face));
    Nine(dst, hx + 17, hy, hw - 34, 17, Frame(Img("hscroll.bmp"), 1, 4, false), {}, false);
    dst.Blit(Frame(sb, 1, 23, false), hx, hy, true);
    dst.Blit(Frame(sb, 8, 23, false), hx + hw - 17, hy, true);
    int e = V("ThumbEnd");
    Nine(dst, hx + 24, hy, 30, 17, Frame(Img("hthumb.bmp"), 3, 3, false), {e, 0, e, 0}, true);
    dst.Blit(Frame(sb, 19, 23, false), hx + 24 + 6, hy, true);
  }

 private:
  const Palette& p_;
  const SkinArt& art_;
};

// How the library cuts each picture into frames, for the strips of the sheet.
struct StripInfo {
  const char* file;
  int frames;
  bool stacked;
};

const StripInfo kStrips[] = {
    {"left.bmp", 2, false},        {"right.bmp", 2, false},      {"top.bmp", 2, true},          {"bottom.bmp", 2, true},
    {"textback.bmp", 2, true},     {"close.bmp", 4, false},      {"maximize.bmp", 4, false},    {"restore.bmp", 4, false},
    {"minimize.bmp", 4, false},    {"help.bmp", 4, false},       {"mdicontrols.bmp", 12, false}, {"menubar.bmp", 2, true},
    {"menuitem.bmp", 5, false},    {"menubg.bmp", 1, false},     {"buttons.bmp", 5, false},     {"check.bmp", 12, false},
    {"radio.bmp", 8, false},       {"tabs.bmp", 5, false},       {"tabpane.bmp", 1, false},     {"groupbox.bmp", 2, false},
    {"statusbar.bmp", 3, false},   {"extra.bmp", 5, false},      {"combobutton.bmp", 4, false}, {"sunkedge.bmp", 4, false},
    {"header.bmp", 5, false},      {"scrollbar.bmp", 23, false}, {"hscroll.bmp", 4, false},     {"vscroll.bmp", 4, false},
    {"hthumb.bmp", 3, false},      {"vthumb.bmp", 3, false},     {"track.bmp", 1, false},       {"trackvert.bmp", 1, false},
    {"trackthumbh.bmp", 5, false}, {"trackthumbv.bmp", 5, false}, {"updownh.bmp", 8, false},    {"updownhglyph.bmp", 8, false},
    {"updownv.bmp", 8, false},     {"updownvglyph.bmp", 8, false}, {"progress.bmp", 2, false},  {"chunk.bmp", 1, false},
};

// Magenta shows as a light checker board, so transparency reads at a glance.
Bitmap ShowKey(const Bitmap& b) {
  Bitmap out = b;
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x)
      if (b.at(x, y) == kKey) out.at(x, y) = ((x / 3 + y / 3) % 2) ? Rgb{0xE8, 0xE8, 0xE8} : Rgb{0xD0, 0xD0, 0xD0};
  return out;
}

}  // namespace

Bitmap ContactSheet(const Palette& p, const SkinArt& art) {
  const int width = 560, stripsX = 10;
  // Lay the strips out first to know the height.
  struct Placed {
    const StripInfo* info;
    int x, y;
  };
  std::vector<Placed> placed;
  int x = stripsX, y = 30 + 350 + 16, rowH = 0;
  for (const StripInfo& s : kStrips) {
    const Bitmap& b = art.images.at(s.file);
    int w = b.w + (s.stacked ? 0 : s.frames - 1) * 2;  // a gap between frames
    int h = b.h + (s.stacked ? (s.frames - 1) * 2 : 0) + 10;
    int cellW = std::max(w, TextWidth(s.file)) + 12;
    if (x + cellW > width) {
      x = stripsX;
      y += rowH + 6;
      rowH = 0;
    }
    placed.push_back({&s, x, y});
    x += cellW;
    rowH = std::max(rowH, h);
  }
  int height = y + rowH + 10;
  Bitmap sheet(width, height, kGround);
  Text(sheet, 10, 10, p.name + " skin", kInk);

  Mock mock(p, art);
  mock.Draw(sheet, 10, 30);
  mock.Extras(sheet, 352, 30);

  for (const Placed& pl : placed) {
    const Bitmap& b = art.images.at(pl.info->file);
    std::string label = pl.info->file;
    label = label.substr(0, label.size() - 4);
    Text(sheet, pl.x, pl.y, label, kInk);
    for (int k = 1; k <= pl.info->frames; ++k) {
      Bitmap f = ShowKey(Frame(b, k, pl.info->frames, pl.info->stacked));
      if (pl.info->stacked)
        sheet.Blit(f, pl.x, pl.y + 10 + (k - 1) * (f.h + 2));
      else
        sheet.Blit(f, pl.x + (k - 1) * (f.w + 2), pl.y + 10);
    }
  }
  return sheet;
}

Bitmap CombinedSheet(const std::vector<Bitmap>& sheets) {
  int w = 0, h = 0;
  for (const Bitmap& s : sheets) {
    w += s.w;
    h = std::max(h, s.h);
  }
  Bitmap out(w, h, kGround);
  int x = 0;
  for (const Bitmap& s : sheets) {
    out.Blit(s, x, 0);
    x += s.w;
  }
  return out;
}
