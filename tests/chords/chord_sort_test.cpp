// The "Sort" submenu as a musician meets it: chords reordered and packed.
#include "chord_set_fixture.h"
#include "chord_sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

struct SortTest : ::testing::Test {
    std::unique_ptr<EngineState> state = emptyChordSet();
    EngineState& s = *state;
    ChordWorkList list;
};

ChordRecord record(std::initializer_list<int> notes) {
    ChordRecord r{};
    int p = 0;
    for (int n : notes) r.notes[p++] = static_cast<uint8_t>(n);
    return r;
}

int32_t chromatic(std::initializer_list<int> notes) {
    return chromaticScore(record(notes).notes);
}

int32_t fifths(std::initializer_list<int> notes) {
    return circleOfFifthsScore(record(notes).notes);
}

} // namespace

TEST_F(SortTest, SortingAnEmptySetLeavesEverySlotEmpty) {
    EXPECT_TRUE(sortChordSet(s, list, kSortLowNoteAbsolute));
    EXPECT_TRUE(occupiedSlots(s).empty());
}

TEST_F(SortTest, ChordsStayInTheRangeTheyOccupiedInTheirNewOrder) {
    for (int slot = 40; slot <= 45; ++slot) setChord(s, slot, {C5 - (slot - 40)});
    sortChordSet(s, list, kSortLowNoteAbsolute);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{40, 41, 42, 43, 44, 45}));
    for (int slot = 40; slot <= 45; ++slot)
        EXPECT_EQ(notesOf(s, slot), (std::vector<int>{C5 - 5 + (slot - 40)}));
}

TEST_F(SortTest, ScatteredChordsArePackedFromTheFirstOne) {
    setChord(s, 10, {E4});
    setChord(s, 90, {C4});
    sortChordSet(s, list, kSortLowNoteAbsolute);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{10, 11}));
    EXPECT_EQ(notesOf(s, 10), (std::vector<int>{C4}));
    EXPECT_EQ(notesOf(s, 11), (std::vector<int>{E4}));
}

TEST_F(SortTest, AChordWithoutFirstVoiceIsSortedButDoesNotSetTheStart) {
    setChord(s, 5, {0, 0, 0, C4});
    setChord(s, 20, {E4});
    sortChordSet(s, list, kSortLowNoteAbsolute);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{20, 21}));
    EXPECT_EQ(positionsOf(s, 20), (std::vector<int>{0, 0, 0, C4, 0, 0, 0, 0}));
}

TEST_F(SortTest, LowNoteAbsoluteBreaksTiesByTheNextNoteUp) {
    setChord(s, 0, {E4});
    setChord(s, 1, {C4, G4});
    setChord(s, 2, {G4, C4, E4});
    sortChordSet(s, list, kSortLowNoteAbsolute);
    EXPECT_EQ(notesOf(s, 0), (std::vector<int>{G4, C4, E4}));
    EXPECT_EQ(notesOf(s, 1), (std::vector<int>{C4, G4}));
    EXPECT_EQ(notesOf(s, 2), (std::vector<int>{E4}));
}

TEST_F(SortTest, LowNoteAbsoluteRanksALone127WithTheEmptyChords) {
    const ChordRecord top = record({127});
    const ChordRecord empty = record({});
    EXPECT_FALSE(chordPrecedes(kSortLowNoteAbsolute, top, empty));
    EXPECT_FALSE(chordPrecedes(kSortLowNoteAbsolute, empty, top));
    EXPECT_TRUE(chordPrecedes(kSortLowNoteAbsolute, record({126}), top));
}

TEST_F(SortTest, LowNotePitchClassIgnoresTheOctave) {
    setChord(s, 0, {D4});
    setChord(s, 1, {B4 - 24});
    setChord(s, 2, {C5 + 12});
    sortChordSet(s, list, kSortLowNotePitchClass);
    EXPECT_EQ(notesOf(s, 0), (std::vector<int>{C5 + 12}));
    EXPECT_EQ(notesOf(s, 1), (std::vector<int>{D4}));
    EXPECT_EQ(notesOf(s, 2), (std::vector<int>{B4 - 24}));
    EXPECT_TRUE(chordPrecedes(kSortLowNotePitchClass, record({B4}), record({})));
}

TEST_F(SortTest, HighNoteBreaksTiesByTheNextNoteDown) {
    setChord(s, 0, {E4, C5});
    setChord(s, 1, {C4, C5});
    setChord(s, 2, {A4});
    sortChordSet(s, list, kSortHighNote);
    EXPECT_EQ(notesOf(s, 0), (std::vector<int>{A4}));
    EXPECT_EQ(notesOf(s, 1), (std::vector<int>{C4, C5}));
    EXPECT_EQ(notesOf(s, 2), (std::vector<int>{E4, C5}));
    EXPECT_TRUE(chordPrecedes(kSortHighNote, record({127}), record({})));
}

TEST_F(SortTest, NumberOfNotesPutsFullerChordsFirst) {
    setChord(s, 0, {C4});
    setChord(s, 1, {C4, E4, G4});
    setChord(s, 2, {C4, D4, E4, F4, G4, A4, B4, C5});
    sortChordSet(s, list, kSortNoteCount);
    EXPECT_EQ(notesOf(s, 0).size(), 8u);
    EXPECT_EQ(notesOf(s, 1).size(), 3u);
    EXPECT_EQ(notesOf(s, 2).size(), 1u);
}

TEST_F(SortTest, HindemithChromaticRanksRootsFromCUp) {
    setChord(s, 0, {G4, B4, D5});
    setChord(s, 1, {F4, A4, C5});
    setChord(s, 2, {C4, E4, G4});
    setChord(s, 3, {Cs4, D4});
    sortChordSet(s, list, kSortHindemithChromatic);
    EXPECT_EQ(notesOf(s, 0), (std::vector<int>{C4, E4, G4}));
    EXPECT_EQ(notesOf(s, 1), (std::vector<int>{F4, A4, C5}));
    EXPECT_EQ(notesOf(s, 2), (std::vector<int>{G4, B4, D5}));
    EXPECT_EQ(notesOf(s, 3), (std::vector<int>{Cs4, D4}));
}

TEST_F(SortTest, HindemithCircleOfFifthsRanksRootsAlongTheCircle) {
    setChord(s, 0, {F4, A4, C5});
    setChord(s, 1, {D4, Fs4, A4});
    setChord(s, 2, {G4, B4, D5});
    setChord(s, 3, {C4, E4, G4});
    sortChordSet(s, list, kSortHindemithFifths);
    EXPECT_EQ(notesOf(s, 0), (std::vector<int>{C4, E4, G4}));
    EXPECT_EQ(notesOf(s, 1), (std::vector<int>{G4, B4, D5}));
    EXPECT_EQ(notesOf(s, 2), (std::vector<int>{D4, Fs4, A4}));
    EXPECT_EQ(notesOf(s, 3), (std::vector<int>{F4, A4, C5}));
}

TEST_F(SortTest, ScoresWeighRootThirdAndAddedInterval) {
    // Root C: 13 - 0, first voice in octave 5, note sum 262, M7 (8), M3 (5).
    EXPECT_EQ(chromatic({C4, E4, G4, B4}), 1300000 + 60 - 25 + 262 + 8000 + 25000);
    EXPECT_EQ(chromatic({G4, B4, D5}), 600000 + 60 - 25 + 212 + 25000);
    // G is one step round the circle from C.
    EXPECT_EQ(fifths({G4, B4, D5}), 1200000 + 212 + 25000);
    // A minor third weighs less than a major one.
    EXPECT_GT(chromatic({C4, E4, G4}), chromatic({C4, Ds4, G4}));
}

TEST_F(SortTest, RootlessChordsScoreBelowEveryRootedOne) {
    EXPECT_EQ(chromatic({C4}), 12000);
    EXPECT_EQ(fifths({E4}), 8000);
    // Semitones and tritones only: ranked by the first voice moved a sixth.
    EXPECT_EQ(chromatic({C4, Fs4, C5, Fs5}), 4000);
    EXPECT_EQ(chromatic({0, C4, Cs4}), 1);
    EXPECT_EQ(chromatic({}), 0);
    EXPECT_EQ(chromatic({0, 0, 0, 0, 0, 0, 0, C4}), 0);
    EXPECT_GE(chromatic({B4, Ds5, Fs5}), 100000);
    EXPECT_GE(fifths({F4, A4, C5}), 100000);
}

TEST_F(SortTest, VelocitiesTravelWithTheirChord) {
    setChord(s, 0, {E4});
    setVelocities(s, 0, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f});
    setChord(s, 1, {C4});
    setVelocities(s, 1, {0.9f, 0.9f, 0.9f, 0.9f, 0.9f, 0.9f, 0.9f, 0.9f});
    sortChordSet(s, list, kSortLowNoteAbsolute);
    EXPECT_EQ(notesOf(s, 1), (std::vector<int>{E4}));
    for (int k = 0; k < 8; ++k) {
        EXPECT_FLOAT_EQ(s.chordVel[k][1], 0.1f * (k + 1));
        EXPECT_FLOAT_EQ(s.chordVel[k][0], 0.9f);
    }
}

TEST_F(SortTest, CommandValuesSelectAnOrderOrNothing) {
    EXPECT_EQ(sortOrderOfCommand(0.0f), 0);
    EXPECT_EQ(sortOrderOfCommand(0.4f), 0);
    EXPECT_EQ(sortOrderOfCommand(3.0f), 3);
    EXPECT_EQ(sortOrderOfCommand(5.0f), 5);
    EXPECT_EQ(sortOrderOfCommand(5.4f), 5);
    EXPECT_EQ(sortOrderOfCommand(-0.1f), -1);
    EXPECT_EQ(sortOrderOfCommand(5.5f), -1);
    EXPECT_EQ(sortOrderOfCommand(7.0f), -1);
    EXPECT_EQ(sortOrderOfCommand(NAN), -1);
    EXPECT_EQ(sortOrderOfCommand(INFINITY), -1);

    setChord(s, 7, {C4});
    EXPECT_FALSE(sortChordSet(s, list, 6));
    EXPECT_FALSE(sortChordSet(s, list, -1));
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{7}));
}
