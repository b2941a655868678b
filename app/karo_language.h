// Karo's language file "Data\Language.ini" beside the program: the settings section "Language"
// (the chosen skin and region) and one section of texts per region. The file is read whole and
// kept in the encoding it was found in: UTF-16 or UTF-8 behind a byte-order mark, UTF-8 without
// one when its bytes are UTF-8, else the system's ANSI code page. Windows only.
#pragma once

#include <string>
#include <vector>

#include "classlib/core/sysutils.h"

// Program folder + "Data\Language.ini".
WideString KaroLanguageFilePath();

// The longest value the program takes from the file; a longer one is cut there (no caption, list
// item or label needs more, and the platform refuses windows with captions of megabytes).
constexpr size_t kLanguageValueLimit = 1024;

// One file object per read or write, as the settings are only touched at start-up and on a choice.
class TKaroLanguageFile {
public:
  explicit TKaroLanguageFile(WideString path) : path_(std::move(path)) {}
  const WideString& FileName() const { return path_; }
  // The value of the key, or Default when the file, the section or the key is missing. Section
  // and key names are matched without regard to case, blanks around a key or value do not count,
  // and a value the file writes between quotes comes without them, so a label keeps its blanks.
  WideString ReadString(const WideString& section, const WideString& key, const WideString& def) const;
  // Replaces the key's value, or adds it (and its section), keeping every other line and the
  // file's encoding; the file is replaced through a temporary file beside it. Raises
  // EIniFileException "Unable to write to <file>" when the file cannot be written, is marked
  // read-only, or could not be read exactly (it would come back changed).
  void WriteString(const WideString& section, const WideString& key, const WideString& value) const;

private:
  enum TEncoding { enAnsi, enUtf8, enUtf8Mark, enUtf16LE, enUtf16BE };
  void Load() const;
  // The line of the key in the section, or -1; Section receives the line of the section's header
  // (or -1) and End the line after the section's last one.
  int Find(const WideString& section, const WideString& key, int* sectionLine, int* end) const;

  WideString path_;
  mutable bool loaded_ = false;
  mutable bool exists_ = false;
  mutable bool exact_ = true;
  mutable TEncoding encoding_ = enUtf16LE;
  mutable std::vector<WideString> lines_;
};

KARO_EXCEPTION(EIniFileException, Exception);
