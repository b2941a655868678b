// The skin data component: its defaults and published properties, the "SkinStream" form property,
// every load path, the actions it queues on the skin manager for each role (seen through a
// recording manager), the forwarders to the skinned windows, and its services for them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/controls/forms.h"
#include "classlib/core/form_file.h"
#include "skin/data/velt_store.h"
#include "tests/classlib/graphics/pixel_probe.h"
#include "tests/skin/data/test_velt_data_skin.h"

namespace {

using Log = std::vector<std::string>;

std::string Hex(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

// The "SkinStream" value of a form file: the 32-bit length, then the image.
std::string StoredStream(const std::string& image) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += char(uint8_t(uint32_t(image.size()) >> (8 * i)));
  return s + image;
}

std::string FormText(const std::string& props) { return "object Skin: TSkinData\r\n" + props + "end\r\n"; }

std::string WithoutBlanks(std::string s) {
  std::erase_if(s, [](char c) { return c == ' ' || c == '\r' || c == '\n'; });
  return s;
}

// The image of a small skin of the given name.
std::string NamedSkin(const std::string& name) {
  TTestSkin skin;
  skin.Ini = "[TitlebarSkin]\r\nSkinName=" + name + "\r\n";
  return skin.File();
}

class SkinDataComponentTest : public SkinDataTest {
protected:
  // A component named "Skin" with an owner of its own (a form, window 3, when asked). The owners
  // outlive every component of the test.
  std::unique_ptr<TSkinData> Make(bool ownerIsForm = false) {
    owners_.push_back(std::make_unique<TComponent>(nullptr));
    auto d = std::make_unique<TSkinData>(owners_.back().get());
    d->SetName("Skin");
    if (ownerIsForm) Owners[owners_.back().get()] = 3;
    return d;
  }
  void LoadNamed(TSkinData& d, const std::string& name) {
    auto s = StreamOf(NamedSkin(name));
    d.LoadFromStream(*s);
  }

private:
  std::vector<std::unique_ptr<TComponent>> owners_;
};

// Stand-ins for the optional user32 functions.
UINT seenScrollInfoSize = 0;
BOOL WINAPI FakeGetScrollBarInfo(HWND, LONG, PSCROLLBARINFO info) {
  seenScrollInfoSize = info->cbSize;
  info->rgstate[0] = 7;
  return TRUE;
}
TRACKMOUSEEVENT seenTrack{};
BOOL WINAPI FakeTrackMouseEvent(LPTRACKMOUSEEVENT t) {
  seenTrack = *t;
  return TRUE;
}

}  // namespace

TEST_F(SkinDataComponentTest, NewComponentHasItsDefaults) {
  auto d = Make();
  EXPECT_EQ(d->ClassName(), "TSkinData");
  EXPECT_FALSE(d->Active());
  EXPECT_EQ(d->DisableTag(), 99);
  EXPECT_EQ(d->SkinControls().Value(), 0x1FFFFBu);
  EXPECT_FALSE(d->SkinControls().Contains(xcMenuItem));
  EXPECT_FALSE(d->SkinControls().Contains(xcFastReport));
  EXPECT_EQ(d->Options().Value(), 72u);
  EXPECT_EQ(d->SkinFile(), "");
  EXPECT_EQ(d->GetSkinStore(), "(none)");
  EXPECT_EQ(d->SkinFormtype(), sfMainform);
  EXPECT_EQ(d->Version(), "4.6.02.09");
  EXPECT_TRUE(d->MenuUpdate());
  EXPECT_FALSE(d->MenuMerge());
  EXPECT_TRUE(d->MainMenuUpdate);
  EXPECT_TRUE(d->NoSkinLoaded);
  EXPECT_EQ(d->SkinStream.Size(), 0);
  EXPECT_TRUE(d->AppIcon->Empty());
  EXPECT_EQ(d->AppIcon->PixelFormat(), pf24bit);
  EXPECT_EQ(d->DebugLog, nullptr);
  EXPECT_EQ(d->MenuImages->Count(), 4);
  EXPECT_EQ(d->MenuImages->Width(), 16);
  // The records made with the component, empty; every other one nil.
  EXPECT_EQ(d->Title->Name, "Title");
  EXPECT_EQ(d->Buttons->Name, "Buttons");
  const char* borders[] = {"Left", "Right", "Top", "Bottom"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(d->Borders[i]->Name, borders[i]);
    EXPECT_TRUE(d->Borders[i]->Map->Empty());
    EXPECT_EQ(d->Borders[i]->Frame, 0);
  }
  EXPECT_TRUE(d->SysButtons.empty());
  EXPECT_EQ(d->Tabs, nullptr);
  EXPECT_EQ(d->Track, nullptr);
  EXPECT_EQ(d->ComboxArrow, nullptr);
  EXPECT_FALSE(d->FaceBrush);
  for (TColor c : d->Colors) EXPECT_EQ(c, 0);
  // The default list, replaced whole by an assignment.
  ASSERT_EQ(d->Skin3rd()->Count(), 124);
  EXPECT_EQ(d->Skin3rd()->Strings(0), "TCategoryButtons=scrollbar");
  EXPECT_EQ(d->Skin3rd()->Strings(123), "trmtoolbaraddintools=panel");
  TStringList none;
  d->SetControlList(&none);
  EXPECT_EQ(d->Skin3rd()->Count(), 0);
  // Nothing is made or registered before the component has loaded.
  EXPECT_TRUE(Made.empty());
}

TEST_F(SkinDataComponentTest, PublishedPropertiesByName) {
  auto d = Make();
  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(d->ClassType())) names.push_back(p->Name);
  const std::vector<std::string> expected = {
      "Name", "Tag", "Active", "DisableTag", "SkinControls", "Options", "Skin3rd", "SkinFile", "SkinStore",
      "SkinFormtype", "Version", "MenuUpdate", "MenuMerge", "OnFormSkin", "OnSkinChanged", "OnSkinControl",
      "OnBeforeSkinForm", "OnAfterSkinForm"};
  // The component's own, after what every component publishes.
  ASSERT_GE(names.size(), 16u);
  EXPECT_EQ(std::vector<std::string>(names.end() - 16, names.end()),
            std::vector<std::string>(expected.end() - 16, expected.end()));
  EXPECT_EQ(GetSetProp(d.get(), "Options"), "[xoPreview,xoToolbarBK]");
  EXPECT_TRUE(SetSetProp(d.get(), "Options", "[xoTransparent]"));
  EXPECT_EQ(d->Options(), TSkinOptions{xoTransparent});
  EXPECT_TRUE(SetEnumProp(d.get(), "SkinFormtype", "sfDialog"));
  EXPECT_EQ(d->SkinFormtype(), sfDialog);
  EXPECT_TRUE(SetPropValue(d.get(), "DisableTag", "5"));
  EXPECT_EQ(d->DisableTag(), 5);
  // Version and SkinStore ignore what is written.
  SetStrProp(d.get(), "Version", "1.0");
  SetStrProp(d.get(), "SkinStore", "x");
  EXPECT_EQ(GetStrProp(d.get(), "Version"), "4.6.02.09");
  EXPECT_EQ(GetStrProp(d.get(), "SkinStore"), "(none)");
  EXPECT_EQ(GetObjectProp(d.get(), "Skin3rd"), d->Skin3rd());
  // At run time the store reads "(none)" even with a skin; at design time "(Good)" once there are bytes.
  LoadNamed(*d, "A");
  EXPECT_EQ(d->GetSkinStore(), "(none)");
  d->SetDesigning(true);
  EXPECT_EQ(d->GetSkinStore(), "(Good)");
  d->SkinStream.Clear();
  EXPECT_EQ(d->GetSkinStore(), "(none)");
}

TEST_F(SkinDataComponentTest, SkinStreamFormProperty) {
  // Empty: four zero bytes, read back without a load.
  auto empty = Make();
  const std::string text = WriteComponentText(empty.get());
  const size_t at = text.find("SkinStream = {");
  ASSERT_NE(at, std::string::npos) << text;
  EXPECT_EQ(WithoutBlanks(text.substr(at, text.find('}', at) - at + 1)), "SkinStream={00000000}");
  EXPECT_NE(text.find("Skin3rd.Strings = ("), std::string::npos);
  auto back = Make();
  back->SkinStream.Assign("kept");
  ReadComponentText(FormText("  SkinStream = {00000000}\r\n"), back.get());
  EXPECT_EQ(back->SkinStream.AsString(), "kept");
  EXPECT_TRUE(back->NoSkinLoaded);

  // With a skin: length and image, read and parsed at once; the round trip keeps every byte.
  auto full = Make();
  LoadNamed(*full, "Stored");
  const std::string image = full->SkinStream.AsString();
  const std::string written = WriteComponentText(full.get());
  EXPECT_NE(WithoutBlanks(written).find("SkinStream={" + Hex(StoredStream(image)) + "}"), std::string::npos);
  auto read = Make();
  ReadComponentText(written, read.get());
  EXPECT_EQ(read->SkinStream.AsString(), image);
  EXPECT_FALSE(read->NoSkinLoaded);
  EXPECT_EQ(read->SkinName, "Stored");

  // A stored list replaces the default one.
  auto listed = Make();
  ReadComponentText(FormText("  Skin3rd.Strings = (\r\n    'TMyEdit=edit')\r\n"), listed.get());
  ASSERT_EQ(listed->Skin3rd()->Count(), 1);
  EXPECT_EQ(listed->Skin3rd()->Strings(0), "TMyEdit=edit");

  // At design time the stream is kept but not parsed.
  auto designed = Make();
  designed->SetDesigning(true);
  ReadComponentText(FormText("  SkinStream = {" + Hex(StoredStream(image)) + "}\r\n"), designed.get());
  EXPECT_EQ(designed->SkinStream.AsString(), image);
  EXPECT_TRUE(designed->NoSkinLoaded);
  // A length beyond the bytes that follow takes what there is.
  auto cut = Make();
  ReadComponentText(FormText("  SkinStream = {FF000000" + Hex(image) + "}\r\n"), cut.get());
  EXPECT_EQ(cut->SkinStream.AsString(), image);
  EXPECT_FALSE(cut->NoSkinLoaded);
}

TEST_F(SkinDataComponentTest, LoadsThroughEveryEntryPoint) {
  const std::string image = CompleteSkin().File();
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  const std::string file = std::string(dir) + "karo_test_velt_data.skn";
  {
    auto s = StreamOf(image);
    s->SaveToFile(file);
  }
  struct Path {
    const char* what;
    std::function<void(TSkinData&)> load;
  };
  TSkinStore store(nullptr);
  store.Store()->Add()->Image().Assign(NamedSkin("First"));
  store.Store()->Add()->Image().Assign(image);
  const Path paths[] = {
      {"file", [&](TSkinData& d) { d.LoadFromFile(file); }},
      {"stream", [&](TSkinData& d) {
         auto s = StreamOf(image);
         s->SetPosition(5);  // the whole stream, whatever its position
         d.LoadFromStream(*s);
       }},
      {"store item", [&](TSkinData& d) { d.LoadFromCollection(&store, 1); }},
      {"its own stream", [&](TSkinData& d) {
         d.SkinStream.Assign(image);
         d.LoadFromStream(d.SkinStream);
       }},
      {"form file", [&](TSkinData& d) { ReadComponentText(FormText("  SkinStream = {" + Hex(StoredStream(image)) + "}\r\n"), &d); }},
  };
  for (const Path& p : paths) {
    SCOPED_TRACE(p.what);
    auto d = Make();
    p.load(*d);
    EXPECT_FALSE(d->NoSkinLoaded);
    EXPECT_EQ(d->SkinName, "Complete");
    EXPECT_EQ(d->SkinStream.AsString(), image);
    ASSERT_TRUE(d->Tabs);
    EXPECT_EQ(d->Tabs->Frame, 5);
  }
  auto d = Make();
  d->LoadFromFile(file);
  EXPECT_EQ(d->SkinFile(), file);
  // A file that is not there: no skin counts as loaded, the one read before stays.
  d->LoadFromFile(file + ".missing");
  EXPECT_EQ(d->SkinFile(), file + ".missing");
  EXPECT_TRUE(d->NoSkinLoaded);
  EXPECT_EQ(d->SkinName, "Complete");
  EXPECT_EQ(d->SkinStream.AsString(), image);
  // At design time a file name only empties the stream.
  d->SetDesigning(true);
  d->LoadFromFile(file);
  EXPECT_EQ(d->SkinStream.Size(), 0);
  EXPECT_FALSE(d->LoadSkin());
  DeleteFileA(file.c_str());
}

TEST_F(SkinDataComponentTest, LoadFromCollectionOutsideTheStore) {
  TSkinStore store(nullptr);
  store.Store()->Add()->Image().Assign(NamedSkin("Item0"));
  auto d = Make();
  d->LoadFromCollection(&store, 0);
  ASSERT_FALSE(d->NoSkinLoaded);
  const std::string image = d->SkinStream.AsString();
  // Index equal to the count: nothing at all.
  d->LoadFromCollection(&store, 1);
  EXPECT_FALSE(d->NoSkinLoaded);
  EXPECT_EQ(d->SkinStream.AsString(), image);
  // A negative index raises before anything changes.
  EXPECT_THROW(d->LoadFromCollection(&store, -1), EListError);
  EXPECT_FALSE(d->NoSkinLoaded);
  EXPECT_EQ(d->SkinStream.AsString(), image);
  EXPECT_EQ(d->SkinName, "Item0");
  d->LoadFromCollection(nullptr, 0);
  EXPECT_EQ(d->SkinName, "Item0");
}

TEST_F(SkinDataComponentTest, LoadedQueuesForEachRole) {
  const std::string skin = "  SkinStream = {" + Hex(StoredStream(NamedSkin("S"))) + "}\r\n";
  struct Case {
    const char* what;
    const char* role;
    bool active, withSkin, ownerIsForm;
    Log log;
    bool activeAfter;
  } cases[] = {
      {"main form with a skin", "sfMainform", true, true, true,
       {"AddSkinData Skin", "InstallHook", "SetAction 1 250 for Skin"}, true},
      {"main form without a skin drops Active", "sfMainform", true, false, false,
       {"AddSkinData Skin", "InstallHook"}, false},
      {"main form, not active", "sfMainform", false, true, false, {"AddSkinData Skin", "InstallHook"}, false},
      {"one form: its form at once, skin or not", "sfOnlyThisForm", true, false, true,
       {"AddSkinData Skin", "AddForm 3"}, true},
      {"one form that is not active", "sfOnlyThisForm", false, true, true, {"AddSkinData Skin"}, false},
      {"dialog whose owner is no form", "sfDialog", true, true, false, {"AddSkinData Skin"}, true},
      {"library module's form", "sfDLL", true, true, true, {"AddSkinData Skin", "AddForm 3"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Made.clear();
    Owners.clear();
    auto d = Make(c.ownerIsForm);
    ReadComponentText(FormText(std::string("  SkinFormtype = ") + c.role + "\r\n  Active = " +
                               (c.active ? "True" : "False") + "\r\n" + (c.withSkin ? skin : "")),
                      d.get());
    ASSERT_EQ(SkinManager, &Manager());
    EXPECT_FALSE(Manager().IsDll);
    EXPECT_EQ(Manager().Log, c.log);
    EXPECT_EQ(d->Active(), c.activeAfter);
    const bool mainForm = std::string(c.role) == "sfMainform";
    EXPECT_EQ(Manager().Enabled, !mainForm);
    EXPECT_EQ(Manager().State, mainForm ? 0 : 1);
    EXPECT_EQ(Manager().Registered, std::vector<TSkinData*>{d.get()});
    d.reset();
    EXPECT_TRUE(Manager().Registered.empty());
    SkinManager = nullptr;
  }
}

TEST_F(SkinDataComponentTest, LoadedSettlesTheMenuKindsAndTheScrollBars) {
  struct Case {
    const char* controls;
    bool mainMenu, menuItem, systemMenu;
  } cases[] = {
      {"[xcMainMenu,xcMenuItem,xcSystemMenu]", true, false, true},
      {"[xcMenuItem,xcSystemMenu]", false, true, false},
      {"[xcSystemMenu]", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.controls);
    auto d = Make();
    ReadComponentText(FormText(std::string("  SkinControls = ") + c.controls + "\r\n"), d.get());
    EXPECT_EQ(d->SkinControls().Contains(xcMainMenu), c.mainMenu);
    EXPECT_EQ(d->SkinControls().Contains(xcMenuItem), c.menuItem);
    EXPECT_EQ(d->SkinControls().Contains(xcSystemMenu), c.systemMenu);
  }
  // Without GetScrollBarInfo scroll bars are not skinned; the other roles keep the menu kinds.
  BindUser32Functions();
  ASSERT_NE(pGetScrollBarInfo, nullptr);
  const TGetScrollBarInfoProc saved = pGetScrollBarInfo;
  pGetScrollBarInfo = nullptr;
  auto d = Make();
  ReadComponentText(FormText("  SkinFormtype = sfDialog\r\n  SkinControls = [xcScrollbar,xcMenuItem]\r\n"), d.get());
  pGetScrollBarInfo = saved;
  EXPECT_EQ(d->SkinControls(), TSkinControlTypes{xcMenuItem});
  // At design time nothing registers.
  Made.clear();
  SkinManager = nullptr;
  auto designed = Make();
  designed->SetDesigning(true);
  ReadComponentText(FormText("  Active = True\r\n"), designed.get());
  EXPECT_TRUE(Made.empty());
}

TEST_F(SkinDataComponentTest, SetActiveQueuesForEachRole) {
  struct Case {
    TSkinFormType role;
    bool withSkin;
    Log on, off;
  } cases[] = {
      {sfMainform, true, {"SetAction 1 250 for Skin"}, {"SetAction 2 250 for Skin"}},
      {sfMainform, false, {}, {"SetAction 2 250 for Skin"}},
      {sfOnlyThisForm, true, {"SetAction 1 250 for Skin"}, {"SetAction 2 250 for Skin"}},
      {sfOnlyThisForm, false, {}, {"SetAction 2 250 for Skin"}},
      {sfDialog, true, {}, {}},
      {sfDLL, true, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.role) + (c.withSkin ? " with a skin" : " without"));
    Made.clear();
    TFakeSkinManager& m = Running(0);
    auto d = Make();
    d->SetSkinFormtype(c.role);
    if (c.withSkin) {
      LoadNamed(*d, "S");
      ASSERT_FALSE(d->NoSkinLoaded);
    }
    m.Log.clear();
    m.Pending = nullptr;
    d->SetActive(true);
    EXPECT_TRUE(d->Active());
    EXPECT_EQ(m.Log, c.on);
    // The main form's switching on makes the manager run.
    EXPECT_EQ(m.State, c.role == sfMainform && c.withSkin ? 1 : 0);
    d->SetActive(true);  // unchanged: nothing
    EXPECT_EQ(m.Log, c.on);
    m.Log.clear();
    d->SetActive(false);
    EXPECT_EQ(m.Log, c.off);
    EXPECT_EQ(m.Pending, c.role == sfMainform || c.role == sfOnlyThisForm ? d.get() : nullptr);
    d.reset();
    SkinManager = nullptr;
  }
  // Without a manager the property only changes.
  Made.clear();
  auto d = Make();
  d->SetActive(true);
  EXPECT_TRUE(d->Active());
  EXPECT_TRUE(Made.empty());
}

TEST_F(SkinDataComponentTest, UpdateSkinTellsEveryRunningManager) {
  // Idle: the caption buttons go, the change waits for the windows to be seen.
  TFakeSkinManager& m = Running(0);
  auto d = Make();
  LoadNamed(*d, "A");
  EXPECT_EQ(TakeLog(), (Log{"DeleteSysbtn for Skin"}));
  // Running, also after other components have counted the state up.
  for (int state : {1, 3, 4}) {
    m.State = state;
    LoadNamed(*d, "A");
    EXPECT_EQ(TakeLog(), (Log{"DeleteSysbtn for Skin", "SetAction 3 250 for Skin"})) << state;
  }
  // A store item and a file tell it too; a stream only for a main-form component.
  TSkinStore store(nullptr);
  store.Store()->Add()->Image().Assign(NamedSkin("B"));
  d->LoadFromCollection(&store, 0);
  EXPECT_EQ(TakeLog(), (Log{"DeleteSysbtn for Skin", "SetAction 3 250 for Skin"}));
  d->SetSkinFormtype(sfOnlyThisForm);
  LoadNamed(*d, "C");
  EXPECT_EQ(d->SkinName, "C");
  EXPECT_TRUE(TakeLog().empty());
  // A failed load still tells the windows (they keep the skin read before).
  d->SetSkinFormtype(sfMainform);
  auto junk = StreamOf(CompressImage(std::string(20, '\x01')));
  d->LoadFromStream(*junk);
  EXPECT_EQ(Messages.size(), 1u);
  EXPECT_EQ(TakeLog(), (Log{"DeleteSysbtn for Skin", "SetAction 3 250 for Skin"}));
}

TEST_F(SkinDataComponentTest, UpdateSkinMakesTheManagerWhenThereIsNone) {
  auto d = Make();
  LoadNamed(*d, "A");
  ASSERT_EQ(Made.size(), 1u);
  EXPECT_EQ(Manager().Log, (Log{"AddSkinData Skin", "InstallHook", "DeleteSysbtn for Skin"}));
  // Registered once, however often it loads or is told it has been read.
  LoadNamed(*d, "B");
  d->Loaded();
  EXPECT_EQ(Manager().Registered.size(), 1u);
}

TEST_F(SkinDataComponentTest, ForwardersReachTheManagerAndItsWindows) {
  TFakeSkinManager& m = Running();
  TFakeSkinForm& first = m.AddFakeForm(3, true);
  m.AddFakeForm(3);  // a second entry of the same window
  m.AddFakeForm(4, true);
  first.controls = {Token<TControl>(8), Token<TControl>(9), Token<TControl>(8)};
  auto d = Make();
  struct Case {
    const char* what;
    std::function<void()> call;
    Log log;
  } cases[] = {
      {"Install", [&] { d->Install(); }, {"SetAction 1 250 for Skin"}},
      {"Uninstall", [&] { d->Uninstall(); }, {"SetAction 2 250 for Skin"}},
      {"ChangeForm", [&] { d->ChangeForm(Token<TCustomForm>(5)); }, {"SetAction 7 250 for Skin"}},
      {"SkinForm", [&] { d->SkinForm(FakeWindow(6)); }, {"AddForm 6 forced"}},
      {"AddNestForm", [&] { d->AddNestForm(Token<TWinControl>(3), Token<TWinControl>(7)); },
       {"AddSpy 7 of 3", "InitNestform 7 of 3"}},
      {"AddNestForm without a nested form", [&] { d->AddNestForm(Token<TWinControl>(3), nullptr); }, {}},
      {"AddNestForm in a window not skinned", [&] { d->AddNestForm(Token<TWinControl>(5), Token<TWinControl>(7)); }, {}},
      {"UpdateSkinControl", [&] { d->UpdateSkinControl(Token<TWinControl>(3), Token<TWinControl>(7)); },
       {"InitControls 7 of 3"}},
      {"UpdateSkinControl of the whole form", [&] { d->UpdateSkinControl(Token<TWinControl>(4), nullptr); },
       {"InitControls 4 of 4"}},
      {"UpdateMenu", [&] { d->UpdateMenu(Token<TWinControl>(4)); }, {"InitPopMenu 4 of 4 true"}},
      {"UpdateMainMenu", [&] { d->UpdateMainMenu(true); }, {"UpdataBtn", "UpdataBtn"}},
      {"UpdateMainMenu off", [&] { d->UpdateMainMenu(false); }, {}},
      {"InstallThread", [&] { d->InstallThread(42); }, {"InstallThread 42"}},
      {"UnInstallThread", [&] { d->UnInstallThread(42); }, {"UnInstallThread 42"}},
      {"DeleteGraphicControl", [&] { d->DeleteGraphicControl(Token<TWinControl>(3), Token<TControl>(8)); },
       {"FreeControlSkin 8 of 3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m.Log.clear();
    m.Pending = nullptr;
    c.call();
    EXPECT_EQ(m.Log, c.log);
  }
  EXPECT_EQ(m.ReskinWindow, FakeWindow(5));
  EXPECT_FALSE(d->MainMenuUpdate);
  EXPECT_FALSE(m.Walking);
  // Only the first control skin of that control went.
  EXPECT_EQ(first.controls, (std::vector<TControl*>{Token<TControl>(9), Token<TControl>(8)}));
  d->EnableSkin(true);
  EXPECT_TRUE(m.Enabled);
  d->EnableSkin(false);
  EXPECT_FALSE(m.Enabled);
  // Without a manager the forwarders do nothing.
  m.Log.clear();
  SkinManager = nullptr;
  d->Install();
  d->SkinForm(FakeWindow(6));
  d->UpdateMainMenu(true);
  d->UpdateMenu(Token<TWinControl>(4));
  EXPECT_TRUE(m.Log.empty());
}

TEST_F(SkinDataComponentTest, DestroyingUnregistersAndDropsItsPendingAction) {
  TFakeSkinManager& m = Running();
  auto a = Make();
  auto b = std::make_unique<TSkinData>(nullptr);
  b->SetName("Other");
  a->Loaded();
  b->Loaded();
  ASSERT_EQ(m.Registered.size(), 2u);
  a->Install();
  EXPECT_EQ(m.Pending, a.get());
  a.reset();
  EXPECT_EQ(m.Pending, nullptr);
  EXPECT_EQ(m.Registered, std::vector<TSkinData*>{b.get()});
  b->Install();
  b.reset();
  EXPECT_TRUE(m.Registered.empty());
}

TEST_F(SkinDataComponentTest, DoFormSkinRefusesBuiltInClassesUnlessTheEventDecides) {
  auto d = Make();
  struct Case {
    const char* cls;
    bool fastReport, expected;
  } cases[] = {{"SysMonthCal32", false, false}, {"TfrPreviewForm", true, false}, {"TfrPreviewForm", false, true},
               {"TForm1", true, true}, {"sysmonthcal32", false, true}};
  for (const Case& c : cases) {
    d->SetSkinControls(c.fastReport ? kDefaultSkinControls + TSkinControlTypes{xcFastReport} : kDefaultSkinControls);
    bool doSkin = true;
    d->DoFormSkin(nullptr, c.cls, doSkin);
    EXPECT_EQ(doSkin, c.expected) << c.cls;
  }
  std::vector<std::string> asked;
  d->OnFormSkin = [&](TObject* sender, const std::string& name, bool& doSkin) {
    EXPECT_EQ(sender, d.get());
    asked.push_back(name);
    doSkin = doSkin && name != "TForm1";
  };
  bool doSkin = true;
  d->DoFormSkin(nullptr, "SysMonthCal32", doSkin);
  EXPECT_TRUE(doSkin);
  d->DoFormSkin(nullptr, "TForm1", doSkin);
  EXPECT_FALSE(doSkin);
  EXPECT_EQ(asked, (std::vector<std::string>{"SysMonthCal32", "TForm1"}));
}

TEST_F(SkinDataComponentTest, EventsLogAndSmallServices) {
  auto d = Make();
  int changed = 0;
  d->DoSkinChanged();
  d->OnSkinChanged = [&](TObject* sender) { changed += sender == d.get(); };
  d->DoSkinChanged();
  EXPECT_EQ(changed, 1);
  d->DoDebug("not kept");
  TStringList log;
  d->DebugLog = &log;
  d->DoDebug("kept");
  EXPECT_EQ(log.Text(), "kept\r\n");
  d->ChangeProperty(d.get(), "SkinFormtype", "sfDialog");
  EXPECT_EQ(d->SkinFormtype(), sfDialog);
  d->ChangeProperty(d.get(), "DisableTag", "5");  // not an enumeration
  EXPECT_EQ(d->DisableTag(), 99);
  d->ChangeProperty(nullptr, "SkinFormtype", "sfMainform");
  d->ChangeProperty(d.get(), "NoSuch", "sfMainform");
  EXPECT_EQ(TSkinData::GetFileName("left.bmp.old"), "left");
  EXPECT_EQ(TSkinData::GetFileName("left"), "");
  EXPECT_EQ(d->GetSectionNum("Colour", "color"), 0);  // outside a load
  EXPECT_EQ(TSkinData::GetColor("", clRed), clRed);
  EXPECT_EQ(TSkinData::GetColor("0 74 128", clRed), MakeColor(0, 74, 128));
}

TEST_F(SkinDataComponentTest, MinimisedCaptionPictureOutlinedInTheCaptionColour) {
  auto d = Make();
  TTestSkin skin;
  skin.Ini = "[Personality]\nTop=top.bmp\nTopFrame=1\n";
  skin.Add("top.bmp", Bmp(30, 12, [](int, int) { return MakeColor(200, 100, 50); }));
  auto s = StreamOf(skin.File());
  d->LoadFromStream(*s);
  d->CreateMinCaption();
  ASSERT_TRUE(d->MinCaption);
  TBitmap& m = *d->MinCaption->Map;
  ASSERT_EQ(m.Width(), 80);
  ASSERT_EQ(m.Height(), 29);
  EXPECT_EQ(d->MinCaption->Frame, 1);
  EXPECT_EQ(d->MinCaption->Margins, Rect(3, 3, 3, 3));
  EXPECT_EQ(PixelOf(m, 40, 14), MakeColor(200, 100, 50));
  const uint32_t outline = MakeColor(100, 50, 25);  // half black
  for (auto [x, y] : {std::pair{0, 0}, {79, 28}, {40, 0}, {0, 14}, {79, 14}, {40, 28}}) EXPECT_EQ(PixelOf(m, x, y), outline);
  // No skin makes it, so a load keeps it.
  TDataSkinObject* kept = d->MinCaption.get();
  auto again = StreamOf(skin.File());
  d->LoadFromStream(*again);
  EXPECT_EQ(d->MinCaption.get(), kept);
}

TEST_F(SkinDataComponentTest, AppIconFromTheApplicationWindow) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  // A 32 x 32 icon of one colour, white outside a square in its middle.
  auto makeIcon = [](COLORREF colour) {
    TBitmap color, mask;
    FillBitmap(color, 32, 32, pf24bit, [&](int x, int y) {
      return x >= 8 && x < 24 && y >= 8 && y < 24 ? uint32_t(colour) : 0u;
    });
    FillBitmap(mask, 32, 32, pf1bit, [](int x, int y) { return x >= 8 && x < 24 && y >= 8 && y < 24 ? 0u : 0xFFFFFFu; });
    ICONINFO info{TRUE, 0, 0, mask.Handle(), color.Handle()};
    return CreateIconIndirect(&info);
  };
  HWND wnd = CreateWindowExW(0, L"STATIC", L"app", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  AppWindow = wnd;
  auto d = Make();
  d->GetAppIcon();  // no icon: nothing
  EXPECT_TRUE(d->AppIcon->Empty());
  HICON big = makeIcon(RGB(0, 0, 255)), small = makeIcon(RGB(0, 200, 0));
  SendMessageW(wnd, WM_SETICON, ICON_BIG, LPARAM(big));
  d->GetAppIcon();  // the big icon, scaled
  ASSERT_EQ(d->AppIcon->Width(), cx);
  ASSERT_EQ(d->AppIcon->Height(), cy);
  EXPECT_EQ(PixelOf(*d->AppIcon, cx / 2, cy / 2), MakeColor(0, 0, 255));
  EXPECT_EQ(PixelOf(*d->AppIcon, 0, 0), kKey);
  EXPECT_TRUE(d->AppIcon->Transparent());
  EXPECT_EQ(d->AppIcon->TransparentColor(), TColor(kKey));
  SendMessageW(wnd, WM_SETICON, ICON_SMALL, LPARAM(small));
  d->GetAppIcon();  // the small one first
  EXPECT_EQ(PixelOf(*d->AppIcon, cx / 2, cy / 2), MakeColor(0, 200, 0));
  DestroyWindow(wnd);
  DestroyIcon(big);
  DestroyIcon(small);
}

TEST_F(SkinDataComponentTest, OptionalUser32FunctionsAndTheirStructureSizes) {
  // Wine's user32 has all three.
  BindUser32Functions();
  EXPECT_NE(pGetScrollBarInfo, nullptr);
  EXPECT_NE(pTrackMouseEvent, nullptr);
  EXPECT_NE(pGetComboBoxInfo, nullptr);
  const TGetScrollBarInfoProc savedScroll = pGetScrollBarInfo;
  const TTrackMouseEventProc savedTrack = pTrackMouseEvent;
  auto d = Make();
  SCROLLBARINFO info{};
  pGetScrollBarInfo = FakeGetScrollBarInfo;
  EXPECT_TRUE(d->GetScrollBarInfo(FakeWindow(1), OBJID_VSCROLL, info));
  EXPECT_EQ(seenScrollInfoSize, sizeof(SCROLLBARINFO));
  EXPECT_EQ(info.rgstate[0], 7u);
  pGetScrollBarInfo = nullptr;
  EXPECT_FALSE(d->GetScrollBarInfo(FakeWindow(1), OBJID_VSCROLL, info));
  pTrackMouseEvent = FakeTrackMouseEvent;
  DoTrackMouse(FakeWindow(2));
  EXPECT_EQ(seenTrack.cbSize, sizeof(TRACKMOUSEEVENT));
  EXPECT_EQ(seenTrack.dwFlags, DWORD(TME_LEAVE));
  EXPECT_EQ(seenTrack.hwndTrack, FakeWindow(2));
  pTrackMouseEvent = nullptr;
  seenTrack = {};
  DoTrackMouse(FakeWindow(2));
  EXPECT_EQ(seenTrack.cbSize, 0u);
  pGetScrollBarInfo = savedScroll;
  pTrackMouseEvent = savedTrack;
}

TEST_F(SkinDataComponentTest, SkinDllSharesTheHostsManager) {
  SkinDll(nullptr);  // no host: nothing
  EXPECT_TRUE(Made.empty());
  TFakeSkinManager host(false);
  SkinDll(&host);
  ASSERT_EQ(SkinManager, &Manager());
  EXPECT_TRUE(Manager().IsDll);
  EXPECT_EQ(Manager().Host, &host);
  EXPECT_EQ(Manager().Log, (Log{"AssignData", "InstallHook"}));
  EXPECT_EQ(Manager().State, 1);
  SkinDll(&host);  // the module's manager exists: shared again
  EXPECT_EQ(Made.size(), 1u);
  EXPECT_EQ(Manager().State, 2);
}

// Outside the fixture the component asks the real controls layer: a form owner answers with
// its window (made on demand), any other owner with none.
TEST(SkinDataControlsLayer, AnswersWithTheWindowsOfFormsControlsAndTheApplication) {
  auto* form = new TForm(nullptr);
  auto* panel = new TCustomControl(form);
  panel->SetParent(form);
  TComponent plain(nullptr);
  EXPECT_EQ(SkinDataControls.OwnerFormHandle(form), form->Handle());
  EXPECT_TRUE(IsWindow(form->Handle()));
  EXPECT_EQ(SkinDataControls.OwnerFormHandle(&plain), nullptr);
  EXPECT_EQ(SkinDataControls.FormHandle(form), form->Handle());
  EXPECT_EQ(SkinDataControls.ControlHandle(panel), panel->Handle());
  EXPECT_EQ(GetParent(panel->Handle()), form->Handle());
  ASSERT_NE(Application, nullptr);
  EXPECT_EQ(SkinDataControls.ApplicationHandle(), Application->Handle());
  form->Free();
}
