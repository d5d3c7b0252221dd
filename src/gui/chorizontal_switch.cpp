#include "chorizontal_switch.h"

#include "cbitmap.h"
#include "cdraw_context.h"

#include <algorithm>
#include <cmath>

CHorizontalSwitch::CHorizontalSwitch(const CRect& size, IControlListener* listener, int32_t tag,
                                     int32_t subPixmaps, CCoord heightOfOneImage,
                                     int32_t iMaxPositions, CBitmap* bitmap, const CPoint& offset)
    : CControl(size, listener, tag, bitmap), subPixmaps(std::max(1, subPixmaps)),
      heightOfOneImage(heightOfOneImage), positions(std::max(2, iMaxPositions)), offset(offset) {}

int32_t CHorizontalSwitch::getPosition() const {
    return static_cast<int32_t>(std::lround(getValueNormalized() * (positions - 1)));
}

void CHorizontalSwitch::draw(CDrawContext* context) {
    if (background) {
        int32_t image = std::min(getPosition(), subPixmaps - 1);
        context->drawBitmap(background, size,
                            CPoint(offset.x, offset.y + image * heightOfOneImage));
    }
    setDirty(false);
}

void CHorizontalSwitch::setFromPoint(const CPoint& where) {
    double cell = size.getWidth() / positions;
    int32_t pos = std::clamp(static_cast<int32_t>(std::floor((where.x - size.left) / cell)), 0,
                             positions - 1);
    float old = value;
    setValueNormalized(static_cast<float>(pos) / (positions - 1));
    if (value != old) valueChanged();
}

CMouseEventResult CHorizontalSwitch::onMouseDown(CPoint& where, const int32_t& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    tracking = true;
    setFromPoint(where);
    return kMouseEventHandled;
}

CMouseEventResult CHorizontalSwitch::onMouseMoved(CPoint& where, const int32_t& buttons) {
    if (!tracking || !(buttons & kLButton)) return kMouseEventNotHandled;
    setFromPoint(where);
    return kMouseEventHandled;
}

CMouseEventResult CHorizontalSwitch::onMouseUp(CPoint&, const int32_t&) {
    if (!tracking) return kMouseEventNotHandled;
    tracking = false;
    endEdit();
    return kMouseEventHandled;
}
