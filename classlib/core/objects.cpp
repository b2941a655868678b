#include "classlib/core/objects.h"

#include <algorithm>
#include <vector>

#include "classlib/core/sysutils.h"

TClass TObject::StaticClass() {
  static const TClassInfo info{"TObject", nullptr, nullptr, nullptr, nullptr};
  return &info;
}

bool TObject::ClassNameIs(std::string_view name) const { return SameText(ClassType()->Name, name); }

namespace {
// Classes register themselves from static initialisers of other translation units, so the
// registry must exist before its first use, whatever the order of initialisation.
std::vector<TClass>& Registry() {
  static std::vector<TClass> classes;
  return classes;
}
}  // namespace

void KaroRegisterClass(TClass c) {
  if (!c) return;
  TClass existing = GetClass(c->Name);
  if (existing == c) return;
  if (existing) throw EFilerError(std::string("A class named ") + c->Name + " already exists");
  Registry().push_back(c);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) KaroRegisterClass(c);
}

void UnRegisterClass(TClass c) {
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), c), r.end());
}

std::vector<TClass> RegisteredClasses() { return Registry(); }

TClass GetClass(std::string_view name) {
  for (TClass c : Registry())
    if (SameText(c->Name, name)) return c;
  return nullptr;
}

TClass FindClass(std::string_view name) {
  TClass c = GetClass(name);
  if (!c) throw EClassNotFound("Class " + std::string(name) + " not found");
  return c;
}
