// What the window does with the engine's notifications, the host and its
// own controls: rebuilds, sizes, automation, the refresh of what it shows.
#include "canim_knob.h"
#include "chorizontal_switch.h"
#include "con_off_button.h"
#include "coption_menu.h"
#include "ctext_edit.h"
#include "ctext_label.h"
#include "editor_fixture.h"
#include "gui_test_support.h"
#include "menu_popup_view.h"
#include "my_ckickstepseq.h"
#include "my_sequence_selector.h"
#include "parameter_indices.h"

#include <cstring>
#include <functional>
#include <thread>

TEST_F(EditorTest, NotificationsChangeWhatIsShownOnlyWhileTheWindowIsOpen) {
    using Shown = float (*)(const EditorViews&);
    struct Case {
        int32_t index;
        float value;
        Shown shown;
    };
    const Case cases[] = {
        {param::kTranspose, 0.75f, [](const EditorViews& v) { return v.transpose->getValue(); }},
        {param::kSwing, 0.25f, [](const EditorViews& v) { return v.swing->getValue(); }},
        {param::kMidiLatch, 1.0f, [](const EditorViews& v) { return v.latch->getValue(); }},
        {param::kPreviewOn, 1.0f, [](const EditorViews& v) { return v.preview->getValue(); }},
        {param::kNoteVelFirst + 2, 0.3f,
         [](const EditorViews& v) { return v.noteVel[2]->getValue(); }},
        {param::kLockFirst + 7, 1.0f, [](const EditorViews& v) { return v.lock[7]->getValue(); }},
        {param::kLinkLanes, 1.0f, [](const EditorViews& v) { return v.linkLanes->getValue(); }},
        {param::kRateFirst, 0.2f, [](const EditorViews& v) { return v.rate->getValue(); }},
    };
    open();
    for (const Case& c : cases) {
        const float before = c.shown(views());
        effect->setParameter(c.index, c.value);
        EXPECT_NE(c.shown(views()), before) << c.index;
        EXPECT_EQ(c.shown(views()), effect->getParameter(c.index)) << c.index;
    }
    char rate[64] = {};
    effect->getParameterDisplay(param::kCurrentRate, rate);
    EXPECT_EQ(views().rateText->getText(), rate);
    EXPECT_NE(std::string(rate), "1/16") << "the text changed with the rate";
    // What is drawn follows: the preview switch's lamp goes out.
    frame()->redrawAll();
    const CRect p = views().preview->getViewSize();
    const CColor on = pixelAt(frame(), int(p.left + 10), int(p.top + 4));
    effect->setParameter(param::kPreviewOn, 0.0f);
    frame()->updateDirty();
    EXPECT_NE(pixelAt(frame(), int(p.left + 10), int(p.top + 4)), on);

    // Closed: nothing is touched; the next open shows the engine's values.
    close();
    effect->setParameter(param::kSwing, 0.6f);
    open();
    EXPECT_EQ(views().swing->getValue(), 0.6f);
}

TEST_F(EditorTest, ANotificationFromAnotherThreadIsAppliedAtTheNextIdle) {
    open();
    ASSERT_EQ(views().swing->getValue(), 0.0f);
    std::thread automation([&] { effect->setParameter(param::kSwing, 0.5f); });
    automation.join();
    EXPECT_EQ(views().swing->getValue(), 0.0f) << "not from the other thread";
    idle();
    EXPECT_EQ(views().swing->getValue(), 0.5f);
}

TEST_F(EditorTest, SwitchingASectionAutomatesItAndResizesTheWindowOnceAtTheNextIdle) {
    open();
    host.sizes.clear();
    clickAt(CPoint(190, 19)); // Arp ON
    ASSERT_EQ(host.automated.size(), 1u);
    EXPECT_EQ(host.automated[0], (std::pair<int32_t, float>{17, 0.0f}));
    EXPECT_EQ(host.gestures, (std::vector<std::string>{"begin 17", "end 17"}));
    EXPECT_TRUE(host.sizes.empty()) << "the rebuild waits for idle";
    idle();
    EXPECT_EQ(host.sizes, (std::vector<std::pair<int32_t, int32_t>>{{593, 225}}));
    EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 593, 225));
    idle();
    EXPECT_EQ(host.sizes.size(), 1u) << "nothing changed since";
    // The host's own write takes the same road through the notifications.
    effect->setParameter(param::kChordsOn, 0.0f);
    idle();
    EXPECT_EQ(host.sizes.back(), (std::pair<int32_t, int32_t>{593, 37}));
}

TEST_F(EditorTest, TheSizeEntriesRebuildOnlyForTheOtherSize) {
    open();
    host.sizes.clear();
    COptionMenu* options = views().options;
    ASSERT_EQ(options->getNbEntries(), 6);
    EXPECT_EQ(options->getEntry(3)->title, "Arp Rate Free (Hz)");
    EXPECT_TRUE(options->isCheckEntry(0));
    choose(options, {0}); // 100 %: already
    idle();
    EXPECT_TRUE(host.sizes.empty());
    choose(options, {1}); // 200 %
    EXPECT_EQ(effect->getParameter(param::kEditorScale), 0.5f);
    idle();
    EXPECT_EQ(host.sizes, (std::vector<std::pair<int32_t, int32_t>>{{1186, 1158}}));
    EXPECT_EQ(gui->getGuiScale(), 2);
    EXPECT_TRUE(views().options->isCheckEntry(1));
    EXPECT_EQ(views().options->getPopupScale(), 2.0);

    // Without the arpeggiator the menu has five entries; Arp Rate Free is
    // gone and the folder entry moves up.
    effect->setParameter(param::kArpOn, 0.0f);
    idle();
    ASSERT_EQ(views().options->getNbEntries(), 5);
    EXPECT_EQ(views().options->getEntry(3)->title, "Show Zandrel Presets Folder");
}

TEST_F(EditorTest, TheArpRateFreeEntryTogglesAndFollowsTheEngine) {
    open();
    choose(views().options, {3});
    EXPECT_EQ(effect->getParameter(param::kArpFreeRate), 1.0f);
    EXPECT_TRUE(views().options->isCheckEntry(3));
    effect->setParameter(param::kArpFreeRate, 0.0f);
    EXPECT_FALSE(views().options->isCheckEntry(3));
}

TEST_F(EditorTest, TheEditorsOwnWritesPassTheGuardThatFollowsAResume) {
    open();
    effect->resume(); // the host's writes are held off for ten blocks now
    effect->setParameter(param::kChordsOn, 0.0f);
    EXPECT_EQ(effect->getParameter(param::kChordsOn), 1.0f) << "the host's write waits";
    clickAt(CPoint(110, 19)); // Chords ON
    EXPECT_EQ(effect->getParameter(param::kChordsOn), 0.0f) << "a click does not";
}

TEST_F(EditorTest, TheFullRefreshMarksPatternsInUseAndStepsRoundTrip) {
    EngineState& st = effect->zandEngine().engine();
    st.patterns[1].rowValue[rowOfLane(4)][5] = 0.9f;    // a velocity step
    std::memcpy(st.patterns[2].patternName, "Bass", 4); // a name
    st.patterns[3].rowValue[1][0] = 0.7f;               // row 1 is not a lane's
    st.patterns[0].rowValue[0][3] = 0.5f;               // the note row, step 3
    st.patterns[0].stepOn[4] = 0;
    open();
    const MySequenceSelector* selector = views().patternSelector;
    for (int p = 0; p < 5; ++p) EXPECT_EQ(selector->getMark(p), p < 3) << "pattern " << p;
    EXPECT_EQ(views().patternName->getText(), std::string(st.patterns[0].patternName));
    // 208 pixels of grid: 0.5 is 104, 0.565 is 117 (truncated).
    const MyCKickstepseq* seq = views().stepSequencer;
    EXPECT_EQ(seq->getBarHeight(3), 104);
    EXPECT_EQ(seq->getBarHeight(2), 117);
    EXPECT_FALSE(seq->getStepSwitch(4));
    // Values between 17 and 260 rest every second step and write them back,
    // and only them: step 2 keeps its value to the last bit.
    gui->setParameter(param::kPatternChanged, 18.0f);
    EXPECT_EQ(st.patterns[0].rowValue[0][3], 0.0f);
    EXPECT_EQ(st.patterns[0].rowValue[0][2], 0.565f);
    EXPECT_EQ(st.patterns[0].stepOn[4], 0);
}

TEST_F(EditorTest, TheConfigurationChoosesSizeAndPreviewAndAProjectsSizeWins) {
    EXPECT_EQ(effect->getParameter(param::kPreviewOn), 0.0f) << "no configuration: preview off";
    EXPECT_EQ(rect().right, 593);
    create("[0] [0] [0] [0] [1] [1]"); // preview on, 200 %
    EXPECT_EQ(effect->getParameter(param::kPreviewOn), 1.0f);
    EXPECT_EQ(rect(), (EditorRect{0, 0, 1158, 1186}));
    // A project saved at 100 % brings its size along.
    ZandrelDSPEdit other(&EditorTestHost::callback);
    other.setParameter(param::kEditorScale, 0.0f);
    void* chunk = nullptr;
    const int32_t size = other.getChunk(&chunk, false);
    open();
    host.sizes.clear();
    effect->setChunk(chunk, size, false);
    idle();
    EXPECT_EQ(host.sizes, (std::vector<std::pair<int32_t, int32_t>>{{593, 579}}));
}

TEST_F(EditorTest, TheLaneSelectorShowsTheScaleDegreesOnlyOnTheScaleLane) {
    open();
    CHorizontalSwitch* lanes = views().laneSelector;
    const CRect r = lanes->getViewSize();
    const CPoint origin = views().arpSection->getViewSize().getTopLeft();
    const double cell = r.getWidth() / 8;
    for (int lane : {3, 5, 3, 0}) {
        clickAt(CPoint(origin.x + r.left + cell * lane + 4, origin.y + r.top + 4));
        EXPECT_EQ(effect->zandEngine().engine().currentLane, lane);
        EXPECT_EQ(views().scaleDegrees->isAttached(), lane == 3) << lane;
    }
}

TEST_F(EditorTest, ClosingTheHostWithTheWindowOpenIsClean) {
    open();
    clickAt(CPoint(560, 10)); // the options menu stays open
    ASSERT_NE(frame()->getPopupView(), nullptr);
    effect.reset(); // the sanitizers watch the order of destruction
}
