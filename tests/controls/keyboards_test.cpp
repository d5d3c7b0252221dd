#include "arp_pno_keys.h"
#include "gui_test_support.h"
#include "piano_keys.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct KeyReport {
    int key;
    int voice;
    int32_t buttons;
    bool select;
    bool clear;
    bool operator==(const KeyReport&) const = default;
};

std::ostream& operator<<(std::ostream& os, const KeyReport& r) {
    return os << "{" << r.key << ", " << r.voice << ", " << r.buttons << ", " << r.select << ", "
              << r.clear << "}";
}

struct KeyListener : IControlListener {
    std::vector<KeyReport> reports;
    void valueChanged(CControl* c) override {
        auto* k = static_cast<PianoKeys*>(c);
        reports.push_back({k->getHoveredKey(), k->getGrabbedVoice(), k->getButtons(),
                           k->getSelectFlag(), k->getClearFlag()});
    }
};

// The chord C 3, E 3, G 3 in voices 0..2 on the start keyboard (offset -24).
struct ChordKeyboard : ::testing::Test {
    CFrame* frame = new CFrame(CRect(0, 0, 600, 100), nullptr);
    KeyListener listener;
    PianoKeys* keys = new PianoKeys(CRect(10, 20, 571, 80), &listener, 73, 1.f);
    ChordKeyboard() {
        keys->setOctaveWidth(70, 60);
        for (int v = 0; v < 3; ++v)
            keys->setVoiceNote(v, static_cast<float>(60 + (v == 0 ? 0 : v == 1 ? 4 : 7)) / 128);
        frame->addView(keys);
    }
    ~ChordKeyboard() override { frame->forget(); }

    // A point on a key: in its lower zone (white keys) or low in its upper
    // zone ('k'), in the top strip above it ('t') or just under the strip
    // ('u').
    CPoint on(int note, char where = 'k') const {
        KeyZones z;
        keys->zonesOf(note, z);
        CPoint p = z.lower.isEmpty() ? CPoint(z.upper.getCenter().x, z.upper.bottom - 4)
                                     : z.lower.getCenter();
        if (where == 't') p.y = keys->getViewSize().top + 4;
        if (where == 'u') p = CPoint(z.upper.getCenter().x, keys->getViewSize().top + 11);
        return p;
    }
};
} // namespace

TEST_F(ChordKeyboard, EachGestureReportsWhatTheEditorActsOn) {
    struct Event {
        char kind; // p press, m move, r release
        int note;
        char where;
        int32_t buttons;
    };
    struct Row {
        const char* gesture;
        std::vector<Event> events;
        std::vector<KeyReport> reports;
    };
    const int32_t L = kLButton, S = kShift, C = kControl, A = kAlt, D = kDoubleClick;
    const Row rows[] = {
        {"top strip selects keys, grabbing no voice",
         {{'p', 64, 't', L}, {'m', 67, 't', L}, {'r', 67, 't', 0}},
         {{64, -1, L, true, false}, {67, -1, L, true, false}}},
        {"Shift reports at once with the clear flag, and again at release",
         {{'p', 50, 'k', L | S}, {'m', 52, 'k', L | S}, {'r', 52, 'k', 0}},
         {{-1, -1, L | S, false, true}, {-1, -1, 0, false, false}}},
        {"Shift+Alt goes on as a Left+Alt drag",
         {{'p', 50, 'k', L | S | A}, {'m', 52, 'k', L | S | A}, {'r', 52, 'k', 0}},
         {{50, -1, L | A, false, true}, {52, -1, L | A, false, true}, {-1, -1, 0, false, false}}},
        {"Alt-drag selects keys",
         {{'p', 50, 'k', L | A}, {'m', 52, 'k', L | A}, {'r', 52, 'k', 0}},
         {{50, -1, L | A, false, false}, {52, -1, L | A, false, false}}},
        {"Ctrl-click on a chord note reports the offset for its voice",
         {{'p', 64, 'k', L | C}, {'m', 65, 'k', L | C}, {'r', 65, 'k', 0}},
         {{-24, 1, L | C, false, false}}},
        {"a press on a voice grabs it and a drag moves its note",
         {{'p', 67, 'k', L}, {'m', 69, 'k', L}, {'m', 69, 'k', L}, {'r', 69, 'k', 0}},
         {{67, 2, L, false, false}, {69, 2, L, false, false}}},
        {"just under the top strip a chord note is grabbed",
         {{'p', 64, 'u', L}, {'r', 64, 'u', 0}},
         {{64, 1, L, false, false}}},
        {"a click on a free key reports nothing",
         {{'p', 50, 'k', L}, {'m', 52, 'k', L}, {'r', 52, 'k', 0}},
         {}},
        {"a double click on a chord note reports nothing beyond its first click",
         {{'p', 64, 'k', L}, {'r', 64, 'k', 0}, {'p', 64, 'k', L | D}, {'r', 64, 'k', 0}},
         {{64, 1, L, false, false}}},
        {"a double click on a free key fills the first free voice",
         {{'p', 50, 'k', L}, {'r', 50, 'k', 0}, {'p', 50, 'k', L | D}, {'r', 50, 'k', 0}},
         {{50, 3, L, false, false}}},
    };
    for (const Row& row : rows) {
        listener.reports.clear();
        for (const Event& e : row.events) {
            CPoint p = on(e.note, e.where);
            if (e.kind == 'p') press(frame, p.x, p.y, e.buttons);
            if (e.kind == 'm') move(frame, p.x, p.y, e.buttons);
            if (e.kind == 'r') release(frame, p.x, p.y, e.buttons);
        }
        EXPECT_EQ(listener.reports, row.reports) << row.gesture;
        EXPECT_FALSE(keys->isEditing()) << row.gesture;
    }
}

TEST_F(ChordKeyboard, TheHeldKeyIsFramedInGreen) {
    CPoint p = on(69);
    press(frame, p.x, p.y);
    frame->redrawAll();
    EXPECT_NE(pixelAt(frame, static_cast<int>(p.x), static_cast<int>(p.y)), kGreenCColor);
    p = on(67);
    press(frame, p.x, p.y);
    frame->redrawAll();
    KeyZones z;
    keys->zonesOf(67, z);
    EXPECT_EQ(pixelAt(frame, static_cast<int>(z.lower.left), static_cast<int>(p.y)), kGreenCColor);
    release(frame, p.x, p.y);
    frame->redrawAll();
    EXPECT_NE(pixelAt(frame, static_cast<int>(z.lower.left), static_cast<int>(p.y)), kGreenCColor);
}

TEST(ArpKeyboard, FourClicksReturnAKeyToNoRuleAndAClickBetweenKeysReportsNothing) {
    CFrame* frame = new CFrame(CRect(0, 0, 100, 60), nullptr);
    struct RuleListener : IControlListener {
        std::vector<int> rules;
        void valueChanged(CControl* c) override {
            auto* k = static_cast<ArpPnoKeys*>(c);
            rules.push_back(k->getHoveredKey() * 10 + k->getRule(k->getHoveredKey()));
        }
    } listener;
    auto* keys = new ArpPnoKeys(CRect(10, 10, 79, 53), &listener, 97, 1.f);
    frame->addView(keys);
    for (int i = 0; i < 4; ++i) click(frame, 10 + 8, 10 + 15); // C#, in its upper zone
    EXPECT_EQ(listener.rules, (std::vector<int>{11, 12, 13, 10}));
    click(frame, 10 + 9.5, 10 + 35); // between the lower zones of C and D
    click(frame, 10 + 8, 10 + 15, kRButton);
    EXPECT_EQ(listener.rules.size(), 4u);
    EXPECT_EQ(keys->getRule(0) + keys->getRule(2), 0);
    frame->forget();
}
