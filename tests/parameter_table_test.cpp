// The 32 host parameters and the edit indices as a host and the editor see
// them through the binary interface.
#include "test_host_support.h"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>

namespace {
constexpr float key(int n) {
    return n / 128.0f;
}
} // namespace

TEST(ParameterTable, TheHostSeesThirtyTwoNamedParameters) {
    PluginHost host(kPluginPath);
    const char* expected[32] = {
        "Transpos",  "Swing ",    "Gate",      "Pattern",    "Arp_No C ", "Arp_No C#", "Arp_No D ",
        "Arp_No D#", "Arp_No E ", "Arp_No F ", "Arp_No F#",  "Arp_No G ", "Arp_No G#", "Arp_No A ",
        "Arp_No A#", "Arp_No B ", "Chords ON", "Arp ON",     "Rate P01",  "Rate P02",  "Rate P03",
        "Rate P04",  "Rate P05",  "Rate P06",  "Rate P07",   "Rate P08",  "Rate P09",  "Rate P10",
        "Rate P11",  "Rate P12",  "MIDILatch", "ArpFreeRate"};
    for (int i = 0; i < 32; ++i) EXPECT_EQ(host.parameterName(i), expected[i]) << i;
    EXPECT_EQ(host.parameterName(33), "unknown");
    EXPECT_EQ(host.parameterDisplay(0), "  0");
    EXPECT_EQ(host.parameterDisplay(1), "  0");
    EXPECT_EQ(host.parameterDisplay(2), "100");
    EXPECT_EQ(host.parameterDisplay(3), "A");
    EXPECT_EQ(host.parameterDisplay(4), "  ");
    EXPECT_EQ(host.parameterDisplay(16), "ON");
    EXPECT_EQ(host.parameterDisplay(18), " 1/16");
    EXPECT_EQ(host.parameterDisplay(30), "OFF");
    EXPECT_FLOAT_EQ(host.getParameter(0), 24 / 48.99f);
    EXPECT_FLOAT_EQ(host.getParameter(18), 0.58f);
}

TEST(ParameterTable, HostWritesAreIgnoredForTenBlocksAfterResumeEditIndicesAreNot) {
    PluginHost host(kPluginPath);
    host.setParameter(5, 1.0f);     // a host parameter: ignored for now
    host.setParameter(84, key(33)); // an edit index: always taken
    EXPECT_EQ(host.getParameter(5), 0.0f);
    EXPECT_EQ(host.getParameter(84), key(33));
    for (int i = 0; i < 9; ++i) host.processBlock(32);
    host.setParameter(1, 0.5f);
    EXPECT_EQ(host.getParameter(1), 0.0f);
    host.processBlock(32); // the tenth block
    host.setParameter(1, 0.5f);
    EXPECT_EQ(host.getParameter(1), 0.5f);
    host.setParameter(5, 1.0f);
    EXPECT_EQ(host.parameterDisplay(5), " +1 ");
}

TEST(ParameterTable, TransposeAndRuleValuesFollowTheirFormulas) {
    auto host = makeHost();
    host->setParameter(0, 1.0f);
    EXPECT_EQ(host->parameterDisplay(0), " 24");
    host->setParameter(0, 0.5f);
    EXPECT_EQ(host->parameterDisplay(0), "  0");
    host->setParameter(0, 5.0f); // out of range: clamped, never past +24
    EXPECT_EQ(host->parameterDisplay(0), " 24");
    host->setParameter(6, 1.0f / 3.0f);
    EXPECT_EQ(host->parameterDisplay(6), "MUTED");
    host->setParameter(6, 2.0f / 3.0f);
    EXPECT_EQ(host->parameterDisplay(6), " -1 ");
    host->setParameter(1, 0.333f);
    EXPECT_EQ(host->parameterDisplay(1), " 33");
    host->setParameter(3, 1.0f);
    EXPECT_EQ(host->parameterDisplay(3), "L");
    EXPECT_FLOAT_EQ(host->getParameter(3), 11 / 12.0f);
}

TEST(ParameterTable, RateDisplaysNameTheRateOrItsFrequency) {
    auto host = makeHost();
    host->setParameter(19, 18 / 42.0f);
    EXPECT_EQ(host->parameterDisplay(19), " 1/4");
    host->setParameter(19, 1.0f);
    EXPECT_EQ(host->parameterDisplay(19), " fast");
    host->setParameter(19, 0.0f);
    EXPECT_EQ(host->parameterDisplay(19), " 16 bars");
    host->setParameter(19, 26 / 42.0f);
    EXPECT_EQ(host->parameterDisplay(19), " 1/16 trip");
    host->setParameter(18, 0.5f);
    host->setParameter(31, 1.0f);
    EXPECT_EQ(host->parameterDisplay(18), "27.50 Hz");
    // A host that runs with a decimal comma still gets a point.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(host->parameterDisplay(18), "27.50 Hz");
        std::setlocale(LC_NUMERIC, "C");
    }
    host->setParameter(31, 0.0f);
    EXPECT_EQ(host->parameterDisplay(18), " 1/8"); // 0.5 is rate index 21
}

TEST(ParameterTable, NoteEditsShowNamesAndValuesPast127CountAsEmpty) {
    auto host = makeHost();
    host->setParameter(84, key(60));
    EXPECT_EQ(host->parameterDisplay(33), "C 3 ");
    EXPECT_EQ(host->parameterDisplay(34), "D#3 ");
    host->setParameter(33, key(13));
    EXPECT_EQ(host->parameterDisplay(33), "C#-1");
    host->setParameter(33, key(130));
    EXPECT_FLOAT_EQ(host->getParameter(33), key(130)); // stored as given
    EXPECT_EQ(host->parameterDisplay(33), " - ");
    EXPECT_EQ(host->parameterDisplay(41), "100");
    host->setParameter(41, 0.25f);
    EXPECT_EQ(host->parameterDisplay(41), " 50");
    // Velocity for all keys.
    host->setParameter(66, 0.75f);
    host->setParameter(84, key(10));
    EXPECT_EQ(host->parameterDisplay(42), "150");
}

TEST(ParameterTable, EditingTheNoteOfASoundingVoiceRestrikesIt) {
    auto host = makeHost();
    host->setParameter(17, 0.0f);
    host->noteOn(0, 1, 60, 90);
    host->processBlock(64);
    host->events.clear();
    host->setParameter(34, key(64)); // voice 1: 63 -> 64
    host->processBlock(64);
    const auto notes = notesOf(host->events);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].note, 63);
    EXPECT_EQ(notes[0].velocity, 0);
    EXPECT_EQ(notes[1].note, 64);
    EXPECT_EQ(notes[1].velocity, 90); // floor(0.5 * 2 * 90)
}

TEST(ParameterTable, ShiftingOneVoiceMovesTheWholeChord) {
    auto host = makeHost();
    host->setParameter(84, key(60));
    host->setParameter(57, key(62)); // voice 0: 60 -> 62, delta +2
    EXPECT_EQ(host->parameterDisplay(33), "D 3 ");
    EXPECT_EQ(host->parameterDisplay(34), "F 3 ");
    EXPECT_EQ(host->parameterDisplay(35), "A 3 ");
    EXPECT_EQ(host->parameterDisplay(36), " - "); // empty voices stay empty
    host->setParameter(57, key(62));              // no change: nothing moves
    EXPECT_EQ(host->parameterDisplay(34), "F 3 ");
}

TEST(ParameterTable, LaneEditsKeepLengthsAndStartsInsideTheSixteenSteps) {
    auto host = makeHost();
    host->setParameter(129, 2.0f / 7.0f); // lane 2
    host->setParameter(125, 0.5f);
    EXPECT_FLOAT_EQ(host->getParameter(124), 0.5f); // length 8
    EXPECT_FLOAT_EQ(host->getParameter(125), 0.5f);
    host->setParameter(124, 1.0f); // length 16 from start 8: positions fold, see the clock tests
    EXPECT_FLOAT_EQ(host->getParameter(124), 1.0f);
    host->setParameter(124, 0.0f);
    EXPECT_FLOAT_EQ(host->getParameter(124), 0.0625f); // at least one step
    host->setParameter(119, 4.0f / 9.0f);
    EXPECT_FLOAT_EQ(host->getParameter(119), 4.0f / 9.0f);
    host->setParameter(138, 0.0f);
    EXPECT_EQ(host->getParameter(138), 0.0f);
    EXPECT_EQ(host->getParameter(139), 1.0f);
    host->setParameter(120, 1.0f);
    EXPECT_EQ(host->getParameter(120), 1.0f);
    host->setParameter(129, 0.0f);
    EXPECT_EQ(host->getParameter(120), 1.0f);
}

TEST(ParameterTable, OutOfRangeAndNonNumbersNeverBreakTheEngine) {
    auto host = makeHost();
    const float odd[] = {-1.0f,
                         2.0f,
                         1e30f,
                         -1e30f,
                         std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity()};
    for (int index = -5; index < 300; ++index)
        for (float v : odd) host->setParameter(index, v);
    host->setParameter(16, 1.0f);
    host->setParameter(17, 0.0f);
    host->setParameter(84, key(60));
    for (int i = 0; i < 20; ++i) {
        host->noteOn(0, 1, 60, 100);
        host->noteOff(30, 1, 60);
        host->processBlock(64);
    }
    for (const auto& e : host->events) {
        EXPECT_GE(e.status, 0x80);
        EXPECT_LT(e.data1, 128);
        EXPECT_LT(e.data2, 128);
        EXPECT_GE(e.deltaFrames, 0);
        EXPECT_LT(e.deltaFrames, 64);
    }
}
