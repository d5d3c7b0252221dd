#include "my_sequence_selector.h"

#include "cbitmap.h"
#include "cdraw_context.h"
#include "cframe.h"
#include "scale_rule.h"

#include <algorithm>
#include <cmath>

MySequenceSelector::MySequenceSelector(const CRect& size, IControlListener* listener, int32_t tag,
                                       float scale, uint32_t creationFlag)
    : CControl(size, listener, tag), cellWidth(static_cast<uint32_t>(size.getWidth() / kCells)),
      creationFlag(creationFlag), scale(scale),
      cellBitmap(new CBitmap(bitmapIdAtScale(1158, scale))) {
    cellHeight = static_cast<uint32_t>(cellBitmap->getHeight() / 3);
    select(0);
}

MySequenceSelector::~MySequenceSelector() {
    cellBitmap->forget();
}

void MySequenceSelector::select(int cell) {
    selectedCell = static_cast<uint32_t>(std::clamp(cell, 0, kCells - 1));
    const CCoord left = size.left + selectedCell * cellWidth;
    const CCoord top = size.top + scaled(1, scale);
    selectedRect = CRect(left, top, left + cellWidth, top + cellHeight);
    invalid();
}

void MySequenceSelector::setMark(int cell, float v) {
    if (cell < 0 || cell >= kCells) return;
    float mark = v > 0 ? 1.0f : 0.0f;
    if (marks[cell] == mark) return;
    marks[cell] = mark;
    setDirty();
}

void MySequenceSelector::setSecondIndex(float v) {
    auto index = static_cast<uint32_t>(std::max(0.0f, v * 12));
    secondIndex = index > 12 ? 11 : index;
    invalid();
}

void MySequenceSelector::setValue(float v) {
    CControl::setValue(v);
    int cell = std::min(roundHalfUp(std::max(0.0f, v) * 12), kCells - 1);
    if (cell != static_cast<int>(selectedCell)) select(cell);
}

bool MySequenceSelector::getMark(int cell) const {
    return cell >= 0 && cell < kCells && marks[cell] == 1.0f;
}

int MySequenceSelector::cellAt(const CPoint& p) const {
    auto cell = static_cast<int>(std::floor((p.x - size.left) / (size.getWidth() / kCells)));
    return std::clamp(cell, 0, kCells - 1);
}

void MySequenceSelector::draw(CDrawContext* context) {
    for (int i = 0; i < kCells; ++i) {
        CRect cell(size.left + i * cellWidth, size.top, size.left + (i + 1) * cellWidth,
                   size.top + cellHeight);
        context->drawBitmap(cellBitmap, cell,
                            CPoint(i * cellWidth, marks[i] == 1.0f ? cellHeight : 0));
    }
    context->drawBitmap(cellBitmap, selectedRect,
                        CPoint(selectedCell * cellWidth, 2.0 * cellHeight));
    setDirty(false);
}

CMouseEventResult MySequenceSelector::onMouseDown(CPoint& where, const int32_t& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    mouseState = buttons;
    const int previous = static_cast<int>(selectedCell);
    dragStarted = false;
    dragSource = -1;
    beginEdit();
    const int cell = cellAt(where);
    select(cell);
    value = static_cast<float>(cell) / kCells;
    if (buttons & kAlt) {
        dragSource = cell;
        if (frame) frame->setCursor(kCursorCopy);
        if (cell != previous) valueChanged();
        return kMouseEventHandled;
    }
    if (cell != previous) valueChanged();
    return onMouseMoved(where, buttons);
}

CMouseEventResult MySequenceSelector::onMouseMoved(CPoint& where, const int32_t& buttons) {
    if (!isEditing() || (buttons & (kButtonMask | kModifierMask)) != (kLButton | kAlt))
        return kMouseEventHandled;
    const CCoord reach = scaled(kDragOutDistance, scale);
    if (!dragStarted && (where.y < size.top - reach || where.y > size.bottom + reach)) {
        dragStarted = true;
        if (listener) listener->dragOutRequested(this, localToFrame(where));
    } else if (size.pointInside(where) && frame) {
        frame->setCursor(kCursorCopy);
    }
    return kMouseEventHandled;
}

CMouseEventResult MySequenceSelector::onMouseUp(CPoint& where, const int32_t&) {
    if (!isEditing()) return kMouseEventNotHandled;
    dragStarted = false;
    if (frame) frame->setCursor(kCursorDefault);
    if (dragSource >= 0 && size.pointInside(where)) {
        const int cell = cellAt(where);
        select(cell);
        if (cell != dragSource) {
            value = static_cast<float>(cell) / kCells;
            valueChanged();
        }
    }
    dragSource = -1;
    endEdit();
    return kMouseEventHandled;
}
