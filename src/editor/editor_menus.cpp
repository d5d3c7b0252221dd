// The options menu, the chord menu and the file dialogs they open: the
// preset saves, the MIDI import and the CSV list, through the desktop's
// file dialog (zenity or kdialog) one at a time.
#include "cfile_selector.h"
#include "coption_menu.h"
#include "diagnostics.h"
#include "manual_file.h"
#include "mosk_dialog.h"
#include "parameter_indices.h"
#include "shell_open.h"
#include "zandrel_gui.h"

#include <cstring>

namespace {
// The chord menu's own entries.
enum ChordMenuEntry : int32_t {
    kSaveWholeStateEntry = 4,
    kSaveChordsEntry = 5,
    kSaveArpEntry = 6,
    kSaveCsvEntry = 7,
    kImportMidiEntry = 8,
};
} // namespace

std::string ZandrelGUI::manualPath() const {
    return engine.presetLibrary().folders().presets + "Zandrel_Manual.pdf";
}

void ZandrelGUI::openInDesktop(const std::string& target) {
    // The folders and the manual are put in place first, so that a new
    // user's first look finds them.
    createPresetFolders(engine.presetLibrary().folders());
    installManual(manualPath());
    openWithShell(target);
}

void ZandrelGUI::optionsMenuChosen() {
    int32_t index = -1;
    if (views.options->getLastItemMenu(index) != views.options) return;
    if (index == 0 || index == 1) {
        // Only a change of size rebuilds (at the next idle, not from inside
        // the menu's own callback).
        if (guiScale != index + 1) {
            write(param::kEditorScale, index == 0 ? 0.0f : 0.5f);
            rebuildPending = true;
        }
        return;
    }
    const int32_t arpEntry = parameter(param::kArpOn) != 0.0f ? 1 : 0;
    if (arpEntry && index == 3)
        write(param::kArpFreeRate, parameter(param::kArpFreeRate) == 0.0f ? 1.0f : 0.0f);
    else if (index == 3 + arpEntry)
        openInDesktop(engine.presetLibrary().folders().presets);
    else if (index == 4 + arpEntry)
        openInDesktop(manualPath());
}

void ZandrelGUI::chordMenuChosen() {
    int32_t index = -1;
    COptionMenu* menu = views.chordMenu->getLastItemMenu(index);
    for (int32_t i = 0; i < views.chordMenu->getNbEntries(); ++i)
        views.chordMenu->checkEntry(i, false);
    if (!menu || index < 0) return;
    // A submenu's choice is a command with the entry's index.
    if (menu != views.chordMenu) return write(menu->getTag(), static_cast<float>(index));
    switch (index) {
    case kSaveWholeStateEntry:
        openFileDialog(kSaveWholeState);
        write(param::kChordSetChanged, static_cast<float>(index));
        break;
    case kSaveChordsEntry:
        openFileDialog(kSaveChords);
        write(param::kChordSetChanged, static_cast<float>(index));
        break;
    case kSaveArpEntry:
        openFileDialog(kSaveArp);
        write(param::kChordSetChanged, static_cast<float>(index));
        break;
    case kSaveCsvEntry:
        openFileDialog(kSaveCsv);
        break;
    case kImportMidiEntry:
        writeDiagnostic("\n MIDI Import selected!");
        openFileDialog(kImportMidi);
        break;
    default:
        write(param::kChordSetChanged, static_cast<float>(index));
        break;
    }
}

void ZandrelGUI::openFileDialog(FileDialogMode mode) {
    if (fileSelector && fileSelector->isRunning()) return; // one dialog at a time
    const PresetFolders& folders = engine.presetLibrary().folders();
    createPresetFolders(folders);
    auto* selector = new CFileSelector(mode == kImportMidi ? CFileSelector::kSelectFile
                                                           : CFileSelector::kSelectSaveFile);
    switch (mode) {
    case kImportMidi:
        selector->setTitle("Import Type 0 MIDI File...");
        selector->addFileExtension("Standard MIDI File", "mid");
        selector->setInitialDirectory(midiImportFolder);
        break;
    case kSaveWholeState:
        selector->setTitle("Save Preset...");
        selector->addFileExtension("Preset File", "fxp");
        selector->setInitialDirectory(folders.wholeState);
        break;
    case kSaveChords:
        selector->setTitle("Save Chords Preset...");
        selector->addFileExtension("Preset File", "fxp");
        selector->setInitialDirectory(folders.chords);
        break;
    case kSaveArp:
        selector->setTitle("Save Arp Preset...");
        selector->addFileExtension("Preset File", "fxp");
        selector->setInitialDirectory(folders.arps);
        break;
    case kSaveCsv: {
        const EngineState& st = engine.engine();
        selector->setTitle("Save CSV File...");
        selector->addFileExtension("CSV File", "csv");
        // Not the host's working folder: the user's own presets folder.
        selector->setInitialDirectory(folders.presets);
        selector->setDefaultSaveName(
            std::string(st.chordPresetMenuName,
                        strnlen(st.chordPresetMenuName, sizeof st.chordPresetMenuName)));
        break;
    }
    case kNoDialog:
        selector->forget();
        return;
    }
    if (frame && frame->getPlatformFrame())
        selector->setParentWindow(frame->getPlatformFrame()->topLevelWindow());
    if (fileSelector) fileSelector->forget();
    fileSelector = selector;
    fileDialogMode = mode;
    if (!selector->run(this))
        showMessage("No file dialog",
                    "Zandrel shows its file dialogs through zenity or kdialog, and neither "
                    "could be started. Install one of them (for example: sudo apt install "
                    "zenity) and choose the entry again.");
}

void ZandrelGUI::fileDialogEnded(CFileSelector* selector) {
    const FileDialogMode mode = fileDialogMode;
    fileDialogMode = kNoDialog;
    const char* chosen = selector->getSelectedFile(0);
    if (!chosen || !*chosen) return; // cancelled
    const std::string path = chosen;
    switch (mode) {
    case kImportMidi:
        engine.importMidiFile(path);
        // The next import starts where this one was found.
        midiImportFolder = path.substr(0, path.rfind('/') + 1);
        if (isGuiOpen()) refreshStoredChordMarks();
        break;
    case kSaveWholeState:
        engine.savePreset(PresetKind::kWholeState, path);
        break;
    case kSaveChords:
    case kSaveArp:
        engine.savePreset(mode == kSaveChords ? PresetKind::kChords : PresetKind::kArp, path);
        // The new preset is in its menu at once.
        if (isGuiOpen()) rebuildPresetMenus();
        break;
    case kSaveCsv:
        engine.saveChordList(path);
        break;
    case kNoDialog:
        break;
    }
}

void ZandrelGUI::showMessage(const char* title, const char* text) {
    moskDialog* dialog = views.messageDialog;
    if (!isGuiOpen() || !dialog || dialog->isAttached()) return;
    dialog->setTitleAndText(title, text);
    dialog->remember(); // the frame's; the editor keeps its own
    frame->setModalView(dialog);
}
