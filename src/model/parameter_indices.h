// Parameter indices of the effect: 0..31 are announced to the host, the
// others are edit values, commands and refresh signals between the engine
// and its editor.
#pragma once

#include <cstdint>

namespace param {
constexpr int32_t kHostParameterCount = 32;

constexpr int32_t kTranspose = 0;
constexpr int32_t kSwing = 1;
constexpr int32_t kGate = 2;
constexpr int32_t kPattern = 3;
constexpr int32_t kArpNoteRuleFirst = 4; // "Arp_No C".."Arp_No B": 4..15
constexpr int32_t kChordsOn = 16;
constexpr int32_t kArpOn = 17;
constexpr int32_t kRateFirst = 18; // "Rate P01".."Rate P12": 18..29
constexpr int32_t kMidiLatch = 30;
constexpr int32_t kArpFreeRate = 31;

constexpr int32_t kNoteNumFirst = 33;    // 33..40
constexpr int32_t kNoteVelFirst = 41;    // 41..48
constexpr int32_t kLockFirst = 49;       // 49..56
constexpr int32_t kChordShiftFirst = 57; // 57..64
constexpr int32_t kVelAllKeysFirst = 65; // 65..72

constexpr int32_t kRandomNotes = 74;
constexpr int32_t kInputMode = 75;
constexpr int32_t kLoadChordPreset = 78;
constexpr int32_t kChordSetChanged = 79;
constexpr int32_t kSortChords = 80;
constexpr int32_t kRemoveChords = 81;
constexpr int32_t kRoutingOptions = 82;
constexpr int32_t kTransformChords = 83;
constexpr int32_t kCurrentKey = 84;
constexpr int32_t kRefreshMenus = 85;
constexpr int32_t kSnapshot = 86;
constexpr int32_t kRestoreSnapshot = 87;
constexpr int32_t kRefreshChordSet = 91;
constexpr int32_t kRefreshChordName = 93;
constexpr int32_t kRefreshHeldName = 94;
constexpr int32_t kRefreshArpReleased = 95;
constexpr int32_t kCurrentRate = 96;
constexpr int32_t kInputModeRead = 99;
constexpr int32_t kLoadArpPreset = 102;
constexpr int32_t kPreviewOn = 104;
constexpr int32_t kEditorScale = 105;
constexpr int32_t kExportMidi = 109;
constexpr int32_t kCopy = 111;
constexpr int32_t kPaste = 112;
constexpr int32_t kRandomizeLane = 113;
constexpr int32_t kUnused118 = 118;
constexpr int32_t kLaneDivider = 119;
constexpr int32_t kLinkLanes = 120;
constexpr int32_t kChordStep = 121;
constexpr int32_t kRestartOnKey = 122;
constexpr int32_t kLaneLength = 124;
constexpr int32_t kLaneStartKeepEnd = 125;
constexpr int32_t kLaneStartKeepLength = 126;
constexpr int32_t kPatternChanged = 127; // refresh signal, and rotate steps with 266/267
constexpr int32_t kCurrentLane = 129;
constexpr int32_t kStepOnFirst = 130; // 130..145
constexpr int32_t kRefreshPresetNames = 146;
constexpr int32_t kPlayedKeys = 149;
constexpr int32_t kAudition = 150;
} // namespace param
