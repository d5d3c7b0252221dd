// A stand-in for the effect behind the engine door: it owns an engine
// record, applies the few parameter semantics the loaders rely on (the load
// guard, the chord voice edits, the current key, the settings), and records
// every call so that tests can check what a load told the engine and the
// editor. Header-only, so the fuzz targets can use it as well.
#pragma once

#include "engine_door.h"
#include "engine_state.h"
#include "numeric.h"
#include "parameter_indices.h"

#include <algorithm>
#include <cmath>
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
        if (index < param::kHostParameterCount && s.paramGuardBlocks < kParamGuardLength) {
            ignored.emplace_back(index, value);
            return;
        }
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
        ignored.clear();
        notifications.clear();
        diagnostics.clear();
        chordResets = arpResets = chordReleases = arpReleases = displayUpdates = 0;
    }

    std::unique_ptr<EngineState> st;
    std::vector<std::pair<int32_t, float>> parameters;
    std::vector<std::pair<int32_t, float>> ignored;
    std::vector<std::pair<int32_t, float>> notifications;
    std::vector<std::string> diagnostics;
    int chordResets = 0;
    int arpResets = 0;
    int chordReleases = 0;
    int arpReleases = 0;
    int displayUpdates = 0;
};
