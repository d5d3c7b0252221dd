// One of the twelve arpeggiator patterns: sixteen steps, nine rows of step
// values (eight lanes), and the per-lane loop settings.
#pragma once

#include <cstdint>

constexpr int kPatternCount = 12;
constexpr int kStepCount = 16;
constexpr int kRowCount = 9;
constexpr int kLaneCount = 8;
constexpr int kPatternNameSize = 23;

// The dividers a lane can use: it advances once every laneDivider pattern steps.
constexpr int32_t kLaneDividers[10] = {1, 2, 3, 4, 6, 8, 12, 16, 32, 64};

struct ArpPattern {
    float rowValue[kRowCount][kStepCount];
    uint8_t stepOn[kStepCount];
    int32_t stepKind[kStepCount];
    float laneStartValue[kLaneCount];
    int32_t laneStart[kLaneCount];
    int32_t laneLength[kLaneCount];
    int32_t laneDivider[kLaneCount];
    float laneDividerValue[kLaneCount];
    uint8_t linkLanes;
    uint8_t restartOnKey;
    uint8_t scaleDegreeOn[8];
    uint8_t chordStep;
    float rate;
    double stepsPerBeat;
    char patternName[kPatternNameSize];
};

// The eight lanes, in their order.
enum Lane : int {
    kNoteLane = 0,
    kSpreadLane = 1,
    kOctaveLane = 2,
    kScaleLane = 3,
    kVelocityLane = 4,
    kLengthLane = 5,
    kTimingLane = 6,
    kIntervalLane = 7,
};

// Lane 0 plays from row 0; lane r (1..7) from row r + 1. Row 1 travels with
// lane 0 but is never played.
constexpr int rowOfLane(int lane) {
    return lane == 0 ? 0 : lane + 1;
}

// Fills a pattern with its defaults (stepsPerBeat included).
void resetPattern(ArpPattern& pattern);
