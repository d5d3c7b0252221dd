// The source side of X drag and drop (XDND version 5): offers files as
// text/uri-list and UTF8_STRING, follows the pointer over other programs'
// windows, drops on release, gives up after a timeout or on Escape. It is
// a state machine fed with the window's X events during idle.
#pragma once

#include <X11/Xlib.h>
#include <chrono>
#include <string>
#include <vector>

class XdndDragSource {
public:
    XdndDragSource(Display* display, Window source);

    // Grabs the pointer and keyboard and takes the XdndSelection.
    bool start(const std::vector<std::string>& paths, Time time);
    // Returns true when the event belonged to the drag.
    bool handleEvent(const XEvent& event);
    // Ends a drag whose peer stopped answering.
    void checkTimeout();
    bool isActive() const { return state != State::Idle; }
    bool wasDropped() const { return dropped; }

private:
    enum class State { Idle, Dragging, WaitingFinish };
    void moveTo(int rootX, int rootY, Time time);
    Window findAwareWindow(int rootX, int rootY, int& version);
    void sendClientMessage(Window to, Atom type, long d1, long d2, long d3, long d4);
    void leaveTarget();
    void finish();
    void answerSelection(const XSelectionRequestEvent& request);

    Display* display;
    Window source;
    State state = State::Idle;
    std::string uriList;
    std::string plainText;
    Window target = None;
    bool targetAccepts = false;
    bool dropped = false;
    int lastX = 0, lastY = 0;
    std::chrono::steady_clock::time_point deadline;
    Atom aAware, aEnter, aPosition, aStatus, aLeave, aDrop, aFinished, aSelection, aActionCopy,
        aUriList, aUtf8, aTypeList;
};
