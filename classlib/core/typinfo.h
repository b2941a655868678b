// Published properties and methods: a small table per class (name, kind, getter, setter) that
// is inherited, read and written by name (integers, ANSI and wide strings, enumerations and
// Booleans by name, sets as "[a,b]", objects and events), and TSet for the platform's sets.
//
// A class publishes in its .cpp file:
//   KARO_CLASS_PROPS(TSkinStore, TComponent,
//       Prop("Store", &TSkinStore::Store, &TSkinStore::SetStore))
// Getters are member functions, data members or callables taking the object; setters are
// member functions, data members or callables taking the object and the value. The kind
// follows from the C++ type of the value: bool (Boolean), an integer type, an enumeration
// declared with KARO_ENUM or KARO_ENUM_NAMES, a TSet of one, std::string, WideString, a
// pointer to a TObject descendant, or a std::function event. Published methods, to which a
// form file's event properties refer by name, are listed the same way with Method(...).
#pragma once

#include <any>
#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <variant>
#include <vector>

#include "classlib/core/collections.h"
#include "classlib/core/objects.h"
#include "classlib/core/persistent.h"
#include "classlib/core/sysutils.h"

enum TTypeKind { tkUnknown, tkInteger, tkEnumeration, tkSet, tkLString, tkWString, tkClass, tkMethod };

// A named integer value (such as a colour constant) that form files may write by its name.
struct TIdentMapEntry {
  int64_t Value;
  const char* Name;
};

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  std::string Name;
  std::vector<std::string> EnumNames;   // tkEnumeration: the value names by ordinal
  const TTypeInfo* ElementType = nullptr;  // tkSet: its enumeration
  TClass ClassType = nullptr;           // tkClass: the least class a value must be of
  const std::type_info* EventType = nullptr;  // tkMethod: the std::function type of the event
  std::vector<TIdentMapEntry> Idents;   // tkInteger: optional names of values
};

// Type descriptions for the built-in kinds.
const TTypeInfo* IntegerTypeInfo();
const TTypeInfo* BooleanTypeInfo();
const TTypeInfo* AnsiStringTypeInfo();
#ifdef _WIN32
const TTypeInfo* WideStringTypeInfo();
#endif
// An enumeration from the text of its value names separated by commas ("a, b, c").
TTypeInfo MakeEnumTypeInfo(const char* name, const char* commaSeparatedNames);
// An integer type whose values may be written by name (for instance the colour constants).
TTypeInfo MakeIntegerTypeInfo(const char* name, std::initializer_list<TIdentMapEntry> idents);

// --- Enumerations and sets ---

// Specialised by KARO_ENUM_NAMES for each enumeration that properties may have.
template <class E> struct TEnumTraits;

template <class E>
concept PublishedEnum = std::is_enum_v<E> && requires { { TEnumTraits<E>::Info() } -> std::same_as<const TTypeInfo*>; };

// Gives an enumeration defined elsewhere its value names, listed in ordinal order.
#define KARO_ENUM_NAMES(E, ...)                                                       \
  template <> struct TEnumTraits<E> {                                                  \
    static const TTypeInfo* Info() {                                                   \
      static const TTypeInfo info = MakeEnumTypeInfo(#E, #__VA_ARGS__);                \
      return &info;                                                                    \
    }                                                                                  \
  }

// Defines an enumeration (ordinals from 0, in order) together with its value names.
#define KARO_ENUM(E, ...)  \
  enum E : int { __VA_ARGS__ }; \
  KARO_ENUM_NAMES(E, __VA_ARGS__)

// A set of up to 64 values of an enumeration, held as the platform holds sets: bit n stands
// for the value of ordinal n.
template <class E> class TSet {
public:
  using Element = E;
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E e : values) Include(e);
  }
  static constexpr TSet FromValue(uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  // The ordinal bit value: bit n set when the value of ordinal n is in the set.
  constexpr uint64_t Value() const { return bits_; }

  constexpr TSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }

  constexpr TSet operator+(TSet o) const { return FromValue(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromValue(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromValue(bits_ & o.bits_); }
  constexpr bool operator==(const TSet& o) const = default;

private:
  static constexpr uint64_t Bit(E e) {
    auto n = static_cast<uint64_t>(e);
    return n < 64 ? (uint64_t(1) << n) : 0;
  }
  uint64_t bits_ = 0;
};

template <class T> struct IsTSet : std::false_type {};
template <class E> struct IsTSet<TSet<E>> : std::true_type {};

template <class E> const TTypeInfo* SetTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkSet;
    t.ElementType = TEnumTraits<E>::Info();
    t.Name = "set of " + t.ElementType->Name;
    return t;
  }();
  return &info;
}

// The value name of an ordinal ("" when out of range) and the ordinal of a name (compared
// without regard to ASCII case; -1 when unknown).
std::string GetEnumName(const TTypeInfo* type, int64_t ordinal);
int GetEnumValue(const TTypeInfo* type, std::string_view name);
// "[a,b]" (or "a,b" without brackets) from the ordinal bit value of a set.
std::string SetToString(const TTypeInfo* setType, int64_t value, bool brackets = true);
// Reads "[a, b]" or "a,b"; false when a name is unknown.
bool StringToSet(const TTypeInfo* setType, std::string_view text, int64_t& value);

// --- Values and property descriptions ---

// An event value as the by-name routines see it: the std::function itself (empty when the
// event is unassigned) and, where known, the published name of its handler.
struct TMethod {
  std::any Code;
  std::string Name;
  bool Assigned() const { return Code.has_value(); }
};

#ifdef _WIN32
using TPropValue = std::variant<std::monostate, int64_t, std::string, WideString, TObject*, TMethod>;
#else
using TPropValue = std::variant<std::monostate, int64_t, std::string, TObject*, TMethod>;
#endif

struct TPropInfo {
  std::string Name;
  const TTypeInfo* Type = nullptr;
  std::function<TPropValue(TObject*)> Get;             // null when write-only
  std::function<void(TObject*, const TPropValue&)> Set;  // null when read-only
  int64_t MinValue = 0, MaxValue = 0;                   // tkInteger: the range of the C++ type
  bool HasDefault = false;
  int64_t DefaultValue = 0;                             // ordinal kinds: not written when equal
  bool IsStored = true;                                 // false: never written to form files

  TTypeKind Kind() const { return Type ? Type->Kind : tkUnknown; }
  // Builder steps for the declaration tables.
  TPropInfo&& Default(int64_t v) && {
    HasDefault = true;
    DefaultValue = v;
    return std::move(*this);
  }
  TPropInfo&& NotStored() && {
    IsStored = false;
    return std::move(*this);
  }
  // Gives an integer property a type whose values have names (for instance TColor).
  TPropInfo&& WithType(const TTypeInfo* type) && {
    if (type && Kind() == tkInteger && type->Kind == tkInteger) Type = type;
    return std::move(*this);
  }
};

struct TMethodInfo {
  std::string Name;
  const std::type_info* EventType = nullptr;
  // Makes the event value (a std::function) bound to the given instance.
  std::function<std::any(TObject*)> Bind;
};

struct TPropList {
  std::vector<TPropInfo> Props;
  std::vector<TMethodInfo> Methods;
};

// --- Declaring properties ---

namespace karo_typinfo {

template <class M> struct MemberTraits {};
template <class R, class C> struct MemberTraits<R (C::*)() const> {
  using Class = C;
  using Value = std::decay_t<R>;
};
template <class R, class C> struct MemberTraits<R (C::*)() const noexcept> : MemberTraits<R (C::*)() const> {};
template <class R, class C> struct MemberTraits<R (C::*)()> {
  using Class = C;
  using Value = std::decay_t<R>;
};
template <class R, class C> struct MemberTraits<R (C::*)() noexcept> : MemberTraits<R (C::*)()> {};
template <class R, class C>
  requires(!std::is_function_v<R>)
struct MemberTraits<R C::*> {
  using Class = C;
  using Value = std::decay_t<R>;
};

template <class T> struct IsStdFunction : std::false_type {};
template <class Sig> struct IsStdFunction<std::function<Sig>> : std::true_type {};

template <class T> const TTypeInfo* TypeOf() {
  if constexpr (std::is_same_v<T, bool>) {
    return BooleanTypeInfo();
  } else if constexpr (PublishedEnum<T>) {
    return TEnumTraits<T>::Info();
  } else if constexpr (IsTSet<T>::value) {
    return SetTypeInfo<typename T::Element>();
  } else if constexpr (std::is_integral_v<T>) {
    return IntegerTypeInfo();
  } else if constexpr (std::is_same_v<T, std::string>) {
    return AnsiStringTypeInfo();
#ifdef _WIN32
  } else if constexpr (std::is_same_v<T, WideString>) {
    return WideStringTypeInfo();
#endif
  } else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<T>>>) {
    static const TTypeInfo info = [] {
      TTypeInfo t;
      t.Kind = tkClass;
      t.ClassType = std::remove_cv_t<std::remove_pointer_t<T>>::StaticClass();
      t.Name = t.ClassType->Name;
      return t;
    }();
    return &info;
  } else if constexpr (IsStdFunction<T>::value) {
    static const TTypeInfo info = [] {
      TTypeInfo t;
      t.Kind = tkMethod;
      t.EventType = &typeid(T);
      t.Name = "event";
      return t;
    }();
    return &info;
  } else {
    static_assert(sizeof(T) == 0, "this type cannot be published");
    return nullptr;
  }
}

template <class T> TPropValue ToValue(const T& v) {
  if constexpr (std::is_same_v<T, bool>) return int64_t(v ? 1 : 0);
  else if constexpr (std::is_enum_v<T>) return int64_t(v);
  else if constexpr (IsTSet<T>::value) return int64_t(v.Value());
  else if constexpr (std::is_integral_v<T>) return int64_t(v);
  else if constexpr (std::is_pointer_v<T>) return static_cast<TObject*>(const_cast<std::remove_cv_t<std::remove_pointer_t<T>>*>(v));
  else if constexpr (IsStdFunction<T>::value) return v ? TMethod{std::any(v), {}} : TMethod{};
  else return v;
}

// The callers check the kind and range before a value reaches here.
template <class T> T FromValue(const TPropValue& pv) {
  if constexpr (std::is_same_v<T, bool>) return std::get<int64_t>(pv) != 0;
  else if constexpr (std::is_enum_v<T>) return static_cast<T>(std::get<int64_t>(pv));
  else if constexpr (IsTSet<T>::value) return T::FromValue(uint64_t(std::get<int64_t>(pv)));
  else if constexpr (std::is_integral_v<T>) return static_cast<T>(std::get<int64_t>(pv));
  else if constexpr (std::is_pointer_v<T>) return static_cast<T>(std::get<TObject*>(pv));
  else if constexpr (IsStdFunction<T>::value) {
    const TMethod& m = std::get<TMethod>(pv);
    if (!m.Code.has_value()) return T();
    return std::any_cast<T>(m.Code);
  } else return std::get<T>(pv);
}

template <class C, class G> auto ValueTypeOf() {
  if constexpr (std::is_member_pointer_v<G>)
    return std::type_identity<typename MemberTraits<G>::Value>{};
  else
    return std::type_identity<std::decay_t<std::invoke_result_t<G, C&>>>{};
}

template <class C, class G> struct DeduceClass {
  using Type = C;
};
template <class G> struct DeduceClass<void, G> {
  using Type = typename MemberTraits<G>::Class;
};

}  // namespace karo_typinfo

// A published property. C may be left out when the getter is a member of the class.
template <class C = void, class G, class S = std::nullptr_t>
TPropInfo Prop(const char* name, G getter, S setter = nullptr) {
  using Class = typename karo_typinfo::DeduceClass<C, G>::Type;
  using T = typename decltype(karo_typinfo::ValueTypeOf<Class, G>())::type;
  TPropInfo p;
  p.Name = name;
  p.Type = karo_typinfo::TypeOf<T>();
  if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
    p.MinValue = int64_t(std::numeric_limits<T>::min());
    if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(int64_t))
      p.MaxValue = std::numeric_limits<int64_t>::max();
    else
      p.MaxValue = int64_t(std::numeric_limits<T>::max());
  }
  p.Get = [getter](TObject* o) -> TPropValue {
    Class& c = *static_cast<Class*>(o);
    return karo_typinfo::ToValue<T>(std::invoke(getter, c));
  };
  if constexpr (!std::is_null_pointer_v<S>) {
    p.Set = [setter](TObject* o, const TPropValue& v) {
      Class& c = *static_cast<Class*>(o);
      if constexpr (std::is_member_object_pointer_v<S>)
        std::invoke(setter, c) = karo_typinfo::FromValue<T>(v);
      else
        std::invoke(setter, c, karo_typinfo::FromValue<T>(v));
    };
  }
  return p;
}

// A published method, which form files name as the handler of an event property.
template <class C, class R, class... A> TMethodInfo Method(const char* name, R (C::*method)(A...)) {
  using Event = std::function<R(A...)>;
  TMethodInfo m;
  m.Name = name;
  m.EventType = &typeid(Event);
  m.Bind = [method](TObject* self) -> std::any {
    C* c = static_cast<C*>(self);
    return Event([c, method](A... args) -> R { return (c->*method)(std::forward<A>(args)...); });
  };
  return m;
}

namespace karo_typinfo {
inline void AddMember(TPropList& l, TPropInfo&& p) { l.Props.push_back(std::move(p)); }
inline void AddMember(TPropList& l, TMethodInfo&& m) { l.Methods.push_back(std::move(m)); }

using ItemCreator = TCollectionItem* (*)(TCollection*);

template <class T> constexpr TComponent* (*CreatorOf())(TComponent*) {
  if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> && std::is_constructible_v<T, TComponent*>)
    return [](TComponent* owner) -> TComponent* { return new T(owner); };
  else
    return nullptr;
}

template <class T> constexpr ItemCreator ItemCreatorOf() {
  if constexpr (std::is_base_of_v<TCollectionItem, T> && !std::is_abstract_v<T> &&
                std::is_constructible_v<T, TCollection*>)
    return [](TCollection* c) -> TCollectionItem* { return new T(c); };
  else
    return nullptr;
}

// Enters a creatable component class in the class registry; keeps the first of two of one name.
bool AutoRegister(TClass c);
}  // namespace karo_typinfo

template <class... M> TPropList KaroMakePropList(M&&... members) {
  TPropList l;
  (karo_typinfo::AddMember(l, std::forward<M>(members)), ...);
  return l;
}

// Defines the metaclass of Self with its published properties and methods. A component class
// that can be made from an owner is creatable by the form-file reader and enters the class
// registry when the program starts; a collection item class that can be made from its
// collection is creatable by the collection.
#define KARO_CLASS_PROPS(Self, Parent, ...)                                                        \
  namespace {                                                                                      \
  const TPropList* Self##KaroPublished() {                                                         \
    static const TPropList list = KaroMakePropList(__VA_ARGS__);                                   \
    return &list;                                                                                  \
  }                                                                                                \
  }                                                                                                \
  KARO_CLASS_INFO_FULL(Self, Parent, karo_typinfo::CreatorOf<Self>(), Self##KaroPublished,         \
                       karo_typinfo::ItemCreatorOf<Self>())                                        \
  namespace {                                                                                      \
  [[maybe_unused]] const bool Self##KaroRegistered = karo_typinfo::AutoRegister(Self::StaticClass()); \
  }

// A creatable component (or collection item) class that publishes nothing of its own.
#define KARO_COMPONENT_INFO(Self, Parent) KARO_CLASS_PROPS(Self, Parent)

// --- Looking properties up ---

// Property names are compared without regard to ASCII case; a class's own declaration of a
// name hides an inherited one.
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);
// Every published property, inherited ones first, each name once.
std::vector<const TPropInfo*> GetPropList(TClass cls);
const TMethodInfo* FindPublishedMethod(TClass cls, std::string_view name);
// The published method of that name bound to obj, as an event value; unassigned when missing.
TMethod MethodAddress(TObject* obj, std::string_view name);

bool IsPublishedProp(const TObject* obj, std::string_view name);
// tkUnknown for a missing property or a null object.
TTypeKind PropKind(const TObject* obj, std::string_view name);

// --- Reading and writing by name ---
// None of these raises: a null object or a missing property reads as 0, "", null or an
// unassigned event, and a write to it (or of a value that does not fit) does nothing and
// answers false.

// Integers, enumerations (ordinal), Booleans (0, 1) and sets (ordinal bit value).
int64_t GetOrdProp(TObject* obj, std::string_view name);
bool SetOrdProp(TObject* obj, std::string_view name, int64_t value);
// ANSI strings (wide ones converted on Windows).
std::string GetStrProp(TObject* obj, std::string_view name);
bool SetStrProp(TObject* obj, std::string_view name, const std::string& value);
#ifdef _WIN32
// Wide strings (ANSI ones converted through the ANSI code page).
WideString GetWideStrProp(TObject* obj, std::string_view name);
bool SetWideStrProp(TObject* obj, std::string_view name, const WideString& value);
#endif
// Enumerations and Booleans by value name.
std::string GetEnumProp(TObject* obj, std::string_view name);
bool SetEnumProp(TObject* obj, std::string_view name, std::string_view valueName);
// Sets as "[a,b]".
std::string GetSetProp(TObject* obj, std::string_view name);
bool SetSetProp(TObject* obj, std::string_view name, std::string_view text);
// Objects; with minClass, an object of another class reads as null.
TObject* GetObjectProp(TObject* obj, std::string_view name, TClass minClass = nullptr);
bool SetObjectProp(TObject* obj, std::string_view name, TObject* value);
// Events; a value whose function type differs from the event's is refused.
TMethod GetMethodProp(TObject* obj, std::string_view name);
bool SetMethodProp(TObject* obj, std::string_view name, const TMethod& value);
// Any kind as text: integers in decimal, enumerations and Booleans by name, sets as "[a,b]",
// strings as they are, objects by their component name, events by their handler name.
std::string GetPropValue(TObject* obj, std::string_view name);
// Integers from decimal or "$" hexadecimal text, enumerations, Booleans and sets by name,
// strings as they are (narrow text; converted for a wide property).
bool SetPropValue(TObject* obj, std::string_view name, std::string_view text);

// The same operations on a property already looked up (the form-file reader uses these).
bool SetOrdValue(TObject* obj, const TPropInfo* p, int64_t value);
bool SetMethodValue(TObject* obj, const TPropInfo* p, const TMethod& value);
bool SetObjectValue(TObject* obj, const TPropInfo* p, TObject* value);

// Typed events by name.
template <class F> F GetEventProp(TObject* obj, std::string_view name) {
  TMethod m = GetMethodProp(obj, name);
  if (const F* f = std::any_cast<F>(&m.Code)) return *f;
  return F();
}
template <class F> bool SetEventProp(TObject* obj, std::string_view name, F fn, std::string handlerName = {}) {
  TMethod m;
  if (fn) m.Code = std::move(fn);
  m.Name = std::move(handlerName);
  return SetMethodProp(obj, name, m);
}
