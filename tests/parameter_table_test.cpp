// The parameters as a host and the editor see them through the binary
// interface: the 32 host parameters of the table, the edit indices, and the
// editor's buttons on patterns and voices (patterns read from the state
// chunk, as a host would store them).
#include "host_parameters.h"
#include "test_host_support.h"

#include "pattern_image.h"
#include "state_chunk.h"
#include <algorithm>
#include <clocale>
#include <gtest/gtest.h>
#include <set>

using namespace param;

TEST(ParameterTable, EveryHostParameterRoundTripsThroughSetGetAndDisplay) {
    auto host = makeHost();
    for (const HostParameter& p : kHostParameters) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(host->parameterName(p.index), p.name);
        EXPECT_EQ(host->parameterLabel(p.index), p.label);
        EXPECT_FLOAT_EQ(host->getParameter(p.index), p.defaultValue);
        // A sweep over 0..1: a value read back and written again stays, with
        // its text; a stepped parameter takes `steps` values, each with a
        // text of its own.
        std::set<float> values;
        std::set<std::string> texts;
        for (int i = 0; i <= 200; ++i) {
            host->setParameter(p.index, i / 200.0f);
            const float value = host->getParameter(p.index);
            const std::string text = host->parameterDisplay(p.index);
            host->setParameter(p.index, value);
            ASSERT_EQ(host->getParameter(p.index), value) << i;
            ASSERT_EQ(host->parameterDisplay(p.index), text) << i;
            values.insert(value);
            texts.insert(text);
        }
        // A rate keeps its value as given (the free rate reads it in hertz),
        // and its four fastest steps all read " fast".
        const bool rate = p.display == DisplayRule::kRate;
        if (p.kind != ParameterKind::kContinuous) {
            EXPECT_EQ(values.size(), rate ? values.size() : static_cast<size_t>(p.steps));
            const size_t named = p.display == DisplayRule::kNone ? 1 : rate ? p.steps - 3 : p.steps;
            EXPECT_EQ(texts.size(), named);
        }
        host->setParameter(p.index, p.defaultValue);
    }
    EXPECT_EQ(host->parameterName(kHostParameterCount), "unknown");
    EXPECT_EQ(host->parameterLabel(kNoteNumFirst), "  ");
}

TEST(ParameterTable, DisplaysShowTheValuesAsMusiciansReadThem) {
    struct Case {
        int32_t index;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {kTranspose, 1.0f, " 24"},
        {kTranspose, 0.0f, "-24"},
        {kTranspose, 5.0f, " 24"},
        {kTranspose, 0.5f, "  0"},
        {kSwing, 0.333f, " 33"},
        {kGate, 0.5f, "100"},
        {kPattern, 1.0f, "L"},
        {kArpNoteRuleFirst + 2, 0.0f, "  "},
        {kArpNoteRuleFirst + 2, 1 / 3.0f, "MUTED"},
        {kArpNoteRuleFirst + 2, 2 / 3.0f, " -1 "},
        {kArpNoteRuleFirst + 2, 1.0f, " +1 "},
        {kChordsOn, 1.0f, "ON"},
        {kMidiLatch, 0.0f, "OFF"},
        {kRateFirst + 1, 18 / 42.0f, " 1/4"},
        {kRateFirst + 1, 1.0f, " fast"},
        {kRateFirst + 1, 0.0f, " 16 bars"},
        {kRateFirst + 1, 26 / 42.0f, " 1/16 trip"},
        {kRateFirst, 0.5f, " 1/8"},
    };
    auto host = makeHost();
    for (const Case& c : cases) {
        host->setParameter(c.index, c.value);
        EXPECT_EQ(host->parameterDisplay(c.index), c.text) << c.index << " at " << c.value;
    }
    host->setParameter(kArpFreeRate, 1.0f); // the rates show their frequency
    EXPECT_EQ(host->parameterDisplay(kRateFirst), "27.50 Hz");
    // A host that runs with a decimal comma still gets a point.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(host->parameterDisplay(kRateFirst), "27.50 Hz");
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(ParameterTable, HostWritesAreIgnoredForTenBlocksAfterResumeEditIndicesAreNot) {
    PluginHost host(kPluginPath);
    host.setParameter(5, 1.0f);                    // a host parameter: ignored for now
    host.setParameter(kCurrentKey, noteValue(33)); // an edit index: always taken
    EXPECT_EQ(host.getParameter(5), 0.0f);
    EXPECT_EQ(host.getParameter(kCurrentKey), noteValue(33));
    for (int i = 0; i < 9; ++i) host.processBlock(32);
    host.setParameter(kSwing, 0.5f);
    EXPECT_EQ(host.getParameter(kSwing), 0.0f);
    host.processBlock(32); // the tenth block
    host.setParameter(kSwing, 0.5f);
    EXPECT_EQ(host.getParameter(kSwing), 0.5f);
}

TEST(EditParameters, NotesVelocitiesAndShiftsOfTheCurrentChord) {
    auto host = makeHost();
    host->setParameter(kCurrentKey, noteValue(60));
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst), "C 3 ");
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst + 1), "D#3 ");
    EXPECT_EQ(host->parameterDisplay(kNoteVelFirst), "100");
    host->setParameter(kNoteVelFirst, 0.25f);
    EXPECT_EQ(host->parameterDisplay(kNoteVelFirst), " 50");
    // Shifting one voice moves the whole chord; empty voices stay empty.
    host->setParameter(kChordShiftFirst, noteValue(62));
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst), "D 3 ");
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst + 2), "A 3 ");
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst + 3), " - ");
    // Values past 127 are stored as given and count as empty.
    host->setParameter(kNoteNumFirst, noteValue(13));
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst), "C#-1");
    host->setParameter(kNoteNumFirst, noteValue(130));
    EXPECT_FLOAT_EQ(host->getParameter(kNoteNumFirst), noteValue(130));
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst), " - ");
    // The velocity of every key at once.
    host->setParameter(kVelAllKeysFirst + 1, 0.75f);
    host->setParameter(kCurrentKey, noteValue(10));
    EXPECT_EQ(host->parameterDisplay(kNoteVelFirst + 1), "150");
}

TEST(EditParameters, EditingTheNoteOfASoundingVoiceRestrikesIt) {
    auto host = chordHost();
    host->noteOn(0, 1, 60, 90);
    host->processBlock(64);
    host->events.clear();
    host->setParameter(kNoteNumFirst + 1, noteValue(64)); // voice 1: 63 -> 64
    host->processBlock(64);
    const auto notes = notesOf(host->events);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(std::pair(notes[0].note, notes[0].velocity), std::pair(63, 0));
    EXPECT_EQ(std::pair(notes[1].note, notes[1].velocity), std::pair(64, 90)); // 0.5 * 2 * 90
}

TEST(EditParameters, LaneEditsKeepLengthsAndStartsInsideTheSixteenSteps) {
    auto host = makeHost();
    host->setParameter(kCurrentLane, 2.0f / 7.0f);
    host->setParameter(kLaneStartKeepEnd, 0.5f);
    EXPECT_FLOAT_EQ(host->getParameter(kLaneLength), 0.5f); // length 8
    host->setParameter(kLaneLength, 0.0f);
    EXPECT_FLOAT_EQ(host->getParameter(kLaneLength), 0.0625f); // at least one step
    host->setParameter(kLaneDivider, 4.0f / 9.0f);
    EXPECT_FLOAT_EQ(host->getParameter(kLaneDivider), 4.0f / 9.0f);
    host->setParameter(kStepOnFirst + 8, 0.0f);
    EXPECT_EQ(host->getParameter(kStepOnFirst + 8), 0.0f);
    EXPECT_EQ(host->getParameter(kStepOnFirst + 9), 1.0f);
    host->setParameter(kLinkLanes, 1.0f);
    host->setParameter(kCurrentLane, 0.0f);
    EXPECT_EQ(host->getParameter(kLinkLanes), 1.0f);
}

namespace {
ArpPattern patternOf(PluginHost& host, int pattern) {
    ArpPattern p{};
    readPatternImage(p, stateChunk(host).data() + state_chunk::kPatterns +
                            static_cast<size_t>(pattern) * kPatternImageSize);
    return p;
}

// The step values of every row, row after row.
std::vector<float> rowsOf(PluginHost& host, int pattern) {
    const ArpPattern p = patternOf(host, pattern);
    return {&p.rowValue[0][0], &p.rowValue[0][0] + kRowCount * kStepCount};
}
} // namespace

TEST(EditCommands, RandomizeCopyPasteAndRotateAPattern) {
    auto host = makeHost();
    host->setParameter(kCurrentLane, 0.0f); // the note choice, row 0
    const auto original = rowsOf(*host, 0);
    host->setParameter(kRandomizeLane, 1.0f);
    const auto randomized = rowsOf(*host, 0);
    EXPECT_NE(randomized, original);
    for (int step = 0; step < kStepCount; ++step) {
        const float sixteenths = randomized[step] * 16.0f;
        EXPECT_EQ(sixteenths, static_cast<float>(static_cast<int>(sixteenths))) << step;
    }
    // Only the current lane's row changed.
    EXPECT_TRUE(std::equal(randomized.begin() + kStepCount, randomized.end(),
                           original.begin() + kStepCount));

    // Copy all lanes of pattern A, paste them into pattern C: the rows move,
    // C's lane settings stay.
    host->setParameter(kLaneLength, 0.25f); // A's lane 0: four steps
    host->setParameter(kCopy, 2.0f);
    host->setParameter(kPattern, 2 / 12.0f);
    host->setParameter(kPaste, 0.0f);
    const auto pasted = rowsOf(*host, 2);
    EXPECT_EQ(pasted, randomized);
    EXPECT_EQ(patternOf(*host, 0).laneLength[0], 4);
    EXPECT_EQ(patternOf(*host, 2).laneLength[0], 16);

    // Rotating left moves every step one place down, sixteen times is a full
    // turn; rotating right moves the last step first; other values of the
    // refresh index leave the pattern alone.
    host->setParameter(kPatternChanged, 266.0f);
    const auto rotated = rowsOf(*host, 2);
    for (int step = 0; step < kStepCount; ++step)
        EXPECT_EQ(rotated[step], pasted[(step + 1) % kStepCount]) << step;
    for (int turn = 1; turn < 16; ++turn) host->setParameter(kPatternChanged, 266.0f);
    EXPECT_EQ(rowsOf(*host, 2), pasted);
    host->setParameter(kPatternChanged, 267.0f);
    EXPECT_EQ(rowsOf(*host, 2)[0], pasted[15]);
    const auto right = rowsOf(*host, 2);
    host->setParameter(kPatternChanged, 17.0f);
    EXPECT_EQ(rowsOf(*host, 2), right);

    // An unknown copy type pastes nothing.
    host->setParameter(kCopy, 5.0f);
    host->setParameter(kPattern, 4 / 12.0f);
    const auto untouched = rowsOf(*host, 4);
    host->setParameter(kPaste, 0.0f);
    EXPECT_EQ(rowsOf(*host, 4), untouched);
}

TEST(EditCommands, RandomNotesSnapshotRestoreAndInputMode) {
    auto host = makeHost();
    host->setParameter(kCurrentKey, noteValue(60));
    host->setParameter(kLockFirst, 1.0f); // voice 0 locked
    const float lockedNote = host->getParameter(kNoteNumFirst);
    host->setParameter(kSnapshot, 1.0f);
    for (int round = 0; round < 20; ++round) {
        host->setParameter(kRandomNotes, 1.0f);
        EXPECT_EQ(host->getParameter(kNoteNumFirst), lockedNote);
        for (int k = 1; k < 8; ++k) {
            const float note = host->getParameter(kNoteNumFirst + k) * 128.0f;
            EXPECT_TRUE(note >= 35.0f && note <= 82.0f) << note;
        }
    }
    host->setParameter(kLockFirst, 0.0f);
    host->setParameter(kRestoreSnapshot, 1.0f); // the snapshot's notes and lock
    EXPECT_EQ(host->getParameter(kNoteNumFirst), lockedNote);
    EXPECT_EQ(host->getParameter(kNoteNumFirst + 1), noteValue(63));
    EXPECT_EQ(host->getParameter(kNoteNumFirst + 2), noteValue(67));
    EXPECT_EQ(host->getParameter(kLockFirst), 1.0f);

    // Capture mode starts from an empty chord at the current key.
    host->setParameter(kLockFirst, 0.0f);
    host->setParameter(kInputMode, 3.0f);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(host->getParameter(kNoteNumFirst + k), 0.0f) << k;
        EXPECT_EQ(host->getParameter(kNoteVelFirst + k), 0.5f) << k;
    }
}
