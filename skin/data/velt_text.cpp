#include "skin/data/velt_text.h"

#include <charconv>
#include <string>

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

// Digits collect into the current number; any other character stores it as the next of red,
// green and blue. A number too large for a 32-bit integer is not stored and its digits stay
// pending. At the end the pending digits count only as the third number (so "10 20" is red 10
// and green 0). Each channel takes its number's low byte; numbers after the third are ignored.
TColor strcolor(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  text = text.substr(b, e - b);
  if (text.empty()) return 0;

  int32_t parts[3] = {0, 0, 0};
  int stored = 0;
  std::string digits;
  auto convert = [](const std::string& d, int32_t& out) {
    auto r = std::from_chars(d.data(), d.data() + d.size(), out);
    return r.ec == std::errc() && r.ptr == d.data() + d.size();
  };
  for (char c : text) {
    if (IsDigit(c)) {
      digits += c;
      continue;
    }
    if (digits.empty()) continue;
    int32_t value;
    if (!convert(digits, value)) continue;  // too large: the digits stay pending
    if (stored < 3) parts[stored++] = value;
    digits.clear();
  }
  if (!digits.empty() && stored == 2) {
    int32_t value;
    if (convert(digits, value)) parts[2] = value;
  }
  return RGBToColor(uint8_t(parts[0] & 0xFF), uint8_t(parts[1] & 0xFF), uint8_t(parts[2] & 0xFF));
}

#ifdef _WIN32
#include <vector>

#include "classlib/controls/control_atom.h"

UINT DefaultUserCodePage = 0;
bool Win32PlatformIsUnicode = (GetVersion() & 0x80000000u) == 0;

WideString StrToWideStr(const AnsiString& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(DefaultUserCodePage, 0, s.data(), int(s.size()), nullptr, 0);
  if (n <= 0) return {};
  WideString out(size_t(n), L'\0');
  n = MultiByteToWideChar(DefaultUserCodePage, 0, s.data(), int(s.size()), out.data(), n);
  out.resize(size_t(n > 0 ? n : 0));
  return out;
}

AnsiString WideStringToStringEx(const WideString& ws) {
  if (ws.empty()) return {};
  int n = WideCharToMultiByte(DefaultUserCodePage, 0, ws.data(), int(ws.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  AnsiString out(size_t(n), '\0');
  n = WideCharToMultiByte(DefaultUserCodePage, 0, ws.data(), int(ws.size()), out.data(), n, nullptr, nullptr);
  out.resize(size_t(n > 0 ? n : 0));
  return out;
}

WideString _WStr(const wchar_t* text, int count) {
  if (!text) return {};
  if (count == -1) return WideString(text);
  if (count < 0) return {};
  return WideString(text, size_t(count));
}

int Tnt_DrawTextW(HDC dc, const WideString& text, RECT& rect, UINT format) {
  if (Win32PlatformIsUnicode) {
    // DT_MODIFYSTRING may write up to four characters past the text: draw from a copy with room.
    std::vector<wchar_t> buf(text.begin(), text.end());
    buf.resize(text.size() + 5, L'\0');
    return DrawTextW(dc, buf.data(), int(text.size()), &rect, format);
  }
  WideString w = _WStr(text.c_str(), -1);
  std::string ansi;
  if (!w.empty()) {
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    if (n > 0) {
      ansi.assign(size_t(n), '\0');
      WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), ansi.data(), n, nullptr, nullptr);
    }
  }
  std::vector<char> buf(ansi.begin(), ansi.end());
  buf.resize(ansi.size() + 5, '\0');
  return DrawTextA(dc, buf.data(), -1, &rect, format);
}

TWinControl* FindControlx(HWND wnd) {
  if (!wnd || !ControlAtom) return nullptr;
  return static_cast<TWinControl*>(GetPropW(wnd, MAKEINTATOM(ControlAtom)));
}
#endif
