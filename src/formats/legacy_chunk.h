// Blocks of earlier versions that setChunk still reads: the legacy state
// chunk (the current offsets, cut at its length) and the 1028-byte
// parameter block, which carries one pattern in the oldest form.
#pragma once

#include "engine_door.h"

#include <cstdint>

constexpr int32_t kLegacyParameterBlockSize = 1028;

namespace legacy_block {
constexpr int kTie = 616;      // f32[16]: 1.0 ties the step to the next one
constexpr int kPitch = 680;    // f32[16]: fraction of 49 semitones from -24
constexpr int kVelocity = 744; // f32[16]: velocity; sounds above 0.007
constexpr int kArpOnByte = 890;
constexpr uint8_t kArpOnMark = 128;
} // namespace legacy_block

// Runs after setChunk's common start; byteSize is 27384 or more and not the
// current size. Returns 0.
int32_t loadLegacyStateChunk(EngineDoor& door, const uint8_t* data, int32_t byteSize);

// Writes the block's pattern into all twelve patterns. `data` holds 1028
// bytes. Returns 0.
int32_t applyLegacyParameterBlock(EngineDoor& door, const uint8_t* data);
