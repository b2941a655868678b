#include "classlib/core/string_list.h"

#include <type_traits>

#include "classlib/core/filer.h"

KARO_CLASS_INFO(TStrings, TPersistent)
KARO_CLASS_INFO(TStringList, TStrings)
#ifdef _WIN32
KARO_CLASS_INFO(TWideStrings, TPersistent)
KARO_CLASS_INFO(TWideStringList, TWideStrings)
#endif

namespace {

constexpr bool kNarrowIsUtf8 =
#ifdef _WIN32
    false;
#else
    true;
#endif

template <class S> bool SameIgnoringCase(const S& a, const S& b) {
#ifdef _WIN32
  if constexpr (!std::is_same_v<S, std::string>)
    return SameText(std::wstring_view(a), std::wstring_view(b));
  else
#endif
    return SameText(std::string_view(a), std::string_view(b));
}

TTextEncoding DetectBom(const std::string& b, size_t& skip) {
  if (b.size() >= 3 && b.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    skip = 3;
    return teUTF8;
  }
  if (b.size() >= 2 && uint8_t(b[0]) == 0xFF && uint8_t(b[1]) == 0xFE) {
    skip = 2;
    return teUTF16LE;
  }
  if (b.size() >= 2 && uint8_t(b[0]) == 0xFE && uint8_t(b[1]) == 0xFF) {
    skip = 2;
    return teUTF16BE;
  }
  skip = 0;
  return teAnsi;
}

std::u16string DecodeUtf16(const std::string& b, size_t from, bool bigEndian) {
  std::u16string r;
  r.reserve((b.size() - from) / 2);
  size_t i = from;
  for (; i + 1 < b.size(); i += 2) {
    unsigned lo = uint8_t(b[i]), hi = uint8_t(b[i + 1]);
    r += char16_t(bigEndian ? (lo << 8 | hi) : (hi << 8 | lo));
  }
  if (i < b.size()) r += u'\uFFFD';  // an odd last byte
  return r;
}

std::string EncodeUtf16(std::u16string_view s, bool bigEndian) {
  std::string r = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  r.reserve(2 + s.size() * 2);
  for (char16_t c : s) {
    char lo = char(c & 0xFF), hi = char(c >> 8);
    r += bigEndian ? hi : lo;
    r += bigEndian ? lo : hi;
  }
  return r;
}

}  // namespace

// --- TBasicStrings ---

template <class S> TObject* TBasicStrings<S>::Objects(int index) const {
  if (index < 0 || index >= Count()) Error(index);
  return nullptr;
}

template <class S> void TBasicStrings<S>::PutObject(int index, TObject*) {
  if (index < 0 || index >= Count()) Error(index);
}

template <class S> int TBasicStrings<S>::Add(const S& s) {
  int index = Count();
  Insert(index, s);
  return index;
}

template <class S> int TBasicStrings<S>::AddObject(const S& s, TObject* obj) {
  int index = Add(s);
  PutObject(index, obj);
  return index;
}

template <class S> void TBasicStrings<S>::InsertObject(int index, const S& s, TObject* obj) {
  Insert(index, s);
  PutObject(index, obj);
}

template <class S> void TBasicStrings<S>::AddStrings(const TBasicStrings& source) {
  // A copy first, so that a list may be added to itself.
  std::vector<std::pair<S, TObject*>> copy;
  for (int i = 0; i < source.Count(); ++i) copy.emplace_back(source.Get(i), source.Objects(i));
  BeginUpdate();
  try {
    for (auto& [s, o] : copy) AddObject(s, o);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

template <class S> bool TBasicStrings<S>::SameString(const S& a, const S& b) const { return SameIgnoringCase(a, b); }

template <class S> int TBasicStrings<S>::IndexOf(const S& s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameString(Get(i), s)) return i;
  return -1;
}

template <class S> int TBasicStrings<S>::IndexOfObject(const TObject* obj) const {
  for (int i = 0; i < Count(); ++i)
    if (Objects(i) == obj) return i;
  return -1;
}

template <class S> int TBasicStrings<S>::IndexOfName(const S& name) const {
  for (int i = 0; i < Count(); ++i) {
    S line = Get(i);
    size_t eq = line.find('=');
    if (eq != S::npos && SameString(line.substr(0, eq), name)) return i;
  }
  return -1;
}

template <class S> S TBasicStrings<S>::Names(int index) const {
  S line = Get(index);
  size_t eq = line.find('=');
  return eq == S::npos ? S() : line.substr(0, eq);
}

template <class S> S TBasicStrings<S>::ValueFromIndex(int index) const {
  S line = Get(index);
  size_t eq = line.find('=');
  return eq == S::npos ? S() : line.substr(eq + 1);
}

template <class S> S TBasicStrings<S>::Values(const S& name) const {
  int i = IndexOfName(name);
  return i < 0 ? S() : ValueFromIndex(i);
}

template <class S> void TBasicStrings<S>::SetValues(const S& name, const S& value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  S line = name;
  line += '=';
  line += value;
  if (i < 0)
    Add(line);
  else
    Put(i, line);
}

template <class S> S TBasicStrings<S>::Text() const {
  S r;
  for (int i = 0; i < Count(); ++i) {
    r += Get(i);
    r += '\r';
    r += '\n';
  }
  return r;
}

template <class S> void TBasicStrings<S>::SetText(const S& text) {
  BeginUpdate();
  try {
    Clear();
    size_t i = 0, n = text.size();
    while (i < n && text[i] != 0) {
      size_t b = i;
      while (i < n && text[i] != 0 && text[i] != '\r' && text[i] != '\n') ++i;
      Add(text.substr(b, i - b));
      if (i < n && text[i] == '\r') ++i;
      if (i < n && text[i] == '\n') ++i;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

template <class S> void TBasicStrings<S>::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

template <class S> void TBasicStrings<S>::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

template <class S> S TBasicStrings<S>::Decode(const std::string& bytes) {
  size_t skip;
  encoding_ = DetectBom(bytes, skip);
  if constexpr (std::is_same_v<S, std::string>) {
    switch (encoding_) {
      case teAnsi: return bytes;
      case teUTF8: return kNarrowIsUtf8 ? bytes.substr(skip) : Utf16ToNarrow(Utf8ToUtf16(bytes.substr(skip)));
      default: return Utf16ToNarrow(DecodeUtf16(bytes, skip, encoding_ == teUTF16BE));
    }
  } else {
#ifdef _WIN32
    switch (encoding_) {
      case teAnsi: return AnsiToWide(bytes, codePage_);
      case teUTF8: return Utf8ToWide(bytes.substr(skip));
      default: {
        std::u16string u = DecodeUtf16(bytes, skip, encoding_ == teUTF16BE);
        return S(u.begin(), u.end());
      }
    }
#endif
  }
}

template <class S> std::string TBasicStrings<S>::Encode(const S& text) const {
  if constexpr (std::is_same_v<S, std::string>) {
    switch (encoding_) {
      case teAnsi: return text;
      case teUTF8: return "\xEF\xBB\xBF" + (kNarrowIsUtf8 ? text : Utf16ToUtf8(NarrowToUtf16(text)));
      default: return EncodeUtf16(NarrowToUtf16(text), encoding_ == teUTF16BE);
    }
  } else {
#ifdef _WIN32
    switch (encoding_) {
      case teAnsi: return WideToAnsi(text, codePage_);
      case teUTF8: return "\xEF\xBB\xBF" + WideToUtf8(text);
      default: return EncodeUtf16(std::u16string(text.begin(), text.end()), encoding_ == teUTF16BE);
    }
#endif
  }
}

template <class S> void TBasicStrings<S>::LoadFromStream(TStream& stream) { SetText(Decode(ReadStreamToEnd(stream))); }

template <class S> void TBasicStrings<S>::SaveToStream(TStream& stream) const { WriteStreamBytes(stream, Encode(Text())); }

template <class S> void TBasicStrings<S>::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

template <class S> void TBasicStrings<S>::SaveToFile(const std::string& fileName) const {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}

#ifdef _WIN32
template <class S> void TBasicStrings<S>::LoadFromFile(const WideString& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

template <class S> void TBasicStrings<S>::SaveToFile(const WideString& fileName) const {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}
#endif

template <class S> void TBasicStrings<S>::Assign(TPersistent* source) {
  if (source == this) return;
  if (auto* same = dynamic_cast<TBasicStrings<S>*>(source)) {
    BeginUpdate();
    try {
      Clear();
      AddStrings(*same);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
#ifdef _WIN32
  using Other = std::conditional_t<std::is_same_v<S, std::string>, WideString, std::string>;
  if (auto* other = dynamic_cast<TBasicStrings<Other>*>(source)) {
    BeginUpdate();
    try {
      Clear();
      for (int i = 0; i < other->Count(); ++i) {
        if constexpr (std::is_same_v<S, std::string>)
          AddObject(WideToAnsi(other->Strings(i)), other->Objects(i));
        else
          AddObject(AnsiToWide(other->Strings(i)), other->Objects(i));
      }
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
#endif
  TPersistent::Assign(source);
}

template <class S> void TBasicStrings<S>::DefineProperties(TFiler& filer) {
  filer.DefineProperty(
      "Strings",
      [this](TReader& reader) {
        reader.ReadListBegin();
        BeginUpdate();
        try {
          Clear();
          while (!reader.EndOfList()) {
            if constexpr (std::is_same_v<S, std::string>)
              Add(reader.ReadString());
#ifdef _WIN32
            else
              Add(reader.ReadWideString());
#endif
          }
        } catch (...) {
          EndUpdate();
          throw;
        }
        EndUpdate();
        reader.ReadListEnd();
      },
      [this](TWriter& writer) {
        writer.WriteListBegin();
        for (int i = 0; i < Count(); ++i) {
          if constexpr (std::is_same_v<S, std::string>)
            writer.WriteString(Get(i));
#ifdef _WIN32
          else
            writer.WriteWideString(Get(i));
#endif
        }
        writer.WriteListEnd();
      },
      Count() > 0);
}

template <class S> void TBasicStrings<S>::Put(int index, const S& s) {
  TObject* obj = Objects(index);
  Delete(index);
  InsertObject(index, s, obj);
}

template <class S> void TBasicStrings<S>::Error(int index) const {
  throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

// --- TBasicStringList ---

template <class Base> void TBasicStringList<Base>::Insert(int index, const S& s) {
  if (index < 0 || index > int(items_.size())) this->Error(index);
  Changing();
  items_.insert(items_.begin() + index, Item{s, nullptr});
  Changed();
}

template <class Base> void TBasicStringList<Base>::Delete(int index) {
  if (index < 0 || index >= int(items_.size())) this->Error(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

template <class Base> void TBasicStringList<Base>::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

template <class Base> TObject* TBasicStringList<Base>::Objects(int index) const {
  if (index < 0 || index >= int(items_.size())) this->Error(index);
  return items_[size_t(index)].obj;
}

template <class Base> void TBasicStringList<Base>::PutObject(int index, TObject* obj) {
  if (index < 0 || index >= int(items_.size())) this->Error(index);
  Changing();
  items_[size_t(index)].obj = obj;
  Changed();
}

template <class Base> auto TBasicStringList<Base>::Get(int index) const -> S {
  if (index < 0 || index >= int(items_.size())) this->Error(index);
  return items_[size_t(index)].str;
}

template <class Base> void TBasicStringList<Base>::Put(int index, const S& s) {
  if (index < 0 || index >= int(items_.size())) this->Error(index);
  Changing();
  items_[size_t(index)].str = s;
  Changed();
}

template <class Base> void TBasicStringList<Base>::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

template <class Base> bool TBasicStringList<Base>::SameString(const S& a, const S& b) const {
  return caseSensitive_ ? a == b : Base::SameString(a, b);
}

template <class Base> void TBasicStringList<Base>::Changing() {
  if (this->UpdateCount() == 0 && OnChanging) OnChanging(this);
}

template <class Base> void TBasicStringList<Base>::Changed() {
  if (this->UpdateCount() == 0 && OnChange) OnChange(this);
}

template class TBasicStrings<std::string>;
template class TBasicStringList<TStrings>;
#ifdef _WIN32
template class TBasicStrings<WideString>;
template class TBasicStringList<TWideStrings>;
#endif
