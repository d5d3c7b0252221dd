// A push button from which the current chord or arpeggio is dragged out of
// the window as a MIDI file: once the pointer leaves the window with the
// button held, the listener is asked to start the drag (it writes the file
// and hands it to the frame's doDrag). Without a bitmap it draws a small
// "drag MIDI" hint of its own, or, where the background shows the button's
// face, only a frame while it is held.
#pragma once

#include "ckick_button.h"

class MyDragButton : public CKickButton {
public:
    MyDragButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap,
                 const CPoint& offset = {});

    int32_t getMouseState() const { return mouseState; }
    void setDrawsOwnFace(bool state) { drawsOwnFace = state; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;

private:
    int32_t mouseState = 0;
    // The drag is requested once per press: the drag source then owns the
    // pointer, and a failed start must not write the file at every move.
    bool dragRequested = false;
    bool drawsOwnFace = true;
};
