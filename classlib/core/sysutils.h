// Run-time basics of the class-library layer: the exception hierarchy and the string and number
// routines that the library and Karo use. Plain standard C++: also built natively.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

// Narrow strings hold bytes in the ANSI code page (or plain ASCII); wide strings are UTF-16
// and exist only in the Windows builds, where wchar_t is 16 bits.
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
KARO_EXCEPTION(EComponentError, Exception);
KARO_EXCEPTION(EOSError, Exception);
