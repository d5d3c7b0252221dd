// The six orders of the "Sort" submenu and the chord scores behind the two
// Hindemith orders.
#pragma once

#include "chord_work_list.h"

#include <cstdint>

enum ChordSortOrder : int {
    kSortLowNoteAbsolute = 0,   // "Sort by Low Note (absolute)"
    kSortLowNotePitchClass = 1, // "Sort by Low Note (pitch class)"
    kSortHighNote = 2,          // "Sort by High Note"
    kSortNoteCount = 3,         // "Sort by Number of Notes"
    kSortHindemithChromatic = 4,
    kSortHindemithFifths = 5,
};
constexpr int kSortOrderCount = 6;

// Scores of the Hindemith orders: at least 100000 for a chord with a root,
// at most 12000 without one, 0 for a chord too empty to analyse.
int32_t chromaticScore(const uint8_t notes[kVoiceCount]);
int32_t circleOfFifthsScore(const uint8_t notes[kVoiceCount]);

// True when record a goes before record b in the given order (0..5).
bool chordPrecedes(int order, const ChordRecord& a, const ChordRecord& b);

// The order a value of the sort command selects, or -1 when the command does
// nothing (below 0, or from 5.5 on, which the editor never sends).
int sortOrderOfCommand(float value);

// Sorts the chord set and packs it from the slot of its first chord. False
// (and nothing changed) for an order outside 0..5.
bool sortChordSet(EngineState& s, ChordWorkList& list, int order);
