// Message flows of the controls layer: creation order, reflection of notifications to the child
// window, mouse enter and leave for windowed and graphic controls, the WindowProc chain and the
// typed unpacking of Dispatch.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/control_atom.h"
#include "classlib/controls/forms.h"
#include "tests/support/place.h"
#include "tests/classlib/controls/form_test.h"
#include "tests/support/message_log.h"
#include "tests/classlib/controls/modal_answers.h"

namespace {

// A windowed control whose default window procedure marks the messages it causes.
class TLogControl : public TCustomControl {
  KARO_CLASS(TLogControl)
public:
  using TCustomControl::TCustomControl;

protected:
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.WindowClass.lpfnWndProc = LoggingDefWndProc;
  }
};

class TLogGraphic : public TGraphicControl {
  KARO_CLASS(TLogGraphic)
public:
  using TGraphicControl::TGraphicControl;
};

// A control whose handlers take typed views of their messages.
class TTypedControl : public TCustomControl {
  KARO_CLASS(TTypedControl)
public:
  using TCustomControl::TCustomControl;
  void Dispatch(TMessage& Message) override;
  int downX = 0, downY = 0, sizeW = 0, sizeH = 0;
  UINT sizeType = 99;

protected:
  void WMLButtonDown(TWMMouse& m) {
    downX = m.XPos;
    downY = m.YPos;
    m.Result = 7;
  }
  void WMSize(TWMSize& m) {
    sizeType = m.SizeType;
    sizeW = m.Width;
    sizeH = m.Height;
    TCustomControl::Dispatch(m.Message);
  }
  void CMBoom(TMessage&) { throw EConvertError("boom"); }
};

KARO_CLASS_INFO(TLogControl, TCustomControl)
KARO_CLASS_INFO(TLogGraphic, TGraphicControl)
KARO_CLASS_INFO(TTypedControl, TCustomControl)

constexpr UINT CM_BOOM = WM_APP + 77;

KARO_BEGIN_MESSAGE_MAP(TTypedControl)
  KARO_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown)
  KARO_MESSAGE(WM_SIZE, WMSize)
  KARO_MESSAGE(CM_BOOM, CMBoom)
KARO_END_MESSAGE_MAP(TCustomControl)

// A class whose map defines another member than Dispatch and hands back its handlers' answers.
class TAnswering {
public:
  bool Ask(TMessage& Message);
  int unlisted = 0;
  std::vector<UINT> heard;

private:
  bool Yes(TWMMouse& m) {
    heard.push_back(m.Message.Msg);
    m.Result = m.XPos;
    return true;
  }
  bool No(TMessage& m) {
    heard.push_back(m.Msg);
    return false;
  }
  bool Unlisted(TMessage&) {
    ++unlisted;
    return true;
  }
};

KARO_BEGIN_MESSAGE_MAP_OF(TAnswering, bool, Ask)
  KARO_MESSAGE(WM_LBUTTONDOWN, Yes)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, Yes)
  KARO_MESSAGE(WM_KEYDOWN, No)
KARO_END_MESSAGE_MAP_OF(Unlisted(Message))

class Messages : public FormTest {
protected:
  Messages() : FormTest(0, 0, 300, 200) {}
};

TEST_F(Messages, ChildWindowIsMadeInOrderWhenTheFormShows) {
  TMessageLog formLog({WM_PARENTNOTIFY, WM_SHOWWINDOW}, parent);
  TMessageLog childLog({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SETFONT, CM_SHOWINGCHANGED});
  auto* child = new TLogControl(form);
  child->SetBounds(10, 20, 50, 30);
  child->SetParent(form);
  TWindowProcRecorder childProc(child, childLog);
  {
    TCreationHook hook({{L"TForm", &formLog}, {L"TLogControl", &childLog}});
    form->Show();
  }
  Pump();
  EXPECT_TRUE(SequenceIs(childLog, {
                                       {WM_NCCREATE, sent},
                                       {WM_CREATE, sent},
                                       {WM_SIZE, sent | wparam | lparam, SIZE_RESTORED, MAKELPARAM(50, 30)},
                                       {WM_MOVE, sent | lparam, 0, MAKELPARAM(10, 20)},
                                       {WM_SETFONT, perform | wparam | lparam, WPARAM(child->Font()->Handle()), 1},
                                       {CM_SHOWINGCHANGED, perform},
                                   }));
  EXPECT_TRUE(IsWindowVisible(child->Handle()));
  // The child's window exists (and is shown) before the form's window is shown.
  EXPECT_TRUE(SequenceIs(formLog, {
                                      {WM_PARENTNOTIFY, sent | parent | wparam, WM_CREATE},
                                      {WM_SHOWWINDOW, sent | parent | wparam, 1},
                                  }));
  wchar_t name[32];
  GetClassNameW(child->Handle(), name, 32);
  EXPECT_STREQ(name, L"TLogControl");
  EXPECT_TRUE(IsWindowUnicode(child->Handle()));
  EXPECT_EQ(GetParent(child->Handle()), form->Handle());
  EXPECT_EQ(GetPropW(child->Handle(), MAKEINTATOM(ControlAtom)), HANDLE(static_cast<TWinControl*>(child)));
}

TEST_F(Messages, NotificationsAreReflectedToTheChildWindow) {
  auto* child = new TLogControl(form);
  child->SetParent(form);
  child->SetBounds(10, 10, 50, 20);
  form->Show();
  HWND c = child->Handle();
  NMHDR hdr{c, 5, NM_CLICK};
  HDC dc = GetDC(c);
  struct TCase {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    UINT Reflected;
  };
  const TCase cases[] = {
      {WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), LPARAM(c), CN_COMMAND},
      {WM_NOTIFY, 5, LPARAM(&hdr), CN_NOTIFY},
      {WM_HSCROLL, SB_LINEDOWN, LPARAM(c), CN_HSCROLL},
      {WM_VSCROLL, SB_PAGEUP, LPARAM(c), CN_VSCROLL},
      {WM_CTLCOLORBTN, WPARAM(dc), LPARAM(c), CN_CTLCOLORBTN},
      {WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(c), CN_CTLCOLORSTATIC},
  };
  child->SetColor(clRed);
  child->Font()->SetColor(clBlue);
  for (const TCase& k : cases) {
    SCOPED_TRACE(msglog::MsgName(k.Msg));
    TMessageLog formLog({k.Msg, k.Reflected}, parent);
    TMessageLog childLog({k.Msg, k.Reflected});
    TWindowRecorder formRec(form->Handle(), formLog);
    TWindowRecorder childRec(c, childLog);
    LRESULT r = SendMessageW(form->Handle(), k.Msg, k.WParam, k.LParam);
    EXPECT_TRUE(SequenceIs(formLog, {{k.Msg, sent | parent | wparam | lparam, k.WParam, k.LParam}}));
    EXPECT_TRUE(SequenceIs(childLog, {{k.Reflected, sent | wparam | lparam, k.WParam, k.LParam}}));
    if (k.Reflected == CN_CTLCOLORBTN || k.Reflected == CN_CTLCOLORSTATIC) {
      // The child answers with its brush and has set its text colour.
      EXPECT_EQ(r, LRESULT(child->Brush()->Handle()));
      EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
      EXPECT_EQ(GetBkColor(dc), RGB(255, 0, 0));
    }
  }
  ReleaseDC(c, dc);

  // A window of another kind is not told: the parent's default procedure answers.
  HWND plain = CreateWindowExW(0, L"STATIC", L"x", WS_CHILD, 0, 0, 10, 10, form->Handle(), nullptr, nullptr, nullptr);
  TMessageLog plainLog({CN_COMMAND, WM_COMMAND});
  TWindowRecorder plainRec(plain, plainLog);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(9, BN_CLICKED), LPARAM(plain));
  EXPECT_TRUE(plainLog.Messages.empty());
  plainRec.Detach();
  DestroyWindow(plain);
}

TEST_F(Messages, MouseEnterAndLeaveReachGraphicAndWindowedControls) {
  auto* graphic = Place<TLogGraphic>(form, 10, 10, 40, 20);
  auto* child = Place<TLogControl>(form, 100, 10, 50, 20);
  int enters = 0, leaves = 0;
  graphic->OnMouseEnter = [&](TObject*) { ++enters; };
  graphic->OnMouseLeave = [&](TObject*) { ++leaves; };
  form->Show();
  TMessageLog formLog({CM_MOUSEENTER, CM_MOUSELEAVE}, parent);
  TMessageLog graphicLog({CM_MOUSEENTER, CM_MOUSELEAVE, WM_MOUSEMOVE});
  TMessageLog childLog({CM_MOUSEENTER, CM_MOUSELEAVE});
  TWindowProcRecorder formProc(form, formLog);
  TWindowProcRecorder graphicProc(graphic, graphicLog);
  TWindowProcRecorder childProc(child, childLog);

  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
  EXPECT_EQ(MouseControl(), graphic);
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(25, 16));
  SendMessageW(child->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  SendMessageW(child->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(MouseControl(), nullptr);

  EXPECT_TRUE(SequenceIs(formLog, {
                                      {CM_MOUSEENTER, perform | parent},
                                      {CM_MOUSELEAVE, perform | parent},
                                  }));
  EXPECT_TRUE(SequenceIs(graphicLog, {
                                         {CM_MOUSEENTER, perform | lparam, 0, 0},
                                         {WM_MOUSEMOVE, perform | lparam, 0, MAKELPARAM(10, 5)},
                                         {WM_MOUSEMOVE, perform | lparam, 0, MAKELPARAM(15, 6)},
                                         {CM_MOUSELEAVE, perform | lparam, 0, 0},
                                     }));
  EXPECT_TRUE(SequenceIs(childLog, {
                                       {CM_MOUSEENTER, perform},
                                       {CM_MOUSELEAVE, perform},
                                   }));
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);

  // A disabled graphic control is still entered; one that goes away while the mouse is on it
  // is forgotten.
  graphic->SetEnabled(false);
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
  EXPECT_EQ(MouseControl(), graphic);
  graphicProc.Forget();
  graphic->Free();
  EXPECT_EQ(MouseControl(), nullptr);
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(21, 15));
  EXPECT_EQ(MouseControl(), form);
}

TEST_F(Messages, WindowProcChainsAndIsPutBackOnlyByItsCurrentOwner) {
  auto* c = new TLogControl(form);
  c->SetParent(form);
  form->Show();
  std::string order;
  const TWndMethod original = c->WindowProc();
  EXPECT_TRUE(original == c->DefaultWindowProc());

  TWndMethod savedA = c->WindowProc();
  int tagA = 0, tagB = 0;
  TWndMethod a([&](TMessage& m) {
    order += 'A';
    savedA(m);
  }, &tagA);
  c->SetWindowProc(a);
  TWndMethod savedB = c->WindowProc();
  TWndMethod b([&](TMessage& m) {
    order += 'B';
    savedB(m);
  }, &tagB);
  c->SetWindowProc(b);
  EXPECT_FALSE(a == b);

  // Performed and window messages both pass the whole chain, newest first.
  EXPECT_EQ(c->Perform(CM_HITTEST), HTCLIENT);
  SendMessageW(c->Handle(), CM_HITTEST, 0, 0);
  EXPECT_EQ(order, "BABA");

  // A leaves first: B is current, so A must not put its saved procedure back.
  auto restore = [&](const TWndMethod& mine, const TWndMethod& saved) {
    if (c->WindowProc() == mine) c->SetWindowProc(saved);
  };
  restore(a, savedA);
  EXPECT_TRUE(c->WindowProc() == b);
  restore(b, savedB);
  EXPECT_TRUE(c->WindowProc() == a);
  restore(a, savedA);
  EXPECT_TRUE(c->WindowProc() == original);
  order.clear();
  c->Perform(CM_HITTEST);
  EXPECT_EQ(order, "");
}

TEST_F(Messages, DispatchHandsHandlersTypedSignedValues) {
  auto* c = new TTypedControl(form);
  c->SetParent(form);
  c->SetBounds(0, 0, 40, 30);
  form->Show();
  // Mouse coordinates are signed: a point left of and above the window is negative.
  EXPECT_EQ(SendMessageW(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, -4)), 7);
  EXPECT_EQ(c->downX, -3);
  EXPECT_EQ(c->downY, -4);
  c->SetBounds(0, 0, 61, 42);
  EXPECT_EQ(c->sizeType, UINT(SIZE_RESTORED));
  EXPECT_EQ(c->sizeW, 61);
  EXPECT_EQ(c->sizeH, 42);
  // The window's new size reached the control through the inherited handler.
  EXPECT_EQ(c->Width(), 61);
}

TEST(MessageMaps, AMapOfAnotherMemberHandsBackItsHandlersAnswers) {
  TAnswering a;
  TMessage down{WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(-5, 9), 0};
  TMessage key{WM_KEYDOWN, VK_SPACE, 0, 0};
  TMessage other{WM_KEYUP, VK_SPACE, 0, 0};
  EXPECT_TRUE(a.Ask(down));
  EXPECT_EQ(down.Result, -5);
  EXPECT_FALSE(a.Ask(key));
  // Only an unlisted message gets the end's answer, and it is worked out for that one only.
  EXPECT_EQ(a.unlisted, 0);
  EXPECT_TRUE(a.Ask(other));
  EXPECT_EQ(a.unlisted, 1);
  EXPECT_EQ(a.heard, (std::vector<UINT>{WM_LBUTTONDBLCLK, WM_KEYDOWN}));
}

// The views of the non-client and mouse messages read signed coordinates: a second monitor left
// of or above the first gives negative ones.
TEST(MessageMaps, ViewsReadScreenPointsSigned) {
  const LPARAM lp = MAKELPARAM(-1200, -30);
  struct TCase {
    UINT Msg;
    WPARAM WParam;
    int X, Y, Code;
  };
  const TCase cases[] = {
      {WM_NCHITTEST, 0, -1200, -30, 0},
      {WM_NCMOUSEMOVE, HTCAPTION, -1200, -30, HTCAPTION},
      {WM_NCLBUTTONDOWN, HTVSCROLL, -1200, -30, HTVSCROLL},
      {WM_PARENTNOTIFY, WM_LBUTTONDOWN, -1200, -30, WM_LBUTTONDOWN},
  };
  for (const TCase& c : cases) {
    TMessage m{c.Msg, c.WParam, lp, 0};
    int x = 0, y = 0, code = 0;
    if (c.Msg == WM_NCHITTEST) {
      TWMNCHitTest v(m);
      x = v.XPos, y = v.YPos;
    } else if (c.Msg == WM_PARENTNOTIFY) {
      TWMParentNotify v(m);
      x = v.XPos, y = v.YPos, code = int(v.Event);
    } else {
      TWMNCMouse v(m);
      x = v.XCursor, y = v.YCursor, code = v.HitTest;
    }
    EXPECT_EQ(x, c.X) << c.Msg;
    EXPECT_EQ(y, c.Y) << c.Msg;
    EXPECT_EQ(code, c.Code) << c.Msg;
  }
  // The timer's number is the whole wParam, not its low word.
  TMessage t{WM_TIMER, WPARAM(0x10001), 0, 0};
  EXPECT_EQ(TWMTimer(t).TimerID, UINT_PTR(0x10001));
}

TEST_F(Messages, AnExceptionInAHandlerStopsAtTheWindowProcedure) {
  auto* c = new TTypedControl(form);
  c->SetParent(form);
  form->Show();
  TModalAnswers boxes;
  Application->SetTitle(L"Karo tests");
  SendMessageW(c->Handle(), CM_BOOM, 0, 0);
  ASSERT_EQ(boxes.requests.size(), 1u);
  EXPECT_EQ(boxes.requests[0].Text, L"boom.");
  EXPECT_EQ(boxes.requests[0].Caption, L"Karo tests");
  EXPECT_EQ(boxes.requests[0].Flags, UINT(MB_OK | MB_ICONSTOP));

  // OnException takes the place of the error box.
  std::string seen;
  TObject* sender = nullptr;
  Application->OnException = [&](TObject* s, const Exception& e) {
    seen = std::string(e.ClassName()) + ":" + e.Message();
    sender = s;
  };
  SendMessageW(c->Handle(), CM_BOOM, 0, 0);
  Application->OnException = nullptr;
  EXPECT_EQ(seen, "EConvertError:boom");
  EXPECT_EQ(sender, c);
  EXPECT_EQ(boxes.requests.size(), 1u);

  // EAbort is silent.
  auto* clicked = new TLogControl(form);
  clicked->SetParent(form);
  clicked->SetBounds(50, 50, 20, 20);
  int clicks = 0;
  clicked->OnClick = [&](TObject*) {
    ++clicks;
    throw EAbort("quiet");
  };
  SendMessageW(clicked->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  SendMessageW(clicked->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(boxes.requests.size(), 1u);
}

}  // namespace
