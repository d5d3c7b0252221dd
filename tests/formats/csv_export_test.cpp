// The chord memory as a CSV list.
#include "chord_naming.h"
#include "csv_export.h"
#include "format_test_support.h"
#include "preset_file.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void clearChords(EngineState& s) {
    for (auto& voice : s.chordNote)
        for (float& note : voice) note = 0.0f;
}

} // namespace

TEST(CsvNoteNames, AreFourCharactersWithTheOctaveFromMinusTwo) {
    EXPECT_EQ(csvNoteName(0), "C -2");
    EXPECT_EQ(csvNoteName(13), "C#-1");
    EXPECT_EQ(csvNoteName(25), "C#0 ");
    EXPECT_EQ(csvNoteName(60), "C 3 ");
    EXPECT_EQ(csvNoteName(70), "A#3 ");
    EXPECT_EQ(csvNoteName(127), "G 8 ");
}

TEST(ChordsCsv, AnEmptyMemoryGivesKeyNamesAndBlanks) {
    StandInDoor door;
    clearChords(door.state());
    const std::string text = chordsCsv(door.state());
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(text.back(), '\n');
    for (int n = 0; n < 128; ++n) {
        std::string expected = csvNoteName(n) + ",  ,";
        for (int k = 0; k < 8; ++k) expected += "  ,";
        ASSERT_EQ(lines[n], expected) << n;
    }
    EXPECT_STREQ(door.state().chordName, "  ");
}

TEST(ChordsCsv, EveryLineNamesItsChordAndVoices) {
    StandInDoor door;
    EngineState& s = door.state();
    clearChords(s);
    s.chordNote[0][60] = 60 / 128.0f;
    s.chordNote[1][60] = 64 / 128.0f;
    s.chordNote[2][60] = 67 / 128.0f;
    s.chordNote[5][60] = 130 / 128.0f; // beyond 127: no note, and not named
    s.chordNote[3][61] = 61 / 128.0f;
    s.chordNote[4][62] = 140 / 128.0f;

    const std::vector<std::string> lines = linesOf(chordsCsv(s));
    char name[kChordNameCapacity] = "";
    const uint8_t cMajor[8] = {60, 64, 67, 0, 0, 0, 0, 0};
    composeChordName(cMajor, ChordNameForm::kShort, name, nullptr);
    EXPECT_EQ(lines[60], std::string("C 3 ,") + name + ",C 3 ,E 3 ,G 3 ,  ,  ,  ,  ,  ,");
    EXPECT_EQ(lines[60].substr(0, 5), "C 3 ,");
    EXPECT_EQ(lines[61].substr(lines[61].size() - 17), "C#3 ,  ,  ,  ,  ,");
    EXPECT_EQ(lines[62].substr(0, 8), "D 3 ,  ,") << "only a voice beyond 127: no chord";
}

TEST(ChordsCsv, TheDefaultMemoryNamesEveryKeysMinorTriad) {
    StandInDoor door;
    const std::vector<std::string> lines = linesOf(chordsCsv(door.state()));
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(lines[0].substr(0, 5), "C -2,");
    // Note 0 is no note: the voice holding it is blank.
    EXPECT_NE(lines[0].find(",  ,D#-2,G -2,  ,"), std::string::npos) << lines[0];
    EXPECT_NE(lines[121].find(",C#8 ,E 8 ,  ,  ,"), std::string::npos) << "notes above 127 drop";
}

TEST(ChordsCsv, IsSavedUnderTheTrimmedPath) {
    ScratchFolder folder;
    StandInDoor door;
    std::string path = folder / "chords.csv.csv";
    ASSERT_TRUE(saveChordsCsv(door.state(), path));
    EXPECT_EQ(path, folder / "chords.csv");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readWholeFile(path, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), chordsCsv(door.state()));

    std::string empty;
    EXPECT_FALSE(saveChordsCsv(door.state(), empty));
    std::string unwritable = "/nonexistent-zandrel-folder/c";
    EXPECT_FALSE(saveChordsCsv(door.state(), unwritable));
}
