// The 1536-byte little-endian image in which a pattern is stored in the
// state chunk and in arpeggiator preset blocks. Reserved ranges are neither
// written nor read.
#pragma once

#include "arp_pattern.h"

#include <cstdint>

constexpr int kPatternImageSize = 1536;

namespace pattern_image {
constexpr int kRow0 = 0;
constexpr int kRows = 64; // row r (1..8) at 64 * r
constexpr int kLaneStartValue = 1088;
constexpr int kLaneStart = 1152;
constexpr int kLaneLength = 1216;
constexpr int kStepKind = 1280;
constexpr int kLaneDivider = 1344;
constexpr int kLaneDividerValue = 1408;
constexpr int kStepOn = 1472;
constexpr int kLinkLanes = 1488;
constexpr int kRestartOnKey = 1489;
constexpr int kScaleDegreeOn = 1490;
constexpr int kChordStep = 1498;
constexpr int kRate = 1500;
constexpr int kStepsPerBeat = 1504;
constexpr int kPatternName = 1512;
} // namespace pattern_image

void writePatternImage(const ArpPattern& pattern, uint8_t* image);
void readPatternImage(ArpPattern& pattern, const uint8_t* image);
