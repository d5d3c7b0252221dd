#include "cbitmap.h"
#include "cmulti_on_off_button.h"
#include "cparam_display2.h"
#include "gui_test_support.h"
#include "my_drag_button.h"
#include "pop_text.h"

#include <gtest/gtest.h>

namespace {
struct GeneralControls : ::testing::Test {
    CFrame* frame = new CFrame(CRect(0, 0, 300, 200), nullptr);
    RecordingListener listener;
    ~GeneralControls() override { frame->forget(); }

    CParamDisplay2* addDisplay(int style, float value) {
        auto* d = new CParamDisplay2(CRect(100, 100, 130, 112), &listener, 33, nullptr, 0, 1.f);
        d->setDisplayStyle(style);
        d->setValue(value);
        frame->addView(d);
        return d;
    }
};
} // namespace

TEST_F(GeneralControls, DisplayTextsOfEachStyleAtTheirEdges) {
    struct Row {
        int style;
        float value;
        const char* text;
    };
    const Row rows[] = {
        {0, 0.f, "  - "},        {0, 1.f, "  - "}, {0, 60 / 128.f, "C 3 "}, {0, 61 / 128.f, "C#3 "},
        {0, 12 / 128.f, "C -1"}, {1, 0.f, "C -2"}, {1, 1.f, "G 8 "},        {2, 0.f, " 0"},
        {2, 0.5f, "100"},        {2, 1.f, "200"},  {3, 0.f, "C0"},          {3, 0.12f, "-1"},
        {3, 0.24f, "-2"},        {3, 0.5f, "??"},  {4, 0.f, " 1"},          {4, 1.f, "64"},
        {5, 0.f, "-24"},         {5, 0.5f, " 0"},  {5, 1.f, "24"},
    };
    CParamDisplay2* d = addDisplay(0, 0);
    for (const Row& r : rows) {
        d->setDisplayStyle(r.style);
        d->setValue(r.value);
        EXPECT_EQ(d->getDisplayText(), r.text) << "style " << r.style << " value " << r.value;
    }
}

TEST_F(GeneralControls, DisplayDragsAQuarterPerHundredPixelsAndShiftMakesItFinerWithoutAJump) {
    CParamDisplay2* d = addDisplay(2, 0.25f);
    press(frame, 110, 106);
    EXPECT_TRUE(listener.changes.empty()) << "a press alone reports nothing";
    move(frame, 110, 6);
    EXPECT_NEAR(d->getValue(), 0.5f, 1e-5);
    move(frame, 110, 6, kLButton | kShift);
    EXPECT_NEAR(d->getValue(), 0.5f, 1e-5) << "pressing Shift must not move the value";
    move(frame, 110, -94, kLButton | kShift);
    EXPECT_NEAR(d->getValue(), 0.5f + 100 / (400 * 3.14f), 1e-5);
    move(frame, 210, -94, kLButton | kShift); // right raises too
    EXPECT_NEAR(d->getValue(), 0.5f + 200 / (400 * 3.14f), 1e-5);
    release(frame, 210, -94);
    EXPECT_EQ(listener.changes.size(), 3u) << "one report per change, none for Shift alone";
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);

    // An Alt-drag reports with the word the editor tests for an Alt-click.
    press(frame, 110, 106, kLButton | kAlt);
    move(frame, 110, 96, kLButton | kAlt);
    EXPECT_EQ(d->getMouseState(), kLButton | kAlt);
    release(frame, 110, 96);
}

TEST_F(GeneralControls, DisplayDoubleClickReportsOnceAndChangesNothingAndControlClickResets) {
    CParamDisplay2* d = addDisplay(0, 60 / 128.f);
    d->setDefaultValue(0);
    click(frame, 110, 106);
    click(frame, 110, 106, kLButton | kDoubleClick);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(d->getMouseState(), kLButton + kDoubleClick);
    EXPECT_EQ(d->getValue(), 60 / 128.f);

    click(frame, 110, 106, kLButton | kControl);
    ASSERT_EQ(listener.changes.size(), 2u);
    EXPECT_EQ(d->getValue(), 0.f);
}

TEST_F(GeneralControls, ToggleRowFlipsTheClickedCellOnlyAndNeverTheEighthFlag) {
    CBitmap* b = new CBitmap(145);
    // Five pixels wider than seven cells of 20: the spare strip toggles nothing.
    auto* row = new CMultiOnOffButton(CRect(0, 0, 145, 17), &listener, 118, b);
    b->forget();
    frame->addView(row);
    click(frame, 6 * 20 + 5, 5);  // the seventh cell
    click(frame, 2 * 20 + 19, 5); // the last pixel of the third
    click(frame, 142, 5);
    EXPECT_EQ(row->flags[6], 1);
    EXPECT_EQ(row->flags[2], 1);
    EXPECT_EQ(row->flags[7], 0);
    EXPECT_EQ(row->getValue(), 7 + 3.f);
    ASSERT_EQ(listener.changes.size(), 3u);
}

TEST_F(GeneralControls, DragButtonAsksForTheDragOnceWhenThePointerLeavesTheWindow) {
    struct DragListener : RecordingListener {
        int requests = 0;
        void dragOutRequested(CControl*, const CPoint&) override { ++requests; }
    } drags;
    auto* button = new MyDragButton(CRect(0, 24, 58, 119), &drags, 152, nullptr);
    frame->addView(button);
    press(frame, 20, 50);
    move(frame, 300, 200); // on the window's edge is still inside
    release(frame, 300, 200);
    EXPECT_EQ(drags.requests, 0);

    press(frame, 20, 50);
    move(frame, 301, 50);
    move(frame, 320, -5);
    EXPECT_EQ(drags.requests, 1);
    release(frame, 320, -5);
    EXPECT_EQ(frame->getCursor(), kCursorDefault);
}

TEST_F(GeneralControls, TextEntryReportsANewTextOrACancelButNotAnUnchangedText) {
    auto* pop = new PopText(CRect(10, 10, 52, 28), &listener, 151);
    pop->setText("C 3");
    frame->addView(pop);
    struct Entry {
        const char* typed; // after clearing the field
        VirtualKey end;
        size_t reports;
        bool accepted;
        const char* stored;
    };
    const Entry entries[] = {
        {"C 3", VKEY_RETURN, 0, true, "C 3"},
        {"c-2", VKEY_RETURN, 1, true, "c-2"},
        {"", VKEY_RETURN, 0, true, "c-2"},
        {"72", VKEY_ESCAPE, 1, false, "c-2"},
    };
    for (const Entry& e : entries) {
        listener.changes.clear();
        frame->setFocusView(pop);
        ASSERT_TRUE(pop->isEditBoxOpen());
        for (int i = 0; i < 8; ++i) typeVirtual(frame, VKEY_BACK);
        for (const char* c = e.typed; *c; ++c) typeKey(frame, *c);
        typeVirtual(frame, e.end);
        EXPECT_FALSE(pop->isEditBoxOpen());
        EXPECT_EQ(listener.changes.size(), e.reports) << e.typed;
        EXPECT_EQ(pop->isAccepted(), e.accepted) << e.typed;
        EXPECT_STREQ(pop->getText(), e.stored) << e.typed;
    }
    EXPECT_STREQ(pop->getAcceptedText(), "c-2");
}
