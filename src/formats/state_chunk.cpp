#include "state_chunk.h"

#include "arp_block.h"
#include "byte_order.h"
#include "chord_block.h"
#include "format_fields.h"
#include "format_log.h"
#include "legacy_chunk.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "pattern_image.h"

#include <cstring>

using namespace state_chunk;

void writeStateChunk(const EngineState& s, uint8_t* out) {
    std::memset(out, 0, kStateChunkSize);
    putLe32(out + kChordOnlyMark, 0);
    putLeF32(out + kVersion, kFormatVersion);
    putText(out + kProgramName, kProgramNameField, s.programName, kProgramNameSize);
    out[kPreviewMuted] = s.previewMuted;
    out[kMidiLatch] = s.midiLatch;
    out[kTranspose] = static_cast<uint8_t>(s.transpose);
    for (int k = 0; k < kVoiceCount; ++k) {
        out[kVoiceLock + k] = s.voiceLock[k];
        out[kVoiceKey + k] = s.voiceKey[k];
        const int ownKey = keyOfByte(s.voiceKey[k]);
        putLeF32(out + kVoiceNote + 4 * k, s.chordNote[k][ownKey]);
        putLeF32(out + kVoiceVel + 4 * k, s.chordVel[k][ownKey]);
        for (int n = 0; n < kKeyCount; ++n) {
            putLeF32(out + chordEntryOffset(kChordNote, k, n), s.chordNote[k][n]);
            putLeF32(out + chordEntryOffset(kChordVel, k, n), s.chordVel[k][n]);
        }
    }
    out[kCurrentKey] = s.currentKey;
    for (int i = 0; i < 8; ++i) {
        putLeF32(out + kArpHeld + 4 * i, static_cast<float>(s.arpHeld[i]));
        putLe32(out + kArpHeldAux + 4 * i, s.arpHeldAux[i]);
    }
    putLeI32(out + kCurrentPattern, s.currentPattern);
    putLeF32(out + kSwing, s.swing);
    putLeF32(out + kGate, s.gate);
    for (int p = 0; p < kPatternCount; ++p)
        writePatternImage(s.patterns[p], out + kPatterns + kPatternImageSize * p);
    for (int j = 0; j < 12; ++j) {
        out[kNoteRuleSwitches + j] = s.arpNoteRule[j] != 0 ? 1 : 0;
        putLeI32(out + kNoteRules + 4 * j, s.arpNoteRule[j]);
    }
    out[kArpOn] = s.arpOn;
    out[kChordsOn] = s.chordsOn;
    std::memcpy(out + kArpPresetMenuName, s.arpPresetMenuName, kMenuNameSize);
    std::memcpy(out + kChordPresetMenuName, s.chordPresetMenuName, kMenuNameSize);
    putLe32(out + kXmitChordsCh2, s.xmitChordsCh2 ? 1 : 0);
    putLe32(out + kXmitVoicesCh3, s.xmitVoicesCh3 ? 1 : 0);
    putLeF32(out + kEditorScale, s.editorScaleValue);
    putLeF32(out + kArpFreeRate, s.arpFreeRate ? 1.0f : 0.0f);
}

namespace {

// Fields of a block that may be cut short: a field is read only when the
// block reaches to its end.
struct Block {
    const uint8_t* data;
    int32_t size;
    bool has(int offset, int length) const { return offset + length <= size; }
};

// Lane lengths and dividers below 1 would stall a lane or divide by zero;
// the words behind each range are reserved and no longer exist in memory.
void repairLanes(EngineState& s) {
    for (ArpPattern& p : s.patterns)
        for (int l = 0; l < kLaneCount; ++l) {
            if (p.laneLength[l] < 1) p.laneLength[l] = 16;
            if (p.laneDivider[l] < 1) p.laneDivider[l] = 1;
        }
}

} // namespace

int32_t readStateChunk(EngineDoor& door, const uint8_t* data, int32_t byteSize, ChunkForm form) {
    const Block b{data, byteSize};
    const bool current = form == ChunkForm::kCurrent;
    EngineState& s = door.state();
    const float version = getLeF32(data + kVersion);
    const uint8_t chunkKey = keyOfByte(data[kCurrentKey]);

    // The parameter writes reach the editor; the tables as loaded then
    // overwrite what they stored.
    for (int k = 0; k < kVoiceCount; ++k) {
        s.voiceKey[k] = keyOfByte(data[kVoiceKey + k]);
        door.setParameter(param::kNoteNumFirst + k,
                          getLeF32(data + chordEntryOffset(kChordNote, k, chunkKey)));
        door.setParameter(param::kNoteVelFirst + k,
                          getLeF32(data + chordEntryOffset(kChordVel, k, chunkKey)));
        door.setParameter(param::kLockFirst + k, s.voiceLock[k]);
        for (int n = 0; n < kKeyCount; ++n) {
            s.chordNote[k][n] = getLeF32(data + chordEntryOffset(kChordNote, k, n));
            s.chordVel[k][n] = getLeF32(data + chordEntryOffset(kChordVel, k, n));
        }
    }
    s.currentKey = chunkKey;
    door.setParameter(param::kCurrentKey, s.currentKey * 0.0078125f);
    s.transpose = static_cast<int8_t>(data[kTranspose]);
    door.setParameter(param::kTranspose, transposeParameterValue(s.transpose));

    if (b.has(kChordOnlyMark, 4) && getLe32(data + kChordOnlyMark) == 1) return 0;

    door.resetArpeggiator();
    s.currentPattern = patternOfValue(getLeI32(data + kCurrentPattern));
    for (int p = 0; p < kPatternCount; ++p)
        readPatternImage(s.patterns[p], data + kPatterns + kPatternImageSize * p);
    door.setParameter(param::kCurrentRate, s.patterns[s.currentPattern].rate);

    s.currentKey = chunkKey;
    s.swing = getLeF32(data + kSwing);
    door.setParameter(param::kSwing, s.swing);
    s.transpose = static_cast<int8_t>(data[kTranspose]);
    door.setParameter(param::kTranspose, transposeParameterValue(s.transpose));
    door.setParameter(param::kGate, getLeF32(data + kGate));

    s.arpOn = data[kArpOn] != 0;
    door.setParameter(param::kArpOn, s.arpOn ? 1.0f : 0.0f);
    s.chordsOn = data[kChordsOn] != 0;
    door.setParameter(param::kChordsOn, s.chordsOn ? 1.0f : 0.0f);

    if (versionPasses(version, chunk_version::kPreviewMuted)) {
        s.previewMuted = data[kPreviewMuted] != 0;
        door.setParameter(param::kPreviewOn, s.previewMuted ? 0.0f : 1.0f);
        if (current && versionPasses(version, chunk_version::kMidiLatch)) {
            s.midiLatch = data[kMidiLatch] != 0;
            door.setParameter(param::kMidiLatch, s.midiLatch ? 1.0f : 0.0f);
        }
        door.updateDisplay();
    }

    if (versionPasses(version, chunk_version::kMenuNames)) {
        if (b.has(kArpPresetMenuName, kMenuNameSize))
            takeMenuName(s.arpPresetMenuName, data + kArpPresetMenuName);
        if (b.has(kChordPresetMenuName, kMenuNameSize))
            takeMenuName(s.chordPresetMenuName, data + kChordPresetMenuName);
    }

    if (current) {
        s.editorScaleValue = versionPasses(version, chunk_version::kEditorScale)
                                 ? getLeF32(data + kEditorScale)
                                 : 0.0f;
        door.setParameter(param::kEditorScale, s.editorScaleValue);
        s.arpFreeRate = versionPasses(version, chunk_version::kArpFreeRate) &&
                        getLeF32(data + kArpFreeRate) != 0.0f;
        door.setParameter(param::kArpFreeRate, s.arpFreeRate ? 1.0f : 0.0f);
    }

    const bool fullRules = current && versionPasses(version, chunk_version::kFullNoteRules);
    for (int j = 0; j < 12; ++j)
        s.arpNoteRule[j] =
            static_cast<int8_t>(fullRules ? data[kNoteRules + 4 * j] : data[kNoteRuleSwitches + j]);

    door.setParameter(param::kPatternChanged, 17.0f);
    door.setParameter(param::kRefreshMenus, 10.0f);

    // A locked voice keeps its own key's entry; the lock is lifted while the
    // entry is written so that the voice takes it.
    for (int k = 0; k < kVoiceCount; ++k) {
        if (data[kVoiceLock + k] == 0) continue;
        s.voiceLock[k] = 0;
        const float note = getLeF32(data + kVoiceNote + 4 * k);
        const float vel = getLeF32(data + kVoiceVel + 4 * k);
        s.chordNote[k][s.voiceKey[k]] = note;
        s.chordVel[k][s.voiceKey[k]] = vel;
        door.notifyEditor(param::kNoteNumFirst + k, note);
        door.notifyEditor(param::kNoteVelFirst + k, vel);
        s.voiceLock[k] = 1;
    }

    repairLanes(s);

    const bool xmit = versionPasses(version, chunk_version::kXmitSwitches);
    s.xmitChordsCh2 = xmit && b.has(kXmitChordsCh2, 4) && getLe32(data + kXmitChordsCh2) != 0;
    s.xmitVoicesCh3 = xmit && b.has(kXmitVoicesCh3, 4) && getLe32(data + kXmitVoicesCh3) != 0;

    // Stale host automation must not overwrite a fresh load for a few
    // blocks; older projects never had this guard.
    if (current) s.paramGuardBlocks = 1;
    return 0;
}

int32_t setChunk(EngineDoor& door, const uint8_t* data, int32_t byteSize) {
    if (data == nullptr) {
        logLine(door, "\n setchunk: no data, %i bytes refused", byteSize);
        return kSetChunkRefused;
    }
    if (byteSize == kLegacyParameterBlockSize) return applyLegacyParameterBlock(door, data);
    if (byteSize == kOlderArpBlockSize)
        return applyArpBlock(door, data, byteSize) ? 0 : kSetChunkRefused;
    if (byteSize == kChordBlockSize)
        return applyChordBlock(door, data, byteSize) ? 0 : kSetChunkRefused;
    if (byteSize < kLegacyStateChunkMinSize) {
        logLine(door, "\n setchunk: block of %i bytes refused", byteSize);
        return kSetChunkRefused;
    }

    door.resetChordMemory();
    door.state().paramGuardBlocks = kParamGuardLength;
    door.setParameter(param::kInputMode, 0.0f);
    if (byteSize == kStateChunkSize)
        return readStateChunk(door, data, byteSize, ChunkForm::kCurrent);
    return loadLegacyStateChunk(door, data, byteSize);
}
