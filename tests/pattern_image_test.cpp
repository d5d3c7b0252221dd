// The pattern record image: the byte layout shared by the state chunk and
// the arpeggiator presets.
#include "byte_order.h"
#include "pattern_image.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

TEST(PatternImage, DefaultPatternLandsAtItsOffsets) {
    ArpPattern p;
    resetPattern(p);
    std::vector<uint8_t> image(kPatternImageSize, 0xEE);
    writePatternImage(p, image.data());
    EXPECT_FLOAT_EQ(getLeF32(&image[0]), 0.565f);
    EXPECT_FLOAT_EQ(getLeF32(&image[64 * 3 + 4 * 5]), 0.5f);  // row 3, step 5
    EXPECT_FLOAT_EQ(getLeF32(&image[64 * 7 + 4 * 15]), 0.5f); // timing row
    EXPECT_FLOAT_EQ(getLeF32(&image[64 * 6]), 1.0f);          // length row
    EXPECT_EQ(getLeI32(&image[1216]), 16);
    EXPECT_EQ(getLeI32(&image[1344 + 28]), 1);
    EXPECT_EQ(image[1472 + 15], 1);
    EXPECT_EQ(image[1490 + 7], 1);
    EXPECT_FLOAT_EQ(getLeF32(&image[1500]), 0.58f);
    EXPECT_DOUBLE_EQ(getLeF64(&image[1504]), 4.0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&image[1512])), std::string(22, ' '));
    // Reserved ranges are not written.
    EXPECT_EQ(image[576], 0xEE);
    EXPECT_EQ(image[1120], 0xEE);
    EXPECT_EQ(image[1499], 0xEE);
    EXPECT_EQ(image[1535], 0xEE);
}

TEST(PatternImage, EveryFieldSurvivesARoundTrip) {
    ArpPattern p;
    resetPattern(p);
    for (int r = 0; r < kRowCount; ++r)
        for (int s = 0; s < kStepCount; ++s) p.rowValue[r][s] = (r * 16 + s) / 200.0f;
    for (int s = 0; s < kStepCount; ++s) {
        p.stepOn[s] = s % 2;
        p.stepKind[s] = s;
    }
    for (int l = 0; l < kLaneCount; ++l) {
        p.laneStart[l] = l;
        p.laneLength[l] = 16 - l;
        p.laneDivider[l] = kLaneDividers[l];
        p.laneStartValue[l] = l / 16.0f;
        p.laneDividerValue[l] = l / 9.0f;
        p.scaleDegreeOn[l] = l & 1;
    }
    p.linkLanes = 1;
    p.restartOnKey = 1;
    p.chordStep = 1;
    p.rate = 0.25f;
    p.stepsPerBeat = 0.75;
    std::strcpy(p.patternName, "Bass walk");

    uint8_t image[kPatternImageSize] = {};
    writePatternImage(p, image);
    ArpPattern back;
    std::memset(&back, 0, sizeof back);
    readPatternImage(back, image);
    // Bit for bit: the image carries the floats' own bytes.
    // NOLINTBEGIN(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(back.rowValue, p.rowValue, sizeof p.rowValue), 0);
    EXPECT_EQ(std::memcmp(back.stepOn, p.stepOn, sizeof p.stepOn), 0);
    EXPECT_EQ(std::memcmp(back.stepKind, p.stepKind, sizeof p.stepKind), 0);
    EXPECT_EQ(std::memcmp(back.laneStart, p.laneStart, sizeof p.laneStart), 0);
    EXPECT_EQ(std::memcmp(back.laneLength, p.laneLength, sizeof p.laneLength), 0);
    EXPECT_EQ(std::memcmp(back.laneDivider, p.laneDivider, sizeof p.laneDivider), 0);
    EXPECT_EQ(std::memcmp(back.laneStartValue, p.laneStartValue, sizeof p.laneStartValue), 0);
    EXPECT_EQ(std::memcmp(back.laneDividerValue, p.laneDividerValue, sizeof p.laneDividerValue), 0);
    EXPECT_EQ(std::memcmp(back.scaleDegreeOn, p.scaleDegreeOn, 8), 0);
    // NOLINTEND(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(back.linkLanes, 1);
    EXPECT_EQ(back.restartOnKey, 1);
    EXPECT_EQ(back.chordStep, 1);
    EXPECT_EQ(back.rate, 0.25f);
    EXPECT_EQ(back.stepsPerBeat, 0.75);
    EXPECT_STREQ(back.patternName, "Bass walk");
}
