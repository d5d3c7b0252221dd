// Whatever a damaged chunk leaves in the record, every chord set command
// finishes and leaves only playable notes behind.
#include "chord_naming.h"
#include "chord_removal.h"
#include "chord_set_fixture.h"
#include "chord_sort.h"
#include "chord_transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace {

void damage(EngineState& s, EngineRandom& random) {
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(),
                         -0.5f,
                         1.5f,
                         1e30f,
                         0.0015f,
                         0.999f};
    for (int n = 0; n < kKeyCount; ++n) {
        for (int k = 0; k < kVoiceCount; ++k) {
            const int32_t draw = random.next();
            s.chordNote[k][n] = draw % 3 == 0 ? odd[draw % 8] : (draw % 128) / 128.0f;
            s.chordVel[k][n] = odd[(draw >> 8) % 8];
        }
        s.playedKeys[n] = static_cast<int8_t>(random.next());
        s.occupancyMarks[n] = static_cast<uint8_t>(random.next());
    }
    for (int k = 0; k < kVoiceCount; ++k) s.voiceKey[k] = static_cast<uint8_t>(random.next());
    for (int pc = 0; pc < 12; ++pc) s.arpNoteRule[pc] = static_cast<int8_t>(random.next() % 5 - 1);
    s.currentKey = static_cast<uint8_t>(random.next());
    s.playedKeysCount = random.next() % 400 - 100;
}

// After a write-back every stored value is a note number over 128, 0..127.
void expectOnlyNoteValues(const EngineState& s) {
    for (int n = 0; n < kKeyCount; ++n)
        for (int k = 0; k < kVoiceCount; ++k) {
            const float v = s.chordNote[k][n];
            EXPECT_TRUE(v >= 0.0f && v <= 127 / 128.0f && v * 128 == std::floor(v * 128)) << v;
        }
}

} // namespace

TEST(DamagedChordSet, EveryCommandFinishesOnAnyRecord) {
    EngineRandom random{7};
    ChordWorkList list;
    auto s = emptyChordSet();
    for (int round = 0; round < 4; ++round) {
        for (int order = 0; order < kSortOrderCount; ++order) {
            damage(*s, random);
            EXPECT_TRUE(sortChordSet(*s, list, order));
            expectOnlyNoteValues(*s);
        }
        for (float value : {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f}) {
            damage(*s, random);
            removeChords(*s, list, value);
        }
        for (int value = 0; value <= 8; ++value) {
            damage(*s, random);
            EXPECT_TRUE(transformChords(*s, list, random, static_cast<float>(value)));
            // Names never outgrow their text, whatever the chords became.
            char name[kChordNameCapacity + 8] = "";
            for (int key = 0; key < kKeyCount; ++key) composeKeyChordName(*s, key, name);
            EXPECT_LT(std::strlen(name), static_cast<size_t>(kChordNameCapacity));
        }
    }
}
