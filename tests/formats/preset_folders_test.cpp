// The presets folder below the documents folder, the preset lists behind
// the menus and program change, and the menu positions that pick from them.
#include "format_test_support.h"
#include "preset_file.h"
#include "preset_folders.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

EnvironmentLookup environment(std::map<std::string, std::string> values) {
    return [values](const char* name) -> std::optional<std::string> {
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    };
}

void touch(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    const uint8_t byte = 0;
    ASSERT_TRUE(writeWholeFile(path, &byte, 1)) << path;
}

std::vector<std::string> namesOf(const std::vector<PresetEntry>& entries) {
    std::vector<std::string> names;
    for (const PresetEntry& e : entries) names.push_back(e.displayName);
    return names;
}

} // namespace

TEST(DocumentsFolder, TheVariableWinsWhenSetAndNotEmpty) {
    EXPECT_EQ(documentsFolder(environment({{"XDG_DOCUMENTS_DIR", "/data/docs/"}, {"HOME", "/h"}})),
              "/data/docs");
    EXPECT_EQ(documentsFolder(environment({{"XDG_DOCUMENTS_DIR", ""}, {"HOME", "/nonexistent-h"}})),
              "/nonexistent-h/Documents");
}

TEST(DocumentsFolder, UserDirsEntryIsReadWithHomeExpanded) {
    ScratchFolder config;
    const std::string text = "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                             "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    writeWholeFile(config / "user-dirs.dirs", reinterpret_cast<const uint8_t*>(text.data()),
                   text.size());
    EXPECT_EQ(documentsFolder(environment({{"XDG_CONFIG_HOME", config.path()}, {"HOME", "/h"}})),
              "/h/Dokumente");

    ScratchFolder home;
    fs::create_directories(home / ".config");
    const std::string absolute = "XDG_DOCUMENTS_DIR=\"/srv/papers\"\n";
    writeWholeFile(home / ".config/user-dirs.dirs",
                   reinterpret_cast<const uint8_t*>(absolute.data()), absolute.size());
    EXPECT_EQ(documentsFolder(environment({{"HOME", home.path()}})), "/srv/papers");
}

TEST(DocumentsFolder, FallsBackToDocumentsInHomeOrNothing) {
    EXPECT_EQ(documentsFolder(environment({{"HOME", "/nonexistent-h"}})),
              "/nonexistent-h/Documents");
    EXPECT_EQ(documentsFolder(environment({})), "");
}

TEST(PresetFolders, MakerFolderIsCreatedAndEverythingLiesBelowIt) {
    ScratchFolder docs;
    const PresetFolders f = makePresetFolders(docs.path());
    EXPECT_TRUE(fs::is_directory(docs / "Vrek"));
    EXPECT_FALSE(fs::exists(docs / "Vrek/Zandrel Presets")) << "only the maker folder is made";
    EXPECT_EQ(f.maker, docs / "Vrek/");
    EXPECT_EQ(f.presets, docs / "Vrek/Zandrel Presets/");
    EXPECT_EQ(f.wholeState, docs / "Vrek/Zandrel Presets/Presets/");
    EXPECT_EQ(f.chords, docs / "Vrek/Zandrel Presets/Chord/");
    EXPECT_EQ(f.arps, docs / "Vrek/Zandrel Presets/Arp/");
    EXPECT_EQ(f.midiImportStart, docs / "Vrek/");
    EXPECT_EQ(f.dragExportFile, docs / "Vrek/Zandrel Presets/temp.mid");
    EXPECT_EQ(f.configFile, docs / "Vrek/Zandrel Presets/ZandrelConfig.txt");
}

TEST(PresetLists, TwoFilesAndASubfolderOfThree) {
    ScratchFolder folder;
    touch(folder / "Jazz.fxp");
    touch(folder / "blues.fxp");
    touch(folder / "Moods/c.fxp");
    touch(folder / "Moods/A.fxp");
    touch(folder / "Moods/b.fxp");
    touch(folder / ".hidden.fxp");
    touch(folder / "Moods/.DS_Store");
    touch(folder / ".git/x.fxp");
    const PresetList list = scanPresetFolder(folder.path());
    EXPECT_EQ(namesOf(list.files), (std::vector<std::string>{"blues", "Jazz"}));
    ASSERT_EQ(list.subfolders.size(), 1u);
    EXPECT_EQ(list.subfolders[0].name, "Moods");
    EXPECT_EQ(namesOf(list.subfolders[0].files), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(list.files[1].path, folder / "Jazz.fxp");
}

TEST(PresetLists, AMissingFolderGivesAnEmptyList) {
    const PresetList list = scanPresetFolder("/nonexistent-zandrel-folder/Chord/");
    EXPECT_TRUE(list.files.empty());
    EXPECT_TRUE(list.subfolders.empty());
}

TEST(PresetLists, EachLevelHoldsAtMost256Files) {
    ScratchFolder folder;
    for (int i = 0; i < 260; ++i) touch(folder / ("p" + std::to_string(1000 + i) + ".fxp"));
    const PresetList list = scanPresetFolder(folder.path());
    ASSERT_EQ(list.files.size(), 256u);
    EXPECT_EQ(list.files.front().displayName, "p1000");
    EXPECT_EQ(list.files.back().displayName, "p1255");
}

TEST(MenuPositions, MainEntriesFoldersAndPositionsBeyondTheLists) {
    PresetList list;
    list.files = {{"/m/a.fxp", "a"}, {"/m/b.fxp", "b"}};
    list.subfolders = {{"one", {{"/m/one/x.fxp", "x"}}},
                       {"two", {{"/m/two/y.fxp", "y"}, {"/m/two/z.fxp", "z"}}}};
    EXPECT_EQ(presetPathAt(list, 2.0f), "/m/a.fxp");
    EXPECT_EQ(presetPathAt(list, 3.0f), "/m/b.fxp");
    EXPECT_EQ(presetPathAt(list, 4.0f), std::nullopt);
    EXPECT_EQ(presetPathAt(list, 9999.0f), std::nullopt);
    EXPECT_EQ(presetPathAt(list, 1.0f), std::nullopt);
    EXPECT_EQ(presetPathAt(list, 0.0f), std::nullopt);
    EXPECT_EQ(presetPathAt(list, -3.0f), std::nullopt);
    EXPECT_EQ(presetPathAt(list, 10000.0f), "/m/one/x.fxp");
    EXPECT_EQ(presetPathAt(list, 20001.0f), "/m/two/z.fxp");
    EXPECT_EQ(presetPathAt(list, 20002.0f), std::nullopt);
    EXPECT_EQ(presetPathAt(list, 30000.0f), std::nullopt);
    EXPECT_EQ(presetPathAt(list, std::nanf("")), std::nullopt);
    EXPECT_EQ(presetPathAt(list, 1e30f), std::nullopt);
}

TEST(PresetLibrary, ReadsFoldersConfigurationAndBothListsOnCreation) {
    ScratchFolder docs;
    touch(docs / "Vrek/Zandrel Presets/Chord/Soul.fxp");
    touch(docs / "Vrek/Zandrel Presets/Arp/Bank 2/run.fxp");
    const std::string config = "[0][1][0][0][0][1]";
    writeWholeFile(docs / "Vrek/Zandrel Presets/ZandrelConfig.txt",
                   reinterpret_cast<const uint8_t*>(config.data()), config.size());

    const PresetLibrary library(environment({{"XDG_DOCUMENTS_DIR", docs.path()}}));
    EXPECT_TRUE(library.configuration().optCcEditsNotes);
    EXPECT_EQ(library.configuration().optEditorSize, 1);
    EXPECT_EQ(library.pathForMenuPosition(kChordBank, 2.0f),
              docs / "Vrek/Zandrel Presets/Chord/Soul.fxp");

    std::vector<std::string> log;
    const DiagnosticSink sink = [&log](const char* line) { log.emplace_back(line); };
    const std::string run = docs / "Vrek/Zandrel Presets/Arp/Bank 2/run.fxp";
    EXPECT_EQ(library.pathForMenuPosition(kArpBank, 10000.0f, sink), run);
    EXPECT_EQ(log, std::vector<std::string>{"\n  <><><><><><><><> SUB menu load 0 0, " + run});
    EXPECT_EQ(library.pathForMenuPosition(kArpBank, 2.0f, sink), std::nullopt);
}

TEST(PresetLibrary, RescanPicksUpNewFiles) {
    ScratchFolder docs;
    PresetLibrary library(environment({{"XDG_DOCUMENTS_DIR", docs.path()}}));
    EXPECT_TRUE(library.list(kChordBank).files.empty());
    touch(docs / "Vrek/Zandrel Presets/Chord/new.fxp");
    library.rescan();
    EXPECT_EQ(library.list(kChordBank).files.size(), 1u);
    std::vector<std::string> log;
    touch(docs / "Vrek/Zandrel Presets/Arp/a.fxp");
    library.rescan();
    library.pathForMenuPosition(kArpBank, 2.0f, [&log](const char* l) { log.emplace_back(l); });
    EXPECT_EQ(log, std::vector<std::string>{"\n main menu load 0, " + docs.path() +
                                            "/Vrek/Zandrel Presets/Arp/a.fxp"});
}

TEST(ProgramChange, BankSelectChoosesTheMenuAndTheSubBankItsFolder) {
    PresetList list;
    list.files = {{"/m/0.fxp", "0"}, {"/m/1.fxp", "1"}, {"/m/2.fxp", "2"}, {"/m/3.fxp", "3"}};
    list.subfolders = {{"a", {}}, {"b", {{"/m/b/0.fxp", "0"}, {"/m/b/5.fxp", "5"}}}};

    const auto third = presetCommandOfProgramChange(0, 0, 3);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->index, 78);
    EXPECT_EQ(third->value, 5.0f);
    EXPECT_EQ(presetPathAt(list, third->value), "/m/3.fxp") << "the fourth main entry";

    const auto arp = presetCommandOfProgramChange(1, 2, 5);
    ASSERT_TRUE(arp);
    EXPECT_EQ(arp->index, 102);
    EXPECT_EQ(arp->value, 20005.0f);
    EXPECT_EQ(presetPathAt(list, arp->value), std::nullopt) << "folder 1 holds two entries";
    EXPECT_EQ(presetPathAt(list, presetCommandOfProgramChange(1, 2, 1)->value), "/m/b/5.fxp");

    EXPECT_FALSE(presetCommandOfProgramChange(2, 0, 3));
}
