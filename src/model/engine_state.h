// The one record that holds everything the engine knows: the chord memory,
// the arpeggiator patterns, the settings and the real-time bookkeeping.
// The effect object owns it; the parameter interface, the real-time engine,
// the persistence formats and the editor read and write it by these names.
// It is plain data on purpose: a loader can keep a copy and put it back when
// its input turns out bad, and a zeroed record is a valid starting point.
// The output list, the render flags and the waveform table live beside it
// in the effect object.
#pragma once

#include "arp_pattern.h"
#include "preview_voice.h"
#include "transport_info.h"

#include <cstdint>
#include <type_traits>

constexpr int kVoiceCount = 8;
constexpr int kKeyCount = 128;
constexpr int kInputQueueSize = 128;
constexpr int kChordNameSize = 14;
constexpr int kMenuNameSize = 32;
constexpr int kProgramNameSize = 32;
constexpr int kParamGuardLength = 10;

enum InputMode : int32_t {
    kInputPlay = 0,
    kInputStepEntry = 1,
    kInputRecord = 2,
    kInputCapture = 3
};

enum NoteRule : int8_t { kRuleNormal = 0, kRuleMuted = 1, kRuleDown = 2, kRuleUp = 3 };

// Clipboard copy types of the arpeggiator's copy and paste commands.
enum ArpCopyType : int32_t { kCopyOneLane = 1, kCopyAllLanes = 2, kCopyWholePattern = 21 };

struct InputNoteEntry {
    int32_t deltaFrames; // -1 once dispatched
    uint8_t note;
    uint8_t velocity; // 0 for a note-off
    uint8_t channel;  // (status + 1) & 15: channel 16 is 0
};

struct EngineState {
    // A. Chord memory
    float chordNote[kVoiceCount][kKeyCount];
    float chordVel[kVoiceCount][kKeyCount];
    uint8_t voiceKey[kVoiceCount];
    uint8_t voiceLock[kVoiceCount];
    uint8_t currentKey;
    int8_t lastTriggerVelocity;
    int32_t inputMode;
    int32_t playedKeysMode;
    int8_t playedKeys[kKeyCount];
    int32_t playedKeysCount;
    float voiceSnapshotNote[kVoiceCount];
    float voiceSnapshotVel[kVoiceCount];
    uint8_t voiceSnapshotLock[kVoiceCount];
    char chordName[kChordNameSize];
    char heldChordName[kChordNameSize]; // long name of the arpeggiator's held notes
    uint8_t occupancyMarks[kKeyCount];
    char chordPresetMenuName[kMenuNameSize];

    // B. Arpeggiator
    ArpPattern patterns[kPatternCount];
    int32_t currentPattern;
    int32_t currentLane;
    int8_t arpNoteRule[12];
    int8_t arpHeld[8];
    uint32_t arpHeldAux[8];
    int32_t arpHeldCount;
    int32_t arpKeysDown;
    ArpPattern arpClipboard;
    int32_t Arp_Current_Copy_Type;
    int32_t copySourcePattern;
    int32_t scaleTranspose;
    int32_t chordRoot;
    char arpPresetMenuName[kMenuNameSize];

    // C. Settings and options
    int8_t transpose;
    float swing;
    float gate;
    uint8_t chordsOn;
    uint8_t arpOn;
    uint8_t midiLatch;
    uint8_t arpFreeRate;
    uint8_t latchActive;
    uint8_t previewMuted;
    uint8_t xmitChordsCh2;
    uint8_t xmitVoicesCh3;
    uint8_t hostIsLive;
    uint8_t optCcEditsNotes;
    uint8_t optLowKeysPickPattern;
    uint8_t optRetriggerHeld;
    uint8_t configuredPreviewSound;
    int32_t configuredEditorSize;
    float editorScaleValue;
    char programName[kProgramNameSize];

    // D. Run-time state (never saved)
    float sampleRate;
    int32_t sampleInBlock;
    InputNoteEntry InputNoteQueue[kInputQueueSize];
    int32_t inputNoteCount;
    int8_t lastInputVelocity;
    uint8_t lastControllerNumber;
    uint8_t bank;
    uint8_t subBank;
    uint8_t keyDown[kKeyCount];
    uint8_t voiceSounding[kVoiceCount];
    uint8_t outNoteOn[kKeyCount];
    uint8_t arpNoteOn[kKeyCount];
    uint8_t arpNoteVoice[kKeyCount]; // the preview voice timing each sounding arp note
    uint8_t arpPitchClassOn[12];
    PreviewVoice previewVoice[kPreviewVoiceCount];
    int32_t nextVoice;
    int8_t recordVoice;
    int32_t recordHeld;
    int32_t stepIdleSamples;
    uint8_t captureDue;

    // Arpeggiator clock. beatPos is derived from the sample count since the
    // last anchor, so that no rounding builds up over a long session.
    double beatPos;
    double clockAnchorPos;
    int64_t clockSamples;
    double patternOrigin;
    double samplesPerBeat;
    double beatsPerSample;
    double tempo;
    double freePhase;
    double freeIncrement;
    double freeStepSamples;
    int32_t stepCounter;
    int32_t lastStep;
    int32_t arpWalk; // -1 = restart
    int32_t lanePos[kLaneCount];
    uint8_t transportPlaying;
    uint8_t transportChanged;
    double hostAnchor;
    double predictedPos;
    TransportInfo lastTransport; // a copy: the host's may not outlive the call
    uint8_t haveTransport;
    int32_t paramGuardBlocks;
};

static_assert(std::is_trivially_copyable_v<EngineState>);

// Group defaults without side effects; the effect's reset operations call
// these and add what must be silenced or announced.
void setChordMemoryDefaults(EngineState& s);
void setArpeggiatorDefaults(EngineState& s);
