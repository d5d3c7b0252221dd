// What a gesture on one of the window's controls sends the engine. The
// editor's writes pass the engine's guard after a resume (a click is never
// stale automation); host parameters also go to the host as automation.
#include "chorizontal_switch.h"
#include "control_placeholder.h"
#include "coption_menu.h"
#include "ctext_edit.h"
#include "ctext_label.h"
#include "parameter_indices.h"
#include "shell_open.h"
#include "zandrel_gui.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void ZandrelGUI::write(int32_t index, float value) {
    engine.setParameterFromEditor(index, value);
}

void ZandrelGUI::writeAutomated(int32_t index, float value) {
    engine.setParameterFromEditor(index, value);
    host.automate(index, value);
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

void ZandrelGUI::valueChanged(CControl* control) {
    if (!isGuiOpen()) return;
    const int32_t tag = control->getTag();
    const float value = control->getValue();
    if (tag >= param::kLockFirst && tag < param::kLockFirst + 8) return write(tag, value);
    const bool altHeld = frame && (frame->getCurrentModifiers() & kModifierMask) == kAlt;
    switch (tag) {
    case param::kTranspose:
    case param::kSwing:
    case param::kGate:
    case param::kChordsOn:
        writeAutomated(tag, value);
        break;
    case param::kArpOn:
        writeAutomated(tag, value);
        feed.arpOn = value != 0.0f;
        views.stepSequencer->setDirty();
        break;
    case param::kMidiLatch:
    case param::kPreviewOn:
    case param::kRandomNotes:
    case param::kPlayedKeys:
        write(tag, value);
        break;
    case param::kSnapshot:
    case param::kRestoreSnapshot:
        if (value > 0.5f) write(tag, value);
        setParameter(param::kRefreshMenus, 1.0f);
        break;
    case param::kCopy:
    case param::kPaste:
    case param::kRandomizeLane:
        if (value > 0.5f) write(tag, value);
        break;
    case param::kCurrentRate: {
        const int32_t pattern = std::clamp(engine.engine().currentPattern, 0, kPatternCount - 1);
        writeAutomated(param::kRateFirst + pattern, value);
        views.rateText->setText(parameterDisplay(param::kRateFirst + pattern));
        break;
    }
    case param::kLinkLanes:
    case param::kChordStep:
    case param::kRestartOnKey:
        // With Alt the change goes to all twelve patterns.
        if (altHeld) {
            write(tag, value + 10.0f);
            control->setValue(value);
        } else {
            write(tag, value);
        }
        break;
    case param::kCurrentLane:
        laneSelectorChanged(value);
        break;
    case 128: {
        // The name is one of the three pattern fields the editor writes directly.
        ArpPattern& p =
            engine.engine()
                .patterns[std::clamp(engine.engine().currentPattern, 0, kPatternCount - 1)];
        const std::string& text = views.patternName->getText();
        const size_t n = std::min(text.size(), sizeof p.patternName - 1);
        std::memcpy(p.patternName, text.data(), n);
        p.patternName[n] = 0;
        break;
    }
    case 79:
        chordMenuChosen();
        break;
    case 106:
        optionsMenuChosen();
        break;
    default:
        break; // the note-editing controls, the preset and file commands: not wired yet
    }
}

void ZandrelGUI::laneSelectorChanged(float value) {
    write(param::kCurrentLane, value);
    feed.otherLaneChosen = value > 0.12f;
    feed.lane = static_cast<int32_t>(std::lround(value * 7));
    // The scale-degree flags belong to the scale lane: shown only there.
    ControlPlaceholder* degrees = views.scaleDegrees;
    if (feed.lane == 3 && !degrees->isAttached()) {
        degrees->remember(); // the section's; the editor keeps its own
        views.arpSection->addView(degrees);
    } else if (feed.lane != 3 && degrees->isAttached()) {
        views.arpSection->removeView(degrees, true);
    }
    views.stepSequencer->setDirty();
}

void ZandrelGUI::optionsMenuChosen() {
    int32_t index = -1;
    if (views.options->getLastItemMenu(index) != views.options) return;
    if (index == 0 || index == 1) {
        // Only a change of size rebuilds (at the next idle, not from inside
        // the menu's own callback).
        if (guiScale != index + 1) {
            write(param::kEditorScale, index == 0 ? 0.0f : 0.5f);
            rebuildPending = true;
        }
        return;
    }
    const int32_t arpEntry = parameter(param::kArpOn) != 0.0f ? 1 : 0;
    const std::string& presets = engine.presetLibrary().folders().presets;
    if (arpEntry && index == 3)
        write(param::kArpFreeRate, parameter(param::kArpFreeRate) == 0.0f ? 1.0f : 0.0f);
    else if (index == 3 + arpEntry)
        openWithShell(presets);
    else if (index == 4 + arpEntry)
        openWithShell(presets + "Zandrel_Manual.pdf");
}

void ZandrelGUI::chordMenuChosen() {
    int32_t index = -1;
    COptionMenu* menu = views.chordMenu->getLastItemMenu(index);
    for (int32_t i = 0; i < views.chordMenu->getNbEntries(); ++i)
        views.chordMenu->checkEntry(i, false);
    // A submenu's choice is a command with the entry's index; the file
    // entries of the menu itself come with the file dialogs.
    if (menu && menu != views.chordMenu && index >= 0)
        write(menu->getTag(), static_cast<float>(index));
}
