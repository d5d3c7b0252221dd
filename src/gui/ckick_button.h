// A push button: value 1 while pressed with the pointer over it, back to 0
// at release. The bitmap stacks the released and pressed states.
#pragma once

#include "ccontrol.h"

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap,
                const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;

protected:
    CPoint offset;
    CCoord heightOfOneImage;
};
