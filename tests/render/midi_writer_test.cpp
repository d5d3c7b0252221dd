// The output file: read back by our reader, the plug-in's events sit at
// the beats where they were played, with the input's tempo map, and no
// note is left hanging.
#include "midi_writer.h"
#include "song_bytes.h"
#include "smf_reader.h"
#include "tempo_map.h"

#include <gtest/gtest.h>

namespace {

constexpr double kRate = 48000.0;

std::vector<uint8_t> asBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// 120 BPM for the first beat, then 60 BPM.
TempoMap slowingTempo() {
    return TempoMap::ofFile(
        readSmf(smfBytes(0, 96, {track({{96, {0xFF, 0x51, 3, 0x0F, 0x42, 0x40}}})})));
}

TEST(MidiWriter, PlacesEventsOnTheBeatsOfTheTempoMap) {
    const std::vector<TimedMidi> played = {{0, 0x90, 60, 100},     // beat 0
                                           {24000, 0x80, 60, 0},   // 0.5 s: beat 1
                                           {72000, 0x92, 64, 80},  // 1.5 s: beat 2 at 60 BPM
                                           {120000, 0x82, 64, 0}}; // 2.5 s: beat 3
    const SmfFile file = readSmf(
        asBytes(midiFileBytes(played, slowingTempo(), SmfTimeSignature{3, 4}, kRate, 120000)));
    EXPECT_EQ(file.format, 0);
    EXPECT_EQ(file.ticksPerQuarter, 960);
    ASSERT_EQ(file.events.size(), 4u);
    EXPECT_EQ(file.events[0].tick, 0);
    EXPECT_EQ(file.events[1].tick, 960);
    EXPECT_EQ(file.events[2].tick, 1920);
    EXPECT_EQ(file.events[2].status, 0x92);
    EXPECT_EQ(file.events[3].tick, 2880);
    ASSERT_EQ(file.tempoChanges.size(), 2u);
    EXPECT_EQ(file.tempoChanges[1].tick, 960);
    EXPECT_EQ(file.tempoChanges[1].microsPerQuarter, 1000000u);
    EXPECT_EQ(file.timeSignature.numerator, 3);
    EXPECT_EQ(file.endTick, 2880);
}

TEST(MidiWriter, EndsNotesStillHeldAtTheEnd) {
    const std::vector<TimedMidi> played = {{0, 0x90, 60, 100}, {0, 0x90, 67, 100}};
    const SmfFile file =
        readSmf(asBytes(midiFileBytes(played, slowingTempo(), SmfTimeSignature{}, kRate, 24000)));
    ASSERT_EQ(file.events.size(), 4u);
    for (int i = 2; i < 4; ++i) {
        EXPECT_EQ(file.events[i].status, 0x80);
        EXPECT_EQ(file.events[i].tick, 960);
    }
}

TEST(MidiWriter, KeepsOneByteMessagesShort) {
    const std::vector<TimedMidi> played = {{0, 0xC1, 7, 0}, {10, 0xB1, 64, 127}};
    const SmfFile file =
        readSmf(asBytes(midiFileBytes(played, slowingTempo(), SmfTimeSignature{}, kRate, 100)));
    ASSERT_EQ(file.events.size(), 2u);
    EXPECT_EQ(file.events[0].status, 0xC1);
    EXPECT_EQ(file.events[0].data1, 7);
    EXPECT_EQ(file.events[1].status, 0xB1);
    EXPECT_EQ(file.events[1].data2, 127);
}

} // namespace
