#include "canim_knob.h"

#include "cbitmap.h"
#include "cdraw_context.h"

#include <algorithm>
#include <cmath>

CAnimKnob::CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
                     CCoord heightOfOneImage, CBitmap* bitmap, const CPoint& offset)
    : CControl(size, listener, tag, bitmap), subPixmaps(std::max(1, subPixmaps)),
      heightOfOneImage(heightOfOneImage), offset(offset) {}

int32_t CAnimKnob::getFrameIndex() const {
    return static_cast<int32_t>(std::lround(getValueNormalized() * (subPixmaps - 1)));
}

void CAnimKnob::draw(CDrawContext* context) {
    if (background)
        context->drawBitmap(background, size,
                            CPoint(offset.x, offset.y + getFrameIndex() * heightOfOneImage));
    setDirty(false);
}

CMouseEventResult CAnimKnob::onMouseDown(CPoint& where, const int32_t& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    dragging = true;
    anchor = lastPoint = where;
    anchorValue = getValueNormalized();
    dragButtons = buttons & (kButtonMask | kModifierMask);
    return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseMoved(CPoint& where, const int32_t& buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    int32_t now = buttons & (kButtonMask | kModifierMask);
    if (now != dragButtons) {
        // Changing Shift mid-drag re-anchors at the last point, so that the
        // value never jumps and the new speed applies from there.
        anchor = lastPoint;
        anchorValue = getValueNormalized();
        dragButtons = now;
    }
    lastPoint = where;
    CCoord range = kDragRange * ((now & kShift) ? kFineFactor : 1);
    float v = std::clamp(anchorValue + static_cast<float>((anchor.y - where.y) / range), 0.f, 1.f);
    float old = value;
    setValueNormalized(v);
    if (value != old) valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseUp(CPoint&, const int32_t&) {
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

bool CAnimKnob::onWheel(const CPoint&, float distance, const int32_t& buttons) {
    float step = (buttons & kShift) ? 0.01f : 0.05f;
    float old = value;
    beginEdit();
    setValueNormalized(std::clamp(getValueNormalized() + distance * step, 0.f, 1.f));
    if (value != old) valueChanged();
    endEdit();
    return true;
}
