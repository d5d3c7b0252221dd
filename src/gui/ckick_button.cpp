#include "ckick_button.h"

#include "cbitmap.h"
#include "cdraw_context.h"

CKickButton::CKickButton(const CRect& size, IControlListener* listener, int32_t tag,
                         CBitmap* bitmap, const CPoint& offset)
    : CControl(size, listener, tag, bitmap), offset(offset),
      heightOfOneImage(bitmap ? bitmap->getHeight() / 2 : size.getHeight()) {}

void CKickButton::draw(CDrawContext* context) {
    CPoint where(offset.x, offset.y + (value >= 0.5f ? heightOfOneImage : 0));
    if (background) context->drawBitmap(background, size, where);
    setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const int32_t& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const int32_t& buttons) {
    if (!isEditing()) return kMouseEventNotHandled;
    float v = (buttons & kLButton) && size.pointInside(where) ? vmax : vmin;
    if (v != value) {
        setValue(v);
        valueChanged();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const int32_t&) {
    if (!isEditing()) return kMouseEventNotHandled;
    if (value != vmin) {
        setValue(vmin);
        valueChanged();
    }
    endEdit();
    return kMouseEventHandled;
}
