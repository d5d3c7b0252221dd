#include "aeff_gui_editor.h"

#include "audio_effect_x.h"
#include "idle_clients.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {}

AEffGUIEditor::~AEffGUIEditor() {
    if (frame) frame->forget();
}

bool AEffGUIEditor::getRect(ERect** r) {
    *r = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    AEffEditor::open(parentWindow);
    return true;
}

bool AEffGUIEditor::openFrame(void* parentWindow) {
    return frame && frame->open(parentWindow);
}

void AEffGUIEditor::close() {
    if (frame) {
        frame->close();
        frame->forget();
        frame = nullptr;
    }
    AEffEditor::close();
}

void AEffGUIEditor::idle() {
    if (frame)
        frame->idle();
    else
        IdleClients::runAll();
}

bool AEffGUIEditor::sizeWindow(int32_t width, int32_t height) {
    rect.right = static_cast<int16_t>(rect.left + width);
    rect.bottom = static_cast<int16_t>(rect.top + height);
    if (frame) frame->setSize(width, height);
    auto* fx = dynamic_cast<AudioEffectX*>(effect);
    return fx && fx->sizeWindow(width, height);
}
