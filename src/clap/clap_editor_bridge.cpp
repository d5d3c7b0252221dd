#include "clap_editor_bridge.h"

#include "cframe.h"
#include "parameter_indices.h"
#include "zandrel_clap.h"

#include <cmath>

namespace {
// About 30 idles a second, as the editor expects; a host may make it
// slower (Qtractor ticks every 200 ms), and the X connection's watch then
// keeps the window answering at once.
constexpr uint32_t kIdlePeriodMs = 30;
} // namespace

ClapEditorBridge::ClapEditorBridge(ZandrelClap& effect, const clap_host* clapHost)
    : owner(effect), host(clapHost) {
    if (host && host->get_extension) {
        hostGui = static_cast<const clap_host_gui*>(host->get_extension(host, CLAP_EXT_GUI));
        hostTimers = static_cast<const clap_host_timer_support*>(
            host->get_extension(host, CLAP_EXT_TIMER_SUPPORT));
        hostFds = static_cast<const clap_host_posix_fd_support*>(
            host->get_extension(host, CLAP_EXT_POSIX_FD_SUPPORT));
    }
    editor = std::make_unique<ZandrelGUI>(owner.zandEngine(), *this);
    owner.zandEngine().setEditorLink(this);
    if (hostTimers && hostTimers->register_timer &&
        !hostTimers->register_timer(host, kIdlePeriodMs, &timerId))
        timerId = CLAP_INVALID_ID;
}

ClapEditorBridge::~ClapEditorBridge() {
    // No notification may reach the editor once it starts to go.
    owner.zandEngine().setEditorLink(nullptr);
    closeWindow();
    if (timerId != CLAP_INVALID_ID && hostTimers->unregister_timer)
        hostTimers->unregister_timer(host, timerId);
    editor.reset();
}

bool ClapEditorBridge::setScale(double scale) {
    if (!std::isfinite(scale) || scale <= 0.0) return false;
    // The editor has two sizes: a fractional scale takes the nearer one
    // (1.5 and above: 200 %), and the host's window follows get_size. The
    // size is the editor's own parameter, as its options menu sets it.
    owner.zandEngine().setParameterFromEditor(param::kEditorScale, scale >= 1.5 ? 1.0f : 0.0f);
    return true;
}

void ClapEditorBridge::size(uint32_t& width, uint32_t& height) {
    const EditorRect r = editor->getRect();
    width = static_cast<uint32_t>(r.width());
    height = static_cast<uint32_t>(r.height());
}

bool ClapEditorBridge::setSize(uint32_t width, uint32_t height) {
    // The size is the editor's to choose: only its own is accepted.
    uint32_t w = 0;
    uint32_t h = 0;
    size(w, h);
    return width == w && height == h;
}

bool ClapEditorBridge::setParent(unsigned long x11Window) {
    if (x11Window == 0) return false;
    closeWindow();
    editor->open(reinterpret_cast<void*>(x11Window)); // NOLINT(performance-no-int-to-ptr)
    const CFrame* frame = editor->getFrame();
    if (!frame || !frame->isOpen()) {
        // No X display to open the window on.
        editor->close();
        return false;
    }
    const int fd = editor->connectionFd();
    if (fd >= 0 && hostFds && hostFds->register_fd &&
        hostFds->register_fd(host, fd, CLAP_POSIX_FD_READ))
        watchedFd = fd;
    return true;
}

void ClapEditorBridge::closeWindow() {
    if (watchedFd >= 0 && hostFds->unregister_fd) hostFds->unregister_fd(host, watchedFd);
    watchedFd = -1;
    if (editor->isOpen()) editor->close();
}

bool ClapEditorBridge::show() {
    // The window is mapped inside the host's from set_parent on; the host
    // shows and hides its own.
    return editor->isOpen();
}

bool ClapEditorBridge::hide() {
    return editor->isOpen();
}

void ClapEditorBridge::onTimer(clap_id id) {
    if (id == timerId) tick();
}

void ClapEditorBridge::onFd(int fd, uint32_t /*flags*/) {
    if (fd == watchedFd) tick();
}

void ClapEditorBridge::tick() {
    editor->idle();
}

void ClapEditorBridge::automate(int32_t index, float value) {
    owner.editorAutomate(index, value);
}

void ClapEditorBridge::beginEdit(int32_t index) {
    owner.editorGesture(index, true);
}

void ClapEditorBridge::endEdit(int32_t index) {
    owner.editorGesture(index, false);
}

bool ClapEditorBridge::resizeWindow(int32_t width, int32_t height) {
    if (!hostGui || !hostGui->request_resize || width <= 0 || height <= 0) return false;
    return hostGui->request_resize(host, static_cast<uint32_t>(width),
                                   static_cast<uint32_t>(height));
}

void ClapEditorBridge::setParameter(int32_t index, float value) {
    editor->setParameter(index, value);
}
