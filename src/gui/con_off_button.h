// A switch that toggles between 0 and 1 at each press. The bitmap stacks
// the off and on states.
#pragma once

#include "ccontrol.h"

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
};
