// Run-time basics of the class-library layer: the exception hierarchy and the string, number,
// file-name and text-conversion routines that the library and Karo use. Plain standard C++
// (also built natively); the code-page routines and the wide overloads exist only on Windows.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

// Narrow strings hold bytes in the ANSI code page (or plain ASCII); wide strings are UTF-16
// and exist only in the Windows builds, where wchar_t is 16 bits. In the native build the
// narrow text of the run-time is UTF-8, which is what the conversions below assume there.
using AnsiString = std::string;
#ifdef _WIN32
using WideString = std::wstring;
#endif

// Base of every error the layer raises. Carries a message, as the platform's exceptions do,
// and its own class name so the default handler and tests can tell the kinds apart.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }
  void SetMessage(std::string m) { message_ = std::move(m); }
  virtual const char* ClassName() const { return "Exception"; }

private:
  std::string message_;
};

// Declares an exception class with the given base and class name.
#define KARO_EXCEPTION(Name, Base)                                       \
  class Name : public Base {                                             \
  public:                                                                \
    using Base::Base;                                                    \
    const char* ClassName() const override { return #Name; }            \
  }

KARO_EXCEPTION(EAbort, Exception);
KARO_EXCEPTION(EConvertError, Exception);
KARO_EXCEPTION(EOutOfMemory, Exception);
KARO_EXCEPTION(EInvalidCast, Exception);
KARO_EXCEPTION(EInvalidOperation, Exception);
KARO_EXCEPTION(EListError, Exception);
KARO_EXCEPTION(EStringListError, Exception);
KARO_EXCEPTION(EStreamError, Exception);
KARO_EXCEPTION(EFCreateError, EStreamError);
KARO_EXCEPTION(EFOpenError, EStreamError);
KARO_EXCEPTION(EFilerError, EStreamError);
KARO_EXCEPTION(EReadError, EFilerError);
KARO_EXCEPTION(EWriteError, EFilerError);
KARO_EXCEPTION(EClassNotFound, EFilerError);
KARO_EXCEPTION(EResNotFound, Exception);
KARO_EXCEPTION(EParserError, Exception);
KARO_EXCEPTION(EComponentError, Exception);
KARO_EXCEPTION(EOSError, Exception);

// The platform's message of the invalid type-cast error ("as" with an object of another class).
inline constexpr const char* SInvalidCast = "Invalid class typecast";

// --- Strings (ASCII-only case rules, as the platform's LowerCase, UpperCase and SameText) ---

// Removes leading and trailing characters with codes up to 32 (blanks and control characters).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);
// Compares without regard to ASCII letter case; CompareText gives <0, 0 or >0.
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);

// --- Numbers ---

// Reads a signed 32-bit integer: leading blanks, an optional sign, then decimal digits, or
// hexadecimal digits after "$" or "0x"/"0X". Decimal values must lie in the 32-bit range;
// hexadecimal ones may use all 32 bits and wrap to negative values ("$FFFFFFFF" is -1,
// "0xFF00000F" is -16777201). Nothing else may follow the digits.
bool TryStrToInt(std::string_view s, int32_t& value);
// As TryStrToInt; raises EConvertError ("'x' is not a valid integer value") when s does not convert.
int32_t StrToInt(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);
std::string IntToStr(int64_t value);
// Upper-case hexadecimal digits, at least `digits` of them (the value's two's-complement bits).
std::string IntToHex(int64_t value, int digits);
// Rounds to the nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
int64_t Round(double value);
// printf-style formatting into a narrow string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// --- File names and files ---
// Path separators are "\" and "/" and, for a drive, ":". On Windows the narrow versions skip
// the trail bytes of double-byte characters, so a trail byte equal to "\" splits nothing.

bool FileExists(const std::string& fileName);
// The name after the last separator.
std::string ExtractFileName(const std::string& fileName);
// Everything up to and including the last separator.
std::string ExtractFilePath(const std::string& fileName);
// The extension with its dot ("" when the name part has none).
std::string ExtractFileExt(const std::string& fileName);
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);

// The operating system's text for an error code (errno natively, GetLastError codes on Windows).
std::string SysErrorMessage(int code);
// The last error code of the operating system (errno natively, GetLastError on Windows).
int GetLastOSError();

// --- Text conversions ---

// UTF-8 and UTF-16 from and to each other; malformed input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);
// The narrow text of this build (the ANSI code page on Windows, UTF-8 natively) from and to UTF-16.
std::u16string NarrowToUtf16(std::string_view s);
std::string Utf16ToNarrow(std::u16string_view s);

#ifdef _WIN32
// Code page 0 is the ANSI code page of the system (CP_ACP).
WideString AnsiToWide(std::string_view s, unsigned codePage = 0);
// Characters that the code page lacks become its default character; *lost tells whether any did.
std::string WideToAnsi(std::wstring_view s, unsigned codePage = 0, bool* lost = nullptr);
WideString Utf8ToWide(std::string_view s);
std::string WideToUtf8(std::wstring_view s);

WideString Trim(std::wstring_view s);
bool SameText(std::wstring_view a, std::wstring_view b);
bool FileExists(const WideString& fileName);
WideString ExtractFileName(const WideString& fileName);
WideString ExtractFilePath(const WideString& fileName);
WideString ExtractFileExt(const WideString& fileName);
WideString ChangeFileExt(const WideString& fileName, const WideString& ext);
#endif
