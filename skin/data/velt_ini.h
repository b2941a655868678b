// TQuickIni (unit VeltIni): an INI text held in memory, with look-ups by section and key, the
// writers, and its plain and compressed (4-byte size + LZHUF) file forms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/core/objects.h"
#include "classlib/core/streams.h"
#include "classlib/core/string_list.h"

class TQuickIni : public TObject {
  KARO_CLASS(TQuickIni)
public:
  TQuickIni();
  ~TQuickIni() override;

  // Replaces the content by the text from the stream's position to its end (a NUL ends it
  // early): lines trimmed, empty lines and lines beginning with ";" dropped. A null stream
  // changes nothing.
  void LoadFromStream(TStream* Stream);
  // Opens the file for reading (others may read it, not write it).
  void LoadFromFile(const std::string& FileName);
  // The file holds a 4-byte size and the LZHUF stream of the text.
  void LoadFromZip(const std::string& FileName);
#ifdef _WIN32
  void LoadFromFile(const WideString& FileName);
  void LoadFromZip(const WideString& FileName);
#endif
  // The lines become a copy of Strings as they are (untrimmed, nothing dropped).
  void SetIniFile(TStrings& Strings);
  void RebuildSections();
  void Clear();
  void SetFileName(const std::string& Name);
  const std::string& FileName() const { return fileName_; }

  // Sections are found without regard to ASCII case; keys are matched by the lower-case Ident
  // against the trimmed, lower-cased names of the key lines. An empty value gives Default.
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
  // Decimal, or hexadecimal after "$" or a leading "0x": up to eight hex digits give the 32-bit
  // pattern, so system colours (0xFF0000xx) read as the negative values they are. Text that
  // does not convert, or lies outside 32 bits, gives Default.
  int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) const;
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
  // Clears Strings and fills it with the lower-case names of the section's key lines.
  void ReadSection(const std::string& Section, TStrings& Strings) const;
  // Clears Strings and fills it with the section's key lines whole.
  void ReadSectionValues(const std::string& Section, TStrings& Strings) const;
  // Appends one entry per section header, in order and with repeats, without its brackets.
  void ReadSections(TStrings& Strings) const;

  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
  void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
  // Deletes the first key line whose name equals Ident as given (so only a lower-case Ident
  // can match).
  void DeleteKey(const std::string& Section, const std::string& Ident);
  void EraseSection(const std::string& Section);

  // The lines, each followed by CR LF (nothing for a null stream).
  void SaveToStream(TStream* Stream) const;
  void SaveToFile(const std::string& FileName) const;
  void SavetoZip(const std::string& FileName) const;
#ifdef _WIN32
  void SaveToFile(const WideString& FileName) const;
  void SavetoZip(const WideString& FileName) const;
#endif

  // The compressed form: Source holds the 4-byte size and the LZHUF stream; Dest gets the text.
  static void Decompress(TStream& Source, TStream& Dest);
  static void Compress(TStream& Source, TStream& Dest);

  // The lines as held (for inspection).
  const TStrings& Lines() const { return lines_; }

private:
  struct Header {
    std::string text;  // as stored in the lines, brackets included
    int line;
  };

  struct LineRange {
    int begin, end;
  };

  int FindSection(const std::string& Section) const;
  // The key lines of the section (an empty range when it is missing).
  LineRange KeyLines(const std::string& Section) const;
  // The line after the last key line of the section whose header is at line `header`.
  int SectionEnd(int header) const;
  void ShiftHeaders(int fromLine, int delta);
  template <class FileNameT> void LoadZip(const FileNameT& FileName);
  template <class FileNameT> void SaveZip(const FileNameT& FileName) const;

  std::string fileName_;
  TStringList lines_;
  std::vector<Header> sections_;
};
