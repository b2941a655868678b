#include "skin/data/skin3rd_kinds.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string_view s) {
  std::string r(s);
  std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return r;
}

// In the order the words are compared.
constexpr struct {
  const char* Word;
  TSkin3rdKind Kind;
} kWords[] = {
    {"nil", skNil},
    {"combobox", skComboBox},
    {"edit", skEdit},
    {"radiobutton", skRadioButton},
    {"panel", skPanel},
    {"trackbar", skTrackBar},
    {"button", skButton},
    {"datetimepicker", skDateTimePicker},
    {"mediaplayer", skMediaPlayer},
    {"bitbtn", skBitBtn},
    {"pngbitbtn", skPngBitBtn},
    {"menubtn", skMenuBtn},
    {"speedbutton", skSpeedButton},
    {"tab", skTab},
    {"progress", skProgress},
    {"scrollbar", skScrollbar},
    {"singlescrollbar", skSingleScrollbar},
    {"embedscrollbar", skEmbedScrollbar},
    {"container", skContainer},
    {"groupbox", skGroupBox},
    {"advpagecontrol", skAdvPageControl},
    {"radiogroup", skRadioGroup},
    {"checkgroup", skCheckGroup},
    {"checkbox", skCheckBox},
};

}  // namespace

TSkin3rdKind Skin3rdKindOf(std::string_view Word) {
  if (Word.empty()) return skNone;
  const std::string w = Lower(Word);
  for (const auto& k : kWords)
    if (w == k.Word) return k.Kind;
  return skUnknown;
}

const char* Skin3rdWord(TSkin3rdKind Kind) {
  for (const auto& k : kWords)
    if (k.Kind == Kind) return k.Word;
  return "";
}

void TSkin3rdTable::Parse(const std::vector<std::string>& Lines) {
  kinds_.clear();
  for (const std::string& line : Lines) {
    const size_t eq = line.find('=');
    // A line without "=" names no class.
    if (eq == std::string::npos || eq == 0) continue;
    const std::string key = Lower(std::string_view(line).substr(0, eq));
    // Only the first line of a class is ever read.
    if (kinds_.count(key)) continue;
    kinds_.emplace(key, Skin3rdKindOf(std::string_view(line).substr(eq + 1, 50)));
  }
}

TSkin3rdKind TSkin3rdTable::Find(std::string_view ClassName) const {
  auto it = kinds_.find(Lower(ClassName));
  return it == kinds_.end() ? skNone : it->second;
}
