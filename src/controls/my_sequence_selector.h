// The row of twelve cells that chooses the arpeggiator pattern (A to L);
// its value is cell / 12. A click selects a cell. An Alt-drag from one cell
// to another reports the target with the cell it started on as the drag
// source (the editor copies that pattern onto the target), and an Alt-drag
// that leaves the row by more than 20 units up or down asks the listener,
// once per press, to drag the pattern out of the window.
#pragma once

#include "ccontrol.h"

#include <cstdint>

class CBitmap;

class MySequenceSelector : public CControl {
public:
    static constexpr int kCells = 12;
    static constexpr CCoord kDragOutDistance = 20;

    // creationFlag: kept for the editor, which passes 1.
    MySequenceSelector(const CRect& size, IControlListener* listener, int32_t tag, float scale,
                       uint32_t creationFlag = 1);
    ~MySequenceSelector() override;

    // The editor's operations.
    virtual void select(int cell);
    virtual void setMark(int cell, float value);
    virtual void setSecondIndex(float value);
    // Selects the cell of the value (the pattern number / 12).
    void setValue(float v) override;

    int getSelectedCell() const { return static_cast<int>(selectedCell); }
    const CRect& getSelectedRect() const { return selectedRect; }
    int getDragSource() const { return dragSource; }
    int32_t getMouseState() const { return mouseState; }
    void setMouseState(int32_t word) { mouseState = word; }
    bool getMark(int cell) const;
    uint32_t getSecondIndex() const { return secondIndex; }
    uint32_t getCreationFlag() const { return creationFlag; }
    // The cell under the pointer, 0..11.
    int cellAt(const CPoint& p) const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;

private:
    uint32_t selectedCell = 0;
    int dragSource = -1;
    uint32_t cellWidth;
    uint32_t cellHeight;
    CRect selectedRect;
    uint32_t secondIndex = 0;
    uint32_t creationFlag;
    float marks[kCells] = {};
    bool dragStarted = false;
    int32_t mouseState = 0;
    float scale;
    CBitmap* cellBitmap;
};
