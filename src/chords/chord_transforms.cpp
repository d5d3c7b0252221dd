#include "chord_transforms.h"

#include "chord_sort.h"
#include "chord_variations.h"
#include "note_rule_walk.h"
#include "numeric.h"
#include "root_analysis.h"

#include <cmath>

namespace {

// Semitones each interval above the root moves by, per mode. Minor lowers
// the major third, sixth and seventh; major raises the minor ones; suspended
// turns both thirds into a fourth and a major seventh into a minor one.
constexpr int kIntervalMove[3][12] = {
    {0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, -1},
    {0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0},
    {0, 0, 0, 2, 1, 0, 0, 0, 0, 0, 0, -1},
};

bool pitchClassIn(const bool set[12], int note) {
    return set[note % 12];
}

} // namespace

void transformIntervals(EngineState& s, int mode) {
    if (mode < kMakeMinor || mode > kMakeSuspended) return;
    for (int slot = 0; slot < kKeyCount; ++slot) {
        uint8_t notes[kVoiceCount];
        readSlotNotes(s, slot, notes);
        const RootAnalysis analysis = analyseRoot(notes);
        if (analysis.outcome != RootAnalysis::kRoot) continue;
        for (int p = 0; p < kVoiceCount; ++p) {
            if (notes[p] == 0) continue;
            const int move = kIntervalMove[mode][(notes[p] % 12 - analysis.root + 12) % 12];
            if (move == 0) continue;
            int note = notes[p] + move;
            if (note > 127) note -= 12;
            writeSlotNote(s, slot, p, note);
        }
    }
}

void addRootBelow(EngineState& s, int octaves) {
    for (int slot = 0; slot < kKeyCount; ++slot) {
        uint8_t notes[kVoiceCount];
        readSlotNotes(s, slot, notes);
        int low = 127;
        int high = 0;
        for (uint8_t n : notes) {
            if (n != 0 && n < low) low = n;
            if (n > high) high = n;
        }
        if (low == 127 || high == 0) continue;

        // The chromatic score's hundred-thousands hold 13 - root; a rootless
        // chord scores below 100000 and so adds pitch class 13, a C sharp.
        int x = 13 - chromaticScore(notes) / 100000;
        if (x < low) x += (low - x + 11) / 12 * 12;
        x -= 12 * octaves;
        if (x < 0 || x >= low) continue;
        for (int p = 0; p < kVoiceCount; ++p) {
            if (notes[p] != 0) continue;
            // The new voice keeps the velocity it already had.
            writeSlotNote(s, slot, p, x);
            break;
        }
    }
}

void applyNoteRules(EngineState& s) {
    for (int slot = 0; slot < kKeyCount; ++slot) {
        for (int p = 0; p < kVoiceCount; ++p) {
            const int note = slotNote(s, slot, p);
            if (note == 0) continue;
            const int walked = walkNoteRules(note, s.arpNoteRule);
            if (walked != note) writeSlotNote(s, slot, p, walked < 0 ? 0 : walked);
        }
    }
}

// A note that has to move stops at the first note of the current chord's
// pitch classes that no higher voice of its chord already holds (the voices
// are snapped from 7 down), and goes on upward otherwise: two voices that
// land on the same note would play one note twice and lose a voice of the
// chord. A note already in the current chord's pitch classes stays put, even
// if a higher voice moved onto it.
void snapToCurrentChord(EngineState& s) {
    bool reference[12] = {};
    for (int k = 0; k < kVoiceCount; ++k) {
        const int key = s.voiceKey[k];
        if (key >= kKeyCount) continue;
        const int note = slotNote(s, key, k);
        if (note != 0) reference[note % 12] = true;
    }
    const int current = s.currentKey;
    for (int slot = 0; slot < kKeyCount; ++slot) {
        if (slot == current) continue;
        uint8_t notes[kVoiceCount];
        readSlotNotes(s, slot, notes);
        for (int p = kVoiceCount - 1; p >= 0; --p) {
            if (notes[p] == 0) continue;
            int note = notes[p];
            if (!pitchClassIn(reference, note)) {
                const auto takenAbove = [&](int candidate) {
                    for (int q = p + 1; q < kVoiceCount; ++q)
                        if (notes[q] == candidate) return true;
                    return false;
                };
                do ++note;
                while (note <= 127 && (!pitchClassIn(reference, note) || takenAbove(note)));
            }
            notes[p] = static_cast<uint8_t>(note <= 127 ? note : 0);
            if (notes[p] != slotNote(s, slot, p)) writeSlotNote(s, slot, p, notes[p]);
        }
    }
}

void moveChordSetToCurrentKey(EngineState& s, ChordWorkList& list) {
    collectChords(s, list);
    sortInCompactionOrder(list);
    writeBack(s, list, StartRule::kCurrentKey);
}

bool transformChords(EngineState& s, ChordWorkList& list, EngineRandom& random, float value) {
    if (std::isnan(value)) return false;
    switch (saturatingInt(value + 0.5)) {
    case 0:
        transformIntervals(s, kMakeMinor);
        return true;
    case 1:
        transformIntervals(s, kMakeMajor);
        return true;
    case 2:
        transformIntervals(s, kMakeSuspended);
        return true;
    case 3:
        addRootBelow(s, 1);
        return true;
    case 4:
        addRootBelow(s, 2);
        return true;
    case 5:
        applyNoteRules(s);
        return true;
    case 6:
        snapToCurrentChord(s);
        return true;
    case 7:
        moveChordSetToCurrentKey(s, list);
        return true;
    case 8:
        populateEmptySlotsWithVariations(s, list, random);
        return true;
    default:
        return false;
    }
}
