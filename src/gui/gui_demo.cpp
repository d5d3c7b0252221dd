// gui-demo [--scale 1|2] [--png FILE] [--seconds N]
// Without --png: opens the demo editor through the editor bridge inside a
// stand-in host window and runs idle at 50 Hz until the window is closed
// or N seconds have passed. With --png: renders headless into FILE.
#include "demo_editor.h"
#include "font_caches.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {
int run(int argc, char** argv);
}

int main(int argc, char** argv) {
    int rc = run(argc, argv);
    releaseFontCaches();
    return rc;
}

namespace {
int run(int argc, char** argv) {
    int scale = 1;
    std::string png;
    double seconds = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--scale" && i + 1 < argc)
            scale = std::atoi(argv[++i]) == 2 ? 2 : 1;
        else if (a == "--png" && i + 1 < argc)
            png = argv[++i];
        else if (a == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else {
            std::fprintf(stderr, "usage: %s [--scale 1|2] [--png FILE] [--seconds N]\n", argv[0]);
            return 2;
        }
    }
    DemoEditor editor(scale, stdout);
    if (!png.empty()) {
        editor.buildFrame();
        CFrame* frame = editor.getFrame();
        frame->redrawAll();
        return cairo_surface_write_to_png(frame->getBackBuffer(), png.c_str()) ==
                       CAIRO_STATUS_SUCCESS
                   ? 0
                   : 1;
    }

    // The stand-in host: a top-level window of the editor's size.
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    editor.buildFrame();
    EditorRect r = editor.getRect();
    Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, r.width(),
                                      r.height(), 0, 0, 0);
    XStoreName(display, host, "Zandrel toolkit demo");
    Atom wmDelete = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, host, &wmDelete, 1);
    XSelectInput(display, host, StructureNotifyMask);
    XMapWindow(display, host);
    XSync(display, False);
    editor.open(reinterpret_cast<void*>(host));
    std::printf("open %lu\n", static_cast<unsigned long>(host));
    std::fflush(stdout);

    auto start = std::chrono::steady_clock::now();
    bool running = true;
    bool wasDragging = false;
    int lastWidth = r.width(), lastHeight = r.height();
    while (running) {
        while (XPending(display)) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == wmDelete)
                running = false;
        }
        editor.idle();
        // The stand-in host honours the editor's size requests.
        r = editor.getRect();
        if (r.width() != lastWidth || r.height() != lastHeight) {
            lastWidth = r.width();
            lastHeight = r.height();
            XResizeWindow(display, host, lastWidth, lastHeight);
            XFlush(display);
        }
        bool dragging = editor.getFrame() && editor.getFrame()->getPlatformFrame() &&
                        editor.getFrame()->getPlatformFrame()->isDragging();
        if (wasDragging && !dragging) {
            std::printf("drag ended\n");
            std::fflush(stdout);
        }
        wasDragging = dragging;
        if (seconds > 0 &&
            std::chrono::steady_clock::now() - start > std::chrono::duration<double>(seconds))
            running = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    editor.close();
    XDestroyWindow(display, host);
    XCloseDisplay(display);
    return 0;
}
} // namespace
