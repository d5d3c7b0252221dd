// The engine's side of its contract with the editor and with the host's
// threads: what the editor is told, and how events produced off the
// real-time thread reach the output.
#include "engine_fixture.h"
#include "numeric.h"
#include "parameter_indices.h"

#include <gtest/gtest.h>
#include <thread>

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

TEST(EngineSetup, SampleRatesBelow44kHzRunTheEngineAt44100) {
    FakeHost host;
    host.sampleRate = 22050;
    auto low = makeEffect(host);
    EXPECT_EQ(low->engine().sampleRate, 44100.0f);
    host.sampleRate = 44000;
    auto edge = makeEffect(host);
    EXPECT_EQ(edge->engine().sampleRate, 44000.0f);
    host.sampleRate = 96000;
    edge->suspend(host.sampleRate);
    EXPECT_EQ(edge->engine().sampleRate, 96000.0f);
}

TEST(EngineSetup, TheHostCalledLiveIsRecognised) {
    FakeHost host;
    host.product = "Live";
    EXPECT_TRUE(makeEffect(host)->engine().hostIsLive);
    host.product = "Live 12";
    EXPECT_FALSE(makeEffect(host)->engine().hostIsLive);
}

TEST(EngineSetup, ConstructionLeavesTheDocumentedDefaults) {
    FakeHost host;
    auto effect = makeEffect(host);
    const EngineState& s = effect->engine();
    EXPECT_EQ(s.transpose, 24);
    EXPECT_EQ(s.chordsOn, 1);
    EXPECT_EQ(s.arpOn, 1);
    EXPECT_FLOAT_EQ(s.gate, 0.5f);
    EXPECT_EQ(s.lastTriggerVelocity, 100);
    EXPECT_STREQ(s.programName, "Default Program");
    EXPECT_STREQ(s.chordPresetMenuName, "- Chord Presets -");
    EXPECT_STREQ(s.arpPresetMenuName, "- Arp Presets -");
    EXPECT_EQ(noteOfValue(s.chordNote[0][60]), 60);
    EXPECT_EQ(noteOfValue(s.chordNote[1][60]), 63);
    EXPECT_EQ(noteOfValue(s.chordNote[2][60]), 67);
    EXPECT_EQ(s.chordNote[3][60], 0.0f);
    EXPECT_EQ(noteOfValue(s.chordNote[2][125]), 132); // past 127: an empty voice
    EXPECT_FLOAT_EQ(s.chordVel[5][17], 0.5f);
    EXPECT_DOUBLE_EQ(s.patterns[11].stepsPerBeat, 4.0); // "1/16"
    EXPECT_EQ(s.paramGuardBlocks, 10);
}

TEST(RealtimeHandOver, EventsSentFromAnotherThreadGoOutAtTheStartOfTheNextBlock) {
    FakeHost host;
    auto effect = makeEffect(host);
    effect->engine().arpOn = 0;
    std::thread editorThread([&] { effect->sendEvent(0x90, 64, 90, 0, 0); });
    editorThread.join();
    EXPECT_TRUE(host.received.empty());
    runBlock(*effect, 64);
    ASSERT_EQ(host.received.size(), 1u);
    EXPECT_EQ(static_cast<uint8_t>(host.received[0].status), 0x90);
    EXPECT_EQ(host.received[0].data1, 64);
    EXPECT_EQ(host.received[0].frame, 0);
    EXPECT_EQ(effect->engine().outNoteOn[64], 1);
}

TEST(RealtimeHandOver, ProgramChangesAreLoggedWithoutTouchingFilesOnTheRealtimeThread) {
    FakeHost host;
    auto effect = makeEffect(host);
    RecordingEditor editor;
    effect->setEditorLink(&editor);
    runBlock(*effect, 64, {midi(0, 0xB0, 0, 1), midi(0, 0xB0, 32, 2), midi(0, 0xC0, 5, 0)});
    // The preset load and the menu refresh run on the effect's own worker.
    effect->runDeferredWork();
    bool sawArpLoad = false, sawRefresh = false;
    for (const auto& [index, value] : editor.calls) {
        if (index == param::kLoadArpPreset && value == 20005.0f) sawArpLoad = true;
        if (index == param::kRefreshMenus && value == 10.0f) sawRefresh = true;
    }
    EXPECT_TRUE(sawArpLoad);
    EXPECT_TRUE(sawRefresh);
    effect->setEditorLink(nullptr);
}
