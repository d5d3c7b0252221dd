// The arp block of arpeggiator presets, written and applied.
#include "arp_block.h"
#include "byte_order.h"
#include "format_test_support.h"
#include "pattern_image.h"
#include "state_chunk.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
std::vector<uint8_t> arpBlockOf(const EngineState& s) {
    std::vector<uint8_t> block(kArpBlockSize);
    writeArpBlock(s, block.data());
    return block;
}
} // namespace

TEST(ArpBlock, FieldsLandAtTheirOffsets) {
    StandInDoor door;
    fillDistinctState(door.state());
    std::strcpy(door.state().programName, "a name longer than twenty-three");
    const std::vector<uint8_t> b = arpBlockOf(door.state());
    EXPECT_EQ(getLe32(&b[0]), 0x3F8BA5E3u);
    EXPECT_EQ(b[4 + 2], 1);
    EXPECT_EQ(b[12 + 2], 40);
    EXPECT_EQ(b[20], 60);
    EXPECT_EQ(getLeF32(&b[24]), 64.0f);
    EXPECT_EQ(getLe32(&b[56 + 4]), door.state().arpHeldAux[1]);
    EXPECT_EQ(b[88], 30);
    EXPECT_EQ(b[89], 1);
    EXPECT_FLOAT_EQ(getLeF32(&b[92]), 0.3f);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[96])), "a name longer than twen");
    EXPECT_FLOAT_EQ(getLeF32(&b[120]), 0.75f);
    EXPECT_EQ(getLeI32(&b[124]), 7);
    std::vector<uint8_t> image(kPatternImageSize);
    writePatternImage(door.state().patterns[5], image.data());
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 1535, b.begin() + 640 + 1536 * 5));
    EXPECT_EQ(b[19072 + 1], 1);
    EXPECT_EQ(b[19084 + 3], 3);
}

TEST(ArpBlock, AppliedBlockRestoresTheArpeggiator) {
    StandInDoor source;
    fillDistinctState(source.state());
    const std::vector<uint8_t> block = arpBlockOf(source.state());
    StandInDoor door;
    ASSERT_TRUE(applyArpBlock(door, block.data(), kArpBlockSize));
    const EngineState& s = door.state();
    EXPECT_EQ(s.currentPattern, 7);
    EXPECT_EQ(s.currentKey, 60);
    EXPECT_FLOAT_EQ(s.swing, 0.3f);
    EXPECT_FLOAT_EQ(s.gate, 0.75f);
    for (int j = 0; j < 12; ++j) EXPECT_EQ(s.arpNoteRule[j], j % 4);
    EXPECT_EQ(s.patterns[9].laneDivider[3], 4);
    EXPECT_STREQ(s.patterns[9].patternName, "groove");
    EXPECT_EQ(door.chordReleases, 1);
    EXPECT_EQ(door.arpResets, 1);
    EXPECT_FLOAT_EQ(door.lastParameter(96), 0.37f);
    EXPECT_EQ(door.lastParameter(127), 17.0f);
    EXPECT_EQ(door.lastParameter(3), 7 / 12.0f);
    EXPECT_EQ(door.state().transpose, 24) << "transpose is not part of the applied fields";
}

TEST(ArpBlock, OlderBlocksThroughSetChunkTakeTheRulesAtTheSwitches) {
    StandInDoor source;
    fillDistinctState(source.state());
    std::vector<uint8_t> block = arpBlockOf(source.state());
    putLeF32(&block[0], 1.06f);
    for (int j = 0; j < 12; ++j) block[19072 + j] = static_cast<uint8_t>(3 - j % 4);
    block.resize(kOlderArpBlockSize);
    StandInDoor door;
    ASSERT_EQ(setChunk(door, block.data(), kOlderArpBlockSize), 0);
    for (int j = 0; j < 12; ++j) EXPECT_EQ(door.state().arpNoteRule[j], 3 - j % 4);
}

TEST(ArpBlock, BlocksShorterThanTheirVersionNeedsAreRefusedUntouched) {
    StandInDoor source;
    fillDistinctState(source.state());
    std::vector<uint8_t> block = arpBlockOf(source.state());
    StandInDoor door;
    const EngineState before = door.state();
    EXPECT_EQ(setChunk(door, block.data(), kOlderArpBlockSize), -1) << "1.091 needs 19096";
    EXPECT_FALSE(applyArpBlock(door, block.data(), 5000));
    EXPECT_FALSE(applyArpBlock(door, block.data(), 2));
    EXPECT_TRUE(sameRecord(before, door.state()));
    EXPECT_EQ(door.chordReleases, 0);
    EXPECT_EQ(door.diagnostics.size(), 3u);
}
