#include "my_coption_menu.h"

#include "cbitmap.h"

#include <cstring>

MyCOptionMenu::MyCOptionMenu(const CRect& size, IControlListener* listener, int32_t tag,
                             CBitmap* background, int32_t style)
    : COptionMenu(size, listener, tag, background, style) {}

void MyCOptionMenu::setTitle(const char* text) {
    std::strncpy(title, text ? text : "", kTitleSize - 1);
    title[kTitleSize - 1] = 0;
    setDirty();
}

void MyCOptionMenu::draw(CDrawContext* context) {
    title[kTitleSize - 1] = 0; // the editor writes the buffer directly
    if (background)
        context->drawBitmap(background, size);
    else
        drawBack(context);
    // A title too long for the box keeps its beginning, where preset names
    // differ most.
    context->setFont(font);
    CHoriTxtAlign align = horiAlign;
    if (context->getStringWidth(title) > size.getWidth() - 4) horiAlign = kLeftText;
    drawText(context, title);
    horiAlign = align;
    setDirty(false);
}

CMouseEventResult MyCOptionMenu::onMouseDown(CPoint& where, const int32_t& buttons) {
    mouseState = buttons;
    return COptionMenu::onMouseDown(where, buttons);
}
