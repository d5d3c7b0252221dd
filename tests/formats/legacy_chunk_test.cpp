// Blocks of earlier versions: state chunks cut short, and the 1028-byte
// parameter block that carried a single pattern.
#include "byte_order.h"
#include "format_test_support.h"
#include "legacy_chunk.h"
#include "state_chunk.h"

#include <gtest/gtest.h>
#include <vector>

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
    EXPECT_EQ(s.currentKey, 60);
    EXPECT_EQ(s.chordNote[4][90], ((90 + 20) % 120 + 1) / 128.0f);
    EXPECT_EQ(s.currentPattern, 7);
    EXPECT_EQ(s.patterns[11].laneLength[2], 5);
    EXPECT_EQ(s.xmitChordsCh2, 1);
    EXPECT_EQ(s.xmitVoicesCh3, 0);
    for (int j = 0; j < 12; ++j) EXPECT_EQ(s.arpNoteRule[j], j % 4) << j;
    EXPECT_STREQ(s.arpPresetMenuName, "- Arp Presets -") << "the block ends before the names";
    EXPECT_STREQ(s.chordPresetMenuName, "- Chord Presets -");
    EXPECT_EQ(s.paramGuardBlocks, kParamGuardLength) << "host writes open right away";
    door.setParameter(1, 0.9f);
    EXPECT_FLOAT_EQ(s.swing, 0.9f);
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

TEST(LegacyStateChunk, TheShortestChunkHasNoXmitSwitches) {
    const std::vector<uint8_t> chunk = legacyChunk(kLegacyStateChunkMinSize, 1.05f);
    StandInDoor door;
    door.state().xmitChordsCh2 = 1;
    ASSERT_EQ(setChunk(door, chunk.data(), kLegacyStateChunkMinSize), 0);
    EXPECT_EQ(door.state().xmitChordsCh2, 0);
    EXPECT_EQ(door.state().currentPattern, 7) << "no mark: the arpeggiator part is read";
}

TEST(LegacyStateChunk, LogsItsLengthNameAndPattern) {
    const std::vector<uint8_t> chunk = legacyChunk(27400, 1.05f);
    StandInDoor door;
    setChunk(door, chunk.data(), 27400);
    ASSERT_GE(door.diagnostics.size(), 3u);
    EXPECT_EQ(door.diagnostics[0],
              "\n set_OLD_Chunk, bytesize is 27400, and Chunk_Solid_RAM 27512");
    EXPECT_EQ(door.diagnostics[1], "\n setchunk: program name: My Song");
    EXPECT_EQ(door.diagnostics[2], "\n setchunk: Arp_CurPat: 7");
}

TEST(LegacyParameterBlock, ATieSilencesTheNextStepInEveryPattern) {
    LegacyBlock block;
    for (int j = 0; j < 16; ++j) block.set(legacy_block::kVelocity, j, 0.8f);
    block.set(legacy_block::kTie, 3, 1.0f);
    block.set(legacy_block::kTie, 15, 1.0f);
    StandInDoor door;
    ASSERT_EQ(setChunk(door, block.bytes.data(), kLegacyParameterBlockSize), 0);
    for (const ArpPattern& p : door.state().patterns) {
        EXPECT_EQ(p.stepOn[4], 0);
        EXPECT_EQ(p.stepOn[0], 0) << "step 0 follows step 15";
        EXPECT_EQ(p.stepOn[3], 1);
        EXPECT_EQ(p.stepOn[5], 1);
        EXPECT_EQ(p.rowValue[6][3], 1.0f);
        EXPECT_EQ(p.rowValue[6][4], 0.5f);
        EXPECT_FLOAT_EQ(p.rowValue[5][7], 0.8f);
    }
}

TEST(LegacyParameterBlock, PitchesBeyondAnOctaveMoveTheOctaveRow) {
    LegacyBlock block;
    block.set(legacy_block::kPitch, 0, 1.0f);
    block.set(legacy_block::kPitch, 1, 0.0f);
    block.set(legacy_block::kPitch, 2, 0.5f);
    StandInDoor door;
    setChunk(door, block.bytes.data(), kLegacyParameterBlockSize);
    const ArpPattern& p = door.state().patterns[6];
    EXPECT_FLOAT_EQ(p.rowValue[3][0], 0.57f);
    EXPECT_NEAR(p.rowValue[4][0], 14.0 / 26 + 0.5, 1e-6);
    EXPECT_FLOAT_EQ(p.rowValue[3][1], 0.43f);
    EXPECT_NEAR(p.rowValue[4][1], -11.0 / 26 + 0.5, 1e-6);
    EXPECT_FLOAT_EQ(p.rowValue[3][2], 0.5f) << "within an octave the octave row stays";
    EXPECT_NEAR(p.rowValue[4][2], 1.0 / 26 + 0.5, 1e-6);
}

TEST(LegacyParameterBlock, QuietStepsAreOffAndTheLoadSetsGateAndPattern) {
    LegacyBlock block;
    block.set(legacy_block::kVelocity, 2, 0.007f);
    block.set(legacy_block::kVelocity, 3, 0.0071f);
    StandInDoor door;
    door.state().currentPattern = 5;
    setChunk(door, block.bytes.data(), kLegacyParameterBlockSize);
    EXPECT_EQ(door.state().patterns[0].stepOn[2], 0);
    EXPECT_EQ(door.state().patterns[0].stepOn[3], 1);
    EXPECT_EQ(door.state().currentPattern, 0);
    EXPECT_EQ(door.lastParameter(2), 1.0f);
    EXPECT_EQ(door.lastParameter(127), 17.0f);
    EXPECT_EQ(door.arpResets, 1);
    EXPECT_EQ(door.chordResets, 0) << "chords are not part of this block";
}

TEST(LegacyParameterBlock, TheArpOnByteOnlyChangesTheLogLine) {
    LegacyBlock on;
    on.bytes[890] = 128;
    StandInDoor doorOn;
    EXPECT_EQ(setChunk(doorOn, on.bytes.data(), kLegacyParameterBlockSize), 0);
    EXPECT_TRUE(doorOn.sawDiagnostic("\n arp on! thats a good sign."));

    LegacyBlock off;
    off.bytes[890] = 3;
    StandInDoor doorOff;
    EXPECT_EQ(setChunk(doorOff, off.bytes.data(), kLegacyParameterBlockSize), 0);
    EXPECT_TRUE(doorOff.sawDiagnostic("\n data[890] not as expected, arp off maybe? 3"));
    EXPECT_EQ(doorOff.lastParameter(2), 1.0f) << "loads all the same";
}
