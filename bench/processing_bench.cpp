// Cost of one processing block, through the plug-in's binary interface, on
// the fast path and (the "/reference" variants) on the per-sample loop.
#include "plugin_host.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {
constexpr int32_t kBlock = 64;
constexpr int32_t kVendorMagic = fourCharId('Z', 'n', 'd', 'l');
constexpr int32_t kVendorUseReferencePath = 5;

// state.range(0) == 1 selects the per-sample reference loop.
std::unique_ptr<PluginHost> makeHost(const benchmark::State& state) {
    auto host = std::make_unique<PluginHost>(ZANDREL_SO);
    host->dispatch(effVendorSpecific, kVendorUseReferencePath, kVendorMagic, nullptr,
                   state.range(0) == 1 ? 1.0f : 0.0f);
    for (int i = 0; i < 12; ++i) host->processBlock(kBlock);
    host->events.clear();
    return host;
}

void keepEventsSmall(PluginHost& host) {
    if (host.events.size() > 4096) host.events.clear();
}
} // namespace

static void BM_IdleBlock(benchmark::State& state) {
    auto host = makeHost(state);
    for (auto _ : state) {
        host->processBlock(kBlock);
        keepEventsSmall(*host);
    }
    state.SetLabel("64 frames, 48 kHz, nothing playing");
}
BENCHMARK(BM_IdleBlock)->ArgName("reference")->Arg(0)->Arg(1);

static void BM_ChordMemoryBlock(benchmark::State& state) {
    auto host = makeHost(state);
    host->setParameter(17, 0.0f); // arpeggiator off
    host->noteOn(0, 1, 60, 100);
    host->processBlock(kBlock);
    for (auto _ : state) {
        host->processBlock(kBlock);
        keepEventsSmall(*host);
    }
    state.SetLabel("one chord held, preview sounding");
}
BENCHMARK(BM_ChordMemoryBlock)->ArgName("reference")->Arg(0)->Arg(1);

// Eight held notes arpeggiated (chord memory off), preview sounding or muted,
// at "1/16" and at the fastest rate.
static void arpBlocks(benchmark::State& state, float rate, bool muted) {
    auto host = makeHost(state);
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
BENCHMARK(BM_ArpSixteenths)->ArgName("reference")->Arg(0)->Arg(1);
BENCHMARK(BM_ArpSixteenthsMuted)->ArgName("reference")->Arg(0)->Arg(1);
BENCHMARK(BM_ArpFastest)->ArgName("reference")->Arg(0)->Arg(1);
BENCHMARK(BM_ArpFastestMuted)->ArgName("reference")->Arg(0)->Arg(1);

BENCHMARK_MAIN();
