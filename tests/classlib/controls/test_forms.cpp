// Forms read from form files (nested aligned panels, a menu), Screen.Forms, freeing without
// leaks, the application's creation of forms from resources, the modal and halt seams, focus
// and tab order, parent fonts and colours, painting of controls without windows, menus and
// timers.
#include <gtest/gtest.h>

#include "tests/support/place.h"
#include "tests/support/dib.h"

#include <set>

#include "classlib/controls/dialogs.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/menus.h"
#include "classlib/controls/timer.h"
#include "classlib/core/form_file.h"
#include "tests/support/census_check.h"
#include "tests/support/message_log.h"
#include "tests/classlib/controls/modal_answers.h"

namespace {

// A container in the manner of a panel: a window that paints itself in its colour.
class TTestPanel : public TCustomControl {
  KARO_CLASS(TTestPanel)
public:
  explicit TTestPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetColor(clBtnFace);
    SetBounds(0, 0, 100, 50);
  }

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
};

// A control without a window that paints more than its own rectangle: the canvas must clip it.
class TRedBox : public TGraphicControl {
  KARO_CLASS(TRedBox)
public:
  explicit TRedBox(TComponent* owner) : TGraphicControl(owner) {}

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(-50, -50, 500, 500));
  }
};

class TTestForm : public TForm {
  KARO_CLASS(TTestForm)
public:
  using TForm::TForm;
  int creates = 0, opens = 0, destroys = 0;
  int componentsAtCreate = 0;
  bool* destroyedFlag = nullptr;
  void FormCreate(TObject*) {
    ++creates;
    componentsAtCreate = ComponentCount();
  }
  void FormDestroy(TObject*) {
    if (destroyedFlag) *destroyedFlag = true;
  }
  void Open1Click(TObject*) { ++opens; }
};

// The form of the resource TRESFORM (test_forms.rc).
class TResForm : public TForm {
  KARO_CLASS(TResForm)
public:
  using TForm::TForm;
  int created = 0;
  void FormCreate(TObject*) { ++created; }
};

class THaltForm : public TForm {
  KARO_CLASS(THaltForm)
public:
  using TForm::TForm;
  bool afterHalt = false;
  void FormCreate(TObject*) {
    Halt(0);
    afterHalt = true;
  }
};

KARO_CLASS_PROPS(TTestPanel, TCustomControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Caption(), TControlProps::Color(),
                 TControlProps::Font(), TControlProps::ParentColor(), TControlProps::ParentFont(),
                 TControlProps::TabOrder(), TControlProps::TabStop(), TControlProps::Visible(),
                 TControlProps::OnClick())
KARO_CLASS_PROPS(TRedBox, TGraphicControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height())
KARO_CLASS_PROPS(TTestForm, TForm, Method("FormCreate", &TTestForm::FormCreate),
                 Method("FormDestroy", &TTestForm::FormDestroy), Method("Open1Click", &TTestForm::Open1Click))
KARO_CLASS_PROPS(TResForm, TForm, Method("FormCreate", &TResForm::FormCreate))
KARO_CLASS_PROPS(THaltForm, TForm, Method("FormCreate", &THaltForm::FormCreate))

const char* const kFormText = R"(object TestForm: TTestForm
  Left = 10
  Top = 20
  BorderStyle = bsSingle
  Caption = 'Main '#26149
  ClientHeight = 300
  ClientWidth = 400
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'Tahoma'
  Menu = MainMenu1
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  object Top1: TTestPanel
    Left = 0
    Top = 0
    Width = 120
    Height = 40
    Align = alTop
    Caption = 'top'
    TabOrder = 1
    TabStop = True
  end
  object Client1: TTestPanel
    Left = 0
    Top = 40
    Width = 300
    Height = 100
    Align = alClient
    Caption = 'client'
    Color = clRed
    TabOrder = 0
    TabStop = True
    object Left1: TTestPanel
      Width = 50
      Align = alLeft
      ParentColor = True
      TabStop = True
    end
    object Inner1: TTestPanel
      Align = alClient
      Caption = #20013#25991
      TabStop = True
      object Box1: TRedBox
        Left = 5
        Top = 5
        Width = 20
        Height = 10
      end
    end
  end
  object Bottom1: TTestPanel
    Top = 200
    Height = 25
    Align = alBottom
    TabOrder = 2
    TabStop = True
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Caption = '&Open'
        ShortCut = 16463
        OnClick = Open1Click
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Exit1: TMenuItem
        Caption = 'E&xit'
      end
    end
  end
end
)";

// The thread's windows and the handles a tree of controls holds, to see that freeing it gives
// every one of them back.
struct THandleCensus {
  std::set<HWND> windows;
  std::set<HGDIOBJ> gdi;
  std::set<HMENU> menus;
  static BOOL CALLBACK AddChild(HWND w, LPARAM lp) {
    reinterpret_cast<THandleCensus*>(lp)->windows.insert(w);
    return TRUE;
  }
  static BOOL CALLBACK AddTop(HWND w, LPARAM lp) {
    auto* self = reinterpret_cast<THandleCensus*>(lp);
    self->windows.insert(w);
    EnumChildWindows(w, &AddChild, lp);
    return TRUE;
  }
  void TakeWindows() { EnumThreadWindows(GetCurrentThreadId(), &AddTop, LPARAM(this)); }
  void TakeControl(TControl* c) {
    gdi.insert(c->Font()->Handle());
    if (auto* w = dyn<TWinControl>(c)) {
      gdi.insert(w->Brush()->Handle());
      for (int i = 0; i < w->ControlCount(); ++i) TakeControl(w->Controls(i));
    }
  }
  void TakeMenu(TMenuItem* item) {
    if (item->Count()) menus.insert(item->Handle());
    for (int i = 0; i < item->Count(); ++i) TakeMenu(item->Items(i));
  }
};

class Forms : public ::testing::Test {
protected:
  void SetUp() override { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2); }
  void TearDown() override {
    Pump();
    TTimer::SetManualTimers(false);
  }
  TTestForm* ReadTestForm() {
    std::string text(kFormText);
    return NewForm<TTestForm>(nullptr, &text);
  }
};

TEST_F(Forms, FormFileReadsIntoTheTreeWithItsSizesAndCaptions) {
  TTestForm* form = ReadTestForm();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Name(), "TestForm");
  EXPECT_EQ(form->creates, 1);
  // OnCreate ran once the whole file was read.
  EXPECT_EQ(form->componentsAtCreate, form->ComponentCount());
  EXPECT_EQ(form->Caption(), L"Main \u6625");
  EXPECT_EQ(form->BorderStyle(), bsSingle);
  EXPECT_EQ(form->ClientWidth(), 400);
  EXPECT_EQ(form->ClientHeight(), 300);
  EXPECT_FALSE(form->Visible());

  auto* top = dyn<TTestPanel>(form->FindComponent("Top1"));
  auto* client = dyn<TTestPanel>(form->FindComponent("Client1"));
  auto* left = dyn<TTestPanel>(form->FindComponent("Left1"));
  auto* inner = dyn<TTestPanel>(form->FindComponent("Inner1"));
  auto* bottom = dyn<TTestPanel>(form->FindComponent("Bottom1"));
  auto* box = dyn<TRedBox>(form->FindComponent("Box1"));
  ASSERT_TRUE(top && client && left && inner && bottom && box);
  // Children are parented to the object they were written in and owned by the form.
  EXPECT_EQ(top->Parent(), form);
  EXPECT_EQ(left->Parent(), client);
  EXPECT_EQ(box->Parent(), inner);
  EXPECT_EQ(box->Owner(), form);
  EXPECT_EQ(inner->Caption(), L"\u4e2d\u6587");
  // Aligned: the top and bottom strips, the client between, and inside it the left column
  // and the rest.
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 40));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 275, 400, 300));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 40, 400, 275));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 50, 235));
  EXPECT_EQ(inner->BoundsRect(), Rect(50, 0, 400, 235));
  EXPECT_EQ(box->BoundsRect(), Rect(5, 5, 25, 15));
  // Parent colour and font came through.
  EXPECT_EQ(left->Color(), clRed);
  EXPECT_TRUE(left->ParentColor());
  EXPECT_EQ(top->Font()->Name(), L"Tahoma");
  EXPECT_TRUE(top->ParentFont());
  // Tab order as written.
  std::vector<TWinControl*> order;
  form->GetTabOrderList(order);
  ASSERT_EQ(order.size(), 5u);
  EXPECT_EQ(order[0], client);
  EXPECT_EQ(order[1], left);
  EXPECT_EQ(order[2], inner);
  EXPECT_EQ(order[3], top);
  EXPECT_EQ(order[4], bottom);
  // The menu.
  auto* menu = dyn<TMainMenu>(form->FindComponent("MainMenu1"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(form->Menu(), menu);
  ASSERT_EQ(menu->Items()->Count(), 1);
  TMenuItem* file = menu->Items()->Items(0);
  EXPECT_EQ(file->Count(), 3);
  EXPECT_TRUE(file->Items(1)->IsLine());
  EXPECT_EQ(file->Items(0)->ShortCut(), scCtrl | 'O');

  // Screen.Forms lists it.
  bool listed = false;
  for (int i = 0; i < Screen->FormCount(); ++i) listed |= Screen->Forms(i) == form;
  EXPECT_TRUE(listed);

  // Resizing the form lays the children out again.
  form->SetClientSize(500, 320);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 500, 40));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 295, 500, 320));
  EXPECT_EQ(inner->BoundsRect(), Rect(50, 0, 500, 255));
  form->Free();
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_NE(Screen->Forms(i), form);
}

TEST_F(Forms, WrittenFormReadsBackTheSame) {
  TTestForm* form = ReadTestForm();
  std::string written = WriteComponentText(form);
  form->Free();
  // The objects come in tree order: the controls, then the menu (a component without parent).
  size_t client = written.find("object Client1: TTestPanel"), inner = written.find("object Inner1: TTestPanel");
  size_t menu = written.find("object MainMenu1: TMainMenu"), open = written.find("object Open1: TMenuItem");
  ASSERT_NE(client, std::string::npos);
  EXPECT_LT(client, inner);
  EXPECT_LT(inner, menu);
  EXPECT_LT(menu, open);
  EXPECT_NE(written.find("OnCreate = FormCreate"), std::string::npos);
  TTestForm* again = NewForm<TTestForm>(nullptr, &written);
  EXPECT_EQ(again->creates, 1);
  EXPECT_EQ(again->Caption(), L"Main \u6625");
  EXPECT_EQ(again->ClientWidth(), 400);
  EXPECT_EQ(again->ClientHeight(), 300);
  auto* bottom = dyn<TTestPanel>(again->FindComponent("Bottom1"));
  ASSERT_NE(bottom, nullptr);
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 275, 400, 300));
  EXPECT_EQ(dyn<TTestPanel>(again->FindComponent("Inner1"))->Caption(), L"\u4e2d\u6587");
  EXPECT_EQ(dyn<TTestPanel>(again->FindComponent("Left1"))->Color(), clRed);
  ASSERT_NE(again->Menu(), nullptr);
  EXPECT_EQ(again->Menu()->Items()->Items(0)->Items(0)->ShortCut(), scCtrl | 'O');
  EXPECT_EQ(WriteComponentText(again), written);
  again->Free();
}

TEST_F(Forms, ShownFormHasItsWindowsMenuAndClientSize) {
  TTestForm* form = ReadTestForm();
  form->Show();
  Pump();
  RECT cr{};
  GetClientRect(form->Handle(), &cr);
  EXPECT_EQ(cr.right, 400);
  EXPECT_EQ(cr.bottom, 300);
  wchar_t name[32];
  GetClassNameW(form->Handle(), name, 32);
  EXPECT_STREQ(name, L"TTestForm");
  auto* inner = dyn<TTestPanel>(form->FindComponent("Inner1"));
  ASSERT_TRUE(inner->HandleAllocated());
  EXPECT_EQ(GetParent(inner->Handle()), dyn<TTestPanel>(form->FindComponent("Client1"))->Handle());
  RECT ir{};
  GetWindowRect(inner->Handle(), &ir);
  EXPECT_EQ(ir.right - ir.left, 350);

  HMENU bar = GetMenu(form->Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar, form->Menu()->Handle());
  wchar_t text[64];
  GetMenuStringW(bar, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&File");
  HMENU sub = GetSubMenu(bar, 0);
  GetMenuStringW(sub, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Open\tCtrl+O");
  EXPECT_EQ(GetMenuItemCount(sub), 3);

  // A menu command clicks its item.
  TMenuItem* open = form->Menu()->Items()->Items(0)->Items(0);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
  EXPECT_EQ(form->opens, 1);
  EXPECT_EQ(form->Menu()->FindItem(UINT_PTR(sub), fkHandle), form->Menu()->Items()->Items(0));
  EXPECT_EQ(form->Menu()->FindItem(open->Command(), fkCommand), open);

  // A change of the menu is told to the form's window, which attaches the menu again.
  TMessageLog formLog({CM_MENUCHANGED}, parent);
  TWindowRecorder rec(form->Handle(), formLog);
  SetMenu(form->Handle(), nullptr);
  open->SetCaption(L"&Load");
  EXPECT_TRUE(SequenceIs(formLog, {{CM_MENUCHANGED, sent | parent}}));
  EXPECT_EQ(GetMenu(form->Handle()), bar);
  GetMenuStringW(GetSubMenu(bar, 0), 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Load\tCtrl+O");
  rec.Detach();
  form->Free();
}

TEST_F(Forms, FreeingTheFormGivesBackEveryWindowMenuAndGdiObject) {
  // What the first form of a thread brings once (the thread's own system windows, caches of the
  // screen) is not the form's to give back.
  ReadTestForm()->Free();
  Pump();
  TObjectCensus counted{};
  ASSERT_TRUE(TakeCensus(counted));
  THandleCensus before;
  before.TakeWindows();
  bool destroyed = false;
  TTestForm* form = ReadTestForm();
  form->destroyedFlag = &destroyed;
  form->Show();
  form->Repaint();
  Pump();
  THandleCensus made;
  made.TakeWindows();
  made.TakeControl(form);
  made.TakeMenu(form->Menu()->Items());
  made.menus.insert(form->Menu()->Handle());
  for (HWND w : before.windows) made.windows.erase(w);
  EXPECT_GE(made.windows.size(), 6u);
  // The census sees what the form holds: its windows, its menus, its fonts and brushes.
  TObjectCensus shown{};
  ASSERT_TRUE(TakeCensus(shown));
  EXPECT_GE(shown.Windows - counted.Windows, long(made.windows.size()));
  EXPECT_GE(shown.Menus - counted.Menus, long(made.menus.size()));
  EXPECT_GT(shown.Gdi, counted.Gdi);
  form->Free();
  Pump();
  EXPECT_TRUE(destroyed);
  for (HWND w : made.windows) EXPECT_FALSE(IsWindow(w)) << w;
  for (HMENU m : made.menus) EXPECT_FALSE(IsMenu(m)) << m;
  for (HGDIOBJ g : made.gdi) EXPECT_EQ(GetObjectType(g), 0u) << g;
  EXPECT_TRUE(CensusIs(counted));
}

TEST_F(Forms, ApplicationMakesFormsFromTheirResources) {
  TResForm* form = nullptr;
  TCustomForm* oldMain = Application->MainForm();
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Owner(), Application);
  EXPECT_EQ(form->Caption(), L"From a resource");
  EXPECT_EQ(form->created, 1);
  if (!oldMain) {
    EXPECT_EQ(Application->MainForm(), form);
  }
  form->Free();
  EXPECT_NE(Application->MainForm(), form);

  // A form class of its own without a resource cannot be made.
  TTestForm* missing = nullptr;
  EXPECT_THROW(Application->CreateForm(missing), EResNotFound);
  EXPECT_EQ(missing, nullptr);
}

TEST_F(Forms, HaltInOnCreateEndsTheHandlerQuietly) {
  std::vector<int> codes;
  THaltHandler old = SetHaltHandler([&](int code) { codes.push_back(code); });
  TModalAnswers boxes;
  std::string text = "object HaltForm: THaltForm\n  OnCreate = FormCreate\nend\n";
  THaltForm* form = NewForm<THaltForm>(nullptr, &text);
  SetHaltHandler(old);
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0], 0);
  EXPECT_FALSE(form->afterHalt);
  EXPECT_TRUE(boxes.requests.empty());
  form->Free();
}

TEST_F(Forms, ModalBoxesGoThroughTheSeam) {
  TModalAnswers answers(IDOK);
  EXPECT_EQ(Application->MessageBox(L"You Are Already Run The Karo !", L"Oh!", 0), IDOK);
  ASSERT_EQ(answers.requests.size(), 1u);
  EXPECT_EQ(answers.requests[0].Kind, mkMessageBox);
  EXPECT_EQ(answers.requests[0].Text, L"You Are Already Run The Karo !");
  EXPECT_EQ(answers.requests[0].Caption, L"Oh!");
  EXPECT_EQ(answers.requests[0].Flags, 0u);

  // A message dialog is a TMessageForm with its buttons.
  answers.answer = mrYes;
  std::vector<WideString> buttonCaptions;
  std::string formClass;
  answers.onRequest = [&](TModalRequest& r) {
    if (!r.Form) return;
    formClass = r.Form->ClassName();
    if (auto* mf = dyn<TMessageForm>(r.Form))
      for (TWinControl* b : mf->Buttons()) buttonCaptions.push_back(b->Caption());
  };
  EXPECT_EQ(MessageDlg(L"Are You Sure\uff1f", mtConfirmation, mbYesNo, 0), mrYes);
  ASSERT_EQ(answers.requests.size(), 2u);
  EXPECT_EQ(answers.requests[1].Kind, mkMessageDialog);
  EXPECT_EQ(answers.requests[1].Caption, L"Confirm");
  EXPECT_EQ(answers.requests[1].Text, L"Are You Sure\uff1f");
  EXPECT_EQ(formClass, "TMessageForm");
  EXPECT_EQ(buttonCaptions, (std::vector<WideString>{L"&Yes", L"&No"}));

  Application->SetTitle(L"Title");
  ShowMessage(L"Are You Sure?");
  ASSERT_EQ(answers.requests.size(), 3u);
  EXPECT_EQ(answers.requests[2].Caption, L"Title");

  auto* modal = new TForm(nullptr);
  answers.answer = mrCancel;
  EXPECT_EQ(modal->ShowModal(), mrCancel);
  EXPECT_EQ(answers.requests.back().Kind, mkShowModal);
  EXPECT_EQ(answers.requests.back().Form, modal);
  EXPECT_FALSE(modal->Visible());
  modal->Free();

  TOpenDialog dialog(nullptr);
  answers.answer = 1;
  answers.onRequest = [](TModalRequest& r) {
    if (r.Dialog) r.Dialog->SetFileName(L"C:\\skins\\Yellow.skn");
  };
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(answers.requests.back().Kind, mkOpenDialog);
  EXPECT_EQ(dialog.FileName(), L"C:\\skins\\Yellow.skn");
  EXPECT_EQ(dialog.Files()->Count(), 1);
  answers.answer = 0;
  EXPECT_FALSE(dialog.Execute());
}

TEST_F(Forms, ModalFormRunsItsOwnLoopUntilItHasAResult) {
  auto* main = new TForm(nullptr);
  main->Show();
  auto* modal = new TForm(nullptr);
  bool mainDisabled = false;
  int closes = 0;
  modal->OnShow = [&](TObject*) { mainDisabled = !IsWindowEnabled(main->Handle()); };
  modal->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  modal->HandleNeeded();
  PostMessageW(modal->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(modal->ExecuteModal(), mrCancel);
  EXPECT_TRUE(mainDisabled);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(modal->Visible());

  // Escape in a message dialog answers for its cancelling button.
  TMessageForm* dlg = CreateMessageDialog(L"Question", mtConfirmation, mbYesNo);
  EXPECT_EQ(dlg->ClassName(), "TMessageForm");
  dlg->HandleNeeded();
  PostMessageW(dlg->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(dlg->ExecuteModal(), mrNo);
  dlg->Free();

  // A click on a button answers with its result.
  dlg = CreateMessageDialog(L"Again", mtWarning, mbYesNoCancel);
  ASSERT_EQ(dlg->Buttons().size(), 3u);
  EXPECT_EQ(dlg->Caption(), L"Warning");
  TWinControl* cancel = dlg->Buttons()[2];
  EXPECT_EQ(cancel->Caption(), L"Cancel");
  PostMessageW(cancel->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(dlg->ExecuteModal(), mrCancel);
  dlg->Free();
  modal->Free();
  main->Free();
}

TEST_F(Forms, FocusEntersAndExitsAlongTheTree) {
  TTestForm* form = ReadTestForm();
  form->Show();
  Pump();
  auto* top = dyn<TTestPanel>(form->FindComponent("Top1"));
  auto* client = dyn<TTestPanel>(form->FindComponent("Client1"));
  auto* inner = dyn<TTestPanel>(form->FindComponent("Inner1"));
  auto* bottom = dyn<TTestPanel>(form->FindComponent("Bottom1"));
  // Shown, the form focused the first control in tab order.
  EXPECT_EQ(form->ActiveControl(), client);
  top->SetFocus();
  TMessageLog clientLog({CM_ENTER, CM_EXIT});
  TMessageLog innerLog({CM_ENTER, CM_EXIT});
  TMessageLog topLog({CM_ENTER, CM_EXIT});
  TWindowRecorder r1(client->Handle(), clientLog), r2(inner->Handle(), innerLog), r3(top->Handle(), topLog);
  std::string events;
  inner->OnEnter = [&](TObject*) { events += "inner+"; };
  inner->OnExit = [&](TObject*) { events += "inner-"; };
  client->OnEnter = [&](TObject*) { events += "client+"; };
  client->OnExit = [&](TObject*) { events += "client-"; };
  top->OnExit = [&](TObject*) { events += "top-"; };
  bottom->OnEnter = [&](TObject*) { events += "bottom+"; };

  inner->SetFocus();
  EXPECT_EQ(form->ActiveControl(), inner);
  EXPECT_TRUE(inner->Focused());
  bottom->SetFocus();
  EXPECT_EQ(events, "top-client+inner+inner-client-bottom+");
  EXPECT_TRUE(SequenceIs(topLog, {{CM_EXIT, sent}}));
  EXPECT_TRUE(SequenceIs(clientLog, {{CM_ENTER, sent}, {CM_EXIT, sent}}));
  EXPECT_TRUE(SequenceIs(innerLog, {{CM_ENTER, sent}, {CM_EXIT, sent}}));
  EXPECT_EQ(Screen->ActiveForm(), form);
  EXPECT_EQ(Screen->Forms(0), form);

  // Tab moves on in tab order; from the last control it comes round to the first.
  PostMessageW(bottom->Handle(), WM_KEYDOWN, VK_TAB, 1);
  Application->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), client);
  PostMessageW(client->Handle(), WM_KEYDOWN, VK_TAB, 1);
  Application->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), form->FindComponent("Left1"));

  // A hidden control cannot take the focus; hiding the focused one moves it away.
  inner->SetVisible(false);
  EXPECT_THROW(inner->SetFocus(), EInvalidOperation);
  r1.Detach();
  r2.Detach();
  r3.Detach();
  form->Free();
}

TEST_F(Forms, FreedFocusedControlLeavesNoTraceOnTheScreen) {
  // Whether or not the form is active (another program may have the foreground), freeing the
  // focused control must not leave the screen pointing at it: closing a form follows it.
  TTestForm* form = ReadTestForm();
  auto* inner = dyn<TTestPanel>(form->FindComponent("Inner1"));
  ASSERT_NE(inner, nullptr);
  form->SetFocusedControl(inner);
  ASSERT_EQ(Screen->ActiveControl(), inner);
  TWinControl* freed = inner;
  inner->Free();
  EXPECT_NE(Screen->ActiveControl(), freed);
  auto* other = new TForm(nullptr);
  other->Free();
  form->Free();
  EXPECT_EQ(Screen->ActiveControl(), nullptr);
}

TEST_F(Forms, ParentFontAndColourFollowUntilSetOnTheChild) {
  auto* form = new TForm(nullptr);
  auto* panel = new TTestPanel(form);
  panel->SetParent(form);
  auto* child = new TTestPanel(panel);
  child->SetParent(panel);
  child->SetParentColor(true);
  form->Font()->SetName(L"Courier New");
  EXPECT_EQ(child->Font()->Name(), L"Courier New");
  EXPECT_TRUE(child->ParentFont());
  panel->SetColor(clYellow);
  EXPECT_EQ(child->Color(), clYellow);

  child->Font()->SetSize(20);
  EXPECT_FALSE(child->ParentFont());
  form->Font()->SetName(L"Arial");
  EXPECT_EQ(child->Font()->Name(), L"Courier New");
  child->SetParentFont(true);
  EXPECT_EQ(child->Font()->Name(), L"Arial");

  child->SetColor(clLime);
  EXPECT_FALSE(child->ParentColor());
  panel->SetColor(clAqua);
  EXPECT_EQ(child->Color(), clLime);
  form->Free();
}

TEST_F(Forms, ControlsWithoutAWindowPaintClippedOnTheirParent) {
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 200, 150);
  auto* box = Place<TRedBox>(form, 20, 30, 40, 25);
  form->Show();
  TRect client = form->ClientRect();
  TDib target(client.Right, client.Bottom, 0);
  SendMessageW(form->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  auto pixel = [&](int x, int y) { return target.At(x, y); };
  COLORREF face = GdiColor(clBtnFace);
  EXPECT_EQ(pixel(20, 30), RGB(255, 0, 0));
  EXPECT_EQ(pixel(59, 54), RGB(255, 0, 0));
  EXPECT_EQ(pixel(19, 30), face);
  EXPECT_EQ(pixel(60, 40), face);
  EXPECT_EQ(pixel(30, 55), face);
  EXPECT_EQ(pixel(5, 5), face);
  // Hidden, it paints nothing.
  box->SetVisible(false);
  SendMessageW(form->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  EXPECT_EQ(pixel(30, 40), face);
  form->Free();
}

TEST_F(Forms, RecreatedWindowKeepsTextAndControl) {
  auto* form = new TForm(nullptr);
  auto* panel = new TTestPanel(form);
  panel->SetParent(form);
  panel->SetCaption(L"kept \u6625");
  form->Show();
  HWND first = panel->Handle();
  TMessageLog log({CM_RECREATEWND});
  TWindowProcRecorder rec(panel, log);
  panel->RecreateWnd();
  EXPECT_TRUE(SequenceIs(log, {{CM_RECREATEWND, perform}}));
  EXPECT_FALSE(IsWindow(first));
  ASSERT_TRUE(panel->HandleAllocated());
  EXPECT_EQ(FindControl(panel->Handle()), panel);
  EXPECT_EQ(panel->Caption(), L"kept \u6625");
  EXPECT_TRUE(IsWindowVisible(panel->Handle()));
  form->Free();
}

TEST_F(Forms, ShortcutsHaveTheirTexts) {
  struct TCase {
    TShortCut Key;
    const wchar_t* Text;
  };
  const TCase cases[] = {
      {scCtrl | 'S', L"Ctrl+S"},      {scShift | VK_F5, L"Shift+F5"}, {scAlt | VK_F4, L"Alt+F4"},
      {VK_DELETE, L"Del"},            {scShift | scCtrl | VK_HOME, L"Shift+Ctrl+Home"},
      {scCtrl | VK_RETURN, L"Ctrl+Enter"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(ShortCutToText(c.Key), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Key);
  }
  EXPECT_EQ(TextToShortCut(L"ALT+F4"), scAlt | VK_F4);
  EXPECT_EQ(TextToShortCut(L"Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut(L"Hyper+Q"), 0);
  EXPECT_EQ(StripHotkey(L"&File && &Edit"), L"File & Edit");
  EXPECT_EQ(GetHotkey(L"E&xit"), L'X');
  EXPECT_TRUE(IsAccel(L'x', L"E&xit"));
  EXPECT_FALSE(IsAccel(L'e', L"E&xit"));
}

TEST_F(Forms, MenusDrawTheirItemsAndPopUpThroughTheSeam) {
  TTestForm* form = ReadTestForm();
  form->Show();
  TMenuItem* open = form->Menu()->Items()->Items(0)->Items(0);
  open->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) {
    w = 123;
    h = 21;
  };
  MEASUREITEMSTRUCT mi{ODT_MENU, 0, open->Command(), 0, 0, 0};
  EXPECT_EQ(SendMessageW(form->Handle(), WM_MEASUREITEM, 0, LPARAM(&mi)), 1);
  EXPECT_EQ(mi.itemWidth, 123u);
  EXPECT_EQ(mi.itemHeight, 21u);
  bool drawn = false;
  open->OnDrawItem = [&](TObject* sender, TCanvas* canvas, TRect r, bool selected) {
    drawn = sender == open && canvas && r == Rect(1, 2, 30, 20) && selected;
  };
  HDC dc = GetDC(form->Handle());
  DRAWITEMSTRUCT di{ODT_MENU, 0, open->Command(), ODA_DRAWENTIRE, ODS_SELECTED, nullptr, dc, {1, 2, 30, 20}, 0};
  SendMessageW(form->Handle(), WM_DRAWITEM, 0, LPARAM(&di));
  ReleaseDC(form->Handle(), dc);
  EXPECT_TRUE(drawn);

  // The owner-drawn flag reaches the menu handles.
  form->Menu()->SetOwnerDraw(true);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(form->Menu()->Items()->Items(0)->Handle(), 0, TRUE, &info);
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);

  // A popup menu shown through the seam clicks the chosen item.
  auto* popup = new TPopupMenu(form);
  auto* item = new TMenuItem(form);
  item->SetCaption(L"Copy");
  int clicks = 0;
  item->OnClick = [&](TObject*) { ++clicks; };
  popup->Items()->Add(item);
  bool popped = false;
  popup->OnPopup = [&](TObject*) { popped = true; };
  TModalAnswers answers(item->Command());
  popup->Popup(100, 120);
  EXPECT_TRUE(popped);
  EXPECT_EQ(clicks, 1);
  ASSERT_EQ(answers.requests.size(), 1u);
  EXPECT_EQ(answers.requests[0].Kind, mkPopupMenu);
  EXPECT_EQ(answers.requests[0].Menu, popup);
  EXPECT_EQ(answers.requests[0].X, 100);

  // Ctrl+O is the shortcut of Open.
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE saved = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  auto* inner = dyn<TTestPanel>(form->FindComponent("Inner1"));
  PostMessageW(inner->Handle(), WM_KEYDOWN, 'O', 1);
  Application->ProcessMessages();
  keys[VK_CONTROL] = saved;
  SetKeyboardState(keys);
  EXPECT_EQ(form->opens, 1);
  form->Free();
}

TEST_F(Forms, TimersTickWhenTheTestSaysSo) {
  TTimer::SetManualTimers(true);
  TModalAnswers boxes;
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  timer.SetInterval(250);
  EXPECT_TRUE(timer.Running());
  timer.Tick();
  timer.Tick();
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  timer.Tick();
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
  // An exception of OnTimer ends at the timer.
  timer.SetInterval(100);
  timer.OnTimer = [](TObject*) { throw EConvertError("tick failed"); };
  timer.Tick();
  ASSERT_EQ(boxes.requests.size(), 1u);
  EXPECT_EQ(boxes.requests[0].Text, L"tick failed.");
}

// The system timer itself, once: a short real interval and a bounded wait for its messages.
TEST_F(Forms, ARunningTimerTicksFromTheSystemTimer) {
  TTimer::SetManualTimers(false);
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  timer.SetInterval(10);
  ASSERT_TRUE(timer.Running());
  const DWORD start = GetTickCount();
  while (ticks < 2 && GetTickCount() - start < 5000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    Application->ProcessMessages();
  }
  EXPECT_GE(ticks, 2) << "no WM_TIMER reached the timer's window within 5 s";
  // Stopped, it ticks no more.
  timer.SetEnabled(false);
  const int seen = ticks;
  const DWORD stop = GetTickCount();
  while (GetTickCount() - stop < 100) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Application->ProcessMessages();
  }
  EXPECT_EQ(ticks, seen);
}

// The utility windows' procedure is a barrier: an exception of the procedure goes to the
// application's handler, and the sender of the message gets an answer.
TEST_F(Forms, AnExceptionInAUtilityWindowEndsAtItsProcedure) {
  TModalAnswers boxes;
  int calls = 0;
  HWND wnd = nullptr;
  wnd = AllocateHWnd([&](TMessage& m) {
    if (m.Msg != WM_USER + 7) {
      m.Result = DefWindowProcW(wnd, m.Msg, m.WParam, m.LParam);
      return;
    }
    ++calls;
    m.Result = 42;
    throw EConvertError("utility failed");
  });
  ASSERT_NE(wnd, nullptr);
  EXPECT_NO_THROW(SendMessageW(wnd, WM_USER + 7, 0, 0));
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(boxes.requests.size(), 1u);
  EXPECT_EQ(boxes.requests[0].Text, L"utility failed.");
  // The window still answers.
  EXPECT_NO_THROW(SendMessageW(wnd, WM_USER + 7, 0, 0));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(boxes.requests.size(), 2u);
  DeallocateHWnd(wnd);
}

}  // namespace
