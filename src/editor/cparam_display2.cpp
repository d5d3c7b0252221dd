#include "cparam_display2.h"

#include "cdraw_context.h"
#include "scale_rule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

CParamDisplay2::CParamDisplay2(const CRect& size, IControlListener* listener, int32_t tag,
                               CBitmap* background, int32_t styleFlags, float scale)
    : CParamDisplay(size, background, styleFlags), scale(scale), font(scale) {
    setListener(listener);
    setTag(tag);
}

void CParamDisplay2::setDisplayStyle(int32_t style) {
    displayStyle = style;
    setDirty();
}

std::string CParamDisplay2::noteName(int note) {
    static const char kLetters[] = "CCDDEFFGGAAB";
    static const bool kBlack[12] = {false, true,  false, true,  false, false,
                                    true,  false, true,  false, true,  false};
    int octave = note / 12;
    int pitchClass = note - 12 * octave;
    int shown = octave - 2;
    std::string text{kLetters[pitchClass], kBlack[pitchClass] ? '#' : ' '};
    if (shown >= 0) {
        text += static_cast<char>('0' + shown % 10);
        text += ' ';
    } else {
        text += '-';
        text += static_cast<char>('0' - shown);
    }
    return text;
}

std::string CParamDisplay2::getDisplayText() const {
    const float v = value;
    char text[32];
    switch (displayStyle) {
    case kNoteOrDash: {
        int n = roundHalfUp(v * 128);
        return n == 0 || n == 128 ? "  - " : noteName(std::clamp(n, 0, 127));
    }
    case kNoteName:
        return noteName(std::clamp(roundHalfUp(v * 128), 0, 127));
    case kVelocity:
        std::snprintf(text, sizeof text, "%2d", roundHalfUp(v * 200));
        return text;
    case kOctaveShift:
        switch (roundHalfUp(v * 100)) {
        case 0:
            return "C0";
        case 12:
            return "-1";
        case 24:
            return "-2";
        default:
            return "??";
        }
    case kLaneDivider: {
        static const int kDividers[10] = {1, 2, 3, 4, 6, 8, 12, 16, 32, 64};
        std::snprintf(text, sizeof text, "%2i", kDividers[std::clamp(roundHalfUp(v * 9), 0, 9)]);
        return text;
    }
    case kTranspose:
        std::snprintf(text, sizeof text, "%2i", static_cast<int>(std::floor(v * 48.99f)) - 24);
        return text;
    default:
        std::snprintf(text, sizeof text, "%3f", static_cast<double>(roundHalfUp(v * 128)));
        return text;
    }
}

void CParamDisplay2::drawStripText(CDrawContext* context, const std::string& text) const {
    const CCoord s = scale;
    CCoord pen = size.left + scaled(3, s);
    CCoord top = size.top + std::floor((size.getHeight() - font.getHeight()) / 2);
    for (size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<unsigned char>(text[i]);
        if (code < 32) { // a spacing code: moves the pen by that many pixels
            pen += code;
            continue;
        }
        int g = code > 126 ? 93 : code - 32;
        CCoord w = static_cast<int>(font.glyphWidth(g) - s);
        if (i + 1 == text.size()) w += s;
        font.drawGlyph(context, g, pen, top, w);
        pen += w;
        if (text[0] == 'N') pen -= s;
    }
}

void CParamDisplay2::draw(CDrawContext* context) {
    drawBack(context);
    if (hovered) {
        // A thin outline tells that the value can be dragged.
        context->setFrameColor(CColor{120, 200, 240, 150});
        context->setLineWidth(std::max<CCoord>(1, scale));
        context->drawRect(size, kDrawStroked);
    }
    if (!(style & kNoTextStyle)) drawStripText(context, getDisplayText());
    setDirty(false);
}

CCoord CParamDisplay2::dragDistance(const CPoint& where) const {
    return (dragAnchor.y - where.y) + (where.x - dragAnchor.x);
}

CMouseEventResult CParamDisplay2::onMouseDown(CPoint& where, const int32_t& buttons) {
    mouseState = buttons & ~kDoubleClick;
    if (buttons & kDoubleClick) {
        mouseState += kDoubleClick;
        valueChanged();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    dragging = true;
    dragAnchor = where;
    dragBase = value;
    dragSpan = kDragSpan;
    dragButtons = buttons;
    return kMouseEventHandled;
}

CMouseEventResult CParamDisplay2::onMouseMoved(CPoint& where, const int32_t& buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    const CCoord d = dragDistance(where);
    if (buttons != dragButtons) {
        // A modifier pressed or let go: the value stays where it is and the
        // drag goes on from here, finer while Shift is held.
        dragButtons = buttons;
        dragSpan = kDragSpan * ((buttons & kShift) ? kFineFactor : 1);
        dragBase = value - static_cast<float>(d / dragSpan);
    }
    float v = std::clamp(dragBase + static_cast<float>(d / dragSpan), vmin, vmax);
    if (v != value) {
        setValue(v);
        valueChanged();
    }
    return kMouseEventHandled;
}

CMouseEventResult CParamDisplay2::onMouseUp(CPoint&, const int32_t& buttons) {
    mouseState = buttons;
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CParamDisplay2::onMouseEntered(CPoint&, const int32_t&) {
    hovered = true;
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CParamDisplay2::onMouseExited(CPoint&, const int32_t&) {
    hovered = false;
    setDirty();
    return kMouseEventHandled;
}
