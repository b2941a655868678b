// The data-aware grid under the scroll-bar skin: chosen by its scroll bars, it shows the skin's
// bars over its own, they follow it as it scrolls through the rows of a real database, and its
// fixed colour is the skin's while skinned and its own again afterwards.

#include <initializer_list>
#include <memory>

#include "classlib/controls/extctrls.h"
#include "classlib/db/dbgrids.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/scroll_skin.h"
#include "tests/classlib/db/db_fixture.h"
#include "tests/skin/windows/controls/scroll_agreement.h"

using namespace skintest;

namespace {

// A grid that counts the frame paints reaching its own procedure, below the skin's.
class TFramePaintGrid : public TDBGrid {
public:
  using TDBGrid::TDBGrid;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_NCPAINT) ++FramePaints;
    TDBGrid::Dispatch(m);
  }
  int FramePaints = 0;
};

class GridSkin : public DbFixture {
protected:
  void SetUp() override {
    DbFixture::SetUp();
    TTimer::SetManualTimers(true);
    BindUser32Functions();
    {
      TRawDb raw(folder + L"Karo.cc");
      for (int i = 0; i < 80; ++i) raw.Insert2("INSERT INTO CiYu VALUES (?, ?)", L"\u6625" + std::to_wstring(i), L"x");
    }
    auto stream = StreamOf(SkinFile());
    data.LoadFromStream(*stream);
    host = MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560, 420);
    SetForegroundWindow(host);
    panel = std::make_unique<TPanel>(nullptr);
    panel->SetParentWindow(host);
    panel->SetBounds(0, 0, 540, 380);
    q = Query(L"select * from CiYu");
    source.SetDataSet(q);
    form.hwnd = host;
    form.SkinData = &data;
  }
  void TearDown() override {
    form.DeleteControls();
    q->Close();
    panel.reset();
    DestroyWindow(host);
    Pump();
    TTimer::SetManualTimers(false);
    DbFixture::TearDown();
  }
  // The grid over the words, open, of the given columns (none: one per field).
  TFramePaintGrid* MakeGrid(int w, int h, std::initializer_list<const wchar_t*> columns = {}) {
    auto* grid = new TFramePaintGrid(panel.get());
    grid->SetParent(panel.get());
    grid->SetBounds(10, 10, w, h);
    for (const wchar_t* field : columns) {
      TColumn* col = grid->Columns()->Add();
      col->SetFieldName(field);
      col->SetWidth(150);
    }
    grid->SetDataSource(&source);
    q->Open();
    Pump();
    return grid;
  }
  TSkinScrollbar* SkinOf(TDBGrid* grid) {
    AddComp(&form, grid, panel.get());
    Pump();
    return dynamic_cast<TSkinScrollbar*>(Lookupcontrol(&form, grid->Handle()));
  }
  TSkinData data{nullptr};
  HWND host = nullptr;
  std::unique_ptr<TPanel> panel;
  TADOQuery* q = nullptr;
  TDataSource source{nullptr};
  TVeltForm form{nullptr};
};

TEST_F(GridSkin, TheGridShowsSkinnedScrollBarsThatFollowIt) {
  TDBGrid* grid = MakeGrid(300, 200);
  const TColor fixed = grid->FixedColor();
  auto* skin = SkinOf(grid);
  ASSERT_NE(skin, nullptr);
  ASSERT_NE(skin->FVert, nullptr);
  EXPECT_EQ(grid->FixedColor(), ColorToRGB(data.Colors[csButtonFace]));
  HWND h = grid->Handle();
  EXPECT_TRUE(Agrees(skin->FVert, h, OBJID_VSCROLL));
  SetFocus(h);
  for (int i = 0; i < 3; ++i) {
    SendMessageW(h, WM_KEYDOWN, VK_NEXT, 1);
    SendMessageW(h, WM_KEYUP, VK_NEXT, LPARAM(0xC0000001));
    Pump();
    EXPECT_TRUE(Agrees(skin->FVert, h, OBJID_VSCROLL)) << "after page " << i;
  }
  RECT w{};
  GetWindowRect(h, &w);
  SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(w.left + 30, w.top + 30));
  Pump();
  EXPECT_TRUE(Agrees(skin->FVert, h, OBJID_VSCROLL)) << "after the wheel";
  // The bar on screen is the skin's: its thumb in the skin's thumb colour.
  RECT cr{};
  GetClientRect(skin->FVert->Handle(), &cr);
  TDib dib(cr.right, cr.bottom);
  SendMessageW(skin->FVert->Handle(), WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  const TThumbSpan t = skin->FVert->DrawnThumb();
  const COLORREF thumb = dib.At(8, t.Start), grip = FrameColor(kScrollPic, 20);
  EXPECT_TRUE(thumb == FrameColor(kVThumbPic, 1) || (thumb == grip && t.End - t.Start <= 19)) << std::hex << thumb;
  EXPECT_EQ(dib.At(8, t.Start - 2), FrameColor(kVScrollPic, 1));
  // A skin change between gives the grid the skin's colour again; unskinning its own.
  skin->SkinChange();
  EXPECT_EQ(grid->FixedColor(), ColorToRGB(data.Colors[csButtonFace]));
  form.DeleteControls();
  EXPECT_EQ(grid->FixedColor(), fixed);
}

TEST_F(GridSkin, TheOverlaysAgreeWithTheGridAfterEveryWayOfScrolling) {
  // Columns wider together than the grid: it scrolls across too.
  TDBGrid* grid = MakeGrid(220, 160, {L"CiYu", L"HanYi"});
  auto* skin = SkinOf(grid);
  ASSERT_TRUE(skin && skin->FVert && skin->FHorz);
  TScrollSubject subject("TDBGrid", grid, grid->Handle(), skin->FVert, skin->FHorz);
  subject.Content = [&](bool more) {
    q->Close();
    {
      TRawDb raw(folder + L"Karo.cc");
      if (more)
        for (int i = 0; i < 60; ++i) raw.Insert2("INSERT INTO CiYu VALUES (?, ?)", L"\u79cb" + std::to_wstring(i), L"y");
      else
        raw.Exec("DELETE FROM CiYu WHERE rowid > 3");
    }
    q->Open();
  };
  RunScrollWays(subject);
}

// A program that switches the grid's drawing off (WM_SETREDRAW) while it fills it again: the system
// takes the grid's visible style away meanwhile, which is no hiding. The overlays stay where they
// are, and follow the grid's bars once drawing is back.
TEST_F(GridSkin, DrawingSwitchedOffLeavesTheOverlaysAndTheyFollowWhenItIsBack) {
  TDBGrid* grid = MakeGrid(220, 160, {L"CiYu", L"HanYi"});
  auto* skin = SkinOf(grid);
  ASSERT_TRUE(skin && skin->FVert && skin->FHorz);
  const HWND h = grid->Handle();
  SendMessageW(h, WM_SETREDRAW, FALSE, 0);
  ASSERT_FALSE(IsWindowVisible(h)) << "the system's own answer to WM_SETREDRAW";
  q->Close();
  {
    TRawDb raw(folder + L"Karo.cc");
    raw.Exec("DELETE FROM CiYu WHERE rowid > 3");
  }
  q->Open();
  Pump();
  EXPECT_TRUE(IsWindowVisible(skin->FVert->Handle())) << "nothing while drawing is off hides it";
  EXPECT_TRUE(IsWindowVisible(skin->FHorz->Handle()));
  SendMessageW(h, WM_SETREDRAW, TRUE, 0);
  Pump();
  EXPECT_TRUE(Agrees(skin->FVert, h, OBJID_VSCROLL)) << "three rows need no bar";
  EXPECT_TRUE(Agrees(skin->FHorz, h, OBJID_HSCROLL));
  // Once drawing is back, a hiding hides the overlays again.
  SendMessageW(h, WM_SETREDRAW, FALSE, 0);
  SendMessageW(h, WM_SETREDRAW, TRUE, 0);
  ShowWindow(h, SW_HIDE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(skin->FHorz->Handle()));
  // The program hiding the grid while its drawing is off hides them too.
  ShowWindow(h, SW_SHOW);
  Pump();
  ASSERT_TRUE(IsWindowVisible(skin->FHorz->Handle()));
  SendMessageW(h, WM_SETREDRAW, FALSE, 0);
  grid->SetVisible(false);
  Pump();
  EXPECT_FALSE(IsWindowVisible(skin->FHorz->Handle()));
}

// The system draws a themed bar slowly even where an overlay hides it: while both overlays lie over
// the bars, the frame is the skin's alone; bars that no overlay hides are left to the system.
TEST_F(GridSkin, TheSystemDrawsTheFrameOnlyWhereNoOverlayHidesABar) {
  TFramePaintGrid* grid = MakeGrid(220, 160, {L"CiYu", L"HanYi"});
  auto* skin = SkinOf(grid);
  ASSERT_TRUE(skin && skin->FVert && skin->FHorz);
  const HWND h = grid->Handle();
  ASSERT_TRUE(IsWindowVisible(skin->FVert->Handle()) && IsWindowVisible(skin->FHorz->Handle()));
  const struct {
    const char* Case;
    bool SkinDrawsBars;
    int SystemPaints;
  } cases[] = {{"both bars under their overlays", true, 0}, {"a skin without scroll-bar pictures", false, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    if (!c.SkinDrawsBars) {
      data.Scrollbar.reset();
      skin->SkinChange();
      ASSERT_EQ(skin->FVert, nullptr) << "such a skin shows no overlays";
    }
    grid->FramePaints = 0;
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(grid->FramePaints, c.SystemPaints);
    // The skin's border is drawn either way.
    HDC dc = GetWindowDC(h);
    const COLORREF corner = GetPixel(dc, 0, 0);
    ReleaseDC(h, dc);
    EXPECT_EQ(corner, COLORREF(ColorToRGB(data.Colors[csButtonShadow])));
  }
}

}  // namespace
