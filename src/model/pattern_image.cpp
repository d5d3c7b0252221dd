#include "pattern_image.h"

#include "byte_order.h"

#include <cstring>

using namespace pattern_image;

void writePatternImage(const ArpPattern& p, uint8_t* image) {
    for (int r = 0; r < kRowCount; ++r)
        for (int s = 0; s < kStepCount; ++s) putLeF32(image + kRows * r + 4 * s, p.rowValue[r][s]);
    for (int l = 0; l < kLaneCount; ++l) {
        putLeF32(image + kLaneStartValue + 4 * l, p.laneStartValue[l]);
        putLeI32(image + kLaneStart + 4 * l, p.laneStart[l]);
        putLeI32(image + kLaneLength + 4 * l, p.laneLength[l]);
        putLeI32(image + kLaneDivider + 4 * l, p.laneDivider[l]);
        putLeF32(image + kLaneDividerValue + 4 * l, p.laneDividerValue[l]);
    }
    for (int s = 0; s < kStepCount; ++s) {
        putLeI32(image + kStepKind + 4 * s, p.stepKind[s]);
        image[kStepOn + s] = p.stepOn[s];
    }
    image[kLinkLanes] = p.linkLanes;
    image[kRestartOnKey] = p.restartOnKey;
    std::memcpy(image + kScaleDegreeOn, p.scaleDegreeOn, 8);
    image[kChordStep] = p.chordStep;
    putLeF32(image + kRate, p.rate);
    putLeF64(image + kStepsPerBeat, p.stepsPerBeat);
    std::memcpy(image + kPatternName, p.patternName, kPatternNameSize);
    image[kPatternName + kPatternNameSize - 1] = 0;
}

void readPatternImage(ArpPattern& p, const uint8_t* image) {
    for (int r = 0; r < kRowCount; ++r)
        for (int s = 0; s < kStepCount; ++s) p.rowValue[r][s] = getLeF32(image + kRows * r + 4 * s);
    for (int l = 0; l < kLaneCount; ++l) {
        p.laneStartValue[l] = getLeF32(image + kLaneStartValue + 4 * l);
        p.laneStart[l] = getLeI32(image + kLaneStart + 4 * l);
        p.laneLength[l] = getLeI32(image + kLaneLength + 4 * l);
        p.laneDivider[l] = getLeI32(image + kLaneDivider + 4 * l);
        p.laneDividerValue[l] = getLeF32(image + kLaneDividerValue + 4 * l);
    }
    for (int s = 0; s < kStepCount; ++s) {
        p.stepKind[s] = getLeI32(image + kStepKind + 4 * s);
        p.stepOn[s] = image[kStepOn + s];
    }
    p.linkLanes = image[kLinkLanes];
    p.restartOnKey = image[kRestartOnKey];
    std::memcpy(p.scaleDegreeOn, image + kScaleDegreeOn, 8);
    p.chordStep = image[kChordStep];
    p.rate = getLeF32(image + kRate);
    p.stepsPerBeat = getLeF64(image + kStepsPerBeat);
    std::memcpy(p.patternName, image + kPatternName, kPatternNameSize);
    p.patternName[kPatternNameSize - 1] = 0;
}
