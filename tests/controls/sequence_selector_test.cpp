#include "gui_test_support.h"
#include "my_sequence_selector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct SelectorListener : IControlListener {
    struct Report {
        float value;
        int source;
        bool operator==(const Report&) const = default;
    };
    std::vector<Report> reports;
    int dragRequests = 0;
    void valueChanged(CControl* c) override {
        reports.push_back({c->getValue(), static_cast<MySequenceSelector*>(c)->getDragSource()});
    }
    void dragOutRequested(CControl*, const CPoint&) override { ++dragRequests; }
};

// The selector at its place in the arpeggiator section: 240 x 17 at 100 %.
struct Selector {
    float s;
    CFrame* frame;
    SelectorListener listener;
    MySequenceSelector* row;
    explicit Selector(float scale)
        : s(scale), frame(new CFrame(CRect(0, 0, 600 * s, 400 * s), nullptr)),
          row(new MySequenceSelector(CRect(163 * s, 275 * s, 403 * s, 292 * s), &listener, 3, s)) {
        frame->addView(row);
    }
    ~Selector() { frame->forget(); }
    Selector(const Selector&) = delete;
    Selector& operator=(const Selector&) = delete;
    double x(double cell) const { return (163 + (cell + 0.5) * 20) * s; }
    double y() const { return 283 * s; }
};
} // namespace

TEST(SequenceSelector, AClickAtTheRightEndSelectsTheLastCell) {
    Selector sel(1);
    click(sel.frame, 402.9, sel.y());
    EXPECT_EQ(sel.row->getSelectedCell(), 11);
    ASSERT_EQ(sel.listener.reports.size(), 1u);
    EXPECT_FLOAT_EQ(sel.listener.reports[0].value, 11 / 12.f);
    EXPECT_EQ(sel.listener.reports[0].source, -1);
    click(sel.frame, 402.9, sel.y());
    EXPECT_EQ(sel.listener.reports.size(), 1u) << "the same cell again reports nothing";
    sel.row->select(14);
    EXPECT_EQ(sel.row->getSelectedCell(), 11);
}

TEST(SequenceSelector, AnAltDragFromBToEReportsEWithSourceB) {
    Selector sel(2);
    const int32_t altLeft = kLButton | kAlt;
    press(sel.frame, sel.x(1), sel.y(), altLeft);
    move(sel.frame, sel.x(3), sel.y(), altLeft);
    move(sel.frame, sel.x(4), sel.y(), altLeft);
    EXPECT_EQ(sel.frame->getCursor(), kCursorCopy);
    release(sel.frame, sel.x(4), sel.y());
    using R = SelectorListener::Report;
    EXPECT_EQ(sel.listener.reports, (std::vector<R>{{1 / 12.f, 1}, {4 / 12.f, 1}}));
    EXPECT_EQ(sel.row->getDragSource(), -1);
    EXPECT_EQ(sel.frame->getCursor(), kCursorDefault);

    // Pressed and released on one cell: only the press reports, if the
    // cell changed.
    sel.listener.reports.clear();
    click(sel.frame, sel.x(4), sel.y(), altLeft);
    EXPECT_TRUE(sel.listener.reports.empty());
}

TEST(SequenceSelector, AnAltDragFarOutOfTheRowStartsExactlyOneDragOut) {
    for (float s : {1.f, 2.f}) {
        Selector sel(s);
        const int32_t altLeft = kLButton | kAlt;
        const double top = 275 * s, bottom = 292 * s, reach = 20 * s;
        press(sel.frame, sel.x(2), sel.y(), altLeft);
        move(sel.frame, sel.x(2), top - reach, altLeft);
        move(sel.frame, sel.x(2), bottom + reach, altLeft);
        move(sel.frame, sel.x(2), top - reach - 1, kLButton); // Alt let go: not a drag
        EXPECT_EQ(sel.listener.dragRequests, 0) << s;
        move(sel.frame, sel.x(2), top - reach - 1, altLeft);
        move(sel.frame, sel.x(2), sel.y(), altLeft);
        move(sel.frame, sel.x(2), bottom + reach + 1, altLeft);
        EXPECT_EQ(sel.listener.dragRequests, 1) << s;
        release(sel.frame, sel.x(2), bottom + reach + 1);
        EXPECT_TRUE(sel.listener.reports.size() <= 1u) << "released outside: no copy";
    }
}
