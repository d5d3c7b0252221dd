// What the editor keeps about one preset menu (chords or arps): where the
// loaded preset lies in it, the check flags of its entries, and the step
// the previous/next buttons chose. The menu itself is rebuilt from the
// presets folder at every build; the flags outlive it, so that the check
// mark comes back with the menu.
//
// The main menu's entries: 0 the title line, 1 a separator, then one
// submenu per subfolder (2 .. lastFolderIndex + 2), then the files of the
// menu's own folder. Up to 256 subfolders of up to 256 files each, and 256
// files at the main level.
#pragma once

#include "preset_folders.h"

#include <array>
#include <cstdint>
#include <vector>

struct PresetMenuBank {
    static constexpr int32_t kMainMenu = 6666; // presetIndex of a main-level file
    static constexpr int32_t kFirstSubmenu = 2;
    static constexpr size_t kMaxEntries = kPresetListLimit;
    // A menu's title shows this much of the loaded preset's name.
    static constexpr size_t kTitleLength = 24;

    PresetMenuBank() : subChecks(kMaxEntries) {}

    int32_t lastFolderIndex = -1;  // the last submenu's position, -1 for none
    int32_t pendingStepEntry = -1; // an entry stepPreset chose in a submenu
    int32_t presetIndex = -1;      // submenu position, kMainMenu, or negative for none

    // Check flags: main entries by their index in the main menu, and each
    // submenu's entries.
    std::array<uint8_t, 2 + 2 * kMaxEntries> mainChecks{};
    std::vector<std::array<uint8_t, kMaxEntries>> subChecks;

    int32_t firstFileEntry() const { return lastFolderIndex + 3; }
    void clearChecks() {
        mainChecks.fill(0);
        for (auto& folder : subChecks) folder.fill(0);
    }
};
