// The renderer's MIDI files: what a sequencer's files contain comes out in
// time order and in seconds along their tempo map; damaged files are
// refused with a message, never read past the end; the output file read
// back holds the events on the beats where they were played.
#include "midi_writer.h"
#include "smf_reader.h"
#include "song_bytes.h"
#include "tempo_map.h"

#include <array>
#include <gtest/gtest.h>

TEST(SmfReader, MergesTracksInTimeOrderWithRunningStatusAndOneByteMessages) {
    const SmfFile file = readSmf(smfBytes(
        1, 480,
        {track({{0, {0xFF, 0x51, 3, 0x07, 0xA1, 0x20}},
                {0, {0xFF, 0x58, 4, 6, 3, 24, 8}},
                {0, {0xF0, 3, 0x7E, 0x7F, 0xF7}}, // sysex: skipped
                {240, {0x91, 62, 90}},
                {5, {0xC2, 5}}}),
         track({{0, {0x90, 60, 100}}, {480, {64, 90}} /* running status */, {10, {0xD2, 70}}})}));
    EXPECT_EQ(file.format, 1);
    EXPECT_EQ(file.trackCount, 2);
    EXPECT_EQ(file.ticksPerQuarter, 480);
    std::vector<std::array<int64_t, 4>> events;
    for (const SmfEvent& e : file.events) events.push_back({e.tick, e.status, e.data1, e.data2});
    EXPECT_EQ(events, (std::vector<std::array<int64_t, 4>>{{0, 0x90, 60, 100},
                                                           {240, 0x91, 62, 90},
                                                           {245, 0xC2, 5, 0},
                                                           {480, 0x90, 64, 90},
                                                           {490, 0xD2, 70, 0}}));
    ASSERT_EQ(file.tempoChanges.size(), 1u);
    EXPECT_EQ(file.tempoChanges[0].microsPerQuarter, 500000u);
    EXPECT_EQ(file.timeSignature.numerator, 6);
    EXPECT_EQ(file.timeSignature.denominator, 8);
    EXPECT_EQ(file.endTick, 490);
}

TEST(SmfReader, RefusesDamagedFilesWithAMessage) {
    const auto good = smfBytes(0, 96, {track({{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}})});
    EXPECT_THROW(readSmf(std::vector<uint8_t>{}), SmfError);
    EXPECT_THROW(readSmf(std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}),
                 SmfError);
    // Every cut that leaves the headers but not the whole track.
    for (size_t kept = 23; kept < good.size(); ++kept)
        EXPECT_THROW(readSmf(std::span<const uint8_t>(good.data(), kept)), SmfError) << kept;
    EXPECT_THROW(readSmf(smfBytes(0, 96, {track({{0, {60, 100}}})})), SmfError); // no status
    EXPECT_THROW(readSmf(smfBytes(0, 0, {track({})})), SmfError);                // division 0
    EXPECT_THROW(readSmf(smfBytes(2, 96, {track({})})), SmfError);               // format 2
    EXPECT_THROW(readSmf(smfBytes(0, 96, {track({{0, {0x90, 0x80, 1}}})})), SmfError);
    EXPECT_THROW(readSmf(smfBytes(0, 96, {track({{0, {0xF1, 0}}})})), SmfError);
    // A time value longer than four bytes.
    std::vector<uint8_t> bytes = smfBytes(0, 96, {});
    const std::vector<uint8_t> body = {0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1};
    bytes[11] = 1; // one track
    bytes.insert(bytes.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(body.size())});
    bytes.insert(bytes.end(), body.begin(), body.end());
    EXPECT_THROW(readSmf(bytes), SmfError);
    try {
        readSmfFile("/nonexistent/song.mid");
        FAIL();
    } catch (const SmfError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/song.mid"), std::string::npos);
    }
}

TEST(TempoMap, TicksBecomeSecondsAlongTheTempoChangesAndBack) {
    // 120 BPM for one bar (4 quarters at 96 ticks), then 60 BPM.
    const SmfFile file = readSmf(
        smfBytes(0, 96, {track({{384, {0xFF, 0x51, 3, 0x0F, 0x42, 0x40}}, {384, {0x90, 60, 1}}})}));
    const TempoMap map = TempoMap::ofFile(file);
    EXPECT_DOUBLE_EQ(map.secondsOfTick(384), 2.0);
    EXPECT_DOUBLE_EQ(map.secondsOfTick(768), 6.0);
    EXPECT_DOUBLE_EQ(map.beatsPerMinuteAt(5.0), 60.0);
    for (double quarter : {0.0, 1.5, 4.0, 6.25, 20.0})
        EXPECT_NEAR(map.quarterOfSeconds(map.secondsOfQuarter(quarter)), quarter, 1e-9);
    EXPECT_DOUBLE_EQ(TempoMap::constant(file, 90.0).secondsOfTick(768), 8 * 60.0 / 90.0);
    // Without tempo events 120 BPM; a SMPTE time base counts real time.
    EXPECT_DOUBLE_EQ(TempoMap::ofFile(readSmf(smfBytes(0, 480, {track({{960, {0x90, 60, 1}}})})))
                         .secondsOfTick(960),
                     1.0);
    const SmfFile smpte =
        readSmf(smfBytes(0, ((0x100 - 25) << 8) | 40, {track({{1500, {0x90, 60, 1}}})}));
    EXPECT_DOUBLE_EQ(smpte.ticksPerSecond, 1000.0);
    EXPECT_DOUBLE_EQ(TempoMap::ofFile(smpte).secondsOfTick(1500), 1.5);
}

TEST(MidiWriter, PlacesEventsOnTheBeatsOfTheTempoMapAndEndsHeldNotes) {
    // 120 BPM for the first beat, then 60 BPM.
    const TempoMap slowing = TempoMap::ofFile(
        readSmf(smfBytes(0, 96, {track({{96, {0xFF, 0x51, 3, 0x0F, 0x42, 0x40}}})})));
    const std::vector<TimedMidi> played = {{0, 0x90, 60, 100},    // beat 0
                                           {24000, 0x80, 60, 0},  // 0.5 s: beat 1
                                           {72000, 0x92, 64, 80}, // 1.5 s: beat 2 at 60 BPM
                                           {96000, 0xC1, 7, 0}};  // 2 s: beat 2.5
    const std::string bytes =
        midiFileBytes(played, slowing, SmfTimeSignature{3, 4}, 48000.0, 120000);
    const SmfFile file = readSmf(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_EQ(file.format, 0);
    EXPECT_EQ(file.ticksPerQuarter, 960);
    std::vector<std::array<int64_t, 3>> events;
    for (const SmfEvent& e : file.events) events.push_back({e.tick, e.status, e.data1});
    // The note still held at the end (2.5 s, beat 3) ends there, on its channel.
    EXPECT_EQ(
        events,
        (std::vector<std::array<int64_t, 3>>{
            {0, 0x90, 60}, {960, 0x80, 60}, {1920, 0x92, 64}, {2400, 0xC1, 7}, {2880, 0x82, 64}}));
    ASSERT_EQ(file.tempoChanges.size(), 2u);
    EXPECT_EQ(file.tempoChanges[1].tick, 960);
    EXPECT_EQ(file.tempoChanges[1].microsPerQuarter, 1000000u);
    EXPECT_EQ(file.timeSignature.numerator, 3);
    EXPECT_EQ(file.endTick, 2880);
}
