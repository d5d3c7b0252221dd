// The bridge between the VST 2.4 editor opcodes and a frame: the host's
// getRect/open/close/idle reach the editor here; the editor builds its
// frame in open (as a child window of the host's) and this class pumps it
// at idle. Subclasses create the frame and their views.
#pragma once

#include "aeff_editor.h"
#include "cframe.h"

class AEffGUIEditor : public AEffEditor {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;

    CFrame* getFrame() const { return frame; }
    // Asks the host to resize its window and resizes the frame.
    bool sizeWindow(int32_t width, int32_t height);

protected:
    // Opens frame's window inside the host's parent window; subclasses call
    // this from open after building the frame. Headless when no display.
    bool openFrame(void* parentWindow);

    ERect rect{0, 0, 0, 0};
    CFrame* frame = nullptr;
};
