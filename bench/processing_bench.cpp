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

// Eight held notes arpeggiated (chord memory off), preview sounding or muted,
// at "1/16" and at the fastest rate.
static void arpBlocks(benchmark::State& state, float rate, bool muted) {
    auto host = makeHost();
    host->setParameter(16, 0.0f);
    host->setParameter(18, rate);
    host->setParameter(104, muted ? 0.0f : 1.0f);
    host->setTempo(120);
    host->setPlaying(true);
    for (int n = 0; n < 8; ++n) host->noteOn(0, 1, 48 + 3 * n, 100);
    host->processBlock(kBlock);
    for (auto _ : state) {
        host->processBlock(kBlock);
        keepEventsSmall(*host);
    }
}
static void BM_ArpSixteenths(benchmark::State& state) {
    arpBlocks(state, 0.58f, false);
}
static void BM_ArpSixteenthsMuted(benchmark::State& state) {
    arpBlocks(state, 0.58f, true);
}
static void BM_ArpFastest(benchmark::State& state) {
    arpBlocks(state, 1.0f, false);
}
static void BM_ArpFastestMuted(benchmark::State& state) {
    arpBlocks(state, 1.0f, true);
}
BENCHMARK(BM_ArpSixteenths);
BENCHMARK(BM_ArpSixteenthsMuted);
BENCHMARK(BM_ArpFastest);
BENCHMARK(BM_ArpFastestMuted);

BENCHMARK_MAIN();
