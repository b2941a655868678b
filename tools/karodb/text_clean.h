// Cleaning of the dictionary texts: the odd punctuation of the sources made regular, senses
// spread over lines joined, and the test that tells a word from a garbled key.
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
