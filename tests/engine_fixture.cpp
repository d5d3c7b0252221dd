#include "engine_fixture.h"

std::unique_ptr<ZandEngine> makeEffect(FakeHost& host, TestTransport* transport) {
    auto effect = std::make_unique<ZandEngine>(host, EngineSetup{host.sampleRate, host.product});
    for (int i = 0; i < 10; ++i) runBlock(*effect, 16, {}, nullptr, nullptr, transport);
    host.received.clear();
    return effect;
}

void runBlock(ZandEngine& effect, int32_t frames, std::vector<MidiMessage> events, float* left,
              float* right, TestTransport* transport) {
    std::vector<float> scratchL(frames > 0 ? frames : 1), scratchR(frames > 0 ? frames : 1);
    if (!events.empty()) effect.receiveMidi(events.data(), static_cast<int32_t>(events.size()));
    effect.processBlock(left ? left : scratchL.data(), right ? right : scratchR.data(), frames,
                        transport ? &transport->info : nullptr);
    if (transport) transport->advance(frames);
}
