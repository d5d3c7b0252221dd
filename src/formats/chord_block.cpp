#include "chord_block.h"

#include "byte_order.h"
#include "format_fields.h"
#include "format_log.h"
#include "parameter_indices.h"
#include "state_chunk.h"

#include <cstring>

void writeChordBlock(const EngineState& s, uint8_t* out) {
    std::memset(out, 0, kChordBlockSize);
    for (int k = 0; k < kVoiceCount; ++k) {
        out[state_chunk::kVoiceLock + k] = s.voiceLock[k];
        out[state_chunk::kVoiceKey + k] = s.voiceKey[k];
        for (int n = 0; n < kKeyCount; ++n) {
            putLeF32(out + chordEntryOffset(state_chunk::kChordNote, k, n), s.chordNote[k][n]);
            putLeF32(out + chordEntryOffset(state_chunk::kChordVel, k, n), s.chordVel[k][n]);
        }
    }
    out[state_chunk::kCurrentKey] = s.currentKey;
    out[state_chunk::kTranspose] = static_cast<uint8_t>(s.transpose);
    putLeF32(out + chord_block::kVersion, kFormatVersion);
    out[chord_block::kPreviewMuted] = s.previewMuted;
    putText(out + chord_block::kProgramName, chord_block::kProgramNameField, s.programName,
            kProgramNameSize);
}

bool applyChordBlock(EngineDoor& door, const uint8_t* data, int32_t size) {
    if (data == nullptr || size < kChordBlockReadSize) {
        logLine(door, "\n chord block of %i bytes too short, ignored", size);
        return false;
    }
    EngineState& s = door.state();
    door.resetChordMemory();
    door.setParameter(param::kInputMode, 0.0f);
    for (int k = 0; k < kVoiceCount; ++k) {
        s.voiceLock[k] = data[state_chunk::kVoiceLock + k];
        s.voiceKey[k] = keyOfByte(data[state_chunk::kVoiceKey + k]);
        for (int n = 0; n < kKeyCount; ++n) {
            s.chordNote[k][n] = getLeF32(data + chordEntryOffset(state_chunk::kChordNote, k, n));
            s.chordVel[k][n] = getLeF32(data + chordEntryOffset(state_chunk::kChordVel, k, n));
        }
    }
    s.currentKey = keyOfByte(data[state_chunk::kCurrentKey]);
    door.setParameter(param::kCurrentKey, s.currentKey * 0.0078125f);
    for (int k = 0; k < kVoiceCount; ++k) {
        door.setParameter(param::kLockFirst + k, s.voiceLock[k] ? 1.0f : 0.0f);
        door.setParameter(param::kNoteNumFirst + k, s.chordNote[k][s.currentKey]);
        door.setParameter(param::kNoteVelFirst + k, s.chordVel[k][s.currentKey]);
    }
    door.setParameter(param::kRefreshMenus, 1.0f);
    return true;
}
