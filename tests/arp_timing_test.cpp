// The arpeggiator's timing through the binary interface: every step on the
// sample the clock gives, over long sessions, whatever the block size.
#include "test_host_support.h"

#include <gtest/gtest.h>

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr int64_t kLongSessionSeconds = 40; // the sanitized build is ~10x slower
#else
constexpr int64_t kLongSessionSeconds = 600;
#endif

struct Scheduled {
    int64_t time;
    uint8_t status, data1, data2;
};

// Plays a session of MIDI events at absolute sample times with the transport
// running from ppq 0, in blocks of the given sizes (cycled), and returns
// what came back.
std::vector<PluginHost::ReceivedEvent> render(double rate, double tempo,
                                              const std::vector<Scheduled>& session, int64_t length,
                                              const std::vector<int32_t>& blocks,
                                              float swing = 0.0f) {
    auto host = makeHost(rate);
    host->setParameter(param::kChordsOn, 0.0f); // held keys go straight to the arpeggiator
    host->setParameter(param::kSwing, swing);
    host->setTempo(tempo);
    host->processBlock(static_cast<int32_t>(rate)); // the stopped clock runs on
    host->events.clear();
    host->locate(0.0);
    host->setPlaying(true);
    const int64_t start = host->samplePosition();
    size_t next = 0;
    size_t b = 0;
    for (int64_t t = 0; t < length;) {
        const int32_t frames =
            static_cast<int32_t>(std::min<int64_t>(blocks[b++ % blocks.size()], length - t));
        while (next < session.size() && session[next].time < t + frames) {
            const Scheduled& e = session[next++];
            host->queueMidi(static_cast<int32_t>(e.time - t), e.status, e.data1, e.data2);
        }
        host->processBlock(frames);
        t += frames;
    }
    auto events = host->events;
    for (auto& e : events) e.sampleTime -= start;
    return events;
}

// First sample at or after a position given in quarter steps (a sixteenth
// step is 4 quarter steps) at a whole-number tempo: exact integer arithmetic.
int64_t sampleOfQuarterStep(int64_t quarterSteps, int64_t rate, int64_t tempo) {
    // quarter note = 60 * rate / tempo samples; quarter step = 1/16 of it.
    const int64_t num = quarterSteps * 60 * rate;
    const int64_t den = 16 * tempo;
    return (num + den - 1) / den;
}

const std::vector<Scheduled> kHeldCEG = {
    {0, 0x90, 60, 100}, {0, 0x90, 64, 100}, {0, 0x90, 67, 100}};

void expectStepsOnTheirSamples(int64_t rate, int64_t tempo, float swing, int swingQuarterSteps) {
    const int64_t length = kLongSessionSeconds * rate;
    const auto events = render(static_cast<double>(rate), static_cast<double>(tempo), kHeldCEG,
                               length, {4096}, swing);
    const auto ons = noteOnsOf(events);
    const int64_t quarterNote = 60 * rate / tempo;
    ASSERT_GT(ons.size(), static_cast<size_t>(length / quarterNote * 4 - 8));
    const int expectedNotes[3] = {60, 64, 67};
    for (size_t k = 0; k < ons.size(); ++k) {
        const int64_t delay = (k % 2 == 1) ? swingQuarterSteps : 0;
        const int64_t expected =
            sampleOfQuarterStep(static_cast<int64_t>(k) * 4 + delay, rate, tempo);
        ASSERT_EQ(ons[k].time, expected)
            << "step " << k << " at " << tempo << " BPM, " << rate << " Hz";
        ASSERT_EQ(ons[k].note, expectedNotes[k % 3]);
        ASSERT_EQ(ons[k].velocity, 63);
    }
}
} // namespace

TEST(ArpTiming, SixteenthsLandOnTheirSamplesForTenMinutesSwungOrNot) {
    expectStepsOnTheirSamples(48000, 120, 0.0f, 0);
    expectStepsOnTheirSamples(44100, 60, 0.0f, 0);
    expectStepsOnTheirSamples(96000, 174, 0.0f, 0);
    // Swing 0.5 delays odd sixteenths by a quarter of a step, swing 1.0 by half.
    expectStepsOnTheirSamples(48000, 120, 0.5f, 1);
    expectStepsOnTheirSamples(44100, 90, 1.0f, 2);
}

TEST(ArpTiming, HostJumpsMoveTheClockAtOnceSmallDriftDoesNot) {
    auto run = [](double jumpTo) {
        auto host = makeHost(48000);
        host->setParameter(param::kChordsOn, 0.0f);
        host->setTempo(120);
        host->processBlock(48000);
        host->locate(0.0);
        host->setPlaying(true);
        host->noteOn(0, 1, 60, 100);
        host->noteOn(0, 1, 64, 100);
        host->events.clear();
        const int64_t start = host->samplePosition();
        host->run(24000, 500); // one quarter note: steps 0..3, the next at 24000
        if (jumpTo >= 0) host->locate(jumpTo);
        host->run(24000, 500);
        std::vector<int64_t> times;
        for (const Note& n : noteOnsOf(host->events)) times.push_back(n.time - start);
        return times;
    };
    const auto plain = run(-1);
    EXPECT_EQ(run(1.0 + 0.0004), plain); // drift below 0.001 quarter notes: ignored
    // Half a step on: step 4 is due at once, step 5 half a step sooner.
    const auto jumped = run(1.125);
    ASSERT_GE(jumped.size(), 6u);
    EXPECT_EQ(jumped[4], 24000);
    EXPECT_EQ(jumped[5], 27000);
    EXPECT_EQ(plain[5], 30000);
}

TEST(ArpTiming, TheClockRunsOnAtTheLastTempoWhileTheHostIsStopped) {
    auto host = makeHost(48000);
    host->setParameter(param::kChordsOn, 0.0f);
    host->setTempo(120);
    host->processBlock(64);
    host->noteOn(0, 1, 60, 100);
    host->events.clear();
    host->run(48000, 256);
    const auto ons = noteOnsOf(host->events);
    ASSERT_GE(ons.size(), 7u); // two beats of sixteenths
    for (size_t i = 1; i < ons.size(); ++i) EXPECT_EQ(ons[i].time - ons[i - 1].time, 6000);
    // Stopping a running transport releases every arp note.
    host->setPlaying(true);
    host->run(12000, 256);
    host->setPlaying(false);
    host->processBlock(256);
    EXPECT_TRUE(hangingNotes(host->events).empty());
    // The held-note list was emptied: nothing plays until a key comes again.
    const size_t before = host->events.size();
    host->run(24000, 256);
    EXPECT_EQ(host->events.size(), before);
}
