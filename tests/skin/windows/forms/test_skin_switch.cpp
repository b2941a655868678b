// A skin switch of the gallery's full form paints each window once: at most two non-client paints,
// one erase and one paint per window, whatever it lays out meanwhile; the styles the system owns
// come out of the switch as they went in; and the form then looks, pixel for pixel, as the same
// form opened under the new skin, for every pair of Karo's four skins.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/stdctrls.h"
#include "skin/data/velt_data.h"
#include "skin/windows/manager/skin_manager.h"
#include "skin/windows/core/skin_messages.h"
#include "tests/support/dib.h"
#include "tests/support/paint_count.h"
#include "tools/gallery/gallery_form.h"

namespace {

const char* const kSkins[] = {"Yellow", "Azure", "Blue", "Gray"};

std::string SkinPath(int i) { return std::string(KARO_NATIVE_SKINS_DIR) + "/" + kSkins[i] + ".skn"; }

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

// A few rounds of the queue, for what the system posts after a paint.
void Settle() {
  for (int i = 0; i < 6; i++) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  Pump();
  GdiFlush();
}

// What the screen shows of a window, as 32-bit pixels.
struct TShot {
  int W = 0, H = 0;
  std::vector<uint32_t> Pixels;
};

TShot Capture(HWND wnd) {
  const auto dib = TDib::OfScreen(wnd);
  return {dib->W, dib->H, dib->Pixels()};
}

// Empty when the two pictures agree; else how many pixels differ and where the first one is.
std::string Difference(const TShot& a, const TShot& b) {
  if (a.W != b.W || a.H != b.H)
    return "sizes differ: " + std::to_string(a.W) + "x" + std::to_string(a.H) + " against " + std::to_string(b.W) +
           "x" + std::to_string(b.H);
  size_t differ = 0, first = 0;
  for (size_t i = 0; i < a.Pixels.size(); i++)
    if ((a.Pixels[i] & 0xFFFFFF) != (b.Pixels[i] & 0xFFFFFF) && differ++ == 0) first = i;
  if (differ == 0) return {};
  char at[160];
  std::snprintf(at, sizeof(at), "%zu pixels differ, the first at (%d, %d): %06X against %06X", differ,
                int(first % size_t(a.W)), int(first / size_t(a.W)), unsigned(a.Pixels[first] & 0xFFFFFF),
                unsigned(b.Pixels[first] & 0xFFFFFF));
  return at;
}

class SkinSwitch : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    for (int i = 0; i < 4; i++) {
      const DWORD a = GetFileAttributesA(SkinPath(i).c_str());
      ASSERT_NE(a, INVALID_FILE_ATTRIBUTES) << SkinPath(i) << " is missing: build the native configuration first";
    }
    skin_ = new TSkinData(nullptr);
    skin_->LoadFromFile(SkinPath(0));
    ASSERT_FALSE(skin_->NoSkinLoaded);
    ASSERT_NE(SkinManage(), nullptr);
    skin_->SetActive(true);
  }

  // A gallery form of its own, shown, active and skinned with the skin now loaded.
  TGalleryForm* OpenForm() {
    TGalleryForm* f = NewForm<TGalleryForm>(nullptr);
    f->Show();
    SetWindowPos(f->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(f->Handle());
    SetActiveWindow(f->Handle());
    for (int i = 0; i < 50 && !SkinManage()->FindVeltForm(f->Handle()); i++) Settle();
    Settle();
    EXPECT_NE(SkinManage()->FindVeltForm(f->Handle()), nullptr) << "the gallery's form was not skinned";
    return f;
  }

  // The switch as the manager's timer carries it out, at once rather than its interval later.
  void SwitchTo(int i) {
    skin_->LoadFromFile(SkinPath(i));
    ASSERT_FALSE(skin_->NoSkinLoaded);
    SkinManage()->OnTimer();
  }

  static inline TSkinData* skin_ = nullptr;
};

TEST_F(SkinSwitch, PaintsEveryWindowOnce) {
  TGalleryForm* form = OpenForm();
  // A first round: what is made once per skin is made.
  for (int i = 1; i <= 4; i++) {
    SwitchTo(i % 4);
    Settle();
  }
  for (int i = 1; i <= 4; i++) {
    SCOPED_TRACE(std::string("to ") + kSkins[i % 4]);
    TPaintCounter counter(form->Handle());
    ASSERT_TRUE(counter.Hooked()) << "the paint counter could not hook this thread";
    SwitchTo(i % 4);
    Settle();
    counter.Stop();
    ASSERT_GT(counter.Windows().size(), 30u);
    // A control drawn over its parent's picture asks the parent for it with an erase into the
    // control's own device context; counted with the rest, those still keep to one erase per window.
    const TPaintCounts total = counter.Total();
    EXPECT_LE(total.EraseBkgnd, int(counter.Windows().size()));
    for (const auto& [w, c] : counter.Counts()) {
      wchar_t cls[64] = L"";
      GetClassNameW(w, cls, 64);
      SCOPED_TRACE(testing::Message() << "window " << w << " of class " << cls);
      EXPECT_LE(c.NcPaint, 2);
      EXPECT_LE(c.EraseBkgnd - c.EraseForChild, 1);
      EXPECT_LE(c.Paint, 1);
      // A window that shows is painted anew, or the old skin would stay in it.
      if (IsWindowVisible(w)) {
        EXPECT_GE(c.NcPaint + c.Paint, 1);
      }
    }
  }
  form->Free();
  Settle();
}

TEST_F(SkinSwitch, AReappliedSkinPaintsEveryWindowOnce) {
  // The program's own request to put the current skin on again lays the form out anew as well.
  TGalleryForm* form = OpenForm();
  SendMessageW(form->Handle(), CN_SkinChange, 0, 0);
  Settle();
  TPaintCounter counter(form->Handle());
  ASSERT_TRUE(counter.Hooked()) << "the paint counter could not hook this thread";
  SendMessageW(form->Handle(), CN_SkinChange, 0, 0);
  Settle();
  counter.Stop();
  for (const auto& [w, c] : counter.Counts()) {
    SCOPED_TRACE(testing::Message() << "window " << w);
    EXPECT_LE(c.NcPaint, 2);
    EXPECT_LE(c.EraseBkgnd - c.EraseForChild, 1);
    EXPECT_LE(c.Paint, 1);
  }
  EXPECT_GE(counter.Counts().at(form->Handle()).NcPaint, 1);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  form->Free();
  Settle();
}

TEST_F(SkinSwitch, LeavesTheStylesAsTheSystemHadThem) {
  TGalleryForm* form = OpenForm();
  // A control hidden before the switch and a second skinned form that is not shown stay so.
  auto* hidden = form->Find<TButton>("Button1");
  hidden->SetVisible(false);
  TGalleryForm* second = NewForm<TGalleryForm>(nullptr);
  second->Show();
  SetForegroundWindow(second->Handle());
  for (int i = 0; i < 50 && !SkinManage()->FindVeltForm(second->Handle()); i++) Settle();
  ASSERT_NE(SkinManage()->FindVeltForm(second->Handle()), nullptr);
  second->Hide();
  SetForegroundWindow(form->Handle());
  Settle();
  std::vector<HWND> windows = WindowAndDescendants(form->Handle());
  windows.push_back(second->Handle());
  std::vector<LONG_PTR> before;
  for (HWND w : windows) before.push_back(GetWindowLongPtrW(w, GWL_STYLE));
  SwitchTo(1);
  Settle();
  for (size_t i = 0; i < windows.size(); i++) {
    wchar_t cls[64] = L"";
    GetClassNameW(windows[i], cls, 64);
    EXPECT_EQ(GetWindowLongPtrW(windows[i], GWL_STYLE), before[i]) << "window " << windows[i] << " of class " << cls;
  }
  EXPECT_FALSE(IsWindowVisible(hidden->Handle()));
  EXPECT_FALSE(IsWindowVisible(second->Handle()));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  SwitchTo(0);
  second->Free();
  form->Free();
  Settle();
}

TEST_F(SkinSwitch, LooksAsTheFormOpenedUnderTheNewSkin) {
  // The pictures of the form opened under each skin.
  std::vector<TShot> fresh;
  for (int i = 0; i < 4; i++) {
    SwitchTo(i);
    Settle();
    TGalleryForm* f = OpenForm();
    fresh.push_back(Capture(f->Handle()));
    f->Free();
    Settle();
  }
  // The pictures tell the skins apart: a capture that shows nothing would make every pair agree.
  for (int a = 0; a < 4; a++)
    for (int b = a + 1; b < 4; b++) ASSERT_NE(Difference(fresh[size_t(a)], fresh[size_t(b)]), "");
  for (int from = 0; from < 4; from++) {
    SwitchTo(from);
    Settle();
    TGalleryForm* form = OpenForm();
    for (int to = 0; to < 4; to++) {
      if (to == from) continue;
      SwitchTo(to);
      Settle();
      EXPECT_EQ(Difference(Capture(form->Handle()), fresh[size_t(to)]), "")
          << "from " << kSkins[from] << " to " << kSkins[to];
      SwitchTo(from);
      Settle();
    }
    form->Free();
    Settle();
  }
}

}  // namespace
