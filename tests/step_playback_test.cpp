// What the arpeggiator plays at each step: lanes, walk modes, ties, chord
// steps, note rules. Pattern values the editor writes directly into the
// pattern are set here on the engine record; everything else goes through
// the parameter door.
#include "engine_fixture.h"
#include "parameter_indices.h"

#include <gtest/gtest.h>

#include <limits>

using namespace param;

namespace {
struct ArpSession {
    FakeHost host;
    TestTransport time;
    std::unique_ptr<ZandEngine> effect;
    std::vector<MidiMessage> pending;
    std::vector<std::pair<int64_t, MidiMessage>> out; // at their sample

    explicit ArpSession(double tempo = 120.0) : time(tempo) {
        effect = makeEffect(host, &time);
        effect->setParameter(kChordsOn, 0.0f); // keys go straight to the arpeggiator
        run(48000);                            // the stopped clock runs on, away from step 0
        out.clear();
        time.info.playing = true;
        time.locate(0.0);
    }
    ArpPattern& pattern() { return effect->engine().patterns[effect->engine().currentPattern]; }
    void run(int64_t frames) {
        std::vector<MidiMessage> events = std::move(pending);
        pending.clear();
        for (; frames > 0; events.clear()) {
            const int32_t n = static_cast<int32_t>(std::min<int64_t>(frames, 1000));
            const int64_t at = time.frames; // since the transport was located
            host.received.clear();
            runBlock(*effect, n, std::move(events), nullptr, nullptr, &time);
            for (const auto& e : host.received) out.emplace_back(at + e.frame, e);
            frames -= n;
        }
    }
    // Keys go down at the start of the next run.
    void hold(std::initializer_list<int> notes) {
        for (int n : notes) pending.push_back(midi(0, 0x90, static_cast<uint8_t>(n), 100));
    }
    std::vector<int64_t> onTimes() const {
        std::vector<int64_t> times;
        for (const auto& [t, e] : out)
            if ((e.status & 0xF0) == 0x90 && e.data2 != 0) times.push_back(t);
        return times;
    }
    std::vector<int> onNotes() const {
        std::vector<int> notes;
        for (const auto& [t, e] : out)
            if ((e.status & 0xF0) == 0x90 && e.data2 != 0) notes.push_back(e.data1);
        return notes;
    }
};

void fillRow(ArpPattern& p, int row, float value) {
    std::fill_n(p.rowValue[row], kStepCount, value);
}
} // namespace

TEST(StepPlayback, LanesAndChoicesPlayTheNotesTheyDescribe) {
    using Values = std::vector<std::pair<int, float>>;
    struct Case {
        Values rows;   // row, value for all sixteen steps
        Values params; // index, value through the parameter door
        std::vector<int> held;
        int steps;
        std::vector<int> notes;
    };
    const float plusTwo = 26.0f / 48.99f + 0.001f;
    const Case cases[] = {
        // The default pattern walks up.
        {{}, {}, {64, 60, 67}, 6, {60, 64, 67, 60, 64, 67}},
        // A choice beyond the held notes wraps an octave up.
        {{{0, 5.0f / 16}}, {}, {60, 64, 67}, 2, {76, 76}},
        // A ninth note is ignored while eight are held.
        {{{0, 9.5f / 16}},
         {},
         {40, 42, 44, 46, 48, 50, 52, 54, 30},
         9,
         {40, 42, 44, 46, 48, 50, 52, 54, 40}},
        // A chord step plays the whole chord rotated to its note.
        {{{0, 2.0f / 16}}, {{kChordStep, 1.0f}}, {60, 64, 67}, 1, {64, 67, 72}},
        // Octave +2, added interval +6 (floor(0.769 * 25.99) - 13).
        {{{0, 1.0f / 16}, {3, 10.0f / 16}, {8, 20.0f / 26}}, {}, {48}, 1, {72, 78}},
        // Scale shift +2 on the thirds above the chord's root only.
        {{{4, 15.5f / 26}}, {}, {60, 64, 67}, 3, {60, 66, 67}},
        // C# at " -1 " sounds as C.
        {{}, {{kArpNoteRuleFirst + 1, 2.0f / 3}}, {61}, 1, {60}},
        // Held notes are transposed when the chord memory is off, and only by
        // it when it is on.
        {{}, {{kTranspose, plusTwo}}, {60}, 1, {62}},
        {{}, {{kChordsOn, 1.0f}, {kTranspose, plusTwo}}, {60}, 3, {62, 65, 69}},
    };
    for (const Case& c : cases) {
        ArpSession s;
        for (const auto& [row, value] : c.rows) fillRow(s.pattern(), row, value);
        std::fill_n(s.pattern().scaleDegreeOn, 8, 0); // shifts only on the thirds
        s.pattern().scaleDegreeOn[2] = 1;
        for (const auto& [index, value] : c.params) s.effect->setParameter(index, value);
        for (int note : c.held) s.hold({note});
        s.run(c.steps * 6000); // 6000 samples per sixteenth at 120 BPM
        EXPECT_EQ(s.onNotes(), c.notes) << "case " << &c - cases;
    }
}

TEST(StepPlayback, WalkModesVisitTheHeldNotesInTheirOrders) {
    const std::vector<std::vector<int>> expected = {
        {0, 1, 2, 3, 0, 1, 2, 3}, // up
        {3, 2, 1, 0, 3, 2, 1, 0}, // down
        {0, 1, 2, 3, 2, 1, 0, 1}, // up and down
        {3, 2, 1, 0, 1, 2, 3, 2}, // down and up
        {0, 1, 2, 3, 3, 2, 1, 0}, // up and down, ends repeated
        {3, 2, 1, 0, 0, 1, 2, 3}, // down and up, ends repeated
        {0, 1, 0, 2, 0, 3, 0, 2}, // alternate with lowest
        {3, 2, 3, 1, 3, 0, 3, 1}, // alternate with highest
    };
    const int held[4] = {50, 55, 59, 62};
    for (int mode = 0; mode < 8; ++mode) {
        ArpSession s;
        fillRow(s.pattern(), 0, (9 + mode) / 16.0f + 0.01f);
        s.hold({50, 55, 59, 62});
        s.run(8 * 6000);
        std::vector<int> want;
        for (int i : expected[mode]) want.push_back(held[i]);
        EXPECT_EQ(s.onNotes(), want) << "walk mode " << mode;
    }
}

TEST(StepPlayback, VelocityLengthsAndTies) {
    ArpSession s;
    fillRow(s.pattern(), 5, 1.0f);            // velocity 127
    s.pattern().stepKind[6] = 11;             // step 6 tied to step 5
    s.effect->setParameter(kPreviewOn, 0.0f); // a muted preview still ends notes on time
    s.hold({60});
    s.run(8 * 6000);
    std::vector<int64_t> ons, lengths;
    int64_t lastOn = 0;
    for (const auto& [t, e] : s.out) {
        if ((e.status & 0xF0) == 0x90 && e.data2 != 0) {
            EXPECT_EQ(e.data2, 127);
            ons.push_back(t / 6000);
            lastOn = t;
        } else {
            lengths.push_back(t - lastOn);
        }
    }
    // Every step but the tie starts a note one sample short of a step; the
    // note before the tie lasts two steps.
    EXPECT_EQ(ons, (std::vector<int64_t>{0, 1, 2, 3, 4, 5, 7}));
    EXPECT_EQ(lengths, (std::vector<int64_t>{5999, 5999, 5999, 5999, 5999, 11999, 5999}));
}

TEST(StepPlayback, TheTimingLaneMovesAStepEarly) {
    // At "1/8", a timing value of 0 on step 3 starts it a quarter note early.
    ArpSession eighths;
    eighths.effect->setParameter(kRateFirst, 21.0f / 42);
    eighths.pattern().rowValue[7][3] = 0.0f;
    eighths.hold({60});
    eighths.run(5 * 12000);
    EXPECT_EQ(eighths.onTimes(), (std::vector<int64_t>{0, 12000, 24000, 30000, 48000}));
    // At "1/16" the same value moves step 3 onto the start of step 2, and
    // step 2 is not played.
    ArpSession sixteenths;
    sixteenths.pattern().rowValue[7][3] = 0.0f;
    sixteenths.hold({60});
    sixteenths.run(5 * 6000);
    EXPECT_EQ(sixteenths.onTimes(), (std::vector<int64_t>{0, 6000, 12000, 24000}));
}

TEST(StepPlayback, AFreeRunningStepCounterAtTheEndOfItsRangeStartsOver) {
    // No load can leave this, but time can; the sanitizer build traps an
    // overflow. (Damaged loads meet the real-time path in the concurrency
    // stress test and the session fuzzer.)
    ArpSession s;
    s.hold({60, 64});
    s.effect->setParameter(kArpFreeRate, 1.0f);
    s.effect->setParameter(kRateFirst + s.effect->engine().currentPattern, 1.0f);
    s.effect->engine().stepCounter = std::numeric_limits<int32_t>::max();
    s.effect->engine().lastStep = std::numeric_limits<int32_t>::max() - 5;
    s.run(50 * 256);
    EXPECT_GE(s.effect->engine().stepCounter, 0);
    for (const auto& [t, e] : s.out) EXPECT_TRUE(e.data1 >= 1 && e.data1 <= 127 && e.data2 <= 127);
}
