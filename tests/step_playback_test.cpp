// What the arpeggiator plays at each step: lanes, walk modes, ties, chord
// steps, note rules. Pattern values the editor writes directly into the
// pattern are set here on the engine record; everything else goes through
// the parameter door.
#include "engine_fixture.h"
#include "parameter_indices.h"

#include <gtest/gtest.h>

namespace {
struct ArpSession {
    FakeHost host;
    TestTransport time;
    std::unique_ptr<ZandEngine> effect;
    int64_t clock = 0;
    std::vector<std::pair<int64_t, MidiMessage>> out;

    explicit ArpSession(double tempo = 120.0) : time(tempo) {
        effect = makeEffect(host, &time);
        time.locate(0.0);
        effect->setParameter(param::kChordsOn, 0.0f); // keys go straight to the arpeggiator
        run(48000);                                   // the stopped clock runs on, away from step 0
        out.clear();
        time.info.playing = true;
        time.locate(0.0);
        clock = 0;
    }
    ArpPattern& pattern() { return effect->engine().patterns[effect->engine().currentPattern]; }
    std::vector<MidiMessage> pending;
    void run(int64_t frames) {
        std::vector<MidiMessage> events = std::move(pending);
        pending.clear();
        while (frames > 0) {
            const int32_t n = static_cast<int32_t>(std::min<int64_t>(frames, 1000));
            host.received.clear();
            runBlock(*effect, n, std::move(events), nullptr, nullptr, &time);
            events.clear();
            for (const auto& e : host.received) out.emplace_back(clock + e.frame, e);
            clock += n;
            frames -= n;
        }
    }
    // Keys go down at the start of the next run.
    void hold(std::initializer_list<int> notes) {
        for (int n : notes) pending.push_back(midi(0, 0x90, static_cast<uint8_t>(n), 100));
    }
    // Note-ons as (step, note): 6000 samples per sixteenth at 120 BPM.
    std::vector<std::pair<int64_t, int>> ons() const {
        std::vector<std::pair<int64_t, int>> result;
        for (const auto& [t, e] : out)
            if ((e.status & 0xF0) == 0x90 && e.data2 != 0) {
                result.emplace_back(t / 6000, e.data1);
            }
        return result;
    }
    std::vector<int> onNotes() const {
        std::vector<int> notes;
        for (const auto& [step, note] : ons()) notes.push_back(note);
        return notes;
    }
};
} // namespace

TEST(StepPlayback, TheDefaultPatternWalksUpTheHeldNotesAtVelocity63) {
    ArpSession s;
    s.hold({64, 60, 67});
    s.run(6 * 6000);
    EXPECT_EQ(s.onNotes(), (std::vector<int>{60, 64, 67, 60, 64, 67}));
    for (const auto& [t, e] : s.out) {
        if ((e.status & 0xF0) == 0x90) {
            EXPECT_EQ(e.data2, 63);
        }
    }
}

TEST(StepPlayback, AChoiceBeyondTheHeldNotesWrapsAnOctaveUp) {
    ArpSession s;
    for (float& v : s.pattern().rowValue[0]) v = 5.0f / 16; // the fifth note of three
    s.hold({60, 64, 67});
    s.run(2 * 6000);
    EXPECT_EQ(s.onNotes(), (std::vector<int>{76, 76}));
}

TEST(StepPlayback, ANinthNoteIsIgnoredWhileEightAreHeld) {
    ArpSession s;
    for (float& v : s.pattern().rowValue[0]) v = 9.0f / 16 + 0.01f; // walk up
    s.hold({40, 42, 44, 46, 48, 50, 52, 54});
    s.hold({30});
    s.run(9 * 6000);
    const auto notes = s.onNotes();
    EXPECT_EQ(std::count(notes.begin(), notes.end(), 30), 0);
    EXPECT_EQ(s.effect->engine().arpHeldCount, 8);
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
        for (float& v : s.pattern().rowValue[0]) v = (9 + mode) / 16.0f + 0.01f;
        s.hold({50, 55, 59, 62});
        s.run(8 * 6000);
        std::vector<int> want;
        for (int i : expected[mode]) want.push_back(held[i]);
        EXPECT_EQ(s.onNotes(), want) << "walk mode " << mode;
    }
}

TEST(StepPlayback, ATiedStepLengthensTheNoteBeforeItAndStartsNothing) {
    ArpSession s;
    s.pattern().stepKind[6] = 11;
    s.hold({60});
    s.run(8 * 6000);
    // Notes on every step but step 6 (the tie); step 5's note lasts two steps.
    const auto ons = s.ons();
    std::vector<int64_t> steps;
    for (const auto& [step, note] : ons) steps.push_back(step);
    for (int64_t st : steps) EXPECT_NE(st % 16, 6);
    int64_t step5On = -1;
    for (const auto& [t, e] : s.out) {
        const bool on = (e.status & 0xF0) == 0x90 && e.data2;
        if (on && t / 6000 == 5) step5On = t;
        if (!on && step5On >= 0 && t > step5On) {
            EXPECT_EQ(t - step5On, 11999);
            break;
        }
    }
    EXPECT_GE(step5On, 0);
}

TEST(StepPlayback, AChordStepPlaysTheWholeChordRotatedToItsNote) {
    ArpSession s;
    s.effect->setParameter(param::kChordStep, 1.0f);
    for (float& v : s.pattern().rowValue[0]) v = 2.0f / 16; // starts at the second note
    s.hold({60, 64, 67});
    s.run(6000);
    EXPECT_EQ(s.onNotes(), (std::vector<int>{64, 67, 72}));
}

TEST(StepPlayback, OctaveScaleVelocityAndAddedIntervalLanes) {
    ArpSession s;
    ArpPattern& p = s.pattern();
    for (int i = 0; i < 16; ++i) {
        p.rowValue[0][i] = 1.0f / 16;  // always the first held note
        p.rowValue[3][i] = 10.0f / 16; // octave lane: +2 -> +24
        p.rowValue[5][i] = 1.0f;       // velocity 127
        p.rowValue[8][i] = 20.0f / 26; // added interval floor(0.769 * 25.99) - 13 = +6
    }
    s.hold({48});
    s.run(6000);
    EXPECT_EQ(s.onNotes(), (std::vector<int>{72, 78}));
    for (const auto& [t, e] : s.out) {
        if ((e.status & 0xF0) == 0x90) {
            EXPECT_EQ(e.data2, 127);
        }
    }
}

TEST(StepPlayback, ScaleShiftActsOnlyOnEnabledDegreesFromTheChordRoot) {
    ArpSession s;
    ArpPattern& p = s.pattern();
    for (int i = 0; i < 16; ++i) p.rowValue[4][i] = 15.5f / 26; // shift +2
    for (uint8_t& on : p.scaleDegreeOn) on = 0;
    p.scaleDegreeOn[2] = 1; // thirds only
    s.hold({60, 64, 67});   // C major: root C
    s.run(3 * 6000);
    EXPECT_EQ(s.effect->engine().chordRoot, 0);
    EXPECT_EQ(s.onNotes(), (std::vector<int>{60, 66, 67}));
}

TEST(StepPlayback, NoteRulesMuteAndMoveNotes) {
    ArpSession s;
    s.effect->setParameter(param::kArpNoteRuleFirst + 1, 2.0f / 3); // C# down
    s.hold({61});
    s.run(6000);
    EXPECT_EQ(s.onNotes(), (std::vector<int>{60}));

    ArpSession t;
    t.effect->setParameter(param::kArpNoteRuleFirst + 2, 1.0f);     // D up
    t.effect->setParameter(param::kArpNoteRuleFirst + 3, 2.0f / 3); // D# down
    t.hold({62});
    t.run(3 * 6000);
    EXPECT_TRUE(t.onNotes().empty()); // D would move onto D#, which moves down: dropped
}

TEST(StepPlayback, HeldNotesAreTransposedOnlyWhenTheChordMemoryIsOff) {
    ArpSession s;
    s.effect->setParameter(param::kTranspose, 26.0f / 48.99f + 0.001f); // +2
    s.hold({60});
    s.run(6000);
    EXPECT_EQ(s.onNotes(), (std::vector<int>{62}));

    ArpSession chords;
    chords.effect->setParameter(param::kChordsOn, 1.0f);
    chords.effect->setParameter(param::kTranspose, 26.0f / 48.99f + 0.001f);
    chords.hold({60}); // chord 60 63 67 transposed by the chord memory: 62 65 69
    chords.run(3 * 6000);
    EXPECT_EQ(chords.onNotes(), (std::vector<int>{62, 65, 69}));
}

TEST(StepPlayback, TheTimingLaneMovesAStepEarly) {
    // At "1/8", a timing value of 0 on step 3 starts it a quarter note early.
    ArpSession eighths;
    eighths.effect->setParameter(param::kRateFirst, 21.0f / 42);
    eighths.pattern().rowValue[7][3] = 0.0f;
    eighths.hold({60});
    eighths.run(5 * 12000);
    std::vector<int64_t> times;
    for (const auto& [t, e] : eighths.out)
        if ((e.status & 0xF0) == 0x90 && e.data2) times.push_back(t);
    ASSERT_GE(times.size(), 4u);
    EXPECT_EQ(times[2], 2 * 12000);
    EXPECT_EQ(times[3], 3 * 12000 - 6000);

    // At "1/16" the same value moves step 3 onto the start of step 2, and
    // step 2 is not played.
    ArpSession sixteenths;
    sixteenths.pattern().rowValue[7][3] = 0.0f;
    sixteenths.hold({60});
    sixteenths.run(5 * 6000);
    times.clear();
    for (const auto& [t, e] : sixteenths.out)
        if ((e.status & 0xF0) == 0x90 && e.data2) times.push_back(t);
    ASSERT_GE(times.size(), 4u);
    EXPECT_EQ(times[0], 0);
    EXPECT_EQ(times[1], 6000);
    EXPECT_EQ(times[2], 12000); // step 3, early
    EXPECT_EQ(times[3], 24000); // step 4
}

TEST(StepPlayback, MutedPreviewStillEndsArpNotesOnTime) {
    ArpSession s;
    s.effect->setParameter(param::kPreviewOn, 0.0f);
    s.hold({60});
    s.run(2 * 6000);
    int offs = 0;
    for (const auto& [t, e] : s.out)
        if ((e.status & 0xF0) == 0x80) {
            EXPECT_EQ(t % 6000, 5999);
            ++offs;
        }
    EXPECT_EQ(offs, 2);
}

TEST(StepPlayback, TempoBelowOneIsTakenAsOne) {
    ArpSession s(0.5);
    s.run(64);
    EXPECT_EQ(s.effect->engine().tempo, 1.0);
    EXPECT_DOUBLE_EQ(s.effect->engine().samplesPerBeat, 60.0 * 48000);
}
