// What a host may demand of what a plug-in sends back: every MIDI event well
// formed and inside its block, every sample finite, and every note it starts
// ended again. Shared by the session fuzzer and the validator, so that both
// judge the plug-in by the same rules.
#pragma once

#include "plugin_host.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

// Which notes a stream of MIDI leaves sounding: the one definition of a
// hanging note, shared by the session fuzzer, the validator and the tests.
//
// Every note-on counts, and a note-off ends one of them. The MIDI 1.0
// specification leaves it to the receiver what a second note-on of a key
// that sounds does (a second voice, a restrike, nothing), and asks the
// transmitter for a note-off for every note-on it sends, so that a receiver
// that gave the second one its own voice does not keep one sounding. A
// MIDI effect is the transmitter for the instrument behind it: a note struck
// twice and ended once hangs on a synthesizer that stacks voices. A note-off
// for a key that does not sound ends nothing and is not held in credit for
// a later note-on.
//
// Counting is stricter than letting one note-off end any number of strikes.
// Both were run over the short soak (seed 20261205, sixteen sessions): one
// note-off for any number of strikes found nothing beyond the hangs that
// follow from the plug-in's rules; counting found two sessions more, chords
// with two voices on one note number, struck twice and ended once (the
// chord path keeps one sounding mark per note number). A note that hangs
// only that way is told apart (`restruck`): its key was released last, so
// it hangs only on a receiver that stacks voices of one key.
class NoteLedger {
public:
    struct Hanging {
        int channel; // 1..16
        int note;
        int count;     // note-ons without their note-off
        bool restruck; // its last message was a note-off: struck again while it sounded
    };

    void take(const SentMidi& event) { take(event.status, event.data1, event.data2); }
    // One message as it goes out; anything but a note passes unnoticed.
    void take(uint8_t status, uint8_t note, uint8_t velocity);
    bool anyHanging() const { return firstHangingChannel() != 0; }
    int firstHangingChannel() const; // 1..16, 0 when nothing hangs
    // The notes left sounding, by channel, then note.
    std::vector<Hanging> hangingNotes() const;
    // " ch1:60x2 ch3:64x1" for the keys still sounding.
    std::string hanging() const;
    void clear() {
        count = {};
        released = {};
    }

private:
    std::array<std::array<int, 128>, 16> count{};
    std::array<std::array<bool, 128>, 16> released{};
};
