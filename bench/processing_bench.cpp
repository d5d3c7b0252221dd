// Cost of one processing block, through the plug-in's binary interface.
#include "plugin_host.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {
constexpr int32_t kBlock = 64;

std::unique_ptr<PluginHost> makeHost() {
    auto host = std::make_unique<PluginHost>(ZANDREL_SO);
    for (int i = 0; i < 12; ++i) host->processBlock(kBlock);
    host->events.clear();
    return host;
}

void keepEventsSmall(PluginHost& host) {
    if (host.events.size() > 4096) host.events.clear();
}
} // namespace

static void BM_IdleBlock(benchmark::State& state) {
    auto host = makeHost();
    for (auto _ : state) {
        host->processBlock(kBlock);
        keepEventsSmall(*host);
    }
    state.SetLabel("64 frames, 48 kHz, nothing playing");
}
BENCHMARK(BM_IdleBlock);

static void BM_ChordMemoryBlock(benchmark::State& state) {
    auto host = makeHost();
    host->setParameter(17, 0.0f); // arpeggiator off
    host->noteOn(0, 1, 60, 100);
    host->processBlock(kBlock);
    for (auto _ : state) {
        host->processBlock(kBlock);
        keepEventsSmall(*host);
    }
    state.SetLabel("one chord held, preview sounding");
}
BENCHMARK(BM_ChordMemoryBlock);

// 32 preview voices: four 8-voice chords on channels that bypass the chord
// memory would only sound one each, so eight-note chords are stored on
// four keys through the note edits and held with latch.
static void BM_PreviewVoicesBlock(benchmark::State& state) {
    auto host = makeHost();
    host->setParameter(17, 0.0f); // arpeggiator off
    host->setParameter(16, 0.0f); // chord memory off: every key sounds as itself
    for (int n = 0; n < 32; ++n) host->noteOn(n % kBlock, 3, 40 + n, 100);
    host->processBlock(kBlock);
    for (auto _ : state) {
        host->processBlock(kBlock);
        keepEventsSmall(*host);
    }
    state.SetLabel("32 preview voices");
}
BENCHMARK(BM_PreviewVoicesBlock);

BENCHMARK_MAIN();
