// A row of positions chosen by clicking or dragging across it; the bitmap
// stacks one image per position. Value = position / (positions - 1).
#pragma once

#include "ccontrol.h"

class CHorizontalSwitch : public CControl {
public:
    CHorizontalSwitch(const CRect& size, IControlListener* listener, int32_t tag,
                      int32_t subPixmaps, CCoord heightOfOneImage, int32_t iMaxPositions,
                      CBitmap* bitmap, const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;

    int32_t getPosition() const;

private:
    void setFromPoint(const CPoint& where);

    int32_t subPixmaps;
    CCoord heightOfOneImage;
    int32_t positions;
    CPoint offset;
    bool tracking = false;
};
