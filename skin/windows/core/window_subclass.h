// The one way the skin takes a window over and gives it back: forms, their MDI clients, control
// skins, a combo's edit child and popup menus all go through TWindowSubclass. Windows only.
#pragma once

#include <windows.h>

#include "skin/windows/core/window_procs.h"

// The procedure a subclass replaced, called the way the window was made (wide or ANSI); without a
// procedure the default one answers.
struct TSavedProc {
  WNDPROC Proc = nullptr;
  bool Unicode = false;
  LRESULT Call(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) const { return CallSavedProc(Proc, Unicode, Wnd, Msg, W, L); }
};

// What one user of the primitive is: the window property its records live under, its window
// procedure (a one-line call of SubclassWindowProc with this kind) and its handling of a message.
struct TSubclassKind {
  const wchar_t* Prop;
  WNDPROC Proc;
  // The owner's handling of a message; it passes the message on through Saved() itself.
  LRESULT (*Handle)(void* Owner, HWND Wnd, UINT Msg, WPARAM W, LPARAM L);
  // Popup-menu windows and MDI clients are always taken over through the ANSI pair.
  bool AlwaysAnsi = false;
  // The owner only watches: the saved procedure answers every message first and its result
  // stands; Handle runs afterwards, while the owner is still attached.
  bool After = false;
};

// The owner's hold on one window. Install puts the kind's procedure in front of the window's;
// Restore gives the window its procedure back while ours is still the current one, and otherwise
// leaves a forwarding record, so that a procedure put over ours keeps a working chain: ours then
// passes every message on until WM_NCDESTROY frees the record. The record lives under the kind's
// window property, which is gone after WM_NCDESTROY in every case. The window going while the
// owner is attached detaches it. An exception from the owner's handling never leaves the window
// procedure: the application's handler gets it.
class TWindowSubclass {
public:
  TWindowSubclass() = default;
  ~TWindowSubclass() { Restore(); }
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  // False (and nothing changed) when already installed, the window is gone or another owner of
  // the same kind holds it. A forwarding record of the kind left on the window is taken over
  // instead of putting our procedure in the chain a second time, which would go round for ever.
  bool Install(const TSubclassKind& Kind, HWND Wnd, void* Owner);
  void Restore();

  bool Installed() const { return record_ != nullptr; }
  // Whether our procedure is the window's current one.
  bool Current() const;
  HWND Window() const { return wnd_; }
  TSavedProc Saved() const;
  LRESULT CallSaved(UINT Msg, WPARAM W, LPARAM L) const { return Saved().Call(wnd_, Msg, W, L); }

private:
  friend struct TSubclassAccess;
  const TSubclassKind* kind_ = nullptr;
  HWND wnd_ = nullptr;
  void* owner_ = nullptr;
  struct TSubclassRecord* record_ = nullptr;
};

// The body of every kind's window procedure.
LRESULT SubclassWindowProc(const TSubclassKind& Kind, HWND Wnd, UINT Msg, WPARAM W, LPARAM L);

// The owner attached to the window through the kind, or null.
void* SubclassOwner(const TSubclassKind& Kind, HWND Wnd);
