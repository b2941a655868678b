// A control of the class library made on a parent at given bounds, the parent's owner owning it.
#pragma once

#include "classlib/controls/controls.h"

template <class T>
T* Place(TWinControl* Parent, int Left, int Top, int Width, int Height) {
  auto* c = new T(Parent);
  c->SetParent(Parent);
  c->SetBounds(Left, Top, Width, Height);
  return c;
}
