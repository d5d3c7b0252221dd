// The window's menus and what they open: the chord menu's commands, the
// file dialogs (a stand-in for zenity on PATH), the preset menus built from
// the presets folder and stepped through, the drag out of a MIDI file, the
// manual and the about screen.
#include "editor_fixture.h"
#include "gui_test_support.h"
#include "menu_popup_view.h"
#include "parameter_indices.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {
std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// What midicsv makes of a MIDI file: its note-on lines.
std::vector<std::string> noteOnsOf(const std::string& midiFile) {
    std::vector<std::string> lines;
    FILE* p = popen(("midicsv '" + midiFile + "' 2>/dev/null").c_str(), "r");
    char line[256];
    while (p && std::fgets(line, sizeof line, p))
        if (std::string(line).find("Note_on_c") != std::string::npos) lines.emplace_back(line);
    if (p) pclose(p);
    return lines;
}

// A format 0 file of one chord, C E G, held for a beat.
std::string cMajorMidiFile() {
    const std::string track = std::string("\x00\x90\x3c\x64\x00\x90\x40\x64\x00\x90\x43\x64"
                                          "\x83\x60\x80\x3c\x00\x00\x80\x40\x00\x00\x80\x43\x00"
                                          "\x00\xff\x2f\x00",
                                          29);
    return std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0MTrk\x00\x00\x00", 21) +
           static_cast<char>(track.size()) + track;
}

int noteAt(ZandrelDSPEdit& effect, int voice) {
    return static_cast<int>(std::lround(effect.getParameter(param::kNoteNumFirst + voice) * 128));
}
} // namespace

TEST_F(EditorTest, EverySortRemoveAndTransformEntryReachesItsCommand) {
    open();
    COptionMenu* menu = views().chordMenu;
    struct Submenu {
        int32_t entry, tag, count;
    };
    for (const Submenu& s : {Submenu{0, 80, 6}, Submenu{1, 81, 6}, Submenu{2, 83, 9}}) {
        ASSERT_EQ(menu->getSubMenu(s.entry)->getNbEntries(), s.count);
        for (int32_t i = 0; i < s.count; ++i) {
            parameters.applied.clear();
            choose(menu, {s.entry, i});
            EXPECT_TRUE(parameters.contains(s.tag, static_cast<float>(i))) << s.tag << " " << i;
        }
    }
    EXPECT_EQ(menu->getSubMenu(0)->getEntry(2)->title, "Sort by High Note ");
    // The song options toggle, and their check marks follow the engine.
    const EngineState& st = effect->zandEngine().engine();
    choose(menu, {9, 0});
    EXPECT_TRUE(st.xmitChordsCh2);
    EXPECT_TRUE(views().songOptions->isCheckEntry(0));
    choose(menu, {9, 1});
    choose(menu, {9, 0});
    EXPECT_FALSE(st.xmitChordsCh2);
    EXPECT_FALSE(views().songOptions->isCheckEntry(0));
    EXPECT_TRUE(views().songOptions->isCheckEntry(1));
}

TEST_F(EditorTest, InTheHostNamedLiveTheChordMenuEndsWithImportMidiFile) {
    host.productString = "Live";
    create("");
    open();
    COptionMenu* menu = views().chordMenu;
    ASSERT_EQ(menu->getNbEntries(), 9);
    EXPECT_EQ(menu->getEntry(8)->title, "Import MIDI File");
    EXPECT_EQ(views().songOptions, nullptr);
}

TEST_F(EditorTest, TheFileDialogsSaveImportAndListThroughTheDesktopsDialog) {
    // The stand-in logs its arguments and answers the path in "answer".
    standIn("zenity", "echo \"$@\" >> '" + documents + "/zenity.log'\nread -r a < '" + documents +
                          "/answer'\necho \"$a\"");
    const std::string presets = presetsFolder();
    writeFile(documents + "/tune.MID", cMajorMidiFile());
    struct Case {
        int32_t entry;
        std::string answer, written, title;
        size_t size; // 0: not checked
    };
    const Case cases[] = {
        {4, presets + "Presets/x", presets + "Presets/x.fxp", "Save Preset...", 60 + 27512},
        {5, presets + "Chord/y.fxp", presets + "Chord/y.fxp", "Save Chords Preset...", 60 + 8312},
        {6, presets + "Arp/z", presets + "Arp/z.fxp", "Save Arp Preset...", 60 + 19096},
        {7, documents + "/list", documents + "/list.csv", "Save CSV File...", 0},
        {8, documents + "/tune.MID", "", "Import Type 0 MIDI File...", 0},
    };
    effect->setParameter(param::kCurrentKey, 30 / 128.0f);
    open();
    for (const Case& c : cases) {
        writeFile(documents + "/answer", c.answer + "\n");
        choose(views().chordMenu, {c.entry});
        EXPECT_NE(gui->getFileDialogMode(), ZandrelGUI::kNoDialog);
        ASSERT_TRUE(idleUntil([&] { return gui->getFileDialogMode() == ZandrelGUI::kNoDialog; }));
        if (!c.written.empty()) {
            EXPECT_TRUE(fs::exists(c.written)) << c.written;
        }
        if (c.size) {
            EXPECT_EQ(fs::file_size(c.written), c.size) << c.written;
        }
        EXPECT_NE(fileText(documents + "/zenity.log").find("--title=" + c.title),
                  std::string::npos);
    }
    const std::string log = fileText(documents + "/zenity.log");
    EXPECT_NE(
        log.find("--filename=" + presets + "Chord/ --file-filter=Preset File | *.[fF][xX][pP]"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("--filename=" + presets + "y --file-filter=CSV File"), std::string::npos)
        << "the CSV list starts in the presets folder with the chord preset's name";
    const std::string list = fileText(documents + "/list.csv");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 128);
    // The saved chord preset is in its menu at once; the import filled key 30.
    EXPECT_EQ(views().chordPresetMenu->getEntry(2)->title, "y");
    EXPECT_EQ(noteAt(*effect, 1), 64);
    EXPECT_TRUE(views().chordKeyboard->getMark(30 - 24)) << "key 30 shows a stored chord";

    // A cancelled dialog changes nothing and ends the request.
    standIn("zenity", "exit 1");
    choose(views().chordMenu, {8});
    EXPECT_TRUE(idleUntil([&] { return gui->getFileDialogMode() == ZandrelGUI::kNoDialog; }));
}

TEST_F(EditorTest, WithoutADialogProgramTheWindowSaysSo) {
    onlyStandInsOnPath();
    open();
    clickAt(centreOf(views().chordSave));
    moskDialog* dialog = views().messageDialog;
    ASSERT_TRUE(dialog->isAttached());
    EXPECT_EQ(dialog->getTitle(), "No file dialog");
    EXPECT_NE(dialog->getMessage().find("zenity"), std::string::npos);
    EXPECT_EQ(gui->getFileDialogMode(), ZandrelGUI::kNoDialog);
    clickAt(centreOf(views().randomNotes)); // the box is modal
    EXPECT_TRUE(dialog->isAttached());
    const CRect ok = dialog->buttonRect(0);
    clickAt(ok.getCenter());
    EXPECT_FALSE(dialog->isAttached());
}

TEST_F(EditorTest, ThePresetMenuListsTheFolderLoadsTheChoiceAndStepsAroundBothWays) {
    // Two files and a folder of three, each file a chord preset whose
    // first voice names it: a 40, b 41, Sub/c1 50, c2 51, c3 52.
    const std::string chords = presetsFolder() + "Chord/";
    fs::create_directories(chords + "Sub");
    auto save = [&](const std::string& path, int note) {
        effect->setParameter(param::kNoteNumFirst, note / 128.0f);
        effect->zandEngine().savePreset(PresetKind::kChords, path);
    };
    save(chords + "a.fxp", 40);
    save(chords + "b.fxp", 41);
    save(chords + "Sub/c1.fxp", 50);
    save(chords + "Sub/c2.fxp", 51);
    save(chords + "Sub/c3.fxp", 52);
    writeFile(chords + ".hidden.fxp", "");
    open();
    MyCOptionMenu* menu = views().chordPresetMenu;
    ASSERT_EQ(menu->getNbEntries(), 5);
    EXPECT_EQ(menu->getEntry(0)->title, "- Chord Presets -");
    EXPECT_TRUE(menu->getEntry(1)->isSeparator());
    EXPECT_EQ(menu->getEntry(2)->title, "Sub");
    EXPECT_EQ(menu->getSubMenu(2)->getNbEntries(), 3);
    EXPECT_EQ(menu->getEntry(3)->title, "a");
    EXPECT_EQ(menu->getEntry(4)->title, "b");

    // Nothing chosen yet: the buttons load nothing; the title line neither.
    parameters.applied.clear();
    clickAt(centreOf(views().chordNext));
    choose(menu, {0});
    for (const auto& [index, value] : parameters.applied) EXPECT_NE(index, 78);

    struct Step {
        const char* action; // "menu", "next", "previous"
        std::vector<int32_t> entry;
        int note;
    };
    const Step steps[] = {
        {"menu", {2, 1}, 51}, {"next", {}, 52},     {"next", {}, 50},
        {"previous", {}, 52}, {"menu", {4}, 41},    {"next", {}, 40},
        {"next", {}, 41},     {"previous", {}, 40}, {"previous", {}, 41},
    };
    for (const Step& s : steps) {
        if (std::string(s.action) == "menu")
            choose(menu, s.entry);
        else
            clickAt(centreOf(std::string(s.action) == "next" ? views().chordNext
                                                             : views().chordPrevious));
        EXPECT_EQ(noteAt(*effect, 0), s.note) << s.action;
    }
    EXPECT_TRUE(menu->isCheckEntry(4));
    EXPECT_FALSE(menu->getSubMenu(2)->isCheckEntry(2)) << "one check mark per menu";
    EXPECT_STREQ(menu->title, "b");
    // A preset loaded by position (a program change) takes the check mark
    // too, and the buttons step on from there whatever was chosen last.
    effect->setParameter(param::kLoadChordPreset, 10002.0f);
    EXPECT_TRUE(menu->getSubMenu(2)->isCheckEntry(2));
    EXPECT_FALSE(menu->isCheckEntry(4));
    choose(menu, {2, 0});
    EXPECT_EQ(noteAt(*effect, 0), 50);
    effect->setParameter(param::kLoadChordPreset, 2.0f); // a
    clickAt(centreOf(views().chordNext));
    EXPECT_EQ(noteAt(*effect, 0), 41) << "b follows a";
}

TEST_F(EditorTest, APresetMenuOf256FilesScrollsAndTitlesKeep24Characters) {
    const std::string arps = presetsFolder() + "Arp/";
    fs::create_directories(arps);
    const std::string longName = "A rather long preset name that goes on";
    effect->zandEngine().savePreset(PresetKind::kArp, arps + longName + ".fxp");
    for (int i = 0; i < 300; ++i) writeFile(arps + "p" + std::to_string(1000 + i) + ".fxp", "");
    open();
    MyCOptionMenu* menu = views().arpPresetMenu;
    EXPECT_EQ(menu->getNbEntries(), 2 + 256);
    EXPECT_EQ(std::string(menu->title), longName.substr(0, 24));
    ASSERT_TRUE(menu->popup());
    auto* popup = dynamic_cast<MenuPopupView*>(frame()->getPopupView());
    ASSERT_NE(popup, nullptr);
    EXPECT_LE(popup->levelBox(0).getHeight(), frame()->getHeight());
    const CRect box = popup->levelBox(0);
    popup->onWheel(box.getCenter(), -1000, 0);
    EXPECT_GT(popup->getScroll(0), 0) << "the last entries are reached by scrolling";
    EXPECT_TRUE(box.rectOverlap(popup->entryRect(0, 257)));
    frame()->cancelPopup();
}

TEST_F(EditorTest, DraggingOutWithoutADisplayWritesAMidiFileOfTheChord) {
    effect->setParameter(param::kCurrentKey, 60 / 128.0f);
    for (int v = 0; v < 3; ++v)
        effect->setParameter(param::kNoteNumFirst + v, (60 + 4 * v - (v == 2)) / 128.0f);
    open();
    const CPoint at = centreOf(views().dragOut);
    press(frame(), at.x, at.y);
    move(frame(), at.x, at.y + 20);
    move(frame(), -30, at.y); // out of the window
    move(frame(), -40, at.y);
    release(frame(), -40, at.y);
    const std::string file = presetsFolder() + "temp.mid";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(noteOnsOf(file).size(), 3u) << "C E G";
    EXPECT_EQ(std::count(parameters.applied.begin(), parameters.applied.end(),
                         std::pair<int32_t, float>{param::kExportMidi, 0.0f}),
              1)
        << "one export for the one drag";
    // An Alt-drag off the pattern row offers the arpeggio.
    const CRect row = views().patternSelector->localToFrame(views().patternSelector->getViewSize());
    press(frame(), row.left + 5, row.top + 5, kLButton | kAlt);
    move(frame(), row.left + 5, row.top - 40, kLButton | kAlt);
    release(frame(), row.left + 5, row.top - 40);
    EXPECT_TRUE(parameters.contains(param::kExportMidi, 1.0f));
}

TEST_F(EditorTest, TheManualAndThePresetsFolderOpenInTheDesktop) {
    setenv("ZANDREL_OPEN_COMMAND", (documents + "/bin/opener").c_str(), 1);
    standIn("opener", "echo \"$1\" >> '" + documents + "/opened'");
    open();
    choose(views().options, {5});
    choose(views().options, {4});
    // The about screen's link opens the manual and the picture stays.
    clickAt(centreOf(views().about));
    ASSERT_TRUE(views().about->isSplashShown());
    clickAt(views().about->linkRect().getCenter());
    EXPECT_TRUE(views().about->isSplashShown());
    clickAt(CPoint(300, 500));
    EXPECT_FALSE(views().about->isSplashShown());
    ASSERT_TRUE(idleUntil([&] {
        const std::string opened = fileText(documents + "/opened");
        return std::count(opened.begin(), opened.end(), '\n') == 3;
    }));
    const std::string manual = presetsFolder() + "Zandrel_Manual.pdf";
    // The openers run side by side: their lines come in any order.
    const std::string opened = fileText(documents + "/opened");
    size_t manuals = 0;
    for (size_t at = opened.find(manual + "\n"); at != std::string::npos;
         at = opened.find(manual + "\n", at + 1))
        ++manuals;
    EXPECT_EQ(manuals, 2u) << opened;
    EXPECT_NE(opened.find(presetsFolder() + "\n"), std::string::npos) << opened;
    EXPECT_EQ(fileText(manual).substr(0, 5), "%PDF-") << "written there when missing";
    for (const char* folder : {"Chord", "Arp", "Presets"})
        EXPECT_TRUE(fs::is_directory(presetsFolder() + folder)) << folder;
    unsetenv("ZANDREL_OPEN_COMMAND");
}

TEST_F(EditorTest, TheAboutPictureIsTheSameAtEveryBuild) {
    open();
    auto bytesOf = [](CBitmap* b) {
        cairo_surface_t* s = b->getSurface();
        cairo_surface_flush(s);
        const auto* data = reinterpret_cast<const char*>(cairo_image_surface_get_data(s));
        return std::string(data, static_cast<size_t>(cairo_image_surface_get_stride(s) *
                                                     cairo_image_surface_get_height(s)));
    };
    const std::string first = bytesOf(gui->getAboutBitmap());
    close();
    open();
    EXPECT_EQ(bytesOf(gui->getAboutBitmap()), first);
}
