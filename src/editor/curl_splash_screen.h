// The about screen: the header's logo area shows the about picture, and a
// click on the link box in it follows the link (the picture stays open);
// any other click closes it. The link box is given at 100 % and follows
// the scale and the picture's vertical offset.
#pragma once

#include "csplash_screen.h"

#include <functional>

class CURLSplashScreen : public CSplashScreen {
public:
    CURLSplashScreen(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap,
                     const CRect& toDisplay, const CPoint& offset, float scale);

    void setVerticalOffset(double offset) { verticalOffset = offset; }
    double getVerticalOffset() const { return verticalOffset; }
    // What a click on the link does (the editor opens the manual).
    void setLinkAction(std::function<void()> action) { linkAction = std::move(action); }
    // The link box in frame coordinates.
    CRect linkRect() const;

    bool onSplashClick(const CPoint& where, int32_t buttons) override;

private:
    double verticalOffset = 0;
    float scale;
    std::function<void()> linkAction;
};
