// The state chunk a host keeps in its project and the blocks of the preset
// files: their bytes against stored references, and what loading them
// does to the engine; and the blocks of earlier versions: state chunks cut
// short, and the 1028-byte parameter block that carried a single pattern.
#include "arp_block.h"
#include "byte_order.h"
#include "chord_block.h"
#include "format_test_support.h"
#include "preset_file.h"
#include "state_chunk.h"

#include "legacy_chunk.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {
std::vector<uint8_t> chunkOf(const EngineState& s) {
    std::vector<uint8_t> chunk(kStateChunkSize);
    writeStateChunk(s, chunk.data());
    return chunk;
}

std::vector<uint8_t> distinctChunk() {
    StandInDoor source;
    fillDistinctState(source.state());
    return chunkOf(source.state());
}
} // namespace

TEST(FormatBytes, TheChunkAndThePresetFilesAreTheStoredReferences) {
    StandInDoor door;
    EngineState& s = door.state();
    fillDistinctState(s);
    std::strcpy(s.programName, "abcdefghijklmnopqrstuvwxyz0123"); // cut to each field
    s.arpNoteRule[5] = -2;                                        // sign-extended
    expectReferenceBytes(presetFileBytes(chunkOf(s).data(), kStateChunkSize), "state.fxp");
    std::vector<uint8_t> block(kChordBlockSize);
    writeChordBlock(s, block.data());
    expectReferenceBytes(presetFileBytes(block.data(), kChordBlockSize), "chords.fxp");
    block.assign(kArpBlockSize, 0);
    writeArpBlock(s, block.data());
    expectReferenceBytes(presetFileBytes(block.data(), kArpBlockSize), "arp.fxp");
}

TEST(StateChunkLoad, AChunkLoadsBackToTheSameBytes) {
    StandInDoor source;
    fillDistinctState(source.state());
    source.state().voiceLock[2] = 0; // locked voices: below
    source.state().voiceKey[2] = 60;
    // A load does not take the program name nor the held notes.
    const StandInDoor fresh;
    std::strcpy(source.state().programName, fresh.st->programName);
    std::copy_n(fresh.st->arpHeld, 8, source.state().arpHeld);
    std::copy_n(fresh.st->arpHeldAux, 8, source.state().arpHeldAux);
    const std::vector<uint8_t> chunk = chunkOf(source.state());
    StandInDoor door;
    ASSERT_EQ(setChunk(door, chunk.data(), kStateChunkSize), 0);
    expectSameBytes(chunkOf(door.state()), chunk, "the chunk written again");
    EXPECT_EQ(door.lastParameter(85), 10.0f) << "the editor rebuilds its preset menus";
    // A locked voice keeps its lock, and the voice, moved to the current key
    // while unlocked, still sounds its own key's entry; the editor hears
    // that entry as a notification only.
    StandInDoor locked;
    setChunk(locked, distinctChunk().data(), kStateChunkSize);
    const EngineState& s = locked.state();
    EXPECT_EQ(s.voiceLock[2], 1);
    fillDistinctState(source.state());
    EXPECT_EQ(s.chordNote[2][s.voiceKey[2]], source.state().chordNote[2][40]);
    EXPECT_EQ(s.chordVel[2][s.voiceKey[2]], source.state().chordVel[2][40]);
    const std::pair<int32_t, float> note{33 + 2, source.state().chordNote[2][40]};
    EXPECT_NE(std::find(locked.notifications.begin(), locked.notifications.end(), note),
              locked.notifications.end());
    // Every transpose survives the parameter door.
    for (int t = 0; t <= 48; ++t) {
        StandInDoor source, target;
        source.state().transpose = static_cast<int8_t>(t);
        setChunk(target, chunkOf(source.state()).data(), kStateChunkSize);
        EXPECT_EQ(target.state().transpose, t);
    }
}

TEST(StateChunkLoad, EachFieldIsReadFromTheVersionThatBroughtIt) {
    for (float version : {NAN, 1.0f, 1.01f, 1.02f, 1.03f, 1.06f, 1.07f, 1.08f, 1.09f}) {
        SCOPED_TRACE(version);
        std::vector<uint8_t> chunk = distinctChunk();
        putLeF32(&chunk[8216], version);
        StandInDoor door;
        door.state().xmitChordsCh2 = 1;
        setChunk(door, chunk.data(), kStateChunkSize);
        const EngineState& s = door.state();
        const auto passes = [version](float gate) { return version >= gate; };
        EXPECT_EQ(s.previewMuted, passes(1.01f));
        EXPECT_EQ(door.displayUpdates, passes(1.01f) ? 1 : 0);
        EXPECT_EQ(std::string(s.arpPresetMenuName) == "arps one", passes(1.02f));
        EXPECT_EQ(s.xmitChordsCh2, passes(1.03f));
        EXPECT_EQ(s.midiLatch, passes(1.06f));
        EXPECT_EQ(s.arpNoteRule[3], passes(1.07f) ? 3 : 1) << "else the switch byte";
        EXPECT_EQ(s.editorScaleValue, passes(1.08f) ? 1.0f : 0.0f);
        EXPECT_EQ(s.arpFreeRate, passes(1.09f));
    }
}

TEST(StateChunkLoad, DamagedLanesAndIndicesAreRepaired) {
    std::vector<uint8_t> chunk = distinctChunk();
    putLeI32(&chunk[8936 + 1536 * 3 + 1216 + 4 * 1], 0);
    putLeI32(&chunk[8936 + 1536 * 3 + 1216 + 4 * 2], -7);
    putLeI32(&chunk[8936 + 1536 * 9 + 1344 + 4 * 6], INT32_MIN);
    chunk[16] = 200;
    chunk[8 + 2] = 255;
    putLeI32(&chunk[8416], 99);
    StandInDoor door;
    setChunk(door, chunk.data(), kStateChunkSize);
    const EngineState& s = door.state();
    // Lengths below 1 become 16, dividers 1; good values (10) stay.
    EXPECT_EQ((std::vector<int>{s.patterns[3].laneLength[1], s.patterns[3].laneLength[2],
                                s.patterns[9].laneDivider[6], s.patterns[3].laneLength[3],
                                s.currentKey, s.voiceKey[2], s.currentPattern}),
              (std::vector<int>{16, 16, 1, 10, 127, 127, 11}));
}

TEST(SetChunkDispatch, LongerBlocksAreOlderStateChunksRefusedOnesLeaveOneLine) {
    std::vector<uint8_t> chunk = distinctChunk();
    chunk.resize(30000, 0);
    StandInDoor door;
    EXPECT_EQ(setChunk(door, chunk.data(), 30000), 0);
    EXPECT_EQ(door.state().currentKey, 60);
    EXPECT_EQ(door.state().paramGuardBlocks, kParamGuardLength);
    EXPECT_TRUE(
        door.sawDiagnostic("\n set_OLD_Chunk, bytesize is 30000, and Chunk_Solid_RAM 27512"));
    for (int32_t size : {0, -1, 8311}) { // (the host-level tests try more lengths)
        StandInDoor refused;
        EXPECT_EQ(setChunk(refused, chunk.data(), size), -1) << size;
        EXPECT_TRUE(refused.parameters.empty()) << size;
        EXPECT_EQ(refused.diagnostics.size(), 1u) << size;
    }
    EXPECT_EQ(setChunk(door, nullptr, kStateChunkSize), -1);
}

namespace {

std::vector<uint8_t> legacyChunk(int32_t size, float version) {
    StandInDoor source;
    fillDistinctState(source.state());
    std::vector<uint8_t> chunk(kStateChunkSize);
    writeStateChunk(source.state(), chunk.data());
    putLeF32(&chunk[8216], version);
    // Older writers kept the full rules in the switch bytes.
    for (int j = 0; j < 12; ++j) chunk[27368 + j] = static_cast<uint8_t>(j % 4);
    chunk.resize(static_cast<size_t>(size));
    return chunk;
}

struct LegacyBlock {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kLegacyParameterBlockSize, 0);
    void set(int offset, int step, float value) { putLeF32(&bytes[offset + 4 * step], value); }
};

} // namespace

TEST(LegacyStateChunk, A27400ByteChunkOfVersion105RestoresChordsArpAndXmit) {
    const std::vector<uint8_t> chunk = legacyChunk(27400, 1.05f);
    StandInDoor door;
    ASSERT_EQ(setChunk(door, chunk.data(), 27400), 0);
    const EngineState& s = door.state();
    EXPECT_EQ(s.chordNote[4][90], ((90 + 20) % 120 + 1) / 128.0f);
    EXPECT_EQ((std::vector<int>{s.currentKey, s.currentPattern, s.patterns[11].laneLength[2],
                                s.xmitChordsCh2, s.xmitVoicesCh3}),
              (std::vector<int>{60, 7, 16 - (2 + 11) % 8, 1, 0}));
    for (int j = 0; j < 12; ++j) EXPECT_EQ(s.arpNoteRule[j], j % 4) << j;
    EXPECT_STREQ(s.arpPresetMenuName, "- Arp Presets -") << "the block ends before the names";
    EXPECT_STREQ(s.chordPresetMenuName, "- Chord Presets -");
    EXPECT_EQ(s.paramGuardBlocks, kParamGuardLength) << "host writes open right away";
    door.setParameter(1, 0.9f);
    EXPECT_FLOAT_EQ(s.swing, 0.9f);
    door.diagnostics.resize(3);
    EXPECT_EQ(door.diagnostics,
              (std::vector<std::string>{
                  "\n set_OLD_Chunk, bytesize is 27400, and Chunk_Solid_RAM 27512",
                  "\n setchunk: program name: My Song", "\n setchunk: Arp_CurPat: 7"}));
    // The shortest has no routing switches, and no mark: the arpeggiator
    // part is read.
    const std::vector<uint8_t> shortest = legacyChunk(kLegacyStateChunkMinSize, 1.05f);
    StandInDoor other;
    other.state().xmitChordsCh2 = 1;
    ASSERT_EQ(setChunk(other, shortest.data(), kLegacyStateChunkMinSize), 0);
    EXPECT_EQ(other.state().xmitChordsCh2, 0);
    EXPECT_EQ(other.state().currentPattern, 7);
}

TEST(LegacyStateChunk, LeavesLatchEditorSizeAndFreeRateAsTheyWere) {
    const std::vector<uint8_t> chunk = legacyChunk(27450, 1.091f);
    StandInDoor door;
    door.state().midiLatch = 0;
    door.state().editorScaleValue = 0.0f;
    setChunk(door, chunk.data(), 27450);
    EXPECT_EQ(door.state().midiLatch, 0);
    EXPECT_EQ(door.state().editorScaleValue, 0.0f);
    EXPECT_EQ(door.state().arpFreeRate, 0) << "off after the arpeggiator reset";
    for (int index : {30, 31, 105}) EXPECT_FALSE(door.sawParameter(index)) << index;
    EXPECT_EQ(door.state().previewMuted, 1);
    EXPECT_EQ(door.displayUpdates, 1);
    EXPECT_EQ(door.state().arpNoteRule[2], 2) << "switch bytes even at 1.07 and later";
}

TEST(LegacyParameterBlock, TiesPitchesAndQuietStepsBecomeEveryPatternsSteps) {
    for (uint8_t arpByte : {128, 3}) { // the arp-on byte only changes the log line
        LegacyBlock block;
        for (int j = 0; j < 16; ++j) block.set(legacy_block::kVelocity, j, 0.8f);
        block.set(legacy_block::kVelocity, 2, 0.007f); // quiet: off
        block.set(legacy_block::kVelocity, 5, 0.0071f);
        block.set(legacy_block::kTie, 3, 1.0f);   // silences step 4
        block.set(legacy_block::kTie, 15, 1.0f);  // and step 0, which follows step 15
        block.set(legacy_block::kPitch, 0, 1.0f); // beyond an octave: the octave row moves
        block.set(legacy_block::kPitch, 1, 0.0f);
        block.set(legacy_block::kPitch, 2, 0.5f);
        block.bytes[890] = arpByte;
        StandInDoor door;
        door.state().currentPattern = 5;
        ASSERT_EQ(setChunk(door, block.bytes.data(), kLegacyParameterBlockSize), 0);
        for (const ArpPattern& p : door.state().patterns) {
            EXPECT_EQ(std::vector<int>(p.stepOn, p.stepOn + 6),
                      (std::vector<int>{0, 1, 0, 1, 0, 1}));
            EXPECT_EQ(p.rowValue[6][3], 1.0f);
            EXPECT_EQ(p.rowValue[6][4], 0.5f);
            EXPECT_FLOAT_EQ(p.rowValue[5][7], 0.8f);
            EXPECT_FLOAT_EQ(p.rowValue[3][0], 0.57f);
            EXPECT_NEAR(p.rowValue[4][0], 14.0 / 26 + 0.5, 1e-6);
            EXPECT_FLOAT_EQ(p.rowValue[3][1], 0.43f);
            EXPECT_NEAR(p.rowValue[4][1], -11.0 / 26 + 0.5, 1e-6);
            EXPECT_FLOAT_EQ(p.rowValue[3][2], 0.5f);
            EXPECT_NEAR(p.rowValue[4][2], 1.0 / 26 + 0.5, 1e-6);
        }
        EXPECT_EQ(door.state().currentPattern, 0);
        EXPECT_EQ(door.lastParameter(2), 1.0f);
        EXPECT_EQ(door.arpResets, 1);
        EXPECT_EQ(door.chordResets, 0) << "chords are not part of this block";
        EXPECT_TRUE(door.sawDiagnostic(arpByte == 128
                                           ? "\n arp on! thats a good sign."
                                           : "\n data[890] not as expected, arp off maybe? 3"));
    }
}
