#include "skin/data/skin_elements.h"

#include <memory>
#include <type_traits>
#include <utility>

#include "skin/data/velt_data.h"

namespace {

template <auto Member> constexpr TSkinElementSlot SlotOf() {
  using Record = typename std::remove_reference_t<decltype(std::declval<TSkinElements&>().*Member)>::element_type;
  return {
      [](TSkinElements& e) -> TDataSkinObject* { return (e.*Member).get(); },
      [](TSkinElements& e, const std::string& name) -> TDataSkinObject* {
        e.*Member = std::make_unique<Record>(name);
        return (e.*Member).get();
      },
      [](TSkinElements& a, TSkinElements& b) noexcept { std::swap(a.*Member, b.*Member); },
  };
}

using E = TSkinElements;

// Section, picture key, second key, kind, frame rule, frames, frame key, margin cap, mirror,
// fallback, slot.
constexpr TSkinElementInfo kElements[] = {
    {"Progress", "Bitmap", nullptr, ekProgress, frProgressStyle, 0, nullptr, 0, false, nullptr, SlotOf<&E::Progress>()},
    {"Progress.Chunk", "Image", nullptr, ekObject, frAsRead, 0, nullptr, 0, false, nullptr, SlotOf<&E::ProgressChunk>()},
    {"Personality", "menuBar", nullptr, ekMenuBar, frFixed, 2, nullptr, 0, false, nullptr, SlotOf<&E::MenuBar>()},
    {"GroupBoxEdge", "Image", nullptr, ekObject, frFixed, 2, nullptr, 0, false, nullptr, SlotOf<&E::GroupBoxEdge>()},
    {"GroupBox", "Image", nullptr, ekBoxLabel, frFixed, 1, nullptr, 0, false, nullptr, SlotOf<&E::GroupBox>()},
    {"Tabs", "Image", "Border", ekTwoMaps, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::Tabs>()},
    {"StatusBarEdges", "Image", nullptr, ekObject, frFixed, 3, nullptr, 0, false, nullptr, SlotOf<&E::StatusBarEdges>()},
    {"Tab.Pane", "Image", nullptr, ekObject, frFixed, 1, nullptr, 4, false, nullptr, SlotOf<&E::TabPane>()},
    {"ToolBars", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::ToolBars>()},
    {"ComboButton", "Image", "****", ekTwoMaps, frFixed, 4, nullptr, 0, true, nullptr, SlotOf<&E::ComboButton>()},
    {"SunkEdge", "Image", nullptr, ekObject, frFixed, 4, nullptr, 0, false, nullptr, SlotOf<&E::SunkEdge>()},
    {"ExtraImages", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::ExtraImages>()},
    {"Headerbar", "Image", nullptr, ekObject, frFixedUnlessRead, 5, nullptr, 0, false, nullptr, SlotOf<&E::Headerbar>()},
    {"MenuItem", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::MenuItem>()},
    {"MenuBackground", "Image", nullptr, ekObject, frFixed, 1, nullptr, 0, false, nullptr, SlotOf<&E::MenuBackground>()},
    {"Scrollbar", "Image", nullptr, ekObject, frFixed, 23, nullptr, 0, false, nullptr, SlotOf<&E::Scrollbar>()},
    {"HorzScroll", "Image", nullptr, ekObject, frFixed, 4, nullptr, 0, false, nullptr, SlotOf<&E::HorzScroll>()},
    {"VertScroll", "Image", nullptr, ekObject, frFixed, 4, nullptr, 0, false, nullptr, SlotOf<&E::VertScroll>()},
    {"HorzScrollThumb", "Image", nullptr, ekObject, frKey, 3, "FrameCount", 0, false, nullptr, SlotOf<&E::HorzScrollThumb>()},
    {"VertScrollThumb", "Image", nullptr, ekObject, frKey, 3, "FrameCount", 0, false, nullptr, SlotOf<&E::VertScrollThumb>()},
    {"Trackbar.ThumbHorz", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::ThumbHorz>()},
    {"Trackbar.ThumbVert", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::ThumbVert>()},
    {"Trackbar.ThumbLeft", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::ThumbLeft>()},
    {"Trackbar.ThumbRight", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::ThumbRight>()},
    {"Trackbar.ThumbUp", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::ThumbUp>()},
    {"Trackbar.ThumbDown", "Image", nullptr, ekObject, frFixed, 5, nullptr, 0, false, nullptr, SlotOf<&E::ThumbDown>()},
    {"UpDown.Horz", "Image", "GlyphImage", ekTwoMaps, frFixed, 8, nullptr, 0, false, nullptr, SlotOf<&E::UpDownHorz>()},
    {"UpDown.Vert", "Image", "GlyphImage", ekTwoMaps, frFixed, 8, nullptr, 0, false, nullptr, SlotOf<&E::UpDownVert>()},
    {"Track", "Image", nullptr, ekObject, frAsRead, 0, nullptr, 0, false, "TRACK", SlotOf<&E::Track>()},
    {"TRACKVERT", "Image", nullptr, ekObject, frAsRead, 0, nullptr, 0, false, "TRACKVERT", SlotOf<&E::TrackVert>()},
    // Rebuilt from the elements above once they are read.
    {nullptr, nullptr, nullptr, ekDerived, frAsRead, 0, nullptr, 0, false, nullptr, SlotOf<&E::ComboxArrow>()},
    {nullptr, nullptr, nullptr, ekDerived, frAsRead, 0, nullptr, 0, false, nullptr, SlotOf<&E::Toolbar>()},
    {nullptr, nullptr, nullptr, ekDerived, frAsRead, 0, nullptr, 0, false, nullptr, SlotOf<&E::MinCaption>()},
};

}  // namespace

std::span<const TSkinElementInfo> SkinElementTable() { return kElements; }

void ForEachSkinRecord(TSkinElements& Elements, const std::function<void(TDataSkinObject&)>& F) {
  auto each = [&](TDataSkinObject* r) {
    if (r) F(*r);
  };
  each(Elements.Title.get());
  each(Elements.Buttons.get());
  for (auto& b : Elements.SysButtons) each(b.get());
  for (auto& b : Elements.Borders) each(b.get());
  for (const TSkinElementInfo& info : kElements) each(info.Slot.Get(Elements));
}
