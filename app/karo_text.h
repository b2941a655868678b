// Text decoding that tells whether the bytes were read exactly, shared by Karo's pad files and its
// language file, and the platform's error messages as wide text. Windows only.
#pragma once

#include <string_view>

#include "classlib/core/sysutils.h"

// The text of UTF-8 bytes; False when they are not well-formed UTF-8 (out then holds the text with
// replacement characters).
bool DecodeUtf8Exactly(std::string_view bytes, WideString& out);
// The text of bytes in the code page; False when some byte sequence has no character there or the
// text would not give the same bytes back.
bool DecodeAnsiExactly(std::string_view bytes, unsigned codePage, WideString& out);
// UTF-16 bytes after their mark, little- or big-endian; False for an odd byte left over or a
// surrogate without its partner.
bool DecodeUtf16Exactly(std::string_view bytes, bool bigEndian, WideString& out);

// The platform's message for an error code, without its full stop.
WideString WideSysErrorMessage(unsigned long code);
