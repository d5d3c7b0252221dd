// An engine created in-process with a stand-in host, for tests that need to
// look inside the engine or stand in for its editor.
#pragma once

#include "editor_link.h"
#include "zand_engine.h"

#include <memory>
#include <utility>
#include <vector>

struct FakeHost : HostPort {
    float sampleRate = 48000.0f;
    const char* product = "Fake Host";
    std::vector<MidiMessage> received;
    void sendMidi(const MidiMessage* events, int32_t count) noexcept override {
        received.insert(received.end(), events, events + count);
    }
};

// A host transport at a constant tempo that moves on with the blocks it is
// given to, its position computed from the frames since it was located.
struct TestTransport {
    TransportInfo info{};
    double sampleRate = 48000.0;
    int64_t frames = 0;
    double locatedAt = 0.0;
    explicit TestTransport(double tempo = 120.0, bool playing = false) {
        info.tempo = tempo;
        info.playing = playing;
    }
    void locate(double beat) {
        locatedAt = info.beatPosition = beat;
        frames = 0;
    }
    void advance(int32_t n) {
        frames += n;
        info.beatPosition =
            locatedAt + static_cast<double>(frames) * info.tempo / (60.0 * sampleRate);
    }
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

// Creates an engine talking to `host`; the guard blocks are run off (with
// `transport` as the host's, or none).
std::unique_ptr<ZandEngine> makeEffect(FakeHost& host, TestTransport* transport = nullptr);
// Runs one block on the calling thread with the given events; a transport
// given moves on by the block.
void runBlock(ZandEngine& effect, int32_t frames, std::vector<MidiMessage> events = {},
              float* left = nullptr, float* right = nullptr, TestTransport* transport = nullptr);
inline MidiMessage midi(int32_t frame, uint8_t status, uint8_t d1, uint8_t d2) {
    return {frame, status, d1, d2};
}
