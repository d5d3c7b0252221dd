// A view that holds child views, drawn over its background bitmap in
// order (later children on top). Children's rectangles are relative to the
// container's top-left corner. The container owns the children it holds:
// adding hands it the creator's reference, removing releases it unless the
// caller asks to keep the view.
#pragma once

#include "cview.h"

#include <vector>

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    bool addView(CView* view);
    bool removeView(CView* view, bool withForget = true);
    void removeAll(bool withForget = true);
    bool isChild(const CView* view) const;
    int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
    CView* getView(int32_t index) const;

    void draw(CDrawContext* context) override;
    // Draws the part of the container inside updateRect (in parent
    // coordinates), children included.
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);

    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const int32_t& buttons) override;
    bool onWheel(const CPoint& where, float distance, const int32_t& buttons) override;

    bool isContainer() const override { return true; }
    void attached(CViewContainer* newParent, CFrame* newFrame) override;
    void removed() override;

    // The top-most visible, mouse-enabled child under where (parent
    // coordinates), or null.
    CView* getViewAt(const CPoint& where) const;
    // Collects the frame rectangles of dirty views and clears their flags.
    void collectDirty(std::vector<CRect>& out);

protected:
    std::vector<CView*> children;
    CView* mouseDownView = nullptr;
    CView* hoverView = nullptr;
};
