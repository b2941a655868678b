// Karo's scratch-pad files.
#include "app/scratch_pads.h"

#include <windows.h>

#include "app/karo_data_module.h"
#include "app/karo_text.h"

namespace {

WideString LastError() { return WideSysErrorMessage(GetLastError()); }

bool Exists(const WideString& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

WideString Grouped(uint64_t n) {
  WideString digits = std::to_wstring(n), out;
  for (size_t i = 0; i < digits.size(); i++) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += L',';
    out += digits[i];
  }
  return out;
}

}  // namespace

WideString ScratchPadName(int pad) { return WideString(1, wchar_t(0x2460 + pad - 1)); }

WideString ScratchPadPath(int pad) { return KaroProgramFolder() + L"Data\\" + ScratchPadName(pad) + L".txt"; }

WideString DecodeScratchPad(const std::string& bytes, bool* exact) {
  auto starts = [&](const char* mark, size_t n) { return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0; };
  const std::string_view all(bytes);
  WideString text;
  bool ok = true;
  if (starts("\xEF\xBB\xBF", 3))
    ok = DecodeUtf8Exactly(all.substr(3), text);
  else if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2))
    ok = DecodeUtf16Exactly(all.substr(2), starts("\xFE\xFF", 2), text);
  else
    ok = DecodeAnsiExactly(all, kScratchPadCodePage, text);
  // A memo ends its text at the first NUL.
  if (text.find(L'\0') != WideString::npos) ok = false;
  if (exact) *exact = ok;
  return text;
}

std::string EncodeScratchPad(const WideString& text) {
  bool lost = false;
  std::string gbk = WideToAnsi(text, kScratchPadCodePage, &lost);
  if (!lost) return gbk;
  return "\xEF\xBB\xBF" + WideToUtf8(text);
}

void RecoverScratchPad(const WideString& path) {
  const WideString temp = path + L".new";
  const DWORD attributes = GetFileAttributesW(temp.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (Exists(path))
    DeleteFileW(temp.c_str());
  else
    MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
}

TScratchPadFile ReadScratchPad(const WideString& path) {
  TScratchPadFile pad;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return pad;
    pad.Exists = true;
    pad.KeptBecause = L"its file cannot be opened (" + WideSysErrorMessage(error) + L")";
    return pad;
  }
  pad.Exists = true;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file, &size) && uint64_t(size.QuadPart) > kScratchPadSizeLimit) {
    CloseHandle(file);
    pad.KeptBecause = L"its file is larger than " + std::to_wstring(kScratchPadSizeLimit >> 20) + L" MB (" +
                      Grouped(uint64_t(size.QuadPart)) + L" bytes)";
    return pad;
  }
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk, sizeof(chunk), &got, nullptr)) && got > 0) {
    bytes.append(chunk, got);
    // Grown while it was being read: still not a pad for a memo.
    if (bytes.size() > kScratchPadSizeLimit) break;
  }
  const DWORD error = ok ? 0 : GetLastError();
  CloseHandle(file);
  if (!ok) {
    pad.KeptBecause = L"its file cannot be read (" + WideSysErrorMessage(error) + L")";
  } else if (bytes.size() > kScratchPadSizeLimit) {
    pad.KeptBecause = L"its file is larger than " + std::to_wstring(kScratchPadSizeLimit >> 20) + L" MB";
  } else {
    pad.Text = DecodeScratchPad(bytes, &pad.Exact);
  }
  return pad;
}

WideString LoadScratchPad(const WideString& path) { return ReadScratchPad(path).Text; }

WideString ScratchPadOriginalPath(const WideString& path) {
  for (int i = 1;; i++) {
    const WideString name = path + L".orig" + (i == 1 ? WideString() : std::to_wstring(i));
    if (!Exists(name)) return name;
  }
}

WideString KeepScratchPadOriginal(const WideString& path, WideString* kept) {
  for (int tries = 0; tries < 100; tries++) {
    const WideString name = ScratchPadOriginalPath(path);
    if (CopyFileW(path.c_str(), name.c_str(), TRUE)) {
      if (kept) *kept = name;
      return {};
    }
    // Taken between the look and the copy: the next free name.
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return L"its original cannot be kept beside it (" + LastError() + L")";
}

WideString WriteScratchPad(const WideString& path, const WideString& text) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return L"its file is marked read-only";
  const std::string bytes = EncodeScratchPad(text);
  const WideString temp = path + L".new";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size());
  ok = ok && FlushFileBuffers(file);
  WideString error = ok ? WideString() : LastError();
  CloseHandle(file);
  if (ok && !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    error = LastError();
  }
  if (!ok) DeleteFileW(temp.c_str());
  return error;
}

void SaveScratchPad(const WideString& path, const WideString& text) {
  const WideString error = WriteScratchPad(path, text);
  if (!error.empty()) throw EFCreateError("Cannot create file \"" + WideToAnsi(path) + "\". " + WideToAnsi(error));
}
