// The MIDI-file reader: what a sequencer's files contain comes out in time
// order; damaged files are refused with a message, never read past the end.
#include "song_bytes.h"
#include "smf_reader.h"

#include <gtest/gtest.h>

namespace {

TEST(SmfReader, MergesTheTracksOfATypeOneFileInTimeOrder) {
    const auto bytes =
        smfBytes(1, 480,
                 {track({{0, {0xFF, 0x51, 3, 0x07, 0xA1, 0x20}}, {240, {0x91, 62, 90}}}),
                  track({{0, {0x90, 60, 100}}, {480, {0x80, 60, 0}}})});
    const SmfFile file = readSmf(bytes);
    EXPECT_EQ(file.format, 1);
    EXPECT_EQ(file.trackCount, 2);
    EXPECT_EQ(file.ticksPerQuarter, 480);
    ASSERT_EQ(file.events.size(), 3u);
    EXPECT_EQ(file.events[0].tick, 0);
    EXPECT_EQ(file.events[1].tick, 240);
    EXPECT_EQ(file.events[1].status, 0x91);
    EXPECT_EQ(file.events[2].tick, 480);
    ASSERT_EQ(file.tempoChanges.size(), 1u);
    EXPECT_EQ(file.tempoChanges[0].microsPerQuarter, 500000u);
    EXPECT_EQ(file.endTick, 480);
}

TEST(SmfReader, RunningStatusRepeatsThePreviousMessageKind) {
    const auto bytes =
        smfBytes(0, 96, {track({{0, {0x90, 60, 100}}, {10, {64, 90}}, {10, {60, 0}}})});
    const SmfFile file = readSmf(bytes);
    ASSERT_EQ(file.events.size(), 3u);
    for (const auto& e : file.events) EXPECT_EQ(e.status, 0x90);
    EXPECT_EQ(file.events[1].data1, 64);
    EXPECT_EQ(file.events[2].tick, 20);
}

TEST(SmfReader, SkipsSystemExclusiveAndReadsOneByteMessages) {
    const auto bytes = smfBytes(
        0, 96, {track({{0, {0xF0, 3, 0x7E, 0x7F, 0xF7}}, {0, {0xC2, 5}}, {5, {0xD2, 70}}})});
    const SmfFile file = readSmf(bytes);
    ASSERT_EQ(file.events.size(), 2u);
    EXPECT_EQ(file.events[0].status, 0xC2);
    EXPECT_EQ(file.events[0].data1, 5);
    EXPECT_EQ(file.events[1].status, 0xD2);
}

TEST(SmfReader, ReadsTheFirstTimeSignature) {
    const auto bytes = smfBytes(0, 96, {track({{0, {0xFF, 0x58, 4, 6, 3, 24, 8}}})});
    const SmfFile file = readSmf(bytes);
    EXPECT_EQ(file.timeSignature.numerator, 6);
    EXPECT_EQ(file.timeSignature.denominator, 8);
}

TEST(SmfReader, ASmpteTimeBaseCountsTicksPerSecond) {
    const auto bytes = smfBytes(0, ((0x100 - 25) << 8) | 40, {track({{0, {0x90, 60, 1}}})});
    const SmfFile file = readSmf(bytes);
    EXPECT_EQ(file.ticksPerQuarter, 0);
    EXPECT_DOUBLE_EQ(file.ticksPerSecond, 1000.0);
}

TEST(SmfReader, RefusesDamagedFilesWithAMessage) {
    const auto good = smfBytes(0, 96, {track({{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}})});
    EXPECT_THROW(readSmf(std::vector<uint8_t>{}), SmfError);
    EXPECT_THROW(readSmf(std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}),
                 SmfError);
    // Every cut that leaves the headers but not the whole track.
    for (size_t kept = 23; kept < good.size(); ++kept) {
        const std::span<const uint8_t> damaged(good.data(), kept);
        EXPECT_THROW(readSmf(damaged), SmfError) << "kept " << kept << " bytes";
    }
    EXPECT_THROW(readSmf(smfBytes(0, 96, {track({{0, {60, 100}}})})), SmfError); // no status
    EXPECT_THROW(readSmf(smfBytes(0, 0, {track({})})), SmfError);                // division 0
    EXPECT_THROW(readSmf(smfBytes(2, 96, {track({})})), SmfError);               // format 2
    EXPECT_THROW(readSmf(smfBytes(0, 96, {track({{0, {0x90, 0x80, 1}}})})), SmfError);
    EXPECT_THROW(readSmf(smfBytes(0, 96, {track({{0, {0xF1, 0}}})})), SmfError);
}

TEST(SmfReader, RefusesATimeValueLongerThanFourBytes) {
    std::vector<uint8_t> bytes = smfBytes(0, 96, {});
    const std::vector<uint8_t> body = {0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1};
    bytes[11] = 1; // one track
    bytes.insert(bytes.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(body.size())});
    bytes.insert(bytes.end(), body.begin(), body.end());
    EXPECT_THROW(readSmf(bytes), SmfError);
}

TEST(SmfReader, AMissingFileGivesAMessageNamingIt) {
    try {
        readSmfFile("/nonexistent/song.mid");
        FAIL();
    } catch (const SmfError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/song.mid"), std::string::npos);
    }
}

} // namespace
