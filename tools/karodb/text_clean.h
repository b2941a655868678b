// Cleaning of the dictionary texts: the odd punctuation of the sources made regular, senses
// spread over lines joined, the test that tells a word from a garbled key, and the one that finds
// a meaning garbled by a wrong decoding.
#pragma once

#include <string>
#include <string_view>

// Replaces the small-form comma, enumeration comma and semicolon (U+FE50, U+FE51, U+FE54) by the
// full-width ones, and the bopomofo letter U+3127 that stands for the character one (U+4E00).
std::string NormalisePunctuation(std::string_view text);

// A meaning: punctuation normalised, each line trimmed, the non-empty lines joined by one blank.
std::string CleanMeaning(std::string_view text);

// A key after NormalisePunctuation is a word when it has at least two characters, all of them
// Han characters or the separators that sayings and transcribed names use (，、；·).
bool IsWordKey(std::string_view key);

// A meaning that holds the marks of a text decoded with the wrong encoding or out of step: the
// code of a character the source could not write (four hex digits from a letter on, run into a
// full-width form: "fdec\uff10"); kana, which no Chinese meaning holds; or a box-drawing
// character right after a Han character (what a two-byte character read one byte out of step
// becomes). Box drawing after punctuation or itself ("\uff5e\u2502", "\u250f\u2517") is the
// sources' own.
bool HasBrokenEncoding(std::string_view meaning);
