// The plug-in's editor window. One exists per effect from its creation on;
// its window exists between open and close. It reads the engine through
// its parameter interface and a few record fields, changes it through
// setParameterFromEditor (and the host's automation for host parameters),
// and hears every change the engine applied through setParameter, from
// whatever thread made it. It rebuilds its whole window at the next idle
// when the sections shown (parameters 16 and 17) or the size (105) change.
#pragma once

#include "aeff_gui_editor.h"
#include "cbase_object.h"
#include "control_feed.h"
#include "cross_thread_notifications.h"
#include "editor_bitmaps.h"
#include "editor_engine.h"
#include "editor_host.h"
#include "icontrol_listener.h"
#include "layout_metrics.h"

#include <atomic>
#include <cstdint>
#include <string>

class CAnimKnob;
class CBitmap;
class CHorizontalSwitch;
class CKickButton;
class COnOffButton;
class COptionMenu;
class CSplashScreen;
class CTextEdit;
class CTextLabel;
class CVSTGUITimer;
class CViewContainer;
class ControlPlaceholder;

// The views of one build. Attached views belong to the frame; the editor
// releases those it keeps detached (the pop-ups, a hidden section, the
// scale-degree button off lane 3) at close and at every rebuild.
struct EditorViews {
    // Header.
    CSplashScreen* about = nullptr;
    COnOffButton* chordsOn = nullptr;
    COnOffButton* arpOn = nullptr;
    COptionMenu* options = nullptr;
    ControlPlaceholder* messageDialog = nullptr;
    ControlPlaceholder* transpose = nullptr;
    COnOffButton* preview = nullptr;
    COnOffButton* latch = nullptr;
    CViewContainer* arpSection = nullptr;
    CViewContainer* chordSection = nullptr;
    ControlPlaceholder* popText = nullptr;
    // Chord section.
    ControlPlaceholder* currentKey = nullptr;
    COnOffButton* lock[8] = {};
    ControlPlaceholder* noteNum[8] = {};
    ControlPlaceholder* noteVel[8] = {};
    CTextLabel* chordName = nullptr;
    ControlPlaceholder* dragOut = nullptr;
    COptionMenu* chordMenu = nullptr;
    COptionMenu* songOptions = nullptr;
    COnOffButton* inputMode = nullptr;
    CKickButton* snapshot = nullptr;
    CKickButton* restoreSnapshot = nullptr;
    CKickButton* randomNotes = nullptr;
    CKickButton* chordPrevious = nullptr;
    CKickButton* chordNext = nullptr;
    CKickButton* chordSave = nullptr;
    ControlPlaceholder* chordKeyboard = nullptr;
    COnOffButton* octaveShift = nullptr;
    COnOffButton* playedKeys = nullptr;
    ControlPlaceholder* chordPresetMenu = nullptr;
    // Arpeggiator section.
    ControlPlaceholder* stepSequencer = nullptr;
    CHorizontalSwitch* laneSelector = nullptr;
    ControlPlaceholder* scaleDegrees = nullptr;
    ControlPlaceholder* laneDivider = nullptr;
    ControlPlaceholder* patternSelector = nullptr;
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
    ControlPlaceholder* arpKeyboard = nullptr;
    CTextLabel* arpChordName = nullptr;
    ControlPlaceholder* arpPresetMenu = nullptr;
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

    int32_t getGuiScale() const { return guiScale; }
    bool isGuiOpen() const { return guiOpen.load(std::memory_order_acquire); }
    bool isRebuildPending() const { return rebuildPending; }
    const LayoutMetrics& getMetrics() const { return metrics; }
    const EditorViews& getViews() const { return views; }
    const ControlFeed& getFeed() const { return feed; }

    // The options menu's entries.
    static constexpr const char* kSize100 = "100% Size";
    static constexpr const char* kSize200 = "200% Size";
    static constexpr const char* kArpRateFree = "Arp Rate Free (Hz)";
    static constexpr const char* kShowPresetsFolder = "Show Zandrel Presets Folder";
    static constexpr const char* kReadManual = "Read The Manual...";

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
    void buildAboutBitmap();
    CRect scaled(double left, double top, double right, double bottom) const;
    CRect scaledWithBitmap(double left, double top, CBitmap* bitmap, int32_t states) const;
    ControlPlaceholder* placeholder(const CRect& r, int32_t tag, const char* className);
    // Notifications (editor_notifications.cpp).
    void applyNotification(int32_t index, float value);
    void stepRefresh(float value);
    void fullRefresh();
    void refreshStep(int32_t step);
    void readBackSteps();
    void showRate();
    void checkArpRateFree(bool on);
    void setSongOptionChecks();
    // Control messages (control_messages.cpp).
    void write(int32_t index, float value);
    void writeAutomated(int32_t index, float value);
    void optionsMenuChosen();
    void chordMenuChosen();
    void laneSelectorChanged(float value);
    int32_t hostIndexOf(CControl* control) const;
    // What the note-editing controls show (control_feed.cpp).
    void refreshStoredChordMarks();
    void setPlayingStep(int32_t step);
    void setArpSounding(int32_t pitchClass, bool sounding);

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
    ControlFeed feed;
    CrossThreadNotifications fromOtherThreads;
};
