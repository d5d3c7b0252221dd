// The "Remove" submenu: what is left of the chord set afterwards; and the
// work list every chord operation collects the set into and writes back.
#include "chord_removal.h"
#include "chord_set_fixture.h"

#include "chord_work_list.h"
#include <gtest/gtest.h>
#include <limits>

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

TEST_F(RemovalTest, DuplicatesGoWhateverTheVoicingTheLastOfAGroupAndMarkedOnesStay) {
    setChord(s, 5, {C4, E4, G4});
    setChord(s, 9, {G4, C4, E4});
    setChord(s, 12, {C4, E4, G4});
    const RemoveOutcome outcome = removeChords(s, list, 0.0f);
    EXPECT_TRUE(outcome.chordSetChanged);
    EXPECT_FALSE(outcome.stopPlayedKeys);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{12}));

    // Notes are compared, not velocities or octaves; the survivor's notes are
    // sorted up with its velocities left in their positions.
    s = *emptyChordSet();
    EngineState& t = *state;
    setChord(t, 0, {C4, E4});
    setVelocities(t, 0, {0.1f, 0.1f});
    setChord(t, 1, {E4, C4});
    setVelocities(t, 1, {0.9f, 0.7f});
    setChord(t, 2, {C5, E4});
    setChord(t, 3, {D4, Fs4});
    setChord(t, 8, {D4, Fs4});
    t.occupancyMarks[3] = 1;
    removeDuplicateChords(t, list);
    EXPECT_EQ(occupiedSlots(t), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(positionsOf(t, 1), (std::vector<int>{C4, E4, 0, 0, 0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(t.chordVel[0][1], 0.9f);
    EXPECT_EQ(notesOf(t, 2), (std::vector<int>{E4, C5}));
    EXPECT_EQ(notesOf(t, 3), (std::vector<int>{D4, Fs4}));
}

TEST_F(RemovalTest, UnwatchedChordsGoCollapsedOrInPlace) {
    for (float value : {4.0f, 5.0f}) {
        s = *emptyChordSet();
        for (int slot : {10, 20, 30, 40}) setChord(*state, slot, {slot + 30});
        play({40, 20});
        const RemoveOutcome outcome = removeChords(*state, list, value);
        EXPECT_TRUE(outcome.chordSetChanged);
        EXPECT_TRUE(outcome.stopPlayedKeys);
        const std::vector<int> left = value == 4.0f ? std::vector<int>{20, 21}  // collapsed
                                                    : std::vector<int>{20, 40}; // in place
        EXPECT_EQ(occupiedSlots(*state), left);
        EXPECT_EQ(notesOf(*state, 20), (std::vector<int>{50}));
    }
}

TEST_F(RemovalTest, NothingPlayedRemovesNothingAndADamagedListIsReadSafely) {
    setChord(s, 2, {C4});
    play({});
    for (float value : {4.0f, 5.0f}) {
        const RemoveOutcome outcome = removeChords(s, list, value);
        EXPECT_FALSE(outcome.chordSetChanged);
        EXPECT_FALSE(outcome.stopPlayedKeys);
        EXPECT_EQ(occupiedSlots(s), (std::vector<int>{2}));
    }
    setChord(s, 3, {C4});
    setChord(s, 4, {D4});
    s.playedKeys[0] = 4;
    s.playedKeys[1] = -7;
    s.playedKeysCount = 100000;
    removeChords(s, list, 5.0f);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{4}));
}

namespace {
struct WorkListTest : ::testing::Test {
    std::unique_ptr<EngineState> state = emptyChordSet();
    EngineState& s = *state;
    ChordWorkList list;

    std::vector<int> collected(int slot) {
        collectChords(s, list);
        return {list[slot].notes, list[slot].notes + kVoiceCount};
    }
};
} // namespace

TEST_F(WorkListTest, CollectTakesEverySlotAndReadsStoredValuesThatAreNoNoteAsEmpty) {
    setChord(s, 3, {C4, E4});
    setVelocities(s, 3, {0.25f, 0.75f});
    s.chordNote[0][0] = 130 / 128.0f;
    s.chordNote[1][0] = std::numeric_limits<float>::quiet_NaN();
    s.chordNote[2][0] = -3.0f;
    s.chordNote[3][0] = 1e30f;
    s.chordNote[4][0] = 64 / 128.0f;
    EXPECT_EQ(collected(0), (std::vector<int>{0, 0, 0, 0, 64, 0, 0, 0}));
    ASSERT_EQ(list.size(), 128);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(list[i].slotIndex, i);
    EXPECT_EQ(collected(3), (std::vector<int>{C4, E4, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(list[3].velocities[1], 0.75f);
    EXPECT_TRUE(isEmpty(list[4]));

    ChordRecord r{{67, 0, 60, 64, 0, 0, 0, 0}, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f}, 0};
    normalize(r); // notes sorted up, velocities left in place
    EXPECT_EQ(std::vector<int>(r.notes, r.notes + 4), (std::vector<int>{60, 64, 67, 0}));
    EXPECT_EQ(r.velocities[2], 0.3f);
}

TEST_F(WorkListTest, EverySlotWithANoteCountsTheLowestNotesToo) {
    setChord(s, 20, {0, 0, 0, E4}); // no first voice: counts, does not start the packing
    setChord(s, 30, {G4});
    setChord(s, 40, {1});
    setChord(s, 41, {0, 2});
    s.chordNote[0][50] = 0.001f; // a stored value below note 1
    EXPECT_EQ(countOccupiedSlots(s), 4);
    EXPECT_EQ(firstOccupiedSlot(s), 30);
    packChordSet(s, list);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{30, 31, 32, 33}));
    EXPECT_EQ(notesOf(s, 30), (std::vector<int>{E4}));
    EXPECT_EQ(notesOf(s, 33), (std::vector<int>{2}));
}
