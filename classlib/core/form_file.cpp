#include "classlib/core/form_file.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "classlib/core/collections.h"
#include "classlib/core/filer.h"
#include "classlib/core/typinfo.h"

#ifdef _WIN32
#include <windows.h>
#endif

KARO_CLASS_INFO(TFiler, TObject)
KARO_CLASS_INFO(TReader, TFiler)
KARO_CLASS_INFO(TWriter, TFiler)

namespace {

// Objects, lists, sets and collections nest at most this deep; deeper text is refused rather
// than recursed into without bound.
constexpr int kMaxDepth = 200;

std::string At(int line) { return "Line " + std::to_string(line) + ": "; }

// --- The parsed text ---

struct FItem;

enum class VKind { Int, Ident, String, Set, List, Binary, Collection };

struct FValue {
  VKind kind = VKind::Int;
  int line = 0;
  int64_t i = 0;
  std::string text;       // an identifier, or the bytes of binary data
  std::u16string str;     // a string
  std::vector<std::string> set;
  std::vector<FValue> list;
  std::vector<FItem> items;
};

struct FProp {
  std::string name;
  int line = 0;
  FValue value;
};

struct FItem {
  int line = 0;
  std::vector<FProp> props;
};

struct FObject {
  int line = 0;
  std::string name, cls;
  std::vector<FProp> props;
  std::vector<FObject> children;
};

enum class Tok { End, Ident, Int, String, Binary, Sym };

struct Token {
  Tok kind = Tok::End;
  int line = 1;
  std::string text;
  int64_t i = 0;
  std::u16string str;
  char sym = 0;
};

std::string Describe(const Token& t) {
  switch (t.kind) {
    case Tok::End: return "end of file";
    case Tok::Ident: return "'" + t.text + "'";
    case Tok::Int: return "number";
    case Tok::String: return "string";
    case Tok::Binary: return "binary data";
    case Tok::Sym: return std::string("'") + t.sym + "'";
  }
  return "?";
}

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Lexer {
public:
  explicit Lexer(std::string_view src) : src_(src) {
    // A UTF-8 byte-order mark is allowed before the text.
    if (src_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
  }

  Token Next() {
    SkipBlanks();
    Token t;
    t.line = line_;
    if (pos_ >= src_.size()) return t;
    char c = src_[pos_];
    if (IsIdentStart(c)) {
      t.kind = Tok::Ident;
      t.text = ReadIdent();
      while (pos_ + 1 < src_.size() && src_[pos_] == '.' && IsIdentStart(src_[pos_ + 1])) {
        ++pos_;
        t.text += '.' + ReadIdent();
      }
    } else if (IsDigit(c) || c == '$' || (c == '-' && pos_ + 1 < src_.size() && (IsDigit(src_[pos_ + 1]) || src_[pos_ + 1] == '$'))) {
      t.kind = Tok::Int;
      t.i = ReadNumber();
    } else if (c == '\'' || c == '#') {
      t.kind = Tok::String;
      t.str = ReadString();
    } else if (c == '{') {
      t.kind = Tok::Binary;
      t.text = ReadBinary();
    } else if (std::string_view("=:[](),<>+").find(c) != std::string_view::npos) {
      t.kind = Tok::Sym;
      t.sym = c;
      ++pos_;
    } else {
      Fail(std::string("unexpected character ") + (uint8_t(c) >= 32 && uint8_t(c) < 127 ? std::string("'") + c + "'" : "#" + std::to_string(uint8_t(c))));
    }
    return t;
  }

  [[noreturn]] void Fail(const std::string& what) const { throw EParserError(At(line_) + what); }

private:
  void SkipBlanks() {
    while (pos_ < src_.size()) {
      char c = src_[pos_];
      if (c == '\n') {
        ++line_;
      } else if (c == '\r') {
        if (pos_ + 1 >= src_.size() || src_[pos_ + 1] != '\n') ++line_;
      } else if (c != ' ' && c != '\t' && c != '\f' && c != '\v') {
        break;
      }
      ++pos_;
    }
  }

  std::string ReadIdent() {
    size_t b = pos_;
    while (pos_ < src_.size() && IsIdentChar(src_[pos_])) ++pos_;
    return std::string(src_.substr(b, pos_ - b));
  }

  int64_t ReadNumber() {
    bool negative = false;
    if (src_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    uint64_t v = 0;
    if (src_[pos_] == '$') {
      ++pos_;
      int digits = 0;
      while (pos_ < src_.size() && Hex(src_[pos_]) >= 0) {
        if (++digits > 16) Fail("number out of range");
        v = (v << 4) | uint64_t(Hex(src_[pos_++]));
      }
      if (digits == 0) Fail("hexadecimal digits expected");
      if (pos_ < src_.size() && IsIdentChar(src_[pos_])) Fail("invalid number");
      // Up to eight digits give a 32-bit pattern, so that $FF000018 is the colour it names.
      int64_t r = digits <= 8 ? int64_t(int32_t(uint32_t(v))) : int64_t(v);
      return negative ? int64_t(0 - uint64_t(r)) : r;
    }
    while (pos_ < src_.size() && IsDigit(src_[pos_])) {
      uint64_t d = uint64_t(src_[pos_++] - '0');
      if (v > (uint64_t(INT64_MAX) + (negative ? 1 : 0) - d) / 10) Fail("number out of range");
      v = v * 10 + d;
    }
    if (pos_ < src_.size() && IsIdentChar(src_[pos_])) Fail("invalid number");
    return negative ? int64_t(0 - v) : int64_t(v);
  }

  // Quoted pieces and #n characters written next to each other make one string.
  std::u16string ReadString() {
    std::u16string out;
    while (pos_ < src_.size()) {
      if (src_[pos_] == '\'') {
        ++pos_;
        std::string raw;
        while (true) {
          if (pos_ >= src_.size() || src_[pos_] == '\n' || src_[pos_] == '\r') Fail("unterminated string");
          char c = src_[pos_++];
          if (c == '\'') {
            if (pos_ < src_.size() && src_[pos_] == '\'') {
              raw += '\'';
              ++pos_;
              continue;
            }
            break;
          }
          raw += c;
        }
        out += Utf8ToUtf16(raw);
      } else if (src_[pos_] == '#') {
        ++pos_;
        uint32_t v = 0;
        int digits = 0;
        bool hex = pos_ < src_.size() && src_[pos_] == '$';
        if (hex) ++pos_;
        while (pos_ < src_.size() && (hex ? Hex(src_[pos_]) >= 0 : IsDigit(src_[pos_]))) {
          v = v * (hex ? 16 : 10) + uint32_t(hex ? Hex(src_[pos_]) : src_[pos_] - '0');
          ++pos_;
          if (++digits > 7 || v > 0x10FFFF) Fail("character code out of range");
        }
        if (digits == 0) Fail("character code expected");
        if (v >= 0x10000) {
          v -= 0x10000;
          out += char16_t(0xD800 + (v >> 10));
          out += char16_t(0xDC00 + (v & 0x3FF));
        } else {
          out += char16_t(v);
        }
      } else {
        break;
      }
    }
    return out;
  }

  std::string ReadBinary() {
    ++pos_;  // '{'
    std::string bytes;
    int high = -1;
    while (true) {
      if (pos_ >= src_.size()) Fail("'}' expected but end of file found");
      char c = src_[pos_++];
      if (c == '}') break;
      if (c == '\n') {
        ++line_;
        continue;
      }
      if (c == '\r') {
        if (pos_ >= src_.size() || src_[pos_] != '\n') ++line_;
        continue;
      }
      if (c == ' ' || c == '\t') continue;
      int d = Hex(c);
      if (d < 0) Fail("invalid binary data");
      if (high < 0) {
        high = d;
      } else {
        bytes += char((high << 4) | d);
        high = -1;
      }
    }
    if (high >= 0) Fail("odd number of hexadecimal digits in binary data");
    return bytes;
  }

  std::string_view src_;
  size_t pos_ = 0;
  int line_ = 1;
};

class Parser {
public:
  explicit Parser(std::string_view text) : lex_(text) { Advance(); }

  FObject ParseFile() {
    FObject top = ParseObject(0);
    if (cur_.kind != Tok::End) Expected("end of file");
    return top;
  }

private:
  void Advance() { cur_ = lex_.Next(); }
  [[noreturn]] void Expected(const std::string& what) const {
    throw EParserError(At(cur_.line) + what + " expected but " + Describe(cur_) + " found");
  }
  bool IsWord(const char* w) const { return cur_.kind == Tok::Ident && SameText(cur_.text, w); }
  bool IsSym(char s) const { return cur_.kind == Tok::Sym && cur_.sym == s; }
  void ExpectSym(char s) {
    if (!IsSym(s)) Expected(std::string("'") + s + "'");
    Advance();
  }
  bool IsObjectWord() const { return IsWord("object") || IsWord("inherited") || IsWord("inline"); }
  void CheckDepth(int depth) const {
    if (depth > kMaxDepth) throw EParserError(At(cur_.line) + "nesting too deep");
  }
  std::string PlainIdent(const char* what) {
    if (cur_.kind != Tok::Ident || cur_.text.find('.') != std::string::npos) Expected(what);
    std::string s = cur_.text;
    Advance();
    return s;
  }

  FObject ParseObject(int depth) {
    CheckDepth(depth);
    if (!IsObjectWord()) Expected("'object'");
    FObject o;
    o.line = cur_.line;
    Advance();
    std::string first = PlainIdent("component name or class name");
    if (IsSym(':')) {
      Advance();
      o.name = first;
      o.cls = PlainIdent("class name");
    } else {
      o.cls = first;
    }
    while (true) {
      if (IsWord("end")) {
        Advance();
        return o;
      }
      if (IsObjectWord()) {
        o.children.push_back(ParseObject(depth + 1));
      } else if (cur_.kind == Tok::Ident) {
        o.props.push_back(ParseProp(depth));
      } else {
        Expected("'end'");
      }
    }
  }

  FProp ParseProp(int depth) {
    FProp p;
    p.line = cur_.line;
    p.name = cur_.text;
    Advance();
    ExpectSym('=');
    p.value = ParseValue(depth + 1);
    return p;
  }

  FValue ParseValue(int depth) {
    CheckDepth(depth);
    FValue v;
    v.line = cur_.line;
    switch (cur_.kind) {
      case Tok::Int:
        v.kind = VKind::Int;
        v.i = cur_.i;
        Advance();
        return v;
      case Tok::Ident:
        if (IsWord("end") || IsObjectWord() || IsWord("item")) Expected("value");
        v.kind = VKind::Ident;
        v.text = cur_.text;
        Advance();
        return v;
      case Tok::String:
        v.kind = VKind::String;
        v.str = cur_.str;
        Advance();
        while (IsSym('+')) {
          Advance();
          if (cur_.kind != Tok::String) Expected("string");
          v.str += cur_.str;
          Advance();
        }
        return v;
      case Tok::Binary:
        v.kind = VKind::Binary;
        v.text = std::move(cur_.text);
        Advance();
        return v;
      case Tok::Sym:
        break;
      case Tok::End:
        Expected("value");
    }
    if (IsSym('[')) {
      v.kind = VKind::Set;
      Advance();
      if (!IsSym(']')) {
        while (true) {
          v.set.push_back(PlainIdent("set element"));
          if (IsSym(']')) break;
          ExpectSym(',');
        }
      }
      Advance();
      return v;
    }
    if (IsSym('(')) {
      v.kind = VKind::List;
      Advance();
      while (!IsSym(')')) {
        if (cur_.kind == Tok::End) Expected("')'");
        v.list.push_back(ParseValue(depth + 1));
      }
      Advance();
      return v;
    }
    if (IsSym('<')) {
      v.kind = VKind::Collection;
      Advance();
      while (!IsSym('>')) {
        if (!IsWord("item")) Expected("'item'");
        FItem item;
        item.line = cur_.line;
        Advance();
        while (!IsWord("end")) {
          if (cur_.kind != Tok::Ident || IsWord("item") || IsObjectWord()) Expected("'end'");
          item.props.push_back(ParseProp(depth + 1));
        }
        Advance();
        v.items.push_back(std::move(item));
      }
      Advance();
      return v;
    }
    Expected("value");
  }

  Lexer lex_;
  Token cur_;
};

// --- Waiting references to other roots ---

struct GlobalFixup {
  TComponent* instance;
  TObject* obj;
  const TPropInfo* prop;
  std::string rootName, name;
};

// Never freed: components may still be destroyed by static destructors after this unit's.
std::vector<GlobalFixup>& GlobalFixups() {
  static auto* list = new std::vector<GlobalFixup>();
  return *list;
}

std::vector<std::pair<int, TFindGlobalComponent>>& Finders() {
  static auto* list = new std::vector<std::pair<int, TFindGlobalComponent>>();
  return *list;
}

TComponent* FindGlobalRoot(const std::string& name) {
  for (auto& [token, finder] : Finders())
    if (TComponent* c = finder(name)) return c;
  return nullptr;
}

// --- Reading ---

class FormReader final : public TReader {
public:
  explicit FormReader(TComponent* root) : root_(root) {}

  void Run(const FObject& top) {
    try {
      ReadRoot(top);
    } catch (...) {
      Undo();
      throw;
    }
    // This root may be the one that earlier files wait for.
    GlobalFixupReferences();
  }

  void DefineProperty(const std::string& name, const TReaderProc& readData, const TWriterProc&, bool) override {
    if (handled_ || !wanted_ || !SameText(name, *wanted_)) return;
    handled_ = true;
    if (!readData) return;
    cursor_.push_back({wantedValue_, 1, 0});
    readData(*this);
    cursor_.clear();
  }

  void DefineBinaryProperty(const std::string& name, const TStreamProc& readData, const TStreamProc&, bool) override {
    if (handled_ || !wanted_ || !SameText(name, *wanted_)) return;
    handled_ = true;
    if (wantedValue_->kind != VKind::Binary) Invalid(name);
    if (!readData) return;
    TMemoryStream data;
    data.Assign(wantedValue_->text);
    readData(data);
  }

  std::string ReadString() override { return Utf16ToNarrow(Next(VKind::String).str); }
#ifdef _WIN32
  WideString ReadWideString() override {
    const std::u16string& s = Next(VKind::String).str;
    return WideString(s.begin(), s.end());
  }
#endif
  int32_t ReadInteger() override {
    int64_t v = Next(VKind::Int).i;
    if (v < INT32_MIN || v > INT32_MAX) Fail("integer out of range");
    return int32_t(v);
  }
  int64_t ReadInt64() override { return Next(VKind::Int).i; }
  bool ReadBoolean() override {
    const FValue& v = Next(VKind::Ident);
    if (SameText(v.text, "True")) return true;
    if (SameText(v.text, "False")) return false;
    Fail("True or False expected but '" + v.text + "' found");
  }
  std::string ReadIdent() override { return Next(VKind::Ident).text; }
  void ReadListBegin() override {
    const FValue& v = Next(VKind::List);
    cursor_.push_back({v.list.data(), v.list.size(), 0});
  }
  bool EndOfList() override { return cursor_.empty() || cursor_.back().index >= cursor_.back().count; }
  void ReadListEnd() override {
    if (cursor_.size() < 2) Fail("no list is open");
    if (!EndOfList()) Fail("')' expected");
    cursor_.pop_back();
  }

private:
  struct Frame {
    const FValue* values;
    size_t count, index;
  };
  struct Fixup {
    TComponent* instance;
    TObject* obj;
    const TPropInfo* prop;
    std::string ref;
    int line;
  };

  [[noreturn]] void Fail(const std::string& what) const { throw EReadError(At(line_) + what); }
  [[noreturn]] void Invalid(const std::string& prop) const { Fail("Invalid value for property " + prop); }

  const FValue& Next(VKind kind) {
    if (cursor_.empty() || cursor_.back().index >= cursor_.back().count) Fail("value expected");
    Frame& f = cursor_.back();
    const FValue& v = f.values[f.index++];
    line_ = v.line;
    if (v.kind != kind) {
      static const char* const kNames[] = {"number", "identifier", "string", "set", "list", "binary data", "collection"};
      Fail(std::string(kNames[int(kind)]) + " expected but " + kNames[int(v.kind)] + " found");
    }
    return v;
  }

  void BeginLoading(TComponent* c) {
    c->SetLoadingState(true);
    c->SetReadingState(true);
    if (std::find(loaded_.begin(), loaded_.end(), c) == loaded_.end()) loaded_.push_back(c);
  }

  void ReadRoot(const FObject& top) {
    line_ = top.line;
    bool fits = false;
    for (TClass c = root_->ClassType(); c && !fits; c = c->Parent) fits = SameText(c->Name, top.cls);
    if (!fits) Fail("the file holds a " + top.cls + ", not a " + root_->ClassName());
    if (!top.name.empty() && !IsValidIdent(top.name)) Fail("'" + top.name + "' is not a valid component name");
    if (root_->Name().empty() && !top.name.empty()) root_->SetName(top.name);
    BeginLoading(root_);
    ReadProps(root_, root_, top.props);
    ReadChildren(root_, top.children);
    root_->SetReadingState(false);
    std::vector<GlobalFixup> waiting = ResolveFixups();
    for (TComponent* c : loaded_) c->Loaded();
    for (TComponent* c : loaded_) c->SetLoadingState(false);
    auto& global = GlobalFixups();
    global.insert(global.end(), waiting.begin(), waiting.end());
  }

  void ReadChildren(TComponent* parent, const std::vector<FObject>& children) {
    TComponent* owner = parent->GetChildOwner();
    if (!owner) owner = root_;
    TComponent* context = parent->GetChildParent();
    for (const FObject& o : children) {
      line_ = o.line;
      if (!o.name.empty() && !IsValidIdent(o.name)) Fail("'" + o.name + "' is not a valid component name");
      TComponent* c = o.name.empty() ? nullptr : owner->FindComponent(o.name);
      if (c) {
        // One made by the owner itself may be read into; two objects of one name may not.
        if (!SameText(c->ClassName(), o.cls) || std::find(loaded_.begin(), loaded_.end(), c) != loaded_.end())
          Fail("A component named " + o.name + " already exists");
      } else {
        TClass cls = GetClass(o.cls);
        if (!cls) throw EClassNotFound(At(o.line) + "Class " + o.cls + " not found");
        if (!cls->Create) Fail("Class " + o.cls + " cannot be created from a form file");
        c = cls->Create(owner);
        created_.push_back(c);
        c->SetName(o.name);
      }
      BeginLoading(c);
      if (c->HasParent()) c->SetParentComponent(context);
      ReadProps(c, c, o.props);
      ReadChildren(c, o.children);
      c->SetReadingState(false);
    }
  }

  void ReadProps(TComponent* instance, TObject* obj, const std::vector<FProp>& props) {
    for (const FProp& p : props) {
      line_ = p.line;
      ReadProp(instance, obj, p);
    }
  }

  void ReadProp(TComponent* instance, TObject* obj, const FProp& fp) {
    std::string_view path(fp.name);
    size_t dot;
    while ((dot = path.find('.')) != std::string_view::npos) {
      std::string seg(path.substr(0, dot));
      const TPropInfo* p = GetPropInfo(obj, seg);
      if (!p) Fail("Property " + seg + " does not exist");
      if (p->Kind() != tkClass || !p->Get) Fail("Property " + seg + " holds no object");
      obj = GetObjectProp(obj, seg);
      if (!obj) Fail("Property " + seg + " is nil");
      path.remove_prefix(dot + 1);
    }
    std::string name(path);
    if (const TPropInfo* p = GetPropInfo(obj, name)) {
      ReadValue(instance, obj, p, fp.value);
      return;
    }
    if (auto* per = dyn<TPersistent>(obj)) {
      wanted_ = &name;
      wantedValue_ = &fp.value;
      handled_ = false;
      try {
        per->DefineProperties(*this);
      } catch (...) {
        wanted_ = nullptr;
        cursor_.clear();
        throw;
      }
      wanted_ = nullptr;
      if (handled_) return;
    }
    Fail("Property " + name + " does not exist");
  }

  void ReadValue(TComponent* instance, TObject* obj, const TPropInfo* p, const FValue& v) {
    const std::string& name = p->Name;
    TTypeKind kind = p->Kind();
    if (kind != tkClass && !p->Set) Fail("Property " + name + " is read-only");
    switch (kind) {
      case tkInteger: {
        int64_t value = v.i;
        if (v.kind == VKind::Ident) {
          auto& idents = p->Type->Idents;
          auto it = std::find_if(idents.begin(), idents.end(), [&](const TIdentMapEntry& e) { return SameText(e.Name, v.text); });
          if (it == idents.end()) Invalid(name);
          value = it->Value;
        } else if (v.kind != VKind::Int) {
          Invalid(name);
        }
        if (!SetOrdValue(obj, p, value)) Fail("Value out of range for property " + name);
        return;
      }
      case tkEnumeration: {
        int value = v.kind == VKind::Ident ? GetEnumValue(p->Type, v.text) : -1;
        if (value < 0 || !SetOrdValue(obj, p, value)) Invalid(name);
        return;
      }
      case tkSet: {
        if (v.kind != VKind::Set) Invalid(name);
        uint64_t bits = 0;
        for (const std::string& e : v.set) {
          int value = GetEnumValue(p->Type->ElementType, e);
          if (value < 0 || value >= 64) Fail("'" + e + "' is not an element of property " + name);
          bits |= uint64_t(1) << value;
        }
        if (!SetOrdValue(obj, p, int64_t(bits))) Invalid(name);
        return;
      }
      case tkLString:
        if (v.kind != VKind::String) Invalid(name);
        p->Set(obj, Utf16ToNarrow(v.str));
        return;
#ifdef _WIN32
      case tkWString:
        if (v.kind != VKind::String) Invalid(name);
        p->Set(obj, WideString(v.str.begin(), v.str.end()));
        return;
#endif
      case tkClass:
        if (v.kind == VKind::Collection) {
          auto* coll = dyn<TCollection>(p->Get ? GetObjectProp(obj, name) : nullptr);
          if (!coll) Fail("Property " + name + " is not a collection");
          ReadCollection(instance, coll, v.items);
          return;
        }
        if (!p->Set) Fail("Property " + name + " is read-only");
        if (v.kind != VKind::Ident) Invalid(name);
        if (SameText(v.text, "nil")) {
          SetObjectValue(obj, p, nullptr);
          return;
        }
        fixups_.push_back({instance, obj, p, v.text, v.line});
        return;
      case tkMethod: {
        if (v.kind != VKind::Ident) Invalid(name);
        if (SameText(v.text, "nil")) {
          SetMethodValue(obj, p, TMethod());
          return;
        }
        const TMethodInfo* m = FindPublishedMethod(root_->ClassType(), v.text);
        if (!m) Fail("Method " + v.text + " not found in " + root_->ClassName());
        if (*m->EventType != *p->Type->EventType) Fail("Method " + v.text + " does not fit event " + name);
        SetMethodValue(obj, p, TMethod{m->Bind(root_), m->Name});
        return;
      }
      default:
        Invalid(name);
    }
  }

  void ReadCollection(TComponent* instance, TCollection* coll, const std::vector<FItem>& items) {
    coll->BeginUpdate();
    try {
      coll->Clear();
      for (const FItem& item : items) {
        line_ = item.line;
        TCollectionItem* it = coll->Add();
        ReadProps(instance, it, item.props);
      }
    } catch (...) {
      coll->EndUpdate();
      throw;
    }
    coll->EndUpdate();
  }

  TComponent* ResolveLocal(const std::string& ref) const {
    size_t dot = ref.find('.');
    if (dot == std::string::npos) return SameText(ref, root_->Name()) ? root_ : root_->FindComponent(ref);
    if (!SameText(ref.substr(0, dot), root_->Name())) return nullptr;
    return root_->FindComponent(ref.substr(dot + 1));
  }

  // Sets the references of this file; those to other roots that are not loaded yet are
  // handed back to wait.
  std::vector<GlobalFixup> ResolveFixups() {
    std::vector<GlobalFixup> waiting;
    for (const Fixup& f : fixups_) {
      line_ = f.line;
      TComponent* target = ResolveLocal(f.ref);
      size_t dot = f.ref.find('.');
      if (!target && dot == std::string::npos) target = FindGlobalRoot(f.ref);
      if (target) {
        if (!SetObjectValue(f.obj, f.prop, target)) Fail(f.ref + " is of the wrong class for property " + f.prop->Name);
      } else if (dot != std::string::npos && !SameText(f.ref.substr(0, dot), root_->Name())) {
        waiting.push_back({f.instance, f.obj, f.prop, f.ref.substr(0, dot), f.ref.substr(dot + 1)});
      } else {
        Fail("No component named " + f.ref);
      }
    }
    fixups_.clear();
    return waiting;
  }

  // A failed read leaves no component of its own making behind.
  void Undo() {
    cursor_.clear();
    fixups_.clear();
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), *it), loaded_.end());
      delete *it;
    }
    created_.clear();
    for (TComponent* c : loaded_) {
      c->SetReadingState(false);
      c->SetLoadingState(false);
    }
  }

  TComponent* root_;
  std::vector<TComponent*> loaded_, created_;
  std::vector<Fixup> fixups_;
  std::vector<Frame> cursor_;
  const std::string* wanted_ = nullptr;
  const FValue* wantedValue_ = nullptr;
  bool handled_ = false;
  int line_ = 1;
};

// --- Writing ---

std::string Quote(std::u16string_view s) {
  std::string r;
  bool open = false;
  for (char16_t ch : s) {
    if (ch >= 32 && ch < 127) {
      if (!open) r += '\'';
      open = true;
      if (ch == '\'') r += '\'';
      r += char(ch);
    } else {
      if (open) r += '\'';
      open = false;
      r += '#' + std::to_string(unsigned(ch));
    }
  }
  if (open) r += '\'';
  return r.empty() ? "''" : r;
}

class FormWriter final : public TWriter {
public:
  explicit FormWriter(TComponent* root) : root_(root) {}

  std::string Run() {
    WriteObject(root_, 0);
    return std::move(out_);
  }

  void DefineProperty(const std::string& name, const TReaderProc&, const TWriterProc& writeData, bool hasData) override {
    if (!hasData || !writeData) return;
    value_.clear();
    listDepth_ = 0;
    writeData(*this);
    if (!value_.empty()) Line(prefix_ + name + " = " + value_);
  }

  void DefineBinaryProperty(const std::string& name, const TStreamProc&, const TStreamProc& writeData,
                            bool hasData) override {
    if (!hasData || !writeData) return;
    TMemoryStream data;
    writeData(data);
    static const char kHex[] = "0123456789ABCDEF";
    std::string text = prefix_ + name + " = {";
    const uint8_t* p = data.Memory();
    int64_t n = data.Size();
    std::string pad(size_t(indent_ + 1) * 2, ' ');
    for (int64_t i = 0; i < n; ++i) {
      if (i % 32 == 0) text += "\r\n" + pad;
      text += kHex[p[i] >> 4];
      text += kHex[p[i] & 15];
    }
    Line(text + "}");
  }

  void WriteString(const std::string& value) override { Value(Quote(NarrowToUtf16(value))); }
#ifdef _WIN32
  void WriteWideString(const WideString& value) override {
    Value(Quote(std::u16string(value.begin(), value.end())));
  }
#endif
  void WriteInteger(int64_t value) override { Value(IntToStr(value)); }
  void WriteBoolean(bool value) override { Value(value ? "True" : "False"); }
  void WriteIdent(const std::string& ident) override { Value(ident); }
  void WriteListBegin() override {
    Value("(");
    ++listDepth_;
  }
  void WriteListEnd() override {
    if (listDepth_ > 0) --listDepth_;
    value_ += ')';
  }

private:
  void Line(const std::string& s) {
    out_.append(size_t(indent_) * 2, ' ');
    out_ += s;
    out_ += "\r\n";
  }

  // Values inside a list stand one to a line, indented under the property.
  void Value(const std::string& text) {
    if (listDepth_ > 0)
      value_ += "\r\n" + std::string(size_t(indent_ + 1 + listDepth_) * 2, ' ');
    else if (!value_.empty())
      value_ += ' ';
    value_ += text;
  }

  std::string Reference(TComponent* c) const {
    if (c->Name().empty()) return {};
    if (c == root_ || c->Owner() == root_ || !c->Owner()) return c->Name();
    if (c->Owner()->Name().empty()) return {};
    return c->Owner()->Name() + "." + c->Name();
  }

  void WriteObject(TComponent* c, int depth) {
    if (depth > kMaxDepth) throw EWriteError("Components nest too deep to be written");
    Line("object " + (c->Name().empty() ? c->ClassName() : c->Name() + ": " + c->ClassName()));
    ++indent_;
    c->SetWritingState(true);
    try {
      WriteProps(c, "", 0);
      c->GetChildren([&](TComponent* child) { WriteObject(child, depth + 1); }, root_);
    } catch (...) {
      c->SetWritingState(false);
      throw;
    }
    c->SetWritingState(false);
    --indent_;
    Line("end");
  }

  void WriteProps(TObject* obj, const std::string& prefix, int depth) {
    if (depth > kMaxDepth) throw EWriteError("Properties nest too deep to be written");
    for (const TPropInfo* p : GetPropList(obj->ClassType())) {
      if (!p->IsStored || !p->Get) continue;
      TPropValue v = p->Get(obj);
      std::string head = prefix + p->Name + " = ";
      switch (p->Kind()) {
        case tkInteger:
        case tkEnumeration:
        case tkSet: {
          int64_t i = std::get<int64_t>(v);
          if (!p->Set || (p->HasDefault && i == p->DefaultValue)) break;
          if (p->Kind() == tkEnumeration) {
            Line(head + GetEnumName(p->Type, i));
          } else if (p->Kind() == tkSet) {
            Line(head + SetToString(p->Type, i));
          } else {
            auto& idents = p->Type->Idents;
            auto it = std::find_if(idents.begin(), idents.end(), [&](const TIdentMapEntry& e) { return e.Value == i; });
            Line(head + (it != idents.end() ? std::string(it->Name) : IntToStr(i)));
          }
          break;
        }
        case tkLString: {
          const std::string& s = std::get<std::string>(v);
          if (p->Set && !s.empty()) Line(head + Quote(NarrowToUtf16(s)));
          break;
        }
#ifdef _WIN32
        case tkWString: {
          const WideString& s = std::get<WideString>(v);
          if (p->Set && !s.empty()) Line(head + Quote(std::u16string(s.begin(), s.end())));
          break;
        }
#endif
        case tkClass: {
          TObject* o = std::get<TObject*>(v);
          if (!o) break;
          if (auto* c = dyn<TComponent>(o)) {
            std::string ref = p->Set ? Reference(c) : std::string();
            if (!ref.empty()) Line(head + ref);
          } else if (auto* coll = dyn<TCollection>(o)) {
            WriteCollection(coll, head, depth);
          } else {
            WriteProps(o, prefix + p->Name + ".", depth + 1);
          }
          break;
        }
        case tkMethod: {
          auto* c = dyn<TComponent>(obj);
          if (!p->Set || !c || !std::get<TMethod>(v).Assigned()) break;
          std::string handler = c->MethodName(p->Name);
          if (!handler.empty()) Line(head + handler);
          break;
        }
        default:
          break;
      }
    }
    if (auto* per = dyn<TPersistent>(obj)) {
      std::string saved = prefix_;
      prefix_ = prefix;
      per->DefineProperties(*this);
      prefix_ = saved;
    }
  }

  void WriteCollection(TCollection* coll, const std::string& head, int depth) {
    if (coll->Count() == 0) return;
    Line(head + "<");
    ++indent_;
    for (int i = 0; i < coll->Count(); ++i) {
      Line("item");
      ++indent_;
      WriteProps(coll->Items(i), "", depth + 1);
      --indent_;
      Line(i + 1 == coll->Count() ? "end>" : "end");
    }
    --indent_;
  }

  TComponent* root_;
  std::string out_, value_, prefix_;
  int indent_ = 0, listDepth_ = 0;
};

}  // namespace

void ReadComponentText(const std::string& text, TComponent* root) {
  if (!root) throw EReadError("No component to read into");
  FObject top = Parser(text).ParseFile();
  FormReader(root).Run(top);
}

void ReadComponentStream(TStream& stream, TComponent* root) { ReadComponentText(ReadStreamToEnd(stream), root); }

TComponent* CreateComponentFromText(const std::string& text, TComponent* owner) {
  FObject top = Parser(text).ParseFile();
  TClass cls = GetClass(top.cls);
  if (!cls) throw EClassNotFound(At(top.line) + "Class " + top.cls + " not found");
  if (!cls->Create) throw EReadError(At(top.line) + "Class " + top.cls + " cannot be created from a form file");
  std::unique_ptr<TComponent> root(cls->Create(owner));
  FormReader(root.get()).Run(top);
  return root.release();
}

std::string WriteComponentText(TComponent* root) {
  if (!root) return {};
  return FormWriter(root).Run();
}

#ifdef _WIN32
void ReadComponentRes(HINSTANCE__* instance, const std::string& resName, TComponent* root) {
  TResourceStream res(instance, resName);
  ReadComponentStream(res, root);
}
#endif

int RegisterFindGlobalComponent(TFindGlobalComponent finder) {
  static int next = 0;
  Finders().emplace_back(++next, std::move(finder));
  return next;
}

void UnregisterFindGlobalComponent(int token) {
  auto& f = Finders();
  f.erase(std::remove_if(f.begin(), f.end(), [token](const auto& e) { return e.first == token; }), f.end());
}

void GlobalFixupReferences() {
  auto& list = GlobalFixups();
  for (size_t i = 0; i < list.size();) {
    TComponent* root = FindGlobalRoot(list[i].rootName);
    if (!root || root->HasState(csLoading)) {
      ++i;
      continue;
    }
    // The root exists: the reference is settled now, or never.
    GlobalFixup f = list[i];
    list.erase(list.begin() + std::ptrdiff_t(i));
    if (TComponent* target = root->FindComponent(f.name)) SetObjectValue(f.obj, f.prop, target);
  }
}

void RemoveFixupReferences(TComponent* instance) {
  auto& list = GlobalFixups();
  list.erase(std::remove_if(list.begin(), list.end(), [instance](const GlobalFixup& f) { return f.instance == instance; }),
             list.end());
}
