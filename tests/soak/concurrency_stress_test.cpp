// Three threads at the plug-in at once, as in a host: blocks with notes,
// program changes and a moving transport; an editor thread writing
// parameters, commands, damaged state loads and chord operations; the
// worker loading presets. Under AddressSanitizer no index the real-time path
// takes from the shared state may leave its array.
#include "session_generator.h"
#include "session_home.h"
#include "soak_random.h"

#include <atomic>
#include <thread>

namespace {

using soak::SoakRandom;

// The indices whose values reach the real-time path as positions, lengths,
// counts, keys or voice numbers, and the commands that rewrite what it
// reads (pattern edits, chord operations, input modes).
constexpr int kSharedStateIndices[] = {
    3,   16,  17,  18,  19,  20,  29,  30,  31,  33,  34,  40,  41,  49,  57,  64,  65,
    74,  75,  79,  80,  81,  82,  83,  84,  86,  87,  104, 111, 112, 113, 119, 120, 121,
    122, 124, 125, 126, 127, 129, 130, 137, 145, 149, 150, 0,   1,   2,   4,   9,   15};

class Editor {
public:
    Editor(PluginHost& host, uint64_t seed) : host(host), random(seed) {}

    void play(const std::atomic<bool>& stop) {
        while (!stop.load(std::memory_order_relaxed)) {
            const int what = random.below(100);
            if (what < 70)
                changeParameter();
            else if (what < 85)
                chordOperation();
            else
                loadState();
            ++actions;
        }
    }
    int64_t actions = 0;

private:
    void changeParameter() {
        int index = random.chance(80)
                        ? kSharedStateIndices[random.below(std::size(kSharedStateIndices))]
                        : random.between(-3, 160);
        // A MIDI export holds the output for its whole offline render, and
        // the real-time path sits out meanwhile: not what this test is after.
        if (index == 109) index = 110;
        float value;
        switch (random.below(3)) {
        case 0:
            value = soak::edgeValue(random);
            break;
        case 1:
            value = static_cast<float>(random.below(17)) / 16.0f;
            break;
        default:
            value = static_cast<float>(random.unit());
            break;
        }
        if (index == 127) value = random.chance(50) ? 266.0f : 267.0f;
        host.setParameter(index, value);
        char text[256];
        host.dispatch(effGetParamDisplay, index, 0, text);
    }

    void chordOperation() {
        static constexpr int kOperations[] = {80, 81, 83};
        host.setParameter(kOperations[random.below(3)], static_cast<float>(random.between(0, 7)));
    }

    // The state as saved, sometimes cut short or damaged.
    void loadState() {
        void* data = nullptr;
        const auto size = host.dispatch(effGetChunk, 0, 0, &data);
        if (!data || size <= 0) return;
        std::vector<uint8_t> bytes(static_cast<const uint8_t*>(data),
                                   static_cast<const uint8_t*>(data) + size);
        if (random.chance(30))
            bytes.resize(static_cast<size_t>(random.below(static_cast<int>(size))));
        if (random.chance(50) && !bytes.empty()) {
            for (int i = 0; i < 32; ++i) {
                const size_t at = static_cast<size_t>(random.below(static_cast<int>(bytes.size())));
                bytes[at] = static_cast<uint8_t>(random.next());
            }
        }
        host.dispatch(effSetChunk, 0, static_cast<intptr_t>(bytes.size()),
                      bytes.empty() ? nullptr : bytes.data());
    }

    PluginHost& host;
    SoakRandom random;
};

struct Tally {
    int64_t blocks = 0;
    int64_t events = 0;
    int64_t malformed = 0;
};

void playRealTime(PluginHost& host, uint64_t seed, int blocks, Tally& tally) {
    SoakRandom random(seed);
    host.setPlaying(true);
    for (int b = 0; b < blocks; ++b) {
        const int32_t frames = random.chance(10) ? 4096 : random.between(1, 512);
        const int events = random.below(24);
        for (int i = 0; i < events; ++i) {
            static constexpr int kChannels[] = {1, 1, 16, 2, 3, 4};
            const int channel = kChannels[random.below(6)];
            const int note = random.below(128);
            if (random.chance(55))
                host.noteOn(random.below(frames), channel, note, random.below(128));
            else
                host.noteOff(random.below(frames), channel, note);
        }
        if (random.chance(5)) {
            // A bank select and a program change: chord or arp bank, the
            // top list or the subfolder, mostly positions that hold a file.
            const int32_t at = random.below(frames);
            host.controller(at, 1, 0, random.below(2));
            host.controller(at, 1, 32, random.below(2));
            host.queueMidi(at, 0xC0, static_cast<uint8_t>(random.below(4)), 0);
        }
        switch (random.below(40)) {
        case 0:
            host.locate(random.unit() * 32.0);
            break;
        case 1:
            host.setLoop(random.chance(50), random.between(0, 8), random.between(0, 12));
            break;
        case 2:
            host.setTempo(random.between(40, 400));
            break;
        case 3:
            host.setPlaying(random.chance(70));
            break;
        default:
            break;
        }
        host.events.clear();
        host.processBlock(frames);
        ++tally.blocks;
        tally.events += static_cast<int64_t>(host.events.size());
        for (const auto& e : host.events) {
            if (e.type != kVstMidiType || (e.status & 0x80) == 0 || e.data1 > 127 ||
                e.data2 > 127 || e.deltaFrames < 0 || e.deltaFrames >= frames)
                ++tally.malformed;
        }
    }
}

using ConcurrencyStress = SessionHome;

TEST_F(ConcurrencyStress, EditorThreadWritesWhileBlocksRunAndEveryEventStaysWellFormed) {
    for (uint64_t seed : {11u, 12u, 13u}) {
        PluginHost host(ZANDREL_SO);
        ASSERT_TRUE(host.loaded()) << host.error();
        for (int i = 0; i < 10; ++i) host.processBlock(64); // past the load guard
        // The arpeggiator and both routings on, so that every path runs.
        host.setParameter(17, 1.0f);
        std::atomic<bool> stop{false};
        Editor editor(host, seed * 7919);
        std::thread editorThread([&] { editor.play(stop); });
        Tally tally;
        playRealTime(host, seed, 4000, tally);
        stop = true;
        editorThread.join();
        EXPECT_EQ(tally.blocks, 4000);
        EXPECT_EQ(tally.malformed, 0) << "seed " << seed;
        EXPECT_GT(editor.actions, 0);
        EXPECT_GT(tally.events, 0);
    }
}

} // namespace
