// The editor window as a CLAP host sees it (the gui extension): the
// ZandrelGUI embedded in the host's X11 window, idled from the host's
// timer and from its watch on the X connection, its automation passed to
// the plug-in's output events and its size requests to the host. It does
// everything on the host's main thread: no thread of ours touches X.
#pragma once

#include "abi/gui.h"
#include "abi/host.h"
#include "abi/id.h"
#include "abi/posix_fd_support.h"
#include "abi/timer_support.h"
#include "editor_host.h"
#include "editor_link.h"
#include "zandrel_gui.h"

#include <cstdint>
#include <memory>

class ZandrelClap;

class ClapEditorBridge final : public EditorHost, public EditorLink {
public:
    ClapEditorBridge(ZandrelClap& owner, const clap_host* host);
    ~ClapEditorBridge() override;
    ClapEditorBridge(const ClapEditorBridge&) = delete;
    ClapEditorBridge& operator=(const ClapEditorBridge&) = delete;

    // 2.0 (or more than 1.5) asks for 200 %, anything else for 100 %.
    bool setScale(double scale);
    // The size the window has, or will have once opened, at its scale.
    void size(uint32_t& width, uint32_t& height);
    bool setSize(uint32_t width, uint32_t height);
    // Opens the editor inside the host's X11 window.
    bool setParent(unsigned long x11Window);
    bool show();
    bool hide();

    // The host's main-thread calls: the editor's idle.
    void onTimer(clap_id timerId);
    void onFd(int fd, uint32_t flags);

    // EditorHost: the editor's requests.
    void automate(int32_t index, float value) override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    bool resizeWindow(int32_t width, int32_t height) override;
    // EditorLink: the engine's notifications.
    void setParameter(int32_t index, float value) override;

    ZandrelGUI& gui() { return *editor; }

private:
    void tick();
    void closeWindow();

    ZandrelClap& owner;
    const clap_host* host;
    const clap_host_gui* hostGui = nullptr;
    const clap_host_timer_support* hostTimers = nullptr;
    const clap_host_posix_fd_support* hostFds = nullptr;
    std::unique_ptr<ZandrelGUI> editor;
    clap_id timerId = CLAP_INVALID_ID;
    int watchedFd = -1;
};
