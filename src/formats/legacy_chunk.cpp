#include "legacy_chunk.h"

#include "byte_order.h"
#include "format_log.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "state_chunk.h"

#include <cstring>

int32_t loadLegacyStateChunk(EngineDoor& door, const uint8_t* data, int32_t byteSize) {
    char programName[state_chunk::kProgramNameField + 1];
    std::memcpy(programName, data + state_chunk::kProgramName, state_chunk::kProgramNameField);
    programName[state_chunk::kProgramNameField] = 0;
    logLine(door, "\n set_OLD_Chunk, bytesize is %i, and Chunk_Solid_RAM %i", byteSize,
            kStateChunkSize);
    logLine(door, "\n setchunk: program name: %s", programName);
    logLine(door, "\n setchunk: Arp_CurPat: %i", getLeI32(data + state_chunk::kCurrentPattern));
    return readStateChunk(door, data, byteSize, ChunkForm::kLegacy);
}

int32_t applyLegacyParameterBlock(EngineDoor& door, const uint8_t* data) {
    using namespace legacy_block;
    EngineState& s = door.state();
    s.currentPattern = 0;
    if (data[kArpOnByte] == kArpOnMark)
        logLine(door, "\n arp on! thats a good sign.");
    else
        logLine(door, "\n data[%i] not as expected, arp off maybe? %i", kArpOnByte,
                data[kArpOnByte]);
    door.resetArpeggiator();

    // Rows of the current pattern form: 3 octave shift, 4 semitone pitch,
    // 5 velocity, 6 length (1.0 = tied).
    for (ArpPattern& p : s.patterns) {
        for (int j = 0; j < kStepCount; ++j) {
            const bool tied = getLeF32(data + kTie + 4 * j) == 1.0f;
            p.rowValue[6][j] = tied ? 1.0f : 0.5f;

            const int64_t semitones =
                static_cast<int64_t>(saturatingFloor(getLeF32(data + kPitch + 4 * j) * 49.0)) - 24;
            int64_t i = semitones;
            if (i > 12) {
                p.rowValue[3][j] = 0.57f;
                i -= 12;
            } else if (i < -12) {
                p.rowValue[3][j] = 0.43f;
                i += 12;
            }
            p.rowValue[4][j] = static_cast<float>(static_cast<double>(i + 1) / 26.0 + 0.5);

            const float velocity = getLeF32(data + kVelocity + 4 * j);
            p.rowValue[5][j] = velocity;
            p.stepOn[j] = velocity > 0.007f ? 1 : 0;
        }
        // The old form tied a step into the next one, which then did not
        // strike; step 0 follows step 15.
        for (int j = 0; j < kStepCount; ++j) {
            const int previous = (j + kStepCount - 1) % kStepCount;
            if (getLeF32(data + kTie + 4 * previous) == 1.0f) p.stepOn[j] = 0;
        }
        for (uint8_t& on : p.scaleDegreeOn) on = 1;
    }

    door.setParameter(param::kGate, 1.0f);
    door.setParameter(param::kPatternChanged, 17.0f);
    return 0;
}
