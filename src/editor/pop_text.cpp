#include "pop_text.h"

#include "cdraw_context.h"
#include "cframe.h"
#include "ctext_edit.h"

#include <algorithm>
#include <cstring>
#include <string>

PopText::PopText(const CRect& size, IControlListener* listener, int32_t tag)
    : CControl(size, listener, tag) {}

PopText::~PopText() {
    if (editBox) editBox->forget();
}

void PopText::setText(const char* t) {
    std::strncpy(text, t ? t : "", kTextSize - 1);
    text[kTextSize - 1] = 0;
    setDirty();
}

void PopText::setButtons(int count, const CRect* rects) {
    buttonCount = std::clamp(count, 0, kMaxButtons);
    for (int i = 0; i < buttonCount; ++i) buttonRects[i] = rects[i];
}

void PopText::draw(CDrawContext* context) {
    context->setFillColor(CColor{16, 18, 22, 255});
    context->setFrameColor(CColor{40, 200, 240, 255});
    context->setLineWidth(1);
    context->drawRect(size, kDrawFilledAndStroked);
    if (editBox) {
        editBox->draw(context);
    } else {
        CRect r = size;
        r.inset(4, 0);
        context->setFont(font);
        context->setFontColor(kWhiteCColor);
        context->drawString(text, r, kLeftText);
    }
    setDirty(false);
}

CMouseEventResult PopText::onMouseDown(CPoint& where, const int32_t& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    mouseState = buttons;
    static const float kButtonValues[kMaxButtons] = {0.8f, 1.0f, 0.9f};
    for (int i = 0; i < buttonCount; ++i) {
        if (!buttonRects[i].pointInside(where)) continue;
        beginEdit();
        setValue(kButtonValues[i]);
        valueChanged();
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if (buttonCount == 0 && !editBox) {
        if (frame)
            frame->setFocusView(this);
        else
            takeFocus();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void PopText::takeFocus() {
    if (editBox) return;
    accepted = false; // focus lost without Return cancels
    CRect box = size;
    box.inset(2, 2);
    editBox = new CTextEdit(box, nullptr, -1, text);
    editBox->setFont(font);
    editBox->setBackColor(CColor{16, 18, 22, 255});
    editBox->takeFocus();
    setDirty();
}

void PopText::giveUpFocus() {
    if (frame && frame->getFocusView() == this)
        frame->setFocusView(nullptr);
    else
        looseFocus();
}

int32_t PopText::onKeyDown(VstKeyCode& key) {
    if (!editBox) return -1;
    if (key.virt == VKEY_RETURN || key.virt == VKEY_ENTER) {
        accepted = true;
        giveUpFocus();
        return 1;
    }
    if (key.virt == VKEY_ESCAPE) {
        accepted = false;
        editBox->setText(text);
        giveUpFocus();
        return 1;
    }
    int32_t used = editBox->onKeyDown(key);
    if (used > 0) setDirty();
    return used;
}

void PopText::looseFocus() {
    if (!editBox) return;
    const std::string edited = editBox->getText();
    editBox->forget();
    editBox = nullptr;
    setDirty();
    if (!accepted) {
        valueChanged();
        return;
    }
    if (edited == text || edited.empty() || static_cast<unsigned char>(edited[0]) < 32) return;
    setText(edited.c_str());
    std::memcpy(acceptedText, text, kTextSize);
    valueChanged();
}
