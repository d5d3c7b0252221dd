// The "Remove" submenu: duplicate chords, chords of one, two or three notes,
// and the chords not played while the played-keys list was recording.
#pragma once

#include "chord_work_list.h"

struct RemoveOutcome {
    bool chordSetChanged = false; // send the chord-set-changed refresh
    bool stopPlayedKeys = false;  // switch played-keys mode off (parameter 149 to 0)
};

// Keeps the last chord of each group of equal chords (notes compared in
// ascending order, velocities ignored); chords in marked slots are never
// removed. Then packs the set from its first chord.
void removeDuplicateChords(EngineState& s, ChordWorkList& list);
// Removes every chord of exactly `size` notes, then packs the set.
void removeChordsOfSize(EngineState& s, ChordWorkList& list, int size);
// Removes every chord whose slot is not in the played-keys list; packs the
// set when `collapse`, otherwise the survivors keep their slots. False, and
// nothing touched, when the list is empty.
bool removeUnwatchedChords(EngineState& s, ChordWorkList& list, bool collapse);

// The remove command: exactly 0 duplicates, 1..3 by size, 4 unwatched and
// collapse, 5 unwatched in place; any other value does nothing.
RemoveOutcome removeChords(EngineState& s, ChordWorkList& list, float value);
