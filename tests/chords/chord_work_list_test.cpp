// Collecting the chord set into the work list and writing it back.
#include "chord_set_fixture.h"
#include "chord_work_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using ::testing::ElementsAre;

namespace {

struct WorkListTest : ::testing::Test {
    std::unique_ptr<EngineState> state = emptyChordSet();
    EngineState& s = *state;
    ChordWorkList list;
};

} // namespace

TEST_F(WorkListTest, CollectTakesEverySlotInOrderEmptyOrNot) {
    setChord(s, 3, {C4, E4});
    setVelocities(s, 3, {0.25f, 0.75f});
    collectChords(s, list);
    ASSERT_EQ(list.size(), 128);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(list[i].slotIndex, i);
    EXPECT_EQ(list[3].notes[0], C4);
    EXPECT_EQ(list[3].notes[1], E4);
    EXPECT_EQ(list[3].velocities[1], 0.75f);
    EXPECT_TRUE(isEmpty(list[4]));
    EXPECT_FALSE(isEmpty(list[3]));
}

TEST_F(WorkListTest, StoredValuesThatAreNoNoteCollectAsEmptyPositions) {
    s.chordNote[0][0] = 130 / 128.0f;
    s.chordNote[1][0] = std::numeric_limits<float>::quiet_NaN();
    s.chordNote[2][0] = -3.0f;
    s.chordNote[3][0] = 1e30f;
    s.chordNote[4][0] = 64 / 128.0f;
    collectChords(s, list);
    EXPECT_THAT(list[0].notes, ElementsAre(0, 0, 0, 0, 64, 0, 0, 0));
}

TEST_F(WorkListTest, NormalizingSortsNotesUpAndLeavesVelocitiesInPlace) {
    ChordRecord r{{67, 0, 60, 64, 0, 0, 0, 0}, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f}, 0};
    normalize(r);
    EXPECT_THAT(r.notes, ElementsAre(60, 64, 67, 0, 0, 0, 0, 0));
    EXPECT_EQ(r.velocities[0], 0.1f);
    EXPECT_EQ(r.velocities[2], 0.3f);
}

TEST_F(WorkListTest, WriteBackFromFirstOccupiedPacksTheChordsWhereTheFirstOneStood) {
    setChord(s, 10, {C4});
    setChord(s, 90, {D4});
    collectChords(s, list);
    sortInCompactionOrder(list);
    writeBack(s, list, StartRule::kFirstOccupied);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{10, 11}));
    EXPECT_EQ(notesOf(s, 11), (std::vector<int>{D4}));
    EXPECT_EQ(s.chordVel[0][90], 0.5f);
}

TEST_F(WorkListTest, WriteBackOfAnEmptySetEmptiesEverySlot) {
    for (int k = 0; k < 8; ++k) s.chordVel[k][127] = 0.9f;
    EXPECT_EQ(firstOccupiedSlot(s), 127);
    EXPECT_EQ(countOccupiedSlots(s), 0);
    collectChords(s, list);
    writeBack(s, list, StartRule::kFirstOccupied);
    EXPECT_TRUE(occupiedSlots(s).empty());
    EXPECT_EQ(s.chordVel[3][127], 0.5f);
}

TEST_F(WorkListTest, AChordWithoutFirstVoiceCountsButDoesNotStartThePacking) {
    setChord(s, 20, {0, 0, 0, E4});
    setChord(s, 30, {G4});
    EXPECT_EQ(countOccupiedSlots(s), 2);
    EXPECT_EQ(firstOccupiedSlot(s), 30);
    packChordSet(s, list);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{30, 31}));
    EXPECT_EQ(notesOf(s, 30), (std::vector<int>{E4}));
    EXPECT_EQ(notesOf(s, 31), (std::vector<int>{G4}));
}

TEST_F(WorkListTest, WriteBackFromSlotZeroOrTheCurrentKey) {
    setChord(s, 50, {C4});
    setChord(s, 60, {E4});
    collectChords(s, list);
    sortInCompactionOrder(list);
    writeBack(s, list, StartRule::kSlotZero);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{0, 1}));

    s.currentKey = 126;
    collectChords(s, list);
    sortInCompactionOrder(list);
    writeBack(s, list, StartRule::kCurrentKey);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{126, 127}));
    EXPECT_EQ(notesOf(s, 127), (std::vector<int>{E4}));
}

TEST_F(WorkListTest, CompactionPutsGeneratedChordsFirstAndEmptyOnesLast) {
    ChordRecord empty{{}, {}, 2};
    ChordRecord kept{{60}, {}, 5};
    ChordRecord earlier{{62}, {}, 1};
    ChordRecord generated{{64}, {}, kGeneratedRecord};
    list.append(empty);
    list.append(kept);
    list.append(earlier);
    list.append(generated);
    sortInCompactionOrder(list);
    EXPECT_EQ(list[0].slotIndex, kGeneratedRecord);
    EXPECT_EQ(list[1].slotIndex, 1);
    EXPECT_EQ(list[2].slotIndex, 5);
    EXPECT_EQ(list[3].slotIndex, 2);
}

TEST_F(WorkListTest, TheListRefusesRecordsBeyondItsCapacity) {
    ChordRecord r{{60}, {}, 0};
    for (int i = 0; i < kChordWorkListCapacity; ++i) ASSERT_TRUE(list.append(r));
    EXPECT_FALSE(list.append(r));
    EXPECT_EQ(list.size(), kChordWorkListCapacity);
}
