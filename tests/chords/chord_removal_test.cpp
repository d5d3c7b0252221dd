// The "Remove" submenu: what is left of the chord set afterwards.
#include "chord_removal.h"
#include "chord_set_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

struct RemovalTest : ::testing::Test {
    std::unique_ptr<EngineState> state = emptyChordSet();
    EngineState& s = *state;
    ChordWorkList list;

    void play(std::initializer_list<int> keys) {
        s.playedKeysMode = 1;
        s.playedKeysCount = 0;
        for (int k : keys) s.playedKeys[s.playedKeysCount++] = static_cast<int8_t>(k);
    }
};

} // namespace

TEST_F(RemovalTest, DuplicateChordsKeepTheLastOfAGroupWhateverTheVoicing) {
    setChord(s, 5, {C4, E4, G4});
    setChord(s, 9, {G4, C4, E4});
    setChord(s, 12, {C4, E4, G4});
    const RemoveOutcome outcome = removeChords(s, list, 0.0f);
    EXPECT_TRUE(outcome.chordSetChanged);
    EXPECT_FALSE(outcome.stopPlayedKeys);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{12}));
    EXPECT_EQ(notesOf(s, 12), (std::vector<int>{C4, E4, G4}));
}

TEST_F(RemovalTest, DuplicateRemovalComparesNotesNotVelocitiesOrOctaves) {
    setChord(s, 0, {C4, E4});
    setVelocities(s, 0, {0.1f, 0.1f});
    setChord(s, 1, {E4, C4});
    setVelocities(s, 1, {0.9f, 0.7f});
    setChord(s, 2, {C5, E4});
    removeDuplicateChords(s, list);
    // The survivor is the second chord, its notes now in ascending order
    // with its velocities left in their positions; the set starts where it
    // now begins.
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{1, 2}));
    EXPECT_EQ(positionsOf(s, 1), (std::vector<int>{C4, E4, 0, 0, 0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(s.chordVel[0][1], 0.9f);
    EXPECT_EQ(notesOf(s, 2), (std::vector<int>{E4, C5}));
}

TEST_F(RemovalTest, DuplicateRemovalSparesMarkedChords) {
    setChord(s, 3, {D4, Fs4});
    setChord(s, 8, {D4, Fs4});
    s.occupancyMarks[3] = 1;
    removeDuplicateChords(s, list);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{3, 4}));
}

TEST_F(RemovalTest, ChordsOfAGivenSizeGoAndTheRestIsPackedFromTheFirst) {
    setChord(s, 0, {C4, G4});
    setChord(s, 4, {D4});
    setChord(s, 6, {E4, G4, B4});
    setChord(s, 9, {0, F4, 0, A4});
    EXPECT_TRUE(removeChords(s, list, 2.0f).chordSetChanged);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{4, 5}));
    EXPECT_EQ(notesOf(s, 4), (std::vector<int>{D4}));
    EXPECT_EQ(notesOf(s, 5), (std::vector<int>{E4, G4, B4}));

    removeChords(s, list, 1.0f);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{5}));
    removeChords(s, list, 3.0f);
    EXPECT_TRUE(occupiedSlots(s).empty());
}

TEST_F(RemovalTest, UnwatchedRemovalWithNothingPlayedChangesNothing) {
    setChord(s, 2, {C4});
    s.playedKeysMode = 1;
    s.playedKeysCount = 0;
    for (float value : {4.0f, 5.0f}) {
        const RemoveOutcome outcome = removeChords(s, list, value);
        EXPECT_FALSE(outcome.chordSetChanged);
        EXPECT_FALSE(outcome.stopPlayedKeys);
        EXPECT_EQ(occupiedSlots(s), (std::vector<int>{2}));
    }
}

TEST_F(RemovalTest, UnwatchedRemovalCanCollapseThePlayedChords) {
    for (int slot : {10, 20, 30, 40}) setChord(s, slot, {slot + 30});
    play({40, 20});
    const RemoveOutcome outcome = removeChords(s, list, 4.0f);
    EXPECT_TRUE(outcome.chordSetChanged);
    EXPECT_TRUE(outcome.stopPlayedKeys);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{20, 21}));
    EXPECT_EQ(notesOf(s, 20), (std::vector<int>{50}));
    EXPECT_EQ(notesOf(s, 21), (std::vector<int>{70}));
}

TEST_F(RemovalTest, UnwatchedRemovalCanPreserveThePlayedChordsPlaces) {
    for (int slot : {10, 20, 30, 40}) setChord(s, slot, {slot + 30});
    play({40, 20});
    const RemoveOutcome outcome = removeChords(s, list, 5.0f);
    EXPECT_TRUE(outcome.chordSetChanged);
    EXPECT_TRUE(outcome.stopPlayedKeys);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{20, 40}));
}

TEST_F(RemovalTest, OnlyExactCommandValuesRemoveAnything) {
    setChord(s, 1, {C4});
    setChord(s, 2, {C4});
    for (float value : {0.5f, 1.01f, -1.0f, 6.0f, NAN}) {
        const RemoveOutcome outcome = removeChords(s, list, value);
        EXPECT_FALSE(outcome.chordSetChanged);
    }
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{1, 2}));
}

TEST_F(RemovalTest, ADamagedPlayedKeysListIsReadSafely) {
    setChord(s, 3, {C4});
    setChord(s, 4, {D4});
    s.playedKeys[0] = 4;
    s.playedKeys[1] = -7;
    s.playedKeysCount = 100000;
    removeChords(s, list, 5.0f);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{4}));
}
