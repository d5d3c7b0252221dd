// Plays an instance the way a host does (activation, blocks with MIDI at
// their frames, letting go at the end) and judges everything that comes
// back by the shared output rules: each event well formed and inside its
// block, no more events than the format allows, every sample finite and
// not subnormal, every note the plug-in starts ended again.
#pragma once

#include "check_log.h"
#include "plugin_format.h"
#include "seeded_random.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <deque>
#include <vector>

namespace validate {

// A MIDI message at a frame of the whole run.
struct TimedMidi {
    int64_t frame;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

struct NoteOn {
    int64_t frame;
    int channel; // 1..16
    int key;
    bool operator==(const NoteOn&) const = default;
};

// Notes for `frames` frames from `start` on one channel (1..16): chords of
// one to three keys in the middle of the keyboard, held from 20 ms to 0.8 s,
// each released again.
std::vector<TimedMidi> randomNotes(SeededRandom& random, int64_t start, int64_t frames, double rate,
                                   int channel);

class Player {
public:
    Player(PluginInstance& plugin, CheckLog& log);

    // Activates, then plays a few blocks of silence: a plug-in may ignore a
    // host's parameter changes right after activation (Zandrel for ten
    // blocks), and a host plays before the user touches anything.
    void start(double rate, int32_t maxBlockSize);
    void stop();

    void schedule(const std::vector<TimedMidi>& midi);
    // One block, with the scheduled MIDI that falls into it.
    void block(int32_t frames);
    void play(int64_t frames, int32_t blockSize);
    // All notes off (controller 123) on each channel played and a note-off
    // for every key still held; then blocks until nothing came for half a
    // second; fails for every note that never ended (unless `judgeNotes` is
    // false: the notes a run leaves depend on another thread's timing).
    void letGo(int32_t blockSize, bool judgeNotes = true);

    // Each kind of failure is told once per segment of a run.
    void newSegment() { reported.reset(); }

    int64_t position() const { return clock; }
    double rate() const { return sampleRate; }
    const std::vector<NoteOn>& noteOns() const { return ons; }
    int64_t eventCount() const { return events; }
    const BlockOutput& lastBlock() const { return out; }

private:
    void judge(int32_t frames);
    void failOnce(int kind, const std::string& what);

    PluginInstance& plugin;
    CheckLog& log;
    int eventLimit;
    double sampleRate = 48000.0;
    int64_t clock = 0;
    int64_t events = 0;
    std::deque<TimedMidi> scheduled;
    std::vector<MidiIn> blockMidi;
    BlockOutput out;
    NoteLedger ledger;
    std::vector<NoteOn> ons;
    std::array<std::bitset<128>, 16> held{};
    std::bitset<16> channelsPlayed;
    std::bitset<8> reported;
    bool restruckTold = false;
};

} // namespace validate
