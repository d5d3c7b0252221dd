// What the window does when the engine tells it that something changed:
// every notification index and its reaction, the full refresh and the
// exchange of step values with the step sequencer.
#include "arp_pno_keys.h"
#include "canim_knob.h"
#include "chorizontal_switch.h"
#include "cmulti_on_off_button.h"
#include "con_off_button.h"
#include "coption_menu.h"
#include "cparam_display2.h"
#include "ctext_edit.h"
#include "ctext_label.h"
#include "my_ckickstepseq.h"
#include "my_coption_menu.h"
#include "my_sequence_selector.h"
#include "parameter_indices.h"
#include "piano_keys.h"
#include "zandrel_gui.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// A pattern is in use once anything differs from a new pattern: row 0's
// 0.565, the lanes' defaults (rows 2..8), or a name.
constexpr float kRowZeroDefault = 0.565f;
constexpr float kLaneRowDefaults[7] = {0.5f, 0.5f, 0.0f, 0.5f, 1.0f, 0.5f, 0.0f};
constexpr size_t kPresetTitleLength = PresetMenuBank::kTitleLength;

bool patternInUse(const ArpPattern& p) {
    for (int32_t step = 0; step < kStepCount; ++step) {
        if (p.rowValue[0][step] != kRowZeroDefault) return true;
        for (int32_t lane = 1; lane < kLaneCount; ++lane)
            if (p.rowValue[rowOfLane(lane)][step] != kLaneRowDefaults[lane - 1]) return true;
    }
    return p.patternName[0] != ' ';
}

std::string textOf(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

const ArpPattern& currentPatternOf(const EngineState& st) {
    return st.patterns[std::clamp(st.currentPattern, 0, kPatternCount - 1)];
}
} // namespace

void ZandrelGUI::showRate() {
    views.rateText->setText(parameterDisplay(param::kCurrentRate));
}

void ZandrelGUI::checkArpRateFree(bool on) {
    // The entry exists only in a window built with the arpeggiator shown;
    // until the next rebuild the menu may still be the other one.
    const CMenuItem* entry = views.options->getEntry(3);
    if (arpShown && entry && entry->title == kArpRateFree) views.options->checkEntry(3, on);
}

void ZandrelGUI::setSongOptionChecks() {
    if (!views.songOptions) return;
    views.songOptions->checkEntry(0, engine.engine().xmitChordsCh2 != 0);
    views.songOptions->checkEntry(1, engine.engine().xmitVoicesCh3 != 0);
}

void ZandrelGUI::showPresetTitles() {
    const EngineState& st = engine.engine();
    const std::string chords = textOf(st.chordPresetMenuName, sizeof st.chordPresetMenuName);
    const std::string arps = textOf(st.arpPresetMenuName, sizeof st.arpPresetMenuName);
    views.chordPresetMenu->setTitle(chords.substr(0, kPresetTitleLength).c_str());
    views.arpPresetMenu->setTitle(arps.substr(0, kPresetTitleLength).c_str());
}

void ZandrelGUI::refreshStoredChordMarks() {
    // Every trigger key whose chord has a voice with a note is marked.
    const EngineState& st = engine.engine();
    PianoKeys* keys = views.chordKeyboard;
    keys->clearMarks();
    for (int32_t key = 0; key < kKeyCount; ++key) {
        bool stored = false;
        for (int32_t voice = 0; voice < kVoiceCount && !stored; ++voice)
            stored = st.chordNote[voice][key] > 0.0f;
        if (stored) keys->setMark(key, 1);
    }
}

void ZandrelGUI::applyNotification(int32_t index, float value) {
    // A host write that the engine's guard refused still reaches the
    // editor: show what the engine holds, not what was asked.
    if (index >= 0 && index < param::kHostParameterCount) value = parameter(index);
    const EngineState& st = engine.engine();
    if (index >= param::kNoteNumFirst && index < param::kNoteNumFirst + 8) {
        views.noteNum[index - param::kNoteNumFirst]->setValue(value);
        views.chordKeyboard->setVoiceNote(index - param::kNoteNumFirst, value);
        refreshStoredChordMarks();
        return;
    }
    if (index >= param::kNoteVelFirst && index < param::kLockFirst + 8) {
        views.byTag[index]->setValue(value);
        return;
    }
    if (index >= param::kRateFirst && index < param::kRateFirst + kPatternCount) {
        if (index - param::kRateFirst == st.currentPattern) {
            showRate();
            views.rate->setValue(value);
        }
        return;
    }
    switch (index) {
    case param::kTranspose:
        views.transpose->setValue(value);
        break;
    case param::kSwing:
        views.swing->setValue(value);
        break;
    case param::kGate:
        views.gate->setValue(value);
        break;
    case param::kPattern: {
        views.patternSelector->setValue(value);
        views.linkLanes->setValue(parameter(param::kLinkLanes));
        views.chordStep->setValue(parameter(param::kChordStep));
        views.restartOnKey->setValue(parameter(param::kRestartOnKey));
        views.rate->setValue(parameter(param::kCurrentRate));
        showRate();
        const ArpPattern& pattern = currentPatternOf(st);
        for (int32_t i = 0; i < 8; ++i) views.scaleDegrees->flags[i] = pattern.scaleDegreeOn[i];
        views.scaleDegrees->setDirty();
        views.stepSequencer->setDirty();
        break;
    }
    case param::kChordsOn:
        if ((value != 0.0f) != chordsShown) {
            chordsShown = value != 0.0f;
            rebuildPending = true;
            views.chordsOn->setValue(chordsShown ? 1.0f : 0.0f);
        }
        break;
    case param::kArpOn:
        if ((value != 0.0f) != arpShown) {
            arpShown = value != 0.0f;
            views.arpOn->setValue(arpShown ? 1.0f : 0.0f);
            rebuildPending = true;
            views.stepSequencer->setEditEnabled(arpShown ? 1 : 0);
        }
        break;
    case param::kMidiLatch:
        views.latch->setValue(value);
        break;
    case param::kArpFreeRate:
        if (arpShown) {
            checkArpRateFree(value != 0.0f);
            setParameter(param::kCurrentRate, parameter(param::kCurrentRate));
        }
        break;
    case param::kInputMode:
        views.inputMode->setValue(value);
        break;
    case param::kLoadChordPreset:
    case param::kLoadArpPreset:
        // A preset loaded by position (a menu, the buttons, a program
        // change): its entry gets the check mark.
        followPresetPosition(index == param::kLoadChordPreset ? kChordBank : kArpBank, value);
        break;
    case param::kCurrentKey:
        views.currentKey->setValue(value);
        views.chordKeyboard->setCurrentKey(value);
        break;
    case param::kRefreshMenus:
        refreshStoredChordMarks();
        if (value > 9.0f) {
            rebuildPresetMenus();
            setSongOptionChecks();
        }
        break;
    case param::kRefreshChordSet:
        refreshStoredChordMarks();
        views.chordKeyboard->setCurrentKey(parameter(param::kCurrentKey));
        // The chord set changed under the current key (a sort, an import):
        // the current key written back to itself makes the engine tell its
        // notes, velocities and name again.
        write(param::kCurrentKey, parameter(param::kCurrentKey));
        break;
    case param::kRefreshChordName:
        views.chordName->setText(textOf(st.chordName, sizeof st.chordName));
        break;
    case param::kRefreshHeldName:
        views.arpChordName->setText(textOf(st.heldChordName, sizeof st.heldChordName));
        views.arpChordName->setVisible(true);
        break;
    case param::kRefreshArpReleased:
        views.arpChordName->setVisible(false);
        break;
    case param::kCurrentRate:
        showRate();
        views.rate->setValue(value);
        break;
    case param::kPreviewOn:
        views.preview->setValue(value);
        break;
    case param::kEditorScale:
        // A loaded project brings its own size.
        if (scaleOfParameter(value) != guiScale) rebuildPending = true;
        break;
    case param::kLaneDivider:
        views.laneDivider->setValue(value);
        break;
    case param::kLinkLanes:
        views.linkLanes->setValue(value);
        break;
    case param::kChordStep:
        views.chordStep->setValue(value);
        break;
    case param::kRestartOnKey:
        views.restartOnKey->setValue(value);
        break;
    case param::kPatternChanged:
        stepRefresh(value);
        break;
    case param::kCurrentLane:
        views.laneSelector->setValue(value);
        setParameter(param::kPatternChanged, 17.0f);
        break;
    case param::kRefreshPresetNames:
        showPresetTitles();
        break;
    case param::kPlayedKeys:
        views.playedKeys->setValue(value);
        break;
    default:
        break;
    }
}

void ZandrelGUI::stepRefresh(float value) {
    if (value <= 0.5f) return readBackSteps();
    if (value == 1.1f) {
        const EngineState& st = engine.engine();
        for (int32_t pc = 0; pc < 12; ++pc) views.arpKeyboard->setRule(pc, st.arpNoteRule[pc]);
        views.arpKeyboard->invalid();
        return;
    }
    if (value == 17.0f) return fullRefresh();
    if (value > 17.0f && value < 260.0f) {
        // Every second step's note choice becomes a rest, written back at once.
        MyCKickstepseq* seq = views.stepSequencer;
        for (int32_t step = 1; step < kStepCount; step += 2) seq->setBarHeight(step, 0);
        seq->markStepsChanged(0xAAAA);
        setParameter(param::kPatternChanged, 0.0f);
        return;
    }
    if (value < 17.0f) refreshStep(static_cast<int32_t>(value - 1));
}

void ZandrelGUI::refreshStep(int32_t step) {
    if (step < 0 || step >= kStepCount) return;
    const EngineState& st = engine.engine();
    const ArpPattern& p = currentPatternOf(st);
    const int32_t laneRow = std::clamp(st.currentLane, 0, kLaneCount - 1) + 1;
    const double height = metrics[LayoutMetrics::kGridHeight];
    MyCKickstepseq* seq = views.stepSequencer;
    seq->setBarHeight(step, static_cast<int32_t>(p.rowValue[0][step] * height));
    seq->setSecondLayerHeight(step, static_cast<int32_t>(p.rowValue[laneRow][step] * height));
    seq->setStepMarker(step, static_cast<int32_t>(std::lround(
                                 p.stepKind[step] * metrics[LayoutMetrics::kPixelsPerKind])));
    seq->setStepSwitch(step, p.stepOn[step] != 0);
    seq->setLoopStart(static_cast<int32_t>(parameter(param::kLaneStartKeepEnd) * 16));
    seq->setLength(static_cast<int32_t>(parameter(param::kLaneLength) * 16));
}

void ZandrelGUI::readBackSteps() {
    // The values drawn in the step sequencer reach the pattern this way,
    // written straight into the record as the engine reads them. Only the
    // steps a gesture changed: a value between two pixels (a random value
    // of the scale lane) stays as it is when another step is drawn.
    EngineState& st = engine.engine();
    ArpPattern& p = st.patterns[std::clamp(st.currentPattern, 0, kPatternCount - 1)];
    const int32_t laneRow = std::clamp(st.currentLane, 0, kLaneCount - 1) + 1;
    const double inverse = metrics[LayoutMetrics::kInverseGridHeight];
    MyCKickstepseq* seq = views.stepSequencer;
    const uint16_t changed = seq->takeChangedSteps();
    for (int32_t step = 0; step < kStepCount; ++step) {
        if (!(changed & (1u << step))) continue;
        p.rowValue[0][step] = static_cast<float>(seq->getBarHeight(step) * inverse);
        p.rowValue[laneRow][step] = static_cast<float>(seq->getSecondLayerHeight(step) * inverse);
        p.stepKind[step] =
            static_cast<int32_t>(seq->getStepMarker(step) * metrics[LayoutMetrics::kStepsPerPixel]);
        p.stepOn[step] = seq->getStepSwitch(step) ? 1 : 0;
    }
}

void ZandrelGUI::fullRefresh() {
    const EngineState& st = engine.engine();
    views.preview->setValue(parameter(param::kPreviewOn));
    views.latch->setValue(parameter(param::kMidiLatch));
    checkArpRateFree(parameter(param::kArpFreeRate) != 0.0f);
    for (int32_t p = 0; p < kPatternCount; ++p)
        views.patternSelector->setMark(p, patternInUse(st.patterns[p]) ? 1.0f : 0.0f);
    for (int32_t pc = 0; pc < 12; ++pc) views.arpKeyboard->setRule(pc, st.arpNoteRule[pc]);
    views.arpKeyboard->setDirty();
    const ArpPattern& pattern = currentPatternOf(st);
    views.patternName->setText(textOf(pattern.patternName, sizeof pattern.patternName));
    for (int32_t step = 0; step < kStepCount; ++step) refreshStep(step);
    views.stepSequencer->setDirty();
    views.patternSelector->setDirty();
    views.laneDivider->setValue(parameter(param::kLaneDivider));
}
