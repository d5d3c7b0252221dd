// What a frame needs from a window system. The frame works without one
// (headless, drawing into its back buffer only).
#pragma once

#include "geometry.h"

#include <cairo.h>
#include <string>
#include <vector>

enum CCursorType {
    kCursorDefault = 0,
    kCursorWait,
    kCursorHSize,
    kCursorVSize,
    kCursorSizeAll,
    kCursorNESWSize,
    kCursorNWSESize,
    kCursorCopy,
    kCursorNotAllowed,
    kCursorHand,
};

class CPopupView;

class IPlatformFrame {
public:
    virtual ~IPlatformFrame() = default;
    // Copies the given back-buffer areas to the screen.
    virtual void present(cairo_surface_t* backBuffer, const std::vector<CRect>& areas) = 0;
    virtual void processEvents() = 0;
    virtual void setSize(int width, int height) = 0;
    virtual void setCursor(CCursorType cursor) = 0;
    // Starts dragging files out of the window; false when it cannot start.
    virtual bool startFileDrag(const std::vector<std::string>& paths) = 0;
    virtual bool isDragging() const = 0;
    // The frame's own window (an X11 window id); 0 when unknown.
    virtual unsigned long nativeWindow() const { return 0; }
    // The top-level window that holds the frame's window (dialogs stay
    // above it); 0 when unknown.
    virtual unsigned long topLevelWindow() const { return 0; }
    // The file descriptor of the window system's connection, which a host's
    // main loop may watch to call processEvents as soon as events arrive;
    // -1 when there is none.
    virtual int connectionFd() const { return -1; }

    // Pop-up windows on the screen. Answers false when there are none;
    // otherwise the screen's rectangle and the frame's origin on it.
    virtual bool popupSpace(CRect& /*screen*/, CPoint& /*frameOrigin*/) { return false; }
    // Shows the view in one window per popupAreas() rectangle and sends it
    // the pointer and keys until hidePopup.
    virtual void showPopup(CPopupView* /*view*/) {}
    // The view's areas or pixels changed.
    virtual void updatePopup() {}
    virtual void hidePopup() {}
};
