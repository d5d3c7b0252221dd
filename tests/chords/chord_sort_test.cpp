// The "Sort" submenu as a musician meets it, and the chord names the chord
// display and the CSV list show, with the root the search behind both finds.
#include "chord_set_fixture.h"
#include "chord_sort.h"

#include "chord_naming.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {
using Notes = std::vector<int>;

ChordRecord record(std::initializer_list<int> notes) {
    ChordRecord r{};
    int p = 0;
    for (int n : notes) r.notes[p++] = static_cast<uint8_t>(n);
    return r;
}
} // namespace

TEST(ChordSort, EveryOrderRanksTheChordsAsItsMenuEntrySays) {
    struct Case {
        int order;
        std::vector<Notes> chords; // slots 0.. in this order
        std::vector<Notes> sorted;
    };
    const Case cases[] = {
        // Ties broken by the next note up.
        {kSortLowNoteAbsolute, {{E4}, {C4, G4}, {G4, C4, E4}}, {{G4, C4, E4}, {C4, G4}, {E4}}},
        {kSortLowNotePitchClass, {{D4}, {B4 - 24}, {C5 + 12}}, {{C5 + 12}, {D4}, {B4 - 24}}},
        // Ties broken by the next note down.
        {kSortHighNote, {{E4, C5}, {C4, C5}, {A4}}, {{A4}, {C4, C5}, {E4, C5}}},
        {kSortNoteCount,
         {{C4}, {C4, E4, G4}, {C4, D4, E4, F4, G4, A4, B4, C5}},
         {{C4, D4, E4, F4, G4, A4, B4, C5}, {C4, E4, G4}, {C4}}},
        // Roots from C up; rootless chords last.
        {kSortHindemithChromatic,
         {{G4, B4, D5}, {F4, A4, C5}, {C4, E4, G4}, {Cs4, D4}},
         {{C4, E4, G4}, {F4, A4, C5}, {G4, B4, D5}, {Cs4, D4}}},
        // Roots along the circle of fifths.
        {kSortHindemithFifths,
         {{F4, A4, C5}, {D4, Fs4, A4}, {G4, B4, D5}, {C4, E4, G4}},
         {{C4, E4, G4}, {G4, B4, D5}, {D4, Fs4, A4}, {F4, A4, C5}}},
    };
    ChordWorkList list;
    for (const Case& c : cases) {
        auto s = emptyChordSet();
        for (size_t slot = 0; slot < c.chords.size(); ++slot)
            for (size_t p = 0; p < c.chords[slot].size(); ++p)
                s->chordNote[p][slot] = static_cast<float>(c.chords[slot][p]) / 128.0f;
        EXPECT_TRUE(sortChordSet(*s, list, c.order));
        std::vector<Notes> sorted;
        for (int slot = 0; slot < static_cast<int>(c.chords.size()); ++slot)
            sorted.push_back(notesOf(*s, slot));
        EXPECT_EQ(sorted, c.sorted) << "order " << c.order;
    }
}

TEST(ChordSort, ScoresWeighRootThirdAndAddedInterval) {
    const auto chromatic = [](std::initializer_list<int> n) {
        return chromaticScore(record(n).notes);
    };
    const auto fifths = [](std::initializer_list<int> n) {
        return circleOfFifthsScore(record(n).notes);
    };
    // Root C: 13 - 0, first voice in octave 5, note sum 262, M7 (8), M3 (5).
    EXPECT_EQ(chromatic({C4, E4, G4, B4}), 1300000 + 60 - 25 + 262 + 8000 + 25000);
    EXPECT_EQ(chromatic({G4, B4, D5}), 600000 + 60 - 25 + 212 + 25000);
    EXPECT_EQ(fifths({G4, B4, D5}), 1200000 + 212 + 25000);       // one step round the circle
    EXPECT_GT(chromatic({C4, E4, G4}), chromatic({C4, Ds4, G4})); // minor third weighs less
    // Rootless chords score below every rooted one: ranked by the first
    // voice moved a sixth.
    EXPECT_EQ(chromatic({C4}), 12000);
    EXPECT_EQ(fifths({E4}), 8000);
    EXPECT_EQ(chromatic({C4, Fs4, C5, Fs5}), 4000);
    EXPECT_EQ(chromatic({0, C4, Cs4}), 1);
    EXPECT_EQ(chromatic({}), 0);
    EXPECT_EQ(chromatic({0, 0, 0, 0, 0, 0, 0, C4}), 0);
    EXPECT_GE(chromatic({B4, Ds5, Fs5}), 100000);
    EXPECT_GE(fifths({F4, A4, C5}), 100000);
}

namespace {
struct Voicing {
    uint8_t notes[8] = {};
    Voicing(std::initializer_list<int> list) {
        int p = 0;
        for (int n : list) notes[p++] = static_cast<uint8_t>(n);
    }
};

std::string nameOf(const Voicing& v, ChordNameForm form, int32_t* root = nullptr) {
    char name[kChordNameCapacity];
    std::strcpy(name, "previous");
    composeChordName(v.notes, form, name, root);
    return name;
}
} // namespace

TEST(ChordNaming, NamesInBothFormsAndTheRootTheLongFormReports) {
    struct Case {
        Voicing notes;
        const char* shortName;
        const char* longName;
        int root; // reported by the long form (-1: none); the short one leaves it alone
    };
    const Case cases[] = {
        {{C4, E4, G4}, "C  Maj", "C  Major", 0},
        {{Cs4, F4, Gs4}, "C# Maj", "C# Major", 1},
        {{A4, C5, E5}, "A  min", "A  minor", 9},
        {{C4, Ds4, G4, As4}, "C  min 7", "C  minor 7", 0},
        {{G4, B4, D5, F5}, "G  Dom 7", "G  Dom 7", 7},
        {{C4, F4, G4}, "C  sus4", "C  sus4", 0},
        {{A4, C5, E5, Fs5}, "A  min M6", "A  minor M6", 9},
        {{C4, E4, G4, B4}, "C  Maj M7", "C  Major M7", 0},
        // The last quality and the last extension win: B is a major seventh
        // above C, D a ninth; D sets the minor word, F the diminished one.
        {{C4, E4, G4, B4, D5}, "C  Maj 9", "C  Major 9", 0},
        {{59, 62, 65}, "B  dim", "B  dim", 11},
        // Close voicings: C-D makes D the root, C-E then C; E-G makes E the
        // root, E-C then C (G-C, positions 1 and 2, is not compared).
        {{C4, D4, E4}, "C  Maj 9", "C  Major 9", 0},
        {{E4, G4, C5}, "C  Maj", "C  Major", 0},
        // No root: named after the first voice, which the long form reports
        // as the root; blanks without a first voice.
        {{D4, Gs4}, "D  dim", "D  dim", 2},
        {{0, C4, Cs4}, "       ", "       ", -1},
        {{E4}, "E ", "E ", 4},
        {{Fs4}, "F#", "F#", 6},
        {{E4, 0, 0, 0, 0, 0, 0, C4}, "E  m6", "E  m6", 4},
        // A fourth names its upper note, the later fifth outranks it; a major
        // sixth outranks a major third, not a minor one; thirds and sixths do
        // not overrule each other backwards.
        {{G4, C5}, "C ", "C ", 0},
        {{C4, E4, A4}, "A  min", "A  minor", 9},
        {{C4, Ds4, A4}, "C  min M6", "C  minor M6", 0},
        {{A4, F5, C5 + 12}, "F  Maj", "F  Major", 5},
        {{0, 0, 0, 0, 0, 0, C4, G4}, "C ", "C ", 0}, // the last voice as upper note,
        // Longest possible: a two-character root, " minor" and " sus4".
        {{Cs4, E4, Fs4, Gs4}, "C# min sus4", "C# minor sus4", 1},
        // Empty, or only the last voice: the previous name stays.
        {{}, "previous", "previous", -1},
        {{0, 0, 0, 0, 0, 0, 0, E4}, "previous", "previous", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.longName);
        int32_t root = 99;
        EXPECT_EQ(nameOf(c.notes, ChordNameForm::kShort, &root), c.shortName);
        EXPECT_EQ(root, 99);
        EXPECT_EQ(nameOf(c.notes, ChordNameForm::kLong, &root), c.longName);
        EXPECT_EQ(root, c.root < 0 ? 99 : c.root);
        EXPECT_LT(std::strlen(c.longName), static_cast<size_t>(kChordNameCapacity));
    }
}
