// The presets folder below the documents folder, the preset lists behind
// the menus and program change, the menu positions that pick from them, and
// the six bracketed numbers of "ZandrelConfig.txt".
#include "format_test_support.h"
#include "preset_file.h"
#include "preset_folders.h"

#include "config_file.h"
#include <array>
#include <climits>
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

} // namespace

TEST(DocumentsFolder, TheVariableThenTheUserDirsEntryThenDocumentsInHome) {
    ScratchFolder config, home;
    const std::string dirs = "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                             "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    writeFile(config / "user-dirs.dirs", {dirs.begin(), dirs.end()});
    std::filesystem::create_directories(home / ".config");
    const std::string absolute = "XDG_DOCUMENTS_DIR=\"/srv/papers\"\n";
    writeFile(home / ".config/user-dirs.dirs", {absolute.begin(), absolute.end()});
    const std::pair<std::map<std::string, std::string>, std::string> cases[] = {
        {{{"XDG_DOCUMENTS_DIR", "/data/docs/"}, {"HOME", "/h"}}, "/data/docs"},
        {{{"XDG_DOCUMENTS_DIR", ""}, {"HOME", "/nonexistent-h"}}, "/nonexistent-h/Documents"},
        {{{"XDG_CONFIG_HOME", config.path()}, {"HOME", "/h"}}, "/h/Dokumente"},
        {{{"HOME", home.path()}}, "/srv/papers"},
        {{{"HOME", "/nonexistent-h"}}, "/nonexistent-h/Documents"},
        {{}, ""},
    };
    for (const auto& [variables, folder] : cases)
        EXPECT_EQ(documentsFolder(environment(variables)), folder);
}

TEST(PresetFolders, MakerFolderIsCreatedAndEverythingLiesBelowIt) {
    ScratchFolder docs;
    const PresetFolders f = makePresetFolders(docs.path());
    EXPECT_TRUE(fs::is_directory(docs / "Vrek"));
    EXPECT_FALSE(fs::exists(docs / "Vrek/Zandrel Presets")) << "only the maker folder is made";
    const std::string below = docs / "Vrek/Zandrel Presets/";
    EXPECT_EQ((std::vector<std::string>{f.maker, f.midiImportStart, f.presets, f.wholeState,
                                        f.chords, f.arps, f.dragExportFile, f.configFile}),
              (std::vector<std::string>{docs / "Vrek/", docs / "Vrek/", below, below + "Presets/",
                                        below + "Chord/", below + "Arp/", below + "temp.mid",
                                        below + "ZandrelConfig.txt"}));
}

TEST(PresetLists, EachLevelHoldsAtMost256FilesHiddenOnesAndAMissingFolderNone) {
    EXPECT_TRUE(scanPresetFolder("/nonexistent-zandrel-folder/Chord/").files.empty());
    ScratchFolder folder;
    for (int i = 0; i < 260; ++i) touch(folder / ("p" + std::to_string(1000 + i) + ".fxp"));
    touch(folder / ".hidden.fxp");
    touch(folder / ".git/x.fxp");
    const PresetList list = scanPresetFolder(folder.path());
    ASSERT_EQ(list.files.size(), 256u);
    EXPECT_EQ(list.files.front().displayName, "p1000");
    EXPECT_EQ(list.files.back().displayName, "p1255");
    EXPECT_EQ(list.files.back().path, folder / "p1255.fxp");
    EXPECT_TRUE(list.subfolders.empty());
}

TEST(MenuPositions, MainEntriesFoldersAndPositionsBeyondTheLists) {
    PresetList list;
    list.files = {{"/m/a.fxp", "a"}, {"/m/b.fxp", "b"}};
    list.subfolders = {{"one", {{"/m/one/x.fxp", "x"}}},
                       {"two", {{"/m/two/y.fxp", "y"}, {"/m/two/z.fxp", "z"}}}};
    const std::pair<float, const char*> positions[] = {{2.0f, "/m/a.fxp"},
                                                       {3.0f, "/m/b.fxp"},
                                                       {10000.0f, "/m/one/x.fxp"},
                                                       {20001.0f, "/m/two/z.fxp"},
                                                       {4.0f, nullptr},
                                                       {9999.0f, nullptr},
                                                       {1.0f, nullptr},
                                                       {0.0f, nullptr},
                                                       {-3.0f, nullptr},
                                                       {20002.0f, nullptr},
                                                       {30000.0f, nullptr},
                                                       {std::nanf(""), nullptr},
                                                       {1e30f, nullptr}};
    for (const auto& [position, path] : positions)
        EXPECT_EQ(presetPathAt(list, position),
                  path ? std::optional<std::string>(path) : std::nullopt)
            << position;
}

TEST(ConfigFile, SixBracketedNumbersInTheirOrder) {
    struct Case {
        const char* text;
        std::array<int, 6> expected; // unused, CC edits, low keys, retrigger, preview, size
    };
    const Case cases[] = {
        {"unused [0]\nCC edits [1]\nlow keys [0]\nretrigger [0]\npreview [1]\nsize [1]\n",
         {0, 1, 0, 0, 1, 1}},
        {"[1][0][0][0][0][5]", {1, 0, 0, 0, 0, 5}},
        {"nothing to see 1 2 3", {0, 0, 0, 0, 0, 0}},              // no brackets: the defaults
        {"7 [x] [ 0 ] [a1b] [] 9 [-] [1 2]", {0, 0, 1, 0, 0, 12}}, // digits inside count
        {"[1][0][1][0][1][4", {1, 0, 1, 0, 1, 4}},                 // an unclosed bracket runs on
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        const Configuration k =
            parseConfiguration(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        EXPECT_EQ((std::array<int, 6>{k.unusedSwitch, k.optCcEditsNotes, k.optLowKeysPickPattern,
                                      k.optRetriggerHeld, k.optPreviewSound, k.optEditorSize}),
                  c.expected)
            << c.text;
    }
    for (const auto& [size, scale] : {std::pair{0, 1}, {1, 2}, {5, 2}, {-9, 1}, {INT_MAX, 2}})
        EXPECT_EQ(editorScaleOfConfiguration(size), scale) << size;
}

TEST(ConfigFile, AMissingFileGivesTheDefaultsAndAPresentOneIsRead) {
    const Configuration missing =
        readConfiguration("/nonexistent-zandrel-folder/ZandrelConfig.txt");
    EXPECT_FALSE(missing.optCcEditsNotes);
    EXPECT_EQ(missing.optEditorSize, 0);
    ScratchFolder folder;
    const std::string text = "[0][0][0][1][0][0]";
    writeWholeFile(folder / kConfigFileName, reinterpret_cast<const uint8_t*>(text.data()),
                   text.size());
    EXPECT_TRUE(readConfiguration(folder / kConfigFileName).optRetriggerHeld);
}
