// Preset files: the header, the names, saving under a path and loading
// chord and arp presets back.
#include "arp_block.h"
#include "byte_order.h"
#include "chord_block.h"
#include "format_test_support.h"
#include "legacy_chunk.h"
#include "preset_file.h"
#include "state_chunk.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<uint8_t> readBack(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(readWholeFile(path, bytes)) << path;
    return bytes;
}

std::vector<uint8_t> chordPresetOf(const EngineState& s) {
    std::vector<uint8_t> block(kChordBlockSize);
    writeChordBlock(s, block.data());
    return presetFileBytes(block.data(), kChordBlockSize);
}

} // namespace

TEST(PresetHeader, IsTheStandardOpaqueChunkProgramHeader) {
    const std::vector<uint8_t> block(8312, 0xAB);
    const std::vector<uint8_t> f = presetFileBytes(block.data(), 8312);
    ASSERT_EQ(f.size(), 60u + 8312);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "CcnK");
    EXPECT_EQ(getBe32(&f[4]), 60u + 8312 - 8);
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 12), "FPCh");
    EXPECT_EQ(getBe32(&f[12]), 1u);
    EXPECT_EQ(std::string(f.begin() + 16, f.begin() + 20), "Qz4k");
    EXPECT_EQ(getBe32(&f[20]), 1u);
    EXPECT_EQ(getBe32(&f[24]), 1u);
    EXPECT_EQ(std::string(f.begin() + 28, f.begin() + 56),
              std::string("(Custom)            ") + std::string(8, '\0'));
    EXPECT_EQ(getBe32(&f[56]), 8312u);
    EXPECT_EQ(f[60], 0xAB);
    EXPECT_EQ(f.back(), 0xAB);
}

TEST(PresetHeader, ChunkSizesOutOfRangeOrBeyondTheFileFindNoBlock) {
    std::vector<uint8_t> block(100, 1);
    std::vector<uint8_t> f = presetFileBytes(block.data(), 100);
    EXPECT_EQ(findPresetBlock(f.data(), f.size()).size, 100);
    EXPECT_EQ(findPresetBlock(f.data(), f.size()).data, f.data() + 60);

    const char* reason = nullptr;
    for (uint32_t size : {0u, 0xFFFFFFFFu, 4048577u, 101u}) {
        putBe32(&f[56], size);
        EXPECT_EQ(findPresetBlock(f.data(), f.size(), &reason).data, nullptr) << size;
        EXPECT_NE(reason, nullptr);
    }
    putBe32(&f[56], 100);
    EXPECT_EQ(findPresetBlock(f.data(), 59).data, nullptr) << "shorter than the header";
    EXPECT_EQ(findPresetBlock(f.data(), 159).data, nullptr);
}

TEST(PresetNames, DisplayNameIsTheFileNameWithoutItsExtension) {
    EXPECT_EQ(presetDisplayName("/home/me/Chord/song.fxp"), "song");
    EXPECT_EQ(presetDisplayName("C:\\Users\\me\\jazz.fxp"), "jazz");
    EXPECT_EQ(presetDisplayName("/a/b\\mixed.fxp"), "mixed");
    EXPECT_EQ(presetDisplayName("/one/song.fxp"), "song");
    EXPECT_EQ(presetDisplayName("only/song.fxp"), "") << "one separator";
    EXPECT_EQ(presetDisplayName("song.fxp"), "");
    EXPECT_EQ(presetDisplayName(".fx"), "");
    EXPECT_EQ(presetDisplayName("/a/b/" + std::string(50, 'x') + ".fxp"), std::string(43, 'x'));
}

TEST(PresetNames, ExtensionIsTrimmedThenAppendedOnce) {
    EXPECT_EQ(withExtension("/p/song", "fxp"), "/p/song.fxp");
    EXPECT_EQ(withExtension("/p/song.fxp", "fxp"), "/p/song.fxp");
    EXPECT_EQ(withExtension("/p/song.fxp.fxp", "fxp"), "/p/song.fxp");
    EXPECT_EQ(withExtension("/p/song.abc", "fxp"), "/p/song.abc.fxp");
    EXPECT_EQ(withExtension("/p/song.FXP", "fxp"), "/p/song.FXP.fxp") << "exact case";
}

TEST(PresetNames, TrimmingReportsShortNamesAndOddExtensions) {
    std::vector<std::string> lines;
    const DiagnosticSink sink = [&lines](const char* line) { lines.emplace_back(line); };
    EXPECT_EQ(withExtension("ab", "fxp", sink), "ab.fxp");
    EXPECT_EQ(withExtension("/p/x", "fx", sink), "/p/x.fx");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "file length invalid, expected at least 4 here: 2");
    EXPECT_EQ(lines[1], "extension length invalid, expected 3 here: 2");
}

TEST(PresetSave, AnArpPresetNamedSongIsWrittenWithItsBlockAndName) {
    ScratchFolder folder;
    StandInDoor door;
    fillDistinctState(door.state());
    std::string path = folder / "song";
    ASSERT_TRUE(savePresetFile(door, path, PresetKind::kArp));
    EXPECT_EQ(path, folder / "song.fxp");

    const std::vector<uint8_t> f = readBack(folder / "song.fxp");
    ASSERT_EQ(f.size(), 60u + 19096);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 56, f.begin() + 60),
              (std::vector<uint8_t>{0x00, 0x00, 0x4A, 0x98}));
    std::vector<uint8_t> block(kArpBlockSize);
    writeArpBlock(door.state(), block.data());
    EXPECT_TRUE(std::equal(block.begin(), block.end(), f.begin() + 60));
    EXPECT_STREQ(door.state().arpPresetMenuName, "song");
    EXPECT_STREQ(door.state().programName, "song");
    EXPECT_STREQ(door.state().chordPresetMenuName, "chords one");
    EXPECT_EQ(door.lastParameter(146), 1.0f);
}

TEST(PresetSave, DoubledExtensionsAreSavedOnce) {
    ScratchFolder folder;
    StandInDoor door;
    std::string path = folder / "song.fxp.fxp";
    ASSERT_TRUE(savePresetFile(door, path, PresetKind::kChords));
    EXPECT_EQ(readBack(folder / "song.fxp").size(), 60u + 8312);
    EXPECT_STREQ(door.state().chordPresetMenuName, "song");
}

TEST(PresetSave, AWholeStatePresetCarriesTheChunkAndChangesNoMenuName) {
    ScratchFolder folder;
    StandInDoor door;
    fillDistinctState(door.state());
    std::string path = folder / "all.fxp";
    ASSERT_TRUE(savePresetFile(door, path, PresetKind::kWholeState));
    const std::vector<uint8_t> f = readBack(path);
    std::vector<uint8_t> chunk(kStateChunkSize);
    writeStateChunk(door.state(), chunk.data());
    ASSERT_EQ(f.size(), 60u + kStateChunkSize);
    EXPECT_TRUE(std::equal(chunk.begin(), chunk.end(), f.begin() + 60));
    EXPECT_STREQ(reinterpret_cast<const char*>(&f[60 + 8288]), "all");
    EXPECT_STREQ(door.state().arpPresetMenuName, "arps one");
    EXPECT_TRUE(door.parameters.empty());
}

TEST(PresetSave, AnUnwritablePathLogsAndChangesNoMenuName) {
    StandInDoor door;
    std::string path = "/nonexistent-zandrel-folder/x/song";
    EXPECT_FALSE(savePresetFile(door, path, PresetKind::kChords));
    EXPECT_EQ(door.diagnostics, std::vector<std::string>{"\n error writing file."});
    EXPECT_STREQ(door.state().chordPresetMenuName, "- Chord Presets -");
    EXPECT_TRUE(door.parameters.empty());

    std::string empty;
    EXPECT_FALSE(savePresetFile(door, empty, PresetKind::kChords));
}

TEST(ChordPresetLoad, ACurrentKeyOfFiveComesBack) {
    ScratchFolder folder;
    StandInDoor source;
    fillDistinctState(source.state());
    source.state().currentKey = 5;
    std::string path = folder / "five";
    ASSERT_TRUE(savePresetFile(source, path, PresetKind::kChords));

    StandInDoor door;
    std::string buffer = path;
    ASSERT_TRUE(loadChordPresetFile(door, buffer));
    EXPECT_EQ(door.state().currentKey, 5);
    EXPECT_EQ(door.state().chordNote[3][77], source.state().chordNote[3][77]);
    EXPECT_STREQ(door.state().chordPresetMenuName, "five");
    EXPECT_EQ(buffer, "five") << "the path buffer holds the display name";
    EXPECT_EQ(door.chordReleases, 1);
    EXPECT_EQ(door.displayUpdates, 1);
}

TEST(ChordPresetLoad, AWholeStatePresetInTheChordMenuLoadsItsChords) {
    StandInDoor source;
    fillDistinctState(source.state());
    std::vector<uint8_t> chunk(kStateChunkSize);
    writeStateChunk(source.state(), chunk.data());
    const std::vector<uint8_t> f = presetFileBytes(chunk.data(), kStateChunkSize);
    StandInDoor door;
    ASSERT_TRUE(loadChordPreset(door, f.data(), f.size(), "/x/y/whole.fxp"));
    EXPECT_EQ(door.state().chordVel[7][100], source.state().chordVel[7][100]);
    EXPECT_EQ(door.arpResets, 0);
}

TEST(ChordPresetLoad, BrokenFilesChangeNothingAndLeaveOneLine) {
    StandInDoor source;
    fillDistinctState(source.state());
    const std::vector<uint8_t> good = chordPresetOf(source.state());

    std::vector<std::vector<uint8_t>> broken;
    broken.emplace_back(good.begin(), good.begin() + 30); // inside the header
    broken.emplace_back(good.begin(), good.end() - 1);    // block cut short
    broken.push_back(good);
    putBe32(&broken.back()[56], 0); // no block
    broken.push_back(good);
    putBe32(&broken.back()[56], 0x7FFFFFFF); // huge block
    broken.push_back(good);
    putBe32(&broken.back()[56], 100); // too short to apply
    broken.emplace_back();            // empty file
    for (size_t i = 0; i < broken.size(); ++i) {
        StandInDoor door;
        const EngineState before = door.state();
        EXPECT_FALSE(loadChordPreset(door, broken[i].data(), broken[i].size(), "/a/b/c.fxp")) << i;
        EXPECT_TRUE(sameRecord(before, door.state())) << i;
        EXPECT_EQ(door.diagnostics.size(), 1u) << i;
        EXPECT_EQ(door.chordReleases, 0) << i;
    }
    StandInDoor door;
    std::string missing = "/nonexistent-zandrel-folder/p.fxp";
    EXPECT_FALSE(loadChordPresetFile(door, missing));
    EXPECT_EQ(door.diagnostics.size(), 1u);
}

TEST(ArpPresetLoad, LoadsReleasesTwiceAndTakesTheName) {
    ScratchFolder folder;
    StandInDoor source;
    fillDistinctState(source.state());
    std::string path = folder / "groove";
    ASSERT_TRUE(savePresetFile(source, path, PresetKind::kArp));

    StandInDoor door;
    std::string buffer = path;
    ASSERT_TRUE(loadArpPresetFile(door, buffer));
    EXPECT_EQ(door.state().currentPattern, 7);
    EXPECT_FLOAT_EQ(door.state().swing, 0.3f);
    EXPECT_STREQ(door.state().arpPresetMenuName, "groove");
    EXPECT_EQ(door.arpReleases, 2);
    EXPECT_EQ(door.chordReleases, 1);
    EXPECT_EQ(door.displayUpdates, 1);
    ASSERT_FALSE(door.notifications.empty());
    EXPECT_EQ(door.notifications.back(), std::make_pair(127, 17.0f));
}

TEST(ArpPresetLoad, AcceptsTheLegacyParameterBlock) {
    std::vector<uint8_t> block(kLegacyParameterBlockSize, 0);
    putLeF32(&block[legacy_block::kTie + 4 * 8], 1.0f);
    const std::vector<uint8_t> f = presetFileBytes(block.data(), kLegacyParameterBlockSize);
    StandInDoor door;
    ASSERT_TRUE(loadArpPreset(door, f.data(), f.size(), "/p/q/old.fxp"));
    EXPECT_EQ(door.state().patterns[11].rowValue[6][8], 1.0f);
    EXPECT_STREQ(door.state().arpPresetMenuName, "old");
}

TEST(ArpPresetLoad, ShortBlocksChangeNothing) {
    StandInDoor source;
    std::vector<uint8_t> block(kArpBlockSize);
    writeArpBlock(source.state(), block.data());
    const std::vector<uint8_t> f = presetFileBytes(block.data(), kOlderArpBlockSize);
    StandInDoor door;
    const EngineState before = door.state();
    EXPECT_FALSE(loadArpPreset(door, f.data(), f.size(), "/p/q/cut.fxp"));
    EXPECT_TRUE(sameRecord(before, door.state()));
    EXPECT_EQ(door.arpReleases, 0);
    EXPECT_EQ(door.diagnostics.size(), 1u);
}
