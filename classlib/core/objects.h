// Objects with metaclasses: every class of the layer names itself as the platform does
// ("TButton", "TForm") and knows its parent class, so code can ask ClassName and InheritsFrom.
#pragma once

#include <string>
#include <string_view>

class TObject;
class TComponent;
struct TClassInfo;
struct TPropList;

// A metaclass is a pointer to the class's static description.
using TClass = const TClassInfo*;

struct TClassInfo {
  const char* Name;
  TClass Parent;
  // Makes a new instance for the form-file reader; null for classes that are not streamed.
  TComponent* (*Create)(TComponent* owner);
  // The class's own published properties (inherited ones are found through Parent).
  const TPropList* (*Props)();

  bool InheritsFrom(TClass other) const {
    for (TClass c = this; c; c = c->Parent)
      if (c == other) return true;
    return false;
  }
};

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  std::string ClassName() const { return ClassType()->Name; }
  bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
  template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }
};

// Inside a class body: declares its metaclass. The class's .cpp file defines it with
// KARO_CLASS_INFO (or KARO_COMPONENT_INFO for classes the form-file reader may create).
#define KARO_CLASS(Self)                                                  \
public:                                                                   \
  static TClass StaticClass();                                            \
  TClass ClassType() const override { return Self::StaticClass(); }      \
                                                                          \
private:

#define KARO_CLASS_INFO_EX(Self, Parent, Creator, PropsFn)                \
  TClass Self::StaticClass() {                                            \
    static const TClassInfo info{#Self, Parent::StaticClass(), Creator, PropsFn}; \
    return &info;                                                         \
  }

#define KARO_CLASS_INFO(Self, Parent) KARO_CLASS_INFO_EX(Self, Parent, nullptr, nullptr)

// Checked down-cast in the manner of the platform's "as": null stays null, a wrong class is null.
template <class T> T* dyn(TObject* o) { return o && o->Is<T>() ? static_cast<T*>(o) : nullptr; }
template <class T> const T* dyn(const TObject* o) { return o && o->Is<T>() ? static_cast<const T*>(o) : nullptr; }
