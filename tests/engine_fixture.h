// An effect created in-process with a stand-in host callback, for tests that
// need to look inside the engine or stand in for its editor.
#pragma once

#include "zandrel_dsp_edit.h"

#include <memory>
#include <utility>
#include <vector>

struct FakeHost {
    float sampleRate = 48000.0f;
    std::vector<VstMidiEvent> received;
    VstTimeInfo* timeInfo = nullptr;
    const char* product = "Fake Host";

    static FakeHost*& current() {
        static FakeHost* host = nullptr;
        return host;
    }
    static intptr_t callback(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float);
};

struct RecordingEditor : EditorLink {
    std::vector<std::pair<int32_t, float>> calls;
    void setParameter(int32_t index, float value) override { calls.emplace_back(index, value); }
    bool saw(int32_t index) const {
        for (const auto& c : calls)
            if (c.first == index) return true;
        return false;
    }
};

// Creates an effect talking to `host`; the guard blocks are run off.
std::unique_ptr<ZandrelDSPEdit> makeEffect(FakeHost& host);
// Runs one block on the calling thread with the given events.
void runBlock(ZandrelDSPEdit& effect, int32_t frames, std::vector<VstMidiEvent> events = {},
              float* left = nullptr, float* right = nullptr);
VstMidiEvent midi(int32_t delta, uint8_t status, uint8_t d1, uint8_t d2);
