// The "Transform" submenu, except the variations: how every chord of the
// set changes.
#include "chord_set_fixture.h"
#include "chord_transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

struct TransformTest : ::testing::Test {
    std::unique_ptr<EngineState> state = emptyChordSet();
    EngineState& s = *state;
    ChordWorkList list;
    EngineRandom random{1234};

    bool transform(float value) { return transformChords(s, list, random, value); }

    // The current chord: every voice shows the chord of `slot`.
    void makeCurrent(int slot) {
        s.currentKey = static_cast<uint8_t>(slot);
        for (int k = 0; k < 8; ++k) s.voiceKey[k] = static_cast<uint8_t>(slot);
    }
};

using Notes = std::vector<int>;

} // namespace

TEST_F(TransformTest, MakeMajorChordsMinorLowersMajorIntervalsAboveTheRoot) {
    setChord(s, 0, {C4, E4, G4, B4});
    setChord(s, 1, {C4, Ds4, G4});
    setChord(s, 2, {E4});
    setChord(s, 3, {D4, Fs4, A4, B4});
    EXPECT_TRUE(transform(0.0f));
    EXPECT_EQ(notesOf(s, 0), (Notes{C4, Ds4, G4, As4}));
    EXPECT_EQ(notesOf(s, 1), (Notes{C4, Ds4, G4}));
    EXPECT_EQ(notesOf(s, 2), (Notes{E4}));
    // The major sixth above D goes down to a minor sixth as well.
    EXPECT_EQ(notesOf(s, 3), (Notes{D4, F4, A4, As4}));
}

TEST_F(TransformTest, MakeMinorChordsMajorRaisesMinorIntervalsAboveTheRoot) {
    setChord(s, 0, {A4, C5, E5, G5});
    setChord(s, 1, {C4, E4, G4});
    EXPECT_TRUE(transform(1.0f));
    EXPECT_EQ(notesOf(s, 0), (Notes{A4, Cs5, E5, Gs5}));
    EXPECT_EQ(notesOf(s, 1), (Notes{C4, E4, G4}));
}

TEST_F(TransformTest, MakeAllChordsSuspendedTurnsThirdsIntoFourths) {
    setChord(s, 0, {C4, Ds4, G4});
    setChord(s, 1, {C4, E4, G4, B4});
    EXPECT_TRUE(transform(2.0f));
    EXPECT_EQ(notesOf(s, 0), (Notes{C4, F4, G4}));
    EXPECT_EQ(notesOf(s, 1), (Notes{C4, F4, G4, As4}));
}

TEST_F(TransformTest, ARaisedNoteThatLeavesTheKeyboardDropsAnOctave) {
    // E and G at the top: the minor third G (127) raised would be 128.
    setChord(s, 0, {124, 127});
    transform(1.0f);
    EXPECT_EQ(notesOf(s, 0), (Notes{124, 116}));
}

TEST_F(TransformTest, IntervalTransformsKeepVelocities) {
    setChord(s, 0, {C4, E4, G4});
    setVelocities(s, 0, {0.2f, 0.3f, 0.4f});
    transform(0.0f);
    EXPECT_FLOAT_EQ(s.chordVel[1][0], 0.3f);
}

TEST_F(TransformTest, AddRootPutsTheRootBelowTheLowestNote) {
    setChord(s, 0, {E4, G4, C5});
    setVelocities(s, 0, {0.5f, 0.5f, 0.5f, 0.8f});
    setChord(s, 1, {E4, G4, C5});
    setChord(s, 2, {C4, D4, E4, F4, G4, A4, B4, C5});
    EXPECT_TRUE(transform(3.0f));
    EXPECT_EQ(positionsOf(s, 0), (Notes{E4, G4, C5, C4, 0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(s.chordVel[3][0], 0.8f);
    EXPECT_EQ(notesOf(s, 2), (Notes{C4, D4, E4, F4, G4, A4, B4, C5}));

    setChord(s, 0, {C4, E4, G4});
    EXPECT_TRUE(transform(4.0f));
    EXPECT_EQ(notesOf(s, 0), (Notes{C4, E4, G4, C4 - 24}));
    EXPECT_EQ(notesOf(s, 1), (Notes{E4, G4, C5, C4, C4 - 24}));
}

TEST_F(TransformTest, AddRootFillsTheFirstEmptyVoice) {
    setChord(s, 0, {0, G4, 0, B4, D5});
    transform(3.0f);
    EXPECT_EQ(positionsOf(s, 0), (Notes{G4 - 12, G4, 0, B4, D5, 0, 0, 0}));
}

TEST_F(TransformTest, AddRootGivesARootlessChordACSharp) {
    // Without a root the score's root place reads as 13, a C sharp.
    setChord(s, 0, {C4});
    setChord(s, 1, {5});
    setChord(s, 2, {1});
    transform(3.0f);
    EXPECT_EQ(notesOf(s, 0), (Notes{C4, Cs4 - 12}));
    EXPECT_EQ(notesOf(s, 1), (Notes{5, 1}));
    // Nothing fits below the lowest key.
    EXPECT_EQ(notesOf(s, 2), (Notes{1}));
}

TEST_F(TransformTest, NotePreventRulesRemoveOrMoveStoredNotes) {
    s.arpNoteRule[0] = kRuleDown;   // C " -1 "
    s.arpNoteRule[11] = kRuleMuted; // B "MUTED"
    s.arpNoteRule[6] = kRuleUp;     // F# " +1 "
    setChord(s, 0, {C4, E4, Fs4});
    setVelocities(s, 0, {0.1f, 0.2f, 0.3f});
    setChord(s, 1, {B4});
    EXPECT_TRUE(transform(5.0f));
    EXPECT_EQ(positionsOf(s, 0), (Notes{0, E4, G4, 0, 0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(s.chordVel[0][0], 0.1f);
    EXPECT_TRUE(notesOf(s, 1).empty());

    s.arpNoteRule[11] = kRuleDown; // B " -1 ", A# none: C walks down to A#
    setChord(s, 0, {C4, E4});
    transform(5.0f);
    EXPECT_EQ(notesOf(s, 0), (Notes{As4 - 12, E4}));
}

TEST_F(TransformTest, SnapMovesNotesUpToTheCurrentChordsPitchClasses) {
    setChord(s, 0, {C4, E4, G4});
    makeCurrent(0);
    setChord(s, 1, {D4});
    setChord(s, 2, {Fs4});
    setChord(s, 3, {B4});
    setChord(s, 4, {A4, E4, C5});
    EXPECT_TRUE(transform(6.0f));
    EXPECT_EQ(notesOf(s, 0), (Notes{C4, E4, G4}));
    EXPECT_EQ(notesOf(s, 1), (Notes{E4}));
    EXPECT_EQ(notesOf(s, 2), (Notes{G4}));
    EXPECT_EQ(notesOf(s, 3), (Notes{C5}));
    EXPECT_EQ(notesOf(s, 4), (Notes{C5 + 4, E4, C5}));
}

TEST_F(TransformTest, SnapNeverMovesTwoVoicesOntoOneNote) {
    // D would land on the E of the voice above it: it goes on to G.
    setChord(s, 0, {C4, E4, G4});
    makeCurrent(0);
    setChord(s, 1, {C4, D4, E4});
    // A note that needs no move stays, even on a note a higher voice reached.
    setChord(s, 2, {E4, Ds4});
    transform(6.0f);
    EXPECT_EQ(positionsOf(s, 1), (Notes{C4, G4, E4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(positionsOf(s, 2), (Notes{E4, E4, 0, 0, 0, 0, 0, 0}));
}

TEST_F(TransformTest, SnapRemovesNotesThatWouldPassTheTopAndTakesLockedVoices) {
    // The current chord is C in voice 0 (key 10) and E in voice 1, locked to
    // key 20; the other voices show key 10, where nothing else sounds.
    setChord(s, 10, {C4});
    setChord(s, 20, {0, E4});
    makeCurrent(10);
    s.voiceKey[1] = 20;
    setChord(s, 30, {125, 121});
    setChord(s, 31, {D4});
    transform(6.0f);
    EXPECT_EQ(positionsOf(s, 30), (Notes{0, 124, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(notesOf(s, 31), (Notes{E4}));
    // Key 20 is not the current key: its E (already in the set) stays.
    EXPECT_EQ(notesOf(s, 20), (Notes{E4}));
}

TEST_F(TransformTest, SnapLeavesTheCurrentKeysOwnChordAlone) {
    // The current chord is C (voice 0, key 0) and E (voice 1, locked to key
    // 5); key 0's own D in voice 1 is not part of it and still stays.
    setChord(s, 0, {C4, D4});
    setChord(s, 5, {0, E4});
    makeCurrent(0);
    s.voiceKey[1] = 5;
    transform(6.0f);
    EXPECT_EQ(notesOf(s, 0), (Notes{C4, D4}));
}

TEST_F(TransformTest, SnapToAnEmptyCurrentChordEmptiesTheOtherChords) {
    makeCurrent(0);
    setChord(s, 5, {C4, E4});
    setChord(s, 6, {G4});
    transform(6.0f);
    EXPECT_TRUE(occupiedSlots(s).empty());
}

TEST_F(TransformTest, MoveChordSlotsToBeginAtTheCurrentKey) {
    for (int i = 0; i < 20; ++i) setChord(s, 3 * i, {30 + i});
    s.currentKey = 120;
    EXPECT_TRUE(transform(7.0f));
    EXPECT_EQ(occupiedSlots(s), (Notes{120, 121, 122, 123, 124, 125, 126, 127}));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(notesOf(s, 120 + i), (Notes{30 + i}));

    s.currentKey = 2;
    transform(7.0f);
    EXPECT_EQ(occupiedSlots(s), (Notes{2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST_F(TransformTest, CommandValuesOutsideTheMenuDoNothing) {
    setChord(s, 0, {C4, E4, G4});
    EXPECT_FALSE(transform(8.5f));
    EXPECT_FALSE(transform(-1.6f));
    EXPECT_FALSE(transform(NAN));
    EXPECT_FALSE(transform(1e9f));
    EXPECT_EQ(notesOf(s, 0), (Notes{C4, E4, G4}));
    // Values round to the nearest item.
    EXPECT_TRUE(transform(-0.4f));
    EXPECT_EQ(notesOf(s, 0), (Notes{C4, Ds4, G4}));
}
