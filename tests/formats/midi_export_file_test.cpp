// The MIDI file written when the current chord or arpeggio is dragged into
// the host. Files are also read back by midicsv, a reader of our own.
#include "format_test_support.h"
#include "midi_export_file.h"
#include "preset_file.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

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

// The file's events as midicsv prints them, without the header and
// end-of-file records.
std::vector<std::string> midicsvLines(const std::vector<uint8_t>& file) {
    ScratchFolder folder;
    const std::string path = folder / "export.mid";
    EXPECT_TRUE(writeMidiExportFile(path, file));
    std::vector<std::string> lines;
    std::FILE* pipe = popen(("midicsv '" + path + "' 2>&1").c_str(), "r");
    if (!pipe) return lines;
    std::array<char, 512> line;
    while (std::fgets(line.data(), line.size(), pipe)) {
        std::string text(line.data());
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        lines.push_back(text);
    }
    pclose(pipe);
    return lines;
}

const std::vector<MidiMessage> kCMajor = {
    {0, 0x90, 60, 100}, {0, 0x90, 64, 100}, {0, 0x90, 67, 100}};

} // namespace

TEST(MidiExportFile, ACMajorChordIsClosedOneBarLaterInAscendingOrder) {
    const std::vector<uint8_t> f = exportOf(kCMajor, ExportMode::kChord, "C");
    const std::vector<uint8_t> expected = {
        'M',  'T',  'h',  'd',  0,    0,    0,    6,    0,    0,    0,
        1,    0x01, 0xE0, 'M',  'T',  'r',  'k',  0,    0,    0,    24 + 3 * 4 + 5 + 2 * 4,
        0x00, 0xFF, 0x03, 0x10, 'C',  0,    ' ',  ' ',  ' ',  ' ',  ' ',
        ' ',  ' ',  ' ',  ' ',  ' ',  ' ',  ' ',  ' ',  ' ',  0x00, 0x90,
        60,   100,  0x00, 0x90, 64,   100,  0x00, 0x90, 67,   100,  0x8F,
        0x00, 0x80, 60,   0,    0x00, 0x80, 64,   0,    0x00, 0x80, 67,
        0,    0x00, 0xFF, 0x2F, 0x00};
    // 0x8F 0x00 is 1920 as a two-byte quantity (15 * 128).
    EXPECT_EQ(f, expected);
}

TEST(MidiExportFile, MidicsvReadsTheChordAsWritten) {
    const std::vector<std::string> lines =
        midicsvLines(exportOf(kCMajor, ExportMode::kChord, "Cmaj"));
    const std::vector<std::string> expected = {"0, 0, Header, 0, 1, 480",
                                               "1, 0, Start_track",
                                               "1, 0, Title_t, \"Cmaj\\000           \"",
                                               "1, 0, Note_on_c, 0, 60, 100",
                                               "1, 0, Note_on_c, 0, 64, 100",
                                               "1, 0, Note_on_c, 0, 67, 100",
                                               "1, 1920, Note_off_c, 0, 60, 0",
                                               "1, 1920, Note_off_c, 0, 64, 0",
                                               "1, 1920, Note_off_c, 0, 67, 0",
                                               "1, 1920, End_track",
                                               "0, 0, End_of_file"};
    EXPECT_EQ(lines, expected);
}

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

TEST(MidiExportFile, NothingCapturedGivesTheEmptyFile) {
    const std::vector<uint8_t> f = exportOf({}, ExportMode::kArpeggio, "Cmaj");
    const std::vector<uint8_t> expected = {
        'M',  'T', 'h', 'd',  0,    0,    0,    6,    0,    0,    0,    1,    0x01,
        0xE0, 'M', 'T', 'r',  'k',  0,    0,    0,    28,   0x00, 0xFF, 0x03, 0x10,
        'e',  'm', 'p', 't',  'y',  '!',  ' ',  ' ',  ' ',  ' ',  ' ',  ' ',  ' ',
        ' ',  ' ', ' ', 0x00, 0xB0, 0x00, 0x00, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(f, expected);
    const std::vector<std::string> lines = midicsvLines(f);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[2], "1, 0, Title_t, \"empty!          \"");
    EXPECT_EQ(lines[3], "1, 0, Control_c, 0, 0, 0");
}

TEST(MidiExportFile, TrackNamesAreCutAndPadded) {
    const std::vector<uint8_t> chord = exportOf(kCMajor, ExportMode::kChord, "Abmaj7#11/Eb13");
    EXPECT_EQ(std::string(chord.begin() + 26, chord.begin() + 42),
              std::string("Abmaj7#11/Eb13") + std::string("\0 ", 2));
    const std::vector<uint8_t> arp = exportOf(kCMajor, ExportMode::kArpeggio, "Abmaj7#11/Eb13");
    EXPECT_EQ(std::string(arp.begin() + 26, arp.begin() + 42),
              std::string("Abmaj7#1(Pat C)") + std::string(1, '\0'));
}

TEST(MidiExportFile, NegativeTimesNeverReachTheFile) {
    std::vector<std::string> log;
    const std::vector<uint8_t> f =
        exportOf({{-50, 0x90, 60, 100}, {2400, 0x80, 60, 0}}, ExportMode::kChord, "C", &log);
    // Taken as time 0; the following event is 48 ticks later.
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 42, f.begin() + 50),
              (std::vector<uint8_t>{0, 0x90, 60, 100, 48, 0x80, 60, 0}));
    EXPECT_EQ(log.front(),
              "\n warning - MIDI Export, delta is negative for ev# 0, frames# -50, lastdelta is 0");
    EXPECT_EQ(log[1], "\n  ev# 0, CCVal 144 delta reads 0 frames# 0, lastdelta is 0");
}

TEST(MidiExportFile, TicksAreRoundedInSinglePrecision) {
    // At 24000 samples per beat a sample is 0.02 ticks: sample 1 rounds to
    // tick 0, sample 26 (0.52 ticks) to tick 1.
    const std::vector<uint8_t> f = exportOf({{1, 0x90, 60, 1}, {26, 0x80, 60, 0}});
    EXPECT_EQ(f[42], 0);
    EXPECT_EQ(f[46], 1);
}

TEST(MidiExportFile, HangingNotesAreLogged) {
    std::vector<std::string> log;
    exportOf({{0, 0x90, 72, 1}}, ExportMode::kChord, "C", &log);
    EXPECT_EQ(log.back(),
              "\n adding note off for note 72 - delta set 1920, finalppq calc 1920.000000, "
              "lastdelta calc 0");
}

TEST(MidiExportFile, TheModeValueSelectsTheArpeggioAtOne) {
    EXPECT_EQ(exportModeOfValue(1.0f), ExportMode::kArpeggio);
    EXPECT_EQ(exportModeOfValue(0.6f), ExportMode::kArpeggio);
    EXPECT_EQ(exportModeOfValue(0.0f), ExportMode::kChord);
    EXPECT_EQ(exportModeOfValue(2.0f), ExportMode::kChord);
}

TEST(MidiExportFile, AnUnwritableTargetIsReportedToTheCaller) {
    EXPECT_FALSE(writeMidiExportFile("/nonexistent-zandrel-folder/temp.mid", exportOf(kCMajor)));
}
