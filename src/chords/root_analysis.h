// The search for a chord's root by ranking the intervals between its notes.
// Chord naming, the sort scores and the chord transforms all use it.
#pragma once

#include <cstdint>

struct RootAnalysis {
    enum Outcome : uint8_t { kNotAnalysed, kNoRoot, kRoot };
    Outcome outcome;
    int root; // pitch class 0..11 when outcome is kRoot
};

// notes: the eight positions (voices) of a chord, 0 = empty position.
RootAnalysis analyseRoot(const uint8_t notes[8]);
