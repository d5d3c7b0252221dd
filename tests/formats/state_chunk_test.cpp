// The state chunk a host keeps in its project: its bytes, and what loading
// it does to the engine.
#include "byte_order.h"
#include "format_test_support.h"
#include "pattern_image.h"
#include "state_chunk.h"

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

TEST(StateChunkBytes, FieldsLandAtTheirOffsets) {
    StandInDoor door;
    fillDistinctState(door.state());
    const std::vector<uint8_t> c = chunkOf(door.state());

    EXPECT_EQ(getLe32(&c[8216]), 0x3F8BA5E3u) << "version 1.091";
    EXPECT_EQ(getLe32(&c[27384]), 0u) << "no chord-only mark";
    EXPECT_EQ(c[2], 1) << "voice 2 locked";
    EXPECT_EQ(c[8 + 2], 40);
    EXPECT_EQ(c[16], 60);
    EXPECT_EQ(getLeF32(&c[20 + 512 * 3 + 4 * 100]), door.state().chordNote[3][100]);
    EXPECT_EQ(getLeF32(&c[4116 + 512 * 7 + 4 * 127]), door.state().chordVel[7][127]);
    EXPECT_EQ(static_cast<int8_t>(c[8212]), 30);
    EXPECT_EQ(c[8220], 1);
    EXPECT_EQ(getLeF32(&c[8224 + 8]), door.state().chordNote[2][40]) << "voice 2 at its own key";
    EXPECT_EQ(getLeF32(&c[8256 + 8]), door.state().chordVel[2][40]);
    EXPECT_STREQ(reinterpret_cast<const char*>(&c[8288]), "My Song");
    EXPECT_EQ(getLeF32(&c[8316]), 64.0f);
    EXPECT_EQ(getLe32(&c[8348]), door.state().arpHeldAux[0]);
    EXPECT_EQ(c[8381], 1);
    EXPECT_FLOAT_EQ(getLeF32(&c[8384]), 0.3f);
    EXPECT_FLOAT_EQ(getLeF32(&c[8412]), 0.75f);
    EXPECT_EQ(getLeI32(&c[8416]), 7);
    EXPECT_EQ(getLeF32(&c[8420]), 1.0f);
    EXPECT_EQ(getLeF32(&c[8424]), 1.0f);
    EXPECT_FLOAT_EQ(getLeF32(&c[8936 + 1536 * 4 + 4 * 3]), 0.5f) << "pattern 4, row 0, step 3";
    EXPECT_EQ(getLeI32(&c[8936 + 1536 * 11 + 1216 + 8]), 5) << "pattern 11, lane 2 length";
    EXPECT_EQ(c[27368 + 0], 0);
    EXPECT_EQ(c[27368 + 3], 1) << "switch for rule 3";
    EXPECT_EQ(getLeI32(&c[27400 + 4 * 3]), 3);
    EXPECT_EQ(c[27380], 0);
    EXPECT_EQ(c[27381], 1);
    EXPECT_EQ(getLe32(&c[27392]), 0u);
    EXPECT_EQ(getLe32(&c[27396]), 1u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&c[27448]), "arps one");
    EXPECT_STREQ(reinterpret_cast<const char*>(&c[27480]), "chords one");
}

TEST(StateChunkBytes, NegativeNoteRulesAreSignExtended) {
    StandInDoor door;
    door.state().arpNoteRule[5] = -2;
    const std::vector<uint8_t> c = chunkOf(door.state());
    EXPECT_EQ(getLeI32(&c[27400 + 20]), -2);
    EXPECT_EQ(c[27368 + 5], 1);
}

TEST(StateChunkBytes, ProgramNameKeepsTwentySevenCharacters) {
    StandInDoor door;
    std::strcpy(door.state().programName, "abcdefghijklmnopqrstuvwxyz0123");
    const std::vector<uint8_t> c = chunkOf(door.state());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&c[8288])), "abcdefghijklmnopqrstuvwxyz0");
}

TEST(StateChunkLoad, RoundTripRestoresEveryListedField) {
    StandInDoor source;
    fillDistinctState(source.state());
    // Locked voices come back through the current key (next test).
    source.state().voiceLock[2] = 0;
    source.state().voiceKey[2] = 60;
    const std::vector<uint8_t> chunk = chunkOf(source.state());

    StandInDoor target;
    ASSERT_EQ(setChunk(target, chunk.data(), kStateChunkSize), 0);
    const EngineState& a = source.state();
    const EngineState& b = target.state();
    for (int k = 0; k < kVoiceCount; ++k)
        for (int n = 0; n < kKeyCount; ++n) {
            ASSERT_EQ(b.chordNote[k][n], a.chordNote[k][n]) << k << "," << n;
            ASSERT_EQ(b.chordVel[k][n], a.chordVel[k][n]) << k << "," << n;
        }
    EXPECT_EQ(0, std::memcmp(b.voiceKey, a.voiceKey, 8));
    EXPECT_EQ(0, std::memcmp(b.voiceLock, a.voiceLock, 8));
    EXPECT_EQ(b.currentKey, 60);
    EXPECT_EQ(b.transpose, 30);
    EXPECT_EQ(b.swing, a.swing);
    EXPECT_EQ(b.gate, a.gate);
    EXPECT_EQ(b.currentPattern, 7);
    EXPECT_EQ(b.arpOn, 0);
    EXPECT_EQ(b.chordsOn, 1);
    EXPECT_EQ(b.midiLatch, 1);
    EXPECT_EQ(b.arpFreeRate, 1);
    EXPECT_EQ(b.previewMuted, 1);
    EXPECT_EQ(b.xmitChordsCh2, 1);
    EXPECT_EQ(b.xmitVoicesCh3, 0);
    EXPECT_EQ(b.editorScaleValue, 1.0f);
    EXPECT_EQ(0, std::memcmp(b.arpNoteRule, a.arpNoteRule, 12));
    EXPECT_STREQ(b.arpPresetMenuName, "arps one");
    EXPECT_STREQ(b.chordPresetMenuName, "chords one");
    for (int p = 0; p < kPatternCount; ++p) {
        std::vector<uint8_t> imageA(kPatternImageSize), imageB(kPatternImageSize);
        writePatternImage(a.patterns[p], imageA.data());
        writePatternImage(b.patterns[p], imageB.data());
        EXPECT_EQ(imageA, imageB) << "pattern " << p;
    }
}

TEST(StateChunkLoad, EveryTransposeSurvivesTheParameterDoor) {
    for (int t = 0; t <= 48; ++t) {
        StandInDoor source;
        source.state().transpose = static_cast<int8_t>(t);
        const std::vector<uint8_t> chunk = chunkOf(source.state());
        StandInDoor target;
        setChunk(target, chunk.data(), kStateChunkSize);
        EXPECT_EQ(target.state().transpose, t);
    }
}

TEST(StateChunkLoad, ALockedVoiceKeepsItsLockAndItsOwnKeysEntry) {
    StandInDoor source;
    fillDistinctState(source.state());
    const std::vector<uint8_t> chunk = chunkOf(source.state());
    StandInDoor target;
    setChunk(target, chunk.data(), kStateChunkSize);

    // The current key moves every voice that is unlocked while it is set;
    // the lock then comes back with the voice still sounding its note.
    const EngineState& t = target.state();
    EXPECT_EQ(t.voiceLock[2], 1);
    EXPECT_EQ(t.chordNote[2][t.voiceKey[2]], source.state().chordNote[2][40]);
    EXPECT_EQ(t.chordVel[2][t.voiceKey[2]], source.state().chordVel[2][40]);
    // The editor hears the locked voice's entry, only as a notification.
    const std::pair<int32_t, float> note{33 + 2, source.state().chordNote[2][40]};
    const std::pair<int32_t, float> vel{41 + 2, source.state().chordVel[2][40]};
    EXPECT_NE(std::find(target.notifications.begin(), target.notifications.end(), note),
              target.notifications.end());
    EXPECT_NE(std::find(target.notifications.begin(), target.notifications.end(), vel),
              target.notifications.end());
    for (int k : {0, 1, 3, 4, 5, 6, 7}) EXPECT_EQ(target.state().voiceLock[k], 0) << k;
}

TEST(StateChunkLoad, StartsFromFreshChordsAndTellsTheEditorToRebuild) {
    const std::vector<uint8_t> chunk = distinctChunk();
    StandInDoor door;
    setChunk(door, chunk.data(), kStateChunkSize);
    EXPECT_EQ(door.chordResets, 1);
    EXPECT_EQ(door.arpResets, 1);
    ASSERT_FALSE(door.parameters.empty());
    EXPECT_EQ(door.parameters.front(), std::make_pair(75, 0.0f)) << "input mode off first";
    EXPECT_EQ(door.lastParameter(127), 17.0f);
    EXPECT_EQ(door.lastParameter(85), 10.0f);
    EXPECT_FLOAT_EQ(door.lastParameter(96), 0.3f + 0.07f) << "rate of the current pattern";
    EXPECT_EQ(door.lastParameter(84), 60 * 0.0078125f);
    EXPECT_EQ(door.displayUpdates, 1);
}

TEST(StateChunkLoad, WritesDuringTheLoadPassTheGuardAndTheGuardHoldsAfterwards) {
    const std::vector<uint8_t> chunk = distinctChunk();
    StandInDoor door;
    door.state().paramGuardBlocks = 3; // a load right after resume
    setChunk(door, chunk.data(), kStateChunkSize);
    EXPECT_TRUE(door.ignored.empty());
    EXPECT_EQ(door.state().paramGuardBlocks, 1);

    // Stale host automation in the following blocks is ignored; the
    // editor's indices still pass.
    door.setParameter(1, 0.9f);
    door.setParameter(33, 0.5f);
    EXPECT_FLOAT_EQ(door.state().swing, 0.3f);
    EXPECT_EQ(door.state().chordNote[0][60], 0.5f);
}

TEST(StateChunkLoad, ChordOnlyMarkRestoresOnlyTheChordMemory) {
    std::vector<uint8_t> chunk = distinctChunk();
    putLe32(&chunk[27384], 1);
    StandInDoor door;
    door.state().swing = 0.6f;
    door.state().currentPattern = 2;
    door.state().patterns[0].rate = 0.9f;

    ASSERT_EQ(setChunk(door, chunk.data(), kStateChunkSize), 0);
    EXPECT_EQ(door.arpResets, 0);
    EXPECT_EQ(door.state().transpose, 30);
    EXPECT_EQ(door.state().currentKey, 60);
    EXPECT_EQ(door.state().chordNote[5][10], ((10 + 25) % 120 + 1) / 128.0f);
    EXPECT_FLOAT_EQ(door.state().swing, 0.6f);
    EXPECT_EQ(door.state().currentPattern, 2);
    EXPECT_EQ(door.state().patterns[0].rate, 0.9f);
    EXPECT_EQ(door.state().paramGuardBlocks, kParamGuardLength) << "host writes stay open";
    EXPECT_FALSE(door.sawParameter(127));
}

TEST(StateChunkLoad, VersionOneOhFiveTakesSwitchRulesAndLeavesNewerFieldsAtDefaults) {
    std::vector<uint8_t> chunk = distinctChunk();
    putLeF32(&chunk[8216], 1.05f);
    StandInDoor door;
    door.state().midiLatch = 0;
    door.state().editorScaleValue = 1.0f;

    setChunk(door, chunk.data(), kStateChunkSize);
    for (int j = 0; j < 12; ++j) EXPECT_EQ(door.state().arpNoteRule[j], j % 4 != 0) << j;
    EXPECT_EQ(door.state().midiLatch, 0);
    EXPECT_FALSE(door.sawParameter(30));
    EXPECT_EQ(door.state().editorScaleValue, 0.0f);
    EXPECT_EQ(door.lastParameter(105), 0.0f);
    EXPECT_EQ(door.state().arpFreeRate, 0);
    EXPECT_EQ(door.lastParameter(31), 0.0f);
    EXPECT_EQ(door.state().xmitChordsCh2, 1) << "1.03 <= 1.05";
    EXPECT_EQ(door.state().previewMuted, 1);
    EXPECT_STREQ(door.state().arpPresetMenuName, "arps one");
}

TEST(StateChunkLoad, VersionOneOhOhLoadsNoPreviewNoNamesAndNoXmit) {
    std::vector<uint8_t> chunk = distinctChunk();
    putLeF32(&chunk[8216], 1.0f);
    StandInDoor door;
    door.state().xmitChordsCh2 = 1;

    setChunk(door, chunk.data(), kStateChunkSize);
    EXPECT_EQ(door.state().previewMuted, 0);
    EXPECT_FALSE(door.sawParameter(104));
    EXPECT_EQ(door.displayUpdates, 0);
    EXPECT_STREQ(door.state().arpPresetMenuName, "- Arp Presets -");
    EXPECT_STREQ(door.state().chordPresetMenuName, "- Chord Presets -");
    EXPECT_EQ(door.state().xmitChordsCh2, 0);
    EXPECT_EQ(door.state().xmitVoicesCh3, 0);
}

TEST(StateChunkLoad, GatesPassAtTheirOwnVersionAndANanVersionPassesNone) {
    std::vector<uint8_t> chunk = distinctChunk();
    putLeF32(&chunk[8216], 1.01f);
    StandInDoor atGate;
    setChunk(atGate, chunk.data(), kStateChunkSize);
    EXPECT_EQ(atGate.state().previewMuted, 1);

    putLeF32(&chunk[8216], std::nanf(""));
    StandInDoor nan;
    nan.state().xmitChordsCh2 = 1;
    setChunk(nan, chunk.data(), kStateChunkSize);
    EXPECT_EQ(nan.state().previewMuted, 0);
    EXPECT_EQ(nan.state().xmitChordsCh2, 0);
    EXPECT_STREQ(nan.state().arpPresetMenuName, "- Arp Presets -");
    EXPECT_EQ(nan.state().arpFreeRate, 0);
    EXPECT_EQ(nan.state().arpNoteRule[3], 1) << "switch byte, not the full rule";
}

TEST(StateChunkLoad, LaneLengthsAndDividersBelowOneAreRepaired) {
    std::vector<uint8_t> chunk = distinctChunk();
    putLeI32(&chunk[8936 + 1536 * 3 + 1216 + 4 * 1], 0);
    putLeI32(&chunk[8936 + 1536 * 3 + 1216 + 4 * 2], -7);
    putLeI32(&chunk[8936 + 1536 * 9 + 1344 + 4 * 5], 0);
    putLeI32(&chunk[8936 + 1536 * 9 + 1344 + 4 * 6], INT32_MIN);
    StandInDoor door;
    setChunk(door, chunk.data(), kStateChunkSize);
    EXPECT_EQ(door.state().patterns[3].laneLength[1], 16);
    EXPECT_EQ(door.state().patterns[3].laneLength[2], 16);
    EXPECT_EQ(door.state().patterns[9].laneDivider[5], 1);
    EXPECT_EQ(door.state().patterns[9].laneDivider[6], 1);
    EXPECT_EQ(door.state().patterns[9].laneLength[2], 5) << "good values stay";
}

TEST(StateChunkLoad, IndicesBeyondTheTablesAreKeptInside) {
    std::vector<uint8_t> chunk = distinctChunk();
    chunk[16] = 200;
    chunk[8 + 2] = 255;
    putLeI32(&chunk[8416], 99);
    StandInDoor door;
    setChunk(door, chunk.data(), kStateChunkSize);
    EXPECT_EQ(door.state().currentKey, 127);
    EXPECT_EQ(door.state().voiceKey[2], 127);
    EXPECT_EQ(door.state().currentPattern, 11);
}

TEST(SetChunkDispatch, RefusedLengthsChangeNothing) {
    const std::vector<uint8_t> chunk = distinctChunk();
    for (int32_t size : {19096, 0, -1, 4, 1027, 8311, 19083, 27383}) {
        StandInDoor door;
        const EngineState before = door.state();
        EXPECT_EQ(setChunk(door, chunk.data(), size), -1) << size;
        EXPECT_TRUE(sameRecord(before, door.state())) << size;
        EXPECT_TRUE(door.parameters.empty()) << size;
        EXPECT_EQ(door.diagnostics.size(), 1u) << size;
    }
    StandInDoor door;
    EXPECT_EQ(setChunk(door, nullptr, kStateChunkSize), -1);
}

TEST(SetChunkDispatch, LongerBlocksAreOlderStateChunks) {
    std::vector<uint8_t> chunk = distinctChunk();
    chunk.resize(30000, 0);
    StandInDoor door;
    EXPECT_EQ(setChunk(door, chunk.data(), 30000), 0);
    EXPECT_EQ(door.state().currentKey, 60);
    EXPECT_EQ(door.state().paramGuardBlocks, kParamGuardLength);
    EXPECT_TRUE(
        door.sawDiagnostic("\n set_OLD_Chunk, bytesize is 30000, and Chunk_Solid_RAM 27512"));
}
