// What the control tests of the class library share: a form of each test's own, at the bounds the
// fixture gives, with the real cursor kept off it (made-up mouse messages then stay made up), and
// controls made straight on it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "classlib/controls/forms.h"
#include "tests/support/message_log.h"

class FormTest : public ::testing::Test {
protected:
  FormTest(int left, int top, int width, int height) : bounds_{left, top, width, height} {}
  void SetUp() override {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    NewForm();
  }
  void TearDown() override {
    if (form) form->Free();
    form = nullptr;
    Pump();
  }
  // The form freed (when there is one) and a fresh one made at the fixture's bounds.
  void NewForm() {
    if (form) form->Free();
    form = new TForm(nullptr);
    form->SetBounds(bounds_.Left, bounds_.Top, bounds_.Width, bounds_.Height);
  }
  // A control of the form at the given place, its size its own.
  template <class T>
  T* Make(int left = 10, int top = 10) {
    auto* c = new T(form);
    c->SetParent(form);
    c->SetLeft(left);
    c->SetTop(top);
    return c;
  }
  TForm* form = nullptr;

private:
  struct {
    int Left, Top, Width, Height;
  } bounds_;
};
