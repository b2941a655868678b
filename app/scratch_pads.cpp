// Karo's scratch-pad files.
#include "app/scratch_pads.h"

#include <windows.h>

#include "app/karo_data_module.h"

namespace {

std::string LastError() { return SysErrorMessage(int(GetLastError())); }

}  // namespace

WideString ScratchPadPath(int pad) {
  return KaroProgramFolder() + L"Data\\" + WideString(1, wchar_t(0x2460 + pad - 1)) + L".txt";
}

WideString DecodeScratchPad(const std::string& bytes) {
  auto starts = [&](const char* mark, size_t n) { return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0; };
  if (starts("\xEF\xBB\xBF", 3)) return Utf8ToWide(std::string_view(bytes).substr(3));
  const bool le = starts("\xFF\xFE", 2), be = starts("\xFE\xFF", 2);
  if (le || be) {
    WideString text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const unsigned lo = uint8_t(bytes[i + (be ? 1 : 0)]), hi = uint8_t(bytes[i + (be ? 0 : 1)]);
      text += wchar_t(lo | hi << 8);
    }
    return text;
  }
  return AnsiToWide(bytes, kScratchPadCodePage);
}

std::string EncodeScratchPad(const WideString& text) {
  bool lost = false;
  std::string gbk = WideToAnsi(text, kScratchPadCodePage, &lost);
  if (!lost) return gbk;
  return "\xEF\xBB\xBF" + WideToUtf8(text);
}

WideString LoadScratchPad(const WideString& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    throw EFOpenError("Cannot open file \"" + WideToAnsi(path) + "\". " + SysErrorMessage(int(error)));
  }
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk, sizeof(chunk), &got, nullptr)) && got > 0) bytes.append(chunk, got);
  const std::string error = ok ? std::string() : LastError();
  CloseHandle(file);
  if (!ok) throw EFOpenError("Cannot read file \"" + WideToAnsi(path) + "\". " + error);
  return DecodeScratchPad(bytes);
}

void SaveScratchPad(const WideString& path, const WideString& text) {
  const std::string bytes = EncodeScratchPad(text);
  const WideString temp = path + L".new";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file \"" + WideToAnsi(path) + "\". " + LastError());
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size());
  ok = ok && FlushFileBuffers(file);
  std::string error = ok ? std::string() : LastError();
  CloseHandle(file);
  if (ok && !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    error = LastError();
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    throw EFCreateError("Cannot create file \"" + WideToAnsi(path) + "\". " + error);
  }
}
