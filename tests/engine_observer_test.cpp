// The engine's side of its contract with the editor and the host's threads
// (what the editor is told, how events produced off the real-time thread
// reach the output), the configuration options of chord triggering (set on
// the engine directly here), and the preview sound: silent when muted,
// fading out when released (its samples are pinned by the golden renders).
#include "engine_fixture.h"
#include "parameter_indices.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

TEST(EditorNotifications, EveryParameterChangeReachesTheEditorAfterTheEngineAppliedIt) {
    FakeHost host;
    auto effect = makeEffect(host);
    struct CheckingEditor : EditorLink {
        ZandEngine* effect;
        float seenValue = -1.0f;
        void setParameter(int32_t index, float) override {
            if (index == param::kPreviewOn) seenValue = effect->getParameter(index);
        }
    } editor;
    editor.effect = effect.get();
    effect->setEditorLink(&editor);
    effect->setParameter(param::kPreviewOn, 0.0f);
    EXPECT_EQ(editor.seenValue, 0.0f); // already muted when the editor heard of it
    effect->setEditorLink(nullptr);
}

TEST(EditorNotifications, SignalsRaisedOnTheRealtimeThreadWaitForTheEditorsThread) {
    FakeHost host;
    auto effect = makeEffect(host);
    RecordingEditor editor;
    effect->setEditorLink(&editor);
    // Controller 123 releases everything and raises the "arp released" signal.
    runBlock(*effect, 64, {midi(0, 0xB0, 123, 0)});
    EXPECT_FALSE(editor.saw(param::kRefreshArpReleased));
    effect->deliverEditorNotifications();
    EXPECT_TRUE(editor.saw(param::kRefreshArpReleased));
    effect->setEditorLink(nullptr);
}

TEST(EditorNotifications, AnEditorUnlinkedWhileAnotherThreadNotifiesIsNeverCalledAfterwards) {
    // The worker and hosts' automation threads call the link directly; an
    // editor that goes away must not be called once unlinking has returned.
    FakeHost host;
    auto effect = makeEffect(host);
    struct CountingEditor : EditorLink {
        std::atomic<bool> gone{false};
        std::atomic<int> lateCalls{0};
        void setParameter(int32_t, float) override {
            if (gone.load()) ++lateCalls;
        }
    };
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        for (int i = 0; !stop.load(); ++i) effect->setParameter(param::kSwing, (i % 100) / 100.0f);
    });
    // Kept until the end, so that a late call is counted whenever it comes.
    std::vector<std::unique_ptr<CountingEditor>> editors;
    for (int round = 0; round < 3000; ++round) {
        CountingEditor& editor = *editors.emplace_back(std::make_unique<CountingEditor>());
        effect->setEditorLink(&editor);
        std::this_thread::yield();
        effect->setEditorLink(nullptr);
        editor.gone.store(true);
    }
    stop.store(true);
    automation.join();
    int lateCalls = 0;
    for (const auto& editor : editors) lateCalls += editor->lateCalls.load();
    EXPECT_EQ(lateCalls, 0);
}

TEST(EngineSetup, SampleRatesBelow44kHzRunAt44100AndTheHostCalledLiveIsRecognised) {
    FakeHost host;
    for (const auto& [rate, engineRate] : {std::pair{22050.0f, 44100.0f}, {44000.0f, 44000.0f}}) {
        host.sampleRate = rate;
        EXPECT_EQ(makeEffect(host)->engine().sampleRate, engineRate);
    }
    auto effect = makeEffect(host);
    effect->suspend(96000);
    EXPECT_EQ(effect->engine().sampleRate, 96000.0f);
    host.product = "Live";
    EXPECT_TRUE(makeEffect(host)->engine().hostIsLive);
    host.product = "Live 12";
    EXPECT_FALSE(makeEffect(host)->engine().hostIsLive);
}

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

TEST(PreviewSynth, MutedIsSilentAndUnmutingStopsNothingThatSounds) {
    FakeHost host;
    auto effect = makeEffect(host);
    effect->setParameter(param::kArpOn, 0.0f);
    effect->setParameter(param::kPreviewOn, 0.0f);
    std::vector<float> left(512), right(512);
    runBlock(*effect, 512, {midi(0, 0x90, 60, 100)}, left.data(), right.data());
    EXPECT_EQ(left, std::vector<float>(512, 0.0f));
    // Unmuting clears the voices but every sounding MIDI note stays balanced.
    effect->setParameter(param::kPreviewOn, 1.0f);
    runBlock(*effect, 512, {midi(0, 0x80, 60, 0)}, left.data(), right.data());
    int ons = 0, offs = 0;
    for (const auto& e : host.received) ((e.status & 0xF0) == 0x90 ? ons : offs)++;
    EXPECT_EQ(ons, 3);
    EXPECT_EQ(offs, 3);
}

TEST(PreviewSynth, ReleasedVoicesFadeOutOverFourHundredSamples) {
    FakeHost host;
    auto effect = makeEffect(host);
    effect->setParameter(param::kArpOn, 0.0f);
    effect->setParameter(param::kPreviewOn, 1.0f); // a new instance's preview is off
    std::vector<float> left(1024), right(1024);
    runBlock(*effect, 1024, {midi(0, 0x90, 60, 100)}, left.data(), right.data());
    EXPECT_NE(left[1023], 0.0f);
    EXPECT_EQ(right, left);
    runBlock(*effect, 1024, {midi(0, 0x80, 60, 0)}, left.data(), right.data());
    EXPECT_TRUE(
        std::any_of(left.begin() + 300, left.begin() + 400, [](float x) { return x != 0; }));
    for (int n = 400; n < 1024; ++n) ASSERT_EQ(left[n], 0.0f) << n;
    for (const PreviewVoice& v : effect->engine().previewVoice) EXPECT_FALSE(v.active);
}
