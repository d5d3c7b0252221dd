#include "arp_pattern.h"

#include "arp_rates.h"

#include <cstring>

void resetPattern(ArpPattern& p) {
    static constexpr float kRowDefaults[kRowCount] = {0.565f, 0.0f, 0.5f, 0.5f, 0.0f,
                                                      0.5f,   1.0f, 0.5f, 0.0f};
    std::memset(&p, 0, sizeof p);
    for (int r = 0; r < kRowCount; ++r)
        for (int s = 0; s < kStepCount; ++s) p.rowValue[r][s] = kRowDefaults[r];
    for (int s = 0; s < kStepCount; ++s) {
        p.stepOn[s] = 1;
        p.stepKind[s] = 0;
    }
    for (int l = 0; l < kLaneCount; ++l) {
        p.laneStartValue[l] = 0.0f;
        p.laneStart[l] = 0;
        p.laneLength[l] = 16;
        p.laneDivider[l] = 1;
        p.laneDividerValue[l] = 0.0f;
        p.scaleDegreeOn[l] = 1;
    }
    p.rate = 0.58f;
    p.stepsPerBeat = stepsPerBeatOfRate(p.rate);
    std::memset(p.patternName, ' ', kPatternNameSize - 1);
    p.patternName[kPatternNameSize - 1] = 0;
}
