// A state load may leave any number in the pattern and clock fields (the
// loaders keep what does not break the file's own checks). The real-time
// path and the lane edits must turn such numbers into notes inside 1..127
// and positions inside the sixteen steps, with no arithmetic overflow (the
// sanitizer build traps one).
#include "engine_fixture.h"
#include "parameter_indices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void expectWellFormed(const std::vector<MidiMessage>& events) {
    for (const MidiMessage& e : events) {
        const uint8_t status = e.status;
        const uint8_t note = e.data1;
        EXPECT_NE(status & 0x80, 0);
        EXPECT_LT(note, 128);
        EXPECT_LT(e.data2, 128);
        const int kind = status & 0xF0;
        if (kind == 0x90 || kind == 0x80) {
            EXPECT_GE(note, 1);
        }
    }
}

struct DamagedSession {
    FakeHost host;
    TestTransport time{120.0, true};
    std::unique_ptr<ZandEngine> effect;

    DamagedSession() {
        effect = makeEffect(host, &time);
        effect->setParameter(param::kArpOn, 1.0f);
        runBlock(*effect, 64, {midi(0, 0x90, 60, 100), midi(1, 0x90, 64, 100)}, nullptr, nullptr,
                 &time);
    }
    ArpPattern& pattern() { return effect->engine().patterns[effect->engine().currentPattern]; }
    void play(int blocks) {
        for (int b = 0; b < blocks; ++b) runBlock(*effect, 256, {}, nullptr, nullptr, &time);
    }
};

TEST(DamagedState, LaneValuesOutsideZeroToOnePlayNotesInsideTheRange) {
    DamagedSession s;
    constexpr float kValues[] = {1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN(),
                                 3.0f,  -2.0f,  std::numeric_limits<float>::infinity(),
                                 0.7f,  1e9f};
    ArpPattern& p = s.pattern();
    for (int r = 0; r < kRowCount; ++r)
        for (int step = 0; step < kStepCount; ++step) p.rowValue[r][step] = kValues[(r + step) % 8];
    for (uint8_t& on : p.stepOn) on = 1;
    for (int l = 0; l < kLaneCount; ++l) {
        p.laneStart[l] = l % 2 ? std::numeric_limits<int32_t>::max() : -7;
        p.laneLength[l] = l % 3 ? std::numeric_limits<int32_t>::max() : 40;
        p.laneDivider[l] = l % 2 ? std::numeric_limits<int32_t>::min() : 1000;
    }
    s.play(400);
    expectWellFormed(s.host.received);
}

TEST(DamagedState, AFreeRunningStepCounterAtItsEndStartsOver) {
    DamagedSession s;
    s.effect->setParameter(param::kArpFreeRate, 1.0f);
    s.effect->setParameter(param::kRateFirst + s.effect->engine().currentPattern, 1.0f);
    s.effect->engine().stepCounter = std::numeric_limits<int32_t>::max();
    s.effect->engine().lastStep = std::numeric_limits<int32_t>::max() - 5;
    s.play(50);
    EXPECT_GE(s.effect->engine().stepCounter, 0);
    expectWellFormed(s.host.received);
}

TEST(DamagedState, LaneStartEditsOnDamagedLengthsKeepTheLoopInsideTheSteps) {
    DamagedSession s;
    ArpPattern& p = s.pattern();
    p.linkLanes = 1;
    for (int l = 0; l < kLaneCount; ++l) {
        p.laneLength[l] = std::numeric_limits<int32_t>::max() - l;
        p.laneStart[l] = l % 2 ? std::numeric_limits<int32_t>::min() : 2000000000;
    }
    s.effect->setParameter(param::kLaneStartKeepEnd, 0.5f);
    for (int l = 0; l < kLaneCount; ++l) {
        EXPECT_EQ(p.laneStart[l], 8);
        EXPECT_GE(p.laneLength[l], 1);
        EXPECT_LE(p.laneStart[l] + p.laneLength[l], 16);
    }
    for (int l = 0; l < kLaneCount; ++l) p.laneLength[l] = std::numeric_limits<int32_t>::max();
    s.effect->setParameter(param::kLaneStartKeepLength, 0.25f);
    s.play(20);
    expectWellFormed(s.host.received);
}

} // namespace
