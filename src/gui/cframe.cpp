#include "cframe.h"

#include "cdraw_context.h"
#include "idle_clients.h"
#include "x11_platform_frame.h"

CFrame::CFrame(const CRect& r, void* editor) : CViewContainer(r), editor(editor) {
    frame = this;
    size.moveTo(0, 0);
    mouseableArea = size;
}

CFrame::~CFrame() {
    cancelPopup();
    setModalView(nullptr);
    focusView = nullptr;
    removeAll(true);
    platform.reset();
    if (backBuffer) cairo_surface_destroy(backBuffer);
}

bool CFrame::open(void* parentWindow) {
    auto p = createX11PlatformFrame(this, parentWindow);
    if (!p) return false;
    attachPlatform(std::move(p));
    return true;
}

void CFrame::attachPlatform(std::unique_ptr<IPlatformFrame> p) {
    platform = std::move(p);
    invalid();
}

void CFrame::close() {
    cancelPopup();
    platform.reset();
}

void CFrame::idle() {
    if (platform) platform->processEvents();
    IdleClients::runAll();
    updateDirty();
}

void CFrame::ensureBackBuffer() {
    int w = static_cast<int>(size.getWidth()), h = static_cast<int>(size.getHeight());
    if (backBuffer && cairo_image_surface_get_width(backBuffer) == w &&
        cairo_image_surface_get_height(backBuffer) == h)
        return;
    if (backBuffer) cairo_surface_destroy(backBuffer);
    backBuffer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    invalidAreas.assign(1, size);
}

cairo_surface_t* CFrame::getBackBuffer() {
    ensureBackBuffer();
    return backBuffer;
}

void CFrame::invalidRect(const CRect& r) {
    CRect b = r;
    b.bound(size);
    if (b.isEmpty()) return;
    // Merge with an overlapping area so that a burst of small changes
    // stays a short list.
    for (CRect& a : invalidAreas)
        if (a.rectOverlap(b)) {
            a.unite(b);
            return;
        }
    invalidAreas.push_back(b);
}

void CFrame::updateDirty() {
    if (popupInWindows && popupView->isDirty()) platform->updatePopup();
    if (!anyDirty && invalidAreas.empty()) return;
    ensureBackBuffer();
    if (anyDirty) {
        anyDirty = false;
        std::vector<CRect> dirtyRects;
        if (dirty) dirtyRects.push_back(size);
        dirty = false;
        collectDirty(dirtyRects);
        for (const CRect& r : dirtyRects) invalidRect(r);
    }
    if (invalidAreas.empty()) return;
    std::vector<CRect> areas;
    areas.swap(invalidAreas);
    {
        CDrawContext context(backBuffer);
        for (const CRect& r : areas) {
            context.saveState();
            context.clipRect(r);
            cairo_set_operator(context.getCairo(), CAIRO_OPERATOR_SOURCE);
            cairo_set_source_rgba(context.getCairo(), 0.07, 0.07, 0.08, 1.0);
            cairo_paint(context.getCairo());
            cairo_set_operator(context.getCairo(), CAIRO_OPERATOR_OVER);
            drawRect(&context, r);
            context.restoreState();
        }
    }
    cairo_surface_flush(backBuffer);
    if (platform) platform->present(backBuffer, areas);
}

void CFrame::redrawAll() {
    invalidAreas.assign(1, size);
    anyDirty = true;
    updateDirty();
}

void CFrame::viewRemoved(CView* view) {
    // A focused view that leaves the frame ends its editing first.
    if (focusView == view) setFocusView(nullptr);
    if (modalView == view) modalView = nullptr;
    if (popupView == view && !popupInWindows) popupView = nullptr;
}

bool CFrame::setSize(CCoord width, CCoord height) {
    size = CRect(0, 0, width, height);
    mouseableArea = size;
    if (platform) platform->setSize(static_cast<int>(width), static_cast<int>(height));
    ensureBackBuffer();
    invalid();
    return true;
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const int32_t& buttons) {
    currentButtons = buttons;
    if (modalView) {
        CView* m = modalView;
        m->remember();
        CMouseEventResult r = m->onMouseDown(where, buttons);
        if (r == kMouseEventHandled && m->isAttached()) mouseDownView = m;
        m->forget();
        return r;
    }
    if (focusView) {
        // A click outside the focused view ends its editing. Each container
        // takes points in its parent's coordinates.
        CPoint p = where;
        CView* hit = getViewAt(p);
        while (hit && hit != focusView && hit->isContainer()) {
            auto* c = static_cast<CViewContainer*>(hit);
            hit = c->getViewAt(p);
            p.offset(-c->getViewSize().left, -c->getViewSize().top);
        }
        if (hit != focusView) setFocusView(nullptr);
    }
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const int32_t& buttons) {
    currentButtons = buttons;
    return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const int32_t& buttons) {
    currentButtons = buttons;
    if (modalView && !mouseDownView) return modalView->onMouseMoved(where, buttons);
    return CViewContainer::onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::onMouseExited(CPoint& where, const int32_t& buttons) {
    return CViewContainer::onMouseExited(where, buttons);
}

bool CFrame::onWheel(const CPoint& where, float distance, const int32_t& buttons) {
    currentButtons = buttons;
    if (modalView) return modalView->onWheel(where, distance, buttons);
    return CViewContainer::onWheel(where, distance, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& key) {
    if (modalView) return modalView->onKeyDown(key);
    if (focusView) return focusView->onKeyDown(key);
    return -1;
}

void CFrame::setFocusView(CView* view) {
    if (view == focusView) return;
    CView* old = focusView;
    focusView = view;
    if (old) old->looseFocus();
    if (focusView) focusView->takeFocus();
}

bool CFrame::setModalView(CView* view) {
    if (view && modalView) return false;
    if (modalView) {
        CView* old = modalView;
        modalView = nullptr;
        if (mouseDownView == old) mouseDownView = nullptr;
        removeView(old, true);
    }
    if (view) {
        addView(view);
        modalView = view;
    }
    return true;
}

void CFrame::getPopupSpace(CRect& bounds, CPoint& frameOrigin) const {
    if (platform && platform->popupSpace(bounds, frameOrigin)) return;
    bounds = size;
    frameOrigin = CPoint(0, 0);
}

bool CFrame::openPopup(CPopupView* view) {
    if (!view || popupView) {
        if (view) view->forget();
        return false;
    }
    CRect screen;
    CPoint origin;
    if (platform && platform->popupSpace(screen, origin)) {
        popupView = view;
        popupInWindows = true;
        // Not a child: it only needs to know its frame, for redraws.
        view->attached(nullptr, this);
        platform->showPopup(view);
        return true;
    }
    if (!setModalView(view)) {
        view->forget();
        return false;
    }
    popupView = view;
    return true;
}

void CFrame::closePopup() {
    if (!popupView) return;
    CPopupView* view = popupView;
    if (!popupInWindows) return void(setModalView(nullptr));
    popupView = nullptr;
    popupInWindows = false;
    if (platform) platform->hidePopup();
    view->removed();
    view->forget();
}

void CFrame::cancelPopup() {
    if (!popupView) return;
    CPopupView* view = popupView;
    view->remember();
    view->cancelPopup();
    view->forget();
    closePopup(); // for pop-ups that do not close themselves
}

void CFrame::setCursor(CCursorType c) {
    cursor = c;
    if (platform) platform->setCursor(c);
}

bool CFrame::doDrag(const std::vector<std::string>& paths) {
    return platform && platform->startFileDrag(paths);
}
