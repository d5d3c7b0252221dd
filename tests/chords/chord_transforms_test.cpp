// The "Transform" submenu, except the variations: how every chord of the
// set changes; and the "Arp_No" rules as the arpeggiator and the
// note-prevent transform apply them to a note.
#include "chord_set_fixture.h"
#include "chord_transforms.h"

#include "engine_state.h"
#include "note_rule_walk.h"
#include <cstring>
#include <gtest/gtest.h>

namespace {
using Notes = std::vector<int>;

struct TransformTest : ::testing::Test {
    std::unique_ptr<EngineState> state = emptyChordSet();
    EngineState& s = *state;
    ChordWorkList list;
    EngineRandom random{1234};

    bool transform(float value) { return transformChords(s, list, random, value); }
    // The current chord: every voice shows the chord of `slot`.
    void makeCurrent(int slot) {
        s.currentKey = static_cast<uint8_t>(slot);
        for (uint8_t& key : s.voiceKey) key = static_cast<uint8_t>(slot);
    }
};
} // namespace

TEST_F(TransformTest, EveryChordChangesAsTheMenuEntrySays) {
    struct Case {
        float value;
        Notes before;
        Notes after; // positions
    };
    const Case cases[] = {
        // "Make Major chords Minor": major intervals above the root go down,
        // the major sixth too; chords without a major interval stay.
        {0, {C4, E4, G4, B4}, {C4, Ds4, G4, As4}},
        {0, {C4, Ds4, G4}, {C4, Ds4, G4}},
        {0, {E4}, {E4}},
        {0, {D4, Fs4, A4, B4}, {D4, F4, A4, As4}},
        // "Make Minor chords Major"; a raised note past 127 drops an octave.
        {1, {A4, C5, E5, G5}, {A4, Cs5, E5, Gs5}},
        {1, {C4, E4, G4}, {C4, E4, G4}},
        {1, {124, 127}, {124, 116}},
        // "Make all chords Suspended": thirds become fourths.
        {2, {C4, Ds4, G4}, {C4, F4, G4}},
        {2, {C4, E4, G4, B4}, {C4, F4, G4, As4}},
        // "Add Root": an octave (or two) below the lowest note, into the
        // first empty voice; a rootless chord's root reads as C#; nothing
        // fits below the lowest key or into a full chord.
        {3, {E4, G4, C5}, {E4, G4, C5, C4}},
        {3, {0, G4, 0, B4, D5}, {G4 - 12, G4, 0, B4, D5}},
        {3, {C4}, {C4, Cs4 - 12}},
        {3, {5}, {5, 1}},
        {3, {1}, {1}},
        {3, {C4, D4, E4, F4, G4, A4, B4, C5}, {C4, D4, E4, F4, G4, A4, B4, C5}},
        {4, {C4, E4, G4}, {C4, E4, G4, C4 - 24}},
    };
    for (const Case& c : cases) {
        s = *emptyChordSet();
        EngineState& t = *state;
        for (size_t p = 0; p < c.before.size(); ++p)
            t.chordNote[p][0] = static_cast<float>(c.before[p]) / 128.0f;
        setVelocities(t, 0, {0.2f, 0.3f, 0.4f, 0.8f});
        EXPECT_TRUE(transformChords(t, list, random, c.value));
        Notes after = positionsOf(t, 0);
        after.resize(c.after.size());
        EXPECT_EQ(after, c.after) << "value " << c.value << ", chord from " << c.before[0];
        EXPECT_FLOAT_EQ(t.chordVel[1][0], 0.3f); // velocities stay in place
        EXPECT_FLOAT_EQ(t.chordVel[3][0], 0.8f);
    }
}

TEST_F(TransformTest, SnapMovesNotesUpToTheCurrentChordsPitchClassesLockedVoicesIncluded) {
    setChord(s, 0, {C4, E4, G4});
    makeCurrent(0);
    setChord(s, 1, {D4});
    setChord(s, 2, {Fs4});
    setChord(s, 3, {B4});
    setChord(s, 4, {A4, E4, C5});
    // Never two voices onto one note: D would land on the E above it and
    // goes on to G; a note that needs no move stays, even on a note a higher
    // voice reached.
    setChord(s, 5, {C4, D4, E4});
    setChord(s, 6, {E4, Ds4});
    EXPECT_TRUE(transform(6.0f));
    const std::vector<Notes> expected = {{C4, E4, G4},     {E4},         {G4},    {C5},
                                         {C5 + 4, E4, C5}, {C4, G4, E4}, {E4, E4}};
    for (int slot = 0; slot < 7; ++slot) EXPECT_EQ(notesOf(s, slot), expected[slot]) << slot;

    s = *emptyChordSet();
    // The current chord is C in voice 0 (key 10) and E in voice 1, locked to
    // key 20; key 10's own D in voice 1 is not part of it and stays.
    setChord(s, 10, {C4, D4});
    setChord(s, 20, {0, E4});
    makeCurrent(10);
    s.voiceKey[1] = 20;
    setChord(s, 30, {125, 121}); // 125 would pass the top: removed
    setChord(s, 31, {D4});
    transform(6.0f);
    EXPECT_EQ(positionsOf(s, 30), (Notes{0, 124, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(notesOf(s, 31), (Notes{E4}));
    EXPECT_EQ(notesOf(s, 20), (Notes{E4}));
    EXPECT_EQ(notesOf(s, 10), (Notes{C4, D4}));

    // An empty current chord empties the other chords.
    s = *emptyChordSet();
    makeCurrent(0);
    setChord(*state, 5, {C4, E4});
    transform(6.0f);
    EXPECT_TRUE(occupiedSlots(*state).empty());
}

namespace {
// Rules by pitch class from C: '.' none, 'm' muted, '-' down, '+' up, any
// other character a damaged value.
struct Case {
    const char* rules;
    int note;
    int expected; // -1: removed
};
} // namespace

TEST(NoteRuleWalk, NotesPassMoveOrVanishAsTheirRulesSay) {
    const Case cases[] = {
        {".m..........", 60, 60},   // no rule: passes
        {".m..........", 61, -1},   // muted
        {".-..........", 61, 60},   // C# " -1 " sounds as C
        {"-..........-", 60, 58},   // C down past B (down too) to A#
        {"++..........", 60, 62},   // up past C#
        {"-..........m", 60, -1},   // down into a muted pitch class
        {"..+-........", 62, -1},   // D up onto D#, which moves down: cancelled
        {"+-..........", 61, -1},   // C# down onto C, which moves up: cancelled
        {".......+....", 127, -1},  // off the top
        {"------------", 40, -1},   // every pitch class down: off the bottom
        {".-..........", 1, -1},    // note 1 down reaches note 0, no note
        {"+++++++.++++", 120, 127}, // a long upward chain stops where it may
        {"............", 0, -1},    // outside 1..127
        {"............", 128, -1},  {"............", -5, -1},
        {"............", 300, -1},  {"9x..........", 60, 60}, // damaged rules leave the note alone
        {"9x..........", 61, 61},
    };
    for (const Case& c : cases) {
        int8_t rules[12];
        for (int pc = 0; pc < 12; ++pc) {
            static constexpr char kSymbols[] = ".m-+"; // in the order of NoteRule's values
            const char* at = std::strchr(kSymbols, c.rules[pc]);
            rules[pc] = static_cast<int8_t>(at ? at - kSymbols : (c.rules[pc] == '9' ? 9 : -4));
        }
        EXPECT_EQ(walkNoteRules(c.note, rules), c.expected) << c.rules << " on " << c.note;
    }
}
