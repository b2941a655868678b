#include "classlib/db/db_variant.h"

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

const char* TypeName(TVarType t) {
  switch (t) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varInteger: return "Integer";
    case varDouble: return "Double";
    case varDate: return "Date";
    case varOleStr: return "String";
  }
  return "Unknown";
}

[[noreturn]] void CastError(TVarType from, const char* to) {
  throw EVariantTypeCastError(std::string("Could not convert variant of type (") + TypeName(from) + ") into type (" +
                              to + ")");
}

// A number in text: optional blanks, a decimal number, optional blanks.
bool TextToDouble(const WideString& s, double& v) {
  std::string a = Trim(WideToUtf8(s));
  if (a.empty()) return false;
  for (char c : a)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  char* end = nullptr;
  v = std::strtod(a.c_str(), &end);
  return end && *end == 0 && std::isfinite(v);
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysIn(int y, int m) {
  static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : d[m - 1];
}

bool TryEncodeDate(int y, int m, int d, TDateTime& out) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysIn(y, m)) return false;
  // Days from 0001-01-01, then moved to the platform's day 0.
  int yy = y - 1;
  int64_t days = int64_t(yy) * 365 + yy / 4 - yy / 100 + yy / 400;
  for (int i = 1; i < m; ++i) days += DaysIn(y, i);
  days += d - 1;
  out = double(days - 693593);
  return true;
}

void DecodeTime(TDateTime t, int& h, int& n, int& s) {
  double frac = std::fabs(t - std::floor(t));
  int64_t secs = int64_t(std::llround(frac * 86400.0));
  if (secs >= 86400) secs = 86399;
  h = int(secs / 3600);
  n = int(secs / 60 % 60);
  s = int(secs % 60);
}

SYSTEMTIME ToSystemTime(TDateTime d) {
  SYSTEMTIME st{};
  int y, m, dd, h, n, s;
  DecodeDate(d, y, m, dd);
  DecodeTime(d, h, n, s);
  st.wYear = WORD(y);
  st.wMonth = WORD(m);
  st.wDay = WORD(dd);
  st.wHour = WORD(h);
  st.wMinute = WORD(n);
  st.wSecond = WORD(s);
  return st;
}

// The order of day, month and year in the system's short date format: a string of 'd', 'm', 'y'.
std::string ShortDateOrder() {
  wchar_t fmt[80] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, fmt, int(sizeof(fmt) / sizeof(fmt[0])));
  std::string order;
  for (const wchar_t* p = fmt; *p; ++p) {
    char c = char(std::towlower(*p));
    if ((c == 'd' || c == 'm' || c == 'y') && order.find(c) == std::string::npos) order += c;
  }
  return order.size() == 3 ? order : "mdy";
}

bool HasTime(TDateTime d) { return std::fabs(d - std::floor(d)) > 1e-9; }

}  // namespace

int64_t Variant::AsInt64() const {
  switch (type_) {
    case varEmpty: return 0;
    case varNull: CastError(type_, "Integer");
    case varInteger: return i_;
    case varDouble:
    case varDate: return Round(d_);
    case varOleStr: {
      double v;
      if (!TextToDouble(s_, v)) CastError(type_, "Integer");
      return Round(v);
    }
  }
  return 0;
}

double Variant::AsDouble() const {
  switch (type_) {
    case varEmpty: return 0;
    case varNull: CastError(type_, "Double");
    case varInteger: return double(i_);
    case varDouble:
    case varDate: return d_;
    case varOleStr: {
      double v;
      if (!TextToDouble(s_, v)) CastError(type_, "Double");
      return v;
    }
  }
  return 0;
}

WideString Variant::AsWideString() const {
  switch (type_) {
    case varEmpty: return L"";
    case varNull: CastError(type_, "String");
    case varInteger: return Utf8ToWide(IntToStr(i_));
    case varDouble: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.15g", d_);
      return Utf8ToWide(buf);
    }
    case varDate: return DateTimeToStr(d_);
    case varOleStr: return s_;
  }
  return L"";
}

TDateTime Variant::AsDate() const {
  switch (type_) {
    case varEmpty: return 0;
    case varNull: CastError(type_, "Date");
    case varInteger: return double(i_);
    case varDouble:
    case varDate: return d_;
    case varOleStr: {
      TDateTime d;
      if (!TryStrToDateTime(s_, d)) CastError(type_, "Date");
      return d;
    }
  }
  return 0;
}

bool Variant::Same(const Variant& o) const {
  if (type_ != o.type_) return false;
  switch (type_) {
    case varEmpty:
    case varNull: return true;
    case varInteger: return i_ == o.i_;
    case varDouble:
    case varDate: return d_ == o.d_;
    case varOleStr: return s_ == o.s_;
  }
  return false;
}

WideString VarToWideStr(const Variant& v) { return v.IsNull() ? WideString() : v.AsWideString(); }

Variant operator+(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Null();
  if (a.VarType() == varOleStr && b.VarType() == varOleStr) return Variant(a.AsWideString() + b.AsWideString());
  if (a.VarType() == varDate || b.VarType() == varDate) return Variant::FromDate(a.AsDouble() + b.AsDouble());
  auto integral = [](const Variant& v) {
    if (v.VarType() == varInteger || v.VarType() == varEmpty) return true;
    return false;
  };
  if (integral(a) && integral(b)) return Variant(a.AsInt64() + b.AsInt64());
  // A text that holds a whole number adds as one.
  double x = a.AsDouble(), y = b.AsDouble(), s = x + y;
  if (std::floor(s) == s && std::fabs(s) < 9e15 && (a.VarType() != varDouble && b.VarType() != varDouble))
    return Variant(int64_t(s));
  return Variant(s);
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
  return d;
}

void DecodeDate(TDateTime d, int& year, int& month, int& day) {
  int64_t days = int64_t(std::floor(d)) + 693593;  // days from 0001-01-01
  int64_t y400 = days / 146097, r = days % 146097;
  int64_t y100 = r / 36524;
  if (y100 == 4) y100 = 3;
  r -= y100 * 36524;
  int64_t y4 = r / 1461;
  r -= y4 * 1461;
  int64_t y1 = r / 365;
  if (y1 == 4) y1 = 3;
  r -= y1 * 365;
  year = int(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
  month = 1;
  while (r >= DaysIn(year, month)) r -= DaysIn(year, month++);
  day = int(r + 1);
}

TDateTime Date() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay);
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay) + (st.wHour * 3600 + st.wMinute * 60 + st.wSecond) / 86400.0;
}

WideString DateToStr(TDateTime d) {
  SYSTEMTIME st = ToSystemTime(d);
  wchar_t buf[80] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, int(sizeof(buf) / sizeof(buf[0])));
  return buf;
}

WideString DateTimeToStr(TDateTime d) {
  WideString s = DateToStr(d);
  if (!HasTime(d)) return s;
  SYSTEMTIME st = ToSystemTime(d);
  wchar_t buf[80] = {};
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, int(sizeof(buf) / sizeof(buf[0])));
  return s + L" " + buf;
}

bool TryStrToDateTime(const WideString& text, TDateTime& d) {
  std::string a = Trim(WideToUtf8(text));
  std::vector<int> nums;
  std::vector<size_t> lens;
  size_t i = 0;
  bool iso = false;
  while (i < a.size() && nums.size() < 6) {
    if (!std::isdigit(static_cast<unsigned char>(a[i]))) return false;
    size_t start = i;
    int v = 0;
    while (i < a.size() && std::isdigit(static_cast<unsigned char>(a[i])) && i - start < 6) v = v * 10 + (a[i++] - '0');
    nums.push_back(v);
    lens.push_back(i - start);
    if (i < a.size()) {
      char sep = a[i];
      if (nums.size() == 1 && sep == '-' && lens[0] == 4) iso = true;
      if (!(sep == '-' || sep == '/' || sep == '.' || sep == ' ' || sep == ':' || sep == 'T')) return false;
      ++i;
      while (i < a.size() && a[i] == ' ') ++i;
    }
  }
  if (i != a.size() || nums.size() < 3 || nums.size() == 4) return false;
  int y, m, dd;
  std::string order = iso ? "ymd" : ShortDateOrder();
  int* slots[3];
  for (int k = 0; k < 3; ++k) slots[k] = order[size_t(k)] == 'y' ? &y : order[size_t(k)] == 'm' ? &m : &dd;
  for (int k = 0; k < 3; ++k) *slots[k] = nums[size_t(k)];
  if (y < 100 && lens[order.find('y')] <= 2) y += y < 50 ? 2000 : 1900;
  if (!TryEncodeDate(y, m, dd, d)) return false;
  if (nums.size() >= 5) {
    int h = nums[3], n = nums[4], s = nums.size() > 5 ? nums[5] : 0;
    if (h > 23 || n > 59 || s > 59) return false;
    d += (h * 3600 + n * 60 + s) / 86400.0;
  }
  return true;
}

TDateTime StrToDate(const WideString& text) {
  TDateTime d;
  if (!TryStrToDateTime(text, d)) throw EConvertError("'" + WideToAnsi(text) + "' is not a valid date");
  return d;
}

std::string DateToIso(TDateTime d) {
  int y, m, dd, h, n, s;
  DecodeDate(d, y, m, dd);
  if (!HasTime(d)) return Format("%04d-%02d-%02d", y, m, dd);
  DecodeTime(d, h, n, s);
  return Format("%04d-%02d-%02d %02d:%02d:%02d", y, m, dd, h, n, s);
}
