// Small helpers the common controls share: a property whose change needs a new window, a
// reference to a component that may be freed first, and a flag held for the length of a scope.
#pragma once

#include "classlib/controls/controls.h"

// Sets a property that only a new window can show: the window is made again when it changed.
template <class T, class V> void SetRecreating(TWinControl* control, T& field, V value) {
  if (field == T(value)) return;
  field = T(value);
  control->RecreateWnd();
}

// Points field at value (or nothing), asking to be told when the component is freed.
template <class T> void SetFreeNotified(TComponent* self, T*& field, T* value) {
  if (field == value) return;
  if (field) field->RemoveFreeNotification(self);
  field = value;
  if (field) field->FreeNotification(self);
}

// Holds a flag set while the scope runs, and gives it back its value after (also when the scope
// is left by an exception).
class TScopedFlag {
public:
  explicit TScopedFlag(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TScopedFlag() { flag_ = old_; }
  TScopedFlag(const TScopedFlag&) = delete;
  TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
  bool& flag_;
  bool old_;
};
