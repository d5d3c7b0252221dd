// A window that accepts XDND drops (version 5) and prints each drop as
// "dropped <data>" on one line; runs until killed or for SECONDS.
// Mode "no-finish" accepts the drop but never answers it, as a hung
// program would. Used to check the toolkit's drag source.
// usage: xdnd_drop_target accept|no-finish [SECONDS]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    bool answerDrops = !(argc > 1 && std::string(argv[1]) == "no-finish");
    double seconds = argc > 2 ? std::atof(argv[2]) : 30;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 1;
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 700, 0, 300, 300, 0, 0, 0xffffff);
    XStoreName(d, w, "xdnd drop target");
    auto atom = [&](const char* n) { return XInternAtom(d, n, False); };
    Atom version = 5;
    XChangeProperty(d, w, atom("XdndAware"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&version), 1);
    XSelectInput(d, w, PropertyChangeMask | StructureNotifyMask);
    XMapWindow(d, w);
    XSync(d, False);
    std::printf("ready\n");
    std::fflush(stdout);
    Atom uriList = atom("text/uri-list"), prop = atom("XDND_DATA");
    Window source = None;
    auto reply = [&](Atom type, long l1, long l2) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = source;
        e.xclient.message_type = type;
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(w);
        e.xclient.data.l[1] = l1;
        e.xclient.data.l[4] = l2;
        XSendEvent(d, source, False, NoEventMask, &e);
        XFlush(d);
    };
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == ClientMessage) {
                Atom t = e.xclient.message_type;
                source = static_cast<Window>(e.xclient.data.l[0]);
                if (t == atom("XdndEnter")) {
                    std::printf("enter version %ld\n", e.xclient.data.l[1] >> 24);
                } else if (t == atom("XdndPosition")) {
                    reply(atom("XdndStatus"), 1, static_cast<long>(atom("XdndActionCopy")));
                } else if (t == atom("XdndDrop") && !answerDrops) {
                    std::printf("drop ignored\n");
                } else if (t == atom("XdndDrop")) {
                    XConvertSelection(d, atom("XdndSelection"), uriList, prop, w,
                                      static_cast<Time>(e.xclient.data.l[2]));
                } else if (t == atom("XdndLeave")) {
                    std::printf("leave\n");
                }
                std::fflush(stdout);
            } else if (e.type == SelectionNotify && e.xselection.property != None) {
                Atom type;
                int format;
                unsigned long n, after;
                unsigned char* data = nullptr;
                XGetWindowProperty(d, w, prop, 0, 65536, True, AnyPropertyType, &type, &format, &n,
                                   &after, &data);
                std::string text(reinterpret_cast<char*>(data), n);
                if (data) XFree(data);
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                std::printf("dropped %s\n", text.c_str());
                std::fflush(stdout);
                reply(atom("XdndFinished"), 1, static_cast<long>(atom("XdndActionCopy")));
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XCloseDisplay(d);
    return 0;
}
