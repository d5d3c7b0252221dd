// The two preset menus (chords and arps): built from the presets folder,
// a choice loads its file through the engine's menu position (command 78
// or 102), and the previous/next buttons step through the same entries,
// wrapping at both ends. The loaded preset's entry carries the check mark.
#include "coption_menu.h"
#include "diagnostics.h"
#include "my_coption_menu.h"
#include "parameter_indices.h"
#include "zandrel_gui.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {
constexpr int32_t kFirstSubmenu = PresetMenuBank::kFirstSubmenu;
constexpr size_t kPresetTitleLength = PresetMenuBank::kTitleLength;

int32_t commandOf(PresetBank bank) {
    return bank == kChordBank ? param::kLoadChordPreset : param::kLoadArpPreset;
}

void diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));
void diagnostic(const char* format, ...) {
    if (!diagnosticsEnabled()) return;
    char line[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    writeDiagnostic(line);
}
} // namespace

MyCOptionMenu* ZandrelGUI::presetMenu(PresetBank bank) const {
    return bank == kChordBank ? views.chordPresetMenu : views.arpPresetMenu;
}

void ZandrelGUI::rebuildPresetMenus() {
    engine.presetLibrary().rescan();
    fillPresetMenu(kChordBank);
    fillPresetMenu(kArpBank);
}

void ZandrelGUI::fillPresetMenu(PresetBank bank) {
    MyCOptionMenu* menu = presetMenu(bank);
    if (!menu) return;
    const PresetList& list = engine.presetLibrary().list(bank);
    menu->removeAllEntry();
    menu->addEntry(bank == kChordBank ? "- Chord Presets -" : "- Arp Presets -");
    menu->addSeparator();
    for (const PresetSubfolder& folder : list.subfolders) {
        auto* submenu = new COptionMenu(CRect(), this, menu->getTag());
        for (const PresetEntry& file : folder.files) submenu->addEntry(file.displayName);
        menu->addEntry(submenu, folder.name);
    }
    presetBanks[bank].lastFolderIndex = static_cast<int32_t>(list.subfolders.size()) - 1;
    for (const PresetEntry& file : list.files) menu->addEntry(file.displayName);
    showPresetChecks(bank);
}

void ZandrelGUI::showPresetChecks(PresetBank bank) {
    MyCOptionMenu* menu = presetMenu(bank);
    if (!menu) return;
    const PresetMenuBank& b = presetBanks[bank];
    for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
        if (COptionMenu* submenu = menu->getSubMenu(i)) {
            const size_t folder = static_cast<size_t>(i - kFirstSubmenu);
            for (int32_t e = 0; e < submenu->getNbEntries(); ++e)
                submenu->checkEntry(e, folder < b.subChecks.size() &&
                                           static_cast<size_t>(e) < PresetMenuBank::kMaxEntries &&
                                           b.subChecks[folder][static_cast<size_t>(e)]);
        } else {
            menu->checkEntry(i, static_cast<size_t>(i) < b.mainChecks.size() &&
                                    b.mainChecks[static_cast<size_t>(i)]);
        }
    }
}

void ZandrelGUI::presetMenuChosen(PresetBank bank) {
    presetBanks[bank].presetIndex = PresetMenuBank::kMainMenu;
    int32_t chosen = -1;
    const COptionMenu* chosenMenu = presetMenu(bank)->getLastItemMenu(chosen);
    selectPreset(bank, chosenMenu, chosen);
}

void ZandrelGUI::selectPreset(PresetBank bank, const COptionMenu* chosenMenu, int32_t chosen) {
    MyCOptionMenu* menu = presetMenu(bank);
    PresetMenuBank& b = presetBanks[bank];
    bool fromSubmenu = false;
    if (b.lastFolderIndex >= 0) {
        int32_t folder = -1;
        int32_t entry = chosen;
        if (b.pendingStepEntry >= 0 && b.presetIndex >= 0 && b.presetIndex <= b.lastFolderIndex) {
            diagnostic("\n FORCE CHANGE FROM ADVANCE, whichmenuitem %li, LPMOSS = %i ",
                       static_cast<long>(b.pendingStepEntry), b.presetIndex);
            folder = b.presetIndex;
            entry = b.pendingStepEntry;
        } else {
            for (int32_t j = 0; j <= b.lastFolderIndex; ++j)
                if (chosenMenu && menu->getSubMenu(kFirstSubmenu + j) == chosenMenu) folder = j;
        }
        if (folder >= 0 && entry >= 0 && static_cast<size_t>(entry) < PresetMenuBank::kMaxEntries) {
            b.clearChecks();
            b.presetIndex = folder;
            b.subChecks[static_cast<size_t>(folder)][static_cast<size_t>(entry)] = 1;
            write(commandOf(bank), static_cast<float>((folder + 1) * 10000 + entry));
            fromSubmenu = true;
        }
    }
    if (!fromSubmenu) {
        const int32_t index = menu->getCurrentIndex();
        if (index >= kFirstSubmenu) {
            b.clearChecks();
            const auto n = static_cast<int32_t>(
                std::floor(menu->getValue() - static_cast<float>(b.lastFolderIndex + 1)));
            write(commandOf(bank), static_cast<float>(n));
            const int32_t k = b.lastFolderIndex + 1 + n;
            if (k > 1 && static_cast<size_t>(k) < b.mainChecks.size()) {
                b.mainChecks[static_cast<size_t>(k)] = 1;
                b.presetIndex = PresetMenuBank::kMainMenu;
            }
        }
    }
    showPresetChecks(bank);
    b.pendingStepEntry = -1;
    menu->checkEntry(0, false);
    if (frame) frame->invalid();
}

void ZandrelGUI::stepPreset(PresetBank bank, int32_t direction) {
    MyCOptionMenu* menu = presetMenu(bank);
    PresetMenuBank& b = presetBanks[bank];
    if (!menu || b.presetIndex < 0) return;
    if (b.lastFolderIndex >= 0 && b.presetIndex <= b.lastFolderIndex) {
        const COptionMenu* submenu = menu->getSubMenu(kFirstSubmenu + b.presetIndex);
        const int32_t n = submenu ? submenu->getNbEntries() : 0;
        if (n >= 1) {
            const auto& checks = b.subChecks[static_cast<size_t>(b.presetIndex)];
            int32_t e = -1;
            for (int32_t i = n - 1; i >= 0; --i)
                if (static_cast<size_t>(i) < checks.size() && checks[static_cast<size_t>(i)]) e = i;
            e += direction;
            if (e >= n) e = 0;
            if (e < 0) e = n - 1;
            b.pendingStepEntry = e;
            selectPreset(bank, submenu, e);
        }
    } else if (b.presetIndex == PresetMenuBank::kMainMenu) {
        const int32_t n = menu->getNbEntries();
        if (n >= 3) {
            int32_t e = -1;
            for (int32_t i = n - 1; i >= kFirstSubmenu; --i)
                if (static_cast<size_t>(i) < b.mainChecks.size() &&
                    b.mainChecks[static_cast<size_t>(i)])
                    e = i;
            // With nothing checked, forward starts at the first file.
            if (e < 0) e = direction > 0 ? b.lastFolderIndex + 2 : n;
            e += direction;
            if (e > n - 1) e = b.firstFileEntry();
            if (e <= b.lastFolderIndex + 2) e = n - 1;
            diagnostic("\n __________________________________whichmenuitem main NOW IS %f, %i",
                       static_cast<double>(e) + 0.01, e);
            // As if the user had chosen the entry (whatever was chosen last).
            menu->setCurrent(e);
            menu->setValue(static_cast<float>(e) + 0.01f);
            b.presetIndex = PresetMenuBank::kMainMenu;
            selectPreset(bank, menu, e);
        }
    } else {
        diagnostic("\n \n menu error, LPMOSS is %i", b.presetIndex);
    }
    showPresetChecks(bank);
}

void ZandrelGUI::followPresetPosition(PresetBank bank, float code) {
    MyCOptionMenu* menu = presetMenu(bank);
    PresetMenuBank& b = presetBanks[bank];
    if (!menu) return;
    const CMenuItem* chosen = nullptr;
    if (code >= 10000.0f) {
        const auto position = static_cast<int32_t>(code);
        const int32_t folder = position / 10000 - 1;
        const int32_t entry = position % 10000;
        COptionMenu* submenu =
            folder <= b.lastFolderIndex ? menu->getSubMenu(kFirstSubmenu + folder) : nullptr;
        if (!submenu || entry >= submenu->getNbEntries()) return;
        b.clearChecks();
        b.subChecks[static_cast<size_t>(folder)][static_cast<size_t>(entry)] = 1;
        b.presetIndex = folder;
        chosen = submenu->getEntry(entry);
    } else if (code >= 2.0f) {
        const int32_t k = b.lastFolderIndex + 1 + static_cast<int32_t>(code);
        if (k < b.firstFileEntry() || k >= menu->getNbEntries()) return;
        b.clearChecks();
        b.mainChecks[static_cast<size_t>(k)] = 1;
        b.presetIndex = PresetMenuBank::kMainMenu;
        chosen = menu->getEntry(k);
    } else {
        return;
    }
    // The loaded preset's name is the menu's title.
    menu->setTitle(chosen->title.substr(0, kPresetTitleLength).c_str());
    showPresetChecks(bank);
}
