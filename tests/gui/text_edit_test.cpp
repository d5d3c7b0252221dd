#include "ctext_edit.h"
#include "gui_test_support.h"

#include <gtest/gtest.h>

namespace {
struct Recorder : CTextEdit {
    using CTextEdit::CTextEdit;
    std::vector<bool> endings;
    void editingEnded(bool accepted) override { endings.push_back(accepted); }
};

struct TextEditTest : ::testing::Test {
    CFrame* frame = new CFrame(CRect(0, 0, 300, 100), nullptr);
    RecordingListener listener;
    Recorder* edit = new Recorder(CRect(10, 10, 200, 28), &listener, 128, "Pattern");
    TextEditTest() { frame->addView(edit); }
    ~TextEditTest() override { frame->forget(); }
};
} // namespace

TEST_F(TextEditTest, ClickTypeAndReturnAcceptsTheText) {
    click(frame, 20, 15);
    EXPECT_EQ(frame->getFocusView(), edit);
    EXPECT_TRUE(edit->isEditing());
    typeVirtual(frame, VKEY_BACK);
    typeKey(frame, 'X');
    typeVirtual(frame, VKEY_HOME);
    typeKey(frame, '>');
    typeVirtual(frame, VKEY_SPACE);
    typeVirtual(frame, VKEY_RETURN);
    EXPECT_EQ(edit->getText(), "> PatterX");
    EXPECT_EQ(frame->getFocusView(), nullptr);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].tag, 128);
    EXPECT_EQ(edit->endings, std::vector<bool>{true});
}

TEST_F(TextEditTest, EscapeRestoresTheTextAndReportsNothing) {
    click(frame, 20, 15);
    typeKey(frame, 'Z');
    typeVirtual(frame, VKEY_ESCAPE);
    EXPECT_EQ(edit->getText(), "Pattern");
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_FALSE(edit->wasAccepted());
    EXPECT_EQ(edit->endings, std::vector<bool>{false});
    typeKey(frame, 'Q'); // no focus: keys go nowhere
    EXPECT_EQ(edit->getText(), "Pattern");
}

TEST_F(TextEditTest, ClickingElsewhereAcceptsAndTheLengthIsBounded) {
    edit->setMaxLength(9);
    click(frame, 20, 15);
    for (char c : std::string("abcdef")) typeKey(frame, c); // only "ab" fits
    typeVirtual(frame, VKEY_LEFT);
    typeVirtual(frame, VKEY_DELETE);
    typeKey(frame, 'z');
    click(frame, 250, 80);
    EXPECT_EQ(edit->getText(), "Patternaz");
    EXPECT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
}

TEST_F(TextEditTest, TheFieldShowsItsEditingStateInPixels) {
    frame->redrawAll();
    CColor idle = pixelAt(frame, 10, 20);
    click(frame, 20, 15);
    frame->updateDirty();
    EXPECT_NE(pixelAt(frame, 10, 20), idle) << "a focused field is outlined";
}

TEST(TextEditInContainer, ClicksInsideTheFocusedFieldKeepEditingAndRemovalEndsIt) {
    CFrame* frame = new CFrame(CRect(0, 0, 300, 200), nullptr);
    RecordingListener listener;
    auto* section = new CViewContainer(CRect(0, 100, 300, 200));
    auto* edit = new CTextEdit(CRect(50, 20, 250, 38), &listener, 128, "Name");
    section->addView(edit);
    frame->addView(section);
    click(frame, 60, 125);
    typeKey(frame, '1');
    click(frame, 200, 125); // still inside the field
    EXPECT_TRUE(edit->isEditing());
    typeKey(frame, '2');
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_EQ(edit->getText(), "Name12");
    edit->remember();
    section->removeView(edit, false);
    EXPECT_FALSE(edit->isEditing()) << "leaving the frame ends the edit";
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.begins, listener.ends);
    edit->forget();
    edit->forget();
    frame->forget();
}
