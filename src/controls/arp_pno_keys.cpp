#include "arp_pno_keys.h"

#include "cbitmap.h"
#include "cdraw_context.h"
#include "scale_rule.h"

#include <algorithm>

ArpPnoKeys::ArpPnoKeys(const CRect& size, IControlListener* listener, int32_t tag, float scale)
    : CControl(size, listener, tag), keyBitmap(new CBitmap(bitmapIdAtScale(1151, scale))),
      scale(scale), upperHeight(29.0 * scale), keyHeight(43.0 * scale) {}

ArpPnoKeys::~ArpPnoKeys() {
    keyBitmap->forget();
}

void ArpPnoKeys::setMark(int note, int state) {
    if (note < 0 || note > 127) return;
    marks[note] = static_cast<uint8_t>(state);
    setDirty();
}

void ArpPnoKeys::clearMarks() {
    std::fill(std::begin(marks), std::end(marks), 0);
    setDirty();
}

void ArpPnoKeys::setNote(int index, float value) {
    if (index < 0 || index >= kKeys) return;
    int note = roundHalfUp(value * 128);
    if (note > 127) note = -1;
    if (note == shownNotes[index]) return;
    shownNotes[index] = note;
    setDirty();
}

void ArpPnoKeys::setRule(int pitchClass, int rule) {
    if (pitchClass < 0 || pitchClass >= kKeys) return;
    auto r = static_cast<int8_t>(std::clamp(rule, 0, kRules - 1));
    if (r == rules[pitchClass]) return;
    rules[pitchClass] = r;
    setDirty();
}

int ArpPnoKeys::getRule(int pitchClass) const {
    return pitchClass >= 0 && pitchClass < kKeys ? rules[pitchClass] : 0;
}

void ArpPnoKeys::setSounding(int pitchClass, bool state) {
    if (pitchClass < 0 || pitchClass >= kKeys || sounding[pitchClass] == state) return;
    sounding[pitchClass] = state;
    setDirty();
}

bool ArpPnoKeys::isSounding(int pitchClass) const {
    return pitchClass >= 0 && pitchClass < kKeys && sounding[pitchClass];
}

int ArpPnoKeys::getShownNote(int index) const {
    return index >= 0 && index < kKeys ? shownNotes[index] : -1;
}

KeyZones ArpPnoKeys::zonesOf(int pitchClass) const {
    return keyZones(pitchClass, size.getTopLeft(), scale, upperHeight, keyHeight);
}

int ArpPnoKeys::keyAt(const CPoint& p) const {
    for (int k = 0; k < kKeys; ++k)
        if (zonesOf(k).contains(p)) return k;
    return -1;
}

void ArpPnoKeys::draw(CDrawContext* context) {
    const CCoord s = scale;
    // The keys without a rule, then each key with one from its rule's row.
    context->drawBitmap(
        keyBitmap, CRect(size.left, size.top, size.left + kOctaveUnits * s, size.top + keyHeight));
    for (int k = 0; k < kKeys; ++k) {
        if (rules[k] <= 0) continue;
        KeyZones z = zonesOf(k);
        const CCoord row = rules[k] * keyHeight;
        context->drawBitmap(keyBitmap, z.upper, CPoint(z.upper.left - size.left, row));
        if (!z.lower.isEmpty())
            context->drawBitmap(keyBitmap, z.lower,
                                CPoint(z.lower.left - size.left, row + upperHeight));
    }
    context->setFrameColor(kGreenCColor);
    context->setLineWidth(std::max<CCoord>(1, s));
    for (int k = 0; k < kKeys; ++k) {
        if (!sounding[k]) continue;
        KeyZones z = zonesOf(k);
        CRect key = z.lower.isEmpty() ? z.upper : z.lower;
        key.inset(s, s);
        context->drawRect(key, kDrawStroked);
    }
    setDirty(false);
}

CMouseEventResult ArpPnoKeys::onMouseDown(CPoint& where, const int32_t& eventButtons) {
    if (!(eventButtons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    hoveredKey = -1;
    buttons = eventButtons & (kButtonMask | kModifierMask);
    int key = keyAt(where);
    if (key < 0) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    hoveredKey = key;
    rules[key] = static_cast<int8_t>((rules[key] + 1) % kRules);
    beginEdit();
    valueChanged();
    endEdit();
    invalid();
    // No release follows: the key is let go here.
    hoveredKey = -1;
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
