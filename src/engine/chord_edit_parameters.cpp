// Edits of the chord memory through the parameter door: a voice's note, the
// shift of a whole chord, the current key and the input mode.
#include "chord_naming.h"
#include "midi_status.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_engine.h"

#include <cmath>
#include <cstring>

int ZandEngine::storedNote(int voice, int key) const noexcept {
    const int n = noteOfValue(st.chordNote[voice & 7][key & 127]);
    return n >= 1 && n <= 127 ? n : 0;
}

void ZandEngine::restrikeVoice(int voice, int oldNote, int newNote) noexcept {
    // A sounding voice follows its edit at once: the old note ends, the new
    // one starts with the velocity of the last note played.
    const int offset = st.transpose - 24;
    const int oldOut = oldNote + offset;
    if (oldNote > 0 && oldOut >= 1 && oldOut < kKeyCount && st.outNoteOn[oldOut])
        sendEvent(kNoteOff, static_cast<uint8_t>(oldOut), 0, st.sampleInBlock, voice);
    const int newOut = newNote + offset;
    if (newNote > 0 && newOut >= 1 && newOut <= 255) {
        const double v =
            std::floor(st.chordVel[voice][st.voiceKey[voice] & 127] * 2.0 * st.lastInputVelocity);
        const int velocity = clampTo(saturatingInt(v), 0, 127);
        sendEvent(kNoteOn, static_cast<uint8_t>(newOut), static_cast<uint8_t>(velocity),
                  st.sampleInBlock, voice);
    }
}

void ZandEngine::editVoiceNote(int voice, float value) noexcept {
    const int oldNote = storedNote(voice, st.voiceKey[voice]);
    st.chordNote[voice][st.currentKey & 127] = value;
    const int newNote = storedNote(voice, st.currentKey);
    if (oldNote != newNote && st.voiceSounding[voice]) restrikeVoice(voice, oldNote, newNote);
    refreshChordName();
}

void ZandEngine::shiftChord(int voice, float value) noexcept {
    const int key = st.currentKey & 127;
    const int oldNote = storedNote(voice, key);
    int newNote = noteOfValue(value);
    if (newNote > 127 || newNote < 0) newNote = 0;
    const int delta = newNote - oldNote;
    if (delta == 0) return;
    for (int j = kVoiceCount - 1; j >= 0; --j) {
        const int before = storedNote(j, key);
        if (j == voice) {
            st.chordNote[j][key] = value;
        } else {
            if (before <= 0) continue;
            st.chordNote[j][key] = clampTo(before + delta, 0, 127) / 128.0f;
        }
        notifyEditor(param::kNoteNumFirst + j, st.chordNote[j][key]);
        const int after = storedNote(j, key);
        if (st.voiceSounding[j] && after != before) restrikeVoice(j, before, after);
    }
    setParameter(param::kRefreshChordSet, 1.0f);
    refreshChordName();
}

void ZandEngine::setCurrentKey(float value) noexcept {
    // The byte conversion wraps as the stored key is a byte; then capped.
    const auto key = static_cast<uint8_t>(saturatingInt(value * 128 + 0.5) & 0xFF);
    st.currentKey = key > 127 ? 127 : key;
    for (int k = 0; k < kVoiceCount; ++k) {
        if (st.voiceLock[k]) continue;
        st.voiceKey[k] = st.currentKey;
        notifyEditor(param::kNoteNumFirst + k, st.chordNote[k][st.currentKey]);
        notifyEditor(param::kNoteVelFirst + k, st.chordVel[k][st.currentKey]);
    }
    refreshChordName();
}

void ZandEngine::setInputMode(float value) noexcept {
    st.captureDue = 0;
    st.stepIdleSamples = 0;
    st.recordVoice = 0;
    st.recordHeld = 0;
    st.inputMode = clampTo(saturatingInt(value + 0.5), 0, 3);
    if (st.inputMode <= 0) return;
    for (int k = 0; k < kVoiceCount; ++k) {
        setParameter(param::kNoteNumFirst + k, 0.0f);
        setParameter(param::kNoteVelFirst + k, 0.5f);
    }
    refreshChordName();
    if (st.inputMode == kInputCapture) {
        // The sounding-notes table becomes the capture buffer: end what
        // sounds first, so that nothing is left hanging.
        allChordNotesOff();
        std::memset(st.outNoteOn, 0, sizeof st.outNoteOn);
    }
}

void ZandEngine::audition(bool play) noexcept {
    // Playing the current chord from the editor goes through the same
    // triggering as a key, and here and now: its notes count as sounding
    // from this moment and leave at the next block with the routing of this
    // moment, like every other event the editor causes. Were the trigger
    // itself to wait for the block, a release the editor gave after it
    // (the arpeggiator switched off) would be replayed after notes it never
    // saw, and they would hang. Only a key for the arpeggiator's held notes
    // (chord memory off) waits: those belong to the real-time thread.
    const uint8_t velocity = play ? 100 : 0;
    if (ownsOutput() || st.chordsOn || !st.arpOn)
        trigger(st.currentKey, 1, velocity);
    else
        handOver({PendingSend::kTrigger, 0, st.currentKey, velocity, 1});
}

void ZandEngine::refreshChordName() noexcept {
    uint8_t notes[kVoiceCount];
    for (int k = 0; k < kVoiceCount; ++k)
        notes[k] = static_cast<uint8_t>(
            clampTo(noteOfValue(st.chordNote[k][st.currentKey & 127]), 0, 255));
    composeChordName(notes, ChordNameForm::kShort, st.chordName, nullptr);
    setParameter(param::kRefreshChordName, 1.0f);
}
