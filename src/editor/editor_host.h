// What the editor asks of the plug-in format that hosts it. Each format's
// adapter implements it (VST 2.4: audioMasterAutomate, audioMasterBeginEdit,
// audioMasterEndEdit, audioMasterSizeWindow).
#pragma once

#include "aeff_gui_editor.h"

#include <cstdint>

class EditorHost : public IWindowHost {
public:
    // The host's half of an automated change: the engine has applied the
    // value already; the host records it.
    virtual void automate(int32_t index, float value) = 0;
    // A gesture on a host parameter begins or ends (automation recording).
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    // resizeWindow(width, height) comes from IWindowHost.
};
