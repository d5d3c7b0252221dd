// Defaults of the chord memory (group A) and the arpeggiator (group B), and
// the effect's reset operations built on them.
#include "engine_state.h"
#include "parameter_indices.h"
#include "zand_engine.h"

#include <cstring>

void setChordMemoryDefaults(EngineState& s) {
    for (int n = 0; n < kKeyCount; ++n) {
        for (int k = 0; k < kVoiceCount; ++k) {
            s.chordNote[k][n] = 0.0f;
            s.chordVel[k][n] = 0.5f;
        }
        // A minor triad on every key; entries that reach 128 count as empty.
        s.chordNote[0][n] = n / 128.0f;
        s.chordNote[1][n] = (n + 3) / 128.0f;
        s.chordNote[2][n] = (n + 7) / 128.0f;
    }
    std::memset(s.voiceKey, 0, sizeof s.voiceKey);
    std::memset(s.voiceLock, 0, sizeof s.voiceLock);
    s.currentKey = 0;
    s.lastTriggerVelocity = 100;
    s.inputMode = kInputPlay;
    s.playedKeysMode = 0;
    std::memset(s.playedKeys, 0, sizeof s.playedKeys);
    s.playedKeysCount = 0;
    for (int k = 0; k < kVoiceCount; ++k) {
        s.voiceSnapshotNote[k] = 0.0f;
        s.voiceSnapshotVel[k] = 0.5f;
        s.voiceSnapshotLock[k] = 0;
    }
    std::memset(s.chordName, ' ', 8);
    s.chordName[8] = 0;
    std::strcpy(s.chordPresetMenuName, "- Chord Presets -");
    s.chordsOn = 1;
}

void setArpeggiatorDefaults(EngineState& s) {
    for (ArpPattern& p : s.patterns) resetPattern(p);
    s.currentPattern = 0;
    s.currentLane = 0;
    std::memset(s.arpNoteRule, 0, sizeof s.arpNoteRule);
    std::memset(s.arpHeld, 0, sizeof s.arpHeld);
    const float half = 0.5f;
    uint32_t halfBits;
    std::memcpy(&halfBits, &half, sizeof halfBits);
    for (uint32_t& aux : s.arpHeldAux) aux = halfBits;
    s.arpHeldCount = 0;
    s.arpKeysDown = 0;
    s.Arp_Current_Copy_Type = 0;
    s.copySourcePattern = 0;
    s.scaleTranspose = 0;
    s.chordRoot = 0;
    std::strcpy(s.arpPresetMenuName, "- Arp Presets -");
    s.arpOn = 1;
    s.gate = 0.5f;
    s.swing = 0.0f;
    s.arpFreeRate = 0;
}

void ZandEngine::resetChordMemory() noexcept {
    setChordMemoryDefaults(st);
}

void ZandEngine::resetArpeggiator() noexcept {
    allArpNotesOff();
    setArpeggiatorDefaults(st);
}
