#include "cview_container.h"

#include "cdraw_context.h"
#include "cframe.h"

#include <algorithm>

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer() {
    removeAll(true);
}

bool CViewContainer::addView(CView* view) {
    if (!view || view->isAttached()) return false;
    children.push_back(view);
    view->attached(this, frame);
    if (frame) frame->invalidRect(view->localToFrame(view->getViewSize()));
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) return false;
    children.erase(it);
    if (frame) frame->invalidRect(view->localToFrame(view->getViewSize()));
    if (mouseDownView == view) mouseDownView = nullptr;
    if (hoverView == view) hoverView = nullptr;
    view->removed();
    if (withForget) view->forget();
    return true;
}

void CViewContainer::removeAll(bool withForget) {
    while (!children.empty()) removeView(children.back(), withForget);
}

bool CViewContainer::isChild(const CView* view) const {
    return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int32_t index) const {
    return index >= 0 && index < getNbViews() ? children[index] : nullptr;
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    context->saveState();
    CRect clip = updateRect;
    clip.bound(size);
    context->clipRect(clip);
    if (background) context->drawBitmap(background, size);
    context->translate(size.left, size.top);
    CRect local = clip;
    local.offset(-size.left, -size.top);
    for (CView* child : children) {
        if (!child->isVisible() || !child->getViewSize().rectOverlap(local)) continue;
        if (child->isContainer()) {
            static_cast<CViewContainer*>(child)->drawRect(context, local);
        } else {
            context->saveState();
            context->clipRect(child->getViewSize());
            child->draw(context);
            context->restoreState();
        }
    }
    context->restoreState();
    dirty = false;
}

CView* CViewContainer::getViewAt(const CPoint& where) const {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* v = *it;
        if (v->isVisible() && v->getMouseEnabled() && v->getMouseableArea().pointInside(local))
            return v;
    }
    return nullptr;
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const int32_t& buttons) {
    CView* v = getViewAt(where);
    if (!v) return kMouseEventNotHandled;
    CPoint local = where;
    local.offset(-size.left, -size.top);
    if (frame && v->wantsFocus()) frame->setFocusView(v);
    v->remember(); // the handler may remove the view
    CMouseEventResult r = v->onMouseDown(local, buttons);
    if (r == kMouseEventHandled && v->isAttached()) mouseDownView = v;
    v->forget();
    return r == kMouseEventNotImplemented ? kMouseEventNotHandled : r;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const int32_t& buttons) {
    CView* v = mouseDownView;
    mouseDownView = nullptr;
    if (!v) return kMouseEventNotHandled;
    CPoint local = where;
    local.offset(-size.left, -size.top);
    v->remember();
    CMouseEventResult r = v->onMouseUp(local, buttons);
    v->forget();
    return r;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const int32_t& buttons) {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    if (mouseDownView) {
        CView* v = mouseDownView;
        v->remember();
        CMouseEventResult r = v->onMouseMoved(local, buttons);
        v->forget();
        return r;
    }
    CView* v = getViewAt(where);
    if (v != hoverView) {
        if (hoverView) hoverView->onMouseExited(local, buttons);
        hoverView = v;
        if (v) v->onMouseEntered(local, buttons);
    }
    return v ? v->onMouseMoved(local, buttons) : kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseExited(CPoint& where, const int32_t& buttons) {
    if (hoverView) {
        CPoint local = where;
        local.offset(-size.left, -size.top);
        hoverView->onMouseExited(local, buttons);
        hoverView = nullptr;
    }
    return kMouseEventHandled;
}

bool CViewContainer::onWheel(const CPoint& where, float distance, const int32_t& buttons) {
    CView* v = getViewAt(where);
    if (!v) return false;
    CPoint local = where;
    local.offset(-size.left, -size.top);
    return v->onWheel(local, distance, buttons);
}

void CViewContainer::attached(CViewContainer* newParent, CFrame* newFrame) {
    CView::attached(newParent, newFrame);
    for (CView* child : children) child->attached(this, newFrame);
}

void CViewContainer::removed() {
    for (CView* child : children) child->removed();
    for (CView* child : children) child->attached(this, nullptr);
    CView::removed();
}

void CViewContainer::collectDirty(std::vector<CRect>& out) {
    for (CView* child : children) {
        if (child->isContainer()) {
            auto* c = static_cast<CViewContainer*>(child);
            if (c->isDirty() && c->isVisible()) out.push_back(c->localToFrame(c->getViewSize()));
            c->dirty = false;
            c->collectDirty(out);
        } else if (child->isDirty()) {
            if (child->isVisible()) out.push_back(child->localToFrame(child->getViewSize()));
            child->setDirty(false);
        }
    }
}
