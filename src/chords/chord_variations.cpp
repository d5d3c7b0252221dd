#include "chord_variations.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kCycles = 8;
constexpr int kPassesPerCycle = 10;

int raisedToAtLeast(int x, int floor) {
    return x < floor ? x + (floor - x + 11) / 12 * 12 : x;
}

// Appends `per` variations of `source`, each one voice of the previous one
// moved to another octave (within an octave around the chord's range).
void appendVariations(ChordWorkList& list, const ChordRecord& source, int per,
                      EngineRandom& random) {
    ChordRecord variation = source;
    variation.slotIndex = kGeneratedRecord;
    normalize(variation);
    const int count = noteCount(variation);
    if (count == 0) return;
    const int lowest = variation.notes[0];
    const int highest = variation.notes[count - 1];
    const int hi = highest + 12 > 127 ? highest : highest + 12;
    const int lo = lowest - 12 < 1 ? lowest : lowest - 12;

    for (int t = 0; t < per; ++t) {
        const int p = t % count;
        const int octave = random.next() % 4;
        int x = raisedToAtLeast(variation.notes[p] + 12 * octave - 12, lo);
        if (x > hi) x = raisedToAtLeast(x - 108, lo);
        // Never double another voice: step over it by an octave.
        for (int q = 0; q < count; ++q) {
            if (q == p || x != variation.notes[q]) continue;
            x += 12;
            if (x > 127) x -= 96;
        }
        variation.notes[p] = static_cast<uint8_t>(std::clamp(x, 1, 127));
        normalize(variation);
        if (!list.append(variation)) return;
    }
}

// Where a generated record at list position i goes: slot i unless a kept
// chord is marked there, else the first unmarked slot without a first voice;
// -1 when there is none.
int placeOfGenerated(const EngineState& s, int i) {
    if (i < kKeyCount && s.occupancyMarks[i] == 0) return i;
    for (int slot = 0; slot < kKeyCount; ++slot)
        if (s.occupancyMarks[slot] == 0 && s.chordNote[0][slot] < 0.001f) return slot;
    return -1;
}

} // namespace

void markOccupiedSlots(EngineState& s) {
    for (int slot = 0; slot < kKeyCount; ++slot) {
        bool occupied = false;
        for (int k = 0; k < kVoiceCount; ++k)
            if (s.chordNote[k][slot] > 0.0f) occupied = true;
        s.occupancyMarks[slot] = occupied ? 1 : 0;
    }
}

void generateVariations(EngineState& s, ChordWorkList& list, EngineRandom& random) {
    collectChords(s, list);
    sortInCompactionOrder(list);
    int n = 0;
    while (n < list.size() && !isEmpty(list[n])) ++n;
    list.truncate(n);
    if (n == 0) return;

    const int per = std::max(2, (kKeyCount - n) / n);
    for (int i = 0; i < n; ++i)
        if (list.size() < kKeyCount) appendVariations(list, list[i], per, random);
    sortInCompactionOrder(list);

    // The collected chords are already in their slots, so writing them back
    // changes nothing; the generated ones go in afterwards, and only a mark
    // keeps one from taking a slot (an earlier pass's variation has none).
    // A later generated record may replace an earlier one in the same slot.
    for (int i = 0; i < list.size(); ++i) {
        const ChordRecord& r = list[i];
        if (r.slotIndex >= 0) continue;
        const int slot = placeOfGenerated(s, i);
        if (slot >= 0) writeRecordToSlot(s, slot, r);
    }
}

void removeUnmarkedDuplicates(EngineState& s) {
    uint8_t notes[kKeyCount][kVoiceCount];
    for (int slot = 0; slot < kKeyCount; ++slot) readSlotNotes(s, slot, notes[slot]);
    for (int later = 0; later < kKeyCount; ++later) {
        for (int earlier = 0; earlier < later; ++earlier) {
            if (s.occupancyMarks[earlier] != 0) continue;
            if (std::memcmp(notes[earlier], notes[later], kVoiceCount) != 0) continue;
            emptySlot(s, earlier);
            std::memset(notes[earlier], 0, kVoiceCount);
        }
    }
}

void populateEmptySlotsWithVariations(EngineState& s, ChordWorkList& list, EngineRandom& random) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        markOccupiedSlots(s);
        for (int pass = 0; pass < kPassesPerCycle; ++pass) {
            generateVariations(s, list, random);
            removeUnmarkedDuplicates(s);
        }
    }
}
