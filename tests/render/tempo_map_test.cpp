// The tempo map: ticks become seconds along the file's tempo changes, and
// seconds become beats again for the output file.
#include "song_bytes.h"
#include "smf_reader.h"
#include "tempo_map.h"

#include <gtest/gtest.h>

namespace {

// 120 BPM for one bar (4 quarters at 96 ticks), then 60 BPM.
SmfFile songWithASlowSecondBar() {
    return readSmf(
        smfBytes(0, 96, {track({{384, {0xFF, 0x51, 3, 0x0F, 0x42, 0x40}}, {384, {0x90, 60, 1}}})}));
}

TEST(TempoMap, WithoutTempoEventsAFilePlaysAt120Bpm) {
    const SmfFile file = readSmf(smfBytes(0, 480, {track({{960, {0x90, 60, 1}}})}));
    EXPECT_DOUBLE_EQ(TempoMap::ofFile(file).secondsOfTick(960), 1.0);
}

TEST(TempoMap, FollowsTempoChanges) {
    const TempoMap map = TempoMap::ofFile(songWithASlowSecondBar());
    EXPECT_DOUBLE_EQ(map.secondsOfTick(384), 2.0);
    EXPECT_DOUBLE_EQ(map.secondsOfTick(768), 6.0);
    EXPECT_DOUBLE_EQ(map.beatsPerMinuteAt(2.0), 120.0);
    EXPECT_DOUBLE_EQ(map.beatsPerMinuteAt(5.0), 60.0);
}

TEST(TempoMap, SecondsGoBackToTheSameBeat) {
    const TempoMap map = TempoMap::ofFile(songWithASlowSecondBar());
    for (double quarter : {0.0, 1.5, 4.0, 6.25, 20.0})
        EXPECT_NEAR(map.quarterOfSeconds(map.secondsOfQuarter(quarter)), quarter, 1e-9);
}

TEST(TempoMap, AConstantTempoReplacesTheFilesMap) {
    const TempoMap map = TempoMap::constant(songWithASlowSecondBar(), 90.0);
    EXPECT_EQ(map.segments().size(), 1u);
    EXPECT_DOUBLE_EQ(map.secondsOfTick(768), 8 * 60.0 / 90.0);
}

TEST(TempoMap, ASmpteFilesTicksAreRealTime) {
    const SmfFile file =
        readSmf(smfBytes(0, ((0x100 - 25) << 8) | 40, {track({{1500, {0x90, 60, 1}}})}));
    EXPECT_DOUBLE_EQ(TempoMap::ofFile(file).secondsOfTick(1500), 1.5);
}

} // namespace
