#include "ccontrol.h"

#include <algorithm>

CControl::CControl(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap)
    : CView(size), listener(listener), tag(tag) {
    if (bitmap) setBackground(bitmap);
}

void CControl::setValue(float v) {
    if (v == value) return;
    value = v;
    setDirty();
}

void CControl::setValueNormalized(float v) {
    setValue(vmin + std::clamp(v, 0.f, 1.f) * (vmax - vmin));
}

float CControl::getValueNormalized() const {
    return vmax > vmin ? (value - vmin) / (vmax - vmin) : 0.f;
}

void CControl::bounceValue() {
    value = std::clamp(value, vmin, vmax);
}

void CControl::valueChanged() {
    if (listener) listener->valueChanged(this);
}

void CControl::beginEdit() {
    if (editing++ == 0 && listener) listener->controlBeginEdit(this);
}

void CControl::endEdit() {
    if (editing == 0) return;
    if (--editing == 0 && listener) listener->controlEndEdit(this);
}

bool CControl::checkDefaultValue(int32_t buttons) {
    if ((buttons & (kButtonMask | kModifierMask)) != (kLButton | kControl)) return false;
    beginEdit();
    setValue(defaultValue);
    valueChanged();
    endEdit();
    return true;
}
