// zandrel-editor-host [--plugin Zandrel.so] [--hold 60,64,67] [--seconds N]
//
// Opens Zandrel's editor the way a DAW does: a top-level X window of the
// size effEditGetRect gives, the editor opened inside it, effEditIdle about
// sixty times a second, audioMasterSizeWindow honoured by resizing the
// window, and a processing thread playing a transport at 120 BPM (holding
// the given notes, so that the arpeggiator has something to play). It logs
// on stdout what a DAW would see, one line each:
//   open W H | window ID | size W H | automate I V | begin I | end I |
//   updateDisplay | value I V | closed | quit
// and reads commands on stdin: get I, set I V (a host write), chunk OFFSET
// (the 32-bit float at that byte of the state chunk, answered as
// "chunk OFFSET V"), close, open, quit. X errors go to stderr and make the
// exit status 1.
#include "plugin_host.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
std::mutex logMutex;
std::atomic<int> xErrors{0};

void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void say(const char* format, ...) {
    std::lock_guard lock(logMutex);
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    std::fflush(stdout);
}

int onXError(Display* display, XErrorEvent* e) {
    char text[256] = {};
    XGetErrorText(display, e->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d)\n", text, e->request_code);
    ++xErrors;
    return 0;
}

struct Options {
    std::string plugin = ZANDREL_SO;
    std::vector<int> hold;
    double seconds = 0;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--plugin" && i + 1 < argc) {
            o.plugin = argv[++i];
        } else if (a == "--hold" && i + 1 < argc) {
            std::stringstream list(argv[++i]);
            for (std::string n; std::getline(list, n, ',');) o.hold.push_back(std::atoi(n.c_str()));
        } else if (a == "--seconds" && i + 1 < argc) {
            o.seconds = std::atof(argv[++i]);
        } else {
            return false;
        }
    }
    return true;
}

// The audio side: blocks of 256 frames at their real-time pace.
void processing(PluginHost& host, const std::vector<int>& hold, const std::atomic<bool>& running) {
    constexpr int32_t kBlock = 256;
    const auto period = std::chrono::duration<double>(kBlock / host.sampleRate());
    auto next = std::chrono::steady_clock::now();
    bool first = true;
    while (running.load()) {
        if (first)
            for (int note : hold) host.noteOn(0, 1, note, 100);
        first = false;
        host.processBlock(kBlock);
        host.events.clear(); // a DAW plays them; we need not keep them
        next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
        std::this_thread::sleep_until(next);
    }
}
} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: %s [--plugin Zandrel.so] [--hold 60,64,67] [--seconds N]\n",
                     argv[0]);
        return 2;
    }
    XSetErrorHandler(onXError);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    PluginHost::Options hostOptions;
    hostOptions.productString = "Zandrel Editor Host";
    PluginHost host(o.plugin, hostOptions);
    if (!host.loaded()) {
        std::fprintf(stderr, "cannot load %s: %s\n", o.plugin.c_str(), host.error().c_str());
        return 1;
    }
    host.setTempo(120);
    host.setPlaying(true);

    int32_t width = 0, height = 0;
    if (!host.editorRect(width, height)) {
        std::fprintf(stderr, "the plug-in has no editor\n");
        return 1;
    }
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, 0, 0);
    XStoreName(display, window, "Zandrel");
    Atom wmDelete = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &wmDelete, 1);
    XMapWindow(display, window);
    XSync(display, False);
    say("window %lu", static_cast<unsigned long>(window));

    host.observer = [](const char* what, int32_t index, float value) {
        if (std::strcmp(what, "automate") == 0)
            say("automate %d %.4f", index, value);
        else if (std::strcmp(what, "begin") == 0 || std::strcmp(what, "end") == 0)
            say("%s %d", what, index);
        else if (std::strcmp(what, "updateDisplay") == 0)
            say("updateDisplay");
    };
    host.sizeWindowHandler = [&](int32_t w, int32_t h) {
        XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
        XSync(display, False);
        say("size %d %d", w, h);
        return true;
    };
    auto openEditor = [&] {
        int32_t w = 0, h = 0;
        host.editorRect(w, h);
        XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
        XSync(display, False);
        host.openEditor(reinterpret_cast<void*>(window));
        say("open %d %d", w, h);
    };
    openEditor();
    bool editorOpen = true;

    std::atomic<bool> running{true};
    std::thread audio(processing, std::ref(host), std::cref(o.hold), std::cref(running));

    const auto start = std::chrono::steady_clock::now();
    std::string pending;
    bool quit = false;
    while (!quit) {
        while (XPending(display)) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == wmDelete)
                quit = true;
        }
        if (editorOpen) host.idleEditor();
        if (o.seconds > 0 &&
            std::chrono::steady_clock::now() - start > std::chrono::duration<double>(o.seconds))
            quit = true;
        // Waits for a command or the next idle, whichever comes first.
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (poll(&in, 1, 16) > 0) {
            char buffer[512];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                // stdin closed: keep running until the window closes or time is up.
                if (o.seconds <= 0) quit = true;
                close(STDIN_FILENO);
                if (open("/dev/null", O_RDONLY) < 0) quit = true;
            } else {
                pending.append(buffer, static_cast<size_t>(n));
            }
        }
        for (size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            std::istringstream line(pending.substr(0, eol));
            pending.erase(0, eol + 1);
            std::string command;
            line >> command;
            int index = 0;
            float value = 0;
            if (command == "get" && line >> index) {
                say("value %d %.4f", index, host.getParameter(index));
            } else if (command == "set" && line >> index >> value) {
                host.setParameter(index, value);
            } else if (command == "chunk" && line >> index) {
                // What a DAW saves: the state chunk, read as it would be.
                void* data = nullptr;
                const auto size = host.dispatch(effGetChunk, 0, 0, &data);
                float field = 0;
                if (data && index >= 0 && index + 4 <= size)
                    std::memcpy(&field, static_cast<const char*>(data) + index, 4);
                say("chunk %d %.4f", index, field);
            } else if (command == "close" && editorOpen) {
                host.closeEditor();
                editorOpen = false;
                say("closed");
            } else if (command == "open" && !editorOpen) {
                openEditor();
                editorOpen = true;
            } else if (command == "quit") {
                quit = true;
            }
        }
    }
    running = false;
    audio.join();
    if (editorOpen) host.closeEditor();
    XDestroyWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    say("quit");
    return xErrors.load() ? 1 : 0;
}
