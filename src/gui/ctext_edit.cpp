#include "ctext_edit.h"

#include "cframe.h"

CTextEdit::CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, std::string text,
                     CBitmap* background, int32_t style)
    : CTextLabel(size, std::move(text), background, style) {
    setListener(listener);
    setTag(tag);
    horiAlign = kLeftText;
}

void CTextEdit::draw(CDrawContext* context) {
    drawBack(context);
    drawText(context, text);
    if (editingText) {
        // The cursor: a thin bar after the character it stands behind.
        context->setFont(font);
        CCoord x =
            size.left + 2 + context->getStringWidth(std::string_view(text).substr(0, cursor));
        if (horiAlign == kCenterText)
            x += (size.getWidth() - 4 - context->getStringWidth(text)) / 2;
        context->setFrameColor(fontColor);
        context->setLineWidth(1);
        context->drawLine(CPoint(x, size.top + 2), CPoint(x, size.bottom - 3));
        context->setFrameColor(CColor{90, 170, 255, 255});
        context->drawRect(size, kDrawStroked);
    }
    setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const int32_t& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (frame && frame->getFocusView() != this)
        frame->setFocusView(this);
    else if (!frame)
        takeFocus();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus() {
    if (editingText) return;
    editingText = true;
    textBeforeEdit = text;
    cursor = text.size();
    cancelPending = false;
    beginEdit();
    setDirty();
}

void CTextEdit::looseFocus() {
    if (!editingText) return;
    editingText = false;
    accepted = !cancelPending;
    if (!accepted) text = textBeforeEdit;
    setDirty();
    if (accepted) valueChanged();
    endEdit();
    editingEnded(accepted);
}

void CTextEdit::editingEnded(bool) {}

int32_t CTextEdit::onKeyDown(VstKeyCode& key) {
    if (!editingText) return -1;
    auto finish = [&](bool cancel) {
        cancelPending = cancel;
        if (frame && frame->getFocusView() == this)
            frame->setFocusView(nullptr);
        else
            looseFocus();
    };
    switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
        finish(false);
        return 1;
    case VKEY_ESCAPE:
        finish(true);
        return 1;
    case VKEY_BACK:
        if (cursor > 0) text.erase(--cursor, 1);
        break;
    case VKEY_DELETE:
        if (cursor < text.size()) text.erase(cursor, 1);
        break;
    case VKEY_LEFT:
        if (cursor > 0) --cursor;
        break;
    case VKEY_RIGHT:
        if (cursor < text.size()) ++cursor;
        break;
    case VKEY_HOME:
        cursor = 0;
        break;
    case VKEY_END:
        cursor = text.size();
        break;
    default:
        if (key.virt == VKEY_SPACE) key.character = ' ';
        if (key.character < 32 || key.character > 126 || text.size() >= maxLength) return -1;
        text.insert(cursor++, 1, static_cast<char>(key.character));
        break;
    }
    setDirty();
    return 1;
}
