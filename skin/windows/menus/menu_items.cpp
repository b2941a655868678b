#include "skin/windows/menus/menu_items.h"

#include <algorithm>

#include "classlib/controls/menus.h"
#include "classlib/graphics/bitmap.h"
#include "classlib/graphics/graphics.h"
#include "classlib/graphics/image_list.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/core/button_text.h"
#include "skin/windows/core/nc_fonts.h"
#include "skin/windows/paint/draw_primitives.h"

namespace {

// Text flags: measuring, the caption, the accelerator text (left-to-right and right-to-left).
constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE;
constexpr UINT kCaptionFlags = DT_EXPANDTABS | DT_SINGLELINE;
constexpr UINT kRtlFlags = DT_RTLREADING | DT_RIGHT;
// The system's check-mark bitmap (OBM_CHECK, declared only with OEMRESOURCE).
constexpr WORD kCheckBitmap = 32760;

COLORREF Rgb(TColor c) { return GdiColor(ColorToRGB(c)); }

const TDataSkinObject* ItemRecord(TSkinData* Data) {
  const TDataSkinObject* r = Data ? Data->MenuItem.get() : nullptr;
  return r && r->Map && !r->Map->Empty() ? r : nullptr;
}

int ItemFrames(const TDataSkinObject* r) { return r->Frame > 0 ? r->Frame : 5; }

// A one-bit mark (black on white) put on DC at (X, Y) in Color; the white stays transparent.
void DrawMark(HDC DC, HDC Mark, int X, int Y, int W, int H, COLORREF Color) {
  const COLORREF oldText = SetTextColor(DC, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(DC, RGB(255, 255, 255));
  HBRUSH brush = CreateSolidBrush(Color);
  HGDIOBJ old = SelectObject(DC, brush);
  // Where the mark is black the brush goes in; elsewhere the destination stays.
  BitBlt(DC, X, Y, W, H, Mark, 0, 0, 0x00B8074A);
  SelectObject(DC, old);
  DeleteObject(brush);
  SetTextColor(DC, oldText);
  SetBkColor(DC, oldBack);
}

// The check mark (the system's check bitmap) or the radio bullet, centred in the glyph column.
void DrawCheck(HDC DC, bool Radio, int GlyphLeft, int Glyph, const TRect& Item) {
  HDC mem = CreateCompatibleDC(DC);
  if (!mem) return;
  HBITMAP mark = nullptr;
  int w = 16, h = 16;
  if (Radio) {
    mark = CreateBitmap(w, h, 1, 1, nullptr);
  } else {
    mark = LoadBitmapW(nullptr, MAKEINTRESOURCEW(kCheckBitmap));
    BITMAP b{};
    if (mark && GetObjectW(mark, sizeof b, &b)) {
      w = b.bmWidth;
      h = b.bmHeight;
    }
  }
  if (mark) {
    HGDIOBJ old = SelectObject(mem, mark);
    if (Radio) {
      RECT all{0, 0, w, h};
      PatBlt(mem, 0, 0, w, h, WHITENESS);
      DrawFrameControl(mem, &all, DFC_MENU, DFCS_MENUBULLET);
    }
    const int x = GlyphLeft + (Glyph - w) / 2 + 1;
    const int y = Item.Top + (Item.Height() - h) / 2 + 1;
    DrawMark(DC, mem, x, y, w, h, Rgb(clBtnText));
    SelectObject(mem, old);
    DeleteObject(mark);
  }
  DeleteDC(mem);
}

// The glyph area of a checked item with an image: the face and highlight colours mixed, sunken.
void DrawCheckedImageBack(HDC DC, RECT R) {
  const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = pattern ? CreatePatternBrush(pattern) : nullptr;
  if (brush) {
    const COLORREF t = SetTextColor(DC, Rgb(clBtnFace));
    const COLORREF b = SetBkColor(DC, Rgb(clBtnHighlight));
    FillRect(DC, &R, brush);
    SetTextColor(DC, t);
    SetBkColor(DC, b);
    DeleteObject(brush);
  }
  if (pattern) DeleteObject(pattern);
  DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
}

TColor TextColor(TSkinData* Data, const TMenuItemLook& Look, bool Selected) {
  if (Look.Enabled) return Data->Colors[Selected ? csHilightText : csMenuText];
  const TColor shadow = Data->Colors[csButtonShadow];
  return shadow == Data->Colors[csMenuText] ? TColor(clBtnShadow) : shadow;
}

// One run of the item's text in its colours (DoDrawText).
void DoDrawText(TSkinData* Data, HDC DC, const TMenuItemLook& Look, WideString Text, RECT& R, bool Selected,
                UINT Flags) {
  if ((Flags & DT_CALCRECT) && (Text.empty() || Text == L"&")) Text += L" ";
  if (Text == L"-") {
    if (!(Flags & DT_CALCRECT)) {
      RECT line{R.left, R.top + 4, R.right, R.bottom};
      DrawEdge(DC, &line, EDGE_ETCHED, BF_TOP);
    }
    return;
  }
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, Rgb(TextColor(Data, Look, Selected)));
  Tnt_DrawTextW(DC, Text, R, Flags);
}

// Glyph, caption and accelerator text of the item in R of DC (DrawItemText).
void DrawItemText(TSkinData* Data, HDC DC, const TRect& R, const TMenuItemLook& Look, bool Selected) {
  const TDataSkinObject* rec = ItemRecord(Data);
  const int lw = rec ? rec->Margins.Left : 0;
  TCustomImageList* images = Look.Images;
  int g = images ? images->Width() : 16;
  if (Look.Checked) g = std::max(g, 16);
  const bool image = images && Look.ImageIndex >= 0 && Look.ImageIndex < images->Count();
  HFONT font = SkinMenuFont();
  HFONT bold = nullptr;
  if (Look.Default) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    bold = CreateFontIndirectW(&lf);
  }
  HGDIOBJ oldFont = SelectObject(DC, bold ? bold : font);
  RECT glyph{};
  if (!Look.Separator) {
    if (Look.RightToLeft) {
      glyph.right = R.Right - 1 - lw;
      glyph.left = glyph.right - g;
    } else {
      glyph.left = R.Left + 1 + lw;
      glyph.right = glyph.left + g;
    }
    glyph.top = R.Top + 1;
    glyph.bottom = glyph.top + g;
    if (image) {
      int top = R.Top + (R.Height() - images->Height()) / 2;
      if (Look.Checked) {
        RECT back = glyph;
        back.top = R.Top + (R.Height() - 16) / 2;
        back.bottom = back.top + g;
        DrawCheckedImageBack(DC, back);
        top = back.top;
      }
      TCanvas canvas;
      canvas.SetHandle(DC);
      images->Draw(&canvas, glyph.left, top, Look.ImageIndex, Look.Enabled);
      canvas.SetHandle(nullptr);
    } else if (Look.Checked) {
      DrawCheck(DC, Look.Radio, glyph.left, g, R);
    }
  }
  RECT text{};
  RECT shortcut{};
  UINT captionFlags = kCaptionFlags;
  UINT shortcutFlags = DT_RIGHT;
  if (Look.RightToLeft) {
    text = RECT{R.Left + 1, R.Top, (Look.Separator ? R.Right : glyph.left) - 3, R.Bottom};
    captionFlags |= kRtlFlags;
    shortcutFlags = 0;
  } else {
    text = RECT{glyph.right + 3, R.Top, R.Right - 1, R.Bottom};
  }
  if (Look.Separator) {
    // Only the skin-less look draws a separator here; the strip's frame 2 draws it otherwise.
    RECT line{R.Left + 1, R.Top, R.Right - 1, R.Bottom};
    DoDrawText(Data, DC, Look, L"-", line, Selected, captionFlags);
  } else {
    RECT m = text;
    DoDrawText(Data, DC, Look, Look.Caption, m, Selected, captionFlags | kMeasureFlags);
    const int mh = m.bottom - m.top;
    const int top = text.top + ((text.bottom - text.top) - mh) / 2;
    RECT c = text;
    c.top = top;
    c.bottom = top + mh;
    DoDrawText(Data, DC, Look, Look.Caption, c, Selected, captionFlags);
    if (!Look.ShortCut.empty()) {
      if (Look.RightToLeft)
        shortcut = RECT{R.Left + 11, c.top, R.Right - 1, c.bottom};
      else
        shortcut = RECT{m.right, c.top, R.Right - 11, c.bottom};
      DoDrawText(Data, DC, Look, Look.ShortCut, shortcut, Selected, shortcutFlags | DT_SINGLELINE);
    }
  }
  SelectObject(DC, oldFont);
  if (bold) DeleteObject(bold);
}

// A separator from frame 2 of the MenuItem strip: its left and right columns kept, the middle
// stretched, the strip's bottom rows when the item is lower than the strip; magenta stays clear.
void DrawMenuCaption(const TDataSkinObject* Rec, HDC DC, const TRect& R) {
  const int w = R.Width(), h = R.Height();
  TBitmap* strip = Rec->Map.get();
  const int fw = strip->Width() / ItemFrames(Rec);
  const int sh = strip->Height();
  if (w <= 0 || h <= 0 || fw <= 0 || sh <= 0) return;
  const int x0 = fw;  // frame 2
  const int sy = h < sh ? sh - h : 0;
  const int shh = h < sh ? h : sh;
  int lw = std::clamp(int(Rec->Margins.Left), 0, fw);
  int rw = std::clamp(int(Rec->Margins.Right), 0, fw - lw);
  if (lw + rw > w) lw = rw = 0;
  TBitmap piece;
  piece.SetPixelFormat(pf24bit);
  piece.SetSize(w, h);
  HDC p = piece.Canvas()->Handle();
  HDC s = strip->Canvas()->Handle();
  const int old = SetStretchBltMode(p, COLORONCOLOR);
  if (lw > 0) StretchBlt(p, 0, 0, lw, h, s, x0, sy, lw, shh, SRCCOPY);
  if (rw > 0) StretchBlt(p, w - rw, 0, rw, h, s, x0 + fw - rw, sy, rw, shh, SRCCOPY);
  if (fw - lw - rw > 0 && w - lw - rw > 0)
    StretchBlt(p, lw, 0, w - lw - rw, h, s, x0 + lw, sy, fw - lw - rw, shh, SRCCOPY);
  SetStretchBltMode(p, old);
  GdiFlush();
  DrawTranmap(DC, R, &piece, kSkinKeyColor);
}

}  // namespace

HFONT SkinMenuFont() {
  static HFONT font = CreateNonClientFont(&NONCLIENTMETRICSW::lfMenuFont);
  return font;
}

bool MenuItemLook(HMENU Menu, UINT Position, TMenuItemLook& Look) {
  wchar_t text[260] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING | MIIM_ID;
  info.dwTypeData = text;
  info.cch = UINT(std::size(text) - 1);
  if (!GetMenuItemInfoW(Menu, Position, TRUE, &info)) return false;
  Look = TMenuItemLook();
  WideString all = (info.fType & MFT_SEPARATOR) ? WideString() : WideString(text);
  const size_t tab = all.find(L'\t');
  Look.Caption = all.substr(0, tab);
  if (tab != WideString::npos) Look.ShortCut = all.substr(tab + 1);
  Look.Separator = (info.fType & MFT_SEPARATOR) || (all.empty() && !info.hSubMenu);
  if (Look.Separator) Look.Caption = L"-";
  Look.Checked = (info.fState & MFS_CHECKED) != 0;
  Look.Radio = (info.fType & MFT_RADIOCHECK) != 0;
  Look.Enabled = !(info.fState & (MFS_GRAYED | MFS_DISABLED));
  Look.Default = (info.fState & MFS_DEFAULT) != 0;
  Look.SubMenu = info.hSubMenu != nullptr;
  Look.RightToLeft = (info.fType & MFT_RIGHTORDER) != 0;
  return true;
}

TMenuItemLook MenuItemLook(TMenuItem* Item) {
  TMenuItemLook l;
  l.Caption = Item->Caption();
  l.Separator = Item->IsLine();
  l.ShortCut = ShortCutToText(Item->ShortCut());
  l.Checked = Item->Checked();
  l.Radio = Item->RadioItem();
  l.Enabled = Item->Enabled();
  l.Default = Item->Default();
  l.SubMenu = Item->Count() > 0;
  TMenu* menu = Item->GetParentMenu();
  l.RightToLeft = menu && menu->IsRightToLeft();
  l.Images = Item->GetImageList();
  l.ImageIndex = Item->ImageIndex();
  return l;
}

SIZE MeasurePlainItem(TSkinData* Data, HDC DC, const TMenuItemLook& Look) {
  const TDataSkinObject* rec = ItemRecord(Data);
  const int lw = rec ? rec->Margins.Left : 0;
  if (Look.Separator) return SIZE{lw + 26, 8};
  WideString text = Look.Caption;
  if (!Look.ShortCut.empty()) text += L"\t" + Look.ShortCut;
  if (text.empty()) text = L" ";
  HGDIOBJ old = SelectObject(DC, SkinMenuFont());
  RECT r{0, 0, 0, 0};
  DrawTextW(DC, text.c_str(), int(text.size()), &r, kMeasureFlags);
  SelectObject(DC, old);
  return SIZE{lw + (r.right - r.left) + 26, (r.bottom - r.top) + 4};
}

void MeasureSkinnedItem(TSkinData* Data, bool MainMenu, bool HasImages, int& Width, int& Height) {
  (void)Height;
  const TDataSkinObject* rec = ItemRecord(Data);
  if (rec) Width += rec->Margins.Left;
  if (MainMenu)
    Width += 10 + (HasImages ? 0 : 25);
  else
    Width += 12 + (HasImages ? 0 : 23);
}

void DrawSkinMenuItem(TSkinData* Data, HDC DC, const TRect& R, const TMenuItemLook& Look, bool Selected,
                      TBitmap* Background, POINT BackOffset) {
  const int w = R.Width(), h = R.Height();
  if (!Data || w <= 0 || h <= 0) return;
  TBitmap work;
  work.SetPixelFormat(pf24bit);
  work.SetSize(w, h);
  HDC m = work.Canvas()->Handle();
  const TRect all = Rect(0, 0, w, h);
  RECT whole{0, 0, w, h};
  const TDataSkinObject* rec = ItemRecord(Data);
  if (!rec) {
    HBRUSH b = CreateSolidBrush(Rgb(Data->Colors[Selected ? csHilight : csMenubg]));
    FillRect(m, &whole, b);
    DeleteObject(b);
    DrawItemText(Data, m, all, Look, Selected);
  } else {
    if (Background && !Background->Empty()) {
      BitBlt(m, 0, 0, w, h, Background->Canvas()->Handle(), R.Left + BackOffset.x, R.Top + BackOffset.y, SRCCOPY);
    } else {
      HBRUSH b = CreateSolidBrush(Rgb(Data->Colors[csMenubg]));
      FillRect(m, &whole, b);
      DeleteObject(b);
    }
    if (Look.Separator) {
      DrawMenuCaption(rec, m, all);
    } else {
      DrawRect2(m, all, rec->Map.get(), rec->Margins, Selected ? 4 : 1, ItemFrames(rec), rec->Trans, rec->Tile, 0);
      DrawItemText(Data, m, all, Look, Selected);
    }
  }
  GdiFlush();
  BitBlt(DC, R.Left, R.Top, w, h, m, 0, 0, SRCCOPY);
}

void MakeOwnerDrawn(HMENU Menu, std::vector<TOwnerDrawnItem>& Changed) {
  if (!Menu || !IsMenu(Menu)) return;
  const int n = GetMenuItemCount(Menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(Menu, UINT(i), TRUE, &info)) continue;
    if (!(info.fType & MFT_OWNERDRAW)) {
      const UINT own = info.fType;
      info.fMask = MIIM_FTYPE;
      info.fType = own | MFT_OWNERDRAW;
      if (SetMenuItemInfoW(Menu, UINT(i), TRUE, &info)) Changed.push_back({Menu, UINT(i), info.wID});
    }
    if (info.hSubMenu) MakeOwnerDrawn(info.hSubMenu, Changed);
  }
}

void RestoreOwnerDrawn(std::vector<TOwnerDrawnItem>& Changed) {
  for (const TOwnerDrawnItem& c : Changed) {
    if (!IsMenu(c.Menu)) continue;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    if (!GetMenuItemInfoW(c.Menu, c.Position, TRUE, &info) || info.wID != c.Id) continue;
    if (!(info.fType & MFT_OWNERDRAW)) continue;
    info.fMask = MIIM_FTYPE;
    info.fType &= ~UINT(MFT_OWNERDRAW);
    SetMenuItemInfoW(c.Menu, c.Position, TRUE, &info);
  }
  Changed.clear();
}

bool FindMenuItemById(HMENU Menu, UINT Id, HMENU& Found, UINT& Position) {
  if (!Menu || !IsMenu(Menu)) return false;
  const int n = GetMenuItemCount(Menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(Menu, UINT(i), TRUE, &info)) continue;
    if (info.wID == Id) {
      Found = Menu;
      Position = UINT(i);
      return true;
    }
  }
  for (int i = 0; i < n; ++i)
    if (HMENU sub = GetSubMenu(Menu, i))
      if (FindMenuItemById(sub, Id, Found, Position)) return true;
  return false;
}

// ---- Tool bars

void SkinToolBarBackground(TSkinData* Data, TToolBar* Bar, const TRect& R) {
  if (!Data || !Bar || Data->Options().Contains(xoToolbarBK)) return;
  const TDataSkinObject* rec = Data->Toolbar.get();
  if (!rec || !rec->Map || rec->Map->Empty() || R.Width() <= 0 || R.Height() <= 0) return;
  HDC dc = Bar->Canvas()->Handle();
  const int old = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, R.Left, R.Top, R.Width(), R.Height(), rec->Map->Canvas()->Handle(), 0, 0, rec->Map->Width(),
             rec->Map->Height(), SRCCOPY);
  SetStretchBltMode(dc, old);
}

int ToolBarButtonFrame(TCustomDrawState State) {
  if (State.Contains(cdsSelected)) return 2;
  if (State.Contains(cdsFocused) || State.Contains(cdsHot)) return 4;
  if (State.Contains(cdsDefault) && !State.Contains(cdsGrayed) && !State.Contains(cdsDisabled)) return 1;
  return 0;
}

void SkinToolBarButton(TSkinData* Data, bool FrameSkinned, TToolBar* Bar, TToolButton* Button,
                       TCustomDrawState State) {
  if (!Data || !Bar || !Button || !FrameSkinned || Data->Options().Contains(xoToolbarButton)) return;
  const TDataSkinButton* rec = Data->Buttons.get();
  if (!rec || !rec->Map || rec->Map->Empty()) return;
  const int frame = ToolBarButtonFrame(State);
  if (!frame) return;
  TCanvas* canvas = Bar->Canvas();
  canvas->Font()->SetColor(ButtonTextColor(rec, frame, canvas->Font()->Color()));
  TRect b = Button->BoundsRect();
  b = Rect(b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1);
  DrawRect2(canvas->Handle(), b, rec->Map.get(), rec->Margins, frame, 5, rec->Trans, 0, 0);
}
