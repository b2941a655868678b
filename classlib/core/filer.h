// Filers: what a component's DefineProperties sees while a form file is read or written. A
// component defines its non-published data there, either as a value property (read and
// written through TReader and TWriter, such as the lines of a string list) or as a binary
// property (a stream of bytes, such as a stored skin image).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/core/objects.h"
#include "classlib/core/streams.h"
#include "classlib/core/sysutils.h"

class TReader;
class TWriter;

using TReaderProc = std::function<void(TReader& reader)>;
using TWriterProc = std::function<void(TWriter& writer)>;
using TStreamProc = std::function<void(TStream& stream)>;

class TFiler : public TObject {
  KARO_CLASS(TFiler)
public:
  // While reading, the procedure of the property being read is called; while writing, the
  // write procedure of every property whose hasData is true (one value each).
  virtual void DefineProperty(const std::string& name, const TReaderProc& readData, const TWriterProc& writeData,
                              bool hasData) = 0;
  // The read procedure gets a stream holding exactly the property's bytes, at position 0; the
  // write procedure writes them into the stream it is given.
  virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& readData, const TStreamProc& writeData,
                                    bool hasData) = 0;
};

// Values of a defined property, in the order written. Each reader raises EReadError (naming
// the line of the form file) when the next value is of another kind or there is none.
class TReader : public TFiler {
  KARO_CLASS(TReader)
public:
  virtual std::string ReadString() = 0;
#ifdef _WIN32
  virtual WideString ReadWideString() = 0;
#endif
  virtual int32_t ReadInteger() = 0;
  virtual int64_t ReadInt64() = 0;
  virtual bool ReadBoolean() = 0;
  virtual std::string ReadIdent() = 0;
  virtual void ReadListBegin() = 0;
  // True when the list being read has no more values.
  virtual bool EndOfList() = 0;
  virtual void ReadListEnd() = 0;
};

class TWriter : public TFiler {
  KARO_CLASS(TWriter)
public:
  virtual void WriteString(const std::string& value) = 0;
#ifdef _WIN32
  virtual void WriteWideString(const WideString& value) = 0;
#endif
  virtual void WriteInteger(int64_t value) = 0;
  virtual void WriteBoolean(bool value) = 0;
  virtual void WriteIdent(const std::string& ident) = 0;
  virtual void WriteListBegin() = 0;
  virtual void WriteListEnd() = 0;
};
