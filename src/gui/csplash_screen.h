// A click area that shows a bitmap over the window (an about screen). The
// picture opens like a menu, in a window of its own where the window
// system has them, so that a small window does not cut it off; a click on
// it calls onSplashClick (frame coordinates), which by default closes it,
// and a click elsewhere or Escape closes it. Value 1 while shown.
#pragma once

#include "ccontrol.h"

class CSplashScreen : public CControl {
public:
    CSplashScreen(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap,
                  const CRect& toDisplay, const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;

    void unSplash();
    bool isSplashShown() const { return shown; }
    // Where the picture shows, in frame coordinates, and the point of the
    // bitmap drawn at its top-left corner.
    const CRect& getDisplayRect() const { return toDisplay; }
    const CPoint& getOffset() const { return offset; }

    // A click on the shown picture, in frame coordinates. Answers true
    // when the click was used and the picture should stay.
    virtual bool onSplashClick(const CPoint& where, int32_t buttons);

private:
    CRect toDisplay;
    CPoint offset;
    bool shown = false;
};
