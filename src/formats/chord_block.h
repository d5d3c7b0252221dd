// The chord block of chord presets: the chord memory in the state chunk's
// own layout for its first 8212 bytes, with the version and the program
// name behind it.
#pragma once

#include "engine_door.h"
#include "engine_state.h"

#include <cstdint>

constexpr int32_t kChordBlockSize = 8312;
// The applier reads the chord section only, which ends here.
constexpr int32_t kChordBlockReadSize = 8212;

namespace chord_block {
constexpr int kVersion = 8216;
constexpr int kPreviewMuted = 8220;
constexpr int kProgramName = 8221;
constexpr int kProgramNameField = 32;
} // namespace chord_block

// `out` holds kChordBlockSize bytes; reserved bytes are cleared.
void writeChordBlock(const EngineState& state, uint8_t* out);

// Replaces the chord memory with the block's. A block shorter than
// kChordBlockReadSize is refused (false) before anything changes.
// Transpose, preview and name in the block are not applied.
bool applyChordBlock(EngineDoor& door, const uint8_t* data, int32_t size);
