#include "skin/windows/core/window_subclass.h"

#include "classlib/controls/forms.h"

// What a kind's window property points at. It outlives its owner when another procedure was put
// over ours before the owner gave the window back: Link is then null and ours only passes
// messages on, until WM_NCDESTROY frees it.
struct TSubclassRecord {
  TWindowSubclass* Link;
  TSavedProc Saved;
};

struct TSubclassAccess {
  static void* Owner(const TWindowSubclass& s) { return s.owner_; }
  // The window went while the owner held it: the hold is empty, nothing is put back.
  static void Detach(TWindowSubclass& s) {
    s.record_ = nullptr;
    s.kind_ = nullptr;
    s.wnd_ = nullptr;
    s.owner_ = nullptr;
  }
};

namespace {

TSubclassRecord* RecordOf(const TSubclassKind& kind, HWND wnd) {
  return static_cast<TSubclassRecord*>(GetPropW(wnd, kind.Prop));
}

bool WideWindow(const TSubclassKind& kind, HWND wnd) { return !kind.AlwaysAnsi && IsWindowUnicode(wnd); }

// The window is going: its record and property go with it, and an owner still attached learns it.
void ForgetWindow(const TSubclassKind& kind, HWND wnd) {
  TSubclassRecord* r = RecordOf(kind, wnd);
  if (!r) return;
  if (r->Link) TSubclassAccess::Detach(*r->Link);
  RemovePropW(wnd, kind.Prop);
  delete r;
}

LRESULT Handle(const TSubclassKind& kind, const TSubclassRecord& r, HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    return kind.Handle(TSubclassAccess::Owner(*r.Link), wnd, msg, wp, lp);
  } catch (...) {
    try {
      if (Application) Application->HandleException(nullptr);
    } catch (...) {
    }
    return 0;
  }
}

}  // namespace

bool TWindowSubclass::Install(const TSubclassKind& Kind, HWND Wnd, void* Owner) {
  if (record_ || !Wnd || !IsWindow(Wnd)) return false;
  TSubclassRecord* r = RecordOf(Kind, Wnd);
  if (r && r->Link) return false;
  if (!r) {
    const bool unicode = WideWindow(Kind, Wnd);
    r = new TSubclassRecord{nullptr, TSavedProc{CurrentWindowProc(Wnd, unicode), unicode}};
    if (!SetPropW(Wnd, Kind.Prop, HANDLE(r))) {
      delete r;
      return false;
    }
    SetWindowProc(Wnd, unicode, Kind.Proc);
  }
  r->Link = this;
  kind_ = &Kind;
  wnd_ = Wnd;
  owner_ = Owner;
  record_ = r;
  return true;
}

void TWindowSubclass::Restore() {
  TSubclassRecord* r = record_;
  if (!r) return;
  const TSubclassKind& kind = *kind_;
  HWND wnd = wnd_;
  TSubclassAccess::Detach(*this);
  if (!IsWindow(wnd) || RecordOf(kind, wnd) != r) {
    delete r;
  } else if (CurrentWindowProc(wnd, r->Saved.Unicode) == kind.Proc) {
    SetWindowProc(wnd, r->Saved.Unicode, r->Saved.Proc);
    RemovePropW(wnd, kind.Prop);
    delete r;
  } else {
    r->Link = nullptr;
  }
}

bool TWindowSubclass::Current() const {
  return record_ && IsWindow(wnd_) && CurrentWindowProc(wnd_, record_->Saved.Unicode) == kind_->Proc;
}

TSavedProc TWindowSubclass::Saved() const { return record_ ? record_->Saved : TSavedProc{}; }

LRESULT SubclassWindowProc(const TSubclassKind& Kind, HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  TSubclassRecord* r = RecordOf(Kind, Wnd);
  if (!r) return WideWindow(Kind, Wnd) ? DefWindowProcW(Wnd, Msg, W, L) : DefWindowProcA(Wnd, Msg, W, L);
  const TSavedProc saved = r->Saved;
  if (!r->Link) {
    if (Msg == WM_NCDESTROY) ForgetWindow(Kind, Wnd);
    return saved.Call(Wnd, Msg, W, L);
  }
  LRESULT result = 0;
  if (Kind.After) {
    result = saved.Call(Wnd, Msg, W, L);
    // The window's own handling may have freed the owner: the window is asked again.
    r = RecordOf(Kind, Wnd);
    if (r && r->Link) Handle(Kind, *r, Wnd, Msg, W, L);
  } else {
    result = Handle(Kind, *r, Wnd, Msg, W, L);
  }
  // The handling may have given the window back already; whatever is left goes now.
  if (Msg == WM_NCDESTROY) ForgetWindow(Kind, Wnd);
  return result;
}

void* SubclassOwner(const TSubclassKind& Kind, HWND Wnd) {
  const TSubclassRecord* r = Wnd ? RecordOf(Kind, Wnd) : nullptr;
  return r && r->Link ? TSubclassAccess::Owner(*r->Link) : nullptr;
}
