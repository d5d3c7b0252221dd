#include "cparam_display.h"

#include <cstdio>

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, -1, background), style(style) {}

std::string CParamDisplay::getDisplayText() const {
    if (valueToString) return valueToString(value);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

void CParamDisplay::drawBack(CDrawContext* context) {
    if (background) {
        context->drawBitmap(background, size);
    } else if (!(style & kNoDrawStyle)) {
        context->setFillColor(backColor);
        context->drawRect(size, kDrawFilled);
        if (!(style & kNoFrame)) {
            context->setFrameColor(frameColor);
            context->setLineWidth(1);
            context->drawRect(size, kDrawStroked);
        }
    }
}

void CParamDisplay::drawText(CDrawContext* context, const std::string& text) {
    if (style & kNoTextStyle) return;
    context->setFont(font);
    CRect r = size;
    r.inset(2, 0);
    if (style & kShadowText) {
        CRect s = r;
        s.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, s, horiAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, r, horiAlign);
}

void CParamDisplay::draw(CDrawContext* context) {
    drawBack(context);
    drawText(context, getDisplayText());
    setDirty(false);
}
