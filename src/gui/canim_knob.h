// A knob drawn from a film strip of frames stacked vertically: the frame
// shown follows the value. Dragging up raises the value; Shift makes the
// drag finer; Control-click restores the default value.
#pragma once

#include "ccontrol.h"

class CAnimKnob : public CControl {
public:
    CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* bitmap, const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    bool onWheel(const CPoint& where, float distance, const int32_t& buttons) override;

    int32_t getFrameIndex() const;

    // Pixels of vertical travel for the whole range.
    static constexpr CCoord kDragRange = 200;
    static constexpr CCoord kFineFactor = 10;

private:
    int32_t subPixmaps;
    CCoord heightOfOneImage;
    CPoint offset;
    CPoint anchor;
    CPoint lastPoint;
    float anchorValue = 0.f;
    int32_t dragButtons = 0;
    bool dragging = false;
};
