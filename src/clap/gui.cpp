// The gui extension: the editor embedded in the host's X11 window (the
// only way on Linux; floating windows are not offered), with its idle
// driven by the host's timer-support and posix-fd-support extensions.
#include "clap_editor_bridge.h"
#include "clap_extensions.h"
#include "zandrel_clap.h"

#include <cstring>

namespace {

ZandrelClap* self(const clap_plugin* p) {
    return ZandrelClap::of(p);
}

ClapEditorBridge* editorOf(const clap_plugin* p) {
    return self(p)->editor();
}

bool isX11Embedded(const char* api, bool isFloating) {
    return api && !isFloating && std::strcmp(api, CLAP_WINDOW_API_X11) == 0;
}

bool isApiSupported(const clap_plugin* /*plugin*/, const char* api, bool isFloating) {
    return isX11Embedded(api, isFloating);
}

bool preferredApi(const clap_plugin* /*plugin*/, const char** api, bool* isFloating) {
    if (!api || !isFloating) return false;
    *api = CLAP_WINDOW_API_X11;
    *isFloating = false;
    return true;
}

bool create(const clap_plugin* p, const char* api, bool isFloating) {
    return isX11Embedded(api, isFloating) && self(p)->createEditor();
}

void destroy(const clap_plugin* p) {
    self(p)->destroyEditor();
}

bool setScale(const clap_plugin* p, double scale) {
    ClapEditorBridge* e = editorOf(p);
    return e && e->setScale(scale);
}

bool getSize(const clap_plugin* p, uint32_t* width, uint32_t* height) {
    ClapEditorBridge* e = editorOf(p);
    if (!e || !width || !height) return false;
    e->size(*width, *height);
    return true;
}

bool canResize(const clap_plugin* /*plugin*/) {
    // The editor has the sizes its sections and scale give; it asks the
    // host for them itself.
    return false;
}

bool resizeHints(const clap_plugin* p, clap_gui_resize_hints* hints) {
    if (!editorOf(p) || !hints) return false;
    *hints = clap_gui_resize_hints{false, false, false, 0, 0};
    return true;
}

bool adjustSize(const clap_plugin* p, uint32_t* width, uint32_t* height) {
    // The nearest usable size is the only one.
    return getSize(p, width, height);
}

bool setSize(const clap_plugin* p, uint32_t width, uint32_t height) {
    ClapEditorBridge* e = editorOf(p);
    return e && e->setSize(width, height);
}

bool setParent(const clap_plugin* p, const clap_window* window) {
    ClapEditorBridge* e = editorOf(p);
    return e && window && window->api && std::strcmp(window->api, CLAP_WINDOW_API_X11) == 0 &&
           e->setParent(window->x11);
}

bool setTransient(const clap_plugin* /*plugin*/, const clap_window* /*window*/) {
    return false; // embedded only
}

void suggestTitle(const clap_plugin* /*plugin*/, const char* /*title*/) {}

bool show(const clap_plugin* p) {
    ClapEditorBridge* e = editorOf(p);
    return e && e->show();
}

bool hide(const clap_plugin* p) {
    ClapEditorBridge* e = editorOf(p);
    return e && e->hide();
}

void onTimer(const clap_plugin* p, clap_id timerId) {
    if (ClapEditorBridge* e = editorOf(p)) e->onTimer(timerId);
}

void onFd(const clap_plugin* p, int fd, uint32_t flags) {
    if (ClapEditorBridge* e = editorOf(p)) e->onFd(fd, flags);
}

} // namespace

const clap_plugin_gui kZandrelGui = {
    isApiSupported, preferredApi, create,       destroy,    setScale,
    getSize,        canResize,    resizeHints,  adjustSize, setSize,
    setParent,      setTransient, suggestTitle, show,       hide,
};
const clap_plugin_timer_support kZandrelTimerSupport = {onTimer};
const clap_plugin_posix_fd_support kZandrelPosixFdSupport = {onFd};

bool ZandrelClap::createEditor() {
    if (editorBridge) return false; // one editor per instance
    // Nothing may be thrown across the C interface.
    try {
        editorBridge = new ClapEditorBridge(*this, host);
    } catch (...) {
        editorBridge = nullptr;
    }
    return editorBridge != nullptr;
}

void ZandrelClap::destroyEditor() {
    delete editorBridge;
    editorBridge = nullptr;
}
