#include "arp_block.h"

#include "byte_order.h"
#include "format_fields.h"
#include "format_log.h"
#include "legacy_chunk.h"
#include "parameter_indices.h"
#include "pattern_image.h"
#include "state_chunk.h"

#include <cstring>

using namespace arp_block;

void writeArpBlock(const EngineState& s, uint8_t* out) {
    std::memset(out, 0, kArpBlockSize);
    putLeF32(out + kVersion, kFormatVersion);
    for (int k = 0; k < kVoiceCount; ++k) {
        out[kVoiceLock + k] = s.voiceLock[k];
        out[kVoiceKey + k] = s.voiceKey[k];
    }
    out[kCurrentKey] = s.currentKey;
    for (int i = 0; i < 8; ++i) {
        putLeF32(out + kArpHeld + 4 * i, static_cast<float>(s.arpHeld[i]));
        putLe32(out + kArpHeldAux + 4 * i, s.arpHeldAux[i]);
    }
    out[kTranspose] = static_cast<uint8_t>(s.transpose);
    out[kPreviewMuted] = s.previewMuted;
    putLeF32(out + kSwing, s.swing);
    putText(out + kProgramName, kProgramNameField, s.programName, kProgramNameSize);
    putLeF32(out + kGate, s.gate);
    putLeI32(out + kCurrentPattern, s.currentPattern);
    for (int p = 0; p < kPatternCount; ++p)
        writePatternImage(s.patterns[p], out + kPatterns + kPatternImageSize * p);
    for (int j = 0; j < 12; ++j) {
        out[kNoteRuleSwitches + j] = s.arpNoteRule[j] != 0 ? 1 : 0;
        out[kNoteRules + j] = static_cast<uint8_t>(s.arpNoteRule[j]);
    }
}

namespace {
int32_t sizeNeeded(const uint8_t* data, int32_t size) {
    if (size < 4) return kOlderArpBlockSize;
    return versionPasses(getLeF32(data + kVersion), chunk_version::kFullNoteRules)
               ? kArpBlockSize
               : kOlderArpBlockSize;
}
} // namespace

bool arpBlockFits(const uint8_t* data, int32_t size) {
    if (data == nullptr) return false;
    return size == kLegacyParameterBlockSize || size >= sizeNeeded(data, size);
}

bool applyArpBlock(EngineDoor& door, const uint8_t* data, int32_t size) {
    const bool legacy = size == kLegacyParameterBlockSize;
    if (!arpBlockFits(data, size)) {
        logLine(door, "\n arp block of %i bytes too short, ignored", size);
        return false;
    }
    door.allChordNotesOff();
    door.resetArpeggiator();
    if (legacy) {
        applyLegacyParameterBlock(door, data);
        return true;
    }
    EngineState& s = door.state();
    s.currentPattern = patternOfValue(getLeI32(data + kCurrentPattern));
    for (int p = 0; p < kPatternCount; ++p)
        readPatternImage(s.patterns[p], data + kPatterns + kPatternImageSize * p);
    door.setParameter(param::kCurrentRate, s.patterns[s.currentPattern].rate);
    s.currentKey = keyOfByte(data[kCurrentKey]);
    s.swing = getLeF32(data + kSwing);
    door.setParameter(param::kSwing, s.swing);
    door.setParameter(param::kGate, getLeF32(data + kGate));
    const bool fullRules = versionPasses(getLeF32(data + kVersion), chunk_version::kFullNoteRules);
    for (int j = 0; j < 12; ++j)
        s.arpNoteRule[j] =
            static_cast<int8_t>(data[(fullRules ? kNoteRules : kNoteRuleSwitches) + j]);
    door.setParameter(param::kPatternChanged, 17.0f);
    door.setParameter(param::kPattern, s.currentPattern / 12.0f);
    return true;
}
