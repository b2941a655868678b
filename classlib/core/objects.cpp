#include "classlib/core/objects.h"

TClass TObject::StaticClass() {
  static const TClassInfo info{"TObject", nullptr, nullptr, nullptr};
  return &info;
}
