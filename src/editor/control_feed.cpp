// The values the editor hands the note-editing controls. While
// placeholders stand in for those controls, the editor keeps them in its
// ControlFeed; this is the one place that passes them on.
#include "control_placeholder.h"
#include "zandrel_gui.h"

void ZandrelGUI::refreshStoredChordMarks() {
    // Every trigger key whose chord has a voice with a note is marked.
    const EngineState& st = engine.engine();
    for (int32_t key = 0; key < kKeyCount; ++key) {
        uint8_t stored = 0;
        for (int32_t voice = 0; voice < kVoiceCount && !stored; ++voice)
            stored = st.chordNote[voice][key] > 0.0f;
        feed.storedChords[static_cast<size_t>(key)] = stored;
    }
    if (views.chordKeyboard) views.chordKeyboard->setDirty();
}

void ZandrelGUI::setPlayingStep(int32_t step) {
    if (step == feed.playingStep) return;
    feed.playingStep = step;
    views.stepSequencer->setDirty();
}

void ZandrelGUI::setArpSounding(int32_t pitchClass, bool sounding) {
    uint8_t& shown = feed.arpSounding[static_cast<size_t>(pitchClass)];
    if (shown == sounding) return;
    shown = sounding;
    views.arpKeyboard->setDirty();
}
