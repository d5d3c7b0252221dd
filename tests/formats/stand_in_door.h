// A stand-in for the effect behind the engine door: it owns an engine
// record, applies the few parameter semantics the loaders rely on (the load
// guard, the chord voice edits, the current key, the settings), and records
// every call so that tests can check what a load told the engine and the
// editor. Header-only, so the fuzz targets can use it as well, with a state
// that differs from the defaults in every field.
#pragma once

#include "engine_door.h"
#include "engine_state.h"
#include "numeric.h"
#include "parameter_indices.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class StandInDoor : public EngineDoor {
public:
    StandInDoor() : st(std::make_unique<EngineState>()) {
        std::memset(st.get(), 0, sizeof(EngineState));
        setChordMemoryDefaults(*st);
        setArpeggiatorDefaults(*st);
        std::strcpy(st->programName, "Default Program");
        st->transpose = 24;
        st->paramGuardBlocks = kParamGuardLength;
    }

    EngineState& state() override { return *st; }

    void setParameter(int32_t index, float value) override {
        parameters.emplace_back(index, value);
        EngineState& s = *st;
        if (index < param::kHostParameterCount && s.paramGuardBlocks < kParamGuardLength) return;
        const auto on = [value] { return static_cast<uint8_t>(value != 0.0f); };
        if (index >= param::kNoteNumFirst && index < param::kNoteNumFirst + kVoiceCount) {
            s.chordNote[index - param::kNoteNumFirst][s.currentKey] = value;
        } else if (index >= param::kNoteVelFirst && index < param::kNoteVelFirst + kVoiceCount) {
            const int k = index - param::kNoteVelFirst;
            s.chordVel[k][s.voiceKey[k]] = value;
        } else if (index >= param::kLockFirst && index < param::kLockFirst + kVoiceCount) {
            s.voiceLock[index - param::kLockFirst] = on();
        }
        switch (index) {
        case param::kTranspose:
            // In single precision, as the engine must: value * 48.99 in double
            // turns the loaders' transpose / 48.99 of 23 into 22. A chunk's
            // byte may be anything, so the value saturates.
            s.transpose = static_cast<int8_t>(
                clampTo(saturatingFloor(value * 48.99f), int32_t{-128}, int32_t{127}));
            break;
        case param::kSwing:
            s.swing = value;
            break;
        case param::kGate:
            s.gate = value;
            break;
        case param::kPattern:
            s.currentPattern = clampTo(saturatingInt(value * 12 + 0.5f), 0, 11);
            break;
        case param::kChordsOn:
            s.chordsOn = on();
            break;
        case param::kArpOn:
            s.arpOn = on();
            break;
        case param::kMidiLatch:
            s.midiLatch = on();
            break;
        case param::kArpFreeRate:
            s.arpFreeRate = on();
            break;
        case param::kInputMode:
            s.inputMode = saturatingInt(value);
            break;
        case param::kCurrentKey:
            s.currentKey = static_cast<uint8_t>(clampTo(saturatingInt(value * 128 + 0.5f), 0, 127));
            for (int k = 0; k < kVoiceCount; ++k)
                if (!s.voiceLock[k]) s.voiceKey[k] = s.currentKey;
            break;
        case param::kPreviewOn:
            s.previewMuted = value == 0.0f;
            break;
        case param::kEditorScale:
            s.editorScaleValue = value;
            break;
        default:
            break;
        }
    }

    void notifyEditor(int32_t index, float value) override {
        notifications.emplace_back(index, value);
    }
    void resetChordMemory() override {
        ++chordResets;
        setChordMemoryDefaults(*st);
    }
    void resetArpeggiator() override {
        ++arpResets;
        setArpeggiatorDefaults(*st);
    }
    void allChordNotesOff() override { ++chordReleases; }
    void allArpNotesOff() override { ++arpReleases; }
    void updateDisplay() override { ++displayUpdates; }
    void diagnostic(const char* line) override { diagnostics.emplace_back(line); }

    // The value of the last call with this index, or NaN when none came.
    float lastParameter(int32_t index) const {
        for (auto it = parameters.rbegin(); it != parameters.rend(); ++it)
            if (it->first == index) return it->second;
        return std::nanf("");
    }
    bool sawParameter(int32_t index) const { return !std::isnan(lastParameter(index)); }
    bool sawDiagnostic(const std::string& line) const {
        return std::find(diagnostics.begin(), diagnostics.end(), line) != diagnostics.end();
    }
    void forgetCalls() {
        parameters.clear();
        notifications.clear();
        diagnostics.clear();
        chordResets = arpResets = chordReleases = arpReleases = displayUpdates = 0;
    }

    std::unique_ptr<EngineState> st;
    std::vector<std::pair<int32_t, float>> parameters;
    std::vector<std::pair<int32_t, float>> notifications;
    std::vector<std::string> diagnostics;
    int chordResets = 0;
    int arpResets = 0;
    int chordReleases = 0;
    int arpReleases = 0;
    int displayUpdates = 0;
};

inline bool sameRecord(const EngineState& a, const EngineState& b) {
    return std::memcmp(&a, &b, sizeof(EngineState)) == 0;
}

// Distinct values everywhere: chords on every key, a locked voice, rules,
// names, settings and every field of every pattern.
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
    for (int i = 0; i < 8; ++i) {
        s.arpHeld[i] = static_cast<int8_t>(i ? 0 : 64);
        s.arpHeldAux[i] = 0x01020304u * (i + 1);
    }
    for (int p = 0; p < kPatternCount; ++p) {
        ArpPattern& a = s.patterns[p];
        for (int r = 0; r < kRowCount; ++r)
            for (int st = 0; st < kStepCount; ++st) a.rowValue[r][st] = (r * 16 + st + p) / 200.0f;
        for (int st = 0; st < kStepCount; ++st) {
            a.stepOn[st] = (st + p) % 3 != 0;
            a.stepKind[st] = (st + p) % 13;
        }
        for (int l = 0; l < kLaneCount; ++l) {
            a.laneStart[l] = (l + p) % 8;
            a.laneLength[l] = 16 - (l + p) % 8;
            a.laneDivider[l] = kLaneDividers[(l + p) % 10];
            a.laneStartValue[l] = (l + p) / 32.0f;
            a.laneDividerValue[l] = (l + p) / 27.0f;
            a.scaleDegreeOn[l] = (l + p) % 2;
        }
        a.linkLanes = p % 2;
        a.restartOnKey = (p + 1) % 2;
        a.chordStep = p % 3 == 0;
        a.rate = 0.3f + 0.01f * p;
        a.stepsPerBeat = 0.75 + p;
        std::snprintf(a.patternName, kPatternNameSize, "groove %d", p);
    }
    std::strcpy(s.programName, "My Song");
    std::strcpy(s.arpPresetMenuName, "arps one");
    std::strcpy(s.chordPresetMenuName, "chords one");
}
