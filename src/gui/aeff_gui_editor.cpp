#include "aeff_gui_editor.h"

#include "idle_clients.h"

AEffGUIEditor::AEffGUIEditor(IWindowHost* windowHost) : windowHost(windowHost) {}

AEffGUIEditor::~AEffGUIEditor() {
    if (frame) frame->forget();
}

bool AEffGUIEditor::open(void* parentWindow) {
    // Headless frames have no parent; they still count as open.
    systemWindow = parentWindow ? parentWindow : this;
    return true;
}

bool AEffGUIEditor::openFrame(void* parentWindow) {
    return frame && parentWindow && frame->open(parentWindow);
}

void AEffGUIEditor::close() {
    if (frame) {
        frame->close();
        frame->forget();
        frame = nullptr;
    }
    systemWindow = nullptr;
}

int AEffGUIEditor::connectionFd() const {
    const IPlatformFrame* platform = frame ? frame->getPlatformFrame() : nullptr;
    return platform ? platform->connectionFd() : -1;
}

void AEffGUIEditor::idle() {
    if (frame)
        frame->idle();
    else
        IdleClients::runAll();
}

bool AEffGUIEditor::sizeWindow(int32_t width, int32_t height) {
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    if (frame) frame->setSize(width, height);
    return windowHost && windowHost->resizeWindow(width, height);
}
