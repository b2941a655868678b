// The gallery's form: one of every control of the class library, read from its form resource
// (TGALLERYFORM). The gallery program and the skin-switch benchmark both show it.
#pragma once

#include <string>

#include "classlib/controls/forms.h"

class TGalleryForm : public TForm {
  KARO_CLASS(TGalleryForm)
public:
  using TForm::TForm;

  template <class T> T* Find(const char* name) {
    T* c = dyn<T>(FindComponent(name));
    if (!c) throw Exception(std::string("The gallery form lacks ") + name);
    return c;
  }

  // Fills the list and tree views and draws the image control's picture.
  void FormCreate(TObject*);
  void Exit1Click(TObject*) { Close(); }
  void About1Click(TObject*);
};
