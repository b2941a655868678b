// Objects with metaclasses: every class of the layer names itself as the platform does
// ("TButton", "TForm") and knows its parent class, so code can ask ClassName and InheritsFrom;
// and the class registry through which the form-file reader finds classes by name.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class TObject;
class TComponent;
class TCollection;
class TCollectionItem;
struct TClassInfo;
struct TPropList;

// The platform's plain event: a handler told which object sent it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// A metaclass is a pointer to the class's static description.
using TClass = const TClassInfo*;

struct TClassInfo {
  const char* Name;
  TClass Parent;
  // Makes a new instance for the form-file reader; null for classes that are not streamed.
  TComponent* (*Create)(TComponent* owner);
  // The class's own published properties and methods (inherited ones are found through Parent).
  const TPropList* (*Props)();
  // Makes a new item of a collection; set only for descendants of TCollectionItem.
  TCollectionItem* (*CreateItem)(TCollection* collection);

  bool InheritsFrom(TClass other) const {
    for (TClass c = this; c; c = c->Parent)
      if (c == other) return true;
    return false;
  }
  const char* ClassName() const { return Name; }
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
  TClass ClassParent() const { return ClassType()->Parent; }
  // The platform compares class names without regard to ASCII letter case here.
  bool ClassNameIs(std::string_view name) const;
  bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
  template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }

  // Runs before the destructors, while the object is still wholly of its own class (C++ takes
  // the derived parts away one destructor at a time): the place for work that needs them, such
  // as a form's OnDestroy. Free and an owner's DestroyComponents call it; a plain delete does not.
  virtual void BeforeDestruction() {}
  // BeforeDestruction, then delete; for objects made with new.
  void Free() {
    BeforeDestruction();
    delete this;
  }
};

// Inside a class body: declares its metaclass. The class's .cpp file defines it with
// KARO_CLASS_INFO, or with KARO_CLASS_PROPS / KARO_COMPONENT_INFO (classlib/core/typinfo.h)
// for classes that publish properties or that the form-file reader may create.
#define KARO_CLASS(Self)                                                  \
public:                                                                   \
  static TClass StaticClass();                                            \
  TClass ClassType() const override { return Self::StaticClass(); }      \
                                                                          \
private:

#define KARO_CLASS_INFO_FULL(Self, Parent, Creator, PropsFn, ItemCreator) \
  TClass Self::StaticClass() {                                            \
    static const TClassInfo info{#Self, Parent::StaticClass(), Creator, PropsFn, ItemCreator}; \
    return &info;                                                         \
  }

#define KARO_CLASS_INFO_EX(Self, Parent, Creator, PropsFn) \
  KARO_CLASS_INFO_FULL(Self, Parent, Creator, PropsFn, nullptr)

#define KARO_CLASS_INFO(Self, Parent) KARO_CLASS_INFO_FULL(Self, Parent, nullptr, nullptr, nullptr)

// Checked down-cast in the manner of the platform's "as": null stays null, a wrong class is null.
template <class T> T* dyn(TObject* o) { return o && o->Is<T>() ? static_cast<T*>(o) : nullptr; }
template <class T> const T* dyn(const TObject* o) { return o && o->Is<T>() ? static_cast<const T*>(o) : nullptr; }

// The class registry. Names are compared without regard to ASCII letter case. Registering a
// class twice is harmless; registering another class under a name already taken raises
// EFilerError ("A class named TX already exists").
void KaroRegisterClass(TClass c);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass c);
// Every registered class, in the order of registration.
std::vector<TClass> RegisteredClasses();
// The registered class of that name, or null.
TClass GetClass(std::string_view name);
// The registered class of that name; raises EClassNotFound ("Class TX not found") when none is.
TClass FindClass(std::string_view name);

// Win32's headers define RegisterClass as a macro for RegisterClassA or RegisterClassW. Whichever
// name the macro gives, a call with a metaclass reaches the registry.
inline void RegisterClass(TClass c) { KaroRegisterClass(c); }
#if defined(_WIN32) && !defined(RegisterClass)
inline void RegisterClassA(TClass c) { KaroRegisterClass(c); }
inline void RegisterClassW(TClass c) { KaroRegisterClass(c); }
#endif
