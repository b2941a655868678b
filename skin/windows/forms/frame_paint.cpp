// Painting of a skinned window's frame: the borders, the title bar with the caption text and the
// caption buttons, composed in one bitmap of the window's size and put on with one copy per edge;
// the caption font; the window region cut from the keyed border pictures.
#include <algorithm>
#include <atomic>
#include <memory>

#include "classlib/graphics/graphics.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/forms/caption_buttons.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/menus/velt_menu.h"
#include "skin/windows/paint/draw_primitives.h"

namespace {

// Characters of Karo's captions that the caption font must have.
const wchar_t kChineseSample[] = L"\u97f5\u5b57\u5178";

bool FontHasGlyphs(HFONT font, const wchar_t* text) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  HGDIOBJ old = SelectObject(dc, font);
  WORD idx[8] = {};
  const int n = int(wcslen(text));
  bool ok = GetGlyphIndicesW(dc, text, n, idx, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR;
  for (int i = 0; ok && i < n; ++i) ok = idx[i] != 0xFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  return ok;
}


// Bumped whenever a skin's pictures are replaced: pictures kept by any thread from before are
// drawn anew, even where a new picture took the place (and address) of an old one.
std::atomic<unsigned> pictureGeneration{1};

// Where a thread composes the frames of its windows: one picture of the window's size, and the
// nine-slice of each border, which is the costly part of a paint and changes only with the size,
// the activation and the skin. Kept per thread, not per window, so that a skinned window holds no
// drawing objects of its own between paints.
struct TBorderPicture {
  std::unique_ptr<TBitmap> Picture;
  const TBitmap* Strip = nullptr;
  unsigned Generation = 0;
  int W = 0, H = 0, Frame = 0, Frames = 0, Tile = 0;
  TRect Margins{};
};

// One caption button as the title bar shows it.
struct TButtonLook {
  const void* Record;
  TRect Rect;
  int Frame;
  bool operator==(const TButtonLook&) const = default;
};

// Everything the title bar's pixels follow from. Keyed (magenta) caption buttons and the caption
// text are the dear part of a paint, and a frame is painted again far more often than its title
// bar changes.
struct TTitleKey {
  HWND Wnd = nullptr;
  unsigned Generation = 0;
  const void* Skin = nullptr;
  const void* TitleMap = nullptr;
  const void* TopMap = nullptr;
  int W = 0, H = 0, Rows = 0;
  TRect Area{};
  bool Active = false, RightToLeft = false;
  HFONT Font = nullptr;
  COLORREF Ink = 0;
  HICON Icon = nullptr;
  WideString Text;
  TRect Back{}, TextRect{};
  std::vector<TButtonLook> Buttons;
  bool operator==(const TTitleKey&) const = default;
};

struct TFrameWork {
  TBitmap Frame;
  // Each border in both looks (active, inactive): a change of activation draws no border anew.
  TBorderPicture Borders[4][2];
  // The title bar rows of the last title composed, with what they were composed from.
  TBitmap Title;
  TTitleKey TitleKey;
  bool TitleValid = false;
};

// Freed when its thread ends through a fiber-local slot's callback: a thread_local object with a
// destructor crashes other GUI threads at their end under the MinGW runtime.
VOID WINAPI FreeFrameWork(PVOID work) { delete static_cast<TFrameWork*>(work); }

thread_local TFrameWork* threadWork = nullptr;
// Made at the first paint; given back only by a library module's end (FinishFramePictures), as
// its callback lies in the module's code.
DWORD frameWorkSlot = FLS_OUT_OF_INDEXES;

TFrameWork& Work() {
  if (!threadWork) {
    if (frameWorkSlot == FLS_OUT_OF_INDEXES) frameWorkSlot = FlsAlloc(FreeFrameWork);
    threadWork = new TFrameWork();
    // Without a slot the thread keeps its pictures until the process ends.
    if (frameWorkSlot != FLS_OUT_OF_INDEXES) FlsSetValue(frameWorkSlot, threadWork);
  }
  return *threadWork;
}

}  // namespace

// MaskBlt, the platform's way of a keyed copy, makes several pictures of its own for every call
// under Wine, and a title bar has a few keyed buttons: they go straight on the pixels.
bool PutKeyed(TBitmap& Into, int X, int Y, TBitmap* Strip, const TRect& Part) {
  GdiFlush();
  const TPixelView d = Into.PixelView(), s = Strip->PixelView();
  auto readable = [](const TPixelView& v) { return !v.Empty() && (v.BitsPerPixel == 24 || v.BitsPerPixel == 32); };
  if (!readable(d) || !readable(s)) return false;
  const int ds = d.BitsPerPixel / 8, ss = s.BitsPerPixel / 8;
  // Clipped to both pictures.
  const int x0 = std::max({0, -X, -Part.Left}), y0 = std::max({0, -Y, -Part.Top});
  const int x1 = std::min({Part.Width(), d.Width - X, s.Width - Part.Left});
  const int y1 = std::min({Part.Height(), d.Height - Y, s.Height - Part.Top});
  for (int y = y0; y < y1; ++y) {
    const uint8_t* from = s.Row(Part.Top + y) + size_t(Part.Left + x0) * size_t(ss);
    uint8_t* to = d.Row(Y + y) + size_t(X + x0) * size_t(ds);
    for (int x = x0; x < x1; ++x, from += ss, to += ds) {
      // Stored blue, green, red: magenta is 255, 0, 255.
      if (from[0] == 255 && from[1] == 0 && from[2] == 255) continue;
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
    }
  }
  return true;
}

void FinishFramePictures() {
  if (frameWorkSlot == FLS_OUT_OF_INDEXES) return;
  // Freeing the slot frees every thread's pictures through the callback.
  FlsFree(frameWorkSlot);
  frameWorkSlot = FLS_OUT_OF_INDEXES;
  threadWork = nullptr;
}

void TVeltForm::ForgetFramePictures() {
  ++pictureGeneration;
  TFrameWork& w = Work();
  for (auto& border : w.Borders)
    for (auto& c : border) c.Picture.reset();
  w.TitleValid = false;
}

// The system's caption font draws Chinese as boxes where it lacks the glyphs: keep its size and
// weight and take a face that has them.
void TVeltForm::ChooseCaptionFont() {
  if (captionFont_) DeleteObject(captionFont_);
  captionFont_ = CreateNonClientFont(&NONCLIENTMETRICSW::lfCaptionFont);
}

HFONT CreateNonClientFont(LOGFONTW NONCLIENTMETRICSW::*Which) {
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof m;
  LOGFONTW base{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0))
    base = m.*Which;
  else
    base.lfHeight = -12;
  return CreateFontWithChinese(base);
}

HFONT CreateFontWithChinese(const LOGFONTW& Base) {
  LOGFONTW tries[4] = {Base, Base, Base, Base};
  tries[1].lfCharSet = GB2312_CHARSET;
  tries[2].lfCharSet = GB2312_CHARSET;
  wcscpy(tries[2].lfFaceName, L"WenQuanYi Micro Hei");
  tries[3].lfCharSet = GB2312_CHARSET;
  wcscpy(tries[3].lfFaceName, L"SimSun");
  for (const LOGFONTW& lf : tries) {
    HFONT f = CreateFontIndirectW(&lf);
    if (!f) continue;
    if (FontHasGlyphs(f, kChineseSample)) return f;
    DeleteObject(f);
  }
  return CreateFontIndirectW(&Base);
}

TFrameBorders TVeltForm::FrameBorders() const {
  TFrameBorders b;
  b.Left = Borders[0];
  b.Top = Borders[1];
  b.Right = Borders[2];
  b.Bottom = Borders[3];
  b.Menu = MenuHeight;
  return b;
}

POINT TVeltForm::GetWinXY(int ScreenX, int ScreenY) const {
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  return POINT{ScreenX - wr.left, ScreenY - wr.top};
}

WideString GetFormCaption(HWND Wnd) {
  if (!Win32PlatformIsUnicode) return StrToWideStr(GetFormCaptionA(Wnd));
  WideString text;
  const int n = GetWindowTextLengthW(Wnd);
  text.resize(size_t(std::max(n, 0)) + 1);
  const int got = GetWindowTextW(Wnd, text.data(), int(text.size()));
  text.resize(size_t(std::max(got, 0)));
  return text;
}

AnsiString GetFormCaptionA(HWND Wnd) {
  char buf[1000] = {};
  SendMessageA(Wnd, WM_GETTEXT, sizeof buf, LPARAM(buf));
  return AnsiString(buf);
}

AnsiString GetFormText(HWND Wnd) { return WideStringToStringEx(GetFormCaption(Wnd)); }

WideString TVeltForm::CaptionText() const {
  const WideString text = UnicodeWindow ? GetFormCaption(hwnd) : StrToWideStr(GetFormCaptionA(hwnd));
  return CaptionPrefix + text + CaptionSuffix;
}

void TVeltForm::Drawborder(int Index, const TRect& R, HDC DC) {
  const int w = R.Right - R.Left, h = R.Bottom - R.Top;
  if (w <= 0 || h <= 0 || !SkinData || Index < 1 || Index > 4) return;
  const TDataSkinBorder* rec = SkinData->Borders[size_t(Index - 1)].get();
  if (!rec || !rec->Map || rec->Map->Empty()) {
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    FillRect(DC, &r, SkinData->FaceBrush.get());
    return;
  }
  const int frames = std::max(1, rec->Frame);
  const int frame = (Active || frames == 1) ? 1 : 2;
  // The nine-slice of a border is the costly part of a paint and changes only with the size, the
  // activation and the skin: kept until one of them changes.
  TBorderPicture& c = Work().Borders[Index - 1][frame - 1];
  const unsigned generation = pictureGeneration;
  if (!c.Picture || c.Strip != rec->Map.get() || c.Generation != generation || c.W != w || c.H != h || c.Frame != frame || c.Frames != frames ||
      c.Tile != rec->Tile || c.Margins != rec->Margins) {
    c.Picture = GetHMap(Rect(0, 0, w, h), rec->Map.get(), rec->Margins, frame, frames, rec->Tile != 1, Index > 2);
    c.Strip = rec->Map.get();
    c.Generation = generation;
    c.W = w;
    c.H = h;
    c.Frame = frame;
    c.Frames = frames;
    c.Tile = rec->Tile;
    c.Margins = rec->Margins;
  }
  if (!c.Picture) return;
  BitBlt(DC, R.Left, R.Top, w, h, c.Picture->Canvas()->Handle(), 0, 0, SRCCOPY);
}

TCaptionTextPlace TVeltForm::PlaceCaption(HDC DC, const TRect& Area, const WideString& Text) {
  const TDataSkinTitle* title = SkinData->Title.get();
  HGDIOBJ oldFont = captionFont_ ? SelectObject(DC, captionFont_) : nullptr;
  RECT m{Area.Left, Area.Top, Area.Right, Area.Bottom};
  DrawTextW(DC, Text.c_str(), int(Text.size()), &m, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE);
  if (oldFont) SelectObject(DC, oldFont);
  TCaptionTextInput in;
  in.Area = Area;
  in.TextWidth = m.right - m.left;
  in.TextHeight = m.bottom - m.top;
  if (title) {
    in.TextAlignment = title->TextAlignment;
    in.TextShift = title->Margins.Left;
    in.TextShiftVert = title->Margins.Top;
    in.TextRightClip = title->Margins.Right;
    in.TXTBackleft = title->TXTBackleft;
    in.TXTBackRight = title->TXTBackRight;
  }
  in.RightToLeft = RightToLeft;
  in.Popup = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_POPUP) != 0;
  in.DialogFrame = BorderKind == bkDialog;
  in.ButtonClipX = SysBtnClipX;
  return PlaceCaptionText(in);
}

COLORREF TVeltForm::CaptionInk() const {
  return ColorToRGB(SkinData->Colors[Active ? csTitleTextActive : csTitleTextNoActive]);
}

void TVeltForm::DrawCaption(TCanvas* Canvas, const TRect& Area, const WideString& Text,
                            const TCaptionTextPlace& Place) {
  const TDataSkinTitle* title = SkinData->Title.get();
  HDC DC = Canvas->Handle();
  HGDIOBJ oldFont = captionFont_ ? SelectObject(DC, captionFont_) : nullptr;
  const int oldMode = SetBkMode(DC, TRANSPARENT);
  try {
    SetTextColor(DC, CaptionInk());
    if (title && title->Map && !title->Map->Empty())
      DrawRectTile(Canvas, Rect(Place.Back.Left, Area.Top, Place.Back.Right, Area.Bottom), title->Map.get(),
                   Rect(title->TXTBackleft, 0, title->TXTBackRight, 0), Active ? 1 : 2, 2, 1, 1);
    RECT t{Place.Text.Left, Place.Text.Top, Place.Text.Right, Place.Text.Bottom};
    if (t.right > t.left)
      Tnt_DrawTextW(DC, Text, t, DT_SINGLELINE | DT_END_ELLIPSIS | (RightToLeft ? DT_RIGHT : 0));
  } catch (...) {
    SetBkMode(DC, oldMode);
    if (oldFont) SelectObject(DC, oldFont);
    throw;
  }
  SetBkMode(DC, oldMode);
  if (oldFont) SelectObject(DC, oldFont);
}

void TVeltForm::DrawLine(TCanvas* Canvas, const TRect& Area) {
  HDC dc = Canvas->Handle();
  CaptionSuffix = L" ";
  const WideString text = CaptionText();
  const TCaptionTextPlace place = PlaceCaption(dc, Area, text);
  CaptionTextRect = place.Back;
  DrawCaption(Canvas, Area, text, place);
}

void TVeltForm::DrawFLine(HDC DC, int W, int H) {
  const bool minimised = WindowState == vwMinimized;
  const TNcLayout l = NcLayout(W, H, FrameBorders(), minimised);
  if (minimised) {
    RECT all{0, 0, W, H};
    FillRect(DC, &all, SkinData->FaceBrush.get());
  }
  // The text is placed first (clipped by the buttons as the last paint laid them out), then the
  // buttons, which may follow the text.
  CaptionSuffix = L" ";
  const WideString text = CaptionText();
  TCanvas* canvas = Work().Frame.Canvas();
  const TCaptionTextPlace place = PlaceCaption(canvas->Handle(), l.TextArea, text);
  CaptionTextRect = place.Back;
  SetSysbtnRect();

  TTitleKey key;
  key.Wnd = hwnd;
  key.Generation = pictureGeneration;
  key.Skin = SkinData;
  key.TitleMap = SkinData->Title ? SkinData->Title->Map.get() : nullptr;
  const TDataSkinBorder* top = SkinData->Borders[sbTop].get();
  key.TopMap = top ? top->Map.get() : nullptr;
  key.W = W;
  key.H = H;
  key.Area = l.TextArea;
  key.Active = Active;
  key.RightToLeft = RightToLeft;
  key.Font = captionFont_;
  key.Ink = CaptionInk();
  key.Text = text;
  key.Back = place.Back;
  key.TextRect = place.Text;
  // The rows the title bar and its buttons cover (a button may reach below the top border).
  int rows = Borders[1];
  for (TWinSysButton* b : sysBtns_) {
    const int frame = SysbtnFace(b);
    if (frame == 0) continue;
    if (IsIconAction(b->Button->Action) && !key.Icon) key.Icon = WindowIcon();
    key.Buttons.push_back(TButtonLook{FaceRecord(b), b->Rect, frame});
    rows = std::max(rows, int(b->Rect.Bottom));
  }
  key.Rows = std::min(rows, H);

  TFrameWork& work = Work();
  if (!minimised && work.TitleValid && key == work.TitleKey) {
    BitBlt(DC, 0, 0, W, key.Rows, work.Title.Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  Drawborder(3, l.TextArea, DC);
  DrawCaption(canvas, l.TextArea, text, place);
  DrawAllSysbtn(work.Frame);
  if (minimised || key.Rows <= 0) return;
  work.TitleValid = false;
  work.Title.SetPixelFormat(pf24bit);
  work.Title.SetSize(W, key.Rows);
  if (work.Title.Empty()) return;
  BitBlt(work.Title.Canvas()->Handle(), 0, 0, W, key.Rows, DC, 0, 0, SRCCOPY);
  work.TitleKey = std::move(key);
  work.TitleValid = true;
}

void TVeltForm::PaintNc(HDC DC, bool TitleOnly) {
  if (!BG || !SkinData || SkinData->NoSkinLoaded) return;
  if (LifeState != lsSkinned && LifeState != lsSkinChanging) return;
  if (BorderKind == bkNoCaption || (FormKind == fkMDIChild && WindowState == vwMaximized)) return;
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  const int W = wr.right - wr.left, H = wr.bottom - wr.top;
  if (W <= 0 || H <= 0) return;
  HDC dc = DC ? DC : GetWindowDC(hwnd);
  if (!dc) return;
  try {
    TBitmap& frame = Work().Frame;
    frame.SetPixelFormat(pf24bit);
    frame.SetSize(W, H);
    HDC m = frame.Canvas()->Handle();
    const TFrameBorders b = FrameBorders();
    const bool minimised = WindowState == vwMinimized;
    const TNcLayout l = NcLayout(W, H, b, minimised);
    if (!minimised) {
      Drawborder(1, l.LeftBorder, m);
      Drawborder(2, l.RightBorder, m);
      Drawborder(4, l.BottomBorder, m);
    }
    DrawFLine(m, W, H);
    if (!minimised && b.Menu > 0 && menuBar_) {
      menuBar_->DrawMenu(m, l.MenuBar);
    } else if (!minimised && b.Menu > 0) {
      RECT r{l.MenuBar.Left, l.MenuBar.Top, l.MenuBar.Right, l.MenuBar.Bottom};
      FillRect(m, &r, SkinData->FaceBrush.get());
    }
    GdiFlush();
    auto put = [&](const TRect& r) {
      if (r.Right > r.Left && r.Bottom > r.Top)
        BitBlt(dc, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, m, r.Left, r.Top, SRCCOPY);
    };
    if (minimised) {
      put(Rect(0, 0, W, H));
    } else {
      put(Rect(l.TextArea.Left, 0, l.TextArea.Right, b.Top + b.Menu));
      if (!TitleOnly) {
        put(l.LeftBorder);
        put(l.RightBorder);
        put(l.BottomBorder);
      }
    }
  } catch (...) {
    // A failed paint leaves the old frame on the screen.
  }
  if (!DC) ReleaseDC(hwnd, dc);
}

void TVeltForm::UpdateNc(HDC DC) {
  // Every full paint starts the buttons from their normal look.
  if (HotObject) HotObject->State = ncNormal;
  HotObject = nullptr;
  PaintNc(DC, false);
  HotObject = nullptr;
}

// ---- The window region

void TVeltForm::Cropwindow() {
  if (LifeState == lsDead || !FrameSkinned || cropping_ || !SkinData || SkinData->NoSkinLoaded) return;
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  const int W = wr.right - wr.left, H = wr.bottom - wr.top;
  if (W <= 0 || H <= 0) return;
  if (FormKind == fkMDIChild && WindowState != vwNormal) return;
  if (RegionSet && regionW_ == W && regionH_ == H && FormKind != fkMDIChild && LifeState != lsSkinChanging) return;
  RegionSet = false;
  const auto& bs = SkinData->Borders;
  auto trans = [&](int i) { return bs[size_t(i)] && bs[size_t(i)]->Trans == 1; };
  HRGN rgn = nullptr;
  if (!trans(sbLeft) && !trans(sbRight) && !trans(sbTop) && !trans(sbBottom)) {
    rgn = CreateRectRgn(0, 0, W, H);
  } else {
    const TFrameBorders b = FrameBorders();
    rgn = CreateRectRgn(b.Left, b.Top, W - b.Right, H - b.Bottom);
    if (BorderKind != bkNoCaption && rgn) {
      // One part per border: the keyed picture's pixels, or its whole rectangle. A part without
      // pixels adds nothing.
      auto part = [&](int index, const TRect& r, bool keyed) {
        const int w = r.Right - r.Left, h = r.Bottom - r.Top;
        if (w <= 0 || h <= 0) return;
        HRGN p = nullptr;
        if (keyed) {
          TBitmap pic;
          pic.SetPixelFormat(pf24bit);
          pic.SetSize(w, h);
          Drawborder(index, Rect(0, 0, w, h), pic.Canvas()->Handle());
          GdiFlush();
          p = BitmapToRegion(&pic, r.Left, r.Top, kSkinKeyColor, 1, 1, 1);
        } else {
          p = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
        }
        if (!p) return;
        CombineRgn(rgn, rgn, p, RGN_OR);
        DeleteObject(p);
      };
      part(1, Rect(0, 0, b.Left, H), trans(sbLeft) && H > 1);
      part(2, Rect(W - b.Right, 0, W, H), trans(sbRight) && H > 1);
      part(4, Rect(b.Left, H - b.Bottom, W - b.Right, H), trans(sbBottom) && b.Bottom >= 2);
      part(3, Rect(b.Left, 0, W - b.Right, b.Top), trans(sbTop) && b.Top > 1);
    }
  }
  if (!rgn) return;
  regionW_ = W;
  regionH_ = H;
  // SetWindowRgn sends WM_NCCALCSIZE and WM_SIZE back here: those must not build another.
  cropping_ = true;
  const bool ok = SetRegion(rgn, true);
  cropping_ = false;
  if (ok) {
    Region = rgn;  // the system's from here on
    RegionSet = true;
  }
}

void TVeltForm::Uncropwindow() {
  if (!RegionSet) return;
  // The system deletes the region it held.
  SetWindowRgn(hwnd, nullptr, FormKind == fkMDIChild);
  Region = nullptr;
  RegionSet = false;
  regionW_ = regionH_ = 0;
}
