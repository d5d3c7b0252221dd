// The arp block of arpeggiator presets: the twelve patterns with the
// arpeggiator's settings. Blocks before version 1.07 end at 19084 and keep
// the full note rules where the 0/1 switches now are.
#pragma once

#include "engine_door.h"
#include "engine_state.h"

#include <cstdint>

constexpr int32_t kArpBlockSize = 19096;
constexpr int32_t kOlderArpBlockSize = 19084;

namespace arp_block {
constexpr int kVersion = 0;
constexpr int kVoiceLock = 4;
constexpr int kVoiceKey = 12;
constexpr int kCurrentKey = 20;
constexpr int kArpHeld = 24;
constexpr int kArpHeldAux = 56;
constexpr int kTranspose = 88;
constexpr int kPreviewMuted = 89;
constexpr int kSwing = 92;
constexpr int kProgramName = 96;
constexpr int kProgramNameField = 24;
constexpr int kGate = 120;
constexpr int kCurrentPattern = 124;
constexpr int kPatterns = 640;
constexpr int kNoteRuleSwitches = 19072;
constexpr int kNoteRules = 19084;
} // namespace arp_block

// `out` holds kArpBlockSize bytes; reserved bytes are cleared.
void writeArpBlock(const EngineState& state, uint8_t* out);

// Replaces the arpeggiator state with the block's; a block of exactly 1028
// bytes is the legacy parameter block. A block shorter than what its
// version needs (19084 below 1.07, 19096 from 1.07 on) is refused (false)
// before anything changes.
bool applyArpBlock(EngineDoor& door, const uint8_t* data, int32_t size);

// Whether applyArpBlock would take the block.
bool arpBlockFits(const uint8_t* data, int32_t size);
