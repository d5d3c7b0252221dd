// A click area that shows a bitmap over the window (an about screen). The
// shown picture is the frame's modal view; a click on it calls
// onSplashClick, which by default closes it. Value 1 while shown.
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
