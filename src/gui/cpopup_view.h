// A view shown over everything for a short while (an open menu). The
// frame shows it in windows of its own on the screen when the window
// system has them, so that it may reach past a small window; otherwise
// inside the frame as its modal view. Its coordinates are those of the
// space the frame gave it (screen or frame): mouse events arrive in them.
#pragma once

#include "cview.h"

#include <vector>

class CPopupView : public CView {
public:
    using CView::CView;
    // The rectangles the pop-up covers; each becomes one window.
    virtual std::vector<CRect> popupAreas() const { return {size}; }
    // The pop-up closes without a choice (the window system took it away).
    virtual void cancelPopup() {}
};
