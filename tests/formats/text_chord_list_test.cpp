// Chord presets kept as text lines of a key and note offsets.
#include "format_test_support.h"
#include "preset_file.h"
#include "text_chord_list.h"

#include <gtest/gtest.h>
#include <string>

namespace {
bool load(StandInDoor& door, const std::string& text) {
    return loadChordPreset(door, reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                           "/p/Chord/modes.txt");
}
float noteValue(int note) {
    return note * 0.0078125f;
}
} // namespace

TEST(TextChordList, LinesSetTheChordsOfTheirKeys) {
    StandInDoor door;
    door.state().currentKey = 3;
    ASSERT_TRUE(load(door, "Mode list\n60 0 4 7\n62 0 3 7"));
    const EngineState& s = door.state();
    EXPECT_EQ(s.chordNote[0][60], noteValue(60));
    EXPECT_EQ(s.chordNote[1][60], noteValue(64));
    EXPECT_EQ(s.chordNote[2][60], noteValue(67));
    EXPECT_EQ(s.chordNote[0][62], noteValue(62));
    EXPECT_EQ(s.chordNote[1][62], noteValue(65));
    EXPECT_EQ(s.chordNote[2][62], noteValue(69));
    EXPECT_EQ(s.currentKey, 62);
    EXPECT_EQ(door.chordResets, 1);
    EXPECT_STREQ(s.chordPresetMenuName, "modes");
}

TEST(TextChordList, UpToEightOffsetsFillTheVoices) {
    StandInDoor door;
    load(door, "Mode\n48 0 2 4 5 7 9 11 12 14\n");
    const int offsets[8] = {0, 2, 4, 5, 7, 9, 11, 12};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(door.state().chordNote[k][48], noteValue(48 + offsets[k])) << k;
}

TEST(TextChordList, VoicesWithoutAnOffsetKeepTheirDefaults) {
    StandInDoor door;
    load(door, "Mode\n10 0 5\n");
    EXPECT_EQ(door.state().chordNote[1][10], noteValue(15));
    EXPECT_EQ(door.state().chordNote[2][10], noteValue(17)) << "default third voice";
    EXPECT_EQ(door.state().chordNote[3][10], 0.0f);
}

TEST(TextChordList, LinesWithoutAChordAreSkipped) {
    StandInDoor door;
    load(door, "Mode\n20\n21 0\n22 -3\n200 0 4\n-1 0 4\n\n  23 0 7\r\n");
    const EngineState& s = door.state();
    EXPECT_EQ(s.chordNote[1][20], noteValue(23)) << "a key alone sets nothing";
    EXPECT_EQ(s.chordNote[0][21], noteValue(21));
    EXPECT_EQ(s.chordNote[0][22], noteValue(19)) << "one note off the key is applied";
    EXPECT_EQ(s.chordNote[1][22], noteValue(25));
    EXPECT_EQ(s.chordNote[1][23], noteValue(30)) << "leading blanks and CR";
    EXPECT_EQ(s.currentKey, 23);
    for (const auto& call : door.parameters) {
        if (call.first == 84) {
            EXPECT_NE(call.second, 200 * 0.0078125f);
        }
    }
}

TEST(TextChordList, ATitleWithoutLinesOnlyResets) {
    StandInDoor door;
    load(door, "Mode");
    EXPECT_EQ(door.chordResets, 1);
    EXPECT_FALSE(door.sawParameter(84));
}
