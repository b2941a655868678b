#include "skin/windows/paint/nc_geometry.h"

#include <algorithm>

namespace {

int32_t FrameExtent(int32_t size, int32_t frames) { return std::max(0, size) / std::max(1, frames); }

bool Inside(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

}  // namespace

TFrameBorders SkinFrameBorders(const TStripSize& Left, const TStripSize& Top, const TStripSize& Right,
                               const TStripSize& Bottom, int32_t MenuHeight, bool NoCaption) {
  if (NoCaption) return {};
  TFrameBorders b;
  b.Left = FrameExtent(Left.Width, Left.Frames);
  b.Right = FrameExtent(Right.Width, Right.Frames);
  b.Top = FrameExtent(Top.Height, Top.Frames);
  b.Bottom = FrameExtent(Bottom.Height, Bottom.Frames);
  b.Menu = std::max(0, MenuHeight);
  return b;
}

TNcLayout NcLayout(int32_t W, int32_t H, const TFrameBorders& B, bool Minimised) {
  TNcLayout l;
  l.Title = Rect(0, 0, W, B.Top);
  if (Minimised) {
    l.TextArea = l.Title;
    return l;
  }
  l.LeftBorder = Rect(0, 0, B.Left, H);
  l.RightBorder = Rect(W - B.Right, 0, W, H);
  l.BottomBorder = Rect(B.Left, H - B.Bottom, W - B.Right, H);
  l.TextArea = Rect(B.Left, 0, W - B.Right, B.Top);
  if (B.Menu > 0) l.MenuBar = Rect(B.Left, B.Top, W - B.Right, B.Top + B.Menu);
  l.Client = NcClientRect(Rect(0, 0, W, H), B);
  return l;
}

TRect NcClientRect(const TRect& Window, const TFrameBorders& B) {
  // A frame larger than the window leaves an empty client area at the window's far edge rather
  // than one that is inverted or lies outside the window.
  const int32_t right = std::max(Window.Left, Window.Right), bottom = std::max(Window.Top, Window.Bottom);
  TRect c;
  c.Left = std::min(Window.Left + B.Left, right);
  c.Top = std::min(Window.Top + B.Top + B.Menu, bottom);
  c.Right = std::max(c.Left, std::min(Window.Right - B.Right, right));
  c.Bottom = std::max(c.Top, std::min(Window.Bottom - B.Bottom, bottom));
  return c;
}

TNcHit NcHitTest(const TNcHitInput& In) {
  const TPoint p = In.Pt;
  const int32_t W = In.Width, H = In.Height;
  const TFrameBorders& b = In.Borders;
  if (!Inside(Rect(0, 0, W, H), p)) return nhNowhere;
  const TRect client = NcClientRect(Rect(0, 0, W, H), b);
  if (Inside(client, p)) return nhClient;

  const bool left = p.X < b.Left, right = p.X >= W - b.Right;
  const bool bottom = p.Y >= H - b.Bottom;
  const bool top = p.Y < std::min(kTopSizingRows, b.Top);
  if (In.Sizeable) {
    const bool nearLeft = p.X < std::max(b.Left, kCornerLength), nearRight = p.X >= W - std::max(b.Right, kCornerLength);
    const bool nearTop = p.Y < std::max(b.Top, kCornerLength), nearBottom = p.Y >= H - std::max(b.Bottom, kCornerLength);
    if ((top && nearLeft) || (left && nearTop)) return nhTopLeft;
    if ((top && nearRight) || (right && nearTop)) return nhTopRight;
    if ((bottom && nearLeft) || (left && nearBottom)) return nhBottomLeft;
    if ((bottom && nearRight) || (right && nearBottom)) return nhBottomRight;
    if (top) return nhTop;
    if (left) return nhLeft;
    if (right) return nhRight;
    if (bottom) return nhBottom;
  }
  if (left || right || bottom) return nhBorder;
  if (p.Y < b.Top) return nhCaption;
  if (p.Y < b.Top + b.Menu) return nhMenu;
  return nhBorder;
}

TCaptionTextPlace PlaceCaptionText(const TCaptionTextInput& In) {
  const TRect& a = In.Area;
  TRect t = Bounds(a.Left, a.Top, In.TextWidth + In.TXTBackleft + In.TXTBackRight, In.TextHeight);
  int32_t dx = 0;
  if (In.RightToLeft) {
    dx = a.Width() - In.TextRightClip - t.Width();
  } else {
    switch (In.TextAlignment) {
      case 0: dx = In.TextShift; break;
      case 1: dx = (a.Width() - t.Width()) / 2; break;
      case 2: dx = a.Width() - In.TextRightClip - t.Width(); break;
      default: dx = 0; break;
    }
  }
  const int32_t dy = (a.Height() - t.Height()) / 2 + In.TextShiftVert / 2;
  t = Rect(t.Left + dx, t.Top + dy, t.Right + dx, t.Bottom + dy);
  if (In.Popup) {
    if (In.ButtonClipX > 5 && In.ButtonClipX - 5 < t.Right) t.Right = In.ButtonClipX - 5;
  } else {
    t.Right = std::min(t.Right, a.Right - In.TextRightClip);
  }
  if (In.DialogFrame && In.TextAlignment == 0) t.Left -= 16;
  TCaptionTextPlace place;
  place.Back = t;
  place.Text = Rect(t.Left + In.TXTBackleft, t.Top, t.Right - In.TXTBackRight, t.Bottom);
  return place;
}

TCaptionButtonShow CaptionButtonShow(int32_t V, int32_t V1, int32_t Action, const TCaptionFlags& F,
                                     const TAskVisible& Ask, bool WasEnabled) {
  const bool maxBox = F.MaxBox || F.Help;
  const bool minOrMax = F.MinBox || maxBox;
  const bool dialogFrame = !F.DialogClass && F.DialogFrame;
  // Visibility -1 has no answer of its own: the button shows when Visibility1 allows it.
  bool a = false;
  switch (V) {
    case -1: a = true; break;
    case 0: a = true; break;
    case 1: a = F.Maximised; break;
    case 2: a = !F.Maximised; break;
    case 3: a = F.Active; break;
    case 4: a = !F.Active; break;
    case 5: a = false; break;
    case 6: case 8: a = minOrMax && F.SysMenu; break;
    case 7: a = !maxBox; break;
    case 9: a = !F.MinBox; break;
    case 10: a = !(F.Fourth && minOrMax); break;
    case 100: a = F.MdiChildMax && F.HasMenuBar; break;
    case 200: a = dialogFrame; break;
    default:
      if (V >= 201 && V <= 999) a = true;
      else if (V >= 1000 && V <= 2000) a = Ask && Ask(V, Action) > 0;
      break;
  }
  bool b = false;
  switch (V1) {
    case -1: b = false; break;
    case 0: b = true; break;
    case 1: b = F.Maximised; break;
    case 2: b = !F.Maximised; break;
    case 3: b = F.Active; break;
    case 4: b = !F.Active; break;
    case 5: b = false; break;
    case 6: case 8: b = minOrMax; break;
    case 7: b = !maxBox; break;
    case 9: b = !F.MinBox; break;
    case 10: b = F.Fourth; break;
    case 100: b = a; break;
    case 200: b = dialogFrame; break;
    default: b = V1 >= 201 && V1 <= 2000; break;
  }
  TCaptionButtonShow show{a && b, WasEnabled};
  switch (Action) {
    case 0:
      if (!F.SysMenu) show.Visible = false;
      break;
    case 1: show.Enabled = F.MaxBox && F.SysMenu; break;
    case 2: show.Enabled = F.MinBox && F.SysMenu; break;
    case 3: case 11: case 12:
      if (F.DialogFrame) show.Visible = false;
      break;
    default: break;
  }
  return show;
}

int32_t RestorePictureIndex(const std::vector<TCaptionButtonCodes>& Buttons, const TCaptionFlags& F) {
  TCaptionFlags normal = F, maximised = F;
  normal.Maximised = false;
  maximised.Maximised = true;
  for (size_t i = 0; i < Buttons.size(); ++i) {
    const TCaptionButtonCodes& b = Buttons[i];
    if (b.Action != 1 && b.Action != 22) continue;
    // Codes the application decides are not asked: nothing here is painted.
    if (CaptionButtonShow(b.Visibility, b.Visibility1, b.Action, maximised, nullptr, true).Visible &&
        !CaptionButtonShow(b.Visibility, b.Visibility1, b.Action, normal, nullptr, true).Visible)
      return int32_t(i);
  }
  return -1;
}

TRect PlaceCaptionButton(const TCaptionButtonPlaceInput& In) {
  const int32_t w = In.Width, h = In.Height;
  int32_t x = 0, y = 0;
  switch (In.Align) {
    case 0: x = In.Xcoord; y = In.Ycoord; break;
    case 1: x = In.WindowWidth - In.Xcoord; y = In.Ycoord; break;
    case 2: case 8: x = In.CaptionText.Left - w - In.Xcoord; y = In.Ycoord; break;
    case 3: case 9: x = In.CaptionText.Right + In.Xcoord; y = In.Ycoord; break;
    case 100:
      x = In.WindowWidth - In.Xcoord - In.Borders.Right - std::max(0, In.MenuTileLeft);
      y = (In.Borders.Menu - h) / 2 + In.Borders.Top;
      break;
    default: break;
  }
  return Bounds(x, y, w, h);
}

TCaptionLayout LayOutCaption(const TCaptionLayoutInput& In) {
  TCaptionLayout l;
  l.Buttons.resize(In.Buttons.size());
  auto followsText = [](int32_t align) { return align == 2 || align == 3 || align == 8 || align == 9; };
  auto place = [&](size_t i) {
    const TCaptionButtonBox& b = In.Buttons[i];
    TCaptionButtonPlaceInput p;
    p.Align = b.Align;
    p.Xcoord = b.Xcoord;
    p.Ycoord = b.Ycoord;
    p.Width = b.Width;
    p.Height = b.Height;
    p.WindowWidth = In.WindowWidth;
    p.CaptionText = l.Text.Back;
    p.Borders = In.Borders;
    p.MenuTileLeft = In.MenuTileLeft;
    l.Buttons[i] = PlaceCaptionButton(p);
  };
  for (size_t i = 0; i < In.Buttons.size(); ++i) {
    if (followsText(In.Buttons[i].Align)) continue;
    place(i);
    if (In.Buttons[i].Shown && In.Buttons[i].Align == 1) l.ClipX = std::max(l.ClipX, l.Buttons[i].Left);
  }
  TCaptionTextInput text = In.Text;
  text.ButtonClipX = l.ClipX;
  l.Text = PlaceCaptionText(text);
  for (size_t i = 0; i < In.Buttons.size(); ++i)
    if (followsText(In.Buttons[i].Align)) place(i);
  return l;
}

int32_t CaptionButtonFrame(int32_t State, int32_t StripFrames, bool Enabled, bool Active, int32_t Visibility,
                           bool InTitleBar) {
  int32_t frame;
  if (InTitleBar) {
    frame = Active ? 1 : 4;
    if (!Enabled) frame = 4;
    if (StripFrames < 4) frame = 1;
    return frame;
  }
  frame = State;
  if (!Enabled) frame = StripFrames > 3 ? 4 : 1;
  if (Visibility == 100 && State == 3) frame = 4;
  // A strip with fewer frames than the state asks for shows its first one rather than nothing.
  if (frame > StripFrames) frame = 1;
  return frame;
}

std::vector<TRect> MenuBarLayout(const TMenuBarLayoutInput& In) {
  int32_t s = 6;
  if (In.HasRecord) {
    s = In.RightToLeft ? In.TileRight + 8 : In.TileLeft + 4;
    if (s > In.BarWidth) s = 12;
  }
  std::vector<TRect> out(In.TextWidths.size());
  int32_t x = In.RightToLeft ? In.BarWidth - s : s;
  if (In.RightToLeft && In.RightLimit >= 0 && In.RightLimit < x) x = In.RightLimit;
  for (size_t i = 0; i < In.TextWidths.size(); ++i) {
    const bool visible = i < In.Visible.size() ? bool(In.Visible[i]) : true;
    if (!visible) continue;
    const int32_t w = In.TextWidths[i] > 0 ? In.TextWidths[i] + 10 : 0;
    if (In.RightToLeft) {
      out[i] = TRect{x - w, 0, x, In.Height - 1};
      x -= w;
    } else {
      out[i] = TRect{x, 0, x + w, In.Height - 1};
      x += w;
    }
  }
  return out;
}
