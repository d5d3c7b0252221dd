// The configuration options of chord triggering and what the editor hears
// while chords are played. The options come from the configuration file;
// here they are set on the engine directly.
#include "engine_fixture.h"
#include "parameter_indices.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::pair<int, int>> noteOns(const FakeHost& host) {
    std::vector<std::pair<int, int>> ons;
    for (const auto& e : host.received)
        if ((e.status & 0xF0) == 0x90 && e.data2) ons.emplace_back(e.data1, e.data2);
    return ons;
}
} // namespace

TEST(ChordOptions, ReleasingAKeyBringsBackTheHighestKeyStillHeld) {
    FakeHost host;
    auto effect = makeEffect(host);
    effect->setParameter(param::kArpOn, 0.0f);
    effect->engine().optRetriggerHeld = 1;
    runBlock(*effect, 64, {midi(0, 0x90, 60, 90), midi(1, 0x90, 64, 80), midi(2, 0x90, 67, 70)});
    host.received.clear();
    runBlock(*effect, 64, {midi(0, 0x80, 67, 0)});
    // 67's chord ends; 64's comes back at the last trigger velocity (70).
    EXPECT_EQ(noteOns(host), (std::vector<std::pair<int, int>>{{64, 70}, {67, 70}, {71, 70}}));
    EXPECT_EQ(effect->engine().currentKey, 64);
}

TEST(ChordOptions, LowKeysPickTheArpPatternInsteadOfPlaying) {
    FakeHost host;
    auto effect = makeEffect(host);
    effect->engine().optLowKeysPickPattern = 1;
    runBlock(*effect, 64, {midi(0, 0x90, 5, 100), midi(10, 0x80, 5, 0)});
    EXPECT_EQ(effect->engine().currentPattern, 5);
    EXPECT_TRUE(host.received.empty());
    // With the arpeggiator off the same keys play their chords.
    effect->setParameter(param::kArpOn, 0.0f);
    runBlock(*effect, 64, {midi(0, 0x90, 30, 100)});
    EXPECT_EQ(noteOns(host).size(), 3u);
}

TEST(ChordOptions, PlayedKeysAreListedOnceInTheOrderFirstPlayed) {
    FakeHost host;
    auto effect = makeEffect(host);
    effect->setParameter(param::kPlayedKeys, 1.0f);
    runBlock(*effect, 64,
             {midi(0, 0x90, 50, 100), midi(1, 0x90, 40, 100), midi(2, 0x90, 50, 100),
              midi(3, 0x90, 45, 100)});
    const EngineState& s = effect->engine();
    ASSERT_EQ(s.playedKeysCount, 3);
    EXPECT_EQ(s.playedKeys[0], 50);
    EXPECT_EQ(s.playedKeys[1], 40);
    EXPECT_EQ(s.playedKeys[2], 45);
    effect->setParameter(param::kPlayedKeys, 2.0f); // keeps the list and keeps collecting
    runBlock(*effect, 64, {midi(0, 0x90, 70, 100)});
    EXPECT_EQ(s.playedKeysCount, 4);
    effect->setParameter(param::kPlayedKeys, 1.0f); // starts over
    EXPECT_EQ(s.playedKeysCount, 0);
}

TEST(ChordOptions, TheEditorHearsTheNewKeyItsVoicesAndTheChordName) {
    FakeHost host;
    auto effect = makeEffect(host);
    RecordingEditor editor;
    effect->setEditorLink(&editor);
    effect->setParameter(param::kArpOn, 0.0f);
    runBlock(*effect, 64, {midi(0, 0x90, 62, 100)});
    effect->deliverEditorNotifications();
    EXPECT_TRUE(editor.saw(param::kCurrentKey));
    EXPECT_TRUE(editor.saw(param::kNoteNumFirst + 7));
    EXPECT_TRUE(editor.saw(param::kNoteVelFirst));
    EXPECT_TRUE(editor.saw(param::kRefreshChordName));
    EXPECT_STREQ(effect->engine().chordName, "D  min");
    // A chord shift also announces the changed chord set.
    editor.calls.clear();
    effect->setParameter(param::kChordShiftFirst, 64 / 128.0f);
    EXPECT_TRUE(editor.saw(param::kRefreshChordSet));
    effect->setEditorLink(nullptr);
}
