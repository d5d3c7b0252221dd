#include "csplash_screen.h"

#include "cdraw_context.h"
#include "cframe.h"

namespace {
// The picture while shown: draws the splash bitmap and routes clicks back.
// Its coordinates are those of the space the frame gave it (the screen, or
// the frame itself without a window system).
class SplashView : public CPopupView {
public:
    SplashView(const CRect& area, const CPoint& frameOrigin, CSplashScreen* owner)
        : CPopupView(area), frameOrigin(frameOrigin), owner(owner) {}

    void draw(CDrawContext* context) override {
        context->drawBitmap(owner->getBackground(), size, owner->getOffset());
        setDirty(false);
    }
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override {
        CSplashScreen* o = owner;
        const CPoint inFrame(where.x - frameOrigin.x, where.y - frameOrigin.y);
        if (!size.pointInside(where) || !o->onSplashClick(inFrame, buttons)) o->unSplash();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    int32_t onKeyDown(VstKeyCode& key) override {
        if (key.virt != VKEY_ESCAPE) return -1;
        owner->unSplash();
        return 1;
    }
    void cancelPopup() override { owner->unSplash(); }

private:
    CPoint frameOrigin;
    CSplashScreen* owner;
};
} // namespace

CSplashScreen::CSplashScreen(const CRect& size, IControlListener* listener, int32_t tag,
                             CBitmap* bitmap, const CRect& toDisplay, const CPoint& offset)
    : CControl(size, listener, tag, nullptr), toDisplay(toDisplay), offset(offset) {
    // The bitmap is the picture to show, not this view's own face.
    if (bitmap) setBackground(bitmap);
}

void CSplashScreen::draw(CDrawContext*) {
    setDirty(false);
}

CMouseEventResult CSplashScreen::onMouseDown(CPoint&, const int32_t& buttons) {
    if (!(buttons & kLButton) || shown || !frame || !background) return kMouseEventNotHandled;
    CRect bounds;
    CPoint origin;
    frame->getPopupSpace(bounds, origin);
    CRect area = toDisplay;
    area.offset(origin.x, origin.y);
    if (!frame->openPopup(new SplashView(area, origin, this))) return kMouseEventNotHandled;
    shown = true;
    value = vmax;
    valueChanged();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CSplashScreen::onSplashClick(const CPoint&, int32_t) {
    return false;
}

void CSplashScreen::unSplash() {
    if (!shown) return;
    shown = false;
    value = vmin;
    remember();
    if (frame) frame->closePopup();
    valueChanged();
    forget();
}
