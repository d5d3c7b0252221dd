// What the editor hands the note-editing controls (step sequencer, pattern
// selector, keyboards, scale-degree button, preset menus) and reads back
// from them. The editor keeps it here while placeholders stand in for
// those controls; the ControlFeed functions of ZandrelGUI are the one place
// that moves values between the editor and them.
#pragma once

#include "arp_pattern.h"

#include <array>
#include <cstdint>
#include <string>

// One column of the step sequencer, in pixels of the step grid.
struct StepColumn {
    int32_t bar = 0;     // row 0 (note choice)
    int32_t laneBar = 0; // the edited lane's row
    int32_t kind = 0;    // step kind
    bool on = true;      // the step's switch
    bool operator==(const StepColumn&) const = default;
};

struct ControlFeed {
    // Step sequencer.
    std::array<StepColumn, kStepCount> steps{};
    int32_t laneStart = 0;
    int32_t laneLength = 16;
    int32_t playingStep = 0;
    int32_t lane = 0;
    bool otherLaneChosen = false;
    bool arpOn = false;
    // Pattern selector: 1 for a pattern in use.
    std::array<float, kPatternCount> patternInUse{};
    // Scale-degree button.
    std::array<uint8_t, 8> scaleDegrees{};
    // Arpeggiator keyboard.
    std::array<int8_t, 12> arpRules{};
    std::array<uint8_t, 12> arpSounding{};
    // Chord keyboard.
    std::array<uint8_t, 128> storedChords{};
    float currentKey = 0;
    int32_t changedVoice = -1;
    int32_t octaveOffset = -24;
    bool patternKeys = false;
    // Preset menus' titles.
    std::string chordPresetTitle;
    std::string arpPresetTitle;
};
