// The editor in an X11 window of ours: opened cold and warm, opened while
// another thread processes, closed and reopened, closed while notes play.
// Run under xvfb-run where there is no display.
#include "checks.h"
#include "player.h"

#if ZANDREL_VALIDATE_EDITOR

#include <X11/Xlib.h>
#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

namespace validate {

namespace {

constexpr double kRate = 48000.0;

class ParentWindow {
public:
    ParentWindow() : display(XOpenDisplay(nullptr)) {
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1200, 900, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~ParentWindow() {
        if (!display) return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    Display* display;
    Window window = 0;
};

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Idles the editor as a host's user-interface thread does, about 30 times a
// second, for `ms` milliseconds.
void idleFor(PluginInstance& p, int ms) {
    for (int waited = 0; waited < ms; waited += 30) {
        p.idleEditor();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
}

} // namespace

void editorCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    auto instance = c.create(*format);
    if (!instance) return;
    PluginInstance& p = *instance;
    if (!p.hasEditor()) {
        c.log.notBuilt("the plug-in has no editor (no " + format->editorOffer() + ")");
        return;
    }
    // The window's libraries (fontconfig, Cairo, Xlib) keep caches until the
    // process ends: a leak report would blame them, so this check's process
    // skips it. The editor's own leaks are the headless editor tests' to find.
    c.log.leaveMemoryBehind();
    ParentWindow parent;
    if (!parent.display) {
        c.log.fail("no X display to open the editor in (run under xvfb-run)");
        return;
    }
    int width = 0;
    int height = 0;
    const auto open = [&](const char* how) {
        c.log.at(0.0, -1, std::string("opening the editor ") + how);
        const auto start = std::chrono::steady_clock::now();
        if (!p.openEditor(parent.window, width, height)) {
            c.log.fail(std::string("the editor did not open ") + how);
            return -1.0;
        }
        p.idleEditor();
        const double ms = millisecondsSince(start);
        if (width <= 0 || height <= 0 || width > 8192 || height > 8192)
            c.log.fail("editor size " + std::to_string(width) + " x " + std::to_string(height));
        return ms;
    };
    const auto close = [&] {
        p.closeEditor();
        XSync(parent.display, False);
    };

    const double cold = open("cold");
    if (cold < 0) return;
    idleFor(p, 300);
    close();
    const double warm = open("warm");
    if (warm < 0) return;
    idleFor(p, 300);
    close();

    // The audio thread plays notes while the editor opens, idles and closes.
    Player player(p, c.log);
    player.start(kRate, 256);
    p.setTransport(true, 120.0, 0.0);
    std::atomic<bool> stop{false};
    const auto playing = [&] {
        while (!stop.load()) player.block(256);
    };
    player.schedule(randomNotes(c.random, player.position(), int64_t{10} * 48000, kRate, 1));
    std::thread audio(playing);
    const double whileProcessing = open("while another thread processes");
    if (whileProcessing >= 0) {
        idleFor(p, 500);
        c.log.at(0.0, -1, "closing the editor while notes play");
        close();
        idleFor(p, 100);
        if (open("again while another thread processes") >= 0) {
            idleFor(p, 300);
            close();
        }
    }
    stop.store(true);
    audio.join();
    player.letGo(256);
    player.stop();
    c.reportFormatFaults(p);

    std::ostringstream what;
    what.precision(1);
    what << std::fixed << "editor " << width << " x " << height << "; opened cold in " << cold
         << " ms, warm in " << warm << " ms, while processing in " << whileProcessing
         << " ms; closed while notes play";
    c.log.did(what.str());
}

} // namespace validate

#else

namespace validate {

void editorCheck(CheckContext& c) {
    c.log.notBuilt("this validator was built without X11 (ZANDREL_GUI=OFF)");
}

} // namespace validate

#endif
