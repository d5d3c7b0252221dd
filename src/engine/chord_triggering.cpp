// Chord triggering: one incoming note becomes the chord stored for its key.
// A new trigger key silences the previous chord; only the release of the
// current key ends it. Notes on channels 2..15 bypass the chord memory.
// The input modes enter chords from the keys played.
#include "midi_status.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_engine.h"

namespace {

// The queued channel is the MIDI channel number, with 0 standing for 16.
uint8_t statusOn(int channel, bool on) {
    return static_cast<uint8_t>((on ? kNoteOn : kNoteOff) | ((channel - 1) & 15));
}
} // namespace

void ZandEngine::trigger(int note, int channel, int velocity) noexcept {
    const int n = note & 127;
    const int v = clampTo(velocity, 0, 127);

    if (!st.chordsOn || channel > 1) {
        if (st.arpOn) return applyHeldNoteInput(n, channel, v);
        const int out = n + st.transpose - 24;
        if (out < 1) return;
        sendEvent(statusOn(channel, v >= 1), static_cast<uint8_t>(out), static_cast<uint8_t>(v),
                  st.sampleInBlock, 0);
        return;
    }

    st.keyDown[n] = v > 0;
    if (st.inputMode == kInputStepEntry || st.inputMode == kInputRecord)
        return enterChordNote(n, channel, v);
    if (st.inputMode == kInputCapture) {
        if (v > 0) st.captureDue = 1;
        st.outNoteOn[n] = v > 0;
        return;
    }
    if (st.optLowKeysPickPattern && n < 12 && st.arpOn) {
        if (v > 0) changeParameter(param::kPattern, n / 12.0f);
        return;
    }

    if (n == st.currentKey) {
        if (v == 0 && st.midiLatch) return; // latched: the chord keeps sounding
        if (v > 0) allChordNotesOff();
        refreshChordName();
    } else if (v == 0) {
        return; // only the release of the current key ends a chord
    } else {
        allChordNotesOff();
        st.currentKey = static_cast<uint8_t>(n);
        st.lastTriggerVelocity = static_cast<int8_t>(v);
        setParameter(param::kCurrentKey, n / 128.0f);
    }

    if (st.playedKeysMode > 0) rememberPlayedKey(st.currentKey);
    playChord(n, v);
    if (v != 0) return;

    // Releasing a key brings back the chord of the highest key still held.
    if (st.optRetriggerHeld) {
        for (int key = 127; key >= 0; --key) {
            if (!st.keyDown[key]) continue;
            trigger(key, 1, st.lastTriggerVelocity);
            break;
        }
    }
}

void ZandEngine::playChord(int key, int velocity) noexcept {
    for (int k = 0; k < kVoiceCount; ++k) {
        if (!st.voiceLock[k]) {
            st.voiceKey[k] = static_cast<uint8_t>(key);
            if (velocity > 0) {
                notifyEditor(param::kNoteNumFirst + k, st.chordNote[k][key]);
                notifyEditor(param::kNoteVelFirst + k, st.chordVel[k][key]);
            }
        }
        const int entry = st.voiceKey[k] & 127;
        const int note = storedNote(k, entry);
        const int vel =
            velocity == 0
                ? 0
                : clampTo(saturatingInt(st.chordVel[k][entry] * 2 * velocity + 0.5), 0, 127);
        const int out = note + st.transpose - 24;
        if (note == 0 || out < 1) {
            st.voiceSounding[k] = 0;
            continue;
        }
        sendEvent(vel >= 1 ? kNoteOn : kNoteOff, static_cast<uint8_t>(out),
                  static_cast<uint8_t>(vel), st.sampleInBlock, k);
        st.voiceSounding[k] = vel >= 1;
    }
}

void ZandEngine::rememberPlayedKey(int key) noexcept {
    const int count = clampTo(st.playedKeysCount, 0, kKeyCount);
    for (int i = 0; i < count; ++i)
        if (st.playedKeys[i] == key) return;
    if (count >= kKeyCount) return;
    st.playedKeys[count] = static_cast<int8_t>(key);
    st.playedKeysCount = count + 1;
    if (st.playedKeysCount > 127) setParameter(param::kPlayedKeys, 0.0f);
}

int ZandEngine::nextUnlockedVoice(int voice) const noexcept {
    int next = voice + 1;
    while (next < kVoiceCount && st.voiceLock[next]) ++next;
    return next; // kVoiceCount when none is left
}

int ZandEngine::firstEmptyVoice() const noexcept {
    for (int k = 0; k < kVoiceCount; ++k)
        if (storedNote(k, st.voiceKey[k]) == 0) return k;
    return -1;
}

void ZandEngine::enterChordNote(int n, int channel, int v) noexcept {
    // The played note sounds, so the player hears what goes in.
    const int out = n + st.transpose - 24;
    if (out < 1) return;
    sendEvent(statusOn(channel, v >= 1), static_cast<uint8_t>(out), static_cast<uint8_t>(v),
              st.sampleInBlock, 0);

    if (st.inputMode == kInputStepEntry) {
        st.stepIdleSamples = 0;
        if (v > 0) {
            for (int k = 0; k < kVoiceCount; ++k)
                if (storedNote(k, st.voiceKey[k]) == n) return;
            const int empty = firstEmptyVoice();
            if (empty >= 0) st.recordVoice = static_cast<int8_t>(empty);
            const int voice = clampTo<int>(st.recordVoice, 0, kVoiceCount - 1);
            setParameter(param::kNoteNumFirst + voice, n / 128.0f);
            st.recordHeld = voice;
            refreshChordName();
        } else {
            for (int k = 0; k < kVoiceCount; ++k)
                if (storedNote(k, st.voiceKey[k]) == n)
                    setParameter(param::kNoteNumFirst + k, 0.0f);
            const int empty = firstEmptyVoice();
            if (empty >= 0) {
                st.recordVoice = static_cast<int8_t>(empty);
                st.recordHeld = empty;
            } else {
                st.recordHeld = st.recordVoice; // NOLINT(bugprone-signed-char-misuse): a voice 0..7
            }
        }
        return;
    }

    // Record: each new key fills the next voice; releasing all keys moves on.
    if (v > 0) {
        st.recordHeld += 1;
        const int voice = clampTo<int>(st.recordVoice, 0, kVoiceCount - 1);
        for (int k = 0; k < voice; ++k)
            if (storedNote(k, st.voiceKey[k]) == n) return;
        setParameter(param::kNoteNumFirst + voice, n / 128.0f);
        const int next = nextUnlockedVoice(voice);
        st.recordVoice = static_cast<int8_t>(next > kVoiceCount - 1 ? kVoiceCount - 1 : next);
        refreshChordName();
    } else {
        st.recordHeld -= 1;
        if (st.recordHeld < 1) st.captureDue = 1;
        if (st.recordVoice == kVoiceCount - 1 && storedNote(7, st.voiceKey[7]) != 0)
            setParameter(param::kInputMode, 0.0f);
    }
}
