// Karo's language file "Data\Language.ini" beside the program: the settings section "Language"
// (the chosen skin and region) and one section of texts per region, read and written through the
// platform's wide profile calls. Windows only.
#pragma once

#include "classlib/core/sysutils.h"

// Program folder + "Data\Language.ini".
WideString KaroLanguageFilePath();

// One file object per read or write, as the settings are only touched at start-up and on a choice.
class TKaroLanguageFile {
public:
  explicit TKaroLanguageFile(WideString path) : path_(std::move(path)) {}
  const WideString& FileName() const { return path_; }
  // The value of the key, or Default when the file, the section or the key is missing. A value
  // the file writes between double quotes comes without them, so a label keeps its blanks.
  WideString ReadString(const WideString& section, const WideString& key, const WideString& def) const;
  // Raises EIniFileException "Unable to write to <file>" when the platform refuses the write.
  void WriteString(const WideString& section, const WideString& key, const WideString& value) const;

private:
  WideString path_;
};

KARO_EXCEPTION(EIniFileException, Exception);
