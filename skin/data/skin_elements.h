// The table of a skin's elements: for each, the INI section and keys it is read from, the kind of
// record it makes, how its frame count is settled and where it lives in TSkinElements. The reader,
// the frame counts, the exchange of a freshly read skin and the walk over every record all take
// their elements from it. Windows only.
#pragma once

#include <functional>
#include <span>
#include <string>

class TDataSkinObject;
struct TSkinElements;

// How an element is read: which record class, which keys after the picture.
enum TElementKind {
  ekObject,    // TDataSkinObject: Style, the four margins, Frame, Trans, Tile and the state colours
  ekTwoMaps,   // TDataSkinBorder: the same without Frame, plus a second picture (SecondKey) in Map2
  ekProgress,  // TDataSkinBorder: Style, margins, Trans and Tile only
  ekBoxLabel,  // TDataSkinBoxLabel: as ekTwoMaps without a second picture, plus the background keys
  ekMenuBar,   // TDataSkinObject: TileMenu and the two tile margins of its section
  ekDerived,   // made after reading from other elements; no section of its own
};

// How the frame count is settled once the whole skin is read (every count ends at least 1).
enum TFrameRule {
  frAsRead,          // what reading gave (the Frame key of an ekObject, else 0)
  frFixed,           // Frames
  frFixedUnlessRead, // what reading gave when above 0, else Frames
  frKey,             // the integer FrameKey of the section, Frames when absent
  frProgressStyle,   // 1 for a progress bar with a Style, else 2
};

// Where the element's record lives: reading it, making it anew (of its own class), exchanging it
// between two parsed skins.
struct TSkinElementSlot {
  TDataSkinObject* (*Get)(TSkinElements&);
  TDataSkinObject* (*Make)(TSkinElements&, const std::string& Name);
  void (*Swap)(TSkinElements&, TSkinElements&) noexcept;
};

struct TSkinElementInfo {
  const char* Section;     // also the record's name; nil for a derived element
  const char* PictureKey;  // the key of the section naming the picture; no picture, no record
  const char* SecondKey;   // ekTwoMaps: the key of the second picture
  TElementKind Kind;
  TFrameRule FrameRule;
  int Frames;
  const char* FrameKey;    // frKey only
  int MarginCap;           // above 0: no margin is larger
  bool MirrorToSecond;     // the second picture is the first one mirrored, whatever the skin says
  const char* Fallback;    // without a section: the library's own picture of this name instead
  TSkinElementSlot Slot;
};

// In reading order.
std::span<const TSkinElementInfo> SkinElementTable();

// Calls F for every record of a parsed skin that exists: the caption text, the push buttons, the
// caption buttons, the four borders and every element of the table.
void ForEachSkinRecord(TSkinElements& Elements, const std::function<void(TDataSkinObject&)>& F);
