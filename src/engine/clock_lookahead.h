// What the fast path last proved about the arpeggiator clock: from which
// sample count through which one every tick is quiet, and the inputs that
// proof rests on. While those inputs stay bit for bit the same, the proof
// holds, and a block costs one comparison instead of a new proof.
#pragma once

#include <cstdint>

// The inputs as bit patterns: equal means identical, NaN and the sign of
// zero included.
struct ClockLookaheadInputs {
    uint64_t anchor;
    uint64_t origin;
    uint64_t tempo;
    uint64_t stepsPerBeat;
    uint64_t cycleStart;
    uint64_t cycleEnd;
    uint32_t timingRow[16];
    uint32_t swing;
    uint32_t sampleRate;
    int32_t lastStep;
    int32_t timingLength;
    int32_t timingStart;
    int32_t cycleActiveAndRestart; // the loop flag, and restart-on-key as bit 8

    bool operator==(const ClockLookaheadInputs&) const = default;
};

// The smallest and largest offset (in quarter notes) a tick may choose
// within one step.
struct OffsetRange {
    double smallest;
    double largest;
};

struct ClockLookahead {
    ClockLookaheadInputs inputs;
    bool valid = false;
    int64_t from = 0;            // the first sample count proven quiet
    int64_t quietThrough = 0;    // the last one
    bool endedAtHorizon = false; // the proof stopped looking, not at a step
    // When every tick in the range takes the same offset, the step counter
    // a tick leaves behind follows without running the tick.
    bool offsetKnown = false;
    double offset = 0.0;
};
