#include "coption_menu.h"
#include "gui_test_support.h"
#include "menu_popup_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
struct MenuTest : ::testing::Test {
    CFrame* frame = new CFrame(CRect(0, 0, 400, 300), nullptr);
    RecordingListener listener;
    COptionMenu* menu = new COptionMenu(CRect(10, 10, 110, 28), &listener, 106);
    COptionMenu* sub = new COptionMenu(CRect(), nullptr, 80);

    MenuTest() {
        menu->addEntry("100% Size");
        menu->addEntry("200% Size");
        menu->addSeparator();
        sub->addEntry("Sort by Low Note ");
        sub->addEntry("Sort by High Note ");
        menu->addEntry(sub, "Sort");
        menu->addEntry("Title", CMenuItem::kTitle);
        frame->addView(menu);
    }
    ~MenuTest() override { frame->forget(); }
    MenuPopupView* popup() { return dynamic_cast<MenuPopupView*>(frame->getModalView()); }
    void clickEntry(size_t level, int index) {
        CRect r = popup()->entryRect(level, index);
        move(frame, r.left + 5, r.top + 3, 0);
        click(frame, r.left + 5, r.top + 3);
    }
};
} // namespace

TEST_F(MenuTest, ChoosingAMainEntryReportsTheMenuAndIndex) {
    click(frame, 20, 15);
    ASSERT_NE(popup(), nullptr);
    EXPECT_TRUE(menu->isPopupOpen());
    clickEntry(0, 1);
    EXPECT_EQ(popup(), nullptr);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].tag, 106);
    EXPECT_EQ(listener.changes[0].value, 1.f);
    int32_t index;
    EXPECT_EQ(menu->getLastItemMenu(index), menu);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    EXPECT_EQ(menu->getDisplayText(), "200% Size");
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
}

TEST_F(MenuTest, ASubmenuOpensOnHoverAndItsChoiceNamesTheSubmenu) {
    click(frame, 20, 15);
    CRect sortEntry = popup()->entryRect(0, 3);
    move(frame, sortEntry.left + 5, sortEntry.top + 3, 0);
    ASSERT_EQ(popup()->getLevelCount(), 2u);
    clickEntry(1, 1);
    int32_t index;
    EXPECT_EQ(menu->getLastItemMenu(index), sub);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(sub->getCurrentIndex(), 1);
    EXPECT_EQ(menu->getCurrentIndex(), -1) << "the main menu's choice is unchanged";
    ASSERT_EQ(listener.changes.size(), 1u);
}

TEST_F(MenuTest, SeparatorsTitlesEscapeAndOutsideClicksChooseNothing) {
    click(frame, 20, 15);
    CRect sep = popup()->entryRect(0, 2);
    click(frame, sep.left + 5, sep.top + 2);
    EXPECT_NE(popup(), nullptr) << "a separator keeps the menu open";
    CRect title = popup()->entryRect(0, 4);
    click(frame, title.left + 5, title.top + 3);
    EXPECT_NE(popup(), nullptr);
    typeVirtual(frame, VKEY_ESCAPE);
    EXPECT_EQ(popup(), nullptr);
    click(frame, 20, 15);
    click(frame, 390, 290);
    EXPECT_EQ(popup(), nullptr);
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_EQ(listener.begins, listener.ends);
}

TEST_F(MenuTest, CheckMarksAndEntryEditing) {
    EXPECT_TRUE(menu->checkEntry(0, true));
    EXPECT_TRUE(menu->isCheckEntry(0));
    EXPECT_FALSE(menu->checkEntry(2, true)) << "separators carry no mark";
    menu->checkEntry(0, false);
    EXPECT_FALSE(menu->isCheckEntry(0));
    EXPECT_EQ(menu->getNbEntries(), 5);
    EXPECT_EQ(menu->getSubMenu(3), sub);
    menu->removeEntry(0);
    EXPECT_EQ(menu->getEntry(0)->title, "200% Size");
    menu->addEntry("-");
    EXPECT_TRUE(menu->getEntry(menu->getNbEntries() - 1)->isSeparator());
    menu->removeAllEntry();
    EXPECT_EQ(menu->getNbEntries(), 0);
    click(frame, 20, 15);
    EXPECT_EQ(popup(), nullptr) << "an empty menu does not open";
}

TEST_F(MenuTest, TheOpenMenuIsDrawnOverTheFrame) {
    frame->redrawAll();
    CRect where(10, 28, 60, 40);
    CColor before = pixelAt(frame, 30, 34);
    click(frame, 20, 15);
    frame->updateDirty();
    EXPECT_NE(pixelAt(frame, 30, 34), before);
    typeVirtual(frame, VKEY_ESCAPE);
    frame->updateDirty();
    EXPECT_EQ(pixelAt(frame, 30, 34), before);
}

TEST_F(MenuTest, TheKeyboardWalksEntriesSkippingSeparatorsAndEntersSubmenus) {
    click(frame, 20, 15);
    typeVirtual(frame, VKEY_DOWN);  // 100% Size
    typeVirtual(frame, VKEY_DOWN);  // 200% Size
    typeVirtual(frame, VKEY_DOWN);  // the separator is skipped: Sort
    typeVirtual(frame, VKEY_RIGHT); // opens Sort at its first entry
    ASSERT_EQ(popup()->getLevelCount(), 2u);
    typeVirtual(frame, VKEY_LEFT);
    EXPECT_EQ(popup()->getLevelCount(), 1u);
    typeVirtual(frame, VKEY_RETURN); // Return on a submenu opens it too
    typeVirtual(frame, VKEY_DOWN);
    typeVirtual(frame, VKEY_RETURN);
    EXPECT_EQ(popup(), nullptr);
    int32_t index;
    EXPECT_EQ(menu->getLastItemMenu(index), sub);
    EXPECT_EQ(index, 1);

    click(frame, 20, 15);
    typeVirtual(frame, VKEY_UP); // wraps to the last selectable entry: the title is not
    typeVirtual(frame, VKEY_RETURN);
    EXPECT_EQ(menu->getLastItemMenu(index), sub) << "Up landed on Sort and opened it";
    typeVirtual(frame, VKEY_RETURN);
    EXPECT_EQ(menu->getLastItemMenu(index), sub);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(listener.changes.size(), 2u);
}

namespace {
// A window system with pop-up windows: the screen is 1000 x 700 and the
// frame's window lies at (200, 650), near the bottom.
struct ScreenWithPopups : IPlatformFrame {
    std::vector<CRect>* shown;
    explicit ScreenWithPopups(std::vector<CRect>* shown) : shown(shown) {}
    void present(cairo_surface_t*, const std::vector<CRect>&) override {}
    void processEvents() override {}
    void setSize(int, int) override {}
    void setCursor(CCursorType) override {}
    bool startFileDrag(const std::vector<std::string>&) override { return false; }
    bool isDragging() const override { return false; }
    bool popupSpace(CRect& screen, CPoint& origin) override {
        screen = CRect(0, 0, 1000, 700);
        origin = CPoint(200, 650);
        return true;
    }
    void showPopup(CPopupView* view) override { popup = view, updatePopup(); }
    void updatePopup() override { *shown = popup->popupAreas(); }
    void hidePopup() override { shown->clear(), popup = nullptr; }
    CPopupView* popup = nullptr;
};
} // namespace

TEST(MenuPopup, OpensInWindowsOnTheScreenScaledAndScrollingWhenTallerThanTheScreen) {
    std::vector<CRect> shown;
    auto* frame = new CFrame(CRect(0, 0, 593, 37), nullptr);
    frame->attachPlatform(std::make_unique<ScreenWithPopups>(&shown));
    RecordingListener listener;
    auto* menu = new COptionMenu(CRect(540, 0, 592, 35), &listener, 106);
    for (int i = 0; i < 60; ++i) menu->addEntry("Preset " + std::to_string(i));
    menu->setPopupScale(2);
    frame->addView(menu);
    click(frame, 560, 10);
    auto* popup = dynamic_cast<MenuPopupView*>(frame->getPopupView());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(frame->getModalView(), nullptr) << "not inside the 37-pixel window";
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], popup->levelBox(0));
    EXPECT_EQ(popup->entryHeight(), 36) << "rows at 200 %";
    EXPECT_EQ(shown[0].top, 0) << "60 rows of 36 need more than the screen: it fills it";
    EXPECT_EQ(shown[0].bottom, 700);
    EXPECT_LE(shown[0].right, 1000);
    // The wheel scrolls the column; the last entry comes into reach.
    const CRect last = popup->entryRect(0, 59);
    EXPECT_GT(last.top, 700);
    popup->onWheel(CPoint(shown[0].left + 10, 300), -100.f, 0);
    EXPECT_LE(popup->entryRect(0, 59).bottom, 700);
    const CRect now = popup->entryRect(0, 59);
    CPoint p(now.left + 10, now.top + 5);
    popup->onMouseMoved(p, 0);
    popup->onMouseDown(p, kLButton);
    EXPECT_TRUE(shown.empty()) << "the windows went with the choice";
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].value, 59.f);
    frame->forget();
}
