// The design host with the real Veltpkg: each test loads the package afresh, as a development
// environment does, and unloads it at its end. The palette, the skin property editor with its
// values, loads of every kind into both components, the form file read back by the run-time
// library in the package, and a clean unload: no hook, window or drawing object left behind and
// no window still running the package's code.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "classlib/controls/forms.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/core/collections.h"
#include "classlib/core/form_file.h"
#include "classlib/core/streams.h"
#include "skin/windows/core/skin_messages.h"
#include "tests/support/census_check.h"
#include "tools/designhost/design_host.h"

namespace {

const std::string kSkins = KARO_NATIVE_SKINS_DIR;

std::string SkinFile(const char* name) { return kSkins + "/" + name + ".skn"; }

std::string FileBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

WideString PackagePath() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
  WideString p = path;
  return p.substr(0, p.find_last_of(L"\\/") + 1) + L"Veltpkg.dll";
}

// Shows, activates and frees a form.
void ShowAndActivate() {
  TForm* f = new TForm(nullptr);
  f->SetBounds(60, 60, 200, 120);
  f->Show();
  SetActiveWindow(f->Handle());
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  f->Free();
}

}  // namespace

class DesignHost : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* s : {"Yellow", "Azure", "Blue"})
      ASSERT_FALSE(FileBytes(SkinFile(s)).empty()) << SkinFile(s) << " is missing: build the native configuration first";
    // The application's window exists before the census, as it does in a running environment,
    // and so does what the system makes for a thread at its first activated window (Wine's
    // input-method support starts COM on the thread then, with a window of its own).
    Application->Handle();
    ShowAndActivate();
    ASSERT_TRUE(TakeCensus(before_));
    pkg_ = LoadDesignPackage(PackagePath());
    // Nothing of the library started while the loader held its lock: the skin manager's unit
    // records the module's instance (an exported variable) only when Register starts it. (Its
    // global atom cannot tell: under Wine the message registered under the same name keeps it.)
    auto* instance = reinterpret_cast<HINSTANCE*>(reinterpret_cast<void*>(GetProcAddress(pkg_.Module, "myinstance")));
    ASSERT_TRUE(instance) << "the package exports the library's variables";
    ASSERT_EQ(*instance, nullptr) << "the library started while the package was loaded";
    EXPECT_TRUE(CensusIs(before_)) << "loading the package made windows";
    // Counts what the package's own imports make and free as well.
    ASSERT_TRUE(InstallObjectCensus());
    RegisterDesignPackage(pkg_);
    ASSERT_EQ(*instance, pkg_.Module) << "Register starts the library";
  }
  void TearDown() override {
    session_.reset();
    // The package's end gives back all it made while its code is there: nothing is left for its
    // static objects to free under the loader's lock when it is unloaded.
    FinalizeDesignPackage(pkg_);
    EXPECT_TRUE(CensusIs(before_)) << "after Finalize, before FreeLibrary";
    UnloadDesignPackage(pkg_);
    EXPECT_TRUE(CensusIs(before_)) << "after FreeLibrary";
  }

  TDesignSession& Session() {
    if (!session_) session_ = std::make_unique<TDesignSession>();
    return *session_;
  }
  TClass Palette(const char* name) {
    for (TClass c : PaletteComponents("Corvane"))
      if (std::string(c->Name) == name) return c;
    return nullptr;
  }
  TComponent* DropData() { return Session().Drop(Palette("TSkinData")); }
  TCollectionItem* DropItem(const char* name) {
    TComponent* store = Session().Form()->FindComponent("SkinStore1");
    if (!store) store = Session().Drop(Palette("TSkinStore"));
    auto* items = dyn<TCollection>(GetObjectProp(store, "Store"));
    TCollectionItem* item = items->Add();
    SetStrProp(item, "Name", name);
    return item;
  }
  // The editor's Edit with the open dialog answered by file (empty: cancelled).
  void EditWith(TPersistent* obj, const char* prop, const std::string& file) {
    std::unique_ptr<TPropertyEditor> e = Session().Editor(obj, prop);
    ASSERT_TRUE(e);
    TOpenDialogAnswers answers({Utf8ToWide(file)});
    e->Edit();
    ASSERT_EQ(answers.Filters().size(), 1u);
    EXPECT_EQ(answers.Filters()[0], L"Skin files (*.skn)|*.skn");
  }
  std::string Value(TPersistent* obj, const char* prop) {
    std::unique_ptr<TPropertyEditor> e = Session().Editor(obj, prop);
    return e ? e->GetValue() : "(no editor)";
  }

  TObjectCensus before_{};
  TDesignPackage pkg_;
  std::unique_ptr<TDesignSession> session_;
};

// The skin bytes a component holds, as the form file carries them: the hex of "SkinStream" (after
// its 4-byte length) or of "DataStream".
namespace {
std::string HexOf(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string h;
  for (unsigned char c : bytes) {
    h += digits[c >> 4];
    h += digits[c & 15];
  }
  return h;
}
// The hex digits of the binary property named prop of the object named owner in a form file.
std::string BinaryProperty(const std::string& text, const std::string& afterMarker, const std::string& prop) {
  size_t at = text.find(afterMarker);
  if (at == std::string::npos) return "(no " + afterMarker + ")";
  at = text.find(prop + " = {", at);
  if (at == std::string::npos) return "(no " + prop + ")";
  size_t end = text.find('}', at);
  std::string hex;
  for (size_t i = text.find('{', at) + 1; i < end; ++i)
    if (std::isxdigit(static_cast<unsigned char>(text[i]))) hex += text[i];
  return hex;
}
// Two hex texts of skin bytes compared, a failure naming their sizes rather than printing them.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "holds " << actual.size() / 2 << " bytes (or: " << actual.substr(0, 40)
                                       << "), expected " << expected.size() / 2 << " bytes";
}
std::string LengthHex(size_t n) {
  std::string le = {char(n & 255), char((n >> 8) & 255), char((n >> 16) & 255), char((n >> 24) & 255)};
  return HexOf(le);
}
}  // namespace

TEST_F(DesignHost, CorvaneListsTheSkinDataThenTheSkinStoreWithTheirPictures) {
  std::vector<std::string> pages = PalettePages();
  ASSERT_EQ(pages, std::vector<std::string>{"Corvane"});
  std::vector<TPaletteItem> items = ReadPalettePage(pkg_, "Corvane");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].ClassName, "TSkinData");
  EXPECT_EQ(items[1].ClassName, "TSkinStore");
  for (const TPaletteItem& i : items) {
    SCOPED_TRACE(i.ClassName);
    EXPECT_TRUE(i.HasBitmap);
    EXPECT_EQ(i.Width, 24);
    EXPECT_EQ(i.Height, 24);
  }
  EXPECT_EQ(items[0].BitsPerPixel, 4);  // 16 colours
  EXPECT_EQ(items[1].BitsPerPixel, 8);  // 256 colours
  // The package description: the product word, the version and the environment.
  HRSRC res = FindResourceW(pkg_.Module, L"DESCRIPTION", MAKEINTRESOURCEW(10));
  ASSERT_TRUE(res);
  auto* text = static_cast<const wchar_t*>(LockResource(LoadResource(pkg_.Module, res)));
  EXPECT_EQ(WideString(text), L"Velt skin library 4.6.02.09 for the Design Host");
}

TEST_F(DesignHost, TheEditorServesOnlyTheTwoSkinPropertiesWithADialogAndShowsWhetherASkinIsHeld) {
  TComponent* data = DropData();
  TCollectionItem* item = DropItem("Yellow");
  for (auto [obj, prop] : {std::pair<TPersistent*, const char*>{data, "SkinStore"}, {item, "SkinData"}}) {
    SCOPED_TRACE(prop);
    std::unique_ptr<TPropertyEditor> e = Session().Editor(obj, prop);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->ClassName(), "TVeltStore");
    EXPECT_EQ(e->GetAttributes(), TPropertyAttributes{paDialog});
    EXPECT_EQ(e->GetValue(), "(Empty)");
  }
  // Other string properties of the same classes have no editor of the package.
  EXPECT_FALSE(Session().Editor(data, "SkinFile"));
  EXPECT_FALSE(Session().Editor(data, "Version"));
  EXPECT_FALSE(Session().Editor(item, "Name"));
  EXPECT_FALSE(Session().Editor(Session().Form(), "Name"));
}

// Each load into each component, starting from a component that already holds the Azure skin,
// so that a load that fails can be seen to keep it.
TEST_F(DesignHost, LoadsIntoEachComponent) {
  const std::string azure = FileBytes(SkinFile("Azure"));
  const std::string yellow = FileBytes(SkinFile("Yellow"));
  const std::string empty = kSkins + "/../designhost-empty.skn";
  { std::ofstream(empty, std::ios::binary).flush(); }
  const std::string missing = kSkins + "/NoSuchSkin.skn";
  struct Case {
    const char* what;
    std::string file;        // empty: the dialog is cancelled
    bool throws;
    std::string bytes;       // what the component holds afterwards
    const char* value;
    int changes;             // the designer is told
  };
  const Case cases[] = {
      {"a skin file", SkinFile("Yellow"), false, yellow, "(SkinData)", 1},
      {"a zero-byte file", empty, false, "", "(Empty)", 1},
      {"a missing file", missing, true, azure, "(SkinData)", 0},
      {"cancel", "", false, azure, "(SkinData)", 1},
  };
  for (const char* target : {"TSkinData", "TSkinCollectionItem"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(target) + ", " + c.what);
      session_.reset();
      const bool isData = std::string(target) == "TSkinData";
      TPersistent* obj = isData ? static_cast<TPersistent*>(DropData()) : DropItem("Item");
      const char* prop = isData ? "SkinStore" : "SkinData";
      EditWith(obj, prop, SkinFile("Azure"));
      ASSERT_EQ(Value(obj, prop), "(SkinData)");
      const int changesBefore = Session().Designer().ModifiedCount;

      if (c.throws)
        EXPECT_THROW(EditWith(obj, prop, c.file), EFOpenError);
      else
        EditWith(obj, prop, c.file);

      EXPECT_EQ(Value(obj, prop), c.value);
      EXPECT_EQ(Session().Designer().ModifiedCount - changesBefore, c.changes);
      if (!isData) {
        EXPECT_EQ(GetOrdProp(obj, "DataSize"), int64_t(c.bytes.size()));
      }
      // The bytes held, as the form file carries them.
      const std::string text = Session().FormText();
      if (isData)
        EXPECT_TRUE(SameBytes(BinaryProperty(text, "object SkinData1", "SkinStream"), LengthHex(c.bytes.size()) + HexOf(c.bytes)));
      else
        EXPECT_TRUE(SameBytes(BinaryProperty(text, "Name = 'Item'", "DataStream"), HexOf(c.bytes)));
      if (isData) {
        EXPECT_EQ(GetStrProp(obj, "SkinFile"), "");
      }
    }
  }
  DeleteFileA(empty.c_str());
}

// The form file written by the designer, read back at run time by the library in the package:
// the components hold the very bytes their files had. A one-form skin component, active, skins
// the form read back, and a main-form one hooks the thread; then the package ends before it is
// unloaded: the window is given back, the hook removed, and nothing of the package is left
// running.
TEST_F(DesignHost, TheFormFileReadsBackAtRunTimeAndThePackageUnloadsCleanly) {
  TComponent* data = DropData();
  EditWith(data, "SkinStore", SkinFile("Yellow"));
  ASSERT_TRUE(SetEnumProp(data, "SkinFormtype", "sfOnlyThisForm"));
  ASSERT_TRUE(SetEnumProp(data, "Active", "True"));
  DropData();  // a main-form component without a skin: it hooks the thread when it is loaded
  EditWith(DropItem("Azure"), "SkinData", SkinFile("Azure"));
  EditWith(DropItem("Blue"), "SkinData", SkinFile("Blue"));
  const std::string text = Session().FormText();
  session_.reset();

  TForm* runtime = new TForm(nullptr);
  ReadComponentText(text, runtime);
  TComponent* readData = runtime->FindComponent("SkinData1");
  TComponent* readStore = runtime->FindComponent("SkinStore1");
  ASSERT_TRUE(readData && readStore && runtime->FindComponent("SkinData2"));
  const std::string back = WriteComponentText(runtime);
  const std::string yellow = FileBytes(SkinFile("Yellow"));
  EXPECT_TRUE(SameBytes(BinaryProperty(back, "object SkinData1", "SkinStream"), LengthHex(yellow.size()) + HexOf(yellow)));
  auto* items = dyn<TCollection>(GetObjectProp(readStore, "Store"));
  ASSERT_TRUE(items);
  ASSERT_EQ(items->Count(), 2);
  const char* names[] = {"Azure", "Blue"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(names[i]);
    const std::string bytes = FileBytes(SkinFile(names[i]));
    EXPECT_EQ(GetStrProp(items->Items(i), "Name"), names[i]);
    EXPECT_EQ(GetOrdProp(items->Items(i), "DataSize"), int64_t(bytes.size()));
    EXPECT_TRUE(SameBytes(BinaryProperty(back, std::string("Name = '") + names[i] + "'", "DataStream"), HexOf(bytes)));
  }

  // Parsed and applied at run time: the form read back is skinned by the package's code.
  const HWND wnd = runtime->Handle();
  ASSERT_TRUE(pkg_.Contains(reinterpret_cast<void*>(GetWindowLongPtrW(wnd, GWLP_WNDPROC))))
      << "the form read back is skinned: its procedure is the package's";
  // Shown and painted through the skin, with a skinned control.
  auto* box = new TGroupBox(runtime);
  box->SetParent(runtime);
  box->SetBounds(10, 10, 120, 60);
  runtime->SetBounds(80, 80, 240, 160);
  runtime->Show();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ASSERT_EQ(SendMessageW(box->Handle(), CN_IsSkinned, 0, 0), 1) << "the group box is skinned";
  TObjectCensus skinned{};
  ASSERT_TRUE(TakeCensus(skinned));
  EXPECT_EQ(skinned.Hooks, before_.Hooks + 1) << "the main-form component hooked the thread";

  FinalizeDesignPackage(pkg_);
  EXPECT_FALSE(pkg_.Contains(reinterpret_cast<void*>(GetWindowLongPtrW(wnd, GWLP_WNDPROC))))
      << "the window has its own procedure back";
  EXPECT_EQ(SendMessageW(box->Handle(), CN_IsSkinned, 0, 0), 0) << "the group box is given back too";
  TObjectCensus ended{};
  ASSERT_TRUE(TakeCensus(ended));
  EXPECT_EQ(ended.Hooks, before_.Hooks) << "every hook of the package is removed";

  runtime->Free();
  EXPECT_TRUE(CensusIs(before_)) << "after Finalize, before FreeLibrary: nothing is left to free under the loader's lock";
  UnloadDesignPackage(pkg_);
  // A new window is made, shown and activated with no hook left that would call into the
  // unloaded code.
  ShowAndActivate();
}
