// "Populate empty slots with Variations": the set it leaves behind.
#include "chord_set_fixture.h"
#include "chord_transforms.h"
#include "chord_variations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct VariationsTest : ::testing::Test {
    std::unique_ptr<EngineState> state = emptyChordSet();
    EngineState& s = *state;
    ChordWorkList list;
    EngineRandom random{42};

    int generatedInList() const {
        return static_cast<int>(std::count_if(list.begin(), list.end(), [](const ChordRecord& r) {
            return r.slotIndex == kGeneratedRecord;
        }));
    }
};

std::vector<int> pitchClassesOf(const std::vector<int>& notes) {
    std::vector<int> classes;
    for (int n : notes) classes.push_back(n % 12);
    std::sort(classes.begin(), classes.end());
    return classes;
}

} // namespace

TEST_F(VariationsTest, ASingleChordGets127VariationsInTheFirstPass) {
    setChord(s, 0, {C4, E4, G4});
    markOccupiedSlots(s);
    generateVariations(s, list, random);
    EXPECT_EQ(list.size(), 128);
    EXPECT_EQ(generatedInList(), 127);
    EXPECT_EQ(notesOf(s, 0), (std::vector<int>{C4, E4, G4}));
    // Each variation takes the next unmarked slot and the one after replaces
    // it there, so the last one stands alone in the top slot.
    for (int slot = 1; slot <= 126; ++slot) EXPECT_EQ(notesOf(s, slot).size(), 3u) << slot;
    EXPECT_TRUE(notesOf(s, 127).empty());
}

TEST_F(VariationsTest, VariationsRevoiceTheChordInOctavesAndKeepItsVelocities) {
    setChord(s, 60, {C4, E4, G4});
    setVelocities(s, 60, {0.2f, 0.4f, 0.6f});
    markOccupiedSlots(s);
    generateVariations(s, list, random);
    bool anyDiffers = false;
    for (const ChordRecord& r : list) {
        if (r.slotIndex != kGeneratedRecord) continue;
        std::vector<int> notes;
        for (int p = 0; p < 3; ++p) notes.push_back(r.notes[p]);
        EXPECT_EQ(pitchClassesOf(notes), (std::vector<int>{0, 4, 7}));
        EXPECT_TRUE(std::is_sorted(notes.begin(), notes.end()));
        for (int p = 3; p < 8; ++p) EXPECT_EQ(r.notes[p], 0);
        // Within an octave around the chord's own range.
        EXPECT_GE(notes.front(), C4 - 12);
        EXPECT_LE(notes.back(), G4 + 12 + 12);
        EXPECT_FLOAT_EQ(r.velocities[2], 0.6f);
        if (notes != std::vector<int>{C4, E4, G4}) anyDiffers = true;
    }
    EXPECT_TRUE(anyDiffers);
}

TEST_F(VariationsTest, VariationsAtTheTopOfTheKeyboardStayOnTheKeyboardAndInKey) {
    setChord(s, 0, {116, 123, 127});
    markOccupiedSlots(s);
    generateVariations(s, list, random);
    for (const ChordRecord& r : list) {
        std::vector<int> notes(r.notes, r.notes + 3);
        EXPECT_EQ(pitchClassesOf(notes), (std::vector<int>{3, 7, 8}));
        for (int n : notes) EXPECT_LE(n, 127);
    }
}

TEST_F(VariationsTest, AVoiceMovedOntoAnotherStepsAsideInsteadOfDoublingIt) {
    // G8 and G9: a G moved up onto 127 would double it; it goes far down.
    setChord(s, 0, {115, 127});
    markOccupiedSlots(s);
    generateVariations(s, list, random);
    for (const ChordRecord& r : list) {
        EXPECT_NE(r.notes[0], r.notes[1]);
        EXPECT_EQ(r.notes[0] % 12, 7);
        EXPECT_EQ(r.notes[1] % 12, 7);
    }
}

TEST_F(VariationsTest, FromFortyThreeChordsOnEachChordGetsTwoWhileThereIsRoom) {
    for (int slot = 0; slot < 43; ++slot) setChord(s, slot, {20 + slot, 27 + slot});
    markOccupiedSlots(s);
    generateVariations(s, list, random);
    EXPECT_EQ(generatedInList(), 86);
    EXPECT_EQ(list.size(), 129);

    auto more = emptyChordSet();
    for (int slot = 0; slot < 50; ++slot) setChord(*more, slot, {20 + slot, 27 + slot});
    markOccupiedSlots(*more);
    generateVariations(*more, list, random);
    // Chords 0..38 find fewer than 128 records; the rest find the list full.
    EXPECT_EQ(generatedInList(), 78);
    EXPECT_EQ(list.size(), 128);
}

TEST_F(VariationsTest, GeneratedChordsNeverReplaceMarkedOnes) {
    setChord(s, 3, {D4, Fs4, A4});
    setChord(s, 4, {E4, G4, B4});
    setChord(s, 100, {F4, A4, C5});
    markOccupiedSlots(s);
    generateVariations(s, list, random);
    EXPECT_EQ(notesOf(s, 3), (std::vector<int>{D4, Fs4, A4}));
    EXPECT_EQ(notesOf(s, 4), (std::vector<int>{E4, G4, B4}));
    EXPECT_EQ(notesOf(s, 100), (std::vector<int>{F4, A4, C5}));
    EXPECT_FALSE(notesOf(s, 0).empty());
}

TEST_F(VariationsTest, PopulatingKeepsTheOriginalsAndFillsTheSetWithoutDuplicates) {
    setChord(s, 10, {C4, E4, G4});
    setChord(s, 20, {A4, C5, E5, G5});
    setVelocities(s, 20, {0.7f, 0.7f, 0.7f, 0.7f});
    EXPECT_TRUE(transformChords(s, list, random, 8.0f));

    EXPECT_EQ(notesOf(s, 10), (std::vector<int>{C4, E4, G4}));
    EXPECT_EQ(notesOf(s, 20), (std::vector<int>{A4, C5, E5, G5}));
    EXPECT_EQ(s.occupancyMarks[10], 1);
    EXPECT_EQ(s.occupancyMarks[20], 1);
    EXPECT_GT(occupiedSlots(s).size(), 64u);
    for (int slot : occupiedSlots(s)) {
        const std::vector<int> classes = pitchClassesOf(notesOf(s, slot));
        EXPECT_TRUE(classes == (std::vector<int>{0, 4, 7}) ||
                    classes == (std::vector<int>{0, 4, 7, 9}))
            << slot;
    }
    // The last pass removed every unmarked chord that a later slot repeats.
    for (int later = 0; later < 128; ++later)
        for (int earlier = 0; earlier < later; ++earlier)
            if (s.occupancyMarks[earlier] == 0 && !notesOf(s, earlier).empty()) {
                EXPECT_NE(positionsOf(s, earlier), positionsOf(s, later));
            }
}

TEST_F(VariationsTest, TheSameSeedGivesTheSameVariations) {
    setChord(s, 30, {D4, F4, A4});
    auto other = std::make_unique<EngineState>(s);
    EngineRandom sameSeed{42};
    populateEmptySlotsWithVariations(s, list, random);
    populateEmptySlotsWithVariations(*other, list, sameSeed);
    // Bit for bit: the same seed gives the very same values.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(s.chordNote, other->chordNote, sizeof s.chordNote), 0);
}

TEST_F(VariationsTest, AnEmptySetStaysEmpty) {
    s.occupancyMarks[5] = 1;
    populateEmptySlotsWithVariations(s, list, random);
    EXPECT_TRUE(occupiedSlots(s).empty());
    EXPECT_EQ(s.occupancyMarks[5], 0);
}

TEST_F(VariationsTest, DeduplicationEmptiesEarlierUnmarkedCopiesOnly) {
    setChord(s, 1, {C4, E4});
    setChord(s, 2, {C4, E4});
    setChord(s, 3, {C4, E4});
    s.occupancyMarks[1] = 1;
    removeUnmarkedDuplicates(s);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{1, 3}));
}

TEST_F(VariationsTest, MarksFollowTheStoredValuesAndSurviveTheOperation) {
    setChord(s, 7, {0, 0, 0, 0, 0, 0, 0, C4});
    s.chordNote[0][9] = 0.001f; // no note, but a stored value
    s.occupancyMarks[50] = 1;
    markOccupiedSlots(s);
    EXPECT_EQ(s.occupancyMarks[7], 1);
    EXPECT_EQ(s.occupancyMarks[9], 1);
    EXPECT_EQ(s.occupancyMarks[50], 0);
}
