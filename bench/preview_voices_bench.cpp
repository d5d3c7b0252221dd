// The preview synthesizer with all 32 voices sounding: set up inside the
// engine, since no musical gesture holds exactly 32 voices steadily.
#include "engine_fixture.h"
#include "parameter_indices.h"

#include <benchmark/benchmark.h>
#include <cmath>

static void BM_ThirtyTwoPreviewVoices(benchmark::State& state) {
    FakeHost host;
    auto effect = makeEffect(host);
    // state.range(0) == 1: the per-sample reference loop.
    effect->useReferencePath(state.range(0) == 1);
    effect->setParameter(param::kArpOn, 0.0f);
    EngineState& s = effect->engine();
    for (int i = 0; i < kPreviewVoiceCount; ++i) {
        PreviewVoice& v = s.previewVoice[i];
        v.active = 1;
        v.note = 36 + i;
        v.phaseIncrement = 13.75 * std::pow(2.0, (v.note - 9) / 12.0) / s.sampleRate;
        v.phase = i / 32.0;
    }
    std::vector<float> left(64), right(64);
    for (auto _ : state) {
        runBlock(*effect, 64, {}, left.data(), right.data());
        benchmark::DoNotOptimize(left.data());
    }
    state.SetLabel("64 frames, 48 kHz");
}
BENCHMARK(BM_ThirtyTwoPreviewVoices)->ArgName("reference")->Arg(0)->Arg(1);
