// The application around the forms: the main form on the task bar, MDI frames and children,
// data modules read from form files with references between roots, activation, placement,
// keys, and the message loop (last: Run ends the application of this test program).
#include <gtest/gtest.h>

#include "classlib/controls/dialogs.h"
#include "classlib/controls/forms.h"
#include "classlib/core/form_file.h"
#include "tests/support/message_log.h"

namespace {

class TMainWin : public TForm {
  KARO_CLASS(TMainWin)
public:
  using TForm::TForm;
};

class TKeyPanel : public TCustomControl {
  KARO_CLASS(TKeyPanel)
public:
  explicit TKeyPanel(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};

// A component of a data module that a form's component refers to.
class TSource : public TComponent {
  KARO_CLASS(TSource)
public:
  using TComponent::TComponent;
};

class TUser : public TComponent {
  KARO_CLASS(TUser)
public:
  using TComponent::TComponent;
  TSource* Source() const { return source_; }
  void SetSource(TSource* s) { source_ = s; }

private:
  TSource* source_ = nullptr;
};

class TTestModule : public TDataModule {
  KARO_CLASS(TTestModule)
public:
  using TDataModule::TDataModule;
  int created = 0;
  void ModuleCreate(TObject*) { ++created; }
};

class TUserForm : public TForm {
  KARO_CLASS(TUserForm)
public:
  using TForm::TForm;
};

KARO_COMPONENT_INFO(TMainWin, TForm)
KARO_COMPONENT_INFO(TKeyPanel, TCustomControl)
KARO_COMPONENT_INFO(TSource, TComponent)
KARO_CLASS_PROPS(TUser, TComponent, Prop("Source", &TUser::Source, &TUser::SetSource))
KARO_CLASS_PROPS(TTestModule, TDataModule, Method("ModuleCreate", &TTestModule::ModuleCreate))
KARO_COMPONENT_INFO(TUserForm, TForm)

class AppTest : public ::testing::Test {
protected:
  void SetUp() override { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2); }
  void TearDown() override { Pump(); }
};

TEST_F(AppTest, MainFormOnTheTaskBarOwnsTheOtherForms) {
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->SetTitle(L"");
  HWND app = Application->Handle();
  wchar_t name[32];
  GetClassNameW(app, name, 32);
  EXPECT_STREQ(name, L"TApplication");
  EXPECT_FALSE(IsWindowVisible(app));

  TMainWin* main = nullptr;
  ASSERT_EQ(Application->MainForm(), nullptr);
  Application->CreateForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  int activations = 0;
  main->OnActivate = [&](TObject*) { ++activations; };
  main->Show();
  Pump();
  HWND wnd = main->Handle();
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), nullptr);
  EXPECT_TRUE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  LONG style = GetWindowLongW(wnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  // Centred on the screen.
  RECT wr{};
  GetWindowRect(wnd, &wr);
  EXPECT_NEAR((wr.left + wr.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((wr.top + wr.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(main->ClientWidth(), 792);
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(Screen->ActiveForm(), main);

  auto* second = new TForm(Application);
  second->Show();
  EXPECT_EQ(GetWindow(second->Handle(), GW_OWNER), wnd);
  second->Free();
  EXPECT_FALSE(Screen->MenuFont()->Name().empty());
  EXPECT_FALSE(ParamStr(0).empty());
  EXPECT_EQ(ExtractFileName(ParamStr(0)), "test_controls_application.exe");
}

TEST_F(AppTest, MdiFrameHoldsItsChildrenInItsClient) {
  TCustomForm* main = Application->MainForm();
  ASSERT_NE(main, nullptr);
  main->SetFormStyle(fsMDIForm);
  ASSERT_NE(main->ClientHandle(), nullptr);
  wchar_t name[32];
  GetClassNameW(main->ClientHandle(), name, 32);
  EXPECT_STREQ(name, L"MDIClient");
  EXPECT_EQ(GetParent(main->ClientHandle()), main->Handle());
  RECT cr{};
  GetClientRect(main->ClientHandle(), &cr);
  EXPECT_GT(cr.right, 700);

  auto* child = new TForm(Application);
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(10, 10, 200, 150);
  child->Show();
  EXPECT_EQ(GetParent(child->Handle()), main->ClientHandle());
  EXPECT_TRUE(GetWindowLongW(child->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_EQ(main->MDIChildCount(), 1);
  EXPECT_EQ(main->MDIChildren(0), child);
  EXPECT_EQ(main->ActiveMDIChild(), child);
  HWND childWnd = child->Handle();
  child->Free();
  EXPECT_FALSE(IsWindow(childWnd));
  EXPECT_EQ(main->MDIChildCount(), 0);
  main->SetFormStyle(fsNormal);
  EXPECT_EQ(main->ClientHandle(), nullptr);

  // An MDI child without a frame cannot be made.
  auto* orphanMain = new TForm(nullptr);
  orphanMain->SetFormStyle(fsMDIChild);
  EXPECT_THROW(orphanMain->Show(), EInvalidOperation);
  orphanMain->Free();
}

TEST_F(AppTest, FormReferencesADataModuleMadeAfterIt) {
  // As Karo does: the main form first, then the data module its components refer to.
  TUserForm* form = nullptr;
  Application->CreateForm(form);
  auto* user = dyn<TUser>(form->FindComponent("User1"));
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->Source(), nullptr);
  TTestModule* module = nullptr;
  Application->CreateForm(module);
  EXPECT_EQ(module->created, 1);
  EXPECT_EQ(module->Name(), "TestModule");
  ASSERT_EQ(Screen->DataModuleCount(), 1);
  EXPECT_EQ(Screen->DataModules(0), module);
  EXPECT_EQ(user->Source(), module->FindComponent("Source1"));
  EXPECT_NE(Application->MainForm(), form);
  module->Free();
  EXPECT_EQ(Screen->DataModuleCount(), 0);
  form->Free();
}

TEST_F(AppTest, KeysReachTheFormFirstWithKeyPreview) {
  TCustomForm* main = Application->MainForm();
  auto* panel = new TKeyPanel(main);
  panel->SetParent(main);
  panel->SetBounds(0, 0, 50, 50);
  panel->SetFocus();
  std::string seen;
  panel->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { seen += "panel:" + std::to_string(key) + ";"; };
  panel->OnKeyPress = [&](TObject*, wchar_t& key) { seen += std::string("press:") + char(key) + ";"; };
  main->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    seen += "form:" + std::to_string(key) + ";";
    if (key == 'B') key = 0;
  };
  // The loop translates the key into its character, as the system does.
  PostMessageW(panel->Handle(), WM_KEYDOWN, 'A', 1);
  Application->ProcessMessages();
  EXPECT_EQ(seen, "panel:65;press:a;");
  seen.clear();
  main->SetKeyPreview(true);
  PostMessageW(panel->Handle(), WM_KEYDOWN, 'A', 1);
  PostMessageW(panel->Handle(), WM_KEYDOWN, 'B', 1);
  Application->ProcessMessages();
  // A key eaten at key-down still gives its character (OnKeyPress would eat that).
  EXPECT_EQ(seen, "form:65;panel:65;form:66;press:a;press:b;");
  main->SetKeyPreview(false);
  main->OnKeyDown = nullptr;

  // OnMessage sees the message first and may keep it from its window.
  seen.clear();
  Application->OnMessage = [&](MSG& msg, bool& handled) { handled = msg.message == WM_KEYDOWN && msg.wParam == 'C'; };
  PostMessageW(panel->Handle(), WM_KEYDOWN, 'C', 1);
  PostMessageW(panel->Handle(), WM_KEYDOWN, 'D', 1);
  Application->ProcessMessages();
  Application->OnMessage = nullptr;
  EXPECT_EQ(seen, "panel:68;press:d;");
  panel->Free();
}

// Last of this program: Run ends the application.
TEST_F(AppTest, ZzRunShowsTheMainFormAndEndsWhenItCloses) {
  TCustomForm* main = Application->MainForm();
  ASSERT_NE(main, nullptr);
  main->Hide();
  int shows = 0, closes = 0;
  main->OnShow = [&](TObject*) {
    ++shows;
    PostMessageW(main->Handle(), WM_CLOSE, 0, 0);
  };
  main->OnClose = [&](TObject*, TCloseAction& action) {
    ++closes;
    EXPECT_EQ(action, caHide);
  };
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(closes, 1);
  // The main form is not freed by its closing; the application frees it at the end.
  EXPECT_EQ(Application->MainForm(), main);
}

}  // namespace
