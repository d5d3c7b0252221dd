// The root of the view tree and the window's content. It owns the views
// attached to it, keeps a back buffer in which it redraws dirty views at
// idle, holds the focus view and the modal view (open menus, splash
// screens), remembers the buttons and modifiers of the last event, and
// forwards cursor and drag requests to the window, when there is one.
#pragma once

#include "cpopup_view.h"
#include "cview_container.h"
#include "platform_frame.h"

#include <cairo.h>
#include <memory>
#include <string>
#include <vector>

class CFrame : public CViewContainer {
public:
    CFrame(const CRect& size, void* editor);
    ~CFrame() override;

    // Opens an X11 child window of parent (an X11 window id); false when
    // no display can be reached.
    bool open(void* parentWindow);
    // Uses a window system that the caller provides (tests, other hosts).
    void attachPlatform(std::unique_ptr<IPlatformFrame> platform);
    void close();
    bool isOpen() const { return platform != nullptr; }
    IPlatformFrame* getPlatformFrame() const { return platform.get(); }
    void* getEditor() const { return editor; }

    // Window events: pumps the window system, runs the idle clients (timers,
    // file selector) and redraws what is dirty.
    void idle();
    // Redraws the dirty areas into the back buffer and shows them.
    void updateDirty();
    // Redraws everything into the back buffer (and the window).
    void redrawAll();
    void invalidRect(const CRect& frameRect);
    void invalid() { invalidRect(size); }
    void viewBecameDirty() { anyDirty = true; }
    void viewRemoved(CView* view);

    bool setSize(CCoord width, CCoord height);
    cairo_surface_t* getBackBuffer();

    // Event entry points, in frame coordinates; they record the button
    // state for getCurrentMouseButtons.
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const int32_t& buttons) override;
    bool onWheel(const CPoint& where, float distance, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    void onModifiersChanged(int32_t modifiers) {
        currentButtons = (currentButtons & ~kModifierMask) | modifiers;
    }

    int32_t getCurrentMouseButtons() const { return currentButtons; }
    int32_t getCurrentModifiers() const { return currentButtons & kModifierMask; }

    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }

    // The modal view is drawn over everything and gets every mouse and key
    // event. The frame owns it while it is set (it is attached as a child).
    bool setModalView(CView* view);
    CView* getModalView() const { return modalView; }

    // Pop-ups (open menus): in windows of their own on the screen when the
    // window system has them, else as the modal view. getPopupSpace gives
    // the rectangle a pop-up may use and the frame's origin in it, in the
    // coordinates its events will come in.
    void getPopupSpace(CRect& bounds, CPoint& frameOrigin) const;
    // Takes over the caller's reference.
    bool openPopup(CPopupView* view);
    void closePopup();
    // Closes the pop-up as if the user had dismissed it (nothing chosen).
    void cancelPopup();
    CPopupView* getPopupView() const { return popupView; }

    void setCursor(CCursorType cursor);
    CCursorType getCursor() const { return cursor; }

    // Starts dragging the files out of the window (X drag and drop).
    bool doDrag(const std::vector<std::string>& paths);

private:
    void ensureBackBuffer();

    void* editor;
    std::unique_ptr<IPlatformFrame> platform;
    cairo_surface_t* backBuffer = nullptr;
    std::vector<CRect> invalidAreas;
    bool anyDirty = true;
    CView* focusView = nullptr;
    CView* modalView = nullptr;
    CPopupView* popupView = nullptr; // open pop-up, in its own windows or as modal view
    bool popupInWindows = false;
    int32_t currentButtons = 0;
    CCursorType cursor = kCursorDefault;
};
