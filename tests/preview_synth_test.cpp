// The preview sound: one table-lookup voice per sounding note, exactly as
// the waveform formula gives it, silent when muted.
#include "engine_fixture.h"
#include "parameter_indices.h"
#include "waveform_table.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(PreviewSynth, TheWaveformIsARampFadedInAndOutAtItsEnds) {
    const float* table = waveformTable();
    EXPECT_EQ(table[0], 0.0f);
    EXPECT_FLOAT_EQ(table[4096], static_cast<float>((4096 / 65535.0 - 0.5) * 0.125));
    EXPECT_FLOAT_EQ(table[2048], static_cast<float>((2048 / 65535.0 - 0.5) * 0.125 * 0.5));
    EXPECT_FLOAT_EQ(table[40000], static_cast<float>((40000 / 65535.0 - 0.5) * 0.125));
    EXPECT_EQ(table[65535], 0.0f);
    EXPECT_FLOAT_EQ(table[65535 - 1024],
                    static_cast<float>((64511 / 65535.0 - 0.5) * 0.125 * 0.25));
}

TEST(PreviewSynth, AChordNoteSoundsAsTheVoiceFormulaGivesSampleForSample) {
    FakeHost host;
    auto effect = makeEffect(host);
    effect->setParameter(param::kArpOn, 0.0f);
    effect->seedRandom(7);
    runBlock(*effect, 16, {midi(0, 0x90, 69, 100)}); // A: 440 Hz... as chord root A
    const EngineState& s = effect->engine();
    // Find the voice playing note 69 and replay its formula from its state.
    int voice = -1;
    for (int i = 0; i < kPreviewVoiceCount; ++i)
        if (s.previewVoice[i].active && s.previewVoice[i].note == 69) voice = i;
    ASSERT_GE(voice, 0);
    EXPECT_DOUBLE_EQ(s.previewVoice[voice].phaseIncrement,
                     13.75 * std::pow(2.0, 60 / 12.0) / 48000);

    // Only this voice: silence the other chord notes' voices first.
    EngineState& w = effect->engine();
    for (int i = 0; i < kPreviewVoiceCount; ++i)
        if (i != voice) w.previewVoice[i].active = 0;
    PreviewVoice v = s.previewVoice[voice];
    const float* table = waveformTable();
    std::vector<float> left(256), right(256);
    runBlock(*effect, 256, {}, left.data(), right.data());
    for (int n = 0; n < 256; ++n) {
        v.phase += v.phaseIncrement;
        if (v.phase >= 1.0) v.phase -= 1.0;
        const double scaled = v.phase * 65535;
        const int i = static_cast<int>(std::floor(scaled));
        const double f = scaled - std::floor(scaled);
        double value = (1 - f) * table[(i + 1) % 65536] + f * table[i];
        if (v.attackCounter > 0) value *= (160 - v.attackCounter--) / 160.0;
        ASSERT_EQ(left[n], static_cast<float>(value)) << n;
        ASSERT_EQ(right[n], left[n]);
    }
}

TEST(PreviewSynth, MutedPreviewIsSilentAndUnmutingStopsNothingThatSounds) {
    FakeHost host;
    auto effect = makeEffect(host);
    effect->setParameter(param::kArpOn, 0.0f);
    effect->setParameter(param::kPreviewOn, 0.0f);
    std::vector<float> left(512), right(512);
    runBlock(*effect, 512, {midi(0, 0x90, 60, 100)}, left.data(), right.data());
    for (float x : left) ASSERT_EQ(x, 0.0f);
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
    std::vector<float> left(1024), right(1024);
    runBlock(*effect, 1024, {midi(0, 0x90, 60, 100)}, left.data(), right.data());
    runBlock(*effect, 1024, {midi(0, 0x80, 60, 0)}, left.data(), right.data());
    for (int n = 400; n < 1024; ++n) ASSERT_EQ(left[n], 0.0f) << n;
    for (const PreviewVoice& v : effect->engine().previewVoice) EXPECT_FALSE(v.active);
}
