// Saving and loading as hosts and users meet them: the state chunk a host
// keeps in its project, preset files, program change choosing presets from
// the presets folder, MIDI export read back by midicsv, MIDI import and the
// CSV list.
#include "test_host_support.h"
#include "zandrel_vendor_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {
constexpr int32_t kStateChunkBytes = 27512;
constexpr int32_t kCurrentKey = 84;
constexpr int32_t kExportMidi = 109;

using Bytes = std::vector<uint8_t>;

Bytes chunkOf(PluginHost& host) {
    Bytes chunk = stateChunk(host);
    EXPECT_EQ(chunk.size(), static_cast<size_t>(kStateChunkBytes));
    return chunk;
}

intptr_t loadChunk(PluginHost& host, Bytes bytes) {
    return host.dispatch(effSetChunk, 0, static_cast<intptr_t>(bytes.size()), bytes.data());
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// A documents folder of the test's own, chosen before the plug-in is
// created (it reads its presets folder then).
class Persistence : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zandrel-persistence-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        documents = pattern;
        setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_DOCUMENTS_DIR");
        fs::remove_all(documents);
    }
    fs::path presets() const { return documents / "Vrek" / "Zandrel Presets"; }

    fs::path documents;
};

// A state that differs from the defaults wherever it can.
void changeEverything(PluginHost& host) {
    host.setParameter(0, static_cast<float>(31 / 48.99)); // transpose +7
    host.setParameter(1, 0.25f);                          // swing
    host.setParameter(2, 0.7f);                           // gate
    host.setParameter(4 + 4, 1.0f / 3.0f);                // "Arp_No E" muted
    host.setParameter(16, 1.0f);
    host.setParameter(30, 1.0f); // latch
    storeChord(host, 5, {61, 65, 68, 72});
    host.setParameter(49 + 2, 1.0f); // voice 2 locked at key 5
    storeChord(host, 9, {50, 57});
    host.setParameter(kCurrentKey, noteValue(5));
}
} // namespace

TEST_F(Persistence, AHostSavesAndRestoresTheWholeState) {
    auto saved = makeHost();
    changeEverything(*saved);
    saved->processBlock(64);
    const Bytes chunk = chunkOf(*saved);

    auto restored = makeHost();
    ASSERT_EQ(loadChunk(*restored, chunk), 0);
    for (int block = 0; block < 9; ++block) restored->processBlock(64); // the load guard
    EXPECT_EQ(chunkOf(*restored), chunk);
    for (int32_t i = 0; i < 32; ++i) {
        EXPECT_EQ(restored->getParameter(i), saved->getParameter(i)) << "parameter " << i;
        EXPECT_EQ(restored->parameterDisplay(i), saved->parameterDisplay(i)) << "parameter " << i;
    }
    EXPECT_EQ(restored->getParameter(kCurrentKey), noteValue(5));
    EXPECT_EQ(restored->getParameter(49 + 2), 1.0f);
    EXPECT_EQ(restored->getParameter(33 + 2), noteValue(68));
    // Transposed by +7, as the saved instance plays them.
    EXPECT_EQ(chordOf(*restored, 9), chordOf(*saved, 9));
    // The locked voice plays its own key's note, transposed as well.
    EXPECT_EQ(chordOf(*restored, 9), (std::vector<int>{57, 64, 75}));
}

TEST_F(Persistence, LoadGuardRefusedLengthsAndTheChordOnlyMark) {
    auto saved = makeHost();
    changeEverything(*saved);
    const Bytes chunk = chunkOf(*saved);

    auto host = makeHost();
    ASSERT_EQ(loadChunk(*host, chunk), 0);
    // Stale automation right after a load does not overwrite it ...
    for (int block = 0; block < 9; ++block) {
        host->setParameter(1, 0.9f);
        EXPECT_EQ(host->getParameter(1), 0.25f) << "block " << block;
        host->processBlock(64);
    }
    host->setParameter(1, 0.9f);
    EXPECT_EQ(host->getParameter(1), 0.9f);
    // ... while the editor's indices are taken at once.
    ASSERT_EQ(loadChunk(*host, chunk), 0);
    host->setParameter(kCurrentKey, noteValue(9));
    EXPECT_EQ(host->getParameter(kCurrentKey), noteValue(9));

    // An arp preset's block and lengths of nothing known change nothing.
    const Bytes before = chunkOf(*host);
    for (size_t size : {19096u, 100u, 27383u - 1u})
        EXPECT_EQ(loadChunk(*host, Bytes(size, 0x41)), -1);
    EXPECT_EQ(chunkOf(*host), before);

    // With the chord-only mark the arpeggiator keeps its own state and its
    // parameters stay writable.
    Bytes chordsOnly = chunk;
    chordsOnly[27384] = 1;
    auto other = makeHost();
    other->setParameter(1, 0.1f);
    ASSERT_EQ(loadChunk(*other, chordsOnly), 0);
    EXPECT_EQ(other->getParameter(1), 0.1f);
    EXPECT_EQ(other->getParameter(0), saved->getParameter(0));
    EXPECT_EQ(chordOf(*other, 9), (std::vector<int>{57, 64}));
    other->setParameter(2, 0.3f);
    EXPECT_EQ(other->getParameter(2), 0.3f);
}

TEST_F(Persistence, PresetFilesOfTheThreeKindsSaveAndLoad) {
    auto saved = makeHost();
    changeEverything(*saved);
    const fs::path whole = documents / "song.fxp";
    const fs::path chords = documents / "chords.fxp";
    const fs::path arp = documents / "arp.fxp";
    ASSERT_EQ(service(*saved, kVendorSavePreset, whole.string(), 0.0f), 1);
    // A whole-state preset is the chunk behind the program-file header; the
    // file's name became the program's.
    const std::string wholeFile = contents(whole);
    EXPECT_EQ(Bytes(wholeFile.begin() + 60, wholeFile.end()), chunkOf(*saved));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunkOf(*saved).data()) + 8288), "song");
    ASSERT_EQ(service(*saved, kVendorSavePreset, chords.string(), 1.0f), 1);
    ASSERT_EQ(service(*saved, kVendorSavePreset, arp.string(), 2.0f), 1);
    EXPECT_EQ(fs::file_size(whole), 60u + 27512u);
    EXPECT_EQ(fs::file_size(chords), 60u + 8312u);
    EXPECT_EQ(fs::file_size(arp), 60u + 19096u);
    const std::string header = contents(chords).substr(0, 12);
    EXPECT_EQ(header.substr(0, 4), "CcnK");
    EXPECT_EQ(header.substr(8, 4), "FPCh");

    auto loaded = makeHost();
    ASSERT_EQ(service(*loaded, kVendorLoadChordPreset, chords.string()), 1);
    EXPECT_EQ(chordOf(*loaded, 5), (std::vector<int>{61, 65, 68, 72}));
    EXPECT_EQ(loaded->getParameter(1), 0.0f); // the swing is the arpeggiator's
    ASSERT_EQ(service(*loaded, kVendorLoadArpPreset, arp.string()), 1);
    EXPECT_EQ(loaded->getParameter(1), 0.25f);
    EXPECT_EQ(loaded->getParameter(4 + 4), 1.0f / 3.0f);

    // A chord preset offered as an arp preset, and a missing file, load nothing.
    const Bytes before = chunkOf(*loaded);
    EXPECT_EQ(service(*loaded, kVendorLoadArpPreset, chords.string()), 0);
    EXPECT_EQ(service(*loaded, kVendorLoadChordPreset, (documents / "missing.fxp").string()), 0);
    EXPECT_EQ(chunkOf(*loaded), before);
}

TEST_F(Persistence, ProgramChangeLoadsChordAndArpPresetsFromThePresetsFolder) {
    {
        auto author = makeHost(); // creates the maker folder, not below it
        ASSERT_TRUE(fs::is_directory(documents / "Vrek"));
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
        author->setParameter(1, 0.5f);
        ASSERT_EQ(
            service(*author, kVendorSavePreset, (presets() / "Arp" / "swung.fxp").string(), 2.0f),
            1);
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
    EXPECT_EQ(host->getParameter(1), 0.5f);
}

TEST_F(Persistence, ExportedChordsReadBackByMidicsvAndImported) {
    auto host = makeHost();
    storeChord(*host, 60, {60, 64, 67});
    const fs::path file = documents / "temp.mid";
    ASSERT_EQ(service(*host, kVendorSetPath, file.string()), 1);
    host->setParameter(kExportMidi, 0.0f); // the chord button
    const std::string csv = commandOutput("midicsv '" + file.string() + "' 2>&1");
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
    ASSERT_EQ(service(*other, kVendorImportMidi, file.string()), 1);
    EXPECT_EQ(chordOf(*other, 10), (std::vector<int>{60, 64, 67}));

    // An empty chord exports as the track "empty!".
    storeChord(*host, 60, {});
    host->setParameter(kExportMidi, 0.0f);
    EXPECT_NE(commandOutput("midicsv '" + file.string() + "'").find("Title_t, \"empty!"),
              std::string::npos);
}

TEST_F(Persistence, AnExportWithoutAFolderWritesNothing) {
    // A preset load leaves only the preset's name in the path buffer; an
    // export that nobody pointed at a file must not drop it into the
    // host's working folder.
    auto saved = makeHost();
    storeChord(*saved, 60, {60, 64, 67});
    const fs::path preset = documents / "stray.fxp";
    ASSERT_EQ(service(*saved, kVendorSavePreset, preset.string(), 1.0f), 1);
    auto host = makeHost();
    ASSERT_EQ(service(*host, kVendorLoadChordPreset, preset.string()), 1);
    const fs::path working = fs::current_path();
    fs::current_path(documents);
    host->setParameter(kExportMidi, 0.0f);
    fs::current_path(working);
    EXPECT_FALSE(fs::exists(documents / "stray"));
    EXPECT_EQ(chordOf(*host, 60), (std::vector<int>{60, 64, 67}));
}

TEST_F(Persistence, CsvListOfAnEmptyMemoryHasOneLinePerKey) {
    auto host = makeHost();
    for (int key = 0; key < 128; ++key) storeChord(*host, key, {});
    storeChord(*host, 2, {60, 64, 67});
    const fs::path file = documents / "chords.csv";
    ASSERT_EQ(service(*host, kVendorSaveCsv, file.string()), 1);
    const std::string text = contents(file);
    std::string emptyFields;
    for (int i = 0; i < 9; ++i) emptyFields += "  ,";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 128);
    EXPECT_NE(text.find("C 3 ," + emptyFields + "\n"), std::string::npos) << text.substr(0, 400);
    EXPECT_EQ(text.find("D -2,  ,"), std::string::npos) << "key 2 holds a chord";
}
