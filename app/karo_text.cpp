// Exact text decoding and wide error messages.
#include "app/karo_text.h"

#include <windows.h>

bool DecodeUtf8Exactly(std::string_view bytes, WideString& out) {
  out.clear();
  if (bytes.empty()) return true;
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
  if (n > 0) {
    out.resize(size_t(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), out.data(), n);
    return true;
  }
  out = AnsiToWide(bytes, CP_UTF8);
  return false;
}

bool DecodeAnsiExactly(std::string_view bytes, unsigned codePage, WideString& out) {
  out.clear();
  if (bytes.empty()) return true;
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
  if (n <= 0) {
    out = AnsiToWide(bytes, codePage);
    return false;
  }
  out.resize(size_t(n));
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), out.data(), n);
  // A code page may take two byte sequences for one character: only the same bytes back count.
  bool lost = false;
  return WideToAnsi(out, codePage, &lost) == bytes && !lost;
}

bool DecodeUtf16Exactly(std::string_view bytes, bool bigEndian, WideString& out) {
  out.clear();
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned first = uint8_t(bytes[i]), second = uint8_t(bytes[i + 1]);
    out += wchar_t(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  bool exact = bytes.size() % 2 == 0;
  for (size_t i = 0; i < out.size() && exact; i++) {
    const wchar_t c = out[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF)
        i++;
      else
        exact = false;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      exact = false;
    }
  }
  return exact;
}

WideString WideSysErrorMessage(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  WideString text = n && buffer ? Trim(std::wstring_view(buffer, n)) : L"System error " + std::to_wstring(code);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && text.back() == L'.') text.pop_back();
  return text;
}
