// Dragging the current chord (the drag-out button) or its arpeggio (the
// pattern selector) out of the window as a MIDI file that a DAW or a file
// manager takes. On X11 the drag runs on after this returns: the window
// stays live, and the pressed control gets its release when it ends.
#include "ccontrol.h"
#include "cframe.h"
#include "parameter_indices.h"
#include "zandrel_gui.h"

namespace {
constexpr int32_t kDragOutButtonTag = 152;
} // namespace

void ZandrelGUI::dragOutRequested(CControl* control, const CPoint&) {
    if (!isGuiOpen() || !frame) return;
    // One drag at a time, whatever the controls ask while it runs.
    if (const IPlatformFrame* platform = frame->getPlatformFrame();
        platform && platform->isDragging())
        return;
    const PresetFolders& folders = engine.presetLibrary().folders();
    createPresetFolders(folders);
    // The export renders a bar through the engine, whose notifications of
    // the render are not for the window.
    guiOpen.store(false, std::memory_order_release);
    engine.presetPath() = folders.dragExportFile;
    write(param::kExportMidi, control->getTag() == kDragOutButtonTag ? 0.0f : 1.0f);
    guiOpen.store(true, std::memory_order_release);
    frame->doDrag({folders.dragExportFile});
}
