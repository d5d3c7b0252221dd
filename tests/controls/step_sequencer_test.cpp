#include "gui_test_support.h"
#include "my_ckickstepseq.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct CodeListener : IControlListener {
    std::vector<uint32_t> codes;
    void valueChanged(CControl* c) override {
        codes.push_back(static_cast<MyCKickstepseq*>(c)->getActionCode());
    }
};

// The step editor at its place in the arpeggiator section (8, 27), at
// either scale, with every value zero.
struct StepEditor {
    float s;
    CFrame* frame;
    CodeListener listener;
    MyCKickstepseq* seq;
    explicit StepEditor(float scale, int lane = 0, bool secondLayer = false)
        : s(scale), frame(new CFrame(CRect(0, 0, 600 * s, 300 * s), nullptr)),
          seq(new MyCKickstepseq(CRect(8 * s, 27 * s, 585 * s, 260 * s), &listener, 123, s, 1)) {
        for (int i = 0; i < 16; ++i) {
            seq->setBarHeight(i, 0);
            seq->setSecondLayerHeight(i, 0);
        }
        seq->setCurrentLane(lane);
        seq->setSecondLayerFlag(secondLayer);
        frame->addView(seq);
    }
    ~StepEditor() { frame->forget(); }
    StepEditor(const StepEditor&) = delete;
    StepEditor& operator=(const StepEditor&) = delete;

    // Frame x of a step (fraction across it) and y of a bar height.
    double x(int step, double across = 0.5) const { return (8 + (step + across) * 36) * s; }
    double yOfHeight(double h) const { return 27 * s + seq->getBarAreaHeight() - h; }
    double ySwitches() const { return (27 + 208 + 7) * s; }
    double yLoop() const { return (27 + 208 + 17) * s; }
};
} // namespace

TEST(StepSequencer, EachButtonWordGivesItsGestureOrActionCode) {
    const int32_t L = kLButton, R = kRButton, S = kShift, C = kControl, A = kAlt;
    struct Row {
        int32_t buttons;
        bool secondLayer;
        int y;      // the height pressed at, of 208
        int stored; // the height of step 2 in the edited layer, -1 untouched
        int marker;
        uint32_t code; // -1: no report
        uint16_t changed;
    };
    // Lane 1, every step at 0, a press on step 2.
    const Row rows[] = {
        {L, true, 90, 91, 0, 3, 1 << 2},             // sixteen levels
        {L | S | C | A, true, 90, 90, 0, 3, 1 << 2}, // as drawn
        {R, true, 90, 104, 0, 3, 1 << 2},            // the lane's default, 0.5
        {L | C, true, 90, 104, 0, 3, 1 << 2},
        {L | C, false, 90, 90, 0, 3, 1 << 2},    // no second layer: as drawn
        {L | A, false, 90, -1, 40, 3, 1 << 2},   // a marker, low in the bars
        {L | A, true, 90, -1, 0, 3, 0},          // markers only in the first layer
        {R | S, true, 90, -1, 0, 3, 0},          // touches, changes nothing
        {L | C | A, true, 90, 90, 0, 0, 1 << 2}, // a line: no step code
        {L | S, true, 90, 90, 0, 0, 1 << 2},
        {L | S | C, true, 90, -1, 0, 266, 0}, // rotate left
        {L | S | A, true, 90, -1, 0, 267, 0}, // rotate right
        {L, true, 2, -1, 0, 3, 0},            // still 0: not written back
        {kMButton, true, 90, -1, 0, ~0u, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "buttons " << r.buttons << " second layer " << r.secondLayer);
        StepEditor e(1, 1, r.secondLayer);
        press(e.frame, e.x(2), e.yOfHeight(r.y), r.buttons);
        move(e.frame, e.x(2) + 3, e.yOfHeight(r.y), r.buttons);
        int stored = r.secondLayer ? e.seq->getSecondLayerHeight(2) : e.seq->getBarHeight(2);
        EXPECT_EQ(stored, r.stored == -1 ? 0 : r.stored);
        EXPECT_EQ(e.seq->getStepMarker(2), r.marker);
        if (r.code == ~0u) {
            EXPECT_TRUE(e.listener.codes.empty());
        } else {
            ASSERT_FALSE(e.listener.codes.empty());
            EXPECT_EQ(e.listener.codes.front(), r.code);
            // A rotation is one per press, however far the pointer moves.
            EXPECT_EQ(e.listener.codes.size(), r.code >= 266 ? 1u : 2u);
        }
        EXPECT_EQ(e.seq->takeChangedSteps(), r.changed);
        release(e.frame, e.x(2), e.yOfHeight(r.y));
        EXPECT_EQ(e.seq->getActionCode(), 0u);
        EXPECT_EQ(e.seq->getPaintValue(), -1.f);
    }
}

TEST(StepSequencer, QuantiserAtBothGridHeights) {
    struct Row {
        float scale;
        int lane;
        bool secondLayer;
        int y;
        int expected;
    };
    const Row rows[] = {
        {1, 0, false, 2, 0},     {1, 0, false, 3, 13},   {1, 0, false, 207, 208},
        {1, 0, false, 400, 208}, {2, 0, false, 3, 26},   {2, 0, false, 415, 416},
        {1, 3, true, 1, 0},      {1, 3, true, 2, 8},     {1, 3, true, 100, 104},
        {1, 3, true, 115, 120},  {2, 3, true, 2, 16},    {2, 7, true, 230, 240},
        {2, 7, true, 200, 208},  {2, 7, true, 415, 416}, {1, 1, true, 57, 57},
        {2, 1, false, 57, 57},   {1, 3, false, 57, 57},
    };
    for (const Row& r : rows) {
        StepEditor e(r.scale, r.lane, r.secondLayer);
        EXPECT_EQ(e.seq->quantise(r.y), r.expected)
            << "scale " << r.scale << " lane " << r.lane << " y " << r.y;
    }
}

TEST(StepSequencer, SwitchStripReportsItsStepCodeOnlyInTheNoteLane) {
    for (int lane : {0, 2}) {
        StepEditor e(2, lane);
        press(e.frame, e.x(5), e.ySwitches());
        move(e.frame, e.x(6), e.ySwitches());
        if (lane == 0) {
            EXPECT_EQ(e.listener.codes, (std::vector<uint32_t>{1005, 1006}));
            EXPECT_EQ(e.seq->getPreviousActionCode(), 1005u);
        } else {
            EXPECT_EQ(e.listener.codes, (std::vector<uint32_t>{0, 0}));
        }
        EXPECT_EQ(e.seq->takeChangedSteps(), 0) << "the editor sets the switches";
        release(e.frame, e.x(6), e.ySwitches());
    }
    StepEditor off(1);
    off.seq->setEditEnabled(0);
    press(off.frame, off.x(5), off.ySwitches());
    EXPECT_TRUE(off.listener.codes.empty()) << "a disabled grid ignores presses";
}

TEST(StepSequencer, LoopStripDragsTheStartTheEndOrTheWholeLoop) {
    struct Row {
        int pressStep;
        double across;
        int dragStep;
        uint32_t code;
    };
    // The loop covers steps 4..11.
    const Row rows[] = {
        {4, 0.25, 2, 18 + 2},    // its left end: the start, keeping the end
        {1, 0.5, 1, 18 + 1},     // left of it: the same
        {11, 0.75, 13, 100 + 9}, // its right end: the length
        {14, 0.5, 15, 100 + 11}, // right of it: the same
        {7, 0.5, 7, 200 + 3},    // inside: moves it, centred on the pointer
        {7, 0.5, 15, 200 + 11},  {7, 0.5, 0, 200},
    };
    for (const Row& r : rows) {
        StepEditor e(1);
        e.seq->setLoopStart(4);
        e.seq->setLength(8);
        press(e.frame, e.x(r.pressStep, r.across), e.yLoop());
        move(e.frame, e.x(r.dragStep), e.yLoop());
        ASSERT_FALSE(e.listener.codes.empty());
        EXPECT_EQ(e.listener.codes.back(), r.code) << "press on " << r.pressStep;
        release(e.frame, e.x(r.dragStep), e.yLoop());
    }
}

TEST(StepSequencer, PlayingStepIsCoveredByItsTranslucentColour) {
    StepEditor e(1);
    for (int i = 0; i < 16; ++i) e.seq->setBarHeight(i, 100);
    e.seq->setPlayingStep(1);
    e.frame->redrawAll();
    for (int y : {60, 150}) { // above a bar and inside it
        CColor under = pixelAt(e.frame, static_cast<int>(e.x(2)), 27 + y);
        CColor covered = pixelAt(e.frame, static_cast<int>(e.x(1)), 27 + y);
        auto blend = [](int dst, int src) { return dst + (src - dst) * 50 / 255.0; };
        EXPECT_NEAR(covered.red, blend(under.red, 128), 1.0) << y;
        EXPECT_NEAR(covered.green, blend(under.green, 128), 1.0) << y;
        EXPECT_NEAR(covered.blue, blend(under.blue, 138), 1.0) << y;
    }
}
