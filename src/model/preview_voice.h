// A voice of the preview synthesizer. Arpeggiator notes also use its gate
// countdown to time their note-offs, whether or not the preview sounds.
#pragma once

#include <cstdint>

constexpr int kPreviewVoiceCount = 32;
// Voices 0..15 are the ones the chord path plays and releases.
constexpr int kChordPreviewVoices = 16;
constexpr int kAttackSamples = 160;
constexpr int kReleaseSamples = 400;

struct PreviewVoice {
    double phaseIncrement;
    double phase;
    int32_t attackCounter;
    int32_t releaseCounter;
    int32_t note;
    uint8_t active;
    int32_t gateCountdown;
    int32_t gateNote;
};
