#include "classlib/core/typinfo.h"

namespace {

TTypeInfo MakeKind(TTypeKind kind, const char* name) {
  TTypeInfo t;
  t.Kind = kind;
  t.Name = name;
  return t;
}

const TPropInfo* Find(const TObject* obj, std::string_view name) { return obj ? GetPropInfo(obj, name) : nullptr; }

bool IsOrdinal(TTypeKind k) { return k == tkInteger || k == tkEnumeration || k == tkSet; }

// The largest ordinal bit value a set of this element type can hold.
uint64_t SetMask(const TTypeInfo* setType) {
  size_t n = setType->ElementType ? setType->ElementType->EnumNames.size() : 0;
  return n >= 64 ? ~uint64_t(0) : ((uint64_t(1) << n) - 1);
}

bool OrdinalFits(const TPropInfo* p, int64_t v) {
  switch (p->Kind()) {
    case tkInteger: return v >= p->MinValue && v <= p->MaxValue;
    case tkEnumeration: return v >= 0 && v < int64_t(p->Type->EnumNames.size());
    case tkSet: return (uint64_t(v) & ~SetMask(p->Type)) == 0;
    default: return false;
  }
}

TPropValue Read(TObject* obj, const TPropInfo* p) {
  if (!obj || !p || !p->Get) return {};
  return p->Get(obj);
}

}  // namespace

const TTypeInfo* IntegerTypeInfo() {
  static const TTypeInfo t = MakeKind(tkInteger, "Integer");
  return &t;
}

const TTypeInfo* BooleanTypeInfo() {
  static const TTypeInfo t = MakeEnumTypeInfo("Boolean", "False, True");
  return &t;
}

const TTypeInfo* AnsiStringTypeInfo() {
  static const TTypeInfo t = MakeKind(tkLString, "AnsiString");
  return &t;
}

#ifdef _WIN32
const TTypeInfo* WideStringTypeInfo() {
  static const TTypeInfo t = MakeKind(tkWString, "WideString");
  return &t;
}
#endif

TTypeInfo MakeEnumTypeInfo(const char* name, const char* commaSeparatedNames) {
  TTypeInfo t = MakeKind(tkEnumeration, name);
  std::string_view all(commaSeparatedNames);
  while (!all.empty()) {
    size_t comma = all.find(',');
    std::string one = Trim(all.substr(0, comma));
    if (!one.empty()) t.EnumNames.push_back(one);
    if (comma == std::string_view::npos) break;
    all.remove_prefix(comma + 1);
  }
  return t;
}

TTypeInfo MakeIntegerTypeInfo(const char* name, std::initializer_list<TIdentMapEntry> idents) {
  TTypeInfo t = MakeKind(tkInteger, name);
  t.Idents.assign(idents.begin(), idents.end());
  return t;
}

std::string GetEnumName(const TTypeInfo* type, int64_t ordinal) {
  if (!type || ordinal < 0 || ordinal >= int64_t(type->EnumNames.size())) return {};
  return type->EnumNames[size_t(ordinal)];
}

int GetEnumValue(const TTypeInfo* type, std::string_view name) {
  if (!type) return -1;
  for (size_t i = 0; i < type->EnumNames.size(); ++i)
    if (SameText(type->EnumNames[i], name)) return int(i);
  return -1;
}

std::string SetToString(const TTypeInfo* setType, int64_t value, bool brackets) {
  std::string r;
  const TTypeInfo* e = setType ? setType->ElementType : nullptr;
  if (e)
    for (size_t i = 0; i < e->EnumNames.size() && i < 64; ++i)
      if (uint64_t(value) & (uint64_t(1) << i)) {
        if (!r.empty()) r += ',';
        r += e->EnumNames[i];
      }
  return brackets ? "[" + r + "]" : r;
}

bool StringToSet(const TTypeInfo* setType, std::string_view text, int64_t& value) {
  if (!setType || !setType->ElementType) return false;
  std::string t = Trim(text);
  std::string_view body(t);
  if (!body.empty() && body.front() == '[') {
    if (body.back() != ']') return false;
    body = body.substr(1, body.size() - 2);
  }
  uint64_t bits = 0;
  while (true) {
    size_t comma = body.find(',');
    std::string one = Trim(body.substr(0, comma));
    if (!one.empty()) {
      int v = GetEnumValue(setType->ElementType, one);
      if (v < 0 || v >= 64) return false;
      bits |= uint64_t(1) << v;
    } else if (comma != std::string_view::npos) {
      return false;  // an empty element between commas
    }
    if (comma == std::string_view::npos) break;
    body.remove_prefix(comma + 1);
  }
  value = int64_t(bits);
  return true;
}

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) {
  for (TClass c = cls; c; c = c->Parent) {
    if (!c->Props) continue;
    for (const TPropInfo& p : c->Props()->Props)
      if (SameText(p.Name, name)) return &p;
  }
  return nullptr;
}

const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
  return obj ? GetPropInfo(obj->ClassType(), name) : nullptr;
}

std::vector<const TPropInfo*> GetPropList(TClass cls) {
  std::vector<TClass> chain;
  for (TClass c = cls; c; c = c->Parent) chain.push_back(c);
  std::vector<const TPropInfo*> list;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!(*it)->Props) continue;
    for (const TPropInfo& p : (*it)->Props()->Props) {
      bool replaced = false;
      for (auto& have : list)
        if (SameText(have->Name, p.Name)) {
          have = &p;
          replaced = true;
        }
      if (!replaced) list.push_back(&p);
    }
  }
  return list;
}

const TMethodInfo* FindPublishedMethod(TClass cls, std::string_view name) {
  for (TClass c = cls; c; c = c->Parent) {
    if (!c->Props) continue;
    for (const TMethodInfo& m : c->Props()->Methods)
      if (SameText(m.Name, name)) return &m;
  }
  return nullptr;
}

TMethod MethodAddress(TObject* obj, std::string_view name) {
  TMethod m;
  if (!obj) return m;
  if (const TMethodInfo* info = FindPublishedMethod(obj->ClassType(), name)) {
    m.Code = info->Bind(obj);
    m.Name = info->Name;
  }
  return m;
}

bool IsPublishedProp(const TObject* obj, std::string_view name) { return Find(obj, name) != nullptr; }

TTypeKind PropKind(const TObject* obj, std::string_view name) {
  const TPropInfo* p = Find(obj, name);
  return p ? p->Kind() : tkUnknown;
}

bool SetOrdValue(TObject* obj, const TPropInfo* p, int64_t value) {
  if (!obj || !p || !p->Set || !IsOrdinal(p->Kind()) || !OrdinalFits(p, value)) return false;
  p->Set(obj, value);
  return true;
}

bool SetObjectValue(TObject* obj, const TPropInfo* p, TObject* value) {
  if (!obj || !p || !p->Set || p->Kind() != tkClass) return false;
  if (value && !value->InheritsFrom(p->Type->ClassType)) return false;
  p->Set(obj, value);
  return true;
}

bool SetMethodValue(TObject* obj, const TPropInfo* p, const TMethod& value) {
  if (!obj || !p || !p->Set || p->Kind() != tkMethod) return false;
  if (value.Code.has_value() && value.Code.type() != *p->Type->EventType) return false;
  p->Set(obj, value);
  if (auto* c = dyn<TComponent>(obj)) c->SetMethodName(p->Name, value.Code.has_value() ? value.Name : std::string());
  return true;
}

int64_t GetOrdProp(TObject* obj, std::string_view name) {
  const TPropInfo* p = Find(obj, name);
  if (!p || !IsOrdinal(p->Kind())) return 0;
  TPropValue v = Read(obj, p);
  return std::holds_alternative<int64_t>(v) ? std::get<int64_t>(v) : 0;
}

bool SetOrdProp(TObject* obj, std::string_view name, int64_t value) { return SetOrdValue(obj, Find(obj, name), value); }

std::string GetStrProp(TObject* obj, std::string_view name) {
  const TPropInfo* p = Find(obj, name);
  if (!p) return {};
  TPropValue v = Read(obj, p);
  if (auto* s = std::get_if<std::string>(&v)) return *s;
#ifdef _WIN32
  if (auto* w = std::get_if<WideString>(&v)) return WideToAnsi(*w);
#endif
  return {};
}

bool SetStrProp(TObject* obj, std::string_view name, const std::string& value) {
  const TPropInfo* p = Find(obj, name);
  if (!p || !p->Set) return false;
  if (p->Kind() == tkLString) {
    p->Set(obj, value);
    return true;
  }
#ifdef _WIN32
  if (p->Kind() == tkWString) {
    p->Set(obj, AnsiToWide(value));
    return true;
  }
#endif
  return false;
}

#ifdef _WIN32
WideString GetWideStrProp(TObject* obj, std::string_view name) {
  const TPropInfo* p = Find(obj, name);
  if (!p) return {};
  TPropValue v = Read(obj, p);
  if (auto* w = std::get_if<WideString>(&v)) return *w;
  if (auto* s = std::get_if<std::string>(&v)) return AnsiToWide(*s);
  return {};
}

bool SetWideStrProp(TObject* obj, std::string_view name, const WideString& value) {
  const TPropInfo* p = Find(obj, name);
  if (!p || !p->Set) return false;
  if (p->Kind() == tkWString) {
    p->Set(obj, value);
    return true;
  }
  if (p->Kind() == tkLString) {
    p->Set(obj, WideToAnsi(value));
    return true;
  }
  return false;
}
#endif

std::string GetEnumProp(TObject* obj, std::string_view name) {
  const TPropInfo* p = Find(obj, name);
  if (!p || p->Kind() != tkEnumeration) return {};
  TPropValue v = Read(obj, p);
  return std::holds_alternative<int64_t>(v) ? GetEnumName(p->Type, std::get<int64_t>(v)) : std::string();
}

bool SetEnumProp(TObject* obj, std::string_view name, std::string_view valueName) {
  const TPropInfo* p = Find(obj, name);
  if (!p || p->Kind() != tkEnumeration) return false;
  int v = GetEnumValue(p->Type, Trim(valueName));
  return v >= 0 && SetOrdValue(obj, p, v);
}

std::string GetSetProp(TObject* obj, std::string_view name) {
  const TPropInfo* p = Find(obj, name);
  if (!p || p->Kind() != tkSet) return {};
  TPropValue v = Read(obj, p);
  return std::holds_alternative<int64_t>(v) ? SetToString(p->Type, std::get<int64_t>(v)) : std::string();
}

bool SetSetProp(TObject* obj, std::string_view name, std::string_view text) {
  const TPropInfo* p = Find(obj, name);
  int64_t bits;
  if (!p || p->Kind() != tkSet || !StringToSet(p->Type, text, bits)) return false;
  return SetOrdValue(obj, p, bits);
}

TObject* GetObjectProp(TObject* obj, std::string_view name, TClass minClass) {
  const TPropInfo* p = Find(obj, name);
  if (!p || p->Kind() != tkClass) return nullptr;
  TPropValue v = Read(obj, p);
  TObject* o = std::holds_alternative<TObject*>(v) ? std::get<TObject*>(v) : nullptr;
  if (o && minClass && !o->InheritsFrom(minClass)) return nullptr;
  return o;
}

bool SetObjectProp(TObject* obj, std::string_view name, TObject* value) {
  return SetObjectValue(obj, Find(obj, name), value);
}

TMethod GetMethodProp(TObject* obj, std::string_view name) {
  const TPropInfo* p = Find(obj, name);
  if (!p || p->Kind() != tkMethod) return {};
  TPropValue v = Read(obj, p);
  TMethod m = std::holds_alternative<TMethod>(v) ? std::get<TMethod>(v) : TMethod();
  if (m.Assigned())
    if (auto* c = dyn<TComponent>(obj)) m.Name = c->MethodName(p->Name);
  return m;
}

bool SetMethodProp(TObject* obj, std::string_view name, const TMethod& value) {
  return SetMethodValue(obj, Find(obj, name), value);
}

std::string GetPropValue(TObject* obj, std::string_view name) {
  const TPropInfo* p = Find(obj, name);
  if (!p) return {};
  switch (p->Kind()) {
    case tkInteger: return IntToStr(GetOrdProp(obj, name));
    case tkEnumeration: return GetEnumProp(obj, name);
    case tkSet: return GetSetProp(obj, name);
    case tkLString:
    case tkWString: return GetStrProp(obj, name);
    case tkClass:
      if (auto* c = dyn<TComponent>(GetObjectProp(obj, name))) return c->Name();
      return {};
    case tkMethod: return GetMethodProp(obj, name).Name;
    default: return {};
  }
}

bool SetPropValue(TObject* obj, std::string_view name, std::string_view text) {
  const TPropInfo* p = Find(obj, name);
  if (!p) return false;
  switch (p->Kind()) {
    case tkInteger: {
      std::string t = Trim(text);
      for (const TIdentMapEntry& e : p->Type->Idents)
        if (SameText(e.Name, t)) return SetOrdValue(obj, p, e.Value);
      int32_t v;
      if (!TryStrToInt(t, v)) return false;
      return SetOrdValue(obj, p, v);
    }
    case tkEnumeration: return SetEnumProp(obj, name, text);
    case tkSet: return SetSetProp(obj, name, text);
    case tkLString:
    case tkWString: return SetStrProp(obj, name, std::string(text));
    default: return false;
  }
}

bool karo_typinfo::AutoRegister(TClass c) {
  if (!c || !c->Create || GetClass(c->Name)) return false;
  KaroRegisterClass(c);
  return true;
}
