#include "skin/windows/manager/skin_manager.h"

#include <algorithm>
#include <cctype>

#include "classlib/controls/control_atom.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/timer.h"
#include "skin/data/velt_text.h"
#include "skin/windows/forms/drawing_pause.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/manager/skin_messages.h"
#include "skin/windows/menus/pop_menu.h"
#include "skin/windows/paint/library_module.h"

// The module that holds this code (the program, or the library it is linked into).
extern "C" IMAGE_DOS_HEADER __ImageBase;

std::string PropName;
UINT RM_SkinObjectInstance = 0;
ATOM SkinControlAtom = 0;
HINSTANCE myinstance = nullptr;

namespace {

// Every live manager, so that a hook finds the one that hooked its thread.
std::mutex g_registryLock;
std::vector<TSkinManage*> g_managers;

void Register(TSkinManage* m) {
  std::lock_guard<std::mutex> g(g_registryLock);
  g_managers.push_back(m);
}

void Unregister(TSkinManage* m) {
  std::lock_guard<std::mutex> g(g_registryLock);
  g_managers.erase(std::remove(g_managers.begin(), g_managers.end(), m), g_managers.end());
}

std::string ClassNameOf(HWND wnd) {
  char buf[101] = {};
  GetClassNameA(wnd, buf, sizeof buf);
  return buf;
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

void HandleEntryException() {
  if (Application) Application->HandleException(nullptr);
}

// Some 64-bit window managers hand back only the low half of a window's instance; a module's
// instance is 64 KB aligned, so the low halves of two modules' instances do not meet in practice.
bool SameModule(HINSTANCE a, HINSTANCE b) {
  const auto x = reinterpret_cast<uintptr_t>(a), y = reinterpret_cast<uintptr_t>(b);
  return x == y || (x != 0 && x <= 0xFFFFFFFFu && uint32_t(x) == uint32_t(y));
}

}  // namespace

// ---- Construction

TSkinManage::TSkinManage(bool IsDll) : timer_(std::make_unique<TTimer>(nullptr)), isDll_(IsDll) {
  if (IsDll)
    Module = myinstance;
  else
    lists_ = std::make_shared<TSkinManagerLists>();
  timer_->SetEnabled(false);
  timer_->SetInterval(100);
  timer_->OnTimer = [this](TObject*) { OnTimer(); };
  Register(this);
}

TSkinManage::~TSkinManage() {
  closing_ = true;
  Enabled = false;
  timer_.reset();
  if (!isDll_) {
    DeleteAllThreads();
    // Every window is given back before the hooks go.
    if (!subs_.empty() || !FormList().empty()) DeleteAllForms();
    DeleteAllMenus();
    if (lists_) {
      std::lock_guard<std::recursive_mutex> g(lists_->Lock);
      lists_->SkinData.clear();
    }
    DeleteAllSub();
  } else if (cbtHook_ && HostManager) {
    HostManager->DeleteSub(this);
    HostManager->DeleteSubForm(Module);
  }
  if (cbtHook_) UnhookWindowsHookEx(cbtHook_);
  cbtHook_ = nullptr;
  Unregister(this);
}

// ---- Registration

void TSkinManage::AddSkinData(TSkinData* Data) {
  if (!lists_ || !Data) return;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  lists_->SkinData.push_back(Data);
  if (!DefaultSkinData && Data->SkinFormtype() == sfMainform) DefaultSkinData = Data;
}

void TSkinManage::RemoveSkinData(TSkinData* Data) {
  if (!lists_) return;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  auto& l = lists_->SkinData;
  auto it = std::find(l.begin(), l.end(), Data);
  if (it != l.end()) l.erase(it);
  // A component that is gone must not stay the default: the hooks would call into it.
  if (DefaultSkinData == Data) DefaultSkinData = nullptr;
  if (Pending == Data) Pending = nullptr;
}

void TSkinManage::AssignData(TSkinManagerLink* Host) {
  auto* host = dynamic_cast<TSkinManage*>(Host);
  if (host) {
    lists_ = host->lists_;
    DefaultSkinData = host->DefaultSkinData;
    HostManager = host;
    State = 1;
    closing_ = false;
    Enabled = host->Enabled;
    host->subs_.push_back(this);
  } else {
    lists_.reset();
    DefaultSkinData = nullptr;
    HostManager = nullptr;
    Enabled = false;
    closing_ = true;
    if (cbtHook_) UnhookWindowsHookEx(cbtHook_);
    cbtHook_ = nullptr;
  }
}

void TSkinManage::DeleteAllSub() {
  std::vector<TSkinManage*> subs;
  subs.swap(subs_);
  for (TSkinManage* s : subs) s->AssignData(nullptr);
}

void TSkinManage::DeleteSub(TSkinManage* Sub) {
  auto it = std::find(subs_.begin(), subs_.end(), Sub);
  if (it != subs_.end()) subs_.erase(it);
}

// ---- Hooks and threads

void TSkinManage::InstallHook() {
  WinVersion = GetVersion();
  const DWORD me = GetCurrentThreadId();
  if (cbtHook_) return;
  // A thread that InstallThread hooked already is not hooked twice.
  for (const TSkinThread& t : Threads())
    if (t.ThreadId == me) return;
  cbtHook_ = SetWindowsHookExA(WH_CBT, &SkinHookCBT, nullptr, me);
  if (cbtHook_) hookThread_ = me;
}

void TSkinManage::InstallThread(DWORD ThreadId) {
  if (!lists_ || !ThreadId) return;
  if (cbtHook_ && ThreadId == hookThread_) return;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  for (const TSkinThread& t : lists_->Threads)
    if (t.ThreadId == ThreadId) return;
  HHOOK h = SetWindowsHookExA(WH_CBT, &SkinHookCBT2, nullptr, ThreadId);
  if (h) lists_->Threads.push_back({h, ThreadId});
}

void TSkinManage::UnInstallThread(DWORD ThreadId) {
  if (!lists_) return;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  auto& l = lists_->Threads;
  for (auto it = l.begin(); it != l.end(); ++it)
    if (it->ThreadId == ThreadId) {
      UnhookWindowsHookEx(it->Hook);
      l.erase(it);
      return;
    }
}

void TSkinManage::DeleteAllThreads() {
  if (!lists_) return;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  for (const TSkinThread& t : lists_->Threads) UnhookWindowsHookEx(t.Hook);
  lists_->Threads.clear();
}

std::vector<TSkinThread> TSkinManage::Threads() {
  if (!lists_) return {};
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  return lists_->Threads;
}

std::vector<TSkinData*> TSkinManage::SkinDataList() {
  if (!lists_) return {};
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  return lists_->SkinData;
}

std::vector<TVeltForm*> TSkinManage::FormList() {
  if (!lists_) return {};
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  return lists_->Forms;
}

LRESULT CALLBACK SkinHookCBT(int Code, WPARAM wParam, LPARAM lParam) {
  const DWORD me = GetCurrentThreadId();
  TSkinManage* m = nullptr;
  {
    std::lock_guard<std::mutex> g(g_registryLock);
    for (TSkinManage* x : g_managers)
      if (x->CbtHook() && x->HookThread() == me) {
        m = x;
        break;
      }
  }
  if (!m) return CallNextHookEx(nullptr, Code, wParam, lParam);
  return m->HookCBT(Code, wParam, lParam);
}

LRESULT CALLBACK SkinHookCBT2(int Code, WPARAM wParam, LPARAM lParam) {
  const DWORD me = GetCurrentThreadId();
  TSkinManage* m = nullptr;
  HHOOK own = nullptr;
  {
    std::lock_guard<std::mutex> g(g_registryLock);
    for (TSkinManage* x : g_managers) {
      for (const TSkinThread& t : x->Threads())
        if (t.ThreadId == me) {
          m = x;
          own = t.Hook;
          break;
        }
      if (m) break;
    }
  }
  if (!m) return CallNextHookEx(nullptr, Code, wParam, lParam);
  LRESULT r = m->HookExtraThreadCBT(Code, wParam, lParam);
  if (r == 10) return r;
  return CallNextHookEx(own, Code, wParam, lParam);
}

LRESULT TSkinManage::HookCBT(int Code, WPARAM wParam, LPARAM lParam) {
  if (Code >= 0) {
    try {
      HWND wnd = reinterpret_cast<HWND>(wParam);
      switch (Code) {
        case HCBT_CREATEWND: {
          const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
          const std::string cls = ClassNameOf(wnd);
          if (cls == "ScrollBar" && (cs->style & SBS_SIZEGRIP))
            if (TVeltForm* f = FindVeltForm(cs->hwndParent)) f->AddControlh(wnd);
          if (!(cs->style & WS_CHILD) && cls == "#32768" && !HostManager) AddMenu(wnd);
          if (cs->dwExStyle & WS_EX_MDICHILD) AddForm(wnd);
          break;
        }
        case HCBT_DESTROYWND:
          DeleteMenu(wnd);
          break;
        case HCBT_ACTIVATE:
          if (State == 0) State = 1;
          AddForm(wnd);
          break;
        default:
          break;
      }
    } catch (...) {
      HandleEntryException();
    }
  }
  return CallNextHookEx(cbtHook_, Code, wParam, lParam);
}

LRESULT TSkinManage::HookExtraThreadCBT(int Code, WPARAM wParam, LPARAM lParam) {
  if (Code < 0) return 0;
  try {
    HWND wnd = reinterpret_cast<HWND>(wParam);
    switch (Code) {
      case HCBT_CREATEWND: {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        const std::string cls = ClassNameOf(wnd);
        // Only a size grip under a listed window is refused; its skin lives on the main thread.
        if (cls == "ScrollBar" && (cs->style & SBS_SIZEGRIP) && FindVeltForm(cs->hwndParent)) return 10;
        if (cls == "#32768") AddMenu(wnd);
        break;
      }
      case HCBT_DESTROYWND:
        DeleteMenu(wnd);
        DeleteForm(wnd);
        break;
      case HCBT_ACTIVATE:
        if (State == 0) State = 1;
        AddForm(wnd);
        break;
      default:
        break;
    }
  } catch (...) {
    HandleEntryException();
  }
  return 0;
}

// ---- Windows

TVeltForm* TSkinManage::FindVeltForm(HWND Wnd) {
  if (!lists_ || !Wnd) return nullptr;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  for (TVeltForm* f : lists_->Forms)
    if (f->hwnd == Wnd) return f;
  return nullptr;
}

TSkinFormLink* TSkinManage::FindSkinForm(HWND Wnd) { return FindVeltForm(Wnd); }

int TSkinManage::FormCount() {
  if (!lists_) return 0;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  return int(lists_->Forms.size());
}

TSkinFormLink* TSkinManage::Forms(int Index) {
  if (!lists_) return nullptr;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  return Index >= 0 && Index < int(lists_->Forms.size()) ? lists_->Forms[size_t(Index)] : nullptr;
}

TWinControl* TSkinManage::FindTForm(HWND Wnd) {
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f && f->HandleAllocated() && f->Handle() == Wnd) return f;
    }
  return FindControlx(Wnd);
}

bool TSkinManage::NestedForm(HWND Wnd) {
  if (!(GetWindowLongPtrA(Wnd, GWL_STYLE) & WS_CHILD)) return false;
  if (GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & WS_EX_MDICHILD) return false;
  return Lower(ClassNameOf(GetParent(Wnd))) != "mdiclient";
}

void TSkinManage::ActiveForm(TCustomForm* Form) {
  if (!Form || !Form->Visible() || !Form->HandleAllocated()) return;
  HWND wnd = Form->Handle();
  if (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) return;
  AddForm(wnd);
}

bool TSkinManage::AddForm(HWND Wnd) {
  if (!Enabled || !lists_ || !Wnd || !IsWindow(Wnd)) return false;
  DeleteDeleted();
  if (SendMessageA(Wnd, CN_IsSkinned, 0, 0) == 1 || FindVeltForm(Wnd)) return false;
  TWinControl* form = FindTForm(Wnd);
  if (!Walking && NestedForm(Wnd)) return false;
  const std::string cls = ClassNameOf(Wnd);
  const bool ownModule = SameModule(HINSTANCE(GetWindowLongPtrA(Wnd, GWLP_HINSTANCE)), myinstance);
  if (!form && !ownModule && cls != "#32770") return false;
  RECT r{};
  GetWindowRect(Wnd, &r);
  const long long area = (long long)(r.right - r.left) * (long long)(r.bottom - r.top);
  if (area == 0 && !(GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & WS_EX_MDICHILD)) return false;
  if (form && form->Tag() == 99) return false;
  if (cls.find("TcxPopupEditPopupWindow") != std::string::npos || cls.find("TTERenderWindow") != std::string::npos ||
      cls == "TApplication")
    return false;
  if (!OnBeforeSkin(Wnd, cls)) return false;
  TSkinData* data = FindSkindata(Wnd);
  if (!data || data->NoSkinLoaded) return false;

  auto* f = new TVeltForm(form);
  f->hwnd = Wnd;
  f->Module = Module;
  f->ListedClassName = cls;
  f->Manager = this;
  if (form)
    f->InitTform(data, form);
  else
    f->InitDlg(data);
  {
    std::lock_guard<std::recursive_mutex> g(lists_->Lock);
    lists_->Forms.push_back(f);
  }
  PostMessageA(Wnd, CN_SkinActive, 0, kSkinActiveMark);
  return true;
}

bool TSkinManage::OnBeforeSkin(HWND Wnd, const std::string& ClassName) {
  bool result = true;
  TSkinData* d = DefaultSkinData;
  if (!d) return result;
  if (!d->Options().Contains(xoPreview) && Lower(ClassName).find("preview") != std::string::npos) result = false;
  if (result && ClassName == "#32770" && (GetWindowLongPtrA(Wnd, GWL_STYLE) & DS_SETFOREGROUND)) result = false;
  d->DoFormSkin(Wnd, ClassName, result);
  return result;
}

TSkinData* TSkinManage::FindSkindata(HWND Wnd) {
  const std::vector<TSkinData*> list = SkinDataList();
  if (list.empty()) return nullptr;
  TSkinData *only = nullptr, *dialog = nullptr, *mainform = nullptr;
  for (TSkinData* d : list) {
    switch (d->SkinFormtype()) {
      case sfOnlyThisForm:
        if (auto* owner = dyn<TWinControl>(d->Owner()))
          if (owner->HandleAllocated() && owner->Handle() == Wnd) only = d;
        break;
      case sfDialog:
        dialog = d;
        break;
      case sfMainform:
        mainform = d;
        break;
      default:
        break;
    }
  }
  if (only) return only;
  const std::string cls = Lower(ClassNameOf(Wnd));
  if (dialog && (cls == "tmessageform" || cls == "#32770")) return dialog;
  if (mainform) return mainform;
  return list.front();
}

void TSkinManage::RemoveForm(TVeltForm* Form) {
  if (!lists_) return;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  auto& l = lists_->Forms;
  auto it = std::find(l.begin(), l.end(), Form);
  if (it != l.end()) l.erase(it);
}

void TSkinManage::FreeForm(TVeltForm* Form) {
  RemoveForm(Form);
  Form->Free();
}

void TSkinManage::UnskinAndFree(TVeltForm* Form) {
  Form->UnSubclass();
  Form->RePaint(Form->hwnd);
  FreeForm(Form);
}

bool TSkinManage::DeleteForm(HWND Wnd) {
  if (closing_) return false;
  TVeltForm* f = FindVeltForm(Wnd);
  if (!f || !f->Form) return false;
  f->LifeState = lsUnskinning;
  f->UnSubclass();
  FreeForm(f);
  return true;
}

// A form that goes away always leaves the list, closing or not: the list never holds a freed object.
void TSkinManage::DeleteForm2(TVeltForm* Form) { RemoveForm(Form); }

void TSkinManage::DeleteDeleted() {
  if (closing_) return;
  const std::vector<TVeltForm*> l = FormList();
  for (size_t i = l.size(); i-- > 0;)
    if (l[i]->LifeState == lsDead && l[i]->Module == Module) FreeForm(l[i]);
}

void TSkinManage::DeleteForm3() {
  if (closing_) return;
  const std::vector<TVeltForm*> l = FormList();
  for (size_t i = l.size(); i-- > 0;)
    if (l[i]->LifeState == lsDead) FreeForm(l[i]);
}

void TSkinManage::DeleteAllForms() {
  Enabled = false;
  const std::vector<TVeltForm*> l = FormList();
  for (size_t i = l.size(); i-- > 0;)
    if (l[i]->Module == Module) {
      RemoveForm(l[i]);
      l[i]->UnSubclass3();
      l[i]->Free();
    }
}

void TSkinManage::DeleteSubForm(HINSTANCE AModule) {
  const std::vector<TVeltForm*> l = FormList();
  for (size_t i = l.size(); i-- > 0;)
    if (l[i]->Module == AModule) {
      RemoveForm(l[i]);
      if (l[i]->Form) l[i]->Form->Free();
    }
}

void TSkinManage::DeleteSysbtn() {
  for (TVeltForm* f : FormList())
    if (f->SkinData == Pending) f->DeleteSysbtn();
}

void TSkinManage::SetMDIMax(bool Max) {
  if (Max == MDIMaximized) return;
  MDIMaximized = Max;
  if (DefaultSkinData && DefaultSkinData->Options().Contains(xoMDIChildBorder)) return;
  for (TVeltForm* f : FormList()) {
    if (f->FormKind != fkMDIChild) continue;
    if (Max) {
      if (f->RegionSet) f->Uncropwindow();
      f->EnableSysbtn(true);
    } else if (f->WindowState == vwMinimized) {
      f->EnableSysbtn(true);
    } else {
      f->WindowState = vwNormal;
      f->Cropwindow();
      f->EnableSysbtn(false);
      if (!f->RegionSet) f->Refresh();
    }
  }
}

// ---- Menus

void TSkinManage::AddMenu(HWND Wnd) {
  if (!Enabled || !lists_ || !Wnd) return;
  if (SendMessageA(Wnd, CN_IsSkinned, 0, 0) == 1 || FindSkinMenu(Wnd)) return;
  TSkinData* data = FindSkindata(Wnd);
  if (!data || data->NoSkinLoaded) return;
  const TSkinControlTypes c = data->SkinControls();
  const bool gate = MenuKind == 0   ? c.Contains(xcPopupMenu)
                    : MenuKind == 1 ? (c.Contains(xcMainMenu) || c.Contains(xcMenuItem))
                                    : c.Contains(xcSystemMenu);
  if (!gate) return;
  auto* m = new TVeltPopMenu();
  m->InitSkin(Wnd, data, nullptr);
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  lists_->Menus.push_back(m);
}

bool TSkinManage::DeleteMenu(HWND Wnd) {
  if (!lists_) return false;
  TVeltPopMenu* found = nullptr;
  {
    std::lock_guard<std::recursive_mutex> g(lists_->Lock);
    auto& l = lists_->Menus;
    auto it = std::find_if(l.begin(), l.end(), [&](TVeltPopMenu* m) { return m->Window() == Wnd; });
    if (it != l.end()) {
      found = *it;
      l.erase(it);
    }
    if (l.empty()) MenuKind = 0;
  }
  if (found) {
    found->UnSubClass();
    delete found;
  }
  return found != nullptr;
}

void TSkinManage::DeleteAllMenus() {
  if (!lists_) return;
  std::vector<TVeltPopMenu*> all;
  {
    std::lock_guard<std::recursive_mutex> g(lists_->Lock);
    all.swap(lists_->Menus);
  }
  for (TVeltPopMenu* m : all) {
    m->UnSubClass();
    delete m;
  }
}

bool TSkinManage::FindSkinMenu(HWND Wnd) {
  if (!lists_) return false;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  const auto& l = lists_->Menus;
  return std::any_of(l.begin(), l.end(), [&](TVeltPopMenu* m) { return m->Window() == Wnd; });
}

std::vector<TVeltPopMenu*> TSkinManage::MenuList() {
  if (!lists_) return {};
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  return lists_->Menus;
}

void TSkinManage::SetHMenu(HMENU Menu) {
  if (!lists_ || !Menu || FindPopMenu(Menu)) return;
  std::lock_guard<std::recursive_mutex> g(lists_->Lock);
  auto& l = lists_->Menus;
  for (auto it = l.rbegin(); it != l.rend(); ++it)
    if (!(*it)->MenuHandle) {
      (*it)->MenuHandle = Menu;
      return;
    }
}

TVeltPopMenu* TSkinManage::FindPopMenu(HMENU Menu) {
  if (!Menu) return nullptr;
  for (TVeltPopMenu* m : MenuList()) {
    // The popup window knows its menu: asked once, before the first guess can go wrong.
    if (!m->MenuHandle) m->MenuHandle = HMENU(SendMessageA(m->Window(), 0x01E1, 0, 0));
    if (m->MenuHandle == Menu) return m;
  }
  return nullptr;
}

TBitmap* TSkinManage::GetMenuBg(HMENU Menu) {
  TVeltPopMenu* m = FindPopMenu(Menu);
  return m ? m->FrameBitmap() : nullptr;
}

// ---- Actions

// The queued actions, one row each: whether the action first switches the manager on or off (and,
// queued, its library modules' managers), and what it does when its component skins only its own
// form and when it has any other role. SetAction and OnTimer read them by row; an action not in the
// table does nothing but fire OnSkinChanged.
enum class TSkinManage::TActionSwitch { None, On, Off };

struct TSkinManage::TActionStep {
  void (TSkinManage::*Run)(TSkinData* Pending) = nullptr;  // nil: nothing to do
  // Then OnSkinChanged fires and the action is no longer pending.
  bool Done = true;
};

struct TSkinManage::TSkinAction {
  int Code;
  TActionSwitch Switch;
  TActionStep OneForm;    // a sfOnlyThisForm component
  TActionStep EveryForm;  // a component of any other role
};

const TSkinManage::TSkinAction* TSkinManage::FindAction(int Code) {
  using M = TSkinManage;
  static constexpr TSkinAction kActions[] = {
      {saSkinAll, TActionSwitch::On, {&M::SkinOwnForm}, {&M::SkinEveryForm}},
      {saUnskinAll, TActionSwitch::Off, {&M::UnskinOwnForm}, {&M::UnskinEveryForm}},
      {saSkinChanged, TActionSwitch::None, {&M::ChangeOwnFormsSkin}, {&M::ChangeEveryFormsSkin}},
      {saDropDead, TActionSwitch::None, {&M::DropDeadForms}, {&M::DropDeadForms}},
      // Pending stays and OnSkinChanged waits for the next action.
      {saReskinWindow, TActionSwitch::None, {}, {&M::ReskinWindowAgain, false}},
  };
  for (const TSkinAction& a : kActions)
    if (a.Code == Code) return &a;
  return nullptr;
}

void TSkinManage::PassSwitch(TSkinManage* Sub, TActionSwitch Switch) {
  if (Switch == TActionSwitch::On) {
    Sub->Enabled = true;
    Sub->SetAction(saSkinAll, 300);
  } else if (Switch == TActionSwitch::Off) {
    Sub->Enabled = false;
  }
}

void TSkinManage::SetAction(int Action, int Delay) {
  action_ = Action;
  if (timer_) timer_->SetInterval(UINT(std::max(Delay, 1)));
  const TSkinAction* row = FindAction(Action);
  const TActionSwitch sw = row ? row->Switch : TActionSwitch::None;
  if (State == 0) {
    // Idle: no window seen yet; the action only switches the manager on or off.
    if (sw != TActionSwitch::None) Enabled = sw == TActionSwitch::On;
    return;
  }
  if (!isDll_)
    for (TSkinManage* s : std::vector<TSkinManage*>(subs_)) {
      s->Pending = Pending;
      PassSwitch(s, sw);
    }
  if (timer_) {
    timer_->SetEnabled(false);
    timer_->SetEnabled(true);
  }
}

void TSkinManage::OnTimer() {
  if (timer_) timer_->SetEnabled(false);
  if (!Pending || closing_) return;
  RunAction();
}

void TSkinManage::RunAction() {
  TSkinData* pending = Pending;
  const TSkinAction* row = FindAction(action_);
  TActionStep step;
  if (row) {
    step = pending->SkinFormtype() == sfOnlyThisForm ? row->OneForm : row->EveryForm;
    if (row->Switch != TActionSwitch::None) Enabled = row->Switch == TActionSwitch::On;
  }
  if (step.Run) (this->*step.Run)(pending);
  if (!step.Done) return;
  pending->DoSkinChanged();
  if (Pending == pending) Pending = nullptr;
}

std::vector<TVeltForm*> TSkinManage::FormsOf(TSkinData* Data) {
  std::vector<TVeltForm*> r;
  for (TVeltForm* f : FormList())
    if (f->SkinData == Data) r.push_back(f);
  return r;
}

void TSkinManage::SkinOwnForm(TSkinData* Pending) {
  Walking = true;
  if (Screen)
    for (int i = Screen->FormCount() - 1; i >= 0; --i)
      if (Screen->Forms(i) == Pending->Owner()) {
        ActiveForm(Screen->Forms(i));
        break;
      }
  Walking = false;
}

void TSkinManage::SkinEveryForm(TSkinData* Pending) {
  Walking = true;
  DeleteDeleted();
  if (Screen)
    for (int i = Screen->FormCount() - 1; i >= 0; --i) ActiveForm(Screen->Forms(i));
  Walking = false;
  if (isDll_) return;
  for (TSkinManage* s : std::vector<TSkinManage*>(subs_)) {
    s->Pending = Pending;
    PassSwitch(s, TActionSwitch::On);
  }
}

void TSkinManage::UnskinOwnForm(TSkinData* Pending) {
  DeleteDeleted();
  const std::vector<TVeltForm*> l = FormList();
  for (size_t i = l.size(); i-- > 0;)
    if (l[i]->SkinData == Pending) {
      UnskinAndFree(l[i]);
      break;
    }
}

void TSkinManage::UnskinEveryForm(TSkinData*) {
  DeleteDeleted();
  for (;;) {
    const std::vector<TVeltForm*> l = FormList();
    if (l.empty()) break;
    UnskinAndFree(l.front());
  }
  if (isDll_) return;
  for (TSkinManage* s : subs_) PassSwitch(s, TActionSwitch::Off);
}

void TSkinManage::ChangeOwnFormsSkin(TSkinData* Pending) {
  DeleteDeleted();
  const std::vector<TVeltForm*> l = FormsOf(Pending);
  if (l.empty()) return;
  // Laid out anew unseen, then painted once.
  TDrawingPause pause;
  pause.Add(l.front()->hwnd);
  l.front()->DeleteSysbtn();
  l.front()->InitSkinData();
  l.front()->SkinChange();
  pause.Resume();
}

void TSkinManage::ChangeEveryFormsSkin(TSkinData* Pending) {
  DeleteDeleted();
  const std::vector<TVeltForm*> l = FormsOf(Pending);
  // Every window of the list is laid out anew unseen, then each is painted once.
  TDrawingPause pause;
  for (TVeltForm* f : l) pause.Add(f->hwnd);
  for (TVeltForm* f : l) {
    f->DeleteSysbtn();
    f->InitSkinData();
  }
  for (TVeltForm* f : l) f->SkinChange();
  pause.Resume();
}

void TSkinManage::DropDeadForms(TSkinData*) { DeleteForm3(); }

void TSkinManage::ReskinWindowAgain(TSkinData*) {
  HWND wnd = ReskinWindow;
  TVeltForm* f = FindVeltForm(wnd);
  if (!f) return;
  f->UnSubclass();
  f->LifeState = lsDead;
  DeleteDeleted();
  AddForm(wnd);
}

// ---- The module's start-up and shut-down

TSkinManage* SkinManage() { return dynamic_cast<TSkinManage*>(SkinManager); }

namespace {
bool g_unitFinalized = false;
bool g_unitStarted = false;
}  // namespace

void StartSkinManagerUnit() {
  if (g_unitStarted) return;
  g_unitStarted = true;
  myinstance = reinterpret_cast<HINSTANCE>(&__ImageBase);
  PropName = ControlAtomName(myinstance, GetCurrentThreadId());
  RM_SkinObjectInstance = RegisterWindowMessageA(PropName.c_str());
  // The module's own reference on the atom, given back at shut-down.
  SkinControlAtom = GlobalAddAtomA(PropName.c_str());
  WinVersion = GetVersion();
  SkinManagerFactory = [](bool isDll) -> TSkinManagerLink* { return new TSkinManage(isDll); };
}

void FinalizeSkinManagerUnit() {
  if (g_unitFinalized) return;
  g_unitFinalized = true;
  if (TSkinManagerLink* m = SkinManager) {
    SkinManager = nullptr;
    delete m;
  }
  SkinManagerFactory = nullptr;
  PropName.clear();
  if (SkinControlAtom) GlobalDeleteAtom(SkinControlAtom);
  SkinControlAtom = 0;
}

namespace {
struct TVeltDlgUnit {
  // A library module starts and ends the unit from its own exported routines.
  TVeltDlgUnit() {
    if (!InLibraryModule()) StartSkinManagerUnit();
  }
  ~TVeltDlgUnit() { FinalizeSkinManagerUnit(); }
} veltDlgUnit;
}  // namespace
