#include "zandrel_gui.h"

#include "arp_pno_keys.h"
#include "cfile_selector.h"
#include "chorizontal_switch.h"
#include "cmulti_on_off_button.h"
#include "cvstgui_timer.h"
#include "mosk_dialog.h"
#include "my_ckickstepseq.h"
#include "parameter_indices.h"
#include "pop_text.h"
#include "screen_scale.h"

#include <filesystem>
#include <system_error>

namespace {
// The refresh timer: slow until the window first opens, quick while it is
// open, and very slow once it has closed again.
constexpr int32_t kTimerAtCreation = 150;
constexpr int32_t kTimerWhileOpen = 50;
constexpr int32_t kTimerWhileClosed = 5150;
} // namespace

ZandrelGUI::ZandrelGUI(EditorEngine& engine, EditorHost& host)
    : AEffGUIEditor(&host), engine(engine), host(host) {
    rect = EditorRect{0, 0, 580, 593}; // getRect answers from the parameters
    refreshTimer = new CVSTGUITimer(this, kTimerAtCreation, true);

    const PresetLibrary& library = engine.presetLibrary();
    // A new user's first save, drag out or look at the manual finds its
    // folders there.
    createPresetFolders(library.folders());
    midiImportFolder = library.folders().midiImportStart;

    // The size: the configuration's, where there is a configuration file.
    // Without one, a screen set up for double size gets 200 % rather than a
    // postage stamp; a project's saved size replaces either when it loads.
    std::error_code error;
    const bool configured = std::filesystem::exists(library.folders().configFile, error);
    guiScale = editorScaleOfConfiguration(library.configuration().optEditorSize);
    if (!configured && screenWantsDoubleSize()) guiScale = 2;
    write(param::kEditorScale, static_cast<float>(guiScale - 1));
    // (The preview's switch follows the configuration from the engine's
    // construction on, in every format, window or not.)
}

ZandrelGUI::~ZandrelGUI() {
    if (frame) close();
    if (fileSelector) {
        fileSelector->abandon(); // an open dialog's answer has nobody to go to
        fileSelector->forget();
    }
    refreshTimer->stop();
    refreshTimer->forget();
    if (aboutBitmap) aboutBitmap->forget();
}

std::string ZandrelGUI::parameterDisplay(int32_t index) const {
    char text[64] = {};
    engine.getParameterDisplay(index, text);
    return text;
}

EditorRect ZandrelGUI::getRect() {
    // Hosts size their window from this before they open the editor, so it
    // answers the size the parameters give, not the last one built.
    const WindowSize size =
        editorWindowSize(scaleOfParameter(parameter(param::kEditorScale)),
                         parameter(param::kChordsOn) != 0.0f, parameter(param::kArpOn) != 0.0f);
    rect = EditorRect{0, 0, size.height, size.width};
    return rect;
}

void ZandrelGUI::loadScale(int32_t scale) {
    guiScale = scale;
    guiScaleF = static_cast<float>(scale);
    bitmaps.load(scale);
    metrics = LayoutMetrics::forScale(guiScaleF);
}

bool ZandrelGUI::open(void* parentWindow) {
    if (frame) close();
    AEffGUIEditor::open(parentWindow);
    fromOtherThreads.setOwnerThread(std::this_thread::get_id());
    fromOtherThreads.drain([](int32_t, float) {}); // what came while closed is stale
    fromOtherThreads.takeOverflow();
    loadScale(scaleOfParameter(parameter(param::kEditorScale)));
    // The sections are read now (not only at the first idle), so that the
    // first picture already has the size the host gave the window.
    chordsShown = parameter(param::kChordsOn) != 0.0f;
    arpShown = parameter(param::kArpOn) != 0.0f;
    const EditorRect r = getRect();
    frame = new CFrame(CRect(0, 0, r.width(), r.height()), this);
    frame->setBackground(bitmaps[128]);
    openFrame(parentWindow);
    buildAboutBitmap();
    buildControls();
    rebuildPending = true; // the first idle sizes the host's window
    guiOpen.store(true, std::memory_order_release);
    afterBuild();
    return true;
}

void ZandrelGUI::afterBuild() {
    setParameter(param::kPatternChanged, 17.0f); // full refresh
    if (arpShown) {
        views.laneSelector->setValue(parameter(param::kCurrentLane));
        valueChanged(views.laneSelector);
    }
    refreshTimer->setFireTime(kTimerWhileOpen);
    rebuildPresetMenus();
    setParameter(param::kRefreshPresetNames, 1.0f); // the menus' titles
    // The current key written back to itself makes the engine tell the
    // editor everything about it (notes, velocities, locks, name).
    write(param::kCurrentKey, parameter(param::kCurrentKey));
    refreshStoredChordMarks();
}

void ZandrelGUI::releaseDetachedViews() {
    // The editor holds a reference of its own to the views it attaches and
    // detaches as it goes (the scale-degree button, the text entry, the
    // message dialog); the frame holds another while they are attached.
    // The sections are the editor's only while they are detached.
    for (CView* view : {static_cast<CView*>(views.scaleDegrees), static_cast<CView*>(views.popText),
                        static_cast<CView*>(views.messageDialog)})
        if (view) view->forget();
    for (CView* view :
         {static_cast<CView*>(views.arpSection), static_cast<CView*>(views.chordSection)})
        if (view && !view->isAttached()) view->forget();
    views = EditorViews{};
}

void ZandrelGUI::close() {
    guiOpen.store(false, std::memory_order_release);
    if (frame) frame->cancelPopup();
    releaseDetachedViews();
    AEffGUIEditor::close(); // removes every attached view with the frame
    // Open loads them again anyway: a closed window holds no pictures (20 MB
    // at 200 %, per instance).
    bitmaps.release();
    if (aboutBitmap) aboutBitmap->forget();
    aboutBitmap = nullptr;
    refreshTimer->setFireTime(kTimerWhileClosed);
}

void ZandrelGUI::rebuild() {
    rebuildPending = false;
    const int32_t scale = scaleOfParameter(parameter(param::kEditorScale));
    chordsShown = parameter(param::kChordsOn) != 0.0f;
    arpShown = parameter(param::kArpOn) != 0.0f;
    const EditorRect r = getRect();
    // The first idle after open finds the views as they should be: the host
    // only hears the size. Anything else builds the window anew.
    const bool asBuilt = !rebuildEverything && scale == guiScale &&
                         views.arpSection->isAttached() == arpShown &&
                         views.chordSection->isAttached() == chordsShown;
    rebuildEverything = false;
    if (asBuilt) {
        sizeWindow(r.width(), r.height());
        return;
    }
    if (scale != guiScale) loadScale(scale);

    guiOpen.store(false, std::memory_order_release);
    frame->cancelPopup();
    frame->setFocusView(nullptr);
    releaseDetachedViews();
    frame->removeAll();
    frame->setBackground(bitmaps[128]);
    sizeWindow(r.width(), r.height());

    buildAboutBitmap();
    buildControls();
    guiOpen.store(true, std::memory_order_release);
    afterBuild();
    frame->invalid();
}

void ZandrelGUI::drainNotifications() {
    fromOtherThreads.setOwnerThread(std::this_thread::get_id());
    fromOtherThreads.drain([this](int32_t index, float value) {
        if (isGuiOpen()) applyNotification(index, value);
    });
    // Notifications were lost: the rebuild reads everything again.
    if (fromOtherThreads.takeOverflow() && isGuiOpen()) rebuildPending = rebuildEverything = true;
}

void ZandrelGUI::idle() {
    // What the real-time thread had to tell the editor reaches it here, on
    // the thread that runs the window, whatever the plug-in format.
    engine.deliverEditorNotifications();
    if (frame) {
        drainNotifications();
        if (isGuiOpen() && rebuildPending) rebuild();
        // A text entry accepted unchanged reports nothing: it goes once it
        // has lost the focus.
        if (isGuiOpen() && views.popText && views.popText->isAttached() &&
            !views.popText->isEditBoxOpen())
            closeTextEntry();
    }
    AEffGUIEditor::idle(); // window events, timers, drawing
}

void ZandrelGUI::setParameter(int32_t index, float value) {
    if (!isGuiOpen()) return;
    if (!fromOtherThreads.onOwnerThread()) {
        fromOtherThreads.post(index, value);
        return;
    }
    applyNotification(index, value);
}

void ZandrelGUI::onTimer() {
    if (!isGuiOpen()) return;
    const EngineState& st = engine.engine();
    // Both controls redraw only what changed.
    for (int32_t pc = 0; pc < 12; ++pc)
        views.arpKeyboard->setSounding(pc, st.arpPitchClassOn[pc] != 0);
    const int32_t lane = st.currentLane >= 0 && st.currentLane < kLaneCount ? st.currentLane : 0;
    views.stepSequencer->setPlayingStep(st.lanePos[lane]);
    if (frame) frame->updateDirty();
}

CMessageResult ZandrelGUI::notify(CBaseObject* sender, const char* message) {
    if (message == kMsgTimer) {
        onTimer();
        return kMessageNotified;
    }
    if (message == kSelectEndMessage) {
        fileDialogEnded(static_cast<CFileSelector*>(sender));
        return kMessageNotified;
    }
    return kMessageUnknown;
}
