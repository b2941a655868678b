// Karo's six scratch pads: the files "Data\①.txt" .. "Data\⑥.txt" beside the program, their
// encodings and their safe replacement. Windows only.
#pragma once

#include <string>

#include "classlib/core/sysutils.h"

constexpr int kScratchPadCount = 6;
// The code page the pads are kept in when their text fits it: Karo's own, GBK.
constexpr unsigned kScratchPadCodePage = 936;

// Program folder + "Data\" + the circled digit of pad 1..6 + ".txt".
WideString ScratchPadPath(int pad);

// The text of a pad file's bytes: UTF-16 (either order) or UTF-8 after their byte-order marks,
// else GBK.
WideString DecodeScratchPad(const std::string& bytes);
// The bytes a pad is written as: GBK when every character fits, else UTF-8 behind its mark.
std::string EncodeScratchPad(const WideString& text);

// The text of the pad file; a missing file is an empty pad. Other read errors raise EFOpenError.
WideString LoadScratchPad(const WideString& path);
// Replaces the file through a temporary file beside it and a rename, so a failed write leaves the
// old pad whole. Raises EFCreateError when the pad cannot be written.
void SaveScratchPad(const WideString& path, const WideString& text);
