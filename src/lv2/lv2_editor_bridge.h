// The editor as an LV2 host sees it: an X11 UI with access to the plug-in
// instance. The bridge owns ZandrelGUI over the instance's engine, carries
// the editor's requests to the host (a host parameter's control port
// through write_function, gestures through ui:touch, the window's size
// through ui:resize) and passes the engine's notifications on.
#pragma once

#include "editor_host.h"
#include "editor_link.h"
#include "zandrel_gui.h"
#include "zandrel_lv2.h"

#include <lv2/ui/ui.h>

#include <memory>

class Lv2EditorBridge final : public EditorHost, public EditorLink {
public:
    // What the host offers the UI; the write function is always there,
    // the rest may be missing.
    struct HostCalls {
        LV2UI_Write_Function write = nullptr;
        LV2UI_Controller controller = nullptr;
        const LV2UI_Resize* resize = nullptr;
        const LV2UI_Touch* touch = nullptr;
        float scaleFactor = 0.0f; // ui:scaleFactor; 0 when the host gave none
    };

    Lv2EditorBridge(ZandrelLv2& plugin, const HostCalls& calls);
    ~Lv2EditorBridge() override; // unlinks the engine before the editor goes
    Lv2EditorBridge(const Lv2EditorBridge&) = delete;
    Lv2EditorBridge& operator=(const Lv2EditorBridge&) = delete;

    // Opens the editor inside the host's window and tells the host its
    // size. Answers the editor's own X window (the UI's widget), 0 when no
    // window could be opened.
    unsigned long open(unsigned long parentWindow);
    // The host's idle call: what other threads told the editor, then the
    // window's events, timers and drawing.
    void idle();

    void automate(int32_t index, float value) override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    bool resizeWindow(int32_t width, int32_t height) override;
    void setParameter(int32_t index, float value) override;

private:
    void touch(int32_t index, bool grabbed);

    ZandEngine& engine;
    HostCalls host;
    std::unique_ptr<ZandrelGUI> editor;
};
