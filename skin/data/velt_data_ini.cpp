// The skin INI vocabulary: TSkinData.LoadFromIni, its readers of every section and key, the frame
// counts set afterwards and the records rebuilt from others. The rules that need no bitmap build
// natively too.
#include "skin/data/velt_data.h"

#include <algorithm>

// ---- Rules (every build)

bool IsCaptionButtonName(std::string_view Section) {
  const std::string upper = UpperCase(Section);
  return upper.rfind("BUTTON", 0) == 0 && upper != "BUTTON" && upper != "BUTTONS" && upper != "BUTTON.RADIO" &&
         upper != "BUTTON.CHECKBOX";
}

std::vector<std::string> CaptionButtonSections(const TQuickIni& Ini, const TStrings& Sections) {
  std::vector<std::string> out;
  for (int i = 0; i < Sections.Count(); ++i) {
    const std::string s = Sections.Strings(i);
    if (!IsCaptionButtonName(s)) continue;
    // A button with Action -1 is one only when it says Visibility 0.
    if (Ini.ReadInteger(s, "Action", 0) == -1 && Ini.ReadInteger(s, "Visibility", -1) != 0) continue;
    out.push_back(s);
  }
  return out;
}

bool IsExtraColourName(std::string_view Section) {
  const std::string upper = UpperCase(Section);
  return upper.rfind("COLOUR", 0) == 0 && upper != "COLOURS";
}

int CaptionButtonFrames(int Action, int Width, int Height, bool& DropImage) {
  DropImage = Action == 3 || Action == 11;
  if (Width <= 0 || Height <= 0 || Action < 0) return 6;
  // Width / Height <= 3.8, in integers: the same on every floating-point unit, also at exactly 3.8.
  return 5 * int64_t(Width) <= 19 * int64_t(Height) ? 3 : 6;
}

int CheckStripFrames(int Width, int Height) { return std::max(4, Width / (Height < 16 ? 13 : 16)); }

#ifdef _WIN32

#include <cstring>
#include <new>
#include <utility>

#include "skin/data/img_util.h"
#include "skin/data/skin_elements.h"
#include "skin/data/skin_reader.h"
#include "skin/data/skin_resources.h"
#include "skin/data/velt_text.h"

std::function<void()> SkinIniReadFault;

namespace {

constexpr TColor kMagenta = 0xFF00FF;

TPixelImage Solid(int w, int h, uint32_t rgb) {
  TPixelImage img(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.SetPixelRGB(x, y, rgb);
  return img;
}

// The pixel at (x, y) of a 24- or 32-bit picture (black outside it).
TColor PixelAt(TBitmap& bmp, int x, int y) {
  TPixelView v = bmp.PixelView();
  if (v.Empty() || x < 0 || y < 0 || x >= v.Width || y >= v.Height) return clBlack;
  if (v.BitsPerPixel == 1) return (v.Row(y)[x >> 3] & (0x80 >> (x & 7))) ? clWhite : clBlack;
  const uint8_t* p = v.Row(y) + size_t(x) * size_t(v.BitsPerPixel / 8);
  return MakeColor(p[2], p[1], p[0]);
}

// The w x h part of bmp at (x, y) in bmp's own depth; what lies outside bmp is magenta.
TPixelImage Crop(TBitmap& bmp, int x, int y, int w, int h) {
  TPixelView v = bmp.PixelView();
  const int bpp = v.Empty() || v.BitsPerPixel == 1 ? 24 : v.BitsPerPixel;
  TPixelImage out(w, h, bpp);
  const size_t px = size_t(bpp / 8);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      const int sx = x + c, sy = y + r;
      if (v.Empty() || v.BitsPerPixel == 1 || sx < 0 || sy < 0 || sx >= v.Width || sy >= v.Height)
        out.SetPixelRGB(c, r, kMagenta);
      else
        std::memcpy(out.Row(r) + size_t(c) * px, v.Row(sy) + size_t(sx) * px, px);
    }
  return out;
}

// ---- Exchanging the fixed records' contents

void SwapBase(TDataSkinObject& a, TDataSkinObject& b) noexcept {
  using std::swap;
  swap(a.Margins, b.Margins);
  swap(a.Map, b.Map);
  swap(a.Trans, b.Trans);
  swap(a.Tile, b.Tile);
  swap(a.Name, b.Name);
  swap(a.Frame, b.Frame);
  swap(a.Style, b.Style);
  swap(a.NormalColour, b.NormalColour);
  swap(a.MouseOverColour, b.MouseOverColour);
  swap(a.PressedColour, b.PressedColour);
  swap(a.NormalColour2, b.NormalColour2);
  swap(a.MouseOverColour2, b.MouseOverColour2);
  swap(a.PressedColour2, b.PressedColour2);
}

void SwapContent(TDataSkinBorder& a, TDataSkinBorder& b) noexcept {
  SwapBase(a, b);
  std::swap(a.Map2, b.Map2);
}

void SwapContent(TDataSkinButton& a, TDataSkinButton& b) noexcept {
  using std::swap;
  SwapBase(a, b);
  swap(a.CheckMap, b.CheckMap);
  swap(a.RadioMap, b.RadioMap);
  swap(a.RadioButtonFrame, b.RadioButtonFrame);
  swap(a.CheckButtonFrame, b.CheckButtonFrame);
  swap(a.HasNormalColour2, b.HasNormalColour2);
  swap(a.HasMouseOverColour2, b.HasMouseOverColour2);
  swap(a.HasPressedColour2, b.HasPressedColour2);
}

void SwapContent(TDataSkinTitle& a, TDataSkinTitle& b) noexcept {
  using std::swap;
  SwapBase(a, b);
  swap(a.TextAlignment, b.TextAlignment);
  swap(a.Textbackground, b.Textbackground);
  swap(a.FontHeight, b.FontHeight);
  swap(a.TXTBackleft, b.TXTBackleft);
  swap(a.TXTBackRight, b.TXTBackRight);
  swap(a.ActiveText, b.ActiveText);
  swap(a.InActiveText, b.InActiveText);
}

// ---- The reader of one skin

class TSkinIniReader {
public:
  TSkinIniReader(TSkinElements& Out, const TQuickIni& Ini, TSkinReader* Reader)
      : e_(Out), ini_(Ini), reader_(Reader) {}

  void Run() {
    TStringList sections;
    ini_.ReadSections(sections);
    e_.SkinName = ini_.ReadString("TitlebarSkin", "SkinName", "");
    ReadBord();
    ReadColor(sections);
    ReadSysButton(sections);
    if (SkinIniReadFault) SkinIniReadFault();
    ReadButton();
    ReadTitle();
    for (const TSkinElementInfo& info : SkinElementTable()) ReadElement(info);
    SetFrame();
    ReBuildCombobox();
    ReBuildComboxArrow();
    RebuildToolbar();
    e_.Colors[csCaption] = e_.CaptionColor();
    // A skin without ButtonFace leaves a system colour here, which a brush must not be made of.
    e_.FaceBrush.reset(CreateSolidBrush(GdiColor(e_.Colors[csButtonFace])));
  }

private:
  // ---- Notations

  std::string Str(const std::string& sec, const std::string& key) const { return ini_.ReadString(sec, key, ""); }
  int32_t Int(const std::string& sec, const std::string& key, int32_t def) const {
    return ini_.ReadInteger(sec, key, def);
  }
  // A fixed edge size: never negative.
  int32_t Margin(const std::string& sec, const std::string& key, int32_t def = 0) const {
    return std::max(0, Int(sec, key, def));
  }
  TColor Color(const std::string& sec, const std::string& key, TColor def) const {
    return TSkinData::GetColor(Str(sec, key), def);
  }
  void ReadRGB(const std::string& sec, const std::string& prefix, TColor& c) const {
    const int32_t r = Int(sec, prefix + "R", -1), g = Int(sec, prefix + "G", -1), b = Int(sec, prefix + "B", -1);
    if (r >= 0 && g >= 0 && b >= 0) c = RGBToColor(uint8_t(r), uint8_t(g), uint8_t(b));
  }
  // The archive entry of the bare file name, when it is a ".bmp" one; a missing, empty or
  // damaged entry leaves the bitmap empty.
  void Readbmp(TBitmap& bmp, const std::string& value) const {
    const std::string name = ExtractFileName(value);
    if (ExtractFileExt(name) != ".bmp" || !reader_) return;
    TMemoryStream entry;
    reader_->readfile(name, entry);
    if (entry.Size() <= 0) return;
    try {
      bmp.LoadFromStream(entry);
    } catch (const Exception&) {
      bmp.Assign(nullptr);
    } catch (const std::bad_alloc&) {
      // A picture that claims more pixels than memory holds is a damaged one too.
      bmp.Assign(nullptr);
    }
  }

  // ---- Readers

  void ReadBord() {
    static const char* const kNames[4] = {"Left", "Right", "Top", "Bottom"};
    for (int i = 0; i < 4; ++i) {
      TDataSkinBorder& b = *e_.Borders[size_t(i)];
      const std::string n = kNames[i];
      const int32_t first = Margin("Personality", n + "TopHeight"), last = Margin("Personality", n + "BotHeight");
      if (i < 2)
        b.Margins = Rect(0, first, 0, last);
      else
        b.Margins = Rect(first, 0, last, 0);
      b.Frame = Int("Personality", n + "Frame", 1);
      b.Tile = std::clamp(Int("Personality", n + "Stretch", 1), 0, 1);
      b.Trans = Int("Personality", n + "Trans", 1);
      Readbmp(*b.Map, Str("Personality", n));
    }
  }

  void ReadColor(const TStrings& sections) {
    static const struct {
      const char* key;
      TShemeColor slot;
      TColor def;
    } kColours[] = {
        {"WindowText", csText, clWindowText},
        {"ButtonFace", csButtonFace, clBtnFace},
        {"Scrollbar", csScrollbar, clScrollBar},
        {"HilightText", csHilightText, clHighlightText},
        {"Hilight", csHilight, clHighlight},
        {"Menubar", csMenuBar, clNone},  // default: the ButtonFace just read
        {"Menu", csMenubg, clMenu},
        {"MenuText", csMenuText, clMenuText},
        {"ButtonText", csButtonText, clBtnText},
        {"ButtonHilight", csButtonHilight, clBtnHighlight},
        {"Buttonlight", csButtonlight, clBtnHighlight},
        {"ButtonShadow", csButtonShadow, clBtnShadow},
        {"ButtonDkShadow", csButtonDkshadow, cl3DDkShadow},
        {"MenuBarText", csMenuBarText, clMenuText},
        {"TitleTextActive", csTitleTextActive, clCaptionText},
        {"TitleTextNoActive", csTitleTextNoActive, clInactiveCaptionText},
    };
    for (const auto& c : kColours)
      e_.Colors[c.slot] = Color("Colours", c.key, c.slot == csMenuBar ? e_.Colors[csButtonFace] : c.def);
    e_.PreColors.clear();
    for (int i = 0; i < sections.Count(); ++i)
      if (IsExtraColourName(sections.Strings(i))) e_.PreColors.push_back(Color(sections.Strings(i), "color", clWindowText));
    for (int i = 0; i < 10; ++i) e_.CustomColors[i] = Color("Customcolors", "Color" + std::to_string(i), clWhite);
  }

  void ReadSysButton(const TStrings& sections) {
    e_.SysButtons.clear();
    const std::vector<std::string> names = CaptionButtonSections(ini_, sections);
    bool remembered = false;
    int32_t rememberedX = 0, rememberedY = 0;
    for (const std::string& s : names) {
      auto b = std::make_unique<TDataSkinSysButton>(UpperCase(s));
      b->Action = Int(s, "Action", 0);
      b->Align = Int(s, "Align", 0);
      b->Xcoord = Int(s, "Xcoord", 0);
      b->Ycoord = Int(s, "Ycoord", 0);
      b->Visibility = Int(s, "Visibility", 0);
      b->Visibility1 = Int(s, "Visibility1", b->Action == -1 ? -1 : 0);
      if (b->Action == 1 && b->Visibility == 2) {
        remembered = true;
        rememberedX = b->Xcoord;
        rememberedY = b->Ycoord;
      }
      // A help button without a maximise button to stand in for keeps its own place.
      if (b->Action == 4 && remembered) {
        b->Xcoord = rememberedX;
        b->Ycoord = rememberedY;
      }
      b->CombineOp = Int(s, "CombineOp", -1);
      b->Frame = Int(s, "frame", 0);
      Readbmp(*b->Map, Str(s, "ButtonImage"));
      if (b->Frame == 0) {
        bool drop = false;
        b->Frame = CaptionButtonFrames(b->Action, b->Map->Width(), b->Map->Height(), drop);
        if (drop) b->Map->Assign(nullptr);
      }
      e_.SysButtons.push_back(std::move(b));
    }
    const size_t firstMdi = e_.SysButtons.size();
    for (int32_t action : {7, 8, 9}) {
      auto b = std::make_unique<TDataSkinSysButton>("MDICONTROLS");
      b->Action = action;
      b->Align = b->Visibility = b->Visibility1 = 100;
      b->Frame = 4;
      e_.SysButtons.push_back(std::move(b));
    }
    CreateMdibtn(firstMdi);
  }

  // Cuts the maximised MDI child's three buttons (four frames each) out of one picture.
  void CreateMdibtn(size_t first) {
    TBitmap image;
    Readbmp(image, Str("MDICONTROLS", "Image"));
    const int w = image.Width(), h = image.Height(), c = w / 12;
    if (image.Empty() || c <= 0) return;
    for (int i = 0; i < 3; ++i) {
      TDataSkinSysButton& b = *e_.SysButtons[first + size_t(i)];
      b.Map->AssignPixels(Crop(image, i * 4 * c, 0, 4 * c, h));
      b.Xcoord = (c + 4) * (3 - i);
    }
  }

  void ReadButton() {
    TDataSkinButton& b = *e_.Buttons;
    const std::string s = "Buttons";
    b.Margins = ReadMargins(s);
    b.Trans = Int(s, "Trans", 0);
    Readbmp(*b.Map, Str(s, "Bitmap"));
    b.Tile = Int(s, "Tile", 0) == 1 ? 1 : 0;
    Readbmp(*b.CheckMap, Str(s, "CheckButton"));
    Readbmp(*b.RadioMap, Str(s, "RadioButton"));
    b.NormalColour = Int(s, "NormalColour", -1);
    b.MouseOverColour = Int(s, "MouseOverColour", -1);
    b.PressedColour = Int(s, "PressedColour", -1);
    b.RadioButtonFrame = Int(s, "RadioButtonFrame", 0);
    b.CheckButtonFrame = Int(s, "CheckButtonFrame", 0);
    b.HasNormalColour2 = !Str(s, "NormalColour2").empty();
    b.HasMouseOverColour2 = !Str(s, "MouseOverColour2").empty();
    b.HasPressedColour2 = !Str(s, "PressedColour2").empty();
    ReadSecondColours(b, s);
  }

  void ReadTitle() {
    TDataSkinTitle& t = *e_.Title;
    const std::string s = "Personality";
    Readbmp(*t.Map, Str(s, "TextBack"));
    // Text offsets, not slice sizes: taken as the skin gives them.
    t.Margins = Rect(Int(s, "TextShift", 0), Int(s, "TextShiftVert", 0), Int(s, "TextRightClip", 0), 0);
    t.TextAlignment = Int(s, "TextAlignment", 0);
    t.Textbackground = Int(s, "Textbackground", 0);
    t.FontHeight = Int("Fonts", "FontHeight", 14);
    t.TXTBackleft = Margin(s, "TXTBackleft");
    t.TXTBackRight = Margin(s, "TXTBackRight");
    t.ActiveText = t.InActiveText = kTitleColourNotGiven;
    ReadRGB(s, "ActiveText", t.ActiveText);
    ReadRGB(s, "InActiveText", t.InActiveText);
  }

  void ReadSecondColours(TDataSkinObject& r, const std::string& s) {
    const TColor text = e_.Colors[csButtonText];
    r.NormalColour2 = Color(s, "NormalColour2", text);
    r.MouseOverColour2 = Color(s, "MouseOverColour2", text);
    r.PressedColour2 = Color(s, "PressedColour2", text);
  }

  TRect ReadMargins(const std::string& s) const {
    return Rect(Margin(s, "LeftWidth"), Margin(s, "TopHeight"), Margin(s, "RightWidth"), Margin(s, "BottomHeight"));
  }

  // The keys of a generic element after its picture. Frame is read only where asked.
  void ReadCommon(TDataSkinObject& r, const std::string& s, bool frame) {
    r.Style = Int(s, "Style", 0);
    r.Margins = ReadMargins(s);
    if (frame) r.Frame = Int(s, "Frame", 0);
    r.Trans = Int(s, "Trans", 0);
    r.Tile = Int(s, "Tile", 0) == 1 ? 1 : 0;
    r.NormalColour = Int(s, "NormalColour", -1);
    r.MouseOverColour = Int(s, "MouseOverColour", -1);
    r.PressedColour = Int(s, "PressedColour", -1);
    ReadSecondColours(r, s);
  }

  // One element of the table: nothing when its section names no picture (a derived element is
  // made after reading, a missing one with a fallback from the library's own pictures).
  void ReadElement(const TSkinElementInfo& info) {
    if (info.Kind == ekDerived) return;
    const std::string s = info.Section;
    const std::string image = Str(s, info.PictureKey);
    if (image.empty()) {
      if (info.Fallback) ReadFallback(info);
      return;
    }
    TDataSkinObject& r = *info.Slot.Make(e_, s);
    Readbmp(*r.Map, image);
    switch (info.Kind) {
      case ekObject:
        ReadCommon(r, s, true);
        break;
      case ekTwoMaps: {
        auto& border = static_cast<TDataSkinBorder&>(r);
        const std::string second = Str(s, info.SecondKey);
        if (!second.empty()) Readbmp(*border.Map2, second);
        ReadCommon(r, s, false);
        break;
      }
      case ekProgress:
        r.Style = Int(s, "Style", 0);
        r.Margins = ReadMargins(s);
        r.Trans = Int(s, "Trans", 0);
        r.Tile = std::clamp(Int(s, "Tile", 0), 0, 1);
        break;
      case ekBoxLabel: {
        auto& box = static_cast<TDataSkinBoxLabel&>(r);
        ReadCommon(r, s, false);
        box.BackgroundAlignment = Int(s, "BackgroundAlignment", 0);
        box.BackgroundLeftShift = Int(s, "BackgroundLeftShift", 0);
        box.BackgroundRightShift = Int(s, "BackgroundRightShift", 0);
        break;
      }
      case ekMenuBar:
        r.Tile = std::clamp(Int(s, "TileMenu", 1), 0, 1);
        r.Margins = Rect(Margin(s, "TileLeftMenu", 1), 0, Margin(s, "TileRightMenu", 1), 0);
        break;
      case ekDerived:
        break;
    }
    if (info.MarginCap > 0) {
      TRect& m = r.Margins;
      for (int32_t* side : {&m.Left, &m.Top, &m.Right, &m.Bottom}) *side = std::min(*side, info.MarginCap);
    }
    if (info.MirrorToSecond && !r.Map->Empty()) {
      auto& border = static_cast<TDataSkinBorder&>(r);
      border.Map2->Assign(r.Map.get());
      border.Map2->SetPixelFormat(pf24bit);
      SpiegelnHorizontal(border.Map2.get());
    }
  }

  // One of the library's own pictures, with 3-pixel ends.
  void ReadFallback(const TSkinElementInfo& info) {
    TDataSkinObject& r = *info.Slot.Make(e_, info.Fallback);
    r.Map->AssignPixels(SkinResourceImage(info.Fallback));
    r.Margins = Rect(3, 3, 3, 3);
    r.Tile = 0;
    r.Frame = 1;
  }

  // ---- After reading

  void SetFrame() {
    TDataSkinButton& b = *e_.Buttons;
    b.Frame = 5;
    if (b.RadioButtonFrame == 0) b.RadioButtonFrame = CheckStripFrames(b.RadioMap->Width(), b.RadioMap->Height());
    if (b.CheckButtonFrame == 0) b.CheckButtonFrame = CheckStripFrames(b.CheckMap->Width(), b.CheckMap->Height());
    e_.Title->Frame = 2;
    for (const TSkinElementInfo& info : SkinElementTable()) {
      TDataSkinObject* r = info.Slot.Get(e_);
      if (!r) continue;
      switch (info.FrameRule) {
        case frAsRead:
          break;
        case frFixed:
          r->Frame = info.Frames;
          break;
        case frFixedUnlessRead:
          if (r->Frame <= 0) r->Frame = info.Frames;
          break;
        case frKey:
          r->Frame = Int(info.Section, info.FrameKey, info.Frames);
          break;
        case frProgressStyle:
          r->Frame = r->Style != 0 ? 1 : 2;
          break;
      }
    }
    // Painters divide by every count: none is below 1, whatever the skin says.
    ForEachSkinRecord(e_, [](TDataSkinObject& r) { r.Frame = std::max(1, r.Frame); });
    b.RadioButtonFrame = std::max(1, b.RadioButtonFrame);
    b.CheckButtonFrame = std::max(1, b.CheckButtonFrame);
  }

  // The combo box's frame with its drop-down button drawn in, one 50 x 21 cell per state; the
  // frame alone, mirrored, for right-to-left boxes.
  void ReBuildCombobox() {
    if (!e_.SunkEdge || !e_.ComboButton) return;
    TDataSkinObject& sunk = *e_.SunkEdge;
    TDataSkinBorder& button = *e_.ComboButton;
    const int n = sunk.Frame;
    const int b = GetSystemMetrics(SM_CXHSCROLL) + 2;
    TBitmap strip;
    strip.AssignPixels(Solid(50 * n, 21, kMagenta), pf24bit);
    TBitmap cell;
    cell.AssignPixels(Solid(50, 21, kMagenta), pf24bit);
    HDC cellDC = cell.Canvas()->Handle();
    HDC stripDC = strip.Canvas()->Handle();
    TBrushHandle magenta(CreateSolidBrush(RGB(255, 0, 255)));
    const RECT whole{0, 0, 50, 21}, field{2, 2, 49 - b, 18};
    const TRect cellRect = Rect(0, 0, 50, 21), buttonRect = Rect(50 - b, 0, 50, 21);
    for (int k = 1; k <= n; ++k) {
      // Every state starts on magenta, so no keyed-out pixel shows the state drawn before it.
      FillRect(cellDC, &whole, magenta.get());
      DrawElement(cellDC, cellRect, &sunk, k, {.Tile = 0});
      DrawElement(cellDC, buttonRect, &button, k, {.Trans = 1, .Tile = 0});
      DrawElement(cellDC, buttonRect, e_.ExtraImages.get(), k, {.Trans = 1, .Centred = true});
      FillRect(cellDC, &field, magenta.get());
      BitBlt(stripDC, 50 * (k - 1), 0, 50, 21, cellDC, 0, 0, SRCCOPY);
    }
    GdiFlush();
    button.Style = 2;
    button.Margins = Rect(2, sunk.Margins.Top, b + 2, sunk.Margins.Bottom);
    button.Map->Assign(&strip);
    SpiegelnHorizontal(&strip);
    sunk.Map->Assign(&strip);
    sunk.Margins.Left = b + 2;
    sunk.Margins.Right = 2;
  }

  // The arrow of a date-time picker: the combo button itself, or its arrow squares once rebuilt.
  void ReBuildComboxArrow() {
    if (!e_.ComboxArrow) e_.ComboxArrow = std::make_unique<TDataSkinObject>("ComboxArrow");
    TDataSkinObject& arrow = *e_.ComboxArrow;
    if (!e_.SunkEdge && e_.ComboButton) {
      arrow.Map->Assign(e_.ComboButton->Map.get());
      // Resolved first: the bytes of a system colour are no colour.
      ChangeTrans(arrow.Map.get(), ColorToRGB(e_.Colors[csButtonFace]));
      arrow.Frame = e_.ComboButton->Frame;
    } else if (e_.SunkEdge && e_.ComboButton && e_.ComboButton->Style == 2) {
      const int n = e_.SunkEdge->Frame;
      const int w = e_.ComboButton->Map->Width() / n;
      TPixelImage squares(17 * n, 17, 24);
      for (int i = 0; i < n; ++i) {
        TPixelImage cell = Crop(*e_.ComboButton->Map, w * (i + 1) - 19, 2, 17, 17);
        for (int y = 0; y < 17; ++y)
          for (int x = 0; x < 17; ++x) squares.SetPixelRGB(17 * i + x, y, cell.PixelRGB(x, y));
      }
      arrow.Map->AssignPixels(squares, pf24bit);
      arrow.Frame = n;
    }
    arrow.Frame = std::max(1, arrow.Frame);
  }

  // A 10 x 40 vertical gradient from a light button face to a tone of the caption colour.
  void RebuildToolbar() {
    const TColor caption = ColorToRGB(e_.CaptionColor());
    const int s = GetHSV(caption);
    const TColor second = s > 110 ? Blend(caption, clWhite, (225 - s) * 25 / 140 + 50) : Blend(0x808080, caption, 150);
    const TColor first = Blend(e_.Colors[csButtonFace], clWhite, 150);
    TBitmap bmp;
    bmp.AssignPixels(Solid(10, 40, 0), pf24bit);
    GradFill(bmp.Canvas()->Handle(), Rect(0, 0, 10, 40), first, second, 1);
    GdiFlush();
    if (!e_.Toolbar) e_.Toolbar = std::make_unique<TDataSkinObject>("Toolbar");
    e_.Toolbar->Map->Assign(&bmp);
    e_.Toolbar->Frame = 1;
  }

  TSkinElements& e_;
  const TQuickIni& ini_;
  TSkinReader* reader_;
};

}  // namespace

// ---- TSkinElements

TSkinElements::TSkinElements()
    : Title(std::make_unique<TDataSkinTitle>("Title")), Buttons(std::make_unique<TDataSkinButton>("Buttons")) {
  static const char* const kNames[4] = {"Left", "Right", "Top", "Bottom"};
  for (size_t i = 0; i < 4; ++i) Borders[i] = std::make_unique<TDataSkinBorder>(kNames[i]);
}

TSkinElements::~TSkinElements() = default;

TColor TSkinElements::CaptionColor() const {
  TDataSkinBorder* top = Borders[sbTop].get();
  if (!top || top->Map->Empty()) return Colors[csButtonFace];
  const int frameHeight = top->Map->Height() / std::max(1, top->Frame);
  return PixelAt(*top->Map, top->Map->Width() / 3, frameHeight / 3);
}

void SwapSkinElements(TSkinElements& A, TSkinElements& B) noexcept {
  using std::swap;
  swap(A.SkinName, B.SkinName);
  swap(A.Colors, B.Colors);
  swap(A.PreColors, B.PreColors);
  swap(A.CustomColors, B.CustomColors);
  SwapContent(*A.Title, *B.Title);
  swap(A.SysButtons, B.SysButtons);
  SwapContent(*A.Buttons, *B.Buttons);
  for (size_t i = 0; i < 4; ++i) SwapContent(*A.Borders[i], *B.Borders[i]);
  for (const TSkinElementInfo& info : SkinElementTable()) info.Slot.Swap(A, B);
  swap(A.FaceBrush, B.FaceBrush);
}

// ---- TSkinData

TColor TSkinData::GetColor(const std::string& Text, TColor Default) { return Text.empty() ? Default : strcolor(Text); }

void TSkinData::LoadFromIni() {
  TQuickIni empty;
  TSkinElements fresh;
  // The scheme colours that no skin gives keep their values.
  std::copy(std::begin(Colors), std::end(Colors), std::begin(fresh.Colors));
  TSkinIniReader(fresh, ini_ ? *ini_ : empty, reader_).Run();
  SwapSkinElements(*this, fresh);
  // No skin makes this record (only CreateMinCaption does): it stays.
  std::swap(MinCaption, fresh.MinCaption);
  NoSkinLoaded = false;
}

void TSkinData::CreateMinCaption() {
  const TColor caption = ColorToRGB(CaptionColor());
  const TColor outline = Blend(clBlack, caption, 50);
  TPixelImage img = Solid(80, 29, uint32_t(caption));
  for (int x = 0; x < 80; ++x) img.SetPixelRGB(x, 0, uint32_t(outline)), img.SetPixelRGB(x, 28, uint32_t(outline));
  for (int y = 0; y < 29; ++y) img.SetPixelRGB(0, y, uint32_t(outline)), img.SetPixelRGB(79, y, uint32_t(outline));
  auto r = std::make_unique<TDataSkinObject>("MinCaption");
  r->Map->AssignPixels(img, pf24bit);
  r->Frame = 1;
  r->Margins = Rect(3, 3, 3, 3);
  MinCaption = std::move(r);
}

#endif
