// String lists: TStrings (the abstract list of ANSI strings with objects, text, name=value
// lines and files) and TStringList (the list that keeps its strings itself); on Windows also
// TWideStrings and TWideStringList, the same over wide strings.
//
// Text files. A list remembers how the last file it read was encoded (Encoding: a UTF-8 or
// UTF-16 byte-order mark, or none: ANSI) and writes its files the same way, byte-order mark
// included; a new list writes ANSI text. Lines end with CR LF when written; when read, CR, LF
// and CR LF each end a line and a NUL character ends the text.
// - TStrings holds narrow strings. Text read from a UTF-8 or UTF-16 file is converted to the
//   narrow text of the build: on Windows the ANSI code page, where characters it lacks become
//   its default character; natively UTF-8 (UTF-8 bytes are kept as they are). What needs every
//   character whatever the ANSI code page (Karo's scratch pads and language texts) uses
//   TWideStringList.
// - TWideStringList holds UTF-16: UTF-8 and UTF-16 files are read and written faithfully, and
//   ANSI files are read and written in CodePage (0: the system's ANSI code page), so a file
//   known to be in, say, code page 936 is read right on any system.
#pragma once

#include <string>
#include <vector>

#include "classlib/core/persistent.h"
#include "classlib/core/streams.h"
#include "classlib/core/sysutils.h"

enum TTextEncoding { teAnsi, teUTF8, teUTF16LE, teUTF16BE };

template <class S> class TBasicStrings : public TPersistent {
public:
  using StringType = S;

  int Count() const { return GetCount(); }
  // Raise EStringListError ("List index out of bounds (n)") for a bad index, as do all
  // operations that take one.
  S Strings(int index) const { return Get(index); }
  void SetStrings(int index, const S& s) { Put(index, s); }
  virtual TObject* Objects(int index) const;
  virtual void PutObject(int index, TObject* obj);

  virtual int Add(const S& s);
  int AddObject(const S& s, TObject* obj);
  virtual void Insert(int index, const S& s) = 0;
  void InsertObject(int index, const S& s, TObject* obj);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Appends the strings and objects of source.
  void AddStrings(const TBasicStrings& source);

  // Comparisons ignore ASCII letter case (unless a TStringList is made case-sensitive).
  virtual int IndexOf(const S& s) const;
  int IndexOfObject(const TObject* obj) const;
  // Name=value lines: the name is the text before the first "=" (empty without one).
  int IndexOfName(const S& name) const;
  S Names(int index) const;
  S ValueFromIndex(int index) const;
  S Values(const S& name) const;
  // An empty value deletes the line; a name not yet present adds one.
  void SetValues(const S& name, const S& value);

  // Every string followed by CR LF.
  S Text() const;
  // Replaces the strings by the lines of text (see above); nothing follows a last line break.
  void SetText(const S& text);

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  TTextEncoding Encoding() const { return encoding_; }
  void SetEncoding(TTextEncoding e) { encoding_ = e; }
  unsigned CodePage() const { return codePage_; }
  void SetCodePage(unsigned cp) { codePage_ = cp; }

  // Reads the stream from its position to its end.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;
#ifdef _WIN32
  void LoadFromFile(const WideString& fileName);
  void SaveToFile(const WideString& fileName) const;
#endif

  // Takes over the strings and objects of another list (on Windows also of the other width,
  // converted through the ANSI code page); a list assigned to itself keeps its strings.
  void Assign(TPersistent* source) override;
  // The strings stand in form files as the list property "Strings".
  void DefineProperties(TFiler& filer) override;

protected:
  virtual S Get(int index) const = 0;
  virtual int GetCount() const = 0;
  virtual void Put(int index, const S& s);
  virtual void SetUpdateState(bool updating) { (void)updating; }
  virtual bool SameString(const S& a, const S& b) const;
  [[noreturn]] void Error(int index) const;

private:
  S Decode(const std::string& bytes);
  std::string Encode(const S& text) const;

  int updateCount_ = 0;
  TTextEncoding encoding_ = teAnsi;
  unsigned codePage_ = 0;
};

// A list that keeps its strings and objects (the objects are not owned).
template <class Base> class TBasicStringList : public Base {
public:
  using S = typename Base::StringType;

  // Fired around every change while no update is open, and once at EndUpdate.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  void Insert(int index, const S& s) override;
  void Delete(int index) override;
  void Clear() override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* obj) override;
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool on) { caseSensitive_ = on; }

protected:
  S Get(int index) const override;
  int GetCount() const override { return int(items_.size()); }
  void Put(int index, const S& s) override;
  void SetUpdateState(bool updating) override;
  bool SameString(const S& a, const S& b) const override;
  void Changing();
  void Changed();

private:
  struct Item {
    S str;
    TObject* obj = nullptr;
  };
  std::vector<Item> items_;
  bool caseSensitive_ = false;
};

class TStrings : public TBasicStrings<std::string> {
  KARO_CLASS(TStrings)
};

class TStringList : public TBasicStringList<TStrings> {
  KARO_CLASS(TStringList)
public:
  TStringList() = default;
};

extern template class TBasicStrings<std::string>;
extern template class TBasicStringList<TStrings>;

#ifdef _WIN32
class TWideStrings : public TBasicStrings<WideString> {
  KARO_CLASS(TWideStrings)
};

class TWideStringList : public TBasicStringList<TWideStrings> {
  KARO_CLASS(TWideStringList)
public:
  TWideStringList() = default;
};

extern template class TBasicStrings<WideString>;
extern template class TBasicStringList<TWideStrings>;
#endif
