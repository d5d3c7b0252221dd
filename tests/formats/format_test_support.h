// Shared pieces of the format tests: a state that differs from the
// defaults in every field the blocks carry, a scratch folder, and a
// comparison of whole engine records.
#pragma once

#include "engine_state.h"
#include "stand_in_door.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

// Distinct values everywhere: chords on every key, a locked voice, rules,
// names, settings and pattern fields.
inline void fillDistinctState(EngineState& s) {
    for (int k = 0; k < kVoiceCount; ++k)
        for (int n = 0; n < kKeyCount; ++n) {
            s.chordNote[k][n] = ((n + 5 * k) % 120 + 1) / 128.0f;
            s.chordVel[k][n] = 0.25f + 0.001f * (n + k);
        }
    s.currentKey = 60;
    for (int k = 0; k < kVoiceCount; ++k) s.voiceKey[k] = 60;
    s.voiceLock[2] = 1;
    s.voiceKey[2] = 40;
    s.transpose = 30;
    s.swing = 0.3f;
    s.gate = 0.75f;
    s.chordsOn = 1;
    s.arpOn = 0;
    s.midiLatch = 1;
    s.arpFreeRate = 1;
    s.previewMuted = 1;
    s.xmitChordsCh2 = 1;
    s.xmitVoicesCh3 = 0;
    s.editorScaleValue = 1.0f;
    s.currentPattern = 7;
    for (int j = 0; j < 12; ++j) s.arpNoteRule[j] = static_cast<int8_t>(j % 4);
    for (int i = 0; i < 8; ++i) s.arpHeld[i] = static_cast<int8_t>(i ? 0 : 64);
    for (int p = 0; p < kPatternCount; ++p) {
        ArpPattern& a = s.patterns[p];
        a.rowValue[0][3] = 0.1f * (p + 1);
        a.rate = 0.3f + 0.01f * p;
        a.laneLength[2] = 5;
        a.laneDivider[3] = 4;
        a.stepOn[p] = 0;
        std::memcpy(a.patternName, "groove", 7);
    }
    std::strcpy(s.programName, "My Song");
    std::strcpy(s.arpPresetMenuName, "arps one");
    std::strcpy(s.chordPresetMenuName, "chords one");
}

inline bool sameRecord(const EngineState& a, const EngineState& b) {
    return std::memcmp(&a, &b, sizeof(EngineState)) == 0;
}

// A fresh folder below the system's temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/zandrel-formats-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
