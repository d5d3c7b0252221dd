#include "csplash_screen.h"

#include "cdraw_context.h"
#include "cframe.h"

namespace {
// The picture while shown: draws the splash bitmap and routes clicks back.
class SplashView : public CView {
public:
    SplashView(const CRect& frameSize, CSplashScreen* owner) : CView(frameSize), owner(owner) {}

    void draw(CDrawContext* context) override {
        context->drawBitmap(owner->getBackground(), owner->getDisplayRect(), owner->getOffset());
        setDirty(false);
    }
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override {
        CSplashScreen* o = owner;
        if (!o->onSplashClick(where, buttons)) o->unSplash();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    int32_t onKeyDown(VstKeyCode& key) override {
        if (key.virt != VKEY_ESCAPE) return -1;
        owner->unSplash();
        return 1;
    }

private:
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
    if (!(buttons & kLButton) || shown || !frame) return kMouseEventNotHandled;
    auto* view = new SplashView(frame->getViewSize(), this);
    if (!frame->setModalView(view)) {
        view->forget();
        return kMouseEventNotHandled;
    }
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
    if (frame) frame->setModalView(nullptr);
    valueChanged();
    forget();
}
