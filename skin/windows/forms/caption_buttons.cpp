// Caption buttons of a skinned window: made from the skin's records, shown and enabled by their
// visibility codes, placed by their alignment, drawn in their states, and their actions.
#include "skin/windows/forms/caption_buttons.h"

#include <algorithm>

#include "classlib/controls/timer.h"
#include "skin/data/velt_data.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/core/skin_messages.h"
#include "classlib/graphics/bitmap.h"
#include "classlib/graphics/graphics.h"
#include "skin/windows/paint/draw_primitives.h"
#include "skin/windows/paint/frame_geometry.h"

bool IsIconAction(int Action) { return Action == 3 || Action == 11; }

namespace {

bool Inside(const TRect& r, POINT p) { return p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom; }

bool HasStrip(const TDataSkinSysButton* b) { return b && b->Map && !b->Map->Empty(); }

int Frames(const TDataSkinSysButton* b) { return std::max(1, b->Frame); }

}  // namespace

// ---- The hot-object state machine

void TNCObject::MouseDown() {
  TNCObject* h = Form->HotObject;
  if (h && h != this) h->MouseLeave();
  if (!Visible) return;
  Form->HotObject = this;
  State = ncPressed;
  Draw();
}

void TNCObject::MouseUp() {
  if (!Visible) return;
  State = ncHot;
  Draw();
}

void TNCObject::MouseEnter() {
  TNCObject* h = Form->HotObject;
  if (h == this) return;
  if (h) h->MouseLeave();
  if (!Visible) return;
  Form->HotObject = this;
  State = ncHot;
  Draw();
}

void TNCObject::MouseLeave() {
  // A hidden object that was hot must not stay the hot one.
  if (Form->HotObject == this) Form->HotObject = nullptr;
  if (!Visible) return;
  State = ncNormal;
  Draw();
}

void TWinSysButton::Draw() { Form->DrawSysbtn(this, State); }

// ---- The form's caption buttons

void TVeltForm::CreateSysbtns() {
  DeleteSysbtn();
  ForgetFramePictures();
  if (!SkinData) return;
  for (auto& rec : SkinData->SysButtons)
    if (rec) sysBtns_.push_back(new TWinSysButton(this, rec.get()));
}

void TVeltForm::DeleteSysbtn() {
  for (TWinSysButton* b : sysBtns_) {
    if (HotObject == b) HotObject = nullptr;
    delete b;
  }
  sysBtns_.clear();
}

bool TVeltForm::MDIChildMax() const {
  if (FormKind != fkMDIParent || !MDIClient) return false;
  BOOL maximised = FALSE;
  HWND child = HWND(SendMessageW(MDIClient, WM_MDIGETACTIVE, 0, LPARAM(&maximised)));
  return child && maximised;
}

TCaptionFlags TVeltForm::CaptionFlags() const {
  TCaptionFlags f;
  f.SysMenu = (StyleFlags & sfHasSysMenu) != 0;
  f.MinBox = (StyleFlags & sfHasMinBox) != 0;
  f.MaxBox = (StyleFlags & sfHasMaxBox) != 0;
  f.Help = (StyleFlags & sfHasHelp) != 0;
  f.Active = Active;
  f.Maximised = WindowState == vwMaximized;
  f.DialogClass = Dialog;
  f.DialogFrame = BorderKind == bkDialog;
  f.MdiChildMax = MDIChildMax();
  f.HasMenuBar = MenuBarObject() != nullptr;
  return f;
}

bool TVeltForm::SysBtnVisible(int Index) {
  TWinSysButton* b = sysBtns_[size_t(Index)];
  const TDataSkinSysButton* r = b->Button;
  HWND wnd = hwnd;
  const TCaptionButtonShow show = CaptionButtonShow(
      r->Visibility, r->Visibility1, r->Action, CaptionFlags(),
      [wnd](int32_t code, int32_t action) { return intptr_t(SendMessageW(wnd, CN_SysBtnVisible, WPARAM(code), action)); },
      b->Enabled);
  b->Visible = show.Visible;
  b->Enabled = show.Enabled;
  return show.Visible;
}

const TDataSkinSysButton* TVeltForm::FaceRecord(const TWinSysButton* Button) const {
  const TDataSkinSysButton* r = Button->Button;
  if (WindowState != vwMinimized || (r->Action != 2 && r->Action != 23)) return r;
  // A minimised window's minimise button restores it: it shows the skin's restore picture.
  std::vector<TCaptionButtonCodes> codes;
  for (const TWinSysButton* b : sysBtns_)
    codes.push_back(TCaptionButtonCodes{b->Button->Action, b->Button->Visibility, b->Button->Visibility1});
  const int32_t i = RestorePictureIndex(codes, CaptionFlags());
  if (i < 0 || !HasStrip(sysBtns_[size_t(i)]->Button)) return r;
  return sysBtns_[size_t(i)]->Button;
}

TCaptionTextPlace TVeltForm::LayOutTitle(HDC MeasureDC, const TRect& TextArea, const WideString& Text) {
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  TCaptionLayoutInput in;
  in.Text = CaptionTextInput(MeasureDC, TextArea, Text);
  in.WindowWidth = wr.right - wr.left;
  in.Borders = FrameBorders();
  const TDataSkinObject* menuBar = SkinData ? SkinData->MenuBar.get() : nullptr;
  in.MenuTileLeft = menuBar ? menuBar->Margins.Left : -1;
  // Asked in the skin's order: an application may answer codes 1000..2000 itself.
  for (size_t i = 0; i < sysBtns_.size(); ++i) {
    TWinSysButton* b = sysBtns_[i];
    const TDataSkinSysButton* r = b->Button;
    TCaptionButtonBox box;
    box.Align = r->Align;
    box.Xcoord = r->Xcoord;
    box.Ycoord = r->Ycoord;
    box.Shown = SysBtnVisible(int(i));
    if (HasStrip(r)) {
      box.Width = r->Map->Width() / Frames(r);
      box.Height = r->Map->Height();
    } else if (IsIconAction(r->Action)) {
      // An icon button without a picture of its own shows the window's icon at its size.
      box.Width = GetSystemMetrics(SM_CXSMICON);
      box.Height = GetSystemMetrics(SM_CYSMICON);
    } else {
      b->Visible = box.Shown = false;
    }
    in.Buttons.push_back(box);
  }
  const TCaptionLayout l = LayOutCaption(in);
  for (size_t i = 0; i < sysBtns_.size(); ++i) sysBtns_[i]->Rect = l.Buttons[i];
  CaptionTextRect = l.Text.Back;
  SysBtnClipX = l.ClipX;
  return l.Text;
}

void TVeltForm::SetSysbtnRect() {
  if (!SkinData) return;
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  const TNcLayout nc = NcLayout(wr.right - wr.left, wr.bottom - wr.top, FrameBorders(), WindowState == vwMinimized);
  // The text is measured as the title bar's paint measures it: in its font, on a memory picture.
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return;
  LayOutTitle(dc, nc.TextArea, CaptionText());
  DeleteDC(dc);
}

void TVeltForm::DrawButtonFace(HDC DC, TWinSysButton* Button, int Frame) {
  const TDataSkinSysButton* r = FaceRecord(Button);
  if (IsIconAction(r->Action)) {
    HICON icon = WindowIcon();
    const TRect& rc = Button->Rect;
    if (icon) {
      DrawIconEx(DC, rc.Left, rc.Top, icon, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0, nullptr,
                 DI_NORMAL);
      return;
    }
    if (SkinData && SkinData->AppIcon && !SkinData->AppIcon->Empty()) {
      DrawTranmap(DC, rc, SkinData->AppIcon.get(), kSkinKeyColor);
      return;
    }
    if (!HasStrip(r)) return;
    Frame = 1;
  }
  if (!HasStrip(r)) return;
  DrawRect1(DC, Button->Rect, r->Map.get(), Frame, Frames(r), 1);
}


HICON TVeltForm::WindowIcon() const {
  HICON icon = HICON(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = HICON(GetClassLongPtrW(hwnd, GCLP_HICONSM));
  if (!icon) icon = HICON(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
  return icon;
}

int TVeltForm::SysbtnFace(TWinSysButton* b) const {
  const TDataSkinSysButton* r = b->Button;
  // Buttons of the menu-bar row are the menu bar's to draw.
  if (!b->Visible || r->Visibility == 100) return 0;
  const TDataSkinSysButton* face = FaceRecord(b);
  const int frames = HasStrip(face) ? Frames(face) : 1;
  const bool live = b == HotObject && b->State != ncNormal;
  return CaptionButtonFrame(live ? b->State : ncNormal, frames, b->Enabled, Active, r->Visibility, !live);
}

void TVeltForm::DrawAllSysbtn(TBitmap& Work) {
  HDC dc = Work.Canvas()->Handle();
  for (TWinSysButton* b : sysBtns_) {
    const int frame = SysbtnFace(b);
    if (!frame) continue;
    const TDataSkinSysButton* r = FaceRecord(b);
    // A button at its strip's size goes straight on the composition's pixels.
    if (!IsIconAction(r->Action) && HasStrip(r)) {
      const std::optional<TRect> part = FrameRect(r->Map->Width(), r->Map->Height(), frame, Frames(r), false);
      if (part && part->Width() == b->Rect.Width() && part->Height() == b->Rect.Height() &&
          PutKeyed(Work, b->Rect.Left, b->Rect.Top, r->Map.get(), *part))
        continue;
    }
    DrawButtonFace(dc, b, frame);
  }
}

void TVeltForm::DrawSysbtn(TWinSysButton* Button, int State) {
  Button->State = State;
  // The button is put on with the title bar it sits in: composed off screen, one copy.
  PaintNc(nullptr, true);
}

TWinSysButton* TVeltForm::FindBtn(POINT P) {
  // Only what the frame paints can be hit, where the paint would put it now.
  if (sysBtns_.empty() || !FramePainted()) return nullptr;
  SetSysbtnRect();
  // Where buttons overlap, the one drawn last is the one seen.
  for (auto i = sysBtns_.rbegin(); i != sysBtns_.rend(); ++i) {
    TWinSysButton* b = *i;
    if (b->Visible && b->Button->Action >= 0 && Inside(b->Rect, P)) return b;
  }
  return nullptr;
}

void TVeltForm::MDIChildAction(UINT Cmd) {
  if (FormKind != fkMDIParent || !MDIClient) return;
  HWND child = HWND(SendMessageW(MDIClient, WM_MDIGETACTIVE, 0, 0));
  if (child) SendMessageW(child, WM_SYSCOMMAND, Cmd, 0);
}

void TVeltForm::Maximize() {
  if (WindowState == vwMaximized) {
    Restore();
    return;
  }
  if (FormKind == fkMDIChild && Manager) Manager->SetMDIMax(true);
  WindowState = vwMaximized;
  PostMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  HotObject = nullptr;
}

void TVeltForm::Restore() {
  WindowState = vwNormal;
  PostMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TVeltForm::Minimize() {
  if (WindowState == vwMinimized) {
    Restore();
    return;
  }
  WindowState = vwMinimized;
  UpdateStyle(false);
  PostMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TVeltForm::SysBtnAction(int ScreenX, int ScreenY) {
  auto* b = dynamic_cast<TWinSysButton*>(HotObject);
  if (!b) return;
  const int action = b->Button->Action;
  switch (action) {
    case 0:
      if (!CheckSysmenu()) return;
      hoverTimer_->SetEnabled(false);
      PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case 1:
    case 22:
      if (b->Enabled) Maximize();
      break;
    case 2:
    case 23:
      if (b->Enabled) Minimize();
      break;
    case 3:
    case 11:
    case 12:
      PopSysmenu(POINT{ScreenX + 1, ScreenY + 1});
      break;
    case 4:
      PostMessageW(hwnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
      break;
    case 7:
    case 60:
      MDIChildAction(SC_MINIMIZE);
      break;
    case 8:
    case 61:
      MDIChildAction(SC_RESTORE);
      break;
    case 9:
    case 62:
      MDIChildAction(SC_CLOSE);
      break;
    default:
      PostMessageW(hwnd, CN_SysBtnAction, WPARAM(action), 0);
      break;
  }
}
