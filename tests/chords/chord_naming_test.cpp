// Chord names as the chord display and the CSV list show them, and the root
// search behind them.
#include "chord_naming.h"
#include "chord_set_fixture.h"
#include "root_analysis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string nameOf(std::initializer_list<int> notes, ChordNameForm form = ChordNameForm::kShort,
                   int32_t* root = nullptr) {
    uint8_t bytes[8] = {};
    int p = 0;
    for (int n : notes) bytes[p++] = static_cast<uint8_t>(n);
    char name[kChordNameCapacity];
    std::strcpy(name, "previous");
    composeChordName(bytes, form, name, root);
    return name;
}

RootAnalysis rootOf(std::initializer_list<int> notes) {
    uint8_t bytes[8] = {};
    int p = 0;
    for (int n : notes) bytes[p++] = static_cast<uint8_t>(n);
    return analyseRoot(bytes);
}

} // namespace

TEST(ChordNaming, TriadsAndSeventhsShowRootQualityAndExtension) {
    EXPECT_EQ(nameOf({C4, E4, G4}), "C  Maj");
    EXPECT_EQ(nameOf({Cs4, F4, Gs4}), "C# Maj");
    EXPECT_EQ(nameOf({C4, Ds4, G4, As4}), "C  min 7");
    EXPECT_EQ(nameOf({G4, B4, D5, F5}), "G  Dom 7");
    EXPECT_EQ(nameOf({C4, F4, G4}), "C  sus4");
    EXPECT_EQ(nameOf({A4, C5, E5, Fs5}), "A  min M6");
    EXPECT_EQ(nameOf({C4, E4, G4, B4}), "C  Maj M7");
}

TEST(ChordNaming, TheLastQualityAndTheLastExtensionWin) {
    // B is a major seventh above C, D a ninth: the later position names it.
    EXPECT_EQ(nameOf({C4, E4, G4, B4, D5}), "C  Maj 9");
    // D sets the minor word, then F replaces it with the diminished one.
    EXPECT_EQ(nameOf({59, 62, 65}), "B  dim");
}

TEST(ChordNaming, LongFormSpellsTheQualityOutAndReportsTheRoot) {
    int32_t root = -1;
    EXPECT_EQ(nameOf({C4, E4, G4}, ChordNameForm::kLong, &root), "C  Major");
    EXPECT_EQ(root, 0);
    EXPECT_EQ(nameOf({G4, B4, D5, F5}, ChordNameForm::kLong, &root), "G  Dom 7");
    EXPECT_EQ(root, 7);
    EXPECT_EQ(nameOf({A4, C5, E5}, ChordNameForm::kLong, &root), "A  minor");
    EXPECT_EQ(root, 9);
}

TEST(ChordNaming, ShortFormLeavesTheArpeggiatorRootAlone) {
    int32_t root = 5;
    nameOf({G4, B4, D5}, ChordNameForm::kShort, &root);
    EXPECT_EQ(root, 5);
}

TEST(ChordNaming, AnEmptyChordOrOneOnlyInTheLastVoiceKeepsThePreviousName) {
    EXPECT_EQ(nameOf({}), "previous");
    EXPECT_EQ(nameOf({0, 0, 0, 0, 0, 0, 0, E4}), "previous");
    int32_t root = 3;
    EXPECT_EQ(nameOf({0, 0, 0, 0, 0, 0, 0, E4}, ChordNameForm::kLong, &root), "previous");
    EXPECT_EQ(root, 3);
}

TEST(ChordNaming, ASingleNoteShowsOnlyItsLetter) {
    EXPECT_EQ(nameOf({E4}), "E ");
    EXPECT_EQ(nameOf({Fs4}), "F#");
}

TEST(ChordNaming, AChordWithoutRootAndWithoutFirstVoiceShowsBlanks) {
    // Two notes a semitone apart give no root, and position 0 is empty.
    EXPECT_EQ(nameOf({0, C4, Cs4}), "       ");
}

TEST(ChordNaming, AChordWithoutRootIsNamedAfterItsFirstVoice) {
    // A tritone ranks no root; the first voice names the chord.
    EXPECT_EQ(nameOf({D4, Gs4}), "D  dim");
}

TEST(ChordNaming, TheTrickyRootsOfCloseVoicings) {
    // C-D first makes D the root, C-E then makes it C.
    EXPECT_EQ(nameOf({C4, D4, E4}), "C  Maj 9");
    // E-G makes E the root, E-C then C; G-C (positions 1 and 2) is not compared.
    EXPECT_EQ(nameOf({E4, G4, C5}), "C  Maj");
    // D-F (positions 1 and 2) is never taken with D below, so B stays the root.
    EXPECT_EQ(nameOf({59, 62, 65}), "B  dim");
}

TEST(ChordNaming, EveryNameFitsTheNameText) {
    // Longest possible: a two-character root, " minor" and " sus4".
    const std::string name = nameOf({Cs4, E4, Fs4, Gs4}, ChordNameForm::kLong);
    EXPECT_LE(name.size(), static_cast<size_t>(kChordNameCapacity - 1));
    EXPECT_EQ(name, "C# minor sus4");
}

TEST(ChordNaming, TheChordOfAKeyIsNamedFromTheChordMemory) {
    auto s = emptyChordSet();
    setChord(*s, 40, {G4, B4, D5, F5});
    s->chordNote[4][40] = 200 / 128.0f; // decodes to no note
    char name[kChordNameCapacity] = "old";
    composeKeyChordName(*s, 40, name);
    EXPECT_STREQ(name, "G  Dom 7");
    composeKeyChordName(*s, 41, name);
    EXPECT_STREQ(name, "G  Dom 7");
    composeKeyChordName(*s, 300, name);
    EXPECT_STREQ(name, "G  Dom 7");
}

TEST(RootAnalysis, FifthOutranksThirdsAndFourthsNameTheUpperNote) {
    EXPECT_EQ(rootOf({C4, E4, G4}).root, 0);
    // G C: a fourth, whose upper note is the root.
    EXPECT_EQ(rootOf({G4, C5}).root, 0);
    // C-F is a fourth naming F, but the later fifth C-G names C.
    RootAnalysis r = rootOf({C4, F4, G4});
    EXPECT_EQ(r.outcome, RootAnalysis::kRoot);
    EXPECT_EQ(r.root, 0);
    // E-C is a minor sixth: the upper note C.
    EXPECT_EQ(rootOf({E4, C5}).root, 0);
    // C-A is a major sixth: the upper note A.
    EXPECT_EQ(rootOf({C4, A4}).root, 9);
}

TEST(RootAnalysis, ThirdsAndSixthsDoNotOverruleEachOtherBackwards) {
    // A-F (minor sixth) names F; the minor third A-C above does not undo it.
    EXPECT_EQ(rootOf({A4, F5, C5 + 12}).root, 5);
    // C E A is A minor: the major sixth C-A outranks the major third C-E.
    EXPECT_EQ(rootOf({C4, E4, A4}).root, 9);
    // But not a minor third: C Eb A keeps C.
    EXPECT_EQ(rootOf({C4, Ds4, A4}).root, 0);
}

TEST(RootAnalysis, TheLastVoiceIsNeverTheLowerNoteOfAnInterval) {
    // C in voice 7 below E in voice 0: the pair is never taken from C.
    EXPECT_EQ(rootOf({E4, 0, 0, 0, 0, 0, 0, C4}).outcome, RootAnalysis::kNoRoot);
    EXPECT_EQ(nameOf({E4, 0, 0, 0, 0, 0, 0, C4}), "E  m6");
}

TEST(RootAnalysis, ChordsWithoutDecidingIntervalsHaveNoRoot) {
    EXPECT_EQ(rootOf({C4}).outcome, RootAnalysis::kNoRoot);
    EXPECT_EQ(rootOf({C4, Fs4, C5, Fs5}).outcome, RootAnalysis::kNoRoot);
    EXPECT_EQ(rootOf({C4, C5}).outcome, RootAnalysis::kNoRoot);
}

TEST(RootAnalysis, EmptyChordsAndLoneLastVoicesAreNotAnalysed) {
    EXPECT_EQ(rootOf({}).outcome, RootAnalysis::kNotAnalysed);
    EXPECT_EQ(rootOf({0, 0, 0, 0, 0, 0, 0, G4}).outcome, RootAnalysis::kNotAnalysed);
    // A note in position 1 is enough to be analysed, even without a root.
    EXPECT_EQ(rootOf({0, G4}).outcome, RootAnalysis::kNoRoot);
    // The last voice takes part as an upper note.
    RootAnalysis r = rootOf({0, 0, 0, 0, 0, 0, C4, G4});
    EXPECT_EQ(r.outcome, RootAnalysis::kRoot);
    EXPECT_EQ(r.root, 0);
}
