// Chord names as the display and the CSV list show them.
#include "chord_naming.h"
#include "root_analysis.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {
std::string nameOf(std::initializer_list<int> notes, ChordNameForm form = ChordNameForm::kShort,
                   const char* previous = "previous") {
    uint8_t bytes[8] = {};
    int i = 0;
    for (int n : notes) bytes[i++] = static_cast<uint8_t>(n);
    char name[kChordNameCapacity] = {};
    std::strcpy(name, previous);
    composeChordName(bytes, form, name, nullptr);
    return name;
}
} // namespace

TEST(ChordNaming, CommonChordsGetTheirRootQualityAndExtension) {
    EXPECT_EQ(nameOf({60, 64, 67}), "C  Maj");
    EXPECT_EQ(nameOf({61, 65, 68}), "C# Maj");
    EXPECT_EQ(nameOf({60, 63, 67, 70}), "C  min 7");
    EXPECT_EQ(nameOf({67, 71, 74, 77}), "G  Dom 7");
    EXPECT_EQ(nameOf({60, 64, 67, 71, 74}), "C  Maj 9"); // the last extension wins
    EXPECT_EQ(nameOf({60, 65, 67}), "C  sus4");
    EXPECT_EQ(nameOf({59, 62, 65}), "B  dim"); // the minor third, then the tritone
    EXPECT_EQ(nameOf({60, 64, 67}, ChordNameForm::kLong), "C  Major");
    EXPECT_EQ(nameOf({67, 71, 74, 77}, ChordNameForm::kLong), "G  Dom 7");
    EXPECT_EQ(nameOf({60, 63, 67}, ChordNameForm::kLong), "C  minor");
}

TEST(ChordNaming, TrickyRootsFollowTheIntervalRanking) {
    // C-D makes D the root first; the major third C-E then makes it C.
    EXPECT_EQ(nameOf({60, 62, 64}), "C  Maj 9");
    // E-G says E; the minor sixth E-C then says C.
    EXPECT_EQ(nameOf({64, 67, 72}), "C  Maj");
    // D-F is never taken with D as the lower note: the root stays B.
    EXPECT_EQ(nameOf({59, 62, 65}), "B  dim");
}

TEST(ChordNaming, EmptyAndSparseChords) {
    EXPECT_EQ(nameOf({}), "previous");                        // nothing: the name stays
    EXPECT_EQ(nameOf({0, 0, 0, 0, 0, 0, 0, 60}), "previous"); // only position 7
    EXPECT_EQ(nameOf({64}), "E ");                            // one note, no words
    EXPECT_EQ(nameOf({0, 61}), "       ");                    // no root, no note in position 0
}

TEST(ChordNaming, TheLongFormReportsTheRootPitchClass) {
    const uint8_t notes[8] = {62, 66, 69};
    char name[kChordNameCapacity] = {};
    int32_t root = -1;
    composeChordName(notes, ChordNameForm::kLong, name, &root);
    EXPECT_EQ(root, 2);
    EXPECT_STREQ(name, "D  Major");
}

TEST(RootAnalysis, SaysWhetherAChordHasARoot) {
    const uint8_t triad[8] = {60, 64, 67};
    EXPECT_EQ(analyseRoot(triad).outcome, RootAnalysis::kRoot);
    EXPECT_EQ(analyseRoot(triad).root, 0);
    const uint8_t single[8] = {60};
    EXPECT_EQ(analyseRoot(single).outcome, RootAnalysis::kNoRoot);
    const uint8_t semitones[8] = {60, 61, 72}; // a semitone, an octave, a major seventh
    EXPECT_EQ(analyseRoot(semitones).outcome, RootAnalysis::kNoRoot);
    const uint8_t lastOnly[8] = {0, 0, 0, 0, 0, 0, 0, 60};
    EXPECT_EQ(analyseRoot(lastOnly).outcome, RootAnalysis::kNotAnalysed);
}
