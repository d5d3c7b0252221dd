#include "mosk_dialog.h"

#include "cdraw_context.h"
#include "scale_rule.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace {
const CColor kBoxBack{22, 24, 30, 245};
const CColor kBoxFrame{40, 200, 240, 255};
const CColor kTitleText{236, 240, 246, 255};
const CColor kBodyText{190, 198, 210, 255};
const CColor kButtonBack{44, 48, 58, 255};
const CColor kButtonLit{40, 200, 240, 255};

// The words of text in lines no wider than width.
std::vector<std::string> wrapped(CDrawContext* context, const std::string& text, CCoord width) {
    std::vector<std::string> lines;
    std::istringstream paragraphs(text);
    for (std::string paragraph; std::getline(paragraphs, paragraph);) {
        std::istringstream words(paragraph);
        std::string line;
        for (std::string word; words >> word;) {
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && context->getStringWidth(longer) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = longer;
            }
        }
        lines.push_back(line);
    }
    return lines;
}
} // namespace

moskDialog::moskDialog(const CRect& size, IControlListener* listener, int32_t tag, float scale)
    : PopText(size, listener, tag), scale(scale) {
    placeButtons();
}

void moskDialog::setTitleAndText(const char* t, const char* text) {
    title = std::string(t ? t : "").substr(0, kTextLimit - 1);
    message = std::string(text ? text : "").substr(0, kTextLimit - 1);
    setDirty();
}

void moskDialog::setButtonLayout(int32_t l) {
    layout = std::clamp(l, 0, 2);
    placeButtons();
    setDirty();
}

void moskDialog::setViewSize(const CRect& r, bool invalidate) {
    PopText::setViewSize(r, invalidate);
    placeButtons();
}

CRect moskDialog::buttonRect(int index) const {
    const CCoord w = scaled(70, scale), h = scaled(22, scale), gap = scaled(10, scale);
    const CCoord right = size.right - scaled(14, scale) - index * (w + gap);
    const CCoord bottom = size.bottom - scaled(12, scale);
    return CRect(right - w, bottom - h, right, bottom);
}

void moskDialog::placeButtons() {
    CRect rects[kMaxButtons];
    for (int i = 0; i <= layout; ++i) rects[i] = buttonRect(i);
    setButtons(layout + 1, rects);
}

void moskDialog::draw(CDrawContext* context) {
    const CCoord s = scale;
    context->setFillColor(kBoxBack);
    context->setFrameColor(kBoxFrame);
    context->setLineWidth(std::max<CCoord>(1, s));
    context->drawRect(size, kDrawFilledAndStroked);

    const CCoord margin = scaled(16, s);
    CRect line(size.left + margin, size.top + margin, size.right - margin,
               size.top + margin + scaled(20, s));
    context->setFont(CFontDesc{"Liberation Sans", 15 * s, kBoldFace});
    context->setFontColor(kTitleText);
    context->drawString(title, line, kLeftText);
    line.offset(0, scaled(28, s));
    context->setFont(CFontDesc{"Liberation Sans", 12 * s, kNormalFace});
    context->setFontColor(kBodyText);
    const CCoord lineHeight = scaled(17, s);
    for (const std::string& text : wrapped(context, message, line.getWidth())) {
        if (line.bottom > buttonRect(0).top - scaled(6, s)) break;
        line.bottom = line.top + lineHeight;
        context->drawString(text, line, kLeftText);
        line.offset(0, lineHeight);
    }

    const char* labels[kMaxButtons] = {"OK", "Cancel", thirdLabel.c_str()};
    context->setFont(CFontDesc{"Liberation Sans", 12 * s, kBoldFace});
    for (int i = 0; i <= layout; ++i) {
        const CRect r = buttonRect(i);
        context->setFillColor(i == hoveredButton ? kButtonLit : kButtonBack);
        context->setFrameColor(kButtonLit);
        context->drawRect(r, kDrawFilledAndStroked);
        context->setFontColor(i == hoveredButton ? kBoxBack : kTitleText);
        context->drawString(labels[i], r);
    }
    setDirty(false);
}

CMouseEventResult moskDialog::onMouseMoved(CPoint& where, const int32_t&) {
    int32_t hovered = -1;
    for (int i = 0; i <= layout; ++i)
        if (buttonRect(i).pointInside(where)) hovered = i;
    if (hovered != hoveredButton) {
        hoveredButton = hovered;
        setDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult moskDialog::onMouseExited(CPoint&, const int32_t&) {
    if (hoveredButton != -1) {
        hoveredButton = -1;
        setDirty();
    }
    return kMouseEventHandled;
}
