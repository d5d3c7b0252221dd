#include "canim_knob.h"
#include "cbitmap.h"
#include "chorizontal_switch.h"
#include "ckick_button.h"
#include "con_off_button.h"
#include "csplash_screen.h"
#include "ctext_label.h"
#include "gui_test_support.h"

#include <gtest/gtest.h>

namespace {
struct ControlsTest : ::testing::Test {
    CFrame* frame = new CFrame(CRect(0, 0, 300, 200), nullptr);
    RecordingListener listener;
    ~ControlsTest() override { frame->forget(); }
};
} // namespace

TEST_F(ControlsTest, KickButtonIsOneWhilePressedAndReportsBothEdges) {
    CBitmap* b = new CBitmap(1131);
    auto* kick = new CKickButton(CRect(10, 10, 28, 25), &listener, 77, b);
    b->forget();
    frame->addView(kick);
    press(frame, 15, 15);
    EXPECT_EQ(kick->getValue(), 1.f);
    move(frame, 100, 100); // leaving the button lets it go
    EXPECT_EQ(kick->getValue(), 0.f);
    move(frame, 15, 15);
    release(frame, 15, 15);
    EXPECT_EQ(kick->getValue(), 0.f);
    ASSERT_EQ(listener.changes.size(), 4u);
    EXPECT_EQ(listener.changes[0].tag, 77);
    EXPECT_EQ(listener.changes[0].value, 1.f);
    EXPECT_EQ(listener.changes[3].value, 0.f);
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
}

TEST_F(ControlsTest, OnOffButtonTogglesAtEachPressAndIgnoresTheRightButton) {
    CBitmap* b = new CBitmap(1130);
    auto* sw = new COnOffButton(CRect(0, 0, 55, 18), &listener, 16, b);
    b->forget();
    frame->addView(sw);
    click(frame, 5, 5);
    EXPECT_EQ(sw->getValue(), 1.f);
    click(frame, 5, 5, kRButton);
    EXPECT_EQ(sw->getValue(), 1.f);
    click(frame, 5, 5);
    EXPECT_EQ(sw->getValue(), 0.f);
    ASSERT_EQ(listener.changes.size(), 2u);
}

TEST_F(ControlsTest, KnobFollowsVerticalDragFinerWithShiftAndResetsWithControlClick) {
    CBitmap* b = new CBitmap(129);
    auto* knob = new CAnimKnob(CRect(100, 100, 128, 131), &listener, 96, 120, 31, b);
    b->forget();
    knob->setDefaultValue(0.58f);
    frame->addView(knob);
    press(frame, 110, 110);
    move(frame, 110, 110 - CAnimKnob::kDragRange / 4); // a quarter of the travel up
    EXPECT_NEAR(knob->getValue(), 0.25f, 1e-4);
    move(frame, 110, 110 - CAnimKnob::kDragRange / 4, kLButton | kShift); // re-anchors, no jump
    EXPECT_NEAR(knob->getValue(), 0.25f, 1e-4);
    move(frame, 110, 110 - CAnimKnob::kDragRange / 4 - 100, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.25f + 100 / (CAnimKnob::kDragRange * CAnimKnob::kFineFactor),
                1e-4);
    move(frame, 110, -5000, kLButton);
    EXPECT_EQ(knob->getValue(), 1.f) << "bounded to the range";
    release(frame, 110, -5000);
    EXPECT_EQ(knob->getFrameIndex(), 119);

    click(frame, 110, 110, kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.58f);
    CPoint p(110, 110);
    frame->onWheel(p, -1.f, 0);
    EXPECT_NEAR(knob->getValue(), 0.53f, 1e-5);
    frame->onWheel(p, 1.f, kShift);
    EXPECT_NEAR(knob->getValue(), 0.54f, 1e-5) << "Shift makes the wheel finer";
    EXPECT_EQ(listener.begins, listener.ends);
}

TEST_F(ControlsTest, HorizontalSwitchTakesThePositionUnderThePointer) {
    CBitmap* b = new CBitmap(143);
    auto* sw = new CHorizontalSwitch(CRect(8, 9, 583, 26), &listener, 129, 8, 17, 8, b);
    b->forget();
    CRect big(0, 0, 600, 40);
    frame->setSize(600, 40);
    frame->addView(sw);
    press(frame, 8 + 575 * 3.5 / 8, 15);
    EXPECT_EQ(sw->getPosition(), 3);
    EXPECT_NEAR(sw->getValue(), 3.f / 7, 1e-6);
    move(frame, 2000, 15); // dragging past the end stays on the last position
    release(frame, 2000, 15);
    EXPECT_EQ(sw->getPosition(), 7);
    EXPECT_EQ(listener.changes.size(), 2u);
}

TEST_F(ControlsTest, ChildrenOfAContainerGetPointsInTheContainersCoordinates) {
    auto* section = new CViewContainer(CRect(50, 100, 250, 200));
    CBitmap* b = new CBitmap(1130);
    auto* sw = new COnOffButton(CRect(10, 10, 65, 28), &listener, 16, b);
    b->forget();
    section->addView(sw);
    frame->addView(section);
    click(frame, 15, 15); // where the button would be without the container
    EXPECT_TRUE(listener.changes.empty());
    click(frame, 65, 115);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(sw->localToFrame(sw->getViewSize()), CRect(60, 110, 115, 128));
}

namespace {
struct HoverProbe : CView {
    using CView::CView;
    int entered = 0, exited = 0;
    CMouseEventResult onMouseEntered(CPoint&, const int32_t&) override {
        ++entered;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseExited(CPoint&, const int32_t&) override {
        ++exited;
        return kMouseEventHandled;
    }
};
} // namespace

TEST_F(ControlsTest, PointerEntersAndLeavesViewsInsideContainers) {
    auto* section = new CViewContainer(CRect(100, 100, 200, 200));
    auto* probe = new HoverProbe(CRect(10, 10, 30, 30));
    section->addView(probe);
    frame->addView(section);
    move(frame, 50, 50, 0);
    move(frame, 115, 115, 0);
    move(frame, 120, 120, 0);
    EXPECT_EQ(probe->entered, 1);
    EXPECT_EQ(probe->exited, 0);
    move(frame, 150, 150, 0);
    EXPECT_EQ(probe->exited, 1);
    move(frame, 115, 115, 0);
    CPoint out(-1, -1);
    frame->onMouseExited(out, 0); // the pointer left the window
    EXPECT_EQ(probe->entered, 2);
    EXPECT_EQ(probe->exited, 2);
}

TEST_F(ControlsTest, RemovedViewsStayAliveOnlyWhenTheHolderKeepsThem) {
    auto* label = new CTextLabel(CRect(0, 0, 50, 20), "kept");
    frame->addView(label);
    label->remember(); // a second holder
    EXPECT_EQ(label->getNbReference(), 2);
    frame->removeView(label, false);
    EXPECT_FALSE(label->isAttached());
    EXPECT_EQ(label->getNbReference(), 2);
    frame->addView(label); // attach again, then release the extra reference
    label->forget();
    EXPECT_EQ(label->getNbReference(), 1);
    EXPECT_TRUE(frame->isChild(label));
}

TEST_F(ControlsTest, SplashScreenShowsOverEverythingAndAClickClosesIt) {
    CBitmap* picture = new CBitmap(1131);
    auto* splash =
        new CSplashScreen(CRect(100, 0, 200, 30), &listener, 92, picture, CRect(10, 10, 28, 40));
    picture->forget();
    frame->addView(splash);
    frame->redrawAll();
    CColor before = pixelAt(frame, 15, 15);
    click(frame, 150, 10);
    EXPECT_TRUE(splash->isSplashShown());
    EXPECT_NE(frame->getModalView(), nullptr);
    frame->updateDirty();
    EXPECT_NE(pixelAt(frame, 15, 15), before) << "the picture is drawn over the frame";
    click(frame, 290, 190);
    EXPECT_FALSE(splash->isSplashShown());
    EXPECT_EQ(frame->getModalView(), nullptr);
    ASSERT_EQ(listener.changes.size(), 2u);
    EXPECT_EQ(listener.changes[0].value, 1.f);
    EXPECT_EQ(listener.changes[1].value, 0.f);
}

TEST_F(ControlsTest, ParamDisplayShowsItsValueThroughTheConversion) {
    auto* d = new CParamDisplay(CRect(0, 0, 40, 14));
    d->setValueToStringFunction(
        [](float v) { return std::to_string(static_cast<int>(v * 48.99) - 24); });
    frame->addView(d);
    d->setValue(0.f);
    EXPECT_EQ(d->getDisplayText(), "-24");
    d->setValue(1.f);
    EXPECT_EQ(d->getDisplayText(), "24");
    auto* plain = new CParamDisplay(CRect(0, 20, 40, 34));
    plain->setValue(0.25f);
    EXPECT_EQ(plain->getDisplayText(), "0.25");
    plain->forget();
}
