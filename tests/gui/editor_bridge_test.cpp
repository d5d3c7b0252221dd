#include "aeff_gui_editor.h"
#include "cvstgui_timer.h"
#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
struct TickCounter : CBaseObject {
    int ticks = 0;
    CMessageResult notify(CBaseObject*, const char* message) override {
        ticks += message == kMsgTimer;
        return kMessageNotified;
    }
};

// An editor as the plug-in builds one: a frame of its own size.
struct TestEditor : AEffGUIEditor {
    TestEditor() : AEffGUIEditor(nullptr) { rect = ERect{0, 0, 120, 200}; }
    bool open(void* parent) override {
        AEffGUIEditor::open(parent);
        frame = new CFrame(CRect(0, 0, 200, 120), this);
        return openFrame(parent);
    }
};
} // namespace

TEST(EditorBridge, AnswersItsRectangleAndResizesItsFrame) {
    TestEditor editor;
    ERect* r = nullptr;
    ASSERT_TRUE(editor.getRect(&r));
    EXPECT_EQ(r->right, 200);
    EXPECT_EQ(r->bottom, 120);
    // No X server for this test: opening finds no display and stays headless.
    const char* saved = std::getenv("DISPLAY");
    std::string display = saved ? saved : "";
    setenv("DISPLAY", ":no-such-display", 1);
    EXPECT_FALSE(editor.open(nullptr));
    if (saved)
        setenv("DISPLAY", display.c_str(), 1);
    else
        unsetenv("DISPLAY");
    ASSERT_NE(editor.getFrame(), nullptr);
    EXPECT_FALSE(editor.getFrame()->isOpen());
    EXPECT_FALSE(editor.sizeWindow(300, 80)) << "no host to ask";
    EXPECT_EQ(r->right, 300);
    EXPECT_EQ(r->bottom, 80);
    EXPECT_EQ(editor.getFrame()->getViewSize(), CRect(0, 0, 300, 80));
    editor.close();
    EXPECT_EQ(editor.getFrame(), nullptr);
    EXPECT_FALSE(editor.isOpen());
}

TEST(EditorBridge, IdleDrivesTimersWithOrWithoutAFrame) {
    TestEditor editor;
    TickCounter counter;
    auto* timer = new CVSTGUITimer(&counter, 1, true);
    for (int i = 0; i < 200 && counter.ticks == 0; ++i) {
        editor.idle();
        usleep(2000);
    }
    EXPECT_GT(counter.ticks, 0);
    timer->forget();
}
