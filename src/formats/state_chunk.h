// The state chunk: the 27512-byte block the host keeps inside its project,
// and setChunk, which also takes the partial preset blocks and the older
// layouts, telling them apart by length alone.
#pragma once

#include "engine_door.h"
#include "engine_state.h"

#include <cstdint>

constexpr int32_t kStateChunkSize = 27512;
// Blocks at least this long (other than the current size) are older state
// chunks with the same offsets, cut short.
constexpr int32_t kLegacyStateChunkMinSize = 27384;
constexpr int32_t kSetChunkRefused = -1;
// The version the writers store; readers gate optional fields on it.
constexpr float kFormatVersion = 1.091f;

namespace state_chunk {
constexpr int kVoiceLock = 0;
constexpr int kVoiceKey = 8;
constexpr int kCurrentKey = 16;
constexpr int kChordNote = 20;  // voice k, key n at 20 + 512 k + 4 n
constexpr int kChordVel = 4116; // same arrangement
constexpr int kTranspose = 8212;
constexpr int kVersion = 8216;
constexpr int kPreviewMuted = 8220;
constexpr int kVoiceNote = 8224; // per voice: its note at its own key
constexpr int kVoiceVel = 8256;
constexpr int kProgramName = 8288;
constexpr int kProgramNameField = 28;
constexpr int kArpHeld = 8316;
constexpr int kArpHeldAux = 8348;
constexpr int kMidiLatch = 8381;
constexpr int kSwing = 8384;
constexpr int kGate = 8412;
constexpr int kCurrentPattern = 8416;
constexpr int kEditorScale = 8420;
constexpr int kArpFreeRate = 8424;
constexpr int kPatterns = 8936;
constexpr int kNoteRuleSwitches = 27368;
constexpr int kArpOn = 27380;
constexpr int kChordsOn = 27381;
constexpr int kChordOnlyMark = 27384;
constexpr int kXmitVoicesCh3 = 27392;
constexpr int kXmitChordsCh2 = 27396;
constexpr int kNoteRules = 27400;
constexpr int kArpPresetMenuName = 27448;
constexpr int kChordPresetMenuName = 27480;
} // namespace state_chunk

// Version gates of the chunk's fields. A NaN version passes none.
namespace chunk_version {
constexpr float kPreviewMuted = 1.01f;
constexpr float kMenuNames = 1.02f;
constexpr float kXmitSwitches = 1.03f;
constexpr float kMidiLatch = 1.06f;
constexpr float kFullNoteRules = 1.07f;
constexpr float kEditorScale = 1.08f;
constexpr float kArpFreeRate = 1.09f;
} // namespace chunk_version

// Gates compare in single precision, the precision the version is stored
// in, so a block stamped 1.01 passes the 1.01 gate.
inline bool versionPasses(float version, float gate) {
    return version >= gate;
}

// Writes the whole state, byte for byte; `out` holds kStateChunkSize bytes.
// Reserved bytes are cleared.
void writeStateChunk(const EngineState& state, uint8_t* out);

// The host's setChunk: dispatches on byteSize (1028 legacy parameter block,
// 19084 older arp block, 8312 chord block, other lengths below 27384
// refused, 27512 state chunk, other lengths of 27384 and more legacy state
// chunk). Returns 0 when something was loaded, kSetChunkRefused otherwise.
int32_t setChunk(EngineDoor& door, const uint8_t* data, int32_t byteSize);

enum class ChunkForm { kCurrent, kLegacy };

// The reader shared by the current and the legacy state chunk; runs after
// the common start (chord memory reset, load guard raised, input mode off).
// A legacy block is read only as far as it reaches.
int32_t readStateChunk(EngineDoor& door, const uint8_t* data, int32_t byteSize, ChunkForm form);
