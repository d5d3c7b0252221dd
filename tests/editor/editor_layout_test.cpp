// The window's size, where every view stands and what it shows, at 100 %
// and 200 %.
#include "arp_pno_keys.h"
#include "canim_knob.h"
#include "cbitmap.h"
#include "ccontrol.h"
#include "chorizontal_switch.h"
#include "ckick_button.h"
#include "cmulti_on_off_button.h"
#include "con_off_button.h"
#include "coption_menu.h"
#include "cparam_display2.h"
#include "ctext_edit.h"
#include "ctext_label.h"
#include "curl_splash_screen.h"
#include "editor_fixture.h"
#include "gui_test_support.h"
#include "mosk_dialog.h"
#include "my_ckickstepseq.h"
#include "my_coption_menu.h"
#include "my_drag_button.h"
#include "my_sequence_selector.h"
#include "parameter_indices.h"
#include "piano_keys.h"
#include "pop_text.h"

namespace {
CColor bitmapPixel(int32_t id, int x, int y) {
    CBitmap bitmap(id);
    cairo_surface_t* s = bitmap.getSurface();
    const unsigned char* data = cairo_image_surface_get_data(s);
    const uint32_t p =
        *reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(s) + x * 4);
    return CColor{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                  static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)};
}

// Views and where they stand at 100 %: frame coordinates for the header,
// container coordinates for the sections' views.
struct Placement {
    const char* name;
    const CView* view;
    int32_t tag; // -1: no control tag to check
    CRect at100;
};

std::vector<Placement> placements(const EditorViews& v) {
    std::vector<Placement> list = {
        {"about screen", v.about, 92, {346, 2, 550, 34}},
        {"Chords ON", v.chordsOn, 16, {93, 10, 148, 28}},
        {"Arp ON", v.arpOn, 17, {168, 10, 223, 28}},
        {"options menu", v.options, 106, {540, 0, 592, 35}},
        {"message dialog", v.messageDialog, 147, {12, 12, 581, 567}},
        {"Transpose", v.transpose, 0, {303, 14, 329, 26}},
        {"preview", v.preview, 104, {10, 9, 30, 29}},
        {"latch", v.latch, 30, {47, 9, 67, 29}},
        {"arpeggiator section", v.arpSection, -1, {0, 37, 593, 391}},
        {"chord section", v.chordSection, -1, {0, 392, 593, 580}},
        {"text pop-up", v.popText, 151, {1, 1, 9, 9}},
        {"current key", v.currentKey, 84, {84, 95, 124, 107}},
        {"chord name", v.chordName, -1, {41, 14, 128, 26}},
        {"drag-out", v.dragOut, 152, {0, 24, 58, 119}},
        {"chord menu", v.chordMenu, 79, {123, 8, 181, 32}},
        {"input mode", v.inputMode, 75, {181, 8, 239, 32}},
        {"snapshot", v.snapshot, 86, {239, 8, 297, 32}},
        {"restore snapshot", v.restoreSnapshot, 87, {297, 8, 355, 32}},
        {"random notes", v.randomNotes, 74, {355, 8, 413, 32}},
        {"chord preset previous", v.chordPrevious, 77, {525, 11, 543, 26}},
        {"chord preset next", v.chordNext, 76, {545, 11, 563, 26}},
        {"chord save", v.chordSave, 108, {565, 11, 583, 26}},
        {"chord keyboard", v.chordKeyboard, 73, {29, 125, 590, 185}},
        {"octave shift", v.octaveShift, 89, {5, 125, 28, 183}},
        {"played keys", v.playedKeys, 149, {100, 70, 118, 84}},
        {"chord preset menu", v.chordPresetMenu, 78, {415, 13, 523, 27}},
        {"step sequencer", v.stepSequencer, 123, {8, 27, 585, 260}},
        {"lane selector", v.laneSelector, 129, {8, 9, 583, 26}},
        {"scale degrees", v.scaleDegrees, 118, {8, 276, 148, 293}},
        {"lane divider", v.laneDivider, 119, {123, 310, 149, 322}},
        {"pattern selector", v.patternSelector, 3, {163, 275, 403, 292}},
        {"restart on key", v.restartOnKey, 122, {156, 329, 211, 347}},
        {"link lanes", v.linkLanes, 120, {215, 329, 270, 347}},
        {"chord step", v.chordStep, 121, {308, 329, 363, 347}},
        {"pattern name", v.patternName, 128, {162, 306, 367, 324}},
        {"Rate", v.rate, 96, {376, 302, 404, 333}},
        {"rate text", v.rateText, -1, {362, 332, 410, 344}},
        {"pattern copy", v.patternCopy, 111, {8, 304, 42, 321}},
        {"pattern paste", v.patternPaste, 112, {42, 304, 76, 321}},
        {"randomize lane", v.randomizeLane, 113, {76, 304, 110, 321}},
        {"Swing", v.swing, 1, {428, 302, 456, 333}},
        {"Gate", v.gate, 2, {468, 302, 496, 333}},
        {"arp preset previous", v.arpPrevious, 101, {525, 277, 543, 292}},
        {"arp preset next", v.arpNext, 100, {545, 277, 563, 292}},
        {"arp save", v.arpSave, 107, {565, 277, 583, 292}},
        {"arp keyboard", v.arpKeyboard, 97, {514, 302, 583, 345}},
        {"arp chord name", v.arpChordName, -1, {14, 332, 104, 344}},
        {"arp preset menu", v.arpPresetMenu, 102, {416, 278, 522, 292}},
    };
    for (int i = 0; i < 8; ++i) {
        const double left = 139 + 58 * i;
        list.push_back({"Lock", v.lock[i], 49 + i, {155.0 + 58 * i, 39, 174.0 + 58 * i, 61}});
        list.push_back({"NoteNum", v.noteNum[i], 33 + i, {left, 70, left + 30, 82}});
        list.push_back({"NoteVel", v.noteVel[i], 41 + i, {left, 94, left + 30, 106}});
    }
    return list;
}
} // namespace

TEST_F(EditorTest, TheWindowSizeFollowsTheShownSectionsAndTheScaleBeforeAndAfterOpening) {
    struct Case {
        float chords, arp, scale;
        int32_t width, height;
    };
    const Case cases[] = {{1, 1, 0.0f, 593, 579}, {0, 1, 0.0f, 593, 391},   {1, 0, 0.0f, 593, 225},
                          {0, 0, 0.0f, 593, 37},  {1, 1, 0.5f, 1186, 1158}, {0, 0, 1.0f, 1186, 74}};
    for (const Case& c : cases) {
        effect->setParameter(param::kChordsOn, c.chords);
        effect->setParameter(param::kArpOn, c.arp);
        effect->setParameter(param::kEditorScale, c.scale);
        EXPECT_EQ(rect(), (EditorRect{0, 0, c.height, c.width})) << c.chords << c.arp << c.scale;
        open();
        EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, c.width, c.height));
        close();
    }
}

TEST_F(EditorTest, EveryViewStandsAtItsPlaceWithItsTagAtBothScales) {
    for (float scaleValue : {0.0f, 0.5f}) {
        effect->setParameter(param::kEditorScale, scaleValue);
        effect->setParameter(param::kCurrentLane, 3 / 7.0f); // shows the scale-degree button
        open();
        const double s = gui->getGuiScale();
        for (const Placement& p : placements(views())) {
            ASSERT_NE(p.view, nullptr) << p.name;
            const CRect& r = p.at100;
            EXPECT_EQ(p.view->getViewSize(),
                      CRect(r.left * s, r.top * s, r.right * s, r.bottom * s))
                << p.name << " at scale " << s;
            if (p.tag >= 0) {
                EXPECT_EQ(static_cast<const CControl*>(p.view)->getTag(), p.tag) << p.name;
            }
        }
        EXPECT_EQ(views().chordsOn->getMouseableArea(), CRect(82 * s, 11 * s, 152 * s, 72 * s));
        EXPECT_EQ(views().arpOn->getMouseableArea(), CRect(156 * s, 11 * s, 222 * s, 31 * s));
        EXPECT_TRUE(views().scaleDegrees->isAttached());
        EXPECT_FALSE(views().popText->isAttached());
        EXPECT_FALSE(views().messageDialog->isAttached());
        close();
    }
}

TEST_F(EditorTest, TheBuildOrderIsTheDrawingOrderAndHiddenSectionsStayDetached) {
    open();
    const EditorViews& v = views();
    const std::vector<const CView*> order = {v.about,   v.chordsOn,   v.arpOn,
                                             v.options, v.transpose,  v.preview,
                                             v.latch,   v.arpSection, v.chordSection};
    ASSERT_EQ(frame()->getNbViews(), static_cast<int32_t>(order.size()));
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(frame()->getView(int32_t(i)), order[i]) << i;

    // Without the arpeggiator the chord section moves up; its views keep
    // their places inside it.
    clickAt(CPoint(190, 19)); // Arp ON
    idle();
    EXPECT_FALSE(views().arpSection->isAttached());
    EXPECT_EQ(views().chordSection->getViewSize(), CRect(0, 37, 593, 225));
    EXPECT_EQ(views().chordMenu->getViewSize(), CRect(123, 8, 181, 32));
}

TEST_F(EditorTest, TheWindowShowsTheBitmapsOfItsScale) {
    effect->setParameter(param::kCurrentLane, 2 / 7.0f);
    for (int32_t s : {1, 2}) {
        effect->setParameter(param::kEditorScale, s == 2 ? 1.0f : 0.0f);
        open();
        frame()->redrawAll();
        const int32_t offset = s == 2 ? 20000 : 0;
        // frame point, bitmap, point in the bitmap (all at 100 %)
        struct Spot {
            int x, y, id, bx, by;
        };
        const Spot spots[] = {
            {455, 12, 128, 455, 12},           // the header's name
            {590, 137, 135, 590, 100},         // the arpeggiator section's margin
            {590, 560, 136, 590, 168},         // the chord section's margin
            {176, 19, 1130, 8, 9 + 18},        // Arp ON's lamp, lit
            {100, 55, 143, 92, 9 + 2 * 17},    // the lane selector on lane 2
            {390, 357, 129, 14, 20 + 31 * 68}, // the Rate knob at 0.58
        };
        for (const Spot& p : spots) {
            const CColor expected = bitmapPixel(p.id + offset, p.bx * s, p.by * s);
            ASSERT_EQ(expected.alpha, 255) << p.id << ": choose an opaque spot";
            EXPECT_EQ(pixelAt(frame(), p.x * s, p.y * s), expected) << p.id << " at scale " << s;
        }
        close();
    }
}
