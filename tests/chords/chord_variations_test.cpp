// "Populate empty slots with Variations": the set it leaves behind.
#include "chord_set_fixture.h"
#include "chord_transforms.h"
#include "chord_variations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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

TEST_F(VariationsTest, ASingleChordGets127RevoicingsInTheFirstPass) {
    setChord(s, 0, {C4, E4, G4});
    setVelocities(s, 0, {0.2f, 0.4f, 0.6f});
    markOccupiedSlots(s);
    generateVariations(s, list, random);
    EXPECT_EQ(list.size(), 128);
    EXPECT_EQ(generatedInList(), 127);
    EXPECT_EQ(notesOf(s, 0), (std::vector<int>{C4, E4, G4}));
    // Each variation takes the next unmarked slot and the one after replaces
    // it there, so the last one stands alone in the top slot.
    for (int slot = 1; slot <= 126; ++slot) EXPECT_EQ(notesOf(s, slot).size(), 3u) << slot;
    EXPECT_TRUE(notesOf(s, 127).empty());
    // Revoiced in octaves within an octave around the chord's own range,
    // ascending, with the chord's velocities.
    bool anyDiffers = false;
    for (const ChordRecord& r : list) {
        if (r.slotIndex != kGeneratedRecord) continue;
        const std::vector<int> notes(r.notes, r.notes + 3);
        EXPECT_EQ(pitchClassesOf(notes), (std::vector<int>{0, 4, 7}));
        EXPECT_TRUE(std::is_sorted(notes.begin(), notes.end()));
        EXPECT_EQ(std::count(r.notes + 3, r.notes + 8, 0), 5);
        EXPECT_GE(notes.front(), C4 - 12);
        EXPECT_LE(notes.back(), G4 + 24);
        EXPECT_FLOAT_EQ(r.velocities[2], 0.6f);
        anyDiffers = anyDiffers || notes != std::vector<int>{C4, E4, G4};
    }
    EXPECT_TRUE(anyDiffers);
}

TEST_F(VariationsTest, VariationsAtTheTopStayOnTheKeyboardInKeyAndNeverDoubleAVoice) {
    for (const std::vector<int>& chord : {std::vector<int>{116, 123, 127}, {115, 127}}) {
        s = *emptyChordSet();
        for (size_t p = 0; p < chord.size(); ++p)
            s.chordNote[p][0] = static_cast<float>(chord[p]) / 128.0f;
        markOccupiedSlots(s);
        generateVariations(s, list, random);
        for (const ChordRecord& r : list) {
            const std::vector<int> notes(r.notes, r.notes + chord.size());
            EXPECT_EQ(pitchClassesOf(notes), pitchClassesOf(chord));
            EXPECT_NE(r.notes[0], r.notes[1]);
            for (int n : notes) EXPECT_LE(n, 127);
        }
    }
}

TEST_F(VariationsTest, PopulatingKeepsTheMarkedOriginalsAndLeavesNoUnmarkedRepeat) {
    setChord(s, 10, {C4, E4, G4});
    setChord(s, 20, {A4, C5, E5, G5});
    EXPECT_TRUE(transformChords(s, list, random, 8.0f));
    EXPECT_EQ(notesOf(s, 10), (std::vector<int>{C4, E4, G4}));
    EXPECT_EQ(notesOf(s, 20), (std::vector<int>{A4, C5, E5, G5}));
    EXPECT_EQ(s.occupancyMarks[10] + s.occupancyMarks[20], 2);
    EXPECT_GT(occupiedSlots(s).size(), 64u);
    for (int later = 0; later < 128; ++later)
        for (int earlier = 0; earlier < later; ++earlier)
            if (s.occupancyMarks[earlier] == 0 && !notesOf(s, earlier).empty()) {
                EXPECT_NE(positionsOf(s, earlier), positionsOf(s, later));
            }
    // The same seed gives the same set, bit for bit.
    auto first = emptyChordSet(), second = emptyChordSet();
    setChord(*first, 30, {D4, F4, A4});
    setChord(*second, 30, {D4, F4, A4});
    EngineRandom a{42}, b{42};
    populateEmptySlotsWithVariations(*first, list, a);
    populateEmptySlotsWithVariations(*second, list, b);
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(first->chordNote, second->chordNote, sizeof first->chordNote), 0);
}

TEST_F(VariationsTest, AnEmptySetStaysEmptyAndDeduplicationSparesMarkedCopies) {
    s.occupancyMarks[5] = 1;
    populateEmptySlotsWithVariations(s, list, random);
    EXPECT_TRUE(occupiedSlots(s).empty());
    EXPECT_EQ(s.occupancyMarks[5], 0);
    for (int slot : {1, 2, 3}) setChord(s, slot, {C4, E4});
    s.occupancyMarks[1] = 1;
    removeUnmarkedDuplicates(s);
    EXPECT_EQ(occupiedSlots(s), (std::vector<int>{1, 3}));
    // Marks follow any stored value, a note or not.
    s.chordNote[0][9] = 0.001f;
    s.occupancyMarks[50] = 1;
    markOccupiedSlots(s);
    EXPECT_EQ(s.occupancyMarks[9] + s.occupancyMarks[3], 2);
    EXPECT_EQ(s.occupancyMarks[50], 0);
}
