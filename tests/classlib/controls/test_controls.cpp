#include <gtest/gtest.h>

#include "classlib/controls/forms.h"

TEST(Smoke, FormWithChild) {
  auto* form = new TForm(nullptr);
  auto* child = new TCustomControl(form);
  child->SetParent(form);
  child->SetBounds(10, 10, 50, 20);
  form->SetCaption(L"Hello");
  form->Show();
  ASSERT_TRUE(form->HandleAllocated());
  ASSERT_TRUE(child->HandleAllocated());
  wchar_t cls[64];
  GetClassNameW(form->Handle(), cls, 64);
  EXPECT_STREQ(cls, L"TForm");
  EXPECT_EQ(FindControl(child->Handle()), child);
  EXPECT_EQ(form->Caption(), L"Hello");
  Application->ProcessMessages();
  form->Free();
}
