// The variant that field values and parameters are read and written as (Null, integer, floating,
// text, date), with the platform's conversions and their errors, and the date routines the data
// layer needs (the system's short date format). Windows only (wide text).
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "classlib/core/sysutils.h"

// The platform's variant conversion error. It descends from the conversion error here, so a
// handler of conversion errors catches both kinds.
KARO_EXCEPTION(EVariantTypeCastError, EConvertError);

// Days since 30 December 1899, the time as the fraction of a day.
using TDateTime = double;

enum TVarType { varEmpty, varNull, varInteger, varDouble, varDate, varOleStr };

class Variant {
public:
  Variant() = default;
  Variant(int v) : type_(varInteger), i_(v) {}
  Variant(int64_t v) : type_(varInteger), i_(v) {}
  Variant(double v) : type_(varDouble), d_(v) {}
  Variant(const WideString& v) : type_(varOleStr), s_(v) {}
  Variant(const wchar_t* v) : type_(varOleStr), s_(v) {}
  static Variant FromDate(TDateTime d) {
    Variant v;
    v.type_ = varDate;
    v.d_ = d;
    return v;
  }
  static Variant NullValue() {
    Variant v;
    v.type_ = varNull;
    return v;
  }

  TVarType VarType() const { return type_; }
  bool IsNull() const { return type_ == varNull; }
  bool IsEmpty() const { return type_ == varEmpty; }
  // The conversions raise EVariantTypeCastError for Null, and for text that is no number.
  int64_t AsInt64() const;
  int AsInteger() const { return int(AsInt64()); }
  double AsDouble() const;
  WideString AsWideString() const;
  TDateTime AsDate() const;
  operator int() const { return AsInteger(); }
  operator double() const { return AsDouble(); }
  operator WideString() const { return AsWideString(); }

  // Same type and value (Null equals Null here, as a comparison of stored values needs).
  bool Same(const Variant& o) const;

private:
  TVarType type_ = varEmpty;
  int64_t i_ = 0;
  double d_ = 0;
  WideString s_;
};

// The platform's Null and its test.
inline Variant Null() { return Variant::NullValue(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
// Text of any variant, "" for Null.
WideString VarToWideStr(const Variant& v);
// The variant addition: Null with anything gives Null; two texts are joined; a text with a
// number is converted to a number (EVariantTypeCastError when it is none).
Variant operator+(const Variant& a, const Variant& b);

// --- Dates ---
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime d, int& year, int& month, int& day);
TDateTime Date();
TDateTime Now();
// The date in the system's short date format; with a time part when it has one.
WideString DateToStr(TDateTime d);
WideString DateTimeToStr(TDateTime d);
// Reads a date (and optional time) in the system's short date format or as "yyyy-mm-dd".
bool TryStrToDateTime(const WideString& text, TDateTime& d);
// Raises EConvertError "'x' is not a valid date".
TDateTime StrToDate(const WideString& text);
// "yyyy-mm-dd", or "yyyy-mm-dd hh:nn:ss" when there is a time part: how dates are stored.
std::string DateToIso(TDateTime d);
