#include "preset_folders.h"

#include "numeric.h"
#include "parameter_indices.h"
#include "preset_file.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

std::optional<std::string> processEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The XDG_DOCUMENTS_DIR="..." line of user-dirs.dirs, "$HOME" expanded.
std::optional<std::string> userDirsDocuments(const std::string& file, const std::string& home) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(file, bytes)) return std::nullopt;
    const std::string text(bytes.begin(), bytes.end());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        line.erase(0, first);
        static const std::string key = "XDG_DOCUMENTS_DIR=";
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string value = line.substr(key.size());
        while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
        if (!value.empty()) return value;
    }
    return std::nullopt;
}

bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool lessByName(const std::string& a, const std::string& b) {
    const int folded = strcasecmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
}

struct Listing {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

// One directory level, names beginning with "." skipped, sorted by name.
Listing listFolder(const std::string& folder) {
    Listing listing;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return listing;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') continue;
        struct stat info;
        if (stat((folder + name).c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode))
            listing.folders.push_back(name);
        else if (S_ISREG(info.st_mode))
            listing.files.push_back(name);
    }
    closedir(dir);
    std::sort(listing.files.begin(), listing.files.end(), lessByName);
    std::sort(listing.folders.begin(), listing.folders.end(), lessByName);
    return listing;
}

std::vector<PresetEntry> entriesOf(const std::string& folder,
                                   const std::vector<std::string>& names) {
    std::vector<PresetEntry> entries;
    for (const std::string& name : names) {
        if (entries.size() == kPresetListLimit) break;
        const std::string path = folder + name;
        if (path.size() > kPresetPathLimit) continue;
        entries.push_back({path, presetDisplayName(path)});
    }
    return entries;
}

std::string withSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

} // namespace

std::string documentsFolder(const EnvironmentLookup& env) {
    if (auto documents = env("XDG_DOCUMENTS_DIR"); documents && !documents->empty())
        return withoutTrailingSlashes(*documents);
    const std::string home = env("HOME").value_or("");
    std::string configHome = env("XDG_CONFIG_HOME").value_or("");
    if (configHome.empty() && !home.empty()) configHome = home + "/.config";
    if (!configHome.empty())
        if (auto documents = userDirsDocuments(configHome + "/user-dirs.dirs", home))
            return withoutTrailingSlashes(*documents);
    if (home.empty()) return {};
    return withoutTrailingSlashes(home) + "/Documents";
}

PresetFolders makePresetFolders(const std::string& documents) {
    PresetFolders f;
    const std::string makerFolder = documents.empty() ? "Vrek" : documents + "/Vrek";
    if (!exists(makerFolder)) mkdir(makerFolder.c_str(), 0755);
    f.maker = makerFolder + "/";
    f.presets = f.maker + "Zandrel Presets/";
    f.wholeState = f.presets + "Presets/";
    f.chords = f.presets + "Chord/";
    f.arps = f.presets + "Arp/";
    f.midiImportStart = f.maker;
    f.dragExportFile = f.presets + "temp.mid";
    f.configFile = f.presets + kConfigFileName;
    return f;
}

void createPresetFolders(const PresetFolders& folders) {
    for (const std::string* folder :
         {&folders.maker, &folders.presets, &folders.wholeState, &folders.chords, &folders.arps})
        if (!folder->empty() && !exists(*folder)) mkdir(folder->c_str(), 0755);
}

PresetList scanPresetFolder(const std::string& folder) {
    const std::string base = withSlash(folder);
    const Listing top = listFolder(base);
    PresetList list;
    list.files = entriesOf(base, top.files);
    for (const std::string& name : top.folders) {
        if (list.subfolders.size() == kPresetListLimit) break;
        const std::string sub = base + name + "/";
        list.subfolders.push_back({name, entriesOf(sub, listFolder(sub).files)});
    }
    return list;
}

std::optional<std::string> presetPathAt(const PresetList& list, float position) {
    const int32_t v = saturatingInt(position);
    if (v < 2) return std::nullopt;
    if (v < 10000) {
        const size_t entry = static_cast<size_t>(v - 2);
        if (entry >= list.files.size()) return std::nullopt;
        return list.files[entry].path;
    }
    const size_t folder = static_cast<size_t>(v / 10000 - 1);
    const size_t entry = static_cast<size_t>(v % 10000);
    if (folder >= list.subfolders.size() || entry >= list.subfolders[folder].files.size())
        return std::nullopt;
    return list.subfolders[folder].files[entry].path;
}

std::optional<PresetCommand> presetCommandOfProgramChange(uint8_t bank, uint8_t subBank,
                                                          uint8_t program) {
    if (bank > 1) return std::nullopt;
    const int32_t outval = subBank * 10000 + (program & 127) + (subBank == 0 ? 2 : 0);
    return PresetCommand{bank == 0 ? param::kLoadChordPreset : param::kLoadArpPreset,
                         static_cast<float>(outval)};
}

PresetLibrary::PresetLibrary(const EnvironmentLookup& env)
    : PresetLibrary(makePresetFolders(documentsFolder(env))) {}

PresetLibrary::PresetLibrary(const PresetFolders& folders)
    : folders_(folders), configuration_(readConfiguration(folders.configFile)) {
    rescan();
}

void PresetLibrary::rescan() {
    lists_[0] = scanPresetFolder(folders_.chords);
    lists_[1] = scanPresetFolder(folders_.arps);
}

std::optional<std::string> PresetLibrary::pathForMenuPosition(PresetBank bank, float position,
                                                              const DiagnosticSink& sink) const {
    std::optional<std::string> path = presetPathAt(list(bank), position);
    if (path && bank == kArpBank) {
        const int32_t v = saturatingInt(position);
        if (v < 10000)
            logLine(sink, "\n main menu load %i, %s", v - 2, path->c_str());
        else
            logLine(sink, "\n  <><><><><><><><> SUB menu load %i %i, %s", v / 10000 - 1, v % 10000,
                    path->c_str());
    }
    return path;
}
