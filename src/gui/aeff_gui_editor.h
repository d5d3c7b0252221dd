// The toolkit's editor base: the window's rectangle, open/close/idle, and
// resizing through whoever holds the window. It knows no plug-in format:
// each format's adapter answers its host's editor calls by forwarding them
// here. Subclasses create the frame in open and call openFrame(parent).
#pragma once

#include "cframe.h"

#include <cstdint>

// The window's rectangle in pixels.
struct EditorRect {
    int32_t top = 0;
    int32_t left = 0;
    int32_t bottom = 0;
    int32_t right = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const EditorRect&) const = default;
};

// The holder of the editor's window (a plug-in format's adapter): asked to
// give the window another size. Answers whether it did.
class IWindowHost {
public:
    virtual ~IWindowHost() = default;
    virtual bool resizeWindow(int32_t width, int32_t height) = 0;
};

class AEffGUIEditor {
public:
    explicit AEffGUIEditor(IWindowHost* windowHost = nullptr);
    virtual ~AEffGUIEditor();
    AEffGUIEditor(const AEffGUIEditor&) = delete;
    AEffGUIEditor& operator=(const AEffGUIEditor&) = delete;

    // The size the window has, or will have when opened.
    virtual EditorRect getRect() { return rect; }
    // parentWindow: the host's X11 window id as a pointer; null opens the
    // frame headless (drawing into its back buffer only).
    virtual bool open(void* parentWindow);
    virtual void close();
    virtual void idle();
    bool isOpen() const { return systemWindow != nullptr; }

    CFrame* getFrame() const { return frame; }
    // The open window's connection to the window system (see
    // IPlatformFrame::connectionFd); -1 while closed or headless.
    int connectionFd() const;
    // Resizes the frame and asks the window's holder to follow.
    bool sizeWindow(int32_t width, int32_t height);

protected:
    // Opens the frame's window inside parentWindow; false when headless.
    bool openFrame(void* parentWindow);

    EditorRect rect;
    CFrame* frame = nullptr;
    IWindowHost* windowHost;
    void* systemWindow = nullptr;
};
