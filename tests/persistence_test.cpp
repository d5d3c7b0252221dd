// Saving and loading as hosts and users meet them: the state chunk a host
// keeps in its project, preset files, program change choosing presets from
// the presets folder, MIDI export read back by midicsv, MIDI import and the
// CSV list.
#include "test_host_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace param;

namespace {
constexpr int32_t kStateChunkBytes = 27512;

using Bytes = std::vector<uint8_t>;

Bytes chunkOf(PluginHost& host) {
    Bytes chunk = stateChunk(host);
    EXPECT_EQ(chunk.size(), static_cast<size_t>(kStateChunkBytes));
    return chunk;
}

intptr_t loadChunk(PluginHost& host, Bytes bytes) {
    return host.dispatch(effSetChunk, 0, static_cast<intptr_t>(bytes.size()), bytes.data());
}

// A documents folder of the test's own, chosen before the plug-in is
// created (it reads its presets folder then).
class Persistence : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_DOCUMENTS_DIR", documents.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_DOCUMENTS_DIR"); }
    fs::path presets() const { return documents.path() / "Vrek" / "Zandrel Presets"; }
    fs::path file(const std::string& name) const { return documents.path() / name; }

    ScratchFolder documents;
};

// A state that differs from the defaults wherever it can.
void changeEverything(PluginHost& host) {
    host.setParameter(kTranspose, static_cast<float>(31 / 48.99)); // +7
    host.setParameter(kSwing, 0.25f);
    host.setParameter(kGate, 0.7f);
    host.setParameter(kArpNoteRuleFirst + 4, 1.0f / 3.0f); // "Arp_No E" muted
    host.setParameter(kChordsOn, 1.0f);
    host.setParameter(kMidiLatch, 1.0f);
    storeChord(host, 5, {61, 65, 68, 72});
    host.setParameter(kLockFirst + 2, 1.0f); // voice 2 locked at key 5
    storeChord(host, 9, {50, 57});
    host.setParameter(kCurrentKey, noteValue(5));
}
} // namespace

TEST_F(Persistence, AHostSavesAndRestoresTheWholeStateBehindALoadGuard) {
    auto saved = makeHost();
    changeEverything(*saved);
    saved->processBlock(64);
    const Bytes chunk = chunkOf(*saved);

    auto restored = makeHost();
    ASSERT_EQ(loadChunk(*restored, chunk), 0);
    // Stale automation right after a load does not overwrite it.
    for (int block = 0; block < 9; ++block) {
        restored->setParameter(kSwing, 0.9f);
        EXPECT_EQ(restored->getParameter(kSwing), 0.25f) << "block " << block;
        restored->processBlock(64);
    }
    EXPECT_EQ(chunkOf(*restored), chunk);
    for (int32_t i = 0; i < kHostParameterCount; ++i) {
        EXPECT_EQ(restored->getParameter(i), saved->getParameter(i)) << "parameter " << i;
        EXPECT_EQ(restored->parameterDisplay(i), saved->parameterDisplay(i)) << "parameter " << i;
    }
    EXPECT_EQ(restored->getParameter(kCurrentKey), noteValue(5));
    EXPECT_EQ(restored->getParameter(kLockFirst + 2), 1.0f);
    EXPECT_EQ(restored->getParameter(kNoteNumFirst + 2), noteValue(68));
    // Transposed by +7, as the saved instance plays them; the locked voice
    // plays its own key's note, transposed as well.
    EXPECT_EQ(chordOf(*restored, 9), chordOf(*saved, 9));
    EXPECT_EQ(chordOf(*restored, 9), (std::vector<int>{57, 64, 75}));
    restored->setParameter(kSwing, 0.9f);
    EXPECT_EQ(restored->getParameter(kSwing), 0.9f);

    // A load right after resume passes its own writes.
    PluginHost fresh(kPluginPath);
    ASSERT_EQ(loadChunk(fresh, chunk), 0);
    EXPECT_EQ(fresh.getParameter(kSwing), 0.25f);
    // An arp preset's block and lengths of nothing known change nothing.
    for (size_t size : {19096u, 0u, 4u, 100u, 1027u, 8311u, 19083u, 27383u})
        EXPECT_EQ(loadChunk(fresh, Bytes(size, 0x41)), -1) << size;
    EXPECT_EQ(chunkOf(fresh), chunk);

    // With the chord-only mark the arpeggiator keeps its own state and its
    // parameters stay writable.
    Bytes chordsOnly = chunk;
    chordsOnly[27384] = 1;
    auto other = makeHost();
    other->setParameter(kSwing, 0.1f);
    ASSERT_EQ(loadChunk(*other, chordsOnly), 0);
    EXPECT_EQ(other->getParameter(kSwing), 0.1f);
    EXPECT_EQ(other->getParameter(kTranspose), saved->getParameter(kTranspose));
    EXPECT_EQ(chordOf(*other, 9), (std::vector<int>{57, 64}));
    other->setParameter(kGate, 0.3f);
    EXPECT_EQ(other->getParameter(kGate), 0.3f);
}

TEST_F(Persistence, PresetFilesOfTheThreeKindsSaveAndLoad) {
    auto saved = makeHost();
    changeEverything(*saved);
    const fs::path whole = file("song.fxp"), chords = file("chords.fxp"), arp = file("arp.fxp");
    // A whole-state preset is the chunk behind the program-file header.
    ASSERT_EQ(service(*saved, kVendorSavePreset, whole.string(), 0.0f), 1);
    const Bytes chunk = chunkOf(*saved);
    EXPECT_EQ(fileText(whole).substr(60), std::string(chunk.begin(), chunk.end()));
    ASSERT_EQ(service(*saved, kVendorSavePreset, chords.string(), 1.0f), 1);
    ASSERT_EQ(service(*saved, kVendorSavePreset, arp.string(), 2.0f), 1);

    auto loaded = makeHost();
    ASSERT_EQ(service(*loaded, kVendorLoadChordPreset, chords.string()), 1);
    EXPECT_EQ(chordOf(*loaded, 5), (std::vector<int>{61, 65, 68, 72}));
    EXPECT_EQ(loaded->getParameter(kSwing), 0.0f); // the swing is the arpeggiator's
    ASSERT_EQ(service(*loaded, kVendorLoadArpPreset, arp.string()), 1);
    EXPECT_EQ(loaded->getParameter(kSwing), 0.25f);
    EXPECT_EQ(loaded->getParameter(kArpNoteRuleFirst + 4), 1.0f / 3.0f);

    // A chord preset offered as an arp preset, and a missing file, load nothing.
    const Bytes before = chunkOf(*loaded);
    EXPECT_EQ(service(*loaded, kVendorLoadArpPreset, chords.string()), 0);
    EXPECT_EQ(service(*loaded, kVendorLoadChordPreset, file("missing.fxp").string()), 0);
    EXPECT_EQ(chunkOf(*loaded), before);
}

TEST_F(Persistence, ProgramChangeLoadsChordAndArpPresetsFromThePresetsFolder) {
    {
        auto author = makeHost(); // creates the maker folder, not below it
        ASSERT_TRUE(fs::is_directory(file("Vrek")));
        fs::create_directories(presets() / "Chord" / "Jazz");
        fs::create_directories(presets() / "Arp");
        const std::vector<std::pair<fs::path, int>> chordFiles = {
            {presets() / "Chord" / "beta.fxp", 62},
            {presets() / "Chord" / "Alpha.fxp", 61},
            {presets() / "Chord" / ".hidden.fxp", 70},
            {presets() / "Chord" / "Jazz" / "one.fxp", 64},
        };
        for (const auto& [path, root] : chordFiles) {
            storeChord(*author, 5, {root, root + 4});
            ASSERT_EQ(service(*author, kVendorSavePreset, path.string(), 1.0f), 1);
        }
        author->setParameter(kSwing, 0.5f);
        const fs::path swung = presets() / "Arp" / "swung.fxp";
        ASSERT_EQ(service(*author, kVendorSavePreset, swung.string(), 2.0f), 1);
    }

    auto host = makeHost(); // reads the lists
    auto programChange = [&](std::vector<std::pair<int, int>> banks, int program) {
        for (const auto& [number, value] : banks) host->controller(0, 1, number, value);
        host->queueMidi(0, 0xC0, static_cast<uint8_t>(program), 0);
        host->processBlock(64);
        service(*host, kVendorRunDeferred, ""); // the load runs off the audio thread
        host->processBlock(64);
    };
    programChange({}, 1); // sorted without regard to case; dot files left out
    EXPECT_EQ(chordOf(*host, 5), (std::vector<int>{62, 66}));
    programChange({}, 0);
    EXPECT_EQ(chordOf(*host, 5), (std::vector<int>{61, 65}));
    programChange({{0, 0}, {32, 1}}, 0); // folder 0 of the chord menu
    EXPECT_EQ(chordOf(*host, 5), (std::vector<int>{64, 68}));
    programChange({{0, 0}, {32, 0}}, 7); // beyond the list: nothing loads
    EXPECT_EQ(chordOf(*host, 5), (std::vector<int>{64, 68}));
    programChange({{0, 1}, {32, 0}}, 0); // bank 1: the arp presets
    EXPECT_EQ(host->getParameter(kSwing), 0.5f);
}

TEST_F(Persistence, ExportedChordsReadBackByMidicsvAndImported) {
    auto host = makeHost();
    storeChord(*host, 60, {60, 64, 67});
    const fs::path mid = file("temp.mid");
    ASSERT_EQ(service(*host, kVendorSetPath, mid.string()), 1);
    host->setParameter(kExportMidi, 0.0f); // the chord button
    const std::string csv = runCommand("midicsv '" + mid.string() + "'").text;
    EXPECT_NE(csv.find("0, 0, Header, 0, 1, "), std::string::npos) << csv;
    for (int note : {60, 64, 67}) {
        EXPECT_NE(csv.find("1, 0, Note_on_c, 0, " + std::to_string(note) + ", "), std::string::npos)
            << csv;
        // Every note ends within the bar.
        EXPECT_NE(csv.find("Note_off_c, 0, " + std::to_string(note) + ", "), std::string::npos)
            << csv;
    }
    EXPECT_EQ(csv.find("empty!"), std::string::npos) << csv;
    // The engine plays on as before.
    EXPECT_EQ(chordOf(*host, 60), (std::vector<int>{60, 64, 67}));

    // Read into another key of another instance.
    auto other = makeHost();
    other->setParameter(kCurrentKey, noteValue(10));
    ASSERT_EQ(service(*other, kVendorImportMidi, mid.string()), 1);
    EXPECT_EQ(chordOf(*other, 10), (std::vector<int>{60, 64, 67}));

    // An empty chord exports as the track "empty!".
    storeChord(*host, 60, {});
    host->setParameter(kExportMidi, 0.0f);
    EXPECT_NE(runCommand("midicsv '" + mid.string() + "'").text.find("Title_t, \"empty!"),
              std::string::npos);
}

TEST_F(Persistence, AnExportWithoutAFolderWritesNothing) {
    // A preset load leaves only the preset's name in the path buffer; an
    // export that nobody pointed at a file must not drop it into the
    // host's working folder.
    auto saved = makeHost();
    storeChord(*saved, 60, {60, 64, 67});
    const fs::path preset = file("stray.fxp");
    ASSERT_EQ(service(*saved, kVendorSavePreset, preset.string(), 1.0f), 1);
    auto host = makeHost();
    ASSERT_EQ(service(*host, kVendorLoadChordPreset, preset.string()), 1);
    const fs::path working = fs::current_path();
    fs::current_path(documents.path());
    host->setParameter(kExportMidi, 0.0f);
    fs::current_path(working);
    EXPECT_FALSE(fs::exists(file("stray")));
    EXPECT_EQ(chordOf(*host, 60), (std::vector<int>{60, 64, 67}));
}

TEST_F(Persistence, CsvListsAndTextChordLists) {
    auto host = makeHost();
    // The default memory: a minor triad on every key; note 0 is no note, and
    // notes above 127 drop. The path's doubled extension is trimmed.
    ASSERT_EQ(service(*host, kVendorSaveCsv, file("list.csv.csv").string()), 1);
    std::istringstream defaults(fileText(file("list.csv")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(defaults, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(lines[0], "C -2,       ,  ,D#-2,G -2,  ,  ,  ,  ,  ,");
    EXPECT_NE(lines[121].find(",C#8 ,E 8 ,  ,  ,"), std::string::npos) << lines[121];
    // Key names, chord names and voices.
    storeChord(*host, 13, {60, 64, 67});
    storeChord(*host, 25, {0, 0, 0, 61});
    storeChord(*host, 127, {130});
    ASSERT_EQ(service(*host, kVendorSaveCsv, file("list.csv").string()), 1);
    const std::string text = fileText(file("list.csv"));
    for (const char* line :
         {"\nC#-1,C  Maj,C 3 ,E 3 ,G 3 ,  ,  ,  ,  ,  ,\n",
          "\nC#0 ,       ,  ,  ,  ,C#3 ,  ,  ,  ,  ,\n", "\nG 8 ,  ,  ,  ,  ,  ,  ,  ,  ,  ,\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << text.substr(0, 300);

    // A text list of keys and offsets loads as a chord preset; lines without
    // a chord are skipped, voices without an offset keep their notes.
    const std::string list = "Mode list\n20\n21 0\n22 -3\n200 0 4\n-1 0 4\n\n  23 0 5\r\n"
                             "48 0 2 4 5 7 9 11 12 14\n";
    writeFile(file("modes.txt"), {list.begin(), list.end()});
    ASSERT_EQ(service(*host, kVendorLoadChordPreset, file("modes.txt").string()), 1);
    const std::vector<std::pair<int, std::vector<int>>> chords = {
        {20, {20, 23, 27}},
        {21, {21, 24, 28}},
        {22, {19, 25, 29}},
        {23, {23, 28, 30}},
        {48, {48, 50, 52, 53, 55, 57, 59, 60}}};
    for (const auto& [key, notes] : chords) EXPECT_EQ(chordOf(*host, key), notes) << key;
    EXPECT_EQ(host->getParameter(kCurrentKey), noteValue(48));
}
