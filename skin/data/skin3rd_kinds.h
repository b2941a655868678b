// The kind words of the Skin3rd list ("class=kind" lines) and the list parsed into a lookup from
// a class name to its kind. Plain standard C++; built natively too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What a Skin3rd line asks for. skNone: no line for the class, or an empty kind (the class tests
// decide); skUnknown: a word that names no kind (decided: the control stays unskinned).
enum TSkin3rdKind : uint8_t {
  skNone,
  skUnknown,
  skNil,
  skComboBox,
  skEdit,
  skRadioButton,
  skPanel,
  skTrackBar,
  skButton,
  skDateTimePicker,
  skMediaPlayer,
  skBitBtn,
  skPngBitBtn,
  skMenuBtn,
  skSpeedButton,
  skTab,
  skProgress,
  skScrollbar,
  skSingleScrollbar,
  skEmbedScrollbar,
  skContainer,
  skGroupBox,
  skAdvPageControl,
  skRadioGroup,
  skCheckGroup,
  skCheckBox,
};

// The kind of a kind word (compared without regard to case); skNone for an empty word, skUnknown
// for any other word.
TSkin3rdKind Skin3rdKindOf(std::string_view Word);
// The kind word of a kind ("" for skNone and skUnknown).
const char* Skin3rdWord(TSkin3rdKind Kind);

// The list parsed: the first line of each class wins, as when the lines are searched in order.
class TSkin3rdTable {
public:
  void Parse(const std::vector<std::string>& Lines);
  // The kind for a class name (any case).
  TSkin3rdKind Find(std::string_view ClassName) const;

private:
  std::unordered_map<std::string, TSkin3rdKind> kinds_;
};
