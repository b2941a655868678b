// A dialog template built in memory, for the dialogs that the gallery and the tests make without a
// resource: the dialog's header, then one item per control of a predefined class.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

class TDialogTemplate {
public:
  // PointSize and Face are written only when Style has DS_SETFONT, as the template format wants.
  TDialogTemplate(DWORD Style, short X, short Y, short Cx, short Cy, const wchar_t* Title, WORD PointSize = 0,
                  const wchar_t* Face = L"") {
    Dword(Style);
    Dword(0);
    words_.push_back(0);  // the item count, raised by Item
    for (short v : {X, Y, Cx, Cy}) words_.push_back(WORD(v));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the dialog class
    Text(Title);
    if (Style & DS_SETFONT) {
      words_.push_back(PointSize);
      Text(Face);
    }
  }

  // A visible child of the predefined class Class (0x0080 button, 0x0082 static).
  TDialogTemplate& Item(DWORD Style, short X, short Y, short Cx, short Cy, WORD Id, WORD Class,
                        const wchar_t* Caption) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD
    Dword(Style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (short v : {X, Y, Cx, Cy}) words_.push_back(WORD(v));
    words_.push_back(Id);
    words_.push_back(0xFFFF);
    words_.push_back(Class);
    Text(Caption);
    words_.push_back(0);  // no creation data
    ++words_[4];
    return *this;
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void Text(const wchar_t* s) {
    for (; *s; ++s) words_.push_back(WORD(*s));
    words_.push_back(0);
  }
  std::vector<WORD> words_;
};
