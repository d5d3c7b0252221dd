#include "con_off_button.h"

#include "cbitmap.h"
#include "cdraw_context.h"

COnOffButton::COnOffButton(const CRect& size, IControlListener* listener, int32_t tag,
                           CBitmap* bitmap)
    : CControl(size, listener, tag, bitmap) {}

void COnOffButton::draw(CDrawContext* context) {
    if (background) {
        CCoord off = value > 0.5f ? background->getHeight() / 2 : 0;
        context->drawBitmap(background, size, CPoint(0, off));
    }
    setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const int32_t& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    setValue(value > 0.5f ? vmin : vmax);
    valueChanged();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
