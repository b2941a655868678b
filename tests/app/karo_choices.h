// What a user does to Karo's lists, as the lists' parent hears it: an item chosen, a text typed.
// Shared by the tests, the screenshots and the benchmark, which all drive the real form.
#pragma once

#include <windows.h>

#include "classlib/controls/stdctrls.h"

namespace karo_test {

// A user's choice of item index in a list: the list's selection, then the notice its parent gets.
inline void Choose(TCustomComboBox* combo, int index) {
  combo->SetItemIndex(index);
  HWND h = combo->Handle();
  SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), CBN_SELCHANGE), LPARAM(h));
}

// Text typed into a list's edit.
inline void Type(TCustomComboBox* combo, const WideString& text) {
  combo->SetText(text);
  HWND h = combo->Handle();
  SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), CBN_EDITCHANGE), LPARAM(h));
}

}  // namespace karo_test
