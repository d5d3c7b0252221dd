// Preset files and their blocks: finding the block behind the header, the
// names, saving under a path and loading chord and arp presets back.
#include "arp_block.h"
#include "byte_order.h"
#include "chord_block.h"
#include "format_test_support.h"
#include "legacy_chunk.h"
#include "preset_file.h"
#include "state_chunk.h"

namespace {
std::vector<uint8_t> readBack(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(readWholeFile(path, bytes)) << path;
    return bytes;
}

std::vector<uint8_t> presetOf(const EngineState& s, int32_t size,
                              void (*write)(const EngineState&, uint8_t*)) {
    std::vector<uint8_t> block(static_cast<size_t>(size));
    write(s, block.data());
    return presetFileBytes(block.data(), size);
}
} // namespace

TEST(PresetNames, DisplayNamesAndExtensions) {
    // A path, then the name it shows: after the last separator of two or
    // more, without the extension, at most 43 characters.
    const std::string names[] = {"/home/me/Chord/song.fxp",
                                 "song",
                                 "C:\\Users\\me\\jazz.fxp",
                                 "jazz",
                                 "/a/b\\mixed.fxp",
                                 "mixed",
                                 "/one/song.fxp",
                                 "song",
                                 "only/song.fxp",
                                 "",
                                 "song.fxp",
                                 "",
                                 ".fx",
                                 "",
                                 "/a/b/" + std::string(50, 'x') + ".fxp",
                                 std::string(43, 'x')};
    for (size_t i = 0; i < std::size(names); i += 2)
        EXPECT_EQ(presetDisplayName(names[i]), names[i + 1]) << names[i];
    // A path, then the same trimmed of its extension and given it once, in
    // its exact case.
    const char* paths[] = {"/p/song",         "/p/song.fxp",    "/p/song.fxp", "/p/song.fxp",
                           "/p/song.fxp.fxp", "/p/song.fxp",    "/p/song.abc", "/p/song.abc.fxp",
                           "/p/song.FXP",     "/p/song.FXP.fxp"};
    for (size_t i = 0; i < std::size(paths); i += 2)
        EXPECT_EQ(withExtension(paths[i], "fxp"), paths[i + 1]);
    std::vector<std::string> lines;
    const DiagnosticSink sink = [&lines](const char* line) { lines.emplace_back(line); };
    EXPECT_EQ(withExtension("ab", "fxp", sink), "ab.fxp");
    EXPECT_EQ(withExtension("/p/x", "fx", sink), "/p/x.fx");
    EXPECT_EQ(lines, (std::vector<std::string>{"file length invalid, expected at least 4 here: 2",
                                               "extension length invalid, expected 3 here: 2"}));
}

TEST(PresetSave, EachKindIsWrittenUnderTheTrimmedPathAndNamesItsMenu) {
    ScratchFolder folder;
    StandInDoor door;
    fillDistinctState(door.state());
    std::string path = folder / "song.fxp.fxp";
    ASSERT_TRUE(savePresetFile(door, path, PresetKind::kArp));
    EXPECT_EQ(path, folder / "song.fxp");
    EXPECT_EQ(readBack(path), presetOf(door.state(), kArpBlockSize, writeArpBlock));
    EXPECT_STREQ(door.state().arpPresetMenuName, "song");
    EXPECT_STREQ(door.state().programName, "song");
    EXPECT_STREQ(door.state().chordPresetMenuName, "chords one");
    EXPECT_EQ(door.lastParameter(146), 1.0f);

    path = folder / "chords";
    ASSERT_TRUE(savePresetFile(door, path, PresetKind::kChords));
    EXPECT_EQ(readBack(path), presetOf(door.state(), kChordBlockSize, writeChordBlock));
    EXPECT_STREQ(door.state().chordPresetMenuName, "chords");

    // A whole-state preset carries the chunk, named after the file, and
    // changes no menu name.
    door.forgetCalls();
    path = folder / "all.fxp";
    ASSERT_TRUE(savePresetFile(door, path, PresetKind::kWholeState));
    EXPECT_EQ(readBack(path), presetOf(door.state(), kStateChunkSize, writeStateChunk));
    EXPECT_STREQ(door.state().programName, "all");
    EXPECT_STREQ(door.state().arpPresetMenuName, "song");
    EXPECT_TRUE(door.parameters.empty());

    // An unwritable path logs and changes no name.
    path = "/nonexistent-zandrel-folder/x/song";
    EXPECT_FALSE(savePresetFile(door, path, PresetKind::kChords));
    EXPECT_EQ(door.diagnostics, std::vector<std::string>{"\n error writing file."});
    EXPECT_STREQ(door.state().chordPresetMenuName, "chords");
    path.clear();
    EXPECT_FALSE(savePresetFile(door, path, PresetKind::kChords));
}

TEST(PresetLoad, ChordPresetsBringTheChordsAndTheirKeyArpPresetsTheArpeggiator) {
    ScratchFolder folder;
    StandInDoor source;
    fillDistinctState(source.state());
    source.state().currentKey = 5;
    for (uint8_t& key : source.state().voiceKey) key = 5; // voice 2 locked there
    std::string chords = folder / "five", arp = folder / "groove";
    ASSERT_TRUE(savePresetFile(source, chords, PresetKind::kChords));
    ASSERT_TRUE(savePresetFile(source, arp, PresetKind::kArp));

    StandInDoor door;
    std::string buffer = chords;
    ASSERT_TRUE(loadChordPresetFile(door, buffer));
    const EngineState& s = door.state();
    EXPECT_EQ(s.currentKey, 5);
    // Bit for bit: the block carries the floats' own bytes.
    // NOLINTBEGIN(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(s.chordNote, source.state().chordNote, sizeof s.chordNote), 0);
    EXPECT_EQ(std::memcmp(s.chordVel, source.state().chordVel, sizeof s.chordVel), 0);
    // NOLINTEND(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(s.transpose, 24) << "the transpose is not the chords'";
    EXPECT_EQ(door.lastParameter(49 + 2), 1.0f) << "locks come back through the door";
    EXPECT_STREQ(s.chordPresetMenuName, "five");
    EXPECT_EQ(buffer, "five") << "the path buffer holds the display name";
    EXPECT_EQ(door.chordReleases, 1) << "sounding chords end first";

    door.forgetCalls();
    buffer = arp;
    ASSERT_TRUE(loadArpPresetFile(door, buffer));
    EXPECT_EQ(s.currentPattern, 7);
    EXPECT_FLOAT_EQ(s.swing, 0.3f);
    EXPECT_FLOAT_EQ(s.gate, 0.75f);
    for (int j = 0; j < 12; ++j) EXPECT_EQ(s.arpNoteRule[j], j % 4);
    EXPECT_EQ(s.patterns[9].laneDivider[3], source.state().patterns[9].laneDivider[3]);
    EXPECT_STREQ(s.patterns[9].patternName, "groove 9");
    EXPECT_STREQ(s.arpPresetMenuName, "groove");
    EXPECT_EQ(s.transpose, 24);
    EXPECT_GE(door.arpReleases, 1) << "sounding arp notes end first";
}

TEST(PresetLoad, OlderBlocksWholeStatePresetsAndTheLegacyParameterBlock) {
    StandInDoor source;
    fillDistinctState(source.state());
    // An older arp block of 1.06 takes the rules at their switches.
    std::vector<uint8_t> block(kArpBlockSize);
    writeArpBlock(source.state(), block.data());
    putLeF32(&block[0], 1.06f);
    for (int j = 0; j < 12; ++j) block[19072 + j] = static_cast<uint8_t>(3 - j % 4);
    StandInDoor older;
    ASSERT_EQ(setChunk(older, block.data(), kOlderArpBlockSize), 0);
    for (int j = 0; j < 12; ++j) EXPECT_EQ(older.state().arpNoteRule[j], 3 - j % 4);
    // A whole-state preset in the chord menu loads its chords.
    const auto whole = presetOf(source.state(), kStateChunkSize, writeStateChunk);
    StandInDoor door;
    ASSERT_TRUE(loadChordPreset(door, whole.data(), whole.size(), "/x/y/whole.fxp"));
    EXPECT_EQ(door.state().chordVel[7][100], source.state().chordVel[7][100]);
    EXPECT_EQ(door.arpResets, 0);
    // The parameter block of the first versions loads as an arp preset.
    std::vector<uint8_t> legacy(kLegacyParameterBlockSize, 0);
    putLeF32(&legacy[legacy_block::kTie + 4 * 8], 1.0f);
    const auto old = presetFileBytes(legacy.data(), kLegacyParameterBlockSize);
    ASSERT_TRUE(loadArpPreset(door, old.data(), old.size(), "/p/q/old.fxp"));
    EXPECT_EQ(door.state().patterns[11].rowValue[6][8], 1.0f);
    EXPECT_STREQ(door.state().arpPresetMenuName, "old");
}

TEST(PresetLoad, ShortBlocksChangeNothingAndLeaveOneLine) {
    // (Broken files of every other kind: the preset-file fuzz target.)
    StandInDoor source;
    fillDistinctState(source.state());
    std::vector<uint8_t> arp(kArpBlockSize), chords(kChordBlockSize);
    writeArpBlock(source.state(), arp.data());
    writeChordBlock(source.state(), chords.data());
    StandInDoor door;
    const EngineState before = door.state();
    EXPECT_EQ(setChunk(door, arp.data(), kOlderArpBlockSize), -1) << "1.091 needs 19096";
    EXPECT_FALSE(applyArpBlock(door, arp.data(), 5000));
    EXPECT_FALSE(applyChordBlock(door, chords.data(), kChordBlockReadSize - 1));
    const auto cut = presetOf(source.state(), kChordBlockSize, writeChordBlock);
    EXPECT_FALSE(loadChordPreset(door, cut.data(), cut.size() - 1, "/a/b/c.fxp"));
    EXPECT_TRUE(sameRecord(before, door.state()));
    EXPECT_EQ(door.diagnostics.size(), 4u);
    EXPECT_EQ(door.chordReleases + door.arpReleases, 0);
    EXPECT_TRUE(applyChordBlock(door, chords.data(), kChordBlockReadSize));
    std::string missing = "/nonexistent-zandrel-folder/p.fxp";
    EXPECT_FALSE(loadChordPresetFile(door, missing));
}
