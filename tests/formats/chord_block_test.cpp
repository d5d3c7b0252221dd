// The chord block of chord presets, written and applied.
#include "byte_order.h"
#include "chord_block.h"
#include "format_test_support.h"
#include "state_chunk.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
std::vector<uint8_t> chordBlockOf(const EngineState& s) {
    std::vector<uint8_t> block(kChordBlockSize);
    writeChordBlock(s, block.data());
    return block;
}
} // namespace

TEST(ChordBlock, SharesTheStateChunksChordSection) {
    StandInDoor door;
    fillDistinctState(door.state());
    const std::vector<uint8_t> block = chordBlockOf(door.state());
    std::vector<uint8_t> chunk(kStateChunkSize);
    writeStateChunk(door.state(), chunk.data());
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 8213, chunk.begin()));
    EXPECT_EQ(getLe32(&block[8216]), 0x3F8BA5E3u);
    EXPECT_EQ(block[8220], 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(&block[8221]), "My Song");
    for (int i = 8253; i < kChordBlockSize; ++i) ASSERT_EQ(block[i], 0) << i;
}

TEST(ChordBlock, AppliedBlockRestoresChordsAndCurrentKeyButNotTranspose) {
    StandInDoor source;
    fillDistinctState(source.state());
    source.state().currentKey = 5;
    for (uint8_t& key : source.state().voiceKey) key = 5;
    source.state().voiceLock[2] = 0;
    const std::vector<uint8_t> block = chordBlockOf(source.state());

    StandInDoor door;
    ASSERT_EQ(setChunk(door, block.data(), kChordBlockSize), 0);
    const EngineState& s = door.state();
    EXPECT_EQ(s.currentKey, 5);
    EXPECT_EQ(s.transpose, 24);
    EXPECT_EQ(s.previewMuted, 0);
    // Bit for bit: the block carries the floats' own bytes.
    // NOLINTBEGIN(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(s.chordNote, source.state().chordNote, sizeof s.chordNote), 0);
    EXPECT_EQ(std::memcmp(s.chordVel, source.state().chordVel, sizeof s.chordVel), 0);
    // NOLINTEND(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(door.lastParameter(84), 5 * 0.0078125f);
    EXPECT_EQ(door.lastParameter(33 + 1), source.state().chordNote[1][5]);
    EXPECT_EQ(door.lastParameter(85), 1.0f);
    EXPECT_EQ(door.parameters.front(), std::make_pair(75, 0.0f));
    EXPECT_EQ(door.arpResets, 0);
}

TEST(ChordBlock, LocksComeBackThroughTheParameterDoor) {
    StandInDoor source;
    source.state().voiceLock[6] = 1;
    const std::vector<uint8_t> block = chordBlockOf(source.state());
    StandInDoor door;
    applyChordBlock(door, block.data(), kChordBlockSize);
    EXPECT_EQ(door.state().voiceLock[6], 1);
    EXPECT_EQ(door.lastParameter(49 + 6), 1.0f);
    EXPECT_EQ(door.lastParameter(49 + 5), 0.0f);
}

TEST(ChordBlock, AShortBlockIsRefusedUntouched) {
    StandInDoor source;
    fillDistinctState(source.state());
    const std::vector<uint8_t> block = chordBlockOf(source.state());
    StandInDoor door;
    const EngineState before = door.state();
    EXPECT_FALSE(applyChordBlock(door, block.data(), kChordBlockReadSize - 1));
    EXPECT_TRUE(sameRecord(before, door.state()));
    EXPECT_EQ(door.diagnostics.size(), 1u);
    EXPECT_TRUE(applyChordBlock(door, block.data(), kChordBlockReadSize));
}
