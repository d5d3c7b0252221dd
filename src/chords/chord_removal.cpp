#include "chord_removal.h"

#include <algorithm>
#include <cstring>

namespace {

bool sameNotes(const ChordRecord& a, const ChordRecord& b) {
    return std::memcmp(a.notes, b.notes, sizeof a.notes) == 0;
}

bool inPlayedKeys(const EngineState& s, int slot) {
    const int count = std::clamp<int>(s.playedKeysCount, 0, kKeyCount);
    for (int i = 0; i < count; ++i)
        if (s.playedKeys[i] == slot) return true;
    return false;
}

} // namespace

void removeDuplicateChords(EngineState& s, ChordWorkList& list) {
    // Normalized chords compare equal whatever the voice order.
    collectChords(s, list);
    for (ChordRecord& r : list) normalize(r);
    for (int slot = 0; slot < kKeyCount; ++slot) writeRecordToSlot(s, slot, list[slot]);

    // The list mirrors the slots from here on; an emptied slot is emptied in
    // both, so that later comparisons see it as it now is.
    for (int later = 0; later < kKeyCount; ++later) {
        for (int earlier = 0; earlier < later; ++earlier) {
            if (s.occupancyMarks[earlier] != 0) continue;
            if (!sameNotes(list[earlier], list[later])) continue;
            emptySlot(s, earlier);
            std::memset(list[earlier].notes, 0, sizeof list[earlier].notes);
        }
    }
    packChordSet(s, list);
}

void removeChordsOfSize(EngineState& s, ChordWorkList& list, int size) {
    for (int slot = 0; slot < kKeyCount; ++slot)
        if (noteCount(recordOfSlot(s, slot)) == size) emptySlot(s, slot);
    packChordSet(s, list);
}

bool removeUnwatchedChords(EngineState& s, ChordWorkList& list, bool collapse) {
    if (s.playedKeysCount <= 0) return false;
    for (int slot = 0; slot < kKeyCount; ++slot)
        if (!inPlayedKeys(s, slot)) emptySlot(s, slot);
    if (collapse) packChordSet(s, list);
    return true;
}

RemoveOutcome removeChords(EngineState& s, ChordWorkList& list, float value) {
    RemoveOutcome outcome;
    if (value == 0.0f) {
        removeDuplicateChords(s, list);
        outcome.chordSetChanged = true;
    } else if (value == 1.0f || value == 2.0f || value == 3.0f) {
        removeChordsOfSize(s, list, static_cast<int>(value));
        outcome.chordSetChanged = true;
    } else if (value == 4.0f || value == 5.0f) {
        if (removeUnwatchedChords(s, list, value == 4.0f)) {
            outcome.chordSetChanged = true;
            outcome.stopPlayedKeys = true;
        }
    }
    return outcome;
}
