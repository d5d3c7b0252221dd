// The plug-in's editor window. One exists per effect from its creation on;
// its window exists between open and close. It reads the engine through
// its parameter interface and a few record fields, changes it through
// setParameterFromEditor (and the host's automation for host parameters),
// and hears every change the engine applied through setParameter, from
// whatever thread made it. It rebuilds its whole window at the next idle
// when the sections shown (parameters 16 and 17) or the size (105) change.
//
// A plug-in format hosts it like this: create it with the engine and an
// EditorHost (automation, gesture brackets, window size), link the engine
// to it (EditorLink::setParameter forwards to setParameter), answer the
// host's size query with getRect, open it in the host's X11 window, call
// idle about 30 to 60 times a second while it is open, and close it.
#pragma once

#include "aeff_gui_editor.h"
#include "cbase_object.h"
#include "cross_thread_notifications.h"
#include "editor_bitmaps.h"
#include "editor_engine.h"
#include "editor_host.h"
#include "icontrol_listener.h"
#include "layout_metrics.h"
#include "preset_menu_bank.h"

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>

class ArpPnoKeys;
class CAnimKnob;
class CBitmap;
class CFileSelector;
class CHorizontalSwitch;
class CKickButton;
class CMultiOnOffButton;
class COnOffButton;
class COptionMenu;
class CParamDisplay2;
class CTextEdit;
class CTextLabel;
class CURLSplashScreen;
class CVSTGUITimer;
class CViewContainer;
class MyCKickstepseq;
class MyCOptionMenu;
class MyDragButton;
class MySequenceSelector;
class PianoKeys;
class PopText;
class moskDialog;

// The views of one build. Attached views belong to the frame; the editor
// releases those it keeps detached (the pop-ups, a hidden section, the
// scale-degree button off lane 3) at close and at every rebuild.
struct EditorViews {
    // Header.
    CURLSplashScreen* about = nullptr;
    COnOffButton* chordsOn = nullptr;
    COnOffButton* arpOn = nullptr;
    COptionMenu* options = nullptr;
    moskDialog* messageDialog = nullptr;
    CParamDisplay2* transpose = nullptr;
    COnOffButton* preview = nullptr;
    COnOffButton* latch = nullptr;
    CViewContainer* arpSection = nullptr;
    CViewContainer* chordSection = nullptr;
    PopText* popText = nullptr;
    // Chord section.
    CParamDisplay2* currentKey = nullptr;
    COnOffButton* lock[8] = {};
    CParamDisplay2* noteNum[8] = {};
    CParamDisplay2* noteVel[8] = {};
    CTextLabel* chordName = nullptr;
    MyDragButton* dragOut = nullptr;
    COptionMenu* chordMenu = nullptr;
    COptionMenu* songOptions = nullptr;
    COnOffButton* inputMode = nullptr;
    CKickButton* snapshot = nullptr;
    CKickButton* restoreSnapshot = nullptr;
    CKickButton* randomNotes = nullptr;
    CKickButton* chordPrevious = nullptr;
    CKickButton* chordNext = nullptr;
    CKickButton* chordSave = nullptr;
    PianoKeys* chordKeyboard = nullptr;
    COnOffButton* octaveShift = nullptr;
    COnOffButton* playedKeys = nullptr;
    MyCOptionMenu* chordPresetMenu = nullptr;
    // Arpeggiator section.
    MyCKickstepseq* stepSequencer = nullptr;
    CHorizontalSwitch* laneSelector = nullptr;
    CMultiOnOffButton* scaleDegrees = nullptr;
    CParamDisplay2* laneDivider = nullptr;
    MySequenceSelector* patternSelector = nullptr;
    COnOffButton* restartOnKey = nullptr;
    COnOffButton* linkLanes = nullptr;
    COnOffButton* chordStep = nullptr;
    CTextEdit* patternName = nullptr;
    CAnimKnob* rate = nullptr;
    CTextLabel* rateText = nullptr;
    CKickButton* patternCopy = nullptr;
    CKickButton* patternPaste = nullptr;
    CKickButton* randomizeLane = nullptr;
    CAnimKnob* swing = nullptr;
    CAnimKnob* gate = nullptr;
    CKickButton* arpPrevious = nullptr;
    CKickButton* arpNext = nullptr;
    CKickButton* arpSave = nullptr;
    ArpPnoKeys* arpKeyboard = nullptr;
    CTextLabel* arpChordName = nullptr;
    MyCOptionMenu* arpPresetMenu = nullptr;
    // The NoteNum (33..40), NoteVel (41..48) and Lock (49..56) controls.
    CControl* byTag[57] = {};
};

class ZandrelGUI : public AEffGUIEditor, public IControlListener, public CBaseObject {
public:
    ZandrelGUI(EditorEngine& engine, EditorHost& host);
    ~ZandrelGUI() override;

    // The size the window has, or will have once opened or rebuilt: from
    // parameters 16, 17 and 105, at any time.
    EditorRect getRect() override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;

    // Engine notification: index and the value the engine applied, or a
    // refresh signal. Any thread; ignored while the window is closed.
    void setParameter(int32_t index, float value);
    void onTimer();

    CMessageResult notify(CBaseObject* sender, const char* message) override;
    void valueChanged(CControl* control) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;
    // A drag out of the window from the drag-out button (the chord) or the
    // pattern selector (the arpeggio): the MIDI file is written, then
    // offered to whatever lies under the pointer.
    void dragOutRequested(CControl* control, const CPoint& where) override;

    // The previous (-1) or next (+1) preset of a bank, wrapping at both ends.
    void stepPreset(PresetBank bank, int32_t direction);

    int32_t getGuiScale() const { return guiScale; }
    bool isGuiOpen() const { return guiOpen.load(std::memory_order_acquire); }
    bool isRebuildPending() const { return rebuildPending; }
    const LayoutMetrics& getMetrics() const { return metrics; }
    const EditorViews& getViews() const { return views; }
    const PresetMenuBank& presetBank(PresetBank bank) const { return presetBanks[bank]; }
    int32_t getFileDialogMode() const { return fileDialogMode; }
    CBitmap* getAboutBitmap() const { return aboutBitmap; }
    // Where the manual is opened from (it is written there when missing).
    std::string manualPath() const;

    // The options menu's entries.
    static constexpr const char* kSize100 = "100% Size";
    static constexpr const char* kSize200 = "200% Size";
    static constexpr const char* kArpRateFree = "Arp Rate Free (Hz)";
    static constexpr const char* kShowPresetsFolder = "Show Zandrel Presets Folder";
    static constexpr const char* kReadManual = "Read The Manual...";

    // What the file selector is open for.
    enum FileDialogMode : int32_t {
        kNoDialog = 0,
        kImportMidi = 1,
        kSaveWholeState = 2,
        kSaveChords = 3,
        kSaveArp = 4,
        kSaveCsv = 5,
    };

private:
    // Lifecycle (zandrel_gui.cpp).
    void loadScale(int32_t scale);
    void rebuild();
    void releaseDetachedViews();
    void afterBuild();
    void drainNotifications();
    // Building (editor_layout.cpp).
    void buildControls();
    void buildHeader();
    void buildChordSection();
    void buildArpSection();
    void buildChordMenu();
    void buildOptionsMenu();
    CRect scaled(double left, double top, double right, double bottom) const;
    CRect scaledWithBitmap(double left, double top, CBitmap* bitmap, int32_t states) const;
    CParamDisplay2* valueDisplay(const CRect& r, int32_t tag, int32_t style, float defaultValue);
    MyCOptionMenu* presetMenuView(const CRect& r, int32_t tag, const char* first,
                                  const char* second);
    // A kick button: where it goes, its tag and its bitmap.
    struct KickPlace {
        CKickButton** view;
        int32_t tag;
        int32_t bitmap;
        double left, top, right, bottom;
    };
    void addKickButtons(CViewContainer* section, std::initializer_list<KickPlace> places);
    // The about screen's picture (about_screen.cpp).
    void buildAboutBitmap();
    // Notifications (editor_notifications.cpp).
    void applyNotification(int32_t index, float value);
    void stepRefresh(float value);
    void fullRefresh();
    void refreshStep(int32_t step);
    void readBackSteps();
    void showRate();
    void checkArpRateFree(bool on);
    void setSongOptionChecks();
    void showPresetTitles();
    void refreshStoredChordMarks();
    // Control messages (control_messages.cpp).
    void write(int32_t index, float value);
    void writeAutomated(int32_t index, float value);
    int32_t hostIndexOf(CControl* control) const;
    bool modifiersAre(int32_t modifiers) const;
    void chordKeyboardReported();
    void stepSequencerReported();
    void patternSelectorReported(float value);
    void laneSelectorChanged(float value);
    void octaveShiftToggled();
    // The text entry over a value display (text_entry.cpp).
    void openTextEntry(CParamDisplay2* display);
    void textEntered();
    void closeTextEntry();
    // Menus and file dialogs (editor_menus.cpp).
    void optionsMenuChosen();
    void chordMenuChosen();
    void openFileDialog(FileDialogMode mode);
    void fileDialogEnded(CFileSelector* selector);
    void showMessage(const char* title, const char* text);
    void openInDesktop(const std::string& target);
    // Preset menus (preset_menus.cpp).
    MyCOptionMenu* presetMenu(PresetBank bank) const;
    void rebuildPresetMenus();
    void fillPresetMenu(PresetBank bank);
    void presetMenuChosen(PresetBank bank);
    void selectPreset(PresetBank bank, const COptionMenu* chosenMenu, int32_t chosen);
    void followPresetPosition(PresetBank bank, float code);
    void showPresetChecks(PresetBank bank);

    float parameter(int32_t index) const { return engine.getParameter(index); }
    std::string parameterDisplay(int32_t index) const;
    static int32_t scaleOfParameter(float value) { return value >= 0.5f ? 2 : 1; }

    EditorEngine& engine;
    EditorHost& host;
    int32_t guiScale = 1;
    float guiScaleF = 1.0f;
    LayoutMetrics metrics = LayoutMetrics::forScale(1);
    std::atomic<bool> guiOpen{false};
    bool rebuildPending = false;
    bool rebuildEverything = false; // also when the layout stays
    bool chordsShown = false;
    bool arpShown = false;
    CVSTGUITimer* refreshTimer = nullptr;
    EditorBitmaps bitmaps;
    CBitmap* aboutBitmap = nullptr;
    EditorViews views;
    int32_t octaveOffset = -24; // the chord keyboard's, kept across builds
    FileDialogMode fileDialogMode = kNoDialog;
    CFileSelector* fileSelector = nullptr;
    std::string midiImportFolder; // the last import's folder
    PresetMenuBank presetBanks[2];
    CrossThreadNotifications fromOtherThreads;
};
