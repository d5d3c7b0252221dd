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
};
