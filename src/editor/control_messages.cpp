// What a gesture on one of the window's controls sends the engine. The
// editor's writes pass the engine's guard after a resume (a click is never
// stale automation); host parameters also go to the host as automation.
#include "arp_pno_keys.h"
#include "chorizontal_switch.h"
#include "cmulti_on_off_button.h"
#include "con_off_button.h"
#include "coption_menu.h"
#include "cparam_display2.h"
#include "ctext_edit.h"
#include "ctext_label.h"
#include "mosk_dialog.h"
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
// The mouse-state words the editor tells gestures apart by.
constexpr int32_t kAltClick = kLButton | kAlt;
constexpr int32_t kShiftAltClick = kLButton | kShift | kAlt;
// Commands that reach all twelve patterns add this to their value.
constexpr float kAllPatterns = 10.0f;
// Copy whole pattern (by a drag in the pattern selector), copy all lanes.
constexpr float kCopyWholePatternCommand = 21.0f;
constexpr float kCopyAllLanesCommand = 2.0f;

bool isValueDisplayTag(int32_t tag) {
    return tag >= param::kNoteNumFirst && tag < param::kLockFirst;
}
} // namespace

void ZandrelGUI::write(int32_t index, float value) {
    engine.setParameterFromEditor(index, value);
}

void ZandrelGUI::writeAutomated(int32_t index, float value) {
    engine.setParameterFromEditor(index, value);
    // The host knows only its 32 parameters.
    if (index >= 0 && index < param::kHostParameterCount) host.automate(index, value);
}

int32_t ZandrelGUI::hostIndexOf(CControl* control) const {
    const int32_t tag = control->getTag();
    if (tag == param::kCurrentRate) return param::kRateFirst + engine.engine().currentPattern;
    return tag >= 0 && tag < param::kHostParameterCount ? tag : -1;
}

void ZandrelGUI::controlBeginEdit(CControl* control) {
    if (const int32_t index = hostIndexOf(control); index >= 0 && isGuiOpen())
        host.beginEdit(index);
}

void ZandrelGUI::controlEndEdit(CControl* control) {
    if (const int32_t index = hostIndexOf(control); index >= 0 && isGuiOpen()) host.endEdit(index);
}

bool ZandrelGUI::modifiersAre(int32_t modifiers) const {
    return frame && (frame->getCurrentModifiers() & kModifierMask) == modifiers;
}

void ZandrelGUI::valueChanged(CControl* control) {
    if (!isGuiOpen()) return;
    const int32_t tag = control->getTag();
    const float value = control->getValue();
    if (tag == 151) return textEntered();
    if (isValueDisplayTag(tag)) {
        auto* display = static_cast<CParamDisplay2*>(control);
        if (display->getMouseState() >= kDoubleClick) return openTextEntry(display);
        // With Alt a NoteNum moves the whole chord and a NoteVel sets that
        // voice's velocity at every key.
        return write(display->getMouseState() == kAltClick ? tag + 24 : tag, value);
    }
    if (tag >= param::kLockFirst && tag < param::kLockFirst + 8) return write(tag, value);
    switch (tag) {
    case param::kTranspose:
    case param::kSwing:
    case param::kGate:
    case param::kChordsOn:
        writeAutomated(tag, value);
        break;
    case param::kPattern:
        patternSelectorReported(value);
        break;
    case param::kArpOn:
        writeAutomated(tag, value);
        views.stepSequencer->setEditEnabled(value != 0.0f ? 1 : 0);
        break;
    case param::kMidiLatch:
    case param::kPreviewOn:
    case param::kRandomNotes:
    case param::kPlayedKeys:
        write(tag, value);
        break;
    case 73:
        chordKeyboardReported();
        break;
    case param::kInputMode:
        if (value > 0.5f)
            write(tag, modifiersAre(kAlt) ? 3.0f : modifiersAre(kShift) ? 1.0f : 2.0f);
        else
            write(tag, value);
        setParameter(param::kRefreshMenus, 1.0f);
        break;
    case 76:
    case 77:
    case 100:
    case 101: {
        // Pressed, the button steps; with no preset to step from it stays
        // lit until it is let go (the release must reach it, or the next
        // press would be lost).
        const PresetBank bank = tag < 100 ? kChordBank : kArpBank;
        if (value > 0.0f) {
            stepPreset(bank, tag == 76 || tag == 100 ? 1 : -1);
            if (presetBanks[bank].presetIndex < 0) control->setValue(1.0f);
        }
        break;
    }
    case param::kLoadChordPreset:
    case param::kLoadArpPreset:
        presetMenuChosen(tag == param::kLoadChordPreset ? kChordBank : kArpBank);
        break;
    case param::kChordSetChanged:
        chordMenuChosen();
        break;
    case param::kCurrentKey:
        write(tag, value);
        views.chordKeyboard->setCurrentKey(value);
        break;
    case param::kSnapshot:
    case param::kRestoreSnapshot:
        if (value > 0.5f) write(tag, value);
        setParameter(param::kRefreshMenus, 1.0f);
        break;
    case 89:
        octaveShiftToggled();
        break;
    case param::kCurrentRate: {
        const int32_t pattern = views.patternSelector->getSelectedCell();
        writeAutomated(param::kRateFirst + pattern, value);
        views.rateText->setText(parameterDisplay(param::kRateFirst + pattern));
        break;
    }
    case 97:
        if (const int32_t pc = views.arpKeyboard->getHoveredKey(); pc >= 0 && pc < 12) {
            // A click, not a drag: the gesture is bracketed here.
            const int32_t index = param::kArpNoteRuleFirst + pc;
            host.beginEdit(index);
            writeAutomated(index, static_cast<float>(views.arpKeyboard->getRule(pc)) / 3.0f);
            host.endEdit(index);
        }
        break;
    case 106:
        optionsMenuChosen();
        break;
    case 107:
        if (value > 0.5f) openFileDialog(kSaveArp);
        break;
    case 108:
        if (value > 0.5f) openFileDialog(kSaveChords);
        break;
    case param::kCopy:
        // Alt copies all lanes of the pattern rather than the lane shown.
        if (value > 0.5f) write(tag, modifiersAre(kAlt) ? kCopyAllLanesCommand : value);
        break;
    case param::kPaste:
    case param::kRandomizeLane:
        if (value > 0.5f) write(tag, value);
        break;
    case 118: {
        // One of the three pattern fields the editor writes directly.
        EngineState& st = engine.engine();
        ArpPattern& p = st.patterns[std::clamp(st.currentPattern, 0, kPatternCount - 1)];
        for (int32_t i = 0; i < 8; ++i) p.scaleDegreeOn[i] = views.scaleDegrees->flags[i];
        break;
    }
    case param::kLaneDivider:
    case param::kLinkLanes:
    case param::kChordStep:
    case param::kRestartOnKey:
        // With Alt the change goes to all twelve patterns.
        if (modifiersAre(kAlt)) {
            write(tag, value + kAllPatterns);
            control->setValue(value);
        } else {
            write(tag, value);
        }
        break;
    case 123:
        stepSequencerReported();
        break;
    case 128: {
        // The name is one of the three pattern fields the editor writes directly.
        EngineState& st = engine.engine();
        ArpPattern& p = st.patterns[std::clamp(st.currentPattern, 0, kPatternCount - 1)];
        const std::string& text = views.patternName->getText();
        const size_t n = std::min(text.size(), sizeof p.patternName - 1);
        std::memcpy(p.patternName, text.data(), n);
        p.patternName[n] = 0;
        break;
    }
    case param::kCurrentLane:
        laneSelectorChanged(value);
        break;
    case 147:
        if (value > 0.5f && views.messageDialog->isAttached())
            frame->removeView(views.messageDialog, true);
        break;
    default:
        break; // the about screen (92) and anything unknown
    }
}

void ZandrelGUI::patternSelectorReported(float value) {
    MySequenceSelector* selector = views.patternSelector;
    const int32_t source = selector->getDragSource();
    if (source >= 0) {
        // A pattern dragged onto another: copied whole, then the target chosen.
        write(param::kPattern, static_cast<float>(source) / kPatternCount);
        write(param::kCopy, kCopyWholePatternCommand);
        write(param::kPattern, value);
        writeAutomated(param::kPattern, value);
        write(param::kPaste, 1.0f);
        selector->setMouseState(0);
    } else {
        writeAutomated(param::kPattern, value);
    }
}

void ZandrelGUI::chordKeyboardReported() {
    PianoKeys* keys = views.chordKeyboard;
    const int32_t note = keys->getHoveredKey();
    const int32_t voice = keys->getGrabbedVoice();
    const int32_t buttons = keys->getButtons();
    const float noteValue = std::max(0.0f, static_cast<float>(note) / 128.0f);
    if (buttons == kAltClick || buttons == kShiftAltClick || keys->getSelectFlag())
        write(param::kCurrentKey, noteValue); // the clicked key becomes the current key
    if (keys->getClearFlag())
        write(param::kAudition, 1.0f); // the current chord sounds while held
    else if ((buttons & ~kShift) == 0)
        write(param::kAudition, 0.0f);
    else if (voice >= 0)
        write(param::kNoteNumFirst + voice, noteValue);
    refreshStoredChordMarks();
}

void ZandrelGUI::stepSequencerReported() {
    MyCKickstepseq* seq = views.stepSequencer;
    const uint32_t code = seq->getActionCode();
    auto showLoop = [this, seq] {
        seq->setLoopStart(static_cast<int32_t>(parameter(param::kLaneStartKeepEnd) * 16));
        seq->setLength(static_cast<int32_t>(parameter(param::kLaneLength) * 16));
    };
    if (code == MyCKickstepseq::kRotateLeftCode || code == MyCKickstepseq::kRotateRightCode) {
        write(param::kPatternChanged, static_cast<float>(code));
    } else if (code >= MyCKickstepseq::kSwitchCode) {
        // The pointer resting on one switch repeats its code: nothing new.
        if (code == seq->getPreviousActionCode()) return;
        const int32_t step = std::min<int32_t>(static_cast<int32_t>(code - 1000), kStepCount - 1);
        // The first switch of a drag decides whether the drag sets or clears.
        float paint = seq->getPaintValue();
        if (paint <= -0.1f) {
            paint = parameter(param::kStepOnFirst + step) < 0.5f ? 1.0f : 0.0f;
            seq->setPaintValue(paint);
        }
        write(param::kStepOnFirst + step, paint);
        seq->setStepSwitch(step, paint != 0.0f);
        setParameter(param::kPatternChanged, 0.0f);
    } else if (code >= 200) {
        write(param::kLaneStartKeepLength,
              static_cast<float>(std::min<uint32_t>(code - 200, 15)) / 16);
        showLoop();
        setParameter(param::kPatternChanged, 0.0f);
    } else if (code >= 100) {
        write(param::kLaneLength, static_cast<float>(std::min<uint32_t>(code - 99, 16)) / 16);
        showLoop();
        setParameter(param::kPatternChanged, 0.0f);
    } else if (code >= 18 && code <= 33) {
        write(param::kLaneStartKeepEnd, static_cast<float>(std::min<uint32_t>(code - 18, 15)) / 16);
        showLoop();
        setParameter(param::kPatternChanged, 0.0f);
    } else {
        setParameter(param::kPatternChanged, 0.0f); // a drawn step: read back
    }
    seq->setDirty();
}

void ZandrelGUI::laneSelectorChanged(float value) {
    write(param::kCurrentLane, value);
    MyCKickstepseq* seq = views.stepSequencer;
    seq->setSecondLayerFlag(value > 0.12f ? 1 : 0);
    seq->setCurrentLane(static_cast<int32_t>(std::lround(value * 7)));
    // The scale-degree flags belong to the scale lane: shown only there.
    CMultiOnOffButton* degrees = views.scaleDegrees;
    if (seq->getCurrentLane() == kScaleLane && !degrees->isAttached()) {
        degrees->remember(); // the section's; the editor keeps its own
        views.arpSection->addView(degrees);
    } else if (seq->getCurrentLane() != kScaleLane && degrees->isAttached()) {
        views.arpSection->removeView(degrees, true);
    }
    seq->setDirty();
}

void ZandrelGUI::octaveShiftToggled() {
    PianoKeys* keys = views.chordKeyboard;
    octaveOffset = keys->getKeyboardOffset() < 0 ? keys->getKeyboardOffset() + 24 : -24;
    keys->setKeyboardOffset(octaveOffset);
    refreshStoredChordMarks();
    keys->setCurrentKey(parameter(param::kCurrentKey));
    keys->invalid();
    views.octaveShift->setValue(octaveOffset < 0 ? 1.0f : 0.0f);
}
