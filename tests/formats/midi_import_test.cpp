// Importing a single-track MIDI file as chords of consecutive keys.
#include "format_test_support.h"
#include "midi_import.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// A format-0 file around the given track bytes.
std::vector<uint8_t> smf(std::initializer_list<uint8_t> track, uint8_t format = 0,
                         uint8_t tracks = 1) {
    std::vector<uint8_t> f = {
        'M',    'T',  'h',  'd', 0,   0,   0,   6, 0, format, 0,
        tracks, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0,      static_cast<uint8_t>(track.size())};
    // Room first: GCC 12 otherwise warns about the insert beyond the header.
    f.reserve(f.size() + track.size());
    f.insert(f.end(), track);
    return f;
}

float note(int n) {
    return n / 128.0f;
}

struct Import {
    StandInDoor door;
    std::vector<std::string> log;
    MidiImportResult run(const std::vector<uint8_t>& file) {
        return importMidiChords(door.state(), file.data(), file.size(),
                                [this](const char* line) { log.emplace_back(line); });
    }
};

} // namespace

TEST(MidiImport, ThreeHeldChordsFillThreeKeysFromTheCurrentKey) {
    Import im;
    im.door.state().currentKey = 40;
    const std::vector<uint8_t> f =
        smf({0x00, 0x90, 60,   100,  0x00, 0x90, 64,   100,  0x00, 0x90, 67,   100,  0x83, 0x60,
             0x80, 60,   0,    0x00, 0x80, 64,   0,    0x00, 0x80, 67,   0,    0x00, 0x90, 62,
             100,  0x00, 0x90, 65,   100,  0x00, 0x90, 69,   100,  0x83, 0x60, 0x80, 62,   0,
             0x00, 0x80, 65,   0,    0x00, 0x80, 69,   0,    0x00, 0x90, 64,   100,  0x00, 0x90,
             67,   100,  0x00, 0x90, 71,   100,  0x83, 0x60, 0x80, 64,   0,    0x00, 0x80, 67,
             0,    0x00, 0x80, 71,   0,    0x00, 0xFF, 0x2F, 0x00});
    const MidiImportResult r = im.run(f);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.firstKey, 40);
    EXPECT_EQ(r.nextKey, 43);
    const EngineState& s = im.door.state();
    const int chords[3][3] = {{60, 64, 67}, {62, 65, 69}, {64, 67, 71}};
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(s.chordNote[k][40 + c], note(chords[c][k]));
        for (int k = 3; k < 8; ++k) EXPECT_EQ(s.chordNote[k][40 + c], 0.0f) << c << "," << k;
    }
    EXPECT_EQ(s.chordNote[0][43], note(43)) << "the next key is untouched";
    EXPECT_EQ(s.chordVel[0][40], 0.5f) << "velocities are not taken";
}

TEST(MidiImport, TenSimultaneousNotesSpillIntoTheNextKey) {
    Import im;
    im.door.state().currentKey = 10;
    const std::vector<uint8_t> f =
        smf({0x00, 0x90, 50, 1, 0x00, 51, 1, 0x00, 52, 1, 0x00, 53, 1, 0x00, 54,   1,  0x00, 55,
             1,    0x00, 56, 1, 0x00, 57, 1, 0x00, 58, 1, 0x00, 59, 1, 0x60, 0x80, 58, 0});
    im.run(f);
    const EngineState& s = im.door.state();
    for (int k = 0; k < 8; ++k) EXPECT_EQ(s.chordNote[k][10], note(50 + k)) << k;
    EXPECT_EQ(s.chordNote[0][11], note(58));
    EXPECT_EQ(s.chordNote[1][11], note(59));
    for (int k = 2; k < 8; ++k) EXPECT_EQ(s.chordNote[k][11], 0.0f) << "closed by the later delta";
}

TEST(MidiImport, ARepeatedNoteOnIsIgnored) {
    Import im;
    im.run(smf({0x00, 0x90, 60, 1, 0x00, 0x90, 60, 1, 0x00, 0x90, 67, 1, 0x10, 0x90, 70, 1}));
    const EngineState& s = im.door.state();
    EXPECT_EQ(s.chordNote[0][0], note(60));
    EXPECT_EQ(s.chordNote[1][0], note(67));
    EXPECT_EQ(s.chordNote[2][0], 0.0f);
    EXPECT_EQ(s.chordNote[0][1], note(70));
}

TEST(MidiImport, ImportAtKey126FillsTwoKeysAndEnds) {
    Import im;
    im.door.state().currentKey = 126;
    const MidiImportResult r = im.run(smf({0x00, 0x90, 60, 1, 0x10, 0x90, 61, 1, 0x10, 0x90, 62, 1,
                                           0x10, 0x90, 63, 1, 0x10, 0x80, 63, 0}));
    EXPECT_EQ(r.nextKey, 128);
    EXPECT_EQ(im.door.state().chordNote[0][126], note(60));
    EXPECT_EQ(im.door.state().chordNote[0][127], note(61));
    EXPECT_EQ(im.door.state().chordNote[1][0], note(3)) << "no wrap to key 0";
}

TEST(MidiImport, ControllersAndPitchBendDoNotDisturbTheGrouping) {
    Import im;
    im.run(smf({0x00, 0x90, 60,   1,    0x00, 0xB0, 7,    100,  0x00, 0xE0, 0,    64,
                0x00, 0xC0, 5,    0x00, 0xD0, 9,    0x00, 0xF0, 2,    0x43, 0xF7, 0x00,
                0xFF, 0x01, 3,    'a',  'b',  'c',  0x00, 0x90, 64,   1,    0x00, 0x80,
                60,   0,    0x00, 0x80, 64,   0,    0x00, 0x90, 70,   1}));
    const EngineState& s = im.door.state();
    EXPECT_EQ(s.chordNote[0][0], note(60));
    EXPECT_EQ(s.chordNote[1][0], note(64));
    EXPECT_EQ(s.chordNote[2][0], 0.0f) << "closed when both notes were released";
    EXPECT_EQ(s.chordNote[0][1], note(70));
}

TEST(MidiImport, ANoteOnWithVelocityZeroReleases) {
    Import im;
    im.run(smf({0x00, 0x90, 60, 1, 0x00, 64, 1, 0x00, 60, 0, 0x00, 64, 0, 0x00, 67, 1}));
    EXPECT_EQ(im.door.state().chordNote[0][1], note(67));
}

TEST(MidiImport, HeaderChecksRefuseWithTheirMessageAndChangeNothing) {
    struct Case {
        std::vector<uint8_t> file;
        const char* message;
    };
    std::vector<Case> cases = {
        {smf({0x00, 0x90, 60, 1}, 1), "\n invalid header - not type 0 Standard MIDI file"},
        {smf({0x00, 0x90, 60, 1}, 0, 2), "\n invalid header - not a single-track MIDI file"},
        {{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1}, "\n invalid header for MIDI file"},
        {{}, "\n invalid header for MIDI file"},
    };
    cases.push_back({smf({0x00, 0x90, 60, 1}), "\n invalid header - not for Standard MIDI file"});
    cases.back().file[7] = 7;
    cases.push_back({smf({0x00, 0x90, 60, 1}), "\n invalid header for MIDI file"});
    cases.back().file[1] = 'X';
    for (const Case& c : cases) {
        Import im;
        const EngineState before = im.door.state();
        EXPECT_FALSE(im.run(c.file).accepted) << c.message;
        EXPECT_EQ(im.log, std::vector<std::string>{c.message});
        EXPECT_TRUE(sameRecord(before, im.door.state())) << c.message;
    }
}

TEST(MidiImport, TruncatedOrLyingDataStopsInsideTheBuffer) {
    // A chord still open at the end keeps its notes; later voices keep
    // their old values.
    Import open;
    open.run(smf({0x00, 0x90, 60, 1, 0x00, 0x90, 64}));
    EXPECT_EQ(open.door.state().chordNote[0][0], note(60));
    EXPECT_EQ(open.door.state().chordNote[1][0], note(3)) << "untouched default";

    // A meta event claiming more bytes than the file holds, and running
    // status before any status byte.
    for (const auto& track : {std::vector<uint8_t>{0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F, 1},
                              std::vector<uint8_t>{0x00, 60, 1, 0x00, 0x90, 61, 1},
                              std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                              std::vector<uint8_t>{0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F}}) {
        Import im;
        std::vector<uint8_t> f = smf({});
        f.insert(f.end(), track.begin(), track.end());
        EXPECT_TRUE(im.run(f).accepted);
    }
}
