// A row of seven toggles drawn from one two-state bitmap: each cell shows
// its slice of the upper half when off and of the lower half when on. The
// editor reads and writes the flags directly (the scale degrees of the
// current pattern); the value only signals that a flag changed.
#pragma once

#include "ccontrol.h"

#include <cstdint>

class CMultiOnOffButton : public CControl {
public:
    static constexpr int kCells = 7;

    CMultiOnOffButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap);

    // Seven flags plus a spare eighth that no click changes.
    uint8_t flags[kCells + 1] = {};

    int32_t getMouseState() const { return mouseState; }
    CCoord getCellWidth() const { return cellWidth; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;

private:
    CCoord cellWidth;
    int32_t mouseState = 0;
};
