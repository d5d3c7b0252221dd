// MIDI files: a single-track file imported as chords of consecutive keys,
// and the file written when the current chord or arpeggio is dragged into
// the host, read back by midicsv (its bytes are pinned by the golden exports).
#include "format_test_support.h"
#include "midi_import.h"

#include "midi_export_file.h"
#include "preset_file.h"
#include <initializer_list>
#include <map>
#include <sstream>
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

struct Import {
    StandInDoor door;
    std::vector<std::string> log;
    MidiImportResult run(const std::vector<uint8_t>& file) {
        return importMidiChords(door.state(), file.data(), file.size(),
                                [this](const char* line) { log.emplace_back(line); });
    }
    // The voices of a key as note numbers, 0 for empty, up to the last note.
    std::vector<int> voices(int key) const {
        std::vector<int> notes;
        for (int k = 0; k < kVoiceCount; ++k)
            notes.push_back(static_cast<int>(door.st->chordNote[k][key] * 128.0f));
        while (!notes.empty() && notes.back() == 0) notes.pop_back();
        return notes;
    }
};
} // namespace

TEST(MidiImport, NotesHeldTogetherBecomeTheChordsOfConsecutiveKeys) {
    struct Case {
        int currentKey;
        std::vector<uint8_t> file;
        std::map<int, std::vector<int>> voices; // by key
        int nextKey;
    };
    const Case cases[] = {
        // Three held chords from the current key; the next key untouched.
        {40,
         smf({0x00, 0x90, 60,   100,  0x00, 0x90, 64,   100,  0x00, 0x90, 67,   100,  0x83, 0x60,
              0x80, 60,   0,    0x00, 0x80, 64,   0,    0x00, 0x80, 67,   0,    0x00, 0x90, 62,
              100,  0x00, 0x90, 65,   100,  0x00, 0x90, 69,   100,  0x83, 0x60, 0x80, 62,   0,
              0x00, 0x80, 65,   0,    0x00, 0x80, 69,   0,    0x00, 0x90, 64,   100,  0x00, 0x90,
              67,   100,  0x00, 0x90, 71,   100,  0x83, 0x60, 0x80, 64,   0,    0x00, 0x80, 67,
              0,    0x00, 0x80, 71,   0,    0x00, 0xFF, 0x2F, 0x00}),
         {{40, {60, 64, 67}}, {41, {62, 65, 69}}, {42, {64, 67, 71}}, {43, {43, 46, 50}}},
         43},
        // Ten notes at once spill into the next key, closed by the later delta.
        {10,
         smf({0x00, 0x90, 50, 1, 0x00, 51, 1, 0x00, 52, 1, 0x00, 53, 1, 0x00, 54,   1,  0x00, 55,
              1,    0x00, 56, 1, 0x00, 57, 1, 0x00, 58, 1, 0x00, 59, 1, 0x60, 0x80, 58, 0}),
         {{10, {50, 51, 52, 53, 54, 55, 56, 57}}, {11, {58, 59}}},
         12},
        // A repeated note-on is ignored.
        {0,
         smf({0x00, 0x90, 60, 1, 0x00, 0x90, 60, 1, 0x00, 0x90, 67, 1, 0x10, 0x90, 70, 1}),
         {{0, {60, 67}}, {1, {70, 4, 8}}},
         1},
        // At key 126 two keys fill and the import ends, no wrap to key 0.
        {126,
         smf({0x00, 0x90, 60,   1,    0x10, 0x90, 61,   1,    0x10, 0x90,
              62,   1,    0x10, 0x90, 63,   1,    0x10, 0x80, 63,   0}),
         {{126, {60}}, {127, {61}}, {0, {0, 3, 7}}},
         128},
        // Controllers, programs, sysex and meta events do not disturb the grouping.
        {0,
         smf({0x00, 0x90, 60,   1,    0x00, 0xB0, 7,    100,  0x00, 0xE0, 0,    64,
              0x00, 0xC0, 5,    0x00, 0xD0, 9,    0x00, 0xF0, 2,    0x43, 0xF7, 0x00,
              0xFF, 0x01, 3,    'a',  'b',  'c',  0x00, 0x90, 64,   1,    0x00, 0x80,
              60,   0,    0x00, 0x80, 64,   0,    0x00, 0x90, 70,   1}),
         {{0, {60, 64}}, {1, {70, 4, 8}}},
         1},
        // Running status, a velocity of 0 releasing.
        {0,
         smf({0x00, 0x90, 60, 1, 0x00, 64, 1, 0x00, 60, 0, 0x00, 64, 0, 0x00, 67, 1}),
         {{0, {60, 64}}, {1, {67, 4, 8}}},
         1},
        // A chord still open at the end keeps its notes.
        {0, smf({0x00, 0x90, 60, 1, 0x00, 0x90, 64}), {{0, {60, 3, 7}}}, 0},
    };
    for (const Case& c : cases) {
        Import im;
        im.door.state().currentKey = static_cast<uint8_t>(c.currentKey);
        const MidiImportResult r = im.run(c.file);
        SCOPED_TRACE(&c - cases);
        EXPECT_TRUE(r.accepted);
        EXPECT_EQ(r.firstKey, c.currentKey);
        EXPECT_EQ(r.nextKey, c.nextKey);
        for (const auto& [key, voices] : c.voices) EXPECT_EQ(im.voices(key), voices) << key;
        EXPECT_EQ(im.door.state().chordVel[0][c.currentKey], 0.5f) << "velocities are not taken";
    }
}

TEST(MidiImport, HeaderChecksRefuseWithTheirMessageAndChangeNothing) {
    std::vector<std::pair<std::vector<uint8_t>, const char*>> cases = {
        {smf({0x00, 0x90, 60, 1}, 1), "\n invalid header - not type 0 Standard MIDI file"},
        {smf({0x00, 0x90, 60, 1}, 0, 2), "\n invalid header - not a single-track MIDI file"},
        {{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1}, "\n invalid header for MIDI file"},
        {{}, "\n invalid header for MIDI file"},
        {smf({0x00, 0x90, 60, 1}), "\n invalid header - not for Standard MIDI file"},
        {smf({0x00, 0x90, 60, 1}), "\n invalid header for MIDI file"},
    };
    cases[4].first[7] = 7;
    cases[5].first[1] = 'X';
    for (const auto& [file, message] : cases) {
        Import im;
        const EngineState before = im.door.state();
        EXPECT_FALSE(im.run(file).accepted) << message;
        EXPECT_EQ(im.log, std::vector<std::string>{message});
        EXPECT_TRUE(sameRecord(before, im.door.state())) << message;
    }
}

namespace {

constexpr double kSamplesPerBeat = 24000.0; // 120 BPM at 48 kHz

std::vector<uint8_t> exportOf(const std::vector<MidiMessage>& events,
                              ExportMode mode = ExportMode::kChord, const char* name = "C",
                              std::vector<std::string>* log = nullptr) {
    const DiagnosticSink sink = [log](const char* line) {
        if (log) log->emplace_back(line);
    };
    return midiExportBytes(events, kSamplesPerBeat, name, mode, 2, sink);
}

// The file's lines as midicsv prints them.
std::vector<std::string> midicsvLines(const std::vector<uint8_t>& file) {
    ScratchFolder folder;
    const std::string path = folder / "export.mid";
    EXPECT_TRUE(writeMidiExportFile(path, file));
    std::vector<std::string> lines;
    std::istringstream in(runCommand("midicsv '" + path + "'").text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

const std::vector<MidiMessage> kCMajor = {
    {0, 0x90, 60, 100}, {0, 0x90, 64, 100}, {0, 0x90, 67, 100}};

} // namespace

TEST(MidiExportFile, MidicsvReadsAnArpeggioWithLongDeltas) {
    // Sixteenth notes at 120 BPM: 6000 samples = 120 ticks; a quarter is
    // 480 ticks and needs two bytes.
    const std::vector<MidiMessage> events = {
        {6000, 0x80, 62, 0},   {0, 0x90, 60, 90},    {6000, 0x90, 64, 80}, {3000, 0x80, 60, 0},
        {30000, 0x90, 67, 70}, {96000, 0x80, 67, 0}, {96000, 0x80, 64, 0}};
    const std::vector<std::string> lines =
        midicsvLines(exportOf(events, ExportMode::kArpeggio, "Dm7"));
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[2], "1, 0, Title_t, \"Dm7     (Pat C)\\000\"");
    EXPECT_EQ(lines[3], "1, 0, Note_on_c, 0, 60, 90");
    EXPECT_EQ(lines[4], "1, 60, Note_off_c, 0, 60, 0");
    EXPECT_EQ(lines[5], "1, 120, Note_off_c, 0, 62, 0");
    EXPECT_EQ(lines[6], "1, 120, Note_on_c, 0, 64, 80");
    EXPECT_EQ(lines[7], "1, 600, Note_on_c, 0, 67, 70");
    EXPECT_EQ(lines[8], "1, 1920, Note_off_c, 0, 67, 0");
    EXPECT_EQ(lines[9], "1, 1920, Note_off_c, 0, 64, 0");
    EXPECT_EQ(lines[10], "1, 1920, End_track");
}

TEST(MidiExportFile, TrackNamesAreCutAndPadded) {
    const std::vector<uint8_t> chord = exportOf(kCMajor, ExportMode::kChord, "Abmaj7#11/Eb13");
    EXPECT_EQ(std::string(chord.begin() + 26, chord.begin() + 42),
              std::string("Abmaj7#11/Eb13") + std::string("\0 ", 2));
    const std::vector<uint8_t> arp = exportOf(kCMajor, ExportMode::kArpeggio, "Abmaj7#11/Eb13");
    EXPECT_EQ(std::string(arp.begin() + 26, arp.begin() + 42),
              std::string("Abmaj7#1(Pat C)") + std::string(1, '\0'));
}

TEST(MidiExportFile, TicksRoundInSinglePrecisionNegativeTimesAndHangingNotesAreLogged) {
    // At 24000 samples per beat a sample is 0.02 ticks: sample 1 rounds to
    // tick 0, sample 26 (0.52 ticks) to tick 1.
    std::vector<uint8_t> f = exportOf({{1, 0x90, 60, 1}, {26, 0x80, 60, 0}});
    EXPECT_EQ(f[42], 0);
    EXPECT_EQ(f[46], 1);
    // A negative time is taken as 0; the following event is 48 ticks later.
    std::vector<std::string> log;
    f = exportOf({{-50, 0x90, 60, 100}, {2400, 0x80, 60, 0}}, ExportMode::kChord, "C", &log);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 42, f.begin() + 50),
              (std::vector<uint8_t>{0, 0x90, 60, 100, 48, 0x80, 60, 0}));
    EXPECT_EQ(log.front(),
              "\n warning - MIDI Export, delta is negative for ev# 0, frames# -50, lastdelta is 0");
    EXPECT_EQ(log[1], "\n  ev# 0, CCVal 144 delta reads 0 frames# 0, lastdelta is 0");
    exportOf({{0, 0x90, 72, 1}}, ExportMode::kChord, "C", &log);
    EXPECT_EQ(log.back(),
              "\n adding note off for note 72 - delta set 1920, finalppq calc 1920.000000, "
              "lastdelta calc 0");
}

TEST(MidiExportFile, TheModeValueSelectsTheArpeggioAtOneAndAnUnwritableTargetFails) {
    EXPECT_EQ(exportModeOfValue(1.0f), ExportMode::kArpeggio);
    EXPECT_EQ(exportModeOfValue(0.6f), ExportMode::kArpeggio);
    EXPECT_EQ(exportModeOfValue(0.0f), ExportMode::kChord);
    EXPECT_EQ(exportModeOfValue(2.0f), ExportMode::kChord);
    EXPECT_FALSE(writeMidiExportFile("/nonexistent-zandrel-folder/temp.mid", exportOf(kCMajor)));
}
