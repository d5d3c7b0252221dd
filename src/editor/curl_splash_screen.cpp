#include "curl_splash_screen.h"

#include "scale_rule.h"

CURLSplashScreen::CURLSplashScreen(const CRect& size, IControlListener* listener, int32_t tag,
                                   CBitmap* bitmap, const CRect& toDisplay, const CPoint& offset,
                                   float scale)
    : CSplashScreen(size, listener, tag, bitmap, toDisplay, offset), scale(scale) {}

CRect CURLSplashScreen::linkRect() const {
    return CRect(scaled(207, scale), scaled(109, scale) + verticalOffset, scaled(386, scale),
                 scaled(131, scale) + verticalOffset);
}

bool CURLSplashScreen::onSplashClick(const CPoint& where, int32_t) {
    if (!linkRect().pointInside(where)) return false;
    if (linkAction) linkAction();
    return true;
}
