// The base of everything drawn in the frame. A view's size is in its
// parent's coordinates, and so are the points of its mouse events.
#pragma once

#include "button_state.h"
#include "cbase_object.h"
#include "geometry.h"
#include "key_code.h"

class CDrawContext;
class CBitmap;
class CFrame;
class CViewContainer;

class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);

    virtual CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const int32_t& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const int32_t& buttons);
    // distance > 0 is a turn away from the user (up).
    virtual bool onWheel(const CPoint& where, float distance, const int32_t& buttons);
    // Answers 1 when the key was used, -1 when not.
    virtual int32_t onKeyDown(VstKeyCode& key);

    virtual void takeFocus() {}
    virtual void looseFocus() {}
    virtual bool wantsFocus() const { return false; }

    const CRect& getViewSize() const { return size; }
    virtual void setViewSize(const CRect& r, bool invalidate = true);
    const CRect& getMouseableArea() const { return mouseableArea; }
    void setMouseableArea(const CRect& r) { mouseableArea = r; }
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }

    void setVisible(bool state);
    bool isVisible() const { return visible; }
    void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }

    // A dirty view is redrawn at the frame's next idle.
    virtual void setDirty(bool state = true);
    bool isDirty() const { return dirty; }
    // Redraws at once when attached to a frame (through the next idle for
    // a window), otherwise marks dirty.
    void invalid();

    void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

    virtual bool isContainer() const { return false; }
    bool isAttached() const { return parent != nullptr; }
    CViewContainer* getParentView() const { return parent; }
    CFrame* getFrame() const { return frame; }

    // Converts a point or rectangle from this view's parent coordinates to
    // frame coordinates.
    CPoint localToFrame(CPoint p) const;
    CRect localToFrame(CRect r) const;

    virtual void attached(CViewContainer* newParent, CFrame* newFrame);
    virtual void removed();

protected:
    CRect size;
    CRect mouseableArea;
    CBitmap* background = nullptr;
    CViewContainer* parent = nullptr;
    CFrame* frame = nullptr;
    bool visible = true;
    bool mouseEnabled = true;
    bool dirty = true;
};
