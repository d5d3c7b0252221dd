#include "my_drag_button.h"

#include "cdraw_context.h"
#include "cframe.h"

#include <algorithm>

MyDragButton::MyDragButton(const CRect& size, IControlListener* listener, int32_t tag,
                           CBitmap* bitmap, const CPoint& offset)
    : CKickButton(size, listener, tag, bitmap, offset) {}

void MyDragButton::draw(CDrawContext* context) {
    if (background) return CKickButton::draw(context);
    const CCoord s = std::max<CCoord>(1, size.getHeight() / 95);
    CRect box = size;
    box.inset(4 * s, 4 * s);
    context->setLineWidth(s);
    context->setFrameColor(isEditing() ? CColor{40, 200, 240, 255} : CColor{90, 98, 112, 255});
    if (!drawsOwnFace) {
        if (isEditing()) context->drawRect(box, kDrawStroked);
        setDirty(false);
        return;
    }
    context->drawRect(box, kDrawStroked);
    context->setFont(CFontDesc{"Liberation Sans", 9 * s, kBoldFace});
    context->setFontColor(CColor{150, 158, 170, 255});
    CRect line(box.left, box.getCenter().y - 12 * s, box.right, box.getCenter().y);
    context->drawString("drag", line);
    line.offset(0, 11 * s);
    context->drawString("MIDI", line);
    setDirty(false);
}

CMouseEventResult MyDragButton::onMouseDown(CPoint& where, const int32_t& buttons) {
    mouseState = buttons;
    dragRequested = false;
    if (frame && (buttons & kLButton)) frame->setCursor(kCursorCopy);
    setDirty();
    return CKickButton::onMouseDown(where, buttons);
}

CMouseEventResult MyDragButton::onMouseMoved(CPoint& where, const int32_t& buttons) {
    if (!isEditing() || !(buttons & kLButton)) return CKickButton::onMouseMoved(where, buttons);
    const CPoint p = localToFrame(where);
    const CRect window = frame ? frame->getViewSize() : CRect();
    if (p.x >= 0 && p.x <= window.getWidth() && p.y >= 0 && p.y <= window.getHeight()) {
        setValue(0);
    } else if (!dragRequested) {
        dragRequested = true;
        if (listener) listener->dragOutRequested(this, p);
    }
    return kMouseEventHandled;
}

CMouseEventResult MyDragButton::onMouseUp(CPoint& where, const int32_t& buttons) {
    mouseState = buttons;
    if (frame) frame->setCursor(kCursorDefault);
    setDirty();
    return CKickButton::onMouseUp(where, buttons);
}
