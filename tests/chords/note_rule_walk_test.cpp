// The "Arp_No" rules as the arpeggiator and the note-prevent transform apply
// them to a note.
#include "engine_state.h"
#include "note_rule_walk.h"

#include <gtest/gtest.h>

namespace {

struct Rules {
    int8_t byPitchClass[12] = {};
    Rules& set(int pitchClass, NoteRule rule) {
        byPitchClass[pitchClass] = rule;
        return *this;
    }
};

constexpr int C = 0, Cs = 1, D = 2, Ds = 3, B = 11;

} // namespace

TEST(NoteRuleWalk, NotesWithoutRulePassAndMutedOnesVanish) {
    Rules r;
    r.set(Cs, kRuleMuted);
    EXPECT_EQ(walkNoteRules(60, r.byPitchClass), 60);
    EXPECT_EQ(walkNoteRules(61, r.byPitchClass), -1);
    EXPECT_EQ(walkNoteRules(127, r.byPitchClass), 127);
}

TEST(NoteRuleWalk, AMovedNoteLandsOnTheNextAllowedSemitone) {
    Rules r;
    r.set(Cs, kRuleDown);
    EXPECT_EQ(walkNoteRules(61, r.byPitchClass), 60);
    // C moves down past B (also down) to A#.
    Rules chain;
    chain.set(C, kRuleDown).set(B, kRuleDown);
    EXPECT_EQ(walkNoteRules(60, chain.byPitchClass), 58);
    Rules up;
    up.set(C, kRuleUp).set(Cs, kRuleUp);
    EXPECT_EQ(walkNoteRules(60, up.byPitchClass), 62);
}

TEST(NoteRuleWalk, AMoveIntoAMutedOrOpposingPitchClassRemovesTheNote) {
    Rules muted;
    muted.set(C, kRuleDown).set(B, kRuleMuted);
    EXPECT_EQ(walkNoteRules(60, muted.byPitchClass), -1);
    // D moves up onto D#, which moves down: the two cancel out.
    Rules opposing;
    opposing.set(D, kRuleUp).set(Ds, kRuleDown);
    EXPECT_EQ(walkNoteRules(62, opposing.byPitchClass), -1);
    Rules opposingDown;
    opposingDown.set(Cs, kRuleDown).set(C, kRuleUp);
    EXPECT_EQ(walkNoteRules(61, opposingDown.byPitchClass), -1);
}

TEST(NoteRuleWalk, NotesThatWouldLeaveTheKeyboardAreRemoved) {
    Rules up;
    up.set(127 % 12, kRuleUp);
    EXPECT_EQ(walkNoteRules(127, up.byPitchClass), -1);
    // Every pitch class moves down: the walk runs off the bottom.
    Rules down;
    for (int pc = 0; pc < 12; ++pc) down.set(pc, kRuleDown);
    EXPECT_EQ(walkNoteRules(40, down.byPitchClass), -1);
    // Note 1 moved down reaches note 0, which is no note.
    Rules toZero;
    toZero.set(Cs, kRuleDown);
    EXPECT_EQ(walkNoteRules(1, toZero.byPitchClass), -1);
    // A long upward chain stops at 127 only if 127 is allowed.
    Rules allUpButG;
    for (int pc = 0; pc < 12; ++pc) allUpButG.set(pc, kRuleUp);
    allUpButG.set(7, kRuleNormal);
    EXPECT_EQ(walkNoteRules(120, allUpButG.byPitchClass), 127);
}

TEST(NoteRuleWalk, OutOfRangeNotesAndDamagedRulesNeverCrash) {
    Rules none;
    EXPECT_EQ(walkNoteRules(0, none.byPitchClass), -1);
    EXPECT_EQ(walkNoteRules(-5, none.byPitchClass), -1);
    EXPECT_EQ(walkNoteRules(128, none.byPitchClass), -1);
    EXPECT_EQ(walkNoteRules(300, none.byPitchClass), -1);
    Rules damaged;
    damaged.byPitchClass[C] = 9;
    damaged.byPitchClass[Cs] = -4;
    EXPECT_EQ(walkNoteRules(60, damaged.byPitchClass), 60);
    EXPECT_EQ(walkNoteRules(61, damaged.byPitchClass), 61);
}

TEST(NoteRuleWalk, ArpeggiatorExamplesHold) {
    // C# at " -1 " sounds as C; D at " +1 " with D# at " -1 " is dropped.
    Rules r;
    r.set(Cs, kRuleDown).set(D, kRuleUp).set(Ds, kRuleDown);
    EXPECT_EQ(walkNoteRules(61, r.byPitchClass), 60);
    EXPECT_EQ(walkNoteRules(62, r.byPitchClass), -1);
}
