#include "cmulti_on_off_button.h"

#include "cbitmap.h"
#include "cdraw_context.h"

#include <cmath>

CMultiOnOffButton::CMultiOnOffButton(const CRect& size, IControlListener* listener, int32_t tag,
                                     CBitmap* bitmap)
    : CControl(size, listener, tag, bitmap), cellWidth(static_cast<int>(size.getWidth() / kCells)) {
}

void CMultiOnOffButton::draw(CDrawContext* context) {
    if (background) {
        const CCoord half = background->getHeight() / 2;
        for (int i = 0; i < kCells; ++i) {
            CRect cell(size.left + i * cellWidth, size.top, size.left + (i + 1) * cellWidth,
                       size.bottom);
            context->drawBitmap(background, cell, CPoint(i * cellWidth, flags[i] ? half : 0));
        }
    }
    setDirty(false);
}

CMouseEventResult CMultiOnOffButton::onMouseDown(CPoint& where, const int32_t& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    mouseState = buttons;
    if (cellWidth > 0) {
        auto cell = static_cast<int>(std::floor((where.x - size.left) / cellWidth));
        if (cell >= 0 && cell < kCells) {
            flags[cell] = !flags[cell];
            setDirty();
        }
    }
    float sum = 0;
    for (int i = 0; i < kCells; ++i) sum += static_cast<float>((i + 1) * flags[i]);
    beginEdit();
    setValue(sum);
    valueChanged();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
