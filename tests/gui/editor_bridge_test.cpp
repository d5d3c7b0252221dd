#include "aeff_gui_editor.h"
#include "cvstgui_timer.h"
#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <utility>
#include <vector>

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
    explicit TestEditor(IWindowHost* host = nullptr) : AEffGUIEditor(host) {
        rect = EditorRect{0, 0, 120, 200};
    }
    bool open(void* parent) override {
        AEffGUIEditor::open(parent);
        frame = new CFrame(CRect(0, 0, 200, 120), this);
        return openFrame(parent);
    }
};

struct RecordingWindowHost : IWindowHost {
    std::vector<std::pair<int32_t, int32_t>> sizes;
    bool resizeWindow(int32_t width, int32_t height) override {
        sizes.emplace_back(width, height);
        return true;
    }
};
} // namespace

TEST(EditorBase, AnswersItsRectangleAndResizesItsFrameThroughTheWindowsHolder) {
    RecordingWindowHost host;
    TestEditor editor(&host);
    EXPECT_EQ(editor.getRect(), (EditorRect{0, 0, 120, 200}));
    EXPECT_FALSE(editor.open(nullptr)) << "without a parent window the frame stays headless";
    ASSERT_NE(editor.getFrame(), nullptr);
    EXPECT_FALSE(editor.getFrame()->isOpen());
    EXPECT_TRUE(editor.isOpen());
    EXPECT_TRUE(editor.sizeWindow(300, 80));
    EXPECT_EQ(host.sizes, (std::vector<std::pair<int32_t, int32_t>>{{300, 80}}));
    EXPECT_EQ(editor.getRect(), (EditorRect{0, 0, 80, 300}));
    EXPECT_EQ(editor.getFrame()->getViewSize(), CRect(0, 0, 300, 80));
    editor.close();
    EXPECT_EQ(editor.getFrame(), nullptr);
    EXPECT_FALSE(editor.isOpen());
    EXPECT_FALSE(TestEditor().sizeWindow(10, 10)) << "no holder to ask";
}

TEST(EditorBase, IdleDrivesTimersWithOrWithoutAFrame) {
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
