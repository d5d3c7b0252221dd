// The views of the window, where they stand, with which bitmaps, tags and
// first values. Every build creates them anew; the build order is the
// drawing order (later views on top).
#include "arp_pno_keys.h"
#include "canim_knob.h"
#include "cbitmap.h"
#include "chorizontal_switch.h"
#include "ckick_button.h"
#include "cmulti_on_off_button.h"
#include "con_off_button.h"
#include "coption_menu.h"
#include "cparam_display2.h"
#include "ctext_edit.h"
#include "ctext_label.h"
#include "curl_splash_screen.h"
#include "mosk_dialog.h"
#include "my_ckickstepseq.h"
#include "my_coption_menu.h"
#include "my_drag_button.h"
#include "my_sequence_selector.h"
#include "parameter_indices.h"
#include "piano_keys.h"
#include "pop_text.h"
#include "zandrel_gui.h"

#include <algorithm>
#include <cstring>

namespace {
// Views without bitmaps: transparent backs; the chord names are black on
// the light panels the backgrounds give them.
const CColor kTransparent{255, 255, 255, 0};
const CColor kChordNameText{0, 0, 0, 255};
const CColor kLabelText{226, 232, 240, 255};
const CColor kFieldBack{14, 16, 20, 255};
const CColor kFieldFrame{70, 76, 90, 255};
// The preset menus' titles: dark text on the light panels behind them.
const CColor kPresetMenuText{34, 34, 34, 255};
const CColor kPresetMenuShadow{31, 31, 31, 38};

void styleLabel(CParamDisplay* label, CColor text, double scale) {
    label->setBackColor(kTransparent);
    label->setStyle(kNoFrame);
    label->setFontColor(text);
    label->setFont(CFontDesc{"Liberation Sans", 10 * scale, kBoldFace});
}

const char* const kSortEntries[] = {"Sort by Low Note (absolute) ",
                                    "Sort by Low Note (pitch class) ",
                                    "Sort by High Note ",
                                    "Sort by Number of Notes ",
                                    "Sort by Hindemith (chromatic) ",
                                    "Sort by Hindemith (circle of 5ths) "};
const char* const kRemoveEntries[] = {"Duplicate Chords",
                                      "One-Note Chords",
                                      "Two-Note Chords",
                                      "Three-Note Chords",
                                      "Unwatched Chords & Collapse locations",
                                      "Unwatched Chords & Preserve locations"};
const char* const kTransformEntries[] = {"Make Major chords Minor ",
                                         "Make Minor chords Major ",
                                         "Make all chords Suspended ",
                                         "Add Root to all: 1 Oct down",
                                         "Add Root to all: 2 Oct down",
                                         "By Arp Note-Prevent Rules",
                                         "By Selected Chord Notes Only",
                                         "Move Chord slots to begin here ",
                                         "Populate empty slots with Variations"};
const char* const kChordFileEntries[] = {"Save Preset (Chords+Arp)", "Save Chords Preset",
                                         "Save Arp Preset", "Save CSV file of Chords",
                                         "Import MIDI File"};
const char* const kSongOptionEntries[] = {"Xmit Chords to Ch 2 also", "Xmit Voices to Ch 3-11"};
} // namespace

CRect ZandrelGUI::scaled(double left, double top, double right, double bottom) const {
    const double s = guiScaleF;
    return CRect(R(s * left), R(s * top), R(s * right), R(s * bottom));
}

CRect ZandrelGUI::scaledWithBitmap(double left, double top, CBitmap* bitmap, int32_t states) const {
    const double s = guiScaleF;
    return CRect(CPoint(R(s * left), R(s * top)), bitmap->getWidth(), bitmap->getHeight() / states);
}

CParamDisplay2* ZandrelGUI::valueDisplay(const CRect& r, int32_t tag, int32_t style,
                                         float defaultValue) {
    // The backgrounds carry the dark panels the displays' text stands on.
    auto* d = new CParamDisplay2(r, this, tag, nullptr, kNoFrame, guiScaleF);
    d->setDisplayStyle(style);
    d->setBackColor(kTransparent);
    d->setDefaultValue(defaultValue);
    d->setValue(parameter(tag));
    return d;
}

void ZandrelGUI::addKickButtons(CViewContainer* section, std::initializer_list<KickPlace> places) {
    for (const KickPlace& k : places) {
        *k.view = new CKickButton(scaled(k.left, k.top, k.right, k.bottom), this, k.tag,
                                  bitmaps[k.bitmap]);
        section->addView(*k.view);
    }
}

MyCOptionMenu* ZandrelGUI::presetMenuView(const CRect& r, int32_t tag, const char* first,
                                          const char* second) {
    auto* menu = new MyCOptionMenu(r, this, tag);
    menu->setTitle("Zandrel"); // the preset's name replaces it at once
    menu->setFont(CFontDesc{"Liberation Sans", 10 * guiScaleF, kNormalFace});
    menu->setFontColor(kPresetMenuText);
    menu->setShadowColor(kPresetMenuShadow);
    menu->setBackColor(kTransparent);
    menu->setFrameColor(kTransparent);
    menu->setPopupScale(guiScaleF);
    // Stand-ins until the presets folder has been read.
    menu->addEntry(first);
    menu->addEntry(second);
    return menu;
}

void ZandrelGUI::buildControls() {
    buildHeader();
    buildChordSection();
    buildArpSection();
    if (arpShown) frame->addView(views.arpSection);
    if (chordsShown) frame->addView(views.chordSection);
    views.popText = new PopText(scaled(1, 1, 9, 9), this, 151);
    views.popText->setFont(CFontDesc{"Liberation Sans", 10 * guiScaleF, kNormalFace});
}

void ZandrelGUI::buildHeader() {
    const double s = guiScaleF;
    CBitmap* b;
    views.about = new CURLSplashScreen(
        scaled(346, 2, 550, 34), this, 92, aboutBitmap,
        CRect(R(10 * s), R(10 * s), aboutBitmap->getWidth(), aboutBitmap->getHeight() - R(10 * s)),
        CPoint(R(10 * s), 0), guiScaleF);
    views.about->setVerticalOffset(R(12 * s));
    views.about->setLinkAction([this] { openInDesktop(manualPath()); });
    frame->addView(views.about);

    b = bitmaps[1130];
    views.chordsOn = new COnOffButton(scaledWithBitmap(93, 10, b, 2), this, param::kChordsOn, b);
    views.chordsOn->setMouseableArea(scaled(82, 11, 152, 72));
    views.chordsOn->setValue(parameter(param::kChordsOn) != 0.0f ? 1.0f : 0.0f);
    frame->addView(views.chordsOn);
    views.arpOn = new COnOffButton(scaledWithBitmap(168, 10, b, 2), this, param::kArpOn, b);
    views.arpOn->setMouseableArea(scaled(156, 11, 222, 31));
    views.arpOn->setValue(parameter(param::kArpOn) != 0.0f ? 1.0f : 0.0f);
    frame->addView(views.arpOn);

    // The options menu draws nothing itself: its label is on the background.
    views.options = new COptionMenu(scaled(540, 0, 592, 35), this, 106);
    views.options->setBackColor(kTransparent);
    views.options->setStyle(kNoTextStyle | kNoFrame);
    views.options->setPopupScale(s);
    buildOptionsMenu();
    frame->addView(views.options);

    const CRect whole = frame->getViewSize();
    // Kept detached until the editor has something to say.
    views.messageDialog = new moskDialog(
        CRect(R(12 * s), R(12 * s), whole.right - R(12 * s), whole.bottom - R(12 * s)), this, 147,
        guiScaleF);
    views.messageDialog->setButtonLayout(1);

    views.transpose =
        valueDisplay(scaled(303, 14, 329, 26), param::kTranspose, CParamDisplay2::kTranspose, 0.5f);
    frame->addView(views.transpose);

    b = bitmaps[146];
    views.preview = new COnOffButton(scaledWithBitmap(10, 9, b, 2), this, param::kPreviewOn, b);
    views.preview->setValue(parameter(param::kPreviewOn));
    frame->addView(views.preview);
    b = bitmaps[150];
    views.latch = new COnOffButton(scaledWithBitmap(47, 9, b, 2), this, param::kMidiLatch, b);
    views.latch->setValue(parameter(param::kMidiLatch));
    frame->addView(views.latch);

    views.arpSection = new CViewContainer(scaled(0, 37, 593, 391));
    views.arpSection->setBackground(bitmaps[135]);
    const double chordTop = arpShown ? 392 : 37;
    views.chordSection = new CViewContainer(scaled(0, chordTop, 593, chordTop + 188));
    views.chordSection->setBackground(bitmaps[136]);
}

void ZandrelGUI::buildOptionsMenu() {
    COptionMenu* m = views.options;
    m->removeAllEntry();
    m->addEntry(kSize100);
    m->addEntry(kSize200);
    m->checkEntry(guiScale - 1, true);
    m->addSeparator();
    if (arpShown) {
        m->addEntry(kArpRateFree);
        m->checkEntry(3, parameter(param::kArpFreeRate) != 0.0f);
    }
    m->addEntry(kShowPresetsFolder);
    m->addEntry(kReadManual);
}

void ZandrelGUI::buildChordMenu() {
    auto submenu = [this](int32_t tag, const char* const* entries, size_t count) {
        auto* menu = new COptionMenu(CRect(), this, tag);
        for (size_t i = 0; i < count; ++i) menu->addEntry(entries[i]);
        return menu;
    };
    COptionMenu* m = views.chordMenu;
    m->addEntry(submenu(param::kSortChords, kSortEntries, std::size(kSortEntries)), "Sort");
    m->addEntry(submenu(param::kRemoveChords, kRemoveEntries, std::size(kRemoveEntries)), "Remove");
    m->addEntry(submenu(param::kTransformChords, kTransformEntries, std::size(kTransformEntries)),
                "Transform");
    m->addSeparator();
    for (const char* entry : kChordFileEntries) m->addEntry(entry);
    views.songOptions =
        submenu(param::kRoutingOptions, kSongOptionEntries, std::size(kSongOptionEntries));
    setSongOptionChecks();
    if (engine.engine().hostIsLive) {
        // That host has its own routing: no "Song Options" there.
        views.songOptions->forget();
        views.songOptions = nullptr;
    } else {
        m->addEntry(views.songOptions, "Song Options");
    }
}

void ZandrelGUI::buildChordSection() {
    CViewContainer* section = views.chordSection;
    const double s = guiScaleF;
    CBitmap* b;

    views.currentKey =
        valueDisplay(scaled(84, 95, 124, 107), param::kCurrentKey, CParamDisplay2::kNoteName, 0);
    section->addView(views.currentKey);

    b = bitmaps[1129];
    for (int32_t i = 0; i < 8; ++i) {
        const int32_t tag = param::kLockFirst + i;
        views.lock[i] = new COnOffButton(scaledWithBitmap(155 + 58 * i, 39, b, 2), this, tag, b);
        views.lock[i]->setValue(parameter(tag));
        views.byTag[tag] = views.lock[i];
        section->addView(views.lock[i]);
    }
    for (int32_t row = 0; row < 2; ++row) {
        for (int32_t i = 0; i < 8; ++i) {
            const double left = R(s * (139 + 58 * i));
            const int32_t tag = (row ? param::kNoteVelFirst : param::kNoteNumFirst) + i;
            const double top = R(s * (row ? 94 : 70));
            CParamDisplay2* d = valueDisplay(
                CRect(left, top, left + R(30 * s), top + R(12 * s)), tag,
                row ? CParamDisplay2::kVelocity : CParamDisplay2::kNoteOrDash, row ? 0.5f : 0.0f);
            (row ? views.noteVel : views.noteNum)[i] = d;
            views.byTag[tag] = d;
            section->addView(d);
        }
    }

    views.chordName = new CTextLabel(scaled(41, 14, 128, 26), "        ");
    styleLabel(views.chordName, kChordNameText, s);
    section->addView(views.chordName);

    // Its face is on the section's background.
    views.dragOut = new MyDragButton(scaled(0, 24, 58, 119), this, 152, nullptr);
    views.dragOut->setDrawsOwnFace(false);
    section->addView(views.dragOut);

    views.chordMenu = new COptionMenu(scaled(123, 8, 181, 32), this, 79, bitmaps[1137]);
    views.chordMenu->setPopupScale(s);
    buildChordMenu();
    section->addView(views.chordMenu);

    b = bitmaps[1138];
    views.inputMode = new COnOffButton(scaled(181, 8, 239, 32), this, param::kInputMode, b);
    views.inputMode->setValue(parameter(param::kInputMode));
    section->addView(views.inputMode);
    addKickButtons(section,
                   {
                       {&views.snapshot, param::kSnapshot, 1139, 239, 8, 297, 32},
                       {&views.restoreSnapshot, param::kRestoreSnapshot, 1140, 297, 8, 355, 32},
                       {&views.randomNotes, param::kRandomNotes, 1141, 355, 8, 413, 32},
                       {&views.chordPrevious, 77, 1131, 525, 11, 543, 26},
                       {&views.chordNext, 76, 1132, 545, 11, 563, 26},
                       {&views.chordSave, 108, 139, 565, 11, 583, 26},
                   });

    views.chordKeyboard = new PianoKeys(scaled(29, 125, 590, 185), this, 73, guiScaleF);
    views.chordKeyboard->setOctaveWidth(metrics[LayoutMetrics::kOctaveWidth],
                                        metrics[LayoutMetrics::kKeyboardSecond]);
    views.chordKeyboard->setKeyboardOffset(octaveOffset);
    views.chordKeyboard->setPatternKeys(arpShown && engine.engine().optLowKeysPickPattern);
    for (int32_t voice = 0; voice < 8; ++voice)
        views.chordKeyboard->setVoiceNote(voice, parameter(param::kNoteNumFirst + voice));
    views.chordKeyboard->setCurrentKey(parameter(param::kCurrentKey));
    section->addView(views.chordKeyboard);

    views.octaveShift = new COnOffButton(scaled(5, 125, 28, 183), this, 89, bitmaps[1135]);
    views.octaveShift->setValue(octaveOffset < 0 ? 1.0f : 0.0f);
    section->addView(views.octaveShift);
    views.playedKeys =
        new COnOffButton(scaled(100, 70, 118, 84), this, param::kPlayedKeys, bitmaps[1136]);
    views.playedKeys->setValue(parameter(param::kPlayedKeys));
    section->addView(views.playedKeys);

    views.chordPresetMenu = presetMenuView(scaled(415, 13, 523, 27), param::kLoadChordPreset,
                                           " Presets ", " Missing! ");
    section->addView(views.chordPresetMenu);
}

void ZandrelGUI::buildArpSection() {
    CViewContainer* section = views.arpSection;
    const double s = guiScaleF;
    const ArpPattern& pattern =
        engine.engine().patterns[std::clamp(engine.engine().currentPattern, 0, kPatternCount - 1)];
    CBitmap* b;

    views.stepSequencer =
        new MyCKickstepseq(scaled(8, 27, 585, 260), this, 123, guiScaleF, arpShown ? 1 : 0);
    views.stepSequencer->setGridMetrics(metrics[LayoutMetrics::kGridWidth],
                                        metrics[LayoutMetrics::kGridHeight],
                                        metrics[LayoutMetrics::kStepWidth]);
    section->addView(views.stepSequencer);

    b = bitmaps[143];
    views.laneSelector = new CHorizontalSwitch(scaledWithBitmap(8, 9, b, 8), this,
                                               param::kCurrentLane, 8, b->getHeight() / 8, 8, b);
    views.laneSelector->setDefaultValue(0);
    views.laneSelector->setValue(parameter(param::kCurrentLane));
    section->addView(views.laneSelector);

    // Shown only while the scale lane is chosen (the lane selector attaches it).
    views.scaleDegrees =
        new CMultiOnOffButton(scaledWithBitmap(8, 276, bitmaps[145], 2), this, 118, bitmaps[145]);
    for (int32_t i = 0; i < 8; ++i) views.scaleDegrees->flags[i] = pattern.scaleDegreeOn[i];

    views.laneDivider = valueDisplay(scaled(123, 310, 149, 322), param::kLaneDivider,
                                     CParamDisplay2::kLaneDivider, 0);
    section->addView(views.laneDivider);

    views.patternSelector =
        new MySequenceSelector(scaled(163, 275, 403, 292), this, param::kPattern, guiScaleF, 1);
    views.patternSelector->setValue(parameter(param::kPattern));
    section->addView(views.patternSelector);

    b = bitmaps[130];
    struct Switch {
        COnOffButton** view;
        int32_t tag;
        double left, right;
    };
    const Switch switches[] = {{&views.restartOnKey, param::kRestartOnKey, 156, 211},
                               {&views.linkLanes, param::kLinkLanes, 215, 270},
                               {&views.chordStep, param::kChordStep, 308, 363}};
    for (const Switch& sw : switches) {
        *sw.view = new COnOffButton(scaled(sw.left, 329, sw.right, 347), this, sw.tag, b);
        (*sw.view)->setValue(parameter(sw.tag));
        section->addView(*sw.view);
    }

    std::string name(pattern.patternName, strnlen(pattern.patternName, kPatternNameSize));
    views.patternName = new CTextEdit(scaled(162, 306, 367, 324), this, 128, name);
    views.patternName->setMaxLength(kPatternNameSize - 1);
    views.patternName->setFont(CFontDesc{"Liberation Sans", 11 * s, kNormalFace});
    views.patternName->setFontColor(kLabelText);
    views.patternName->setBackColor(kFieldBack);
    views.patternName->setFrameColor(kFieldFrame);
    section->addView(views.patternName);

    b = bitmaps[129];
    auto knob = [&](CAnimKnob*& view, int32_t tag, double left, float defaultValue, float value) {
        view = new CAnimKnob(scaledWithBitmap(left, 302, b, 120), this, tag, 120,
                             b->getHeight() / 120, b);
        view->setDefaultValue(defaultValue);
        view->setValue(value);
        section->addView(view);
    };
    knob(views.rate, param::kCurrentRate, 376, 0.58f, parameter(param::kCurrentRate));
    views.rateText = new CTextLabel(scaled(362, 332, 410, 344), parameterDisplay(96));
    styleLabel(views.rateText, kLabelText, s);
    section->addView(views.rateText);

    addKickButtons(section,
                   {
                       {&views.patternCopy, param::kCopy, 147, 8, 304, 42, 321},
                       {&views.patternPaste, param::kPaste, 148, 42, 304, 76, 321},
                       {&views.randomizeLane, param::kRandomizeLane, 149, 76, 304, 110, 321},
                   });
    knob(views.swing, param::kSwing, 428, 0.0f, parameter(param::kSwing));
    knob(views.gate, param::kGate, 468, 0.5f, parameter(param::kGate));
    addKickButtons(section, {
                                {&views.arpPrevious, 101, 131, 525, 277, 543, 292},
                                {&views.arpNext, 100, 132, 545, 277, 563, 292},
                                {&views.arpSave, 107, 137, 565, 277, 583, 292},
                            });

    views.arpKeyboard = new ArpPnoKeys(scaled(514, 302, 583, 345), this, 97, guiScaleF);
    for (int32_t pc = 0; pc < 12; ++pc)
        views.arpKeyboard->setRule(pc, engine.engine().arpNoteRule[pc]);
    section->addView(views.arpKeyboard);

    views.arpChordName = new CTextLabel(scaled(14, 332, 104, 344));
    styleLabel(views.arpChordName, kChordNameText, s);
    views.arpChordName->setVisible(false);
    section->addView(views.arpChordName);

    views.arpPresetMenu =
        presetMenuView(scaled(416, 278, 522, 292), param::kLoadArpPreset, " arp ", " error! ");
    section->addView(views.arpPresetMenu);
}
