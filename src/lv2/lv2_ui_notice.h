// What the UI shows in a host that does not give it the plug-in instance
// (lv2:instanceAccess): the editor works on the engine itself, so without
// it the window says so instead of showing controls that would do nothing.
#pragma once

#include "aeff_gui_editor.h"

class Lv2UiNotice final : public AEffGUIEditor {
public:
    static constexpr int32_t kWidth = 520;
    static constexpr int32_t kHeight = 64;

    Lv2UiNotice();
    ~Lv2UiNotice() override;
    Lv2UiNotice(const Lv2UiNotice&) = delete;
    Lv2UiNotice& operator=(const Lv2UiNotice&) = delete;

    bool open(void* parentWindow) override;
};
