#include "cview.h"

#include "cbitmap.h"
#include "cdraw_context.h"
#include "cframe.h"

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::~CView() {
    if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
    if (background) context->drawBitmap(background, size);
    dirty = false;
}

CMouseEventResult CView::onMouseDown(CPoint&, const int32_t&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseUp(CPoint&, const int32_t&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const int32_t&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const int32_t&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseExited(CPoint&, const int32_t&) {
    return kMouseEventNotImplemented;
}
bool CView::onWheel(const CPoint&, float, const int32_t&) {
    return false;
}
int32_t CView::onKeyDown(VstKeyCode&) {
    return -1;
}

void CView::setViewSize(const CRect& r, bool invalidate) {
    if (frame && invalidate) frame->invalidRect(localToFrame(size));
    CCoord dx = r.left - size.left, dy = r.top - size.top;
    size = r;
    mouseableArea.offset(dx, dy);
    if (invalidate) setDirty();
}

void CView::setVisible(bool state) {
    if (visible == state) return;
    visible = state;
    if (frame) frame->invalidRect(localToFrame(size));
    setDirty();
}

void CView::setDirty(bool state) {
    dirty = state;
    if (state && frame) frame->viewBecameDirty();
}

void CView::invalid() {
    setDirty(true);
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (background) background->forget();
    background = bitmap;
    setDirty();
}

CPoint CView::localToFrame(CPoint p) const {
    for (const CView* v = parent; v && v->getParentView(); v = v->getParentView())
        p.offset(v->getViewSize().left, v->getViewSize().top);
    return p;
}

CRect CView::localToFrame(CRect r) const {
    CPoint o = localToFrame(CPoint(0, 0));
    return r.offset(o.x, o.y);
}

void CView::attached(CViewContainer* newParent, CFrame* newFrame) {
    parent = newParent;
    frame = newFrame;
    setDirty();
}

void CView::removed() {
    if (frame) frame->viewRemoved(this);
    parent = nullptr;
    frame = nullptr;
}
