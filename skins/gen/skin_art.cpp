// Draws every picture of a skin from its palette. Each element is composed over what the library
// paints behind it (the title bar under a caption button, the button face under a check box), so
// anti-aliased edges blend into the right colour, and is then cut with the magenta key where the
// library draws it transparent.
#include "skins/gen/skin_art.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <stdexcept>

namespace {

// ---- geometry shared by the frame pictures and the INI text ----
constexpr int kBorder = 4;         // width of the side borders and height of the bottom border
constexpr int kTopEnd = 10;        // unscaled columns at each end of the top border
constexpr int kTopMiddle = 12;     // stretched middle of the top border
constexpr int kSideMiddle = 8;     // stretched middle rows of the side borders
constexpr int kMenuBarHeight = 20;
constexpr int kScrollSize = 17;    // the platform's scroll-bar arrow size
constexpr int kComboButtonW = kScrollSize + 2;  // the button cell the loader cuts for a combo box
constexpr int kComboH = 21;
constexpr int kMenuGutter = 22;    // tinted glyph column of popup menus

Sdf Rect(float x0, float y0, float x1, float y1) {
  return [=](float x, float y) { return std::max(std::max(x0 - x, x - x1), std::max(y0 - y, y - y1)); };
}

// Sets to the key every pixel that the mask covers less than half.
Bitmap KeyOutside(Bitmap b, const Sdf& mask) {
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x)
      if (mask(x + 0.5f, y + 0.5f) > 0.0f) b.at(x, y) = kKey;
  return b;
}

Bitmap AllKey(int w, int h) { return Bitmap(w, h, kKey); }

Bitmap Opaque(const Layer& l) { return l.Flatten(false, Color{}); }

Layer Backdrop(int w, int h, const Paint& paint) {
  Layer l(w, h);
  l.FillRect(0, 0, float(w), float(h), paint);
  return l;
}

// A raised, rounded surface: gradient body, soft inner highlight, one-pixel outline.
struct Look {
  Color top, bottom, border;
  float highlight = 0.6f;  // opacity of the white inner line
};

void PaintSurface(Layer& l, float x0, float y0, float x1, float y1, float r, const Look& k) {
  Sdf shape = RoundRect(x0, y0, x1, y1, r);
  l.Fill(shape, VGrad(y0, y1, k.top, k.bottom));
  if (k.highlight > 0)
    l.Fill(Ring(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(r - 1, 0.0f)), 1.0f),
           VGrad(y0, y1, Hex(0xFFFFFF), k.bottom), k.highlight);
  l.Fill(Ring(shape, 1.0f), Solid(k.border));
}

enum class State { Normal, Hot, Pressed, Disabled, Focused };

// The look of push buttons and the other raised controls of the client area.
Look ControlLook(const Palette& p, State s) {
  switch (s) {
    case State::Hot:
      return {Mix(p.faceLight, p.accent, 0.12f), Mix(p.face, p.accent, 0.28f), Mix(p.border, p.accent, 0.6f), 0.7f};
    case State::Pressed:
      return {Mix(p.face, p.shadow, 0.30f), Mix(p.face, p.shadow, 0.10f), Mix(p.border, p.dkShadow, 0.35f), 0.0f};
    case State::Disabled:
      return {Mix(p.face, p.faceLight, 0.5f), Mix(p.face, p.faceLight, 0.2f), Mix(p.border, p.face, 0.55f), 0.3f};
    case State::Focused:
      return {p.faceLight, Mix(p.face, p.shadow, 0.14f), p.accent, 0.7f};
    case State::Normal:
    default:
      return {p.faceLight, Mix(p.face, p.shadow, 0.14f), p.border, 0.7f};
  }
}

std::string Num(int v) { return std::to_string(v); }

std::string RgbText(Color c) {
  Rgb q = ToRgb(c);
  return Num(q.r) + " " + Num(q.g) + " " + Num(q.b);
}

// The platform's colour value: red in the low byte.
std::string ColorInt(Color c) {
  Rgb q = ToRgb(c);
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X%02X%02X", q.b, q.g, q.r);
  return buf;
}

// ---- caption-button symbols, drawn on an 8-pixel design box centred at (cx, cy) ----
enum class Symbol { Close, Maximize, Restore, Minimize, Help };

Sdf SymbolShape(Symbol s, float cx, float cy) {
  float a = std::floor(cx - 4), t = std::floor(cy - 4), b = a + 8, u = t + 8;
  switch (s) {
    case Symbol::Close:
      return Union(Capsule(a + 0.5f, t + 0.5f, b - 0.5f, u - 0.5f, 0.9f), Capsule(a + 0.5f, u - 0.5f, b - 0.5f, t + 0.5f, 0.9f));
    case Symbol::Maximize:
      return Union(Ring(Rect(a, t, b, u), 1.0f), Rect(a, t, b, t + 2));
    case Symbol::Restore: {
      Sdf front = Union(Ring(Rect(a, t + 3, b - 3, u), 1.0f), Rect(a, t + 3, b - 3, t + 5));
      Sdf back = Subtract(Union(Ring(Rect(a + 3, t, b, u - 3), 1.0f), Rect(a + 3, t, b, t + 2)), Rect(a, t + 3, b - 3, u));
      return Union(front, back);
    }
    case Symbol::Minimize:
      return Rect(a, u - 2, b, u);
    case Symbol::Help:
    default:
      return Union(Union(Arc(cx, t + 2.6f, 2.6f, 180, 400, 0.9f), Capsule(cx + 2.0f, t + 4.3f, cx, t + 5.6f, 0.9f)),
                   Circle(cx, u - 0.6f, 1.1f));
  }
}

class Painter {
 public:
  explicit Painter(const Palette& p) : p_(p) {}

  SkinArt Run() {
    Colours();
    Frame();
    CaptionButtons();
    MdiControls();
    PushButtons();
    CheckAndRadio();
    Tabs();
    Boxes();
    ComboParts();
    ScrollParts();
    TrackParts();
    UpDowns();
    Progress();
    Header();
    Menus();
    return std::move(art_);
  }

 private:
  const Palette& p_;
  SkinArt art_;

  void Put(const std::string& name, Bitmap b) { art_.images[name] = std::move(b); }
  void Set(const std::string& key, const std::string& value) { art_.values[key] = value; }
  void Set(const std::string& key, int value) { Set(key, Num(value)); }

  int Th() const { return p_.titleHeight; }
  int SysButtonSize() const { return p_.titleHeight - 8; }

  // The title bar's colour at a row, as the window shows it.
  Paint TitlePaint(bool active) const {
    return active ? VGrad(0, float(Th()), p_.captionTop, p_.captionBottom)
                  : VGrad(0, float(Th()), p_.captionTopInactive, p_.captionBottomInactive);
  }

  void Colours() {
    Set("SkinName", p_.name);
    Set("WindowText", RgbText(p_.text));
    Set("ButtonFace", RgbText(p_.face));
    Set("Scrollbar", RgbText(TrackColor()));
    Set("HilightText", RgbText(p_.accentText));
    Set("Hilight", RgbText(p_.accent));
    Set("Menubar", RgbText(Mix(p_.menuBarTop, p_.menuBarBottom, 0.5f)));
    Set("Menu", RgbText(p_.menuBg));
    Set("MenuText", RgbText(p_.menuText));
    Set("ButtonText", RgbText(p_.text));
    Set("ButtonHilight", RgbText(p_.menuHotFrame));
    Set("Buttonlight", RgbText(p_.faceLight));
    Set("ButtonShadow", RgbText(p_.shadow));
    Set("ButtonDkShadow", RgbText(p_.dkShadow));
    Set("MenuBarText", RgbText(p_.menuBarText));
    Set("TitleTextActive", RgbText(p_.titleText));
    Set("TitleTextNoActive", RgbText(p_.titleTextInactive));
    Rgb a = ToRgb(p_.titleText), i = ToRgb(p_.titleTextInactive);
    Set("ActiveTextR", a.r);
    Set("ActiveTextG", a.g);
    Set("ActiveTextB", a.b);
    Set("InActiveTextR", i.r);
    Set("InActiveTextG", i.g);
    Set("InActiveTextB", i.b);
    // Custom colours: the palette's tones from light to dark, for application code that asks.
    const Color tones[10] = {p_.faceLight, p_.face,   p_.menuBg,     p_.thumb,  p_.border,
                             p_.accent,    p_.shadow, p_.frameBody, p_.dkShadow, p_.text};
    for (int k = 0; k < 10; ++k) Set("Custom" + Num(k), RgbText(tones[k]));
    Set("ButtonTextInt", ColorInt(p_.text));
    Set("TabTextInt", ColorInt(p_.text));
    Set("StatusTextInt", ColorInt(p_.text));
    Set("HeaderTextInt", ColorInt(p_.text));
  }

  // ---- window frame ----
  // One model window is drawn per activation state and cut into the four borders, so corners,
  // outline and title gradient continue seamlessly from one border picture into the next.
  Bitmap FrameModel(bool active, int& w, int& h) const {
    w = kBorder + kTopEnd + kTopMiddle + kTopEnd + kBorder;
    h = Th() + kSideMiddle + kBorder;
    float fw = float(w), fh = float(h), r = float(p_.cornerRadius);
    Color body = active ? p_.frameBody : p_.frameBodyInactive;
    Color outline = active ? p_.frameOutline : p_.frameOutlineInactive;
    Color bottomOfTitle = active ? p_.captionBottom : p_.captionBottomInactive;
    Sdf shape = RoundRect4(0, 0, fw, fh, r, r, 0, 0);
    Layer l = Backdrop(w, h, Solid(outline));
    l.Fill(shape, Solid(body));
    l.Fill(Intersect(shape, Rect(0, 0, fw, float(Th()))), TitlePaint(active));
    // A light line under the outline gives the title bar its rounded, lit edge.
    l.Fill(Intersect(Ring(RoundRect4(1, 1, fw - 1, fh - 1, r - 1, r - 1, 0, 0), 1.0f), Rect(0, 0, fw, float(Th()) * 0.6f)),
           VGrad(0, float(Th()) * 0.6f, Hex(0xFFFFFF), bottomOfTitle), 0.55f);
    // The title bar's last row and the edge around the client area.
    l.FillRect(1, float(Th() - 1), fw - 1, float(Th()), Solid(Darken(bottomOfTitle, 0.18f)));
    l.FillRect(kBorder - 1, float(Th()), kBorder, fh - kBorder + 1, Solid(Darken(body, 0.28f)));
    l.FillRect(fw - kBorder, float(Th()), fw - kBorder + 1, fh - kBorder + 1, Solid(Darken(body, 0.28f)));
    l.FillRect(kBorder - 1, fh - kBorder, fw - kBorder + 1, fh - kBorder + 1, Solid(Darken(body, 0.28f)));
    l.Fill(Ring(shape, 1.0f), Solid(outline));
    return KeyOutside(Opaque(l), shape);
  }

  void Frame() {
    int w = 0, h = 0;
    Bitmap act = FrameModel(true, w, h), ina = FrameModel(false, w, h);
    int midW = w - 2 * kBorder;
    Put("left.bmp", HStrip({act.Crop(0, 0, kBorder, h), ina.Crop(0, 0, kBorder, h)}));
    Put("right.bmp", HStrip({act.Crop(w - kBorder, 0, kBorder, h), ina.Crop(w - kBorder, 0, kBorder, h)}));
    Put("top.bmp", VStrip({act.Crop(kBorder, 0, midW, Th()), ina.Crop(kBorder, 0, midW, Th())}));
    Put("bottom.bmp", VStrip({act.Crop(kBorder, h - kBorder, midW, kBorder), ina.Crop(kBorder, h - kBorder, midW, kBorder)}));
    Set("TitleHeight", Th());
    Set("BorderBottom", kBorder);
    Set("TopEnd", kTopEnd);

    // The plate behind the caption text: a soft capsule, its ends unscaled, its middle tiled.
    float radius = float(Th() - 8) / 2;
    int end = int(std::ceil(radius)) + 1;
    int pw = 2 * end + 6;
    std::vector<Bitmap> frames;
    for (bool active : {true, false}) {
      Layer l = Backdrop(pw, Th(), TitlePaint(active));
      Sdf plate = RoundRect(0.5f, 4, float(pw) - 0.5f, float(Th() - 4), radius);
      l.Fill(plate, Solid(Hex(0xFFFFFF)), p_.plateOpacity * (active ? 1.0f : 0.7f));
      l.Fill(Ring(plate, 1.0f), Solid(Darken(active ? p_.captionBottom : p_.captionBottomInactive, 0.25f)), 0.25f);
      frames.push_back(KeyOutside(Opaque(l), plate));
    }
    Put("textback.bmp", VStrip(frames));
    Set("TextBackEnd", end);

    // Caption buttons sit right-aligned: close, maximise or restore, minimise, then help.
    int bw = SysButtonSize(), gap = 2;
    int closeX = kBorder + 2 + bw, maxX = closeX + bw + gap, minX = maxX + bw + gap, helpX = minX + bw + gap;
    Set("CloseX", closeX);
    Set("MaxX", maxX);
    Set("MinX", minX);
    Set("HelpX", helpX);
    Set("SysButtonY", (Th() - bw) / 2);
    // The icon button shows the window's small icon; the caption text begins after it.
    Set("IconX", kBorder + 3);
    Set("IconY", (Th() - 16) / 2);
    Set("TextShift", 3 + 16 + 2);
    Set("TextRightClip", minX - kBorder + 4);
  }

  // ---- caption buttons: 1 normal, 2 pressed, 3 hot, 4 inactive window or disabled ----
  void CaptionButtons() {
    const std::pair<const char*, Symbol> buttons[] = {{"close.bmp", Symbol::Close},
                                                      {"maximize.bmp", Symbol::Maximize},
                                                      {"restore.bmp", Symbol::Restore},
                                                      {"minimize.bmp", Symbol::Minimize},
                                                      {"help.bmp", Symbol::Help}};
    int s = SysButtonSize(), y0 = (Th() - s) / 2;
    for (auto& [file, sym] : buttons) {
      std::vector<Bitmap> frames;
      for (int f = 1; f <= 4; ++f) frames.push_back(CaptionButton(sym, f, s, y0));
      Put(file, HStrip(frames));
    }
  }

  Bitmap CaptionButton(Symbol sym, int frame, int s, int y0) const {
    bool active = frame != 4;
    // The title bar behind the button, at the rows where the button sits.
    Paint behind = [this, active, y0](float x, float y) { return TitlePaint(active)(x, y + float(y0)); };
    Layer l = Backdrop(s, s, behind);
    float fs = float(s);
    Sdf shape = RoundRect(0, 0, fs, fs, 3.5f);
    bool lightCaption = Luminance(p_.captionBottom) > 0.35f;
    Color edge = Darken(p_.captionBottom, lightCaption ? 0.35f : 0.45f);
    Color glyph = active ? p_.titleText : p_.titleTextInactive;
    bool close = sym == Symbol::Close;
    switch (frame) {
      case 1:
        l.Fill(shape, VGrad(0, fs, Hex(0xFFFFFF), Hex(0xFFFFFF)), lightCaption ? 0.35f : 0.16f);
        l.Fill(Ring(shape, 1.0f), Solid(edge), 0.55f);
        break;
      case 2:
        if (close) {
          l.Fill(shape, VGrad(0, fs, Darken(p_.closeHot, 0.25f), Darken(p_.closeHot, 0.1f)));
          glyph = Hex(0xFFFFFF);
        } else {
          l.Fill(shape, Solid(Hex(0x000000)), 0.22f);
          l.Fill(Ring(shape, 1.0f), Solid(edge), 0.8f);
        }
        break;
      case 3:
        if (close) {
          l.Fill(shape, VGrad(0, fs, Lighten(p_.closeHot, 0.25f), p_.closeHot));
          glyph = Hex(0xFFFFFF);
        } else {
          l.Fill(shape, VGrad(0, fs, Hex(0xFFFFFF), Hex(0xFFFFFF)), lightCaption ? 0.65f : 0.34f);
        }
        l.Fill(Ring(shape, 1.0f), Solid(close ? Darken(p_.closeHot, 0.3f) : edge), 0.8f);
        break;
      default:
        break;
    }
    float off = frame == 2 ? 0.5f : 0.0f;
    Sdf symbol = SymbolShape(sym, fs / 2 + off, fs / 2 + off);
    l.Fill(symbol, Solid(glyph), frame == 4 ? 0.6f : 1.0f);
    // Frame 4 serves an inactive window and a disabled button of an active one alike: only the
    // faded symbol is drawn, and the title bar shows through the rest.
    return KeyOutside(Opaque(l), frame == 4 ? symbol : shape);
  }

  // ---- buttons of a maximised MDI child, in the menu bar: minimise, restore, close ----
  Paint MenuBarPaint(bool active) const {
    Color top = active ? p_.menuBarTop : Mix(p_.menuBarTop, p_.face, 0.6f);
    Color bottom = active ? p_.menuBarBottom : Mix(p_.menuBarBottom, p_.face, 0.6f);
    return VGrad(0, float(kMenuBarHeight - 1), top, bottom);
  }

  void MdiControls() {
    const int w = 16, h = 14, y0 = (kMenuBarHeight - h) / 2;
    std::vector<Bitmap> frames;
    for (Symbol sym : {Symbol::Minimize, Symbol::Restore, Symbol::Close})
      for (int f = 1; f <= 4; ++f) {
        Paint behind = [this, y0](float x, float y) { return MenuBarPaint(true)(x, y + float(y0)); };
        Layer l = Backdrop(w, h, behind);
        Sdf shape = RoundRect(0, 0, float(w), float(h), 3);
        // Frame 4 is what the menu bar shows under the mouse; 3 stands for it elsewhere.
        Look k = f == 1 ? ControlLook(p_, State::Normal) : f == 2 ? ControlLook(p_, State::Pressed) : ControlLook(p_, State::Hot);
        PaintSurface(l, 0, 0, float(w), float(h), 3, k);
        Color glyph = (sym == Symbol::Close && f >= 3) ? p_.closeHot : p_.text;
        l.Fill(SymbolShape(sym, w / 2.0f, h / 2.0f), Solid(glyph));
        frames.push_back(KeyOutside(Opaque(l), shape));
      }
    Put("mdicontrols.bmp", HStrip(frames));
  }

  // ---- push buttons: 1 normal, 2 pressed, 3 disabled, 4 hot, 5 focused ----
  void PushButtons() {
    const int w = 24, h = 22;
    const float r = 3.5f;
    std::vector<Bitmap> frames;
    for (State s : {State::Normal, State::Pressed, State::Disabled, State::Hot, State::Focused}) {
      Layer l = Backdrop(w, h, Solid(p_.face));
      PaintSurface(l, 0, 0, float(w), float(h), r, ControlLook(p_, s));
      if (s == State::Focused)
        l.Fill(Ring(RoundRect(1, 1, float(w) - 1, float(h) - 1, r - 1), 1.0f), Solid(p_.accent), 0.45f);
      frames.push_back(KeyOutside(Opaque(l), RoundRect(0, 0, float(w), float(h), r)));
    }
    Put("buttons.bmp", HStrip(frames));
    Set("ButtonMargin", 4);
  }

  // ---- check boxes (12 frames) and radio buttons (8 frames) ----
  // Four frames per check state: normal, hot, pressed, disabled; the library shows the first and
  // the last of each group.
  void CheckAndRadio() {
    const int s = 13;
    std::vector<Bitmap> checks, radios;
    for (int mark = 0; mark < 3; ++mark)
      for (State st : {State::Normal, State::Hot, State::Pressed, State::Disabled}) {
        checks.push_back(Glyph(false, mark, st, s));
        if (mark < 2) radios.push_back(Glyph(true, mark, st, s));
      }
    Put("check.bmp", HStrip(checks));
    Put("radio.bmp", HStrip(radios));
  }

  Bitmap Glyph(bool radio, int mark, State st, int s) const {
    float fs = float(s);
    Layer l = Backdrop(s, s, Solid(p_.face));
    Sdf shape = radio ? Circle(fs / 2, fs / 2, fs / 2 - 0.2f) : RoundRect(0, 0, fs, fs, 2.5f);
    Color top = p_.faceLight, bottom = Mix(p_.faceLight, p_.face, 0.8f), edge = Mix(p_.border, p_.dkShadow, 0.25f);
    Color markColor = Darken(p_.accent, Luminance(p_.accent) > 0.3f ? 0.35f : 0.0f);
    if (st == State::Hot) {
      top = Mix(p_.faceLight, p_.accent, 0.10f);
      bottom = Mix(p_.face, p_.accent, 0.22f);
      edge = p_.accent;
    } else if (st == State::Pressed) {
      top = Mix(p_.face, p_.shadow, 0.3f);
      bottom = Mix(p_.face, p_.shadow, 0.12f);
      edge = Mix(p_.border, p_.dkShadow, 0.5f);
    } else if (st == State::Disabled) {
      top = bottom = Mix(p_.face, p_.faceLight, 0.4f);
      edge = Mix(p_.border, p_.face, 0.45f);
      markColor = Mix(p_.shadow, p_.face, 0.2f);
    }
    l.Fill(shape, VGrad(0, fs, top, bottom));
    l.Fill(Ring(shape, 1.0f), Solid(edge));
    if (radio && mark == 1) {
      l.Fill(Circle(fs / 2, fs / 2, 2.9f), VGrad(3, 10, Lighten(markColor, 0.25f), markColor));
    } else if (!radio && mark == 1) {
      l.Fill(Polyline({{3.2f, 6.6f}, {5.5f, 9.0f}, {9.9f, 3.9f}}, 0.95f), Solid(markColor));
    } else if (!radio && mark == 2) {
      l.Fill(RoundRect(3.5f, 3.5f, 9.5f, 9.5f, 1.2f), VGrad(3, 10, Lighten(markColor, 0.3f), markColor));
    }
    return KeyOutside(Opaque(l), shape);
  }

  // ---- tabs (5 frames: normal, current, hot, disabled, current under the mouse) and the pane ----
  void Tabs() {
    const int w = 40, h = 21;
    const float r = 3.5f;
    std::vector<Bitmap> frames;
    for (int f = 1; f <= 5; ++f) {
      bool current = f == 2 || f == 5;
      Layer l = Backdrop(w, h, Solid(p_.face));
      Sdf shape = RoundRect4(0, 0, float(w), float(h) + 4, r, r, 0, 0);  // open at the bottom
      Color top = Mix(p_.face, p_.shadow, 0.06f), bottom = Mix(p_.face, p_.shadow, 0.20f), edge = p_.border;
      if (current) {
        top = p_.faceLight;
        bottom = p_.face;
      } else if (f == 3) {
        top = Mix(p_.faceLight, p_.accent, 0.10f);
        bottom = Mix(p_.face, p_.accent, 0.22f);
      } else if (f == 4) {
        top = bottom = Mix(p_.face, p_.faceLight, 0.3f);
        edge = Mix(p_.border, p_.face, 0.5f);
      }
      l.Fill(shape, VGrad(0, float(h), top, bottom));
      l.Fill(Ring(shape, 1.0f), Solid(edge));
      if (current) {
        l.Fill(Intersect(shape, Rect(0, 0, float(w), 3)), Solid(p_.accent));
      } else {
        l.FillRect(0, float(h - 1), float(w), float(h), Solid(p_.border));  // the pane's edge runs under it
      }
      frames.push_back(KeyOutside(Opaque(l), shape));
    }
    Put("tabs.bmp", HStrip(frames));
    Set("TabSideMargin", 4);
    Set("TabTopMargin", 4);
    Set("TabBottomMargin", 2);

    const int s = 16;
    Layer pane = Backdrop(s, s, Solid(p_.face));
    pane.Fill(Ring(Rect(0, 0, float(s), float(s)), 1.0f), Solid(p_.border));
    pane.Fill(Ring(Rect(1, 1, float(s) - 1, float(s) - 1), 1.0f), Solid(p_.faceLight), 0.6f);
    Put("tabpane.bmp", Opaque(pane));
    Set("PaneMargin", 4);
  }

  // ---- group box edge, status-bar panels and the size grip ----
  void Boxes() {
    const int s = 12;
    std::vector<Bitmap> edges;
    for (Color c : {p_.border, p_.accent}) {
      Layer l = Backdrop(s, s, Solid(p_.face));
      l.Fill(Ring(RoundRect(0, 0, float(s), float(s), 3), 1.0f), Solid(c));
      edges.push_back(Opaque(l));
    }
    Put("groupbox.bmp", HStrip(edges));
    Set("GroupBoxMargin", 4);

    // 1 lowered, 2 raised, 3 plain.
    std::vector<Bitmap> panels;
    for (int f = 1; f <= 3; ++f) {
      Layer l = Backdrop(s, s, Solid(p_.face));
      if (f == 1) {
        l.Fill(RoundRect(0, 0, float(s), float(s), 2), VGrad(0, float(s), Mix(p_.face, p_.shadow, 0.12f), Mix(p_.face, p_.faceLight, 0.4f)));
        l.Fill(Ring(RoundRect(0, 0, float(s), float(s), 2), 1.0f), Solid(Mix(p_.border, p_.face, 0.25f)));
      } else if (f == 2) {
        l.Fill(RoundRect(0, 0, float(s), float(s), 2), VGrad(0, float(s), p_.faceLight, p_.face));
        l.Fill(Ring(RoundRect(0, 0, float(s), float(s), 2), 1.0f), Solid(Mix(p_.border, p_.face, 0.4f)));
      }
      panels.push_back(Opaque(l));
    }
    Put("statusbar.bmp", HStrip(panels));
    Set("StatusMargin", 3);
  }

  // ---- combo box: frame, button and arrow; the loader combines them into whole combo pictures ----
  void ComboParts() {
    // Frames: 1 normal, 2 pressed, 3 disabled, 4 hot or focused.
    const State states[4] = {State::Normal, State::Pressed, State::Disabled, State::Hot};
    const int s = 12;
    std::vector<Bitmap> sunk, buttons, extras;
    for (State st : states) {
      Color edge = st == State::Normal ? p_.border : st == State::Disabled ? Mix(p_.border, p_.face, 0.5f) : p_.accent;
      Layer l(s, s);
      l.Fill(Ring(Rect(0, 0, float(s), float(s)), 1.0f), Solid(edge));
      l.Fill(Ring(Rect(1, 1, float(s) - 1, float(s) - 1), 1.0f), Solid(Hex(0xFFFFFF)));
      // The middle is the combo's own text field and stays the key.
      sunk.push_back(l.Flatten(true, Color{}));

      const int bw = kComboButtonW, bh = kComboH;
      Layer b = Backdrop(bw, bh, Solid(Hex(0xFFFFFF)));
      PaintSurface(b, 1, 2, float(bw) - 2, float(bh) - 2, 2.5f, ControlLook(p_, st));
      // The outer two pixels at the top, right and bottom belong to the frame drawn beneath.
      buttons.push_back(KeyOutside(Opaque(b), Rect(0, 2, float(bw) - 2, float(bh) - 2)));

      extras.push_back(Arrow(st));
    }
    Put("sunkedge.bmp", HStrip(sunk));
    Put("combobutton.bmp", HStrip(buttons));
    extras.push_back(SizeGrip());
    Put("extra.bmp", HStrip(extras));
    Set("SunkMargin", 2);
    Set("ComboButtonMargin", 3);
  }

  Color ArrowColor(State st) const {
    switch (st) {
      case State::Disabled: return Mix(p_.shadow, p_.face, 0.35f);
      case State::Hot: return Darken(p_.accent, Luminance(p_.accent) > 0.3f ? 0.45f : 0.1f);
      case State::Pressed: return p_.dkShadow;
      default: return Mix(p_.text, p_.shadow, 0.35f);
    }
  }

  Bitmap Arrow(State st) const {
    const int s = 13;
    Layer l = Backdrop(s, s, Solid(ControlLook(p_, st).bottom));
    Sdf chevron = Polyline({{3.6f, 5.2f}, {6.5f, 8.1f}, {9.4f, 5.2f}}, 1.0f);
    l.Fill(chevron, Solid(ArrowColor(st)));
    return KeyOutside(Opaque(l), chevron);
  }

  Bitmap SizeGrip() const {
    const int s = 13;
    Layer l = Backdrop(s, s, Solid(p_.face));
    Sdf dots = Circle(-10, -10, 0), lights = Circle(-10, -10, 0);
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col <= row; ++col) {
        float x = 10.5f - 3.0f * col, y = 10.5f - 3.0f * (row - col);
        dots = Union(dots, Circle(x - 0.5f, y - 0.5f, 0.95f));
        lights = Union(lights, Circle(x + 0.5f, y + 0.5f, 0.95f));
      }
    l.Fill(lights, Solid(p_.faceLight));
    l.Fill(dots, Solid(p_.shadow));
    return KeyOutside(Opaque(l), Union(dots, lights));
  }

  // ---- scroll bars ----
  Color TrackColor() const { return Mix(p_.face, p_.shadow, 0.10f); }

  void ScrollParts() {
    const int a = kScrollSize;
    std::vector<Bitmap> frames;
    // Arrows: left, right, up, down; each normal, pressed, disabled (unused by the library), hot.
    const float dirs[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (auto& d : dirs)
      for (State st : {State::Normal, State::Pressed, State::Disabled, State::Hot}) frames.push_back(ScrollArrow(d[0], d[1], st));
    // Grips: horizontal then vertical, each normal, pressed, hot.
    for (bool vertical : {false, true})
      for (State st : {State::Normal, State::Pressed, State::Hot}) frames.push_back(Grip(vertical, st));
    frames.push_back(AllKey(a, a));  // the last frame is not shown
    Put("scrollbar.bmp", HStrip(frames));

    // Tracks: 1 enabled, 2 pressed, 3 disabled, 4 hot.
    std::vector<Bitmap> horz, vert;
    for (int f = 1; f <= 4; ++f) {
      Color body = f == 2 ? Mix(p_.face, p_.shadow, 0.2f) : f == 3 ? Mix(p_.face, p_.faceLight, 0.4f) : TrackColor();
      Color line = Mix(body, p_.shadow, 0.25f);
      Layer h = Backdrop(16, a, Solid(body)), v = Backdrop(a, 16, Solid(body));
      h.FillRect(0, 0, 16, 1, Solid(line));
      v.FillRect(0, 0, 1, 16, Solid(line));
      horz.push_back(Opaque(h));
      vert.push_back(Opaque(v));
    }
    Put("hscroll.bmp", HStrip(horz));
    Put("vscroll.bmp", HStrip(vert));

    // Thumbs: 1 normal, 2 pressed, 3 hot.
    const int len = 24;
    std::vector<Bitmap> ht, vt;
    for (State st : {State::Normal, State::Pressed, State::Hot}) {
      ht.push_back(Thumb(false, st, len));
      vt.push_back(Thumb(true, st, len));
    }
    Put("hthumb.bmp", HStrip(ht));
    Put("vthumb.bmp", HStrip(vt));
    Set("ThumbEnd", 6);
  }

  Color ThumbColor(State st) const {
    if (st == State::Hot) return Mix(p_.thumb, p_.accent, 0.30f);
    if (st == State::Pressed) return Mix(p_.thumb, p_.accent, 0.55f);
    return p_.thumb;
  }

  Bitmap ScrollArrow(float dx, float dy, State st) const {
    const int a = kScrollSize;
    float fa = float(a), c = fa / 2;
    Layer l = Backdrop(a, a, Solid(p_.face));
    Sdf shape = RoundRect(1, 1, fa - 1, fa - 1, 3);
    Look k = ControlLook(p_, st);
    if (st == State::Normal) k = {Mix(p_.faceLight, p_.face, 0.4f), Mix(p_.face, p_.shadow, 0.10f), Mix(p_.border, p_.face, 0.35f), 0.6f};
    PaintSurface(l, 1, 1, fa - 1, fa - 1, 3, k);
    // A chevron pointing along (dx, dy).
    float px = -dy, py = dx;  // across the arrow
    Sdf chevron = Polyline({{c - dx * 1.6f + px * 3.2f, c - dy * 1.6f + py * 3.2f},
                            {c + dx * 1.6f, c + dy * 1.6f},
                            {c - dx * 1.6f - px * 3.2f, c - dy * 1.6f - py * 3.2f}},
                           1.0f);
    l.Fill(chevron, Solid(ArrowColor(st)));
    return KeyOutside(Opaque(l), shape);
  }

  Bitmap Grip(bool vertical, State st) const {
    const int a = kScrollSize;
    float c = a / 2.0f;
    Color body = ThumbColor(st);
    Layer l = Backdrop(a, a, Solid(body));
    Sdf lines = Circle(-10, -10, 0), lights = Circle(-10, -10, 0);
    for (int k = -1; k <= 1; ++k) {
      float o = c + 2.5f * float(k);
      if (vertical) {
        lines = Union(lines, Rect(c - 3, o - 1, c + 3, o));
        lights = Union(lights, Rect(c - 3, o, c + 3, o + 1));
      } else {
        lines = Union(lines, Rect(o - 1, c - 3, o, c + 3));
        lights = Union(lights, Rect(o, c - 3, o + 1, c + 3));
      }
    }
    l.Fill(lights, Solid(Lighten(body, 0.5f)));
    l.Fill(lines, Solid(Darken(body, 0.35f)));
    return KeyOutside(Opaque(l), Union(lines, lights));
  }

  Bitmap Thumb(bool vertical, State st, int len) const {
    const int a = kScrollSize;
    int w = vertical ? a : len, h = vertical ? len : a;
    float fw = float(w), fh = float(h);
    Layer l = Backdrop(w, h, Solid(TrackColor()));
    Sdf shape = vertical ? RoundRect(2.5f, 1, fw - 2.5f, fh - 1, 4) : RoundRect(1, 2.5f, fw - 1, fh - 2.5f, 4);
    Color body = ThumbColor(st);
    Paint paint = vertical ? HGrad(2, fw - 2, Lighten(body, 0.25f), Darken(body, 0.06f))
                           : VGrad(2, fh - 2, Lighten(body, 0.25f), Darken(body, 0.06f));
    l.Fill(shape, paint);
    l.Fill(Ring(shape, 1.0f), Solid(Darken(body, 0.3f)));
    return KeyOutside(Opaque(l), shape);
  }

  // ---- track bars: channels and thumbs ----
  void TrackParts() {
    const int len = 20, thick = 5;
    for (bool vertical : {false, true}) {
      int w = vertical ? thick : len, h = vertical ? len : thick;
      Layer l = Backdrop(w, h, Solid(p_.face));
      Sdf groove = RoundRect(0, 0, float(w), float(h), 2.5f);
      l.Fill(groove, Solid(Mix(p_.face, p_.shadow, 0.28f)));
      l.Fill(Ring(groove, 1.0f), Solid(Mix(p_.shadow, p_.dkShadow, 0.3f)));
      Put(vertical ? "trackvert.bmp" : "track.bmp", Opaque(l));
    }
    Set("TrackEnd", 3);

    // Thumbs: the library shows frame 2; the others are normal, hot, pressed and disabled.
    for (bool vertical : {false, true}) {
      int w = vertical ? 20 : 11, h = vertical ? 11 : 20;
      std::vector<Bitmap> frames;
      for (State st : {State::Normal, State::Normal, State::Hot, State::Pressed, State::Disabled}) {
        Layer l = Backdrop(w, h, Solid(p_.face));
        Sdf shape = RoundRect(0, 0, float(w), float(h), 3.5f);
        PaintSurface(l, 0, 0, float(w), float(h), 3.5f, ControlLook(p_, st));
        Color mark = st == State::Disabled ? Mix(p_.border, p_.face, 0.5f) : p_.accent;
        if (vertical)
          l.FillRect(5, float(h) / 2 - 1, float(w) - 5, float(h) / 2 + 1, Solid(mark), 0.8f);
        else
          l.FillRect(float(w) / 2 - 1, 5, float(w) / 2 + 1, float(h) - 5, Solid(mark), 0.8f);
        frames.push_back(KeyOutside(Opaque(l), shape));
      }
      Put(vertical ? "trackthumbv.bmp" : "trackthumbh.bmp", HStrip(frames));
    }
  }

  // ---- up-down buttons: 1 normal, 2 pressed, 3 disabled, 4 hot; first arrow 1-4, second 5-8 ----
  void UpDowns() {
    for (bool vertical : {true, false}) {
      int w = vertical ? 16 : 11, h = vertical ? 11 : 16;
      int gw = vertical ? 9 : 6, gh = vertical ? 6 : 9;
      std::vector<Bitmap> buttons, glyphs;
      for (int second = 0; second < 2; ++second)
        for (State st : {State::Normal, State::Pressed, State::Disabled, State::Hot}) {
          Look k = ControlLook(p_, st);
          Layer b = Backdrop(w, h, VGrad(0, float(h), k.top, k.bottom));
          b.Fill(Ring(Rect(0, 0, float(w), float(h)), 1.0f), Solid(k.border));
          b.Fill(Ring(Rect(1, 1, float(w) - 1, float(h) - 1), 1.0f), Solid(Hex(0xFFFFFF)), k.highlight * 0.6f);
          buttons.push_back(Opaque(b));

          Layer g = Backdrop(gw, gh, Solid(Mix(k.top, k.bottom, 0.5f)));
          float fw = float(gw), fh = float(gh);
          Sdf tri = vertical ? (second ? Polygon({{1, 1.5f}, {fw - 1, 1.5f}, {fw / 2, fh - 1.2f}})
                                       : Polygon({{fw / 2, 1.2f}, {fw - 1, fh - 1.5f}, {1, fh - 1.5f}}))
                             : (second ? Polygon({{1.5f, 1}, {fw - 1.2f, fh / 2}, {1.5f, fh - 1}})
                                       : Polygon({{fw - 1.5f, 1}, {fw - 1.5f, fh - 1}, {1.2f, fh / 2}}));
          g.Fill(tri, Solid(ArrowColor(st)));
          glyphs.push_back(KeyOutside(Opaque(g), tri));
        }
      Put(vertical ? "updownv.bmp" : "updownh.bmp", HStrip(buttons));
      Put(vertical ? "updownvglyph.bmp" : "updownhglyph.bmp", HStrip(glyphs));
    }
  }

  // ---- progress bar: 1 trough, 2 bar; and the chunk of the block style ----
  void Progress() {
    const int w = 24, h = 14;
    float fw = float(w), fh = float(h);
    Color trough = Mix(p_.face, p_.faceLight, 0.6f);
    Layer t = Backdrop(w, h, Solid(p_.face));
    Sdf outer = RoundRect(0, 0, fw, fh, 3.5f);
    t.Fill(outer, VGrad(0, fh, Mix(trough, p_.shadow, 0.12f), trough));
    t.Fill(Ring(outer, 1.0f), Solid(Mix(p_.border, p_.shadow, 0.3f)));
    Layer b = Backdrop(w, h, Solid(trough));
    Sdf bar = RoundRect(1, 1, fw - 1, fh - 1, 2.5f);
    b.Fill(bar, VGrad3(1, fh * 0.45f, fh - 1, Lighten(p_.accent, 0.45f), p_.accent, Darken(p_.accent, 0.12f)));
    b.Fill(Ring(bar, 1.0f), Solid(Darken(p_.accent, 0.25f)), 0.6f);
    Put("progress.bmp", HStrip({KeyOutside(Opaque(t), outer), KeyOutside(Opaque(b), bar)}));
    Set("ProgressMargin", 4);

    Layer c = Backdrop(8, 10, Solid(trough));
    c.Fill(Rect(0, 0, 7, 10), VGrad(0, 10, Lighten(p_.accent, 0.35f), p_.accent));
    Put("chunk.bmp", Opaque(c));
  }

  // ---- header items: 1 normal, 2 hot, 3 pressed, 4 disabled, 5 normal ----
  void Header() {
    const int w = 24, h = 20;
    std::vector<Bitmap> frames;
    for (int f = 1; f <= 5; ++f) {
      Color top = p_.faceLight, bottom = Mix(p_.face, p_.shadow, 0.10f);
      if (f == 2) {
        top = Mix(p_.faceLight, p_.accent, 0.10f);
        bottom = Mix(p_.face, p_.accent, 0.22f);
      } else if (f == 3) {
        top = Mix(p_.face, p_.shadow, 0.22f);
        bottom = Mix(p_.face, p_.shadow, 0.08f);
      } else if (f == 4) {
        top = bottom = Mix(p_.face, p_.faceLight, 0.4f);
      }
      Layer l = Backdrop(w, h, VGrad(0, float(h), top, bottom));
      l.FillRect(float(w - 2), 3, float(w - 1), float(h - 3), Solid(Mix(p_.border, p_.face, 0.3f)));
      l.FillRect(float(w - 1), 3, float(w), float(h - 3), Solid(p_.faceLight));
      l.FillRect(0, float(h - 1), float(w), float(h), Solid(f == 2 ? p_.accent : p_.border));
      frames.push_back(Opaque(l));
    }
    Put("header.bmp", HStrip(frames));
    Set("HeaderMargin", 3);
  }

  // ---- menu bar, menu items and the popup-menu background ----
  void Menus() {
    const int w = 8, h = kMenuBarHeight;
    std::vector<Bitmap> bars;
    for (bool active : {true, false}) {
      Layer l = Backdrop(w, h, MenuBarPaint(active));
      l.FillRect(0, float(h - 1), float(w), float(h), Solid(Mix(p_.border, p_.face, 0.35f)));
      bars.push_back(Opaque(l));
    }
    Put("menubar.bmp", VStrip(bars));

    // Items: 1 normal (the popup's background shows), 2 separator, 3 selected but disabled,
    // 4 selected, 5 as 4.
    const int iw = 24, ih = 20, m = 3;
    std::vector<Bitmap> items;
    items.push_back(AllKey(iw, ih));
    {
      Layer l(iw, ih);
      l.FillRect(2, float(ih - 5), float(iw - 2), float(ih - 4), Solid(Mix(p_.border, p_.menuBg, 0.3f)));
      l.FillRect(2, float(ih - 4), float(iw - 2), float(ih - 3), Solid(Hex(0xFFFFFF)));
      items.push_back(l.Flatten(true, Color{}));
    }
    for (int f = 3; f <= 5; ++f) {
      Layer l = Backdrop(iw, ih, Solid(p_.menuBg));
      Sdf shape = RoundRect(1, 1, float(iw) - 1, float(ih) - 1, 3);
      Color a = f == 3 ? Mix(p_.accent, p_.menuBg, 0.6f) : p_.accent;
      l.Fill(shape, VGrad(1, float(ih) - 1, Lighten(a, 0.08f), Darken(a, 0.06f)));
      l.Fill(Ring(shape, 1.0f), Solid(Darken(a, 0.22f)), 0.8f);
      items.push_back(KeyOutside(Opaque(l), shape));
    }
    Put("menuitem.bmp", HStrip(items));
    Set("MenuItemMargin", m);

    // The popup: a 3-pixel frame and a tinted column behind the item glyphs.
    const int bw = 3 + kMenuGutter + 12 + 3, bh = 24;
    Layer bg = Backdrop(bw, bh, Solid(p_.menuBg));
    bg.FillRect(3, 3, float(3 + kMenuGutter), float(bh - 3), Solid(Mix(p_.menuBg, p_.face, 0.85f)));
    bg.FillRect(float(3 + kMenuGutter), 3, float(4 + kMenuGutter), float(bh - 3), Solid(Mix(p_.border, p_.menuBg, 0.55f)));
    bg.Fill(Ring(Rect(0, 0, float(bw), float(bh)), 1.0f), Solid(Mix(p_.border, p_.dkShadow, 0.3f)));
    Put("menubg.bmp", Opaque(bg));
    Set("MenuBgLeft", 3 + kMenuGutter + 1);
    Set("MenuBgEdge", 3);
  }
};

}  // namespace

SkinArt DrawSkin(const Palette& p) { return Painter(p).Run(); }

std::string FillTemplate(const std::string& text, const std::map<std::string, std::string>& values) {
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t open = text.find("${", pos);
    if (open == std::string::npos) break;
    size_t close = text.find('}', open);
    if (close == std::string::npos) throw std::runtime_error("unterminated placeholder in the INI template");
    std::string key = text.substr(open + 2, close - open - 2);
    auto it = values.find(key);
    if (it == values.end()) throw std::runtime_error("the INI template names an unknown value: " + key);
    out += text.substr(pos, open - pos);
    out += it->second;
    pos = close + 1;
  }
  out += text.substr(pos);
  return out;
}

std::vector<std::string> NamedImages(const std::string& iniText) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  auto trim = [](std::string t) {
    size_t a = t.find_first_not_of(" \t\r"), b = t.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : t.substr(a, b - a + 1);
  };
  size_t pos = 0;
  while (pos < iniText.size()) {
    size_t end = iniText.find('\n', pos);
    if (end == std::string::npos) end = iniText.size();
    std::string l = trim(iniText.substr(pos, end - pos));
    pos = end + 1;
    if (l.empty() || l[0] == ';' || l[0] == '[') continue;
    size_t eq = l.find('=');
    if (eq == std::string::npos) continue;
    std::string v = trim(l.substr(eq + 1));
    if (v.size() > 4 && v.compare(v.size() - 4, 4, ".bmp") == 0 && seen.insert(v).second) names.push_back(v);
  }
  return names;
}
