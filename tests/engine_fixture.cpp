#include "engine_fixture.h"

#include <cstring>

intptr_t FakeHost::callback(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    FakeHost* host = current();
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetSampleRate:
        return host ? static_cast<intptr_t>(host->sampleRate) : 0;
    case audioMasterGetProductString:
        if (host) std::strcpy(static_cast<char*>(ptr), host->product);
        return 1;
    case audioMasterGetTime:
        return host ? reinterpret_cast<intptr_t>(host->timeInfo) : 0;
    case audioMasterProcessEvents: {
        const auto* events = static_cast<const VstEvents*>(ptr);
        for (int i = 0; host && i < events->numEvents; ++i)
            host->received.push_back(*reinterpret_cast<const VstMidiEvent*>(events->events[i]));
        return 1;
    }
    default:
        return 0;
    }
}

std::unique_ptr<ZandrelDSPEdit> makeEffect(FakeHost& host) {
    FakeHost::current() = &host;
    auto effect = std::make_unique<ZandrelDSPEdit>(&FakeHost::callback);
    for (int i = 0; i < 10; ++i) runBlock(*effect, 16);
    host.received.clear();
    return effect;
}

VstMidiEvent midi(int32_t delta, uint8_t status, uint8_t d1, uint8_t d2) {
    VstMidiEvent e{};
    e.type = kVstMidiType;
    e.byteSize = sizeof e;
    e.deltaFrames = delta;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(d1);
    e.midiData[2] = static_cast<char>(d2);
    return e;
}

void runBlock(ZandrelDSPEdit& effect, int32_t frames, std::vector<VstMidiEvent> events, float* left,
              float* right) {
    std::vector<float> scratchL(frames > 0 ? frames : 1), scratchR(frames > 0 ? frames : 1);
    if (!events.empty()) {
        // VstEvents ends in an array of pointers: the size of a pointer is meant.
        // NOLINTNEXTLINE(bugprone-sizeof-expression)
        std::vector<char> block(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
        auto* list = reinterpret_cast<VstEvents*>(block.data());
        list->numEvents = static_cast<int32_t>(events.size());
        for (size_t i = 0; i < events.size(); ++i)
            list->events[i] = reinterpret_cast<VstEvent*>(&events[i]);
        effect.processEvents(list);
    }
    float* outs[2] = {left ? left : scratchL.data(), right ? right : scratchR.data()};
    effect.processReplacing(nullptr, outs, frames);
}
