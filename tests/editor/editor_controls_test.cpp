// What the window's controls do to the engine: typed values, Alt and Shift
// gestures, the chord keyboard, the pattern selector, the step sequencer
// and the simple buttons, each checked on the engine's state or on what
// the engine was asked to apply.
#include "editor_fixture.h"
#include "gui_test_support.h"
#include "parameter_indices.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {
constexpr float kNote = 1.0f / 128;

// The voices of the chord at key 60, which becomes the current key.
void setChord(ZandrelDSPEdit& effect, std::initializer_list<int> notes) {
    effect.setParameter(param::kCurrentKey, 60 * kNote);
    int voice = 0;
    for (int note : notes) effect.setParameter(param::kNoteNumFirst + voice++, note * kNote);
}
int noteOf(float value) {
    return static_cast<int>(std::lround(value * 128));
}
} // namespace

TEST_F(EditorTest, ATypedValueBecomesTheVoicesNoteOrVelocity) {
    struct Case {
        int32_t tag;
        const char* typed; // null: Escape
        float expected;
    };
    const Case cases[] = {
        {33, "C3", 60 * kNote}, {34, "c-2", 0.0f},       {35, "72", 72 * kNote},
        {36, "50%", 0.5f},      {37, "C#3", 61 * kNote}, {38, "C-1", 12 * kNote},
        {41, "100", 0.5f},      {42, "50", 0.25f},       {33, nullptr, 60 * kNote},
    };
    open();
    for (const Case& c : cases) {
        const CPoint at = centreOf(views().byTag[c.tag]);
        press(frame(), at.x, at.y, kLButton | kDoubleClick);
        release(frame(), at.x, at.y);
        PopText* entry = views().popText;
        ASSERT_TRUE(entry->isAttached()) << c.tag;
        EXPECT_EQ(entry->getViewSize().getTopLeft(), CPoint(std::round(at.x), std::round(at.y)));
        if (c.typed) {
            typeVirtual(frame(), VKEY_BACK);
            typeVirtual(frame(), VKEY_BACK);
            typeVirtual(frame(), VKEY_BACK);
            typeVirtual(frame(), VKEY_BACK);
            typeText(c.typed);
        } else {
            typeKey(frame(), '9');
            typeVirtual(frame(), VKEY_ESCAPE);
        }
        EXPECT_FLOAT_EQ(effect->getParameter(c.tag), c.expected) << (c.typed ? c.typed : "Esc");
        EXPECT_FLOAT_EQ(views().byTag[c.tag]->getValue(), c.expected);
        idle(); // an unchanged text reports nothing; the entry goes all the same
        EXPECT_FALSE(entry->isAttached()) << (c.typed ? c.typed : "Esc");
    }
    // The entry starts with the display's text, a note name without its blank.
    const CPoint at = centreOf(views().noteNum[0]);
    press(frame(), at.x, at.y, kLButton | kDoubleClick);
    EXPECT_STREQ(views().popText->getText(), "C 3");
}

TEST_F(EditorTest, AnAltDragOnANoteMovesTheWholeChordAndAPlainDragOneVoice) {
    setChord(*effect, {60, 64, 67});
    open();
    const CPoint at = centreOf(views().noteNum[0]);
    // 400 pixels span the whole range: 7 up is a little over two semitones.
    press(frame(), at.x, at.y, kLButton | kAlt);
    move(frame(), at.x, at.y - 7, kLButton | kAlt);
    release(frame(), at.x, at.y - 7);
    EXPECT_EQ(noteOf(effect->getParameter(33)), 62);
    EXPECT_EQ(noteOf(effect->getParameter(34)), 66);
    EXPECT_EQ(noteOf(effect->getParameter(35)), 69);
    EXPECT_EQ(views().chordKeyboard->getVoiceNote(2), 69) << "the keyboard shows the new chord";

    press(frame(), at.x, at.y, kLButton);
    move(frame(), at.x, at.y - 7, kLButton);
    release(frame(), at.x, at.y - 7);
    EXPECT_EQ(noteOf(effect->getParameter(33)), 64);
    EXPECT_EQ(noteOf(effect->getParameter(34)), 66) << "the others stay";
}

TEST_F(EditorTest, TheInputModeButtonSendsTheModeItsModifierChooses) {
    struct Case {
        int32_t modifiers;
        float mode;
    };
    open();
    for (const Case& c : {Case{0, 2.0f}, Case{kShift, 1.0f}, Case{kAlt, 3.0f}}) {
        clickAt(centreOf(views().inputMode), kLButton | c.modifiers);
        EXPECT_EQ(effect->getParameter(param::kInputMode), c.mode) << c.modifiers;
        EXPECT_TRUE(views().inputMode->getValue() > 0.5f);
        clickAt(centreOf(views().inputMode)); // and off again
        EXPECT_EQ(effect->getParameter(param::kInputMode), 0.0f);
    }
}

TEST_F(EditorTest, DraggingPatternBOntoECopiesItWholeAndSelectsE) {
    EngineState& st = effect->zandEngine().engine();
    st.patterns[1].rowValue[rowOfLane(kVelocityLane)][3] = 0.25f;
    std::memcpy(st.patterns[1].patternName, "Bee", 4);
    open();
    const MySequenceSelector* selector = views().patternSelector;
    const CRect r = selector->localToFrame(selector->getViewSize());
    const double cell = r.getWidth() / 12, y = r.getCenter().y;
    press(frame(), r.left + cell * 1.5, y, kLButton | kAlt);
    move(frame(), r.left + cell * 4.5, y, kLButton | kAlt);
    release(frame(), r.left + cell * 4.5, y);
    EXPECT_EQ(st.currentPattern, 4);
    for (int row = 0; row < kRowCount; ++row)
        EXPECT_TRUE(std::equal(std::begin(st.patterns[4].rowValue[row]),
                               std::end(st.patterns[4].rowValue[row]),
                               std::begin(st.patterns[1].rowValue[row])))
            << "row " << row;
    EXPECT_STREQ(st.patterns[4].patternName, "Bee");
    EXPECT_EQ(host.automated.back(), (std::pair<int32_t, float>{3, 4 / 12.0f}));
    EXPECT_TRUE(selector->getMark(4)) << "E is in use now";
}

TEST_F(EditorTest, DrawingABarChangesThatStepOnlyToTheLastBit) {
    EngineState& st = effect->zandEngine().engine();
    // Values between pixels, as random lanes and old presets leave them.
    for (int row = 0; row < kRowCount; ++row)
        for (int s = 0; s < kStepCount; ++s)
            st.patterns[0].rowValue[row][s] = 0.0123f + 0.0577f * s + 0.001f * row;
    st.patterns[0].rowValue[rowOfLane(kScaleLane)][9] = 1.0f / 25;
    const ArpPattern before = st.patterns[0];
    open();
    const MyCKickstepseq* seq = views().stepSequencer;
    const CRect r = seq->localToFrame(seq->getViewSize());
    const double x = r.left + seq->getStepWidth() * 5.5;
    press(frame(), x, r.top + 100, kLButton);
    move(frame(), x, r.top + 60, kLButton);
    release(frame(), x, r.top + 60);
    const ArpPattern& after = st.patterns[0];
    for (int s = 0; s < kStepCount; ++s) {
        bool same = after.stepOn[s] == before.stepOn[s] && after.stepKind[s] == before.stepKind[s];
        for (int row = 0; row < kRowCount; ++row)
            same = same && std::bit_cast<uint32_t>(after.rowValue[row][s]) ==
                               std::bit_cast<uint32_t>(before.rowValue[row][s]);
        EXPECT_EQ(same, s != 5) << "step " << s;
    }
    EXPECT_NEAR(after.rowValue[0][5], 148 / 208.0f, 14 / 208.0f) << "where the pointer let go";
}

TEST_F(EditorTest, TheStepSequencersSwitchesAndLoopStripReachTheEngine) {
    open();
    const MyCKickstepseq* seq = views().stepSequencer;
    const CRect r = seq->localToFrame(seq->getViewSize());
    const double w = seq->getStepWidth();
    const double switches = r.top + seq->getBarAreaHeight() + 7;
    // A drag along the switches clears them all as the first one went.
    press(frame(), r.left + w * 2.5, switches);
    for (int s = 3; s < 6; ++s) move(frame(), r.left + w * (s + 0.5), switches);
    release(frame(), r.left + w * 5.5, switches);
    for (int s = 0; s < 8; ++s)
        EXPECT_EQ(effect->getParameter(param::kStepOnFirst + s), s >= 2 && s <= 5 ? 0.0f : 1.0f);
    EXPECT_FALSE(seq->getStepSwitch(4));
    // The loop strip: the start dragged to step 4, then the end to step 11.
    const double loop = r.bottom - 4;
    press(frame(), r.left + w * 0.2, loop);
    move(frame(), r.left + w * 4.2, loop);
    release(frame(), r.left + w * 4.2, loop);
    EXPECT_EQ(effect->getParameter(param::kLaneStartKeepEnd), 4 / 16.0f);
    EXPECT_EQ(seq->getLoopStart(), 4);
    press(frame(), r.left + w * 15.8, loop);
    move(frame(), r.left + w * 11.8, loop);
    release(frame(), r.left + w * 11.8, loop);
    EXPECT_EQ(seq->getLoopStart() + seq->getLength(), 12);
    // Shift+Ctrl rotates the steps left, once a press.
    parameters.applied.clear();
    press(frame(), r.left + w * 8, r.top + 50, kLButton | kShift | kControl);
    move(frame(), r.left + w * 9, r.top + 50, kLButton | kShift | kControl);
    release(frame(), r.left + w * 9, r.top + 50);
    EXPECT_TRUE(parameters.contains(param::kPatternChanged, 266.0f));
    EXPECT_EQ(effect->getParameter(param::kStepOnFirst + 1), 0.0f) << "step 2's switch moved to 1";
}

TEST_F(EditorTest, TheChordKeyboardEditsSelectsAndAuditions) {
    effect->setParameter(param::kArpOn, 0.0f); // chord notes go straight out
    setChord(*effect, {60, 64, 67});
    open();
    PianoKeys* keys = views().chordKeyboard;
    auto keyPoint = [&](int note, bool upper) {
        KeyZones z;
        EXPECT_TRUE(keys->zonesOf(note, z));
        const CRect& zone = upper || z.lower.isEmpty() ? z.upper : z.lower;
        return keys->localToFrame(CPoint(zone.getCenter().x, zone.bottom - 3));
    };
    // The grabbed E goes to F.
    CPoint from = keyPoint(64, false), to = keyPoint(65, false);
    press(frame(), from.x, from.y);
    move(frame(), to.x, to.y);
    release(frame(), to.x, to.y);
    EXPECT_FLOAT_EQ(effect->getParameter(34), 65 * kNote);
    // Alt picks the current key.
    const CPoint d = keyPoint(62, false);
    clickAt(d, kLButton | kAlt);
    EXPECT_EQ(effect->getParameter(param::kCurrentKey), 62 * kNote);
    effect->setParameter(param::kCurrentKey, 60 * kNote);
    // Shift plays the current chord while held; the host hears it.
    host.midiOut.clear();
    press(frame(), to.x, to.y, kLButton | kShift);
    runBlocks(1);
    std::vector<int> on;
    for (const auto& e : host.midiOut)
        if ((e[0] & 0xF0) == 0x90 && e[2] > 0) on.push_back(e[1]);
    EXPECT_EQ(on, (std::vector<int>{60, 65, 67}));
    release(frame(), to.x, to.y);
    runBlocks(1);
    int off = 0;
    for (const auto& e : host.midiOut)
        off += (e[0] & 0xF0) == 0x80 || ((e[0] & 0xF0) == 0x90 && e[2] == 0);
    EXPECT_EQ(off, 3);
}

TEST_F(EditorTest, ButtonsSendTheirCommandsAndAltReachesEveryPattern) {
    open();
    using Get = CControl* (*)(const EditorViews&);
    struct Case {
        Get control;
        int32_t modifiers;
        int32_t index;
        float value;
    };
    const Case cases[] = {
        {[](const EditorViews& v) -> CControl* { return v.randomNotes; }, 0, 74, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.snapshot; }, 0, 86, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.restoreSnapshot; }, 0, 87, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.patternCopy; }, 0, 111, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.patternCopy; }, kAlt, 111, 2.0f},
        {[](const EditorViews& v) -> CControl* { return v.patternPaste; }, 0, 112, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.randomizeLane; }, 0, 113, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.latch; }, 0, 30, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.playedKeys; }, 0, 149, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.linkLanes; }, 0, 120, 1.0f},
        {[](const EditorViews& v) -> CControl* { return v.chordStep; }, kAlt, 121, 11.0f},
        {[](const EditorViews& v) -> CControl* { return v.restartOnKey; }, kAlt, 122, 11.0f},
        {[](const EditorViews& v) -> CControl* { return v.arpKeyboard; }, 0, 4, 1 / 3.0f},
    };
    for (const Case& c : cases) {
        parameters.applied.clear();
        CControl* control = c.control(views());
        CPoint at = centreOf(control);
        if (control == views().arpKeyboard) { // the C key's lower part
            const CRect r = control->localToFrame(control->getViewSize());
            at = CPoint(r.left + 4, r.bottom - 5);
        }
        clickAt(at, kLButton | c.modifiers);
        EXPECT_TRUE(parameters.contains(c.index, c.value)) << c.index << " " << c.value;
    }
    EXPECT_EQ(effect->zandEngine().engine().patterns[7].chordStep, 1) << "Alt: every pattern";
    EXPECT_EQ(host.automated.back(), (std::pair<int32_t, float>{4, 1 / 3.0f}));
    EXPECT_EQ(host.gestures.back(), "end 4");

    // The octave button shows the lowest two octaves; the scale degrees
    // are written into the pattern.
    clickAt(centreOf(views().octaveShift));
    EXPECT_EQ(views().chordKeyboard->getKeyboardOffset(), 0);
    effect->setParameter(param::kCurrentLane, 3 / 7.0f);
    CMultiOnOffButton* degrees = views().scaleDegrees;
    const CRect r = degrees->localToFrame(degrees->getViewSize());
    clickAt(CPoint(r.left + degrees->getCellWidth() * 6.5, r.getCenter().y));
    EXPECT_EQ(effect->zandEngine().engine().patterns[0].scaleDegreeOn[6], 1);
}
