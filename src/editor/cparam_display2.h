// A value display that shows its value as text drawn from the bitmap font
// strip, and that can be dragged (up or right raises the value), reset to
// its default with the toolkit's reset gesture, and double-clicked (the
// editor then opens a text entry over it). It tells its listener only when
// a drag changed the value, at a double click and at a reset; the
// listener reads the mouse-state word to tell an Alt-drag (66) from a
// plain one and a double click (1024 and above).
#pragma once

#include "cparam_display.h"
#include "font_strip.h"

#include <string>

class CParamDisplay2 : public CParamDisplay {
public:
    // How the value becomes text.
    enum DisplayStyle : int32_t {
        kNoteOrDash = 0,  // "NoteNum1".."NoteNum8": an empty voice shows "  - "
        kNoteName = 1,    // the current key
        kVelocity = 2,    // "NoteVel1".."NoteVel8": 100 leaves velocities as played
        kOctaveShift = 3, // "C0", "-1", "-2"
        kLaneDivider = 4, // 1, 2, 3, 4, 6, 8, 12, 16, 32, 64
        kTranspose = 5,   // -24..24
    };
    // A drag of this many pixels moves the value across its whole range.
    static constexpr CCoord kDragSpan = 400;
    // Shift held when the buttons change during a drag makes it finer.
    static constexpr CCoord kFineFactor = 3.14;

    CParamDisplay2(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                   int32_t styleFlags, float scale);

    void setDisplayStyle(int32_t style);
    int32_t getDisplayStyle() const { return displayStyle; }
    std::string getDisplayText() const override;
    // The note name of the displays: letter, "#" or blank, octave (note 60
    // is "C 3 ", note 0 "C -2").
    static std::string noteName(int note);

    int32_t getMouseState() const { return mouseState; }
    void setMouseState(int32_t word) { mouseState = word; }
    bool isHovered() const { return hovered; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const int32_t& buttons) override;

private:
    void drawStripText(CDrawContext* context, const std::string& text) const;
    CCoord dragDistance(const CPoint& where) const;

    int32_t displayStyle = kNoteOrDash;
    float scale;
    FontStrip font;
    bool hovered = false;
    bool dragging = false;
    int32_t mouseState = 0;
    CPoint dragAnchor;
    float dragBase = 0;
    CCoord dragSpan = kDragSpan;
    int32_t dragButtons = 0;
};
