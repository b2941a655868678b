// The message sequences that several tests expect of a window, named once: what a window sees when
// the skin takes it over and when it is given back, made of the window-position steps it is built
// from. A test joins them with + and marks a step that may or may not happen with Optional.
#pragma once

#include <windows.h>

#include <vector>

#include "skin/windows/core/skin_messages.h"
#include "tests/support/message_log.h"

using TMsgSequence = std::vector<TRecordedMsg>;

// One sequence and then the other.
inline TMsgSequence operator+(TMsgSequence first, const TMsgSequence& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

// The same entries, each of which may be missing from the log.
inline TMsgSequence Optional(TMsgSequence s) {
  for (TRecordedMsg& m : s) m.Flags |= optional;
  return s;
}

namespace seq {

// A change of the window's place that neither moves nor sizes it and leaves its frame as it was:
// a region set on a skinned window, the window shown or hidden.
inline const TMsgSequence kPositionKept = {
    {WM_WINDOWPOSCHANGING, sent},
    {WM_WINDOWPOSCHANGED, sent},
};

// The skin's frame put round the client area the window had: the window moves, its client area
// keeps its size (no WM_SIZE), and the skinned window computes the frame itself (no WM_NCCALCSIZE
// reaches the window's procedure).
inline const TMsgSequence kSkinFrameSet = {
    {WM_WINDOWPOSCHANGING, sent},
    {WM_WINDOWPOSCHANGED, sent},
    {WM_MOVE, sent},
};

// The skinned window tells the window, sent, that it is skinned now (tool-bar and track-bar skins
// take their look from it).
inline const TMsgSequence kSkinNoticeSent = {
    {CN_SkinNotify, sent | lparam, 0, kSkinLibraryMark},
};

// CN_SkinActive: a listed window taken over, its frame first, then its region, then the notice.
inline const TMsgSequence kSkinTakesOver = kSkinFrameSet + kPositionKept + kSkinNoticeSent;

// Given back, the saved procedure computes the system's frame again round the same client area:
// the window moves, its client area keeps its size (no WM_SIZE).
inline const TMsgSequence kSystemFrameComputed = {
    {WM_WINDOWPOSCHANGING, sent},
    {WM_NCCALCSIZE, sent},
    {WM_WINDOWPOSCHANGED, sent},
    {WM_MOVE, sent},
};

// The skin's region taken off the window: its frame is computed again where it stands.
inline const TMsgSequence kRegionRemoved = {
    {WM_WINDOWPOSCHANGING, sent},
    {WM_NCCALCSIZE, sent},
    {WM_WINDOWPOSCHANGED, sent},
};

// A skinned window given back: the system's frame, then no region.
inline const TMsgSequence kSkinGivenBack = kSystemFrameComputed + kRegionRemoved;

}  // namespace seq
