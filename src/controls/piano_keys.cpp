#include "piano_keys.h"

#include "cbitmap.h"
#include "cdraw_context.h"
#include "scale_rule.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int32_t kButtonWord = kButtonMask | kModifierMask;
const CColor kHoverFrame{0, 255, 0, 255};
const CColor kPatternBand{128, 128, 128, 128};
const CColor kStoredChordMark{250, 150, 40, 255};
const CColor kCurrentKeyMark{235, 60, 70, 255};

} // namespace

PianoKeys::PianoKeys(const CRect& size, IControlListener* listener, int32_t tag, float scale)
    : CControl(size, listener, tag), keyBitmap(new CBitmap(bitmapIdAtScale(1150, scale))),
      scale(scale), upperHeight(43.0 * scale), keyHeight(59.0 * scale) {}

PianoKeys::~PianoKeys() {
    keyBitmap->forget();
}

void PianoKeys::setMark(int note, int state) {
    int position = note + keyboardOffset;
    if (position < 0 || position >= kPositions) return;
    marks[position] = static_cast<uint8_t>(state);
    setDirty();
}

void PianoKeys::clearMarks() {
    std::fill(std::begin(marks), std::end(marks), 0);
    setDirty();
}

void PianoKeys::setVoiceNote(int voice, float value) {
    if (voice < 0 || voice >= kVoices) return;
    int note = roundHalfUp(value * 128);
    if (note > 127) note = -1;
    if (note == voiceNotes[voice]) return;
    voiceNotes[voice] = note;
    setDirty();
}

void PianoKeys::setCurrentKey(float value) {
    int position = roundHalfUp(value * 128) + keyboardOffset;
    if (position >= kPositions) position = -1;
    if (position == currentKeyPosition) return;
    currentKeyPosition = position;
    invalid();
}

void PianoKeys::setOctaveWidth(double width, double metric) {
    octaveWidth = width;
    secondMetric = metric;
    setDirty();
}

void PianoKeys::setKeyboardOffset(int offset) {
    keyboardOffset = offset;
    setDirty();
}

void PianoKeys::setPatternKeys(bool state) {
    patternKeys = state;
    setDirty();
}

int PianoKeys::getVoiceNote(int voice) const {
    return voice >= 0 && voice < kVoices ? voiceNotes[voice] : -1;
}

bool PianoKeys::getMark(int position) const {
    return position >= 0 && position < kPositions && marks[position];
}

CPoint PianoKeys::octaveOrigin(int position) const {
    auto octave = static_cast<int>(std::floor(position / 12.0));
    return {size.left + octave * octaveWidth, size.top};
}

bool PianoKeys::zonesOf(int note, KeyZones& zones) const {
    int position = note + keyboardOffset;
    if (position > 127) return false;
    int pitchClass = ((position % 12) + 12) % 12;
    zones = keyZones(pitchClass, octaveOrigin(position), scale, upperHeight, keyHeight);
    return true;
}

int PianoKeys::noteAt(const CPoint& p) const {
    // Only drawn keys count: notes off the left end lie outside the view.
    if (!size.pointInside(p)) return -1;
    KeyZones z;
    for (int note = 0; note < 128; ++note)
        if (zonesOf(note, z) && z.contains(p)) return note;
    return -1;
}

void PianoKeys::draw(CDrawContext* context) {
    const CCoord s = scale;
    const CCoord octaveBitmapWidth = kOctaveUnits * s;
    const int firstOctave = keyboardOffset > 0 ? keyboardOffset / 12 : 0;
    for (int octave = firstOctave; octave < kDrawnOctaves; ++octave) {
        CRect r(size.left + octave * octaveWidth, size.top,
                size.left + octave * octaveWidth + octaveBitmapWidth, size.top + keyHeight);
        context->drawBitmap(keyBitmap, r);
    }

    KeyZones z;
    for (int voice = 0; voice < kVoices; ++voice) {
        int note = voiceNotes[voice];
        if (note <= 0 || !zonesOf(note, z)) continue;
        // The highlighted keys are the bitmap's lower half, same layout.
        CPoint origin = octaveOrigin(note + keyboardOffset);
        context->drawBitmap(keyBitmap, z.upper,
                            CPoint(z.upper.left - origin.x, keyHeight + z.upper.top - origin.y));
        context->drawBitmap(keyBitmap, z.lower,
                            CPoint(z.lower.left - origin.x, keyHeight + z.lower.top - origin.y));
    }

    if (hoveredKey != -1 && zonesOf(hoveredKey, z)) {
        context->setFrameColor(kHoverFrame);
        context->setLineWidth(std::max<CCoord>(1, std::round(1.5 * s)));
        context->drawRect(z.upper, kDrawStroked);
        if (!z.lower.isEmpty()) context->drawRect(z.lower, kDrawStroked);
    }

    if (patternKeys && keyboardOffset == 0) {
        context->setFillColor(kPatternBand);
        context->drawRect(CRect(size.left, size.top, size.left + 70 * s, size.top + keyHeight),
                          kDrawFilled);
    }

    context->setFillColor(kStoredChordMark);
    for (int position = 0; position < kDrawnPositions; ++position) {
        if (!marks[position] || !zonesOf(position - keyboardOffset, z)) continue;
        const CRect& key = z.lower.isEmpty() ? z.upper : z.lower;
        CCoord x = std::round(key.getCenter().x - 1.5 * s);
        CCoord y = key.bottom - 7 * s;
        context->drawRect(CRect(x, y, x + 3 * s, y + 3 * s), kDrawFilled);
    }

    if (currentKeyPosition >= 0 && zonesOf(currentKeyPosition - keyboardOffset, z)) {
        // The current trigger key: a bar along the key's top edge, as wide
        // as the key looks.
        const CRect& key = z.lower.isEmpty() ? z.upper : z.lower;
        context->setFillColor(kCurrentKeyMark);
        context->drawRect(CRect(key.left + s, z.upper.top + s, key.right - s, z.upper.top + 5 * s),
                          kDrawFilled);
    }
    setDirty(false);
}

CMouseEventResult PianoKeys::onMouseDown(CPoint& where, const int32_t& eventButtons) {
    hoveredKey = -1;
    buttons = eventButtons & kButtonWord;
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    selectFlag = false;
    clearFlag = (buttons & kShift) != 0;
    grabbedVoice = -1;
    reportDue = false;

    if (clearFlag) {
        if ((buttons & kModifierMask) != (kShift | kAlt)) {
            valueChanged();
            return kMouseEventHandled;
        }
        buttons = kLButton | kAlt;
    } else if (where.y - size.top >= kTopStrip) {
        KeyZones z;
        for (int voice = 0; voice < kVoices; ++voice) {
            int note = voiceNotes[voice];
            if (note <= 0 || !zonesOf(note, z) || !z.contains(where)) continue;
            grabbedVoice = voice;
            hoveredKey = note;
            lastGrabbedNote = note;
            reportDue = true;
            invalid();
        }
        if (grabbedVoice >= 0 && buttons == (kLButton | kControl)) {
            hoveredKey = keyboardOffset;
            valueChanged();
            // No release follows this press: leave nothing hovered.
            hoveredKey = -1;
            grabbedVoice = -1;
            invalid();
            endEdit();
            return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
        }
    } else {
        selectFlag = true;
    }
    return handleMove(where, eventButtons);
}

CMouseEventResult PianoKeys::onMouseMoved(CPoint& where, const int32_t& eventButtons) {
    if (!isEditing()) return kMouseEventNotHandled;
    int32_t b = eventButtons & kButtonWord;
    // A Shift+Alt press goes on as a Left+Alt drag.
    if (clearFlag && b == (kLButton | kShift | kAlt)) b = kLButton | kAlt;
    buttons = b;
    return handleMove(where, eventButtons);
}

CMouseEventResult PianoKeys::handleMove(const CPoint& where, int32_t eventButtons) {
    if (!(buttons & kButtonMask)) return kMouseEventNotHandled;

    if (selectFlag || buttons == (kLButton | kAlt)) {
        CPoint p = where;
        // The top strip picks by the white keys' lower zones.
        if (selectFlag) p.y = size.top + upperHeight;
        reportDue = false;
        int note = noteAt(p);
        if (note < 0) {
            hoveredKey = -1;
            return kMouseEventHandled;
        }
        hoveredKey = note;
        valueChanged();
        hoveredKey = -1;
        return kMouseEventHandled;
    }
    if (clearFlag) return kMouseEventHandled;

    if (eventButtons & kDoubleClick) {
        reportDue = false;
        grabbedVoice = -1;
        for (int voice = 0; voice < kVoices; ++voice)
            if (voiceNotes[voice] < 1) {
                grabbedVoice = voice;
                break;
            }
        int note = noteAt(where);
        for (int voiceNote : voiceNotes)
            if (voiceNote == note) note = -1;
        hoveredKey = note;
        if (hoveredKey != -1) {
            invalid();
            valueChanged();
        }
        return kMouseEventHandled;
    }

    if ((buttons & kLButton) && hoveredKey != -1) {
        // Between the white keys' lower zones and off the keyboard there is
        // no key: the grabbed note stays where it was.
        int note = noteAt(where);
        if (note >= 0 && note != hoveredKey) {
            hoveredKey = note;
            reportDue = true;
            invalid();
        }
    }
    if (reportDue) {
        reportDue = false;
        valueChanged();
    }
    return kMouseEventHandled;
}

CMouseEventResult PianoKeys::onMouseUp(CPoint&, const int32_t&) {
    if (!isEditing()) return kMouseEventNotHandled;
    buttons = 0;
    if (clearFlag) {
        clearFlag = false;
        valueChanged();
    }
    if (hoveredKey != -1) {
        hoveredKey = -1;
        grabbedVoice = -1;
        invalid();
    }
    endEdit();
    selectFlag = false;
    return kMouseEventHandled;
}
