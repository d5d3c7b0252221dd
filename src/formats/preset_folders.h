// Where Zandrel keeps its files, and the preset lists behind the two preset
// menus and program change.
//
// Everything lies below the presets folder "Vrek/Zandrel Presets/" in the
// user's documents folder: "Presets/", "Chord/" and "Arp/" for the three
// preset kinds, "temp.mid" for dragged MIDI files and "ZandrelConfig.txt".
#pragma once

#include "config_file.h"
#include "format_log.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Looks up an environment variable; nullopt when unset.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> processEnvironment(const char* name);

// $XDG_DOCUMENTS_DIR when set and not empty; else the XDG_DOCUMENTS_DIR
// entry of $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config), with
// "$HOME" expanded; else $HOME/Documents. Empty when nothing is known, so
// that all folders become relative. No trailing "/".
std::string documentsFolder(const EnvironmentLookup& env = processEnvironment);

struct PresetFolders {
    std::string maker;           // documents + "/Vrek/"
    std::string presets;         // maker + "Zandrel Presets/"
    std::string wholeState;      // presets + "Presets/"
    std::string chords;          // presets + "Chord/"
    std::string arps;            // presets + "Arp/"
    std::string midiImportStart; // the maker folder
    std::string dragExportFile;  // presets + "temp.mid"
    std::string configFile;      // presets + "ZandrelConfig.txt"
};

// The folder names below `documents`; creates the maker folder "Vrek" when
// nothing of that name exists (and nothing else).
PresetFolders makePresetFolders(const std::string& documents);

// Creates the presets folder and its "Presets/", "Chord/" and "Arp/"
// subfolders where they are missing (the editor does so, so that a new
// user's first save, drag out or look at the manual finds them).
void createPresetFolders(const PresetFolders& folders);

enum PresetBank : int { kChordBank = 0, kArpBank = 1 };

constexpr size_t kPresetListLimit = 256;
constexpr size_t kPresetPathLimit = 511;

struct PresetEntry {
    std::string path;
    std::string displayName;
};

struct PresetSubfolder {
    std::string name;
    std::vector<PresetEntry> files;
};

// One menu's list: files directly in the bank's folder, and one level of
// subfolders with their files; at most 256 of each, names beginning with
// "." left out, everything sorted by name without regard to case (a
// directory listing has no order of its own here).
struct PresetList {
    std::vector<PresetEntry> files;
    std::vector<PresetSubfolder> subfolders;
};

PresetList scanPresetFolder(const std::string& folder);

// The path a menu position selects: values 2..9999 the main entry v - 2,
// values of 10000 and above entry v mod 10000 of subfolder v / 10000 - 1.
// Values below 2 and positions beyond the lists select nothing.
std::optional<std::string> presetPathAt(const PresetList& list, float position);

// Program change under bank select reaches the presets as a menu position:
// bank 0 the chord menu (command 78), bank 1 the arp menu (command 102);
// sub-bank 0 picks main entry `program`, sub-bank s entry `program` of
// folder s - 1. Other banks choose nothing.
struct PresetCommand {
    int32_t index;
    float value;
};
std::optional<PresetCommand> presetCommandOfProgramChange(uint8_t bank, uint8_t subBank,
                                                          uint8_t program);

// The effect's model of its presets folder: folders, configuration and the
// two preset lists, read when the effect is created so that program change
// and the options work before any editor exists.
class PresetLibrary {
public:
    explicit PresetLibrary(const EnvironmentLookup& env = processEnvironment);
    explicit PresetLibrary(const PresetFolders& folders);

    const PresetFolders& folders() const { return folders_; }
    const Configuration& configuration() const { return configuration_; }
    const PresetList& list(PresetBank bank) const { return lists_[bank == kArpBank]; }

    // Lists both banks again (the editor does so when it rebuilds its menus).
    void rescan();

    // The preset a command 78 (chord bank) or 102 (arp bank) value selects;
    // for the arp bank the choice is logged on `sink`.
    std::optional<std::string> pathForMenuPosition(PresetBank bank, float position,
                                                   const DiagnosticSink& sink = {}) const;

private:
    PresetFolders folders_;
    Configuration configuration_;
    PresetList lists_[2];
};
