// Karo's six scratch pads: the files "Data\①.txt" .. "Data\⑥.txt" beside the program, their
// encodings, how a pad is read (telling whether its bytes said its text exactly) and its safe
// replacement. Windows only.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/core/sysutils.h"

constexpr int kScratchPadCount = 6;
// The code page the pads are kept in when their text fits it: Karo's own, GBK.
constexpr unsigned kScratchPadCodePage = 936;
// A pad file larger than this is not put into its memo: the memo takes about two seconds per
// megabyte of text at start-up, and a pad is a note, where 1 MiB is half a million characters.
constexpr uint64_t kScratchPadSizeLimit = 1u << 20;

// Program folder + "Data\" + the circled digit of pad 1..6 + ".txt".
WideString ScratchPadPath(int pad);
// The pad's own name, its circled digit "①" .. "⑥".
WideString ScratchPadName(int pad);

// The text of a pad file's bytes: UTF-16 (either order) or UTF-8 after their byte-order marks,
// else GBK. Exact tells whether the text gives back what the bytes said (no broken sequence, no
// odd byte, no NUL that a memo would cut the text at).
WideString DecodeScratchPad(const std::string& bytes, bool* exact = nullptr);
// The bytes a pad is written as: GBK when every character fits, else UTF-8 behind its mark.
std::string EncodeScratchPad(const WideString& text);

// A pad file as read at start-up.
struct TScratchPadFile {
  WideString Text;
  bool Exists = false;
  bool Exact = true;  // the bytes said the text exactly
  // Why the file is left as it is and not put into the memo (too large, unreadable); empty when
  // it was read.
  WideString KeptBecause;
};

// A save cut short leaves "<pad>.new" behind: it goes when the pad is there, and becomes the pad
// when the pad is missing.
void RecoverScratchPad(const WideString& path);
// Reads the pad file; a missing file is an empty pad, one over the size limit or unreadable is
// kept (KeptBecause says why).
TScratchPadFile ReadScratchPad(const WideString& path);
// The text of the pad file (empty when it is missing, kept or unreadable).
WideString LoadScratchPad(const WideString& path);

// The first of "<pad>.orig", "<pad>.orig2", ... that does not exist.
WideString ScratchPadOriginalPath(const WideString& path);
// Copies the pad file to a free original's name, overwriting nothing. The reason it could not, or
// empty when it was kept; Kept receives the name.
WideString KeepScratchPadOriginal(const WideString& path, WideString* kept = nullptr);

// Replaces the file through a temporary file beside it and a rename, so a failed write leaves the
// old pad whole and no temporary file. A file marked read-only is not written. The reason the pad
// could not be written, in the user's words; empty when it was.
WideString WriteScratchPad(const WideString& path, const WideString& text);
// The same, raising EFCreateError when the pad cannot be written.
void SaveScratchPad(const WideString& path, const WideString& text);
