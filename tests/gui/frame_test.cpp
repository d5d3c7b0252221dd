#include "cbitmap.h"
#include "con_off_button.h"
#include "gui_test_support.h"

#include <gtest/gtest.h>

namespace {
struct FrameTest : ::testing::Test {
    CFrame* frame = new CFrame(CRect(0, 0, 200, 100), nullptr);
    RecordingListener listener;
    COnOffButton* sw;
    FrameTest() {
        CBitmap* bg = new CBitmap(136);
        frame->setBackground(bg);
        bg->forget();
        CBitmap* b = new CBitmap(1130);
        sw = new COnOffButton(CRect(20, 20, 75, 38), &listener, 16, b);
        b->forget();
        frame->addView(sw);
        frame->redrawAll();
    }
    ~FrameTest() override { frame->forget(); }
};
} // namespace

TEST_F(FrameTest, ABackgroundBitmapAndAControlAreDrawnIntoTheBackBuffer) {
    CColor off = pixelAt(frame, 30, 29);
    EXPECT_EQ(off.alpha, 255);
    sw->setValue(1.f);
    frame->updateDirty();
    EXPECT_NE(pixelAt(frame, 30, 29), off) << "the on state is drawn from the lower half";
}

TEST_F(FrameTest, IdleRedrawsOnlyDirtyViews) {
    // Scribble over the buffer outside the switch; a redraw of the switch
    // alone must leave the scribble, a full invalidation must remove it.
    cairo_t* cr = cairo_create(frame->getBackBuffer());
    cairo_set_source_rgb(cr, 1, 0, 1);
    cairo_rectangle(cr, 150, 70, 10, 10);
    cairo_fill(cr);
    cairo_destroy(cr);
    frame->updateDirty();
    EXPECT_EQ(pixelAt(frame, 155, 75), (CColor{255, 0, 255, 255})) << "nothing was dirty";
    sw->setValue(1.f);
    frame->updateDirty();
    EXPECT_EQ(pixelAt(frame, 155, 75), (CColor{255, 0, 255, 255}));
    frame->invalid();
    frame->updateDirty();
    EXPECT_NE(pixelAt(frame, 155, 75), (CColor{255, 0, 255, 255}));
}

TEST_F(FrameTest, HiddenAndRemovedViewsLeaveTheirAreaToTheBackground) {
    CFrame* bare = new CFrame(CRect(0, 0, 200, 100), nullptr);
    CBitmap* bg = new CBitmap(136);
    bare->setBackground(bg);
    bg->forget();
    bare->redrawAll();
    CColor background = pixelAt(bare, 30, 29);
    bare->forget();
    EXPECT_NE(pixelAt(frame, 30, 29), background);
    sw->setVisible(false);
    frame->updateDirty();
    CColor hidden = pixelAt(frame, 30, 29);
    EXPECT_EQ(hidden, background);
    sw->setVisible(true);
    frame->updateDirty();
    EXPECT_NE(pixelAt(frame, 30, 29), hidden);
    frame->removeView(sw);
    frame->updateDirty();
    EXPECT_EQ(pixelAt(frame, 30, 29), hidden);
    click(frame, 30, 29);
    EXPECT_TRUE(listener.changes.empty());
}

TEST_F(FrameTest, TheFrameRemembersButtonsAndModifiersOfTheLastEvent) {
    press(frame, 30, 29, kLButton | kShift | kAlt);
    EXPECT_EQ(frame->getCurrentModifiers(), kShift | kAlt);
    EXPECT_EQ(frame->getCurrentMouseButtons() & kButtonMask, kLButton);
    release(frame, 30, 29, 0);
    EXPECT_EQ(frame->getCurrentModifiers(), 0);
    frame->setCursor(kCursorCopy);
    EXPECT_EQ(frame->getCursor(), kCursorCopy);
    EXPECT_FALSE(frame->doDrag({"/tmp/x.mid"})) << "no window, no drag";
}

TEST_F(FrameTest, ResizingTheFrameResizesItsBuffer) {
    frame->setSize(300, 50);
    frame->updateDirty();
    EXPECT_EQ(cairo_image_surface_get_width(frame->getBackBuffer()), 300);
    EXPECT_EQ(cairo_image_surface_get_height(frame->getBackBuffer()), 50);
}
