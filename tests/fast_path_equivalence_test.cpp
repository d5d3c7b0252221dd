// The fast processing path against the per-sample reference: two instances,
// one switched to the reference, play the same randomized sessions — tempos,
// swing, timing lanes, free rate, host loops, block sizes, notes, parameter
// changes between blocks — and must send the same events and the same
// audio, bit for bit, block after block.
#include "test_host_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>

using namespace param;

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSessions = 6; // the sanitized build is ~10x slower
#else
constexpr int kSessions = 40;
#endif
constexpr int64_t kSessionSeconds = 60;

// Everything of the events that a host sees, for comparing and printing.
std::string eventsOf(const PluginHost& host) {
    std::string text;
    for (const auto& e : host.events)
        text += std::to_string(e.sampleTime) + ":" + std::to_string(e.deltaFrames) + ":" +
                std::to_string(e.type) + ":" + std::to_string(e.status) + "," +
                std::to_string(e.data1) + "," + std::to_string(e.data2) + " ";
    return text;
}

class Pair {
public:
    explicit Pair(uint64_t seed) {
        for (auto* slot : {&reference, &fast}) {
            *slot = makeHost();
            uint64_t s = seed;
            (*slot)->dispatch(effVendorSpecific, kVendorSeedRandom, kVendorMagic, &s);
        }
        EXPECT_EQ(reference->dispatch(effVendorSpecific, kVendorUseReferencePath, kVendorMagic,
                                      nullptr, 1.0f),
                  1);
    }
    void both(const std::function<void(PluginHost&)>& act) {
        act(*reference);
        act(*fast);
    }
    // Runs one block on both and compares; false (with a message) on the
    // first difference.
    bool block(int32_t frames, std::string& difference) {
        both([frames](PluginHost& h) { h.processBlock(frames); });
        if (eventsOf(*reference) != eventsOf(*fast)) {
            difference = eventsOf(*reference) + "\nvs " + eventsOf(*fast);
            return false;
        }
        noteEvents += fast->events.size();
        reference->events.clear();
        fast->events.clear();
        const size_t bytes = sizeof(float) * static_cast<size_t>(frames);
        if (std::memcmp(reference->left.data(), fast->left.data(), bytes) != 0 ||
            std::memcmp(reference->right.data(), fast->right.data(), bytes) != 0) {
            difference = "audio";
            return false;
        }
        for (int32_t i = 0; i < frames; ++i) audible = audible || fast->left[i] != 0.0f;
        return true;
    }
    std::unique_ptr<PluginHost> reference, fast;
    size_t noteEvents = 0;
    bool audible = false;
};

// Everything a session may change between two blocks, drawn at random.
class SessionScript {
public:
    explicit SessionScript(uint64_t seed) : rng(seed) {}

    float unit() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng); }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

    void setUp(Pair& pair) {
        const double tempo = 40.0 + unit() * 260.0;
        const bool chords = chance(0.3);
        const bool free = chance(0.2);
        pair.both([&](PluginHost& h) { h.setTempo(tempo); });
        set(pair, kChordsOn, chords ? 1.0f : 0.0f);
        set(pair, kArpFreeRate, free ? 1.0f : 0.0f);
        set(pair, kSwing, chance(0.5) ? unit() : 0.0f);
        set(pair, kGate, unit());
        set(pair, kPreviewOn, chance(0.7) ? 1.0f : 0.0f);
        set(pair, kMidiLatch, chance(0.2) ? 1.0f : 0.0f);
        for (int pattern = 0; pattern < 12; ++pattern) set(pair, kRateFirst + pattern, unit());
        set(pair, kPattern, pick(0, 11) / 12.0f);
        shapePattern(pair);
        if (chance(0.3)) {
            const double start = pick(0, 8);
            const double end = start + pick(1, 8) * 0.5;
            pair.both([&](PluginHost& h) { h.setLoop(true, start, end); });
        }
        const double from = chance(0.2) ? -1.5 : 0.0;
        pair.both([&](PluginHost& h) {
            h.locate(from);
            h.setPlaying(true);
        });
    }

    // Lanes and steps of the current pattern: timing lane and the others
    // randomized, some steps off, odd lane lengths and dividers.
    void shapePattern(Pair& pair) {
        for (int lane = 0; lane < 8; ++lane) {
            set(pair, kCurrentLane, lane / 7.0f);
            if (lane == 6 || chance(0.5)) set(pair, kRandomizeLane, 1.0f);
            if (chance(0.3)) set(pair, kLaneLength, pick(1, 16) / 16.0f);
            if (chance(0.2)) set(pair, kLaneStartKeepLength, pick(0, 15) / 16.0f);
            if (chance(0.2)) set(pair, kLaneDivider, pick(0, 9) / 9.0f);
        }
        for (int step = 0; step < 16; ++step)
            if (chance(0.15)) set(pair, kStepOnFirst + step, 0.0f);
        set(pair, kChordStep, chance(0.15) ? 1.0f : 0.0f);
        set(pair, kRestartOnKey, chance(0.2) ? 1.0f : 0.0f);
        if (chance(0.2)) set(pair, kArpNoteRuleFirst + pick(0, 11), unit());
    }

    int32_t blockSize() {
        static constexpr int32_t kSizes[] = {1,   2,   17,  32,  64,   64,  64,
                                             128, 256, 256, 480, 1024, 4096};
        return kSizes[pick(0, static_cast<int>(std::size(kSizes)) - 1)];
    }

    // Notes on and off inside the next block, and now and then a change.
    void between(Pair& pair, int32_t frames) {
        if (chance(0.08)) {
            const int note = pick(30, 90);
            const int32_t at = pick(0, frames - 1);
            const bool on = chance(0.6);
            pair.both([&](PluginHost& h) {
                on ? h.noteOn(at, 1, note, 1 + (note * 7) % 127) : h.noteOff(at, 1, note);
            });
        }
        if (!chance(0.01)) return;
        const std::function<void()> changes[] = {
            [&] {
                pair.both([tempo = 40.0 + unit() * 260.0](PluginHost& h) { h.setTempo(tempo); });
            },
            [&] { set(pair, kSwing, unit()); },
            [&] { set(pair, kRateFirst + pick(0, 11), unit()); },
            [&] { set(pair, kPattern, pick(0, 11) / 12.0f); },
            [&] { set(pair, kPreviewOn, chance(0.5) ? 1.0f : 0.0f); },
            [&] { pair.both([to = pick(0, 64) * 0.25](PluginHost& h) { h.locate(to); }); },
            [&] { pair.both([play = chance(0.7)](PluginHost& h) { h.setPlaying(play); }); },
            [&] { set(pair, kArpFreeRate, chance(0.3) ? 1.0f : 0.0f); },
            [&] { shapePattern(pair); },
            [&] { set(pair, kGate, unit()); },
        };
        changes[pick(0, 9)]();
    }

private:
    void set(Pair& pair, int32_t index, float value) {
        pair.both([&](PluginHost& h) { h.setParameter(index, value); });
    }
    std::mt19937_64 rng;
};
} // namespace

TEST(FastPath, RandomizedSessionsSendTheReferencesEventsAndAudioBitForBit) {
    size_t noteEvents = 0;
    int audibleSessions = 0;
    for (int session = 0; session < kSessions; ++session) {
        const uint64_t seed = 1000 + session;
        Pair pair(seed);
        SessionScript script(seed);
        script.setUp(pair);
        // A chord to start with, so that every session arpeggiates.
        for (int n = 0; n < 1 + session % 8; ++n)
            pair.both([&](PluginHost& h) { h.noteOn(0, 1, 48 + 5 * n, 90); });
        const int64_t length = kSessionSeconds * 48000;
        for (int64_t t = 0; t < length;) {
            const int32_t frames = script.blockSize();
            script.between(pair, frames);
            std::string difference;
            ASSERT_TRUE(pair.block(frames, difference))
                << "session " << session << " at sample " << t << ": " << difference;
            t += frames;
        }
        noteEvents += pair.noteEvents;
        audibleSessions += pair.audible ? 1 : 0;
    }
    // The sessions must have played something, or they prove nothing.
    EXPECT_GT(noteEvents, static_cast<size_t>(kSessions) * 100);
    EXPECT_GT(audibleSessions, kSessions / 3);
}
