#include "xdnd_drag_source.h"

#include "file_uri_list.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <cstdio>

namespace {
constexpr long kXdndVersion = 5;
// How long a target may keep us waiting for its status or its finish.
constexpr std::chrono::milliseconds kPeerTimeout{3000};
} // namespace

XdndDragSource::XdndDragSource(Display* d, Window s) : display(d), source(s) {
    auto atom = [&](const char* name) { return XInternAtom(display, name, False); };
    aAware = atom("XdndAware");
    aEnter = atom("XdndEnter");
    aPosition = atom("XdndPosition");
    aStatus = atom("XdndStatus");
    aLeave = atom("XdndLeave");
    aDrop = atom("XdndDrop");
    aFinished = atom("XdndFinished");
    aSelection = atom("XdndSelection");
    aActionCopy = atom("XdndActionCopy");
    aUriList = atom("text/uri-list");
    aUtf8 = atom("UTF8_STRING");
    aTypeList = atom("XdndTypeList");
}

bool XdndDragSource::start(const std::vector<std::string>& paths, Time time) {
    if (state != State::Idle || paths.empty()) return false;
    uriList = toFileUriList(paths);
    plainText.clear();
    for (const std::string& p : paths) plainText += (plainText.empty() ? "" : "\n") + p;
    unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    if (XGrabPointer(display, source, False, mask, GrabModeAsync, GrabModeAsync, None, None,
                     time) != GrabSuccess)
        return false;
    XGrabKeyboard(display, source, False, GrabModeAsync, GrabModeAsync, time);
    XSetSelectionOwner(display, aSelection, source, time);
    Atom types[2] = {aUriList, aUtf8};
    XChangeProperty(display, source, aTypeList, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(types), 2);
    state = State::Dragging;
    target = None;
    targetAccepts = false;
    dropped = false;
    deadline = std::chrono::steady_clock::now() + kPeerTimeout * 10;
    return true;
}

Window XdndDragSource::findAwareWindow(int rootX, int rootY, int& version) {
    Window root = DefaultRootWindow(display);
    Window w = root, child = None;
    int x, y;
    // Descend from the root to the deepest window under the pointer,
    // stopping at the first that declares XdndAware.
    while (true) {
        if (w != root && w != source) {
            Atom type;
            int format;
            unsigned long n, after;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, w, aAware, 0, 1, False, XA_ATOM, &type, &format, &n,
                                   &after, &data) == Success &&
                data && n == 1) {
                version = static_cast<int>(*reinterpret_cast<Atom*>(data));
                XFree(data);
                return w;
            }
            if (data) XFree(data);
        }
        if (!XTranslateCoordinates(display, root, w, rootX, rootY, &x, &y, &child) || !child)
            return None;
        w = child;
    }
}

void XdndDragSource::sendClientMessage(Window to, Atom type, long d1, long d2, long d3, long d4) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.display = display;
    e.xclient.window = to;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(source);
    e.xclient.data.l[1] = d1;
    e.xclient.data.l[2] = d2;
    e.xclient.data.l[3] = d3;
    e.xclient.data.l[4] = d4;
    XSendEvent(display, to, False, NoEventMask, &e);
}

void XdndDragSource::leaveTarget() {
    if (target != None) sendClientMessage(target, aLeave, 0, 0, 0, 0);
    target = None;
    targetAccepts = false;
}

void XdndDragSource::moveTo(int rootX, int rootY, Time time) {
    lastX = rootX;
    lastY = rootY;
    int version = 0;
    Window w = findAwareWindow(rootX, rootY, version);
    if (w != target) {
        leaveTarget();
        if (w != None && version >= 3) {
            target = w;
            long v = std::min<long>(version, kXdndVersion);
            sendClientMessage(target, aEnter, v << 24, static_cast<long>(aUriList),
                              static_cast<long>(aUtf8), 0);
        }
    }
    if (target != None) {
        sendClientMessage(target, aPosition, 0, (static_cast<long>(rootX) << 16) | rootY,
                          static_cast<long>(time), static_cast<long>(aActionCopy));
        deadline = std::chrono::steady_clock::now() + kPeerTimeout;
    }
    XFlush(display);
}

void XdndDragSource::answerSelection(const XSelectionRequestEvent& req) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = req.requestor;
    reply.xselection.selection = req.selection;
    reply.xselection.target = req.target;
    reply.xselection.time = req.time;
    reply.xselection.property = None;
    const std::string* payload = req.target == aUriList                             ? &uriList
                                 : (req.target == aUtf8 || req.target == XA_STRING) ? &plainText
                                                                                    : nullptr;
    if (payload) {
        Atom prop = req.property != None ? req.property : req.target;
        XChangeProperty(display, req.requestor, prop, req.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(payload->data()),
                        static_cast<int>(payload->size()));
        reply.xselection.property = prop;
    }
    XSendEvent(display, req.requestor, False, NoEventMask, &reply);
    XFlush(display);
}

void XdndDragSource::finish() {
    XUngrabPointer(display, CurrentTime);
    XUngrabKeyboard(display, CurrentTime);
    XFlush(display);
    state = State::Idle;
    target = None;
}

bool XdndDragSource::handleEvent(const XEvent& e) {
    if (e.type == SelectionRequest && e.xselectionrequest.selection == aSelection) {
        answerSelection(e.xselectionrequest);
        return true;
    }
    if (state == State::Idle) return false;
    switch (e.type) {
    case MotionNotify:
        if (state == State::Dragging) moveTo(e.xmotion.x_root, e.xmotion.y_root, e.xmotion.time);
        return true;
    case ButtonRelease:
        if (state != State::Dragging) return true;
        moveTo(e.xbutton.x_root, e.xbutton.y_root, e.xbutton.time);
        if (target != None && targetAccepts) {
            sendClientMessage(target, aDrop, 0, static_cast<long>(e.xbutton.time), 0, 0);
            dropped = true;
            state = State::WaitingFinish;
            deadline = std::chrono::steady_clock::now() + kPeerTimeout;
            XUngrabPointer(display, CurrentTime);
            XUngrabKeyboard(display, CurrentTime);
            XFlush(display);
        } else {
            leaveTarget();
            finish();
        }
        return true;
    case ButtonPress:
        return true;
    case KeyPress:
        if (XLookupKeysym(const_cast<XKeyEvent*>(&e.xkey), 0) == XK_Escape) {
            leaveTarget();
            finish();
        }
        return true;
    case ClientMessage:
        if (e.xclient.message_type == aStatus &&
            static_cast<Window>(e.xclient.data.l[0]) == target) {
            targetAccepts = e.xclient.data.l[1] & 1;
            // A late status after the drop must not postpone the finish timeout.
            if (state == State::Dragging)
                deadline = std::chrono::steady_clock::now() + kPeerTimeout * 10;
            return true;
        }
        if (e.xclient.message_type == aFinished) {
            finish();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void XdndDragSource::checkTimeout() {
    if (state == State::Idle || std::chrono::steady_clock::now() < deadline) return;
    if (state == State::Dragging) leaveTarget();
    finish();
}
