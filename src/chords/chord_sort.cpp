#include "chord_sort.h"

#include "numeric.h"
#include "root_analysis.h"

#include <algorithm>

namespace {

int lowestNote(const ChordRecord& r) {
    int low = 0;
    for (uint8_t n : r.notes)
        if (n != 0 && (low == 0 || n < low)) low = n;
    return low;
}

int highestNote(const ChordRecord& r) {
    int high = 0;
    for (uint8_t n : r.notes) high = std::max<int>(high, n);
    return high;
}

// The lowest note strictly above `than`, or 127.
int nextNoteAbove(const ChordRecord& r, int than) {
    int next = 127;
    for (uint8_t n : r.notes)
        if (n > than && n < next) next = n;
    return next;
}

// The highest note strictly below `than`, or 0.
int nextNoteBelow(const ChordRecord& r, int than) {
    int next = 0;
    for (uint8_t n : r.notes)
        if (n < than && n > next) next = n;
    return next;
}

struct IntervalClasses {
    int third = 0; // T: which third (or the tritone) the chord has
    int other = 0; // A: its second, fourth, sixth or seventh
};

// Hindemith's ranking of the intervals above the root: the thirds weigh
// most, then the added intervals; unisons, semitones and fifths add nothing.
IntervalClasses intervalClasses(const uint8_t notes[kVoiceCount], int root) {
    IntervalClasses c;
    for (int p = 0; p < kVoiceCount; ++p) {
        if (notes[p] == 0) continue;
        switch ((notes[p] % 12 - root + 12) % 12) {
        case 3:
            c.third = 4;
            break;
        case 4:
            c.third = 5;
            break;
        case 6:
            c.third = 3;
            break;
        case 2:
            c.other = 9;
            break;
        case 5:
            c.other = 4;
            break;
        case 8:
            c.other = 5;
            break;
        case 9:
            c.other = 6;
            break;
        case 10:
            c.other = 7;
            break;
        case 11:
            c.other = 8;
            break;
        default:
            break;
        }
    }
    return c;
}

int noteSum(const uint8_t notes[kVoiceCount]) {
    int sum = 0;
    for (int p = 0; p < kVoiceCount; ++p) sum += notes[p];
    return sum;
}

// Rootless chords rank below every rooted one, by their first voice.
int32_t rootlessScore(const uint8_t notes[kVoiceCount]) {
    if (notes[0] == 0) return 1;
    if (notes[1] == 0) return 1000 * (12 - notes[0] % 12);
    return 1000 * (12 - (notes[0] + 8) % 12);
}

int32_t hindemithScore(const uint8_t notes[kVoiceCount], bool circleOfFifths) {
    const RootAnalysis analysis = analyseRoot(notes);
    if (analysis.outcome == RootAnalysis::kNotAnalysed) return 0;
    if (analysis.outcome == RootAnalysis::kNoRoot) return rootlessScore(notes);
    const int root = analysis.root;
    const IntervalClasses c = intervalClasses(notes, root);
    const int32_t body = noteSum(notes) + 1000 * c.other + 5000 * c.third;
    if (circleOfFifths) return 100000 * (13 - (7 * root) % 12) + body;
    return 100000 * (13 - root) + 60 - 5 * (notes[0] / 12) + body;
}

} // namespace

int32_t chromaticScore(const uint8_t notes[kVoiceCount]) {
    return hindemithScore(notes, false);
}

int32_t circleOfFifthsScore(const uint8_t notes[kVoiceCount]) {
    return hindemithScore(notes, true);
}

bool chordPrecedes(int order, const ChordRecord& a, const ChordRecord& b) {
    switch (order) {
    case kSortLowNoteAbsolute: {
        // An empty record counts as a lone 127, so it sorts level with one.
        const int lowA = isEmpty(a) ? 127 : lowestNote(a);
        const int lowB = isEmpty(b) ? 127 : lowestNote(b);
        if (lowA != lowB) return lowA < lowB;
        return nextNoteAbove(a, lowA) < nextNoteAbove(b, lowB);
    }
    case kSortLowNotePitchClass: {
        const int pcA = isEmpty(a) ? 128 : lowestNote(a) % 12;
        const int pcB = isEmpty(b) ? 128 : lowestNote(b) % 12;
        return pcA < pcB;
    }
    case kSortHighNote: {
        const int highA = isEmpty(a) ? 128 : highestNote(a);
        const int highB = isEmpty(b) ? 128 : highestNote(b);
        if (highA != highB) return highA < highB;
        if (highA == 128) return false;
        return nextNoteBelow(a, highA) < nextNoteBelow(b, highB);
    }
    case kSortNoteCount:
        return noteCount(a) > noteCount(b);
    case kSortHindemithChromatic:
        return chromaticScore(a.notes) > chromaticScore(b.notes);
    case kSortHindemithFifths:
        return circleOfFifthsScore(a.notes) > circleOfFifthsScore(b.notes);
    default:
        return false;
    }
}

int sortOrderOfCommand(float value) {
    if (!(value >= 0.0f) || !(value < 7.0f)) return -1;
    const int order = saturatingInt(value + 0.5);
    return order < kSortOrderCount ? order : -1;
}

bool sortChordSet(EngineState& s, ChordWorkList& list, int order) {
    if (order < 0 || order >= kSortOrderCount) return false;
    collectChords(s, list);
    // Unstable on purpose: records with equal keys have no defined order.
    std::sort(list.begin(), list.end(), [order](const ChordRecord& a, const ChordRecord& b) {
        return chordPrecedes(order, a, b);
    });
    writeBack(s, list, StartRule::kFirstOccupied);
    return true;
}
