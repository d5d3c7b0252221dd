// What a host may demand of what a plug-in sends back: every MIDI event well
// formed and inside its block, every sample finite, and every note it starts
// ended again. Shared by the session fuzzer and the validator, so that both
// judge the plug-in by the same rules.
#pragma once

#include "plugin_host.h"

#include <array>
#include <cstdint>
#include <string>

// One short MIDI message the plug-in sent, at its frame inside the block.
struct SentMidi {
    int32_t deltaFrames;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

// What is wrong with a message sent in a block of `blockFrames` frames, or
// "" when nothing is. A block of no frames can hold no event at all.
std::string midiEventFault(const SentMidi& event, int32_t blockFrames);

// The same for the VST 2.4 event record around it (type and byte size).
std::string vstEventFault(const PluginHost::ReceivedEvent& event);
SentMidi sentMidiOf(const PluginHost::ReceivedEvent& event);

// What is wrong with a block of audio, or "": a sample that is not finite,
// louder than `bound`, or (unless allowed) subnormal.
struct AudioRules {
    float bound = 64.0f; // thirty-two preview voices of amplitude one at most
    bool subnormalsAllowed = false;
};
std::string audioFault(const float* samples, int32_t frames, const AudioRules& rules);

// Counts the notes sounding per channel and key from the note events sent.
// A note-off ends the key on its channel however often it was struck, as
// MIDI receivers treat it; a second note-on of a sounding key is counted, so
// a hang shows how often it sounded.
class NoteLedger {
public:
    void take(const SentMidi& event);
    bool anyHanging() const;
    int firstHangingChannel() const; // 1..16, 0 when nothing hangs
    // " ch1:60x2 ch3:64x1" for the keys still sounding.
    std::string hanging() const;
    void clear() { balance = {}; }

private:
    std::array<std::array<int, 128>, 16> balance{};
};
