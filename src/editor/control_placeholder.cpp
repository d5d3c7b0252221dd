#include "control_placeholder.h"

#include "cdraw_context.h"

#include <cmath>

ControlPlaceholder::ControlPlaceholder(const CRect& size, IControlListener* listener, int32_t tag,
                                       std::string className, double scale)
    : CControl(size, listener, tag), className(std::move(className)), scale(scale) {}

void ControlPlaceholder::setCaption(std::string text) {
    if (text == caption) return;
    caption = std::move(text);
    setDirty();
}

void ControlPlaceholder::draw(CDrawContext* context) {
    context->setFillColor(CColor{120, 200, 255, 22});
    context->setFrameColor(CColor{120, 200, 255, 90});
    context->setLineWidth(std::max(1.0, std::floor(scale)));
    context->drawRect(size, kDrawFilledAndStroked);
    CRect text = size;
    text.inset(2 * scale, 0);
    context->setFont(
        CFontDesc{"Liberation Sans", std::min(9 * scale, size.getHeight() * 0.8), kNormalFace});
    context->setFontColor(CColor{160, 210, 240, 170});
    const std::string& shown = caption.empty() ? className : caption;
    // A name that does not fit is left out rather than cut.
    if (context->getStringWidth(shown) <= text.getWidth())
        context->drawString(shown, text, kCenterText);
    setDirty(false);
}
