#include "classlib/core/sysutils.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

template <class C> bool IsBlank(C c) { return static_cast<uint32_t>(c) <= 32; }

template <class S, class V> S TrimBoth(V s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return S(s.substr(b, e - b));
}

template <class C> C AsciiLower(C c) { return (c >= 'A' && c <= 'Z') ? C(c + ('a' - 'A')) : c; }
template <class C> C AsciiUpper(C c) { return (c >= 'a' && c <= 'z') ? C(c - ('a' - 'A')) : c; }

template <class V> int CompareFolded(V a, V b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<uint32_t>(AsciiLower(a[i]));
    auto y = static_cast<uint32_t>(AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// File names: where the name part begins (just after the last separator) and where its
// extension's dot stands (npos without one). A narrow name on Windows is scanned character by
// character so that double-byte trail bytes are skipped.
template <class C> bool IsPathDelim(C c) { return c == '\\' || c == '/' || c == ':'; }

struct NameParts {
  size_t nameStart = 0;
  size_t dot = std::string::npos;
};

template <class S> NameParts ScanFileName(const S& s) {
  NameParts r;
  for (size_t i = 0; i < s.size(); ++i) {
#ifdef _WIN32
    if constexpr (sizeof(typename S::value_type) == 1) {
      if (IsDBCSLeadByte(static_cast<BYTE>(s[i])) && i + 1 < s.size()) {
        ++i;
        continue;
      }
    }
#endif
    if (IsPathDelim(s[i])) {
      r.nameStart = i + 1;
      r.dot = std::string::npos;
    } else if (s[i] == '.') {
      r.dot = i;
    }
  }
  return r;
}

template <class S> S ExtractName(const S& s) { return s.substr(ScanFileName(s).nameStart); }
template <class S> S ExtractPath(const S& s) { return s.substr(0, ScanFileName(s).nameStart); }
template <class S> S ExtractExt(const S& s) {
  size_t d = ScanFileName(s).dot;
  return d == std::string::npos ? S() : s.substr(d);
}
template <class S> S ChangeExt(const S& s, const S& ext) {
  size_t d = ScanFileName(s).dot;
  return (d == std::string::npos ? s : s.substr(0, d)) + ext;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Trim(std::string_view s) { return TrimBoth<std::string>(s); }

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareFolded(a, b) == 0; }
int CompareText(std::string_view a, std::string_view b) { return CompareFolded(a, b); }

bool TryStrToInt(std::string_view s, int32_t& value) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) return false;
    v = v * (hex ? 16 : 10) + uint64_t(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  if (hex) {
    uint32_t bits = uint32_t(v);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
    return true;
  }
  if (negative) {
    if (v > 0x80000000ull) return false;
    value = static_cast<int32_t>(-static_cast<int64_t>(v));
  } else {
    if (v > 0x7FFFFFFFull) return false;
    value = static_cast<int32_t>(v);
  }
  return true;
}

int32_t StrToInt(std::string_view s) {
  int32_t v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
  return v;
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
  int32_t v;
  return TryStrToInt(s, v) ? v : def;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(int64_t value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  uint64_t v = static_cast<uint64_t>(value);
  std::string r;
  do {
    r.insert(r.begin(), kDigits[v & 0xF]);
    v >>= 4;
  } while (v);
  if (digits > 0 && r.size() < size_t(digits)) r.insert(0, size_t(digits) - r.size(), '0');
  return r;
}

int64_t Round(double value) {
  double f = std::floor(value);
  double diff = value - f;
  if (diff > 0.5) return int64_t(f) + 1;
  if (diff < 0.5) return int64_t(f);
  int64_t i = int64_t(f);
  return (i % 2 == 0) ? i : i + 1;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string r;
  if (n > 0) {
    std::vector<char> buf(size_t(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    r.assign(buf.data(), size_t(n));
  }
  va_end(args);
  return r;
}

std::string ExtractFileName(const std::string& fileName) { return ExtractName(fileName); }
std::string ExtractFilePath(const std::string& fileName) { return ExtractPath(fileName); }
std::string ExtractFileExt(const std::string& fileName) { return ExtractExt(fileName); }
std::string ChangeFileExt(const std::string& fileName, const std::string& ext) { return ChangeExt(fileName, ext); }

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    uint8_t b = uint8_t(s[i]);
    uint32_t cp;
    size_t len;
    if (b < 0x80) {
      cp = b;
      len = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      cp = b & 0x1F;
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      cp = b & 0x0F;
      len = 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      cp = b & 0x07;
      len = 4;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    bool ok = i + len <= s.size();
    for (size_t k = 1; ok && k < len; ++k) {
      uint8_t c = uint8_t(s[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    if (ok && ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
               (cp >= 0xD800 && cp <= 0xDFFF)))
      ok = false;
    if (!ok) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += char16_t(0xD800 + (cp >> 10));
      out += char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      out += char16_t(cp);
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(s[i + 1]) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

#ifdef _WIN32

WideString AnsiToWide(std::string_view s, unsigned codePage) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), nullptr, 0);
  WideString r(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), r.data(), n);
  return r;
}

std::string WideToAnsi(std::wstring_view s, unsigned codePage, bool* lost) {
  if (lost) *lost = false;
  if (s.empty()) return {};
  // UTF-7 and UTF-8 take no default character and report no loss.
  bool canReport = codePage != CP_UTF7 && codePage != CP_UTF8;
  BOOL usedDefault = FALSE;
  BOOL* used = canReport ? &usedDefault : nullptr;
  int n = WideCharToMultiByte(codePage, 0, s.data(), int(s.size()), nullptr, 0, nullptr, used);
  std::string r(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(codePage, 0, s.data(), int(s.size()), r.data(), n, nullptr, used);
  if (lost) *lost = usedDefault != FALSE;
  return r;
}

WideString Utf8ToWide(std::string_view s) {
  std::u16string u = Utf8ToUtf16(s);
  return WideString(u.begin(), u.end());
}

std::string WideToUtf8(std::wstring_view s) {
  return Utf16ToUtf8(std::u16string(s.begin(), s.end()));
}

std::u16string NarrowToUtf16(std::string_view s) {
  WideString w = AnsiToWide(s);
  return std::u16string(w.begin(), w.end());
}

std::string Utf16ToNarrow(std::u16string_view s) { return WideToAnsi(std::wstring(s.begin(), s.end())); }

WideString Trim(std::wstring_view s) { return TrimBoth<WideString>(s); }
bool SameText(std::wstring_view a, std::wstring_view b) { return a.size() == b.size() && CompareFolded(a, b) == 0; }

bool FileExists(const std::string& fileName) {
  DWORD a = GetFileAttributesA(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const WideString& fileName) {
  DWORD a = GetFileAttributesW(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

WideString ExtractFileName(const WideString& fileName) { return ExtractName(fileName); }
WideString ExtractFilePath(const WideString& fileName) { return ExtractPath(fileName); }
WideString ExtractFileExt(const WideString& fileName) { return ExtractExt(fileName); }
WideString ChangeFileExt(const WideString& fileName, const WideString& ext) { return ChangeExt(fileName, ext); }

std::string SysErrorMessage(int code) {
  char* buf = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                               FORMAT_MESSAGE_ARGUMENT_ARRAY,
                           nullptr, DWORD(code), 0, reinterpret_cast<char*>(&buf), 0, nullptr);
  std::string r;
  if (n && buf) r.assign(buf, n);
  if (buf) LocalFree(buf);
  r = Trim(r);
  while (!r.empty() && r.back() == '.') r.pop_back();
  return r;
}

int GetLastOSError() { return int(GetLastError()); }

#else

std::u16string NarrowToUtf16(std::string_view s) { return Utf8ToUtf16(s); }
std::string Utf16ToNarrow(std::u16string_view s) { return Utf16ToUtf8(s); }

bool FileExists(const std::string& fileName) {
  struct stat st;
  return ::stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string SysErrorMessage(int code) { return std::strerror(code); }
int GetLastOSError() { return errno; }

#endif
