// Which notes a stream of MIDI leaves sounding: the one definition of a
// hanging note, shared by the session fuzzer and the tests.
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
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class NoteBalance {
public:
    struct Hanging {
        int channel; // 1..16
        int note;
        int count;     // note-ons without their note-off
        bool restruck; // its last message was a note-off: struck again while it sounded
    };

    // One message as it goes out; anything but a note passes unnoticed.
    void add(uint8_t status, uint8_t note, uint8_t velocity) {
        const int kind = status & 0xF0;
        if ((kind != 0x90 && kind != 0x80) || note > 127) return;
        int& sounding = count[status & 15][note];
        const bool on = kind == 0x90 && velocity > 0;
        if (on)
            ++sounding;
        else if (sounding > 0)
            --sounding;
        released[status & 15][note] = !on;
    }

    // The notes left sounding, by channel, then note.
    std::vector<Hanging> hanging() const {
        std::vector<Hanging> notes;
        for (int c = 0; c < 16; ++c)
            for (int n = 0; n < 128; ++n)
                if (count[c][n] > 0) notes.push_back({c + 1, n, count[c][n], released[c][n]});
        return notes;
    }

private:
    std::array<std::array<int, 128>, 16> count{};
    std::array<std::array<bool, 128>, 16> released{};
};
