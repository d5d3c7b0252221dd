#include "x11_platform_frame.h"

#include "cdraw_context.h"
#include "cframe.h"
#include "x11_button_state.h"
#include "xdnd_drag_source.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cairo-xlib.h>
#include <cstdlib>

namespace {
// Two presses of the same button within this time and distance make a
// double click.
constexpr Time kDoubleClickTime = 400;
constexpr int kDoubleClickDistance = 4;

int32_t buttonBit(unsigned button) {
    switch (button) {
    case 1:
        return kLButton;
    case 2:
        return kMButton;
    case 3:
        return kRButton;
    default:
        return 0;
    }
}

// The modifier bit of a modifier key itself (Shift, Control, Alt or Super), else 0.
int32_t modifierOfKey(XKeyEvent& e) {
    switch (XLookupKeysym(&e, 0)) {
    case XK_Shift_L:
    case XK_Shift_R:
        return kShift;
    case XK_Control_L:
    case XK_Control_R:
        return kControl;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Super_L:
    case XK_Super_R:
        return kAlt;
    default:
        return 0;
    }
}

VstKeyCode keyCodeOf(XKeyEvent& e) {
    VstKeyCode k;
    char text[8] = {};
    KeySym sym = NoSymbol;
    int n = XLookupString(&e, text, sizeof text, &sym, nullptr);
    switch (sym) {
    case XK_BackSpace:
        k.virt = VKEY_BACK;
        break;
    case XK_Tab:
        k.virt = VKEY_TAB;
        break;
    case XK_Return:
        k.virt = VKEY_RETURN;
        break;
    case XK_KP_Enter:
        k.virt = VKEY_ENTER;
        break;
    case XK_Escape:
        k.virt = VKEY_ESCAPE;
        break;
    case XK_End:
        k.virt = VKEY_END;
        break;
    case XK_Home:
        k.virt = VKEY_HOME;
        break;
    case XK_Left:
        k.virt = VKEY_LEFT;
        break;
    case XK_Up:
        k.virt = VKEY_UP;
        break;
    case XK_Right:
        k.virt = VKEY_RIGHT;
        break;
    case XK_Down:
        k.virt = VKEY_DOWN;
        break;
    case XK_Delete:
        k.virt = VKEY_DELETE;
        break;
    default:
        if (n == 1 && static_cast<unsigned char>(text[0]) >= 32)
            k.character = static_cast<unsigned char>(text[0]);
    }
    if (e.state & ShiftMask) k.modifier |= MODIFIER_SHIFT;
    if (e.state & Mod1Mask) k.modifier |= MODIFIER_ALTERNATE;
    if (e.state & ControlMask) k.modifier |= MODIFIER_CONTROL;
    return k;
}

class X11PlatformFrame : public IPlatformFrame {
public:
    X11PlatformFrame(CFrame* frame, Display* display, Window parent)
        : frame(frame), display(display) {
        int w = static_cast<int>(frame->getWidth()), h = static_cast<int>(frame->getHeight());
        int screen = DefaultScreen(display);
        XSetWindowAttributes attr{};
        attr.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          KeyPressMask | KeyReleaseMask | EnterWindowMask | LeaveWindowMask |
                          StructureNotifyMask | FocusChangeMask;
        attr.background_pixel = BlackPixel(display, screen);
        window = XCreateWindow(display, parent, 0, 0, w, h, 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWEventMask | CWBackPixel, &attr);
        drag = std::make_unique<XdndDragSource>(display, window);
        XMapWindow(display, window);
        surface = cairo_xlib_surface_create(display, window, DefaultVisual(display, screen), w, h);
        XFlush(display);
    }

    ~X11PlatformFrame() override {
        hidePopup();
        cairo_surface_destroy(surface);
        for (Cursor c : cursors)
            if (c) XFreeCursor(display, c);
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    void present(cairo_surface_t* backBuffer, const std::vector<CRect>& areas) override {
        cairo_t* cr = cairo_create(surface);
        for (const CRect& r : areas)
            cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
        cairo_clip(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, backBuffer, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        XFlush(display);
    }

    void setSize(int width, int height) override {
        XResizeWindow(display, window, width, height);
        cairo_xlib_surface_set_size(surface, width, height);
        XFlush(display);
    }

    void setCursor(CCursorType type) override {
        static const unsigned shapes[] = {XC_left_ptr,
                                          XC_watch,
                                          XC_sb_h_double_arrow,
                                          XC_sb_v_double_arrow,
                                          XC_fleur,
                                          XC_bottom_left_corner,
                                          XC_bottom_right_corner,
                                          XC_plus,
                                          XC_X_cursor,
                                          XC_hand2};
        size_t i = static_cast<size_t>(type);
        if (i >= std::size(shapes)) i = 0;
        if (!cursors[i]) cursors[i] = XCreateFontCursor(display, shapes[i]);
        XDefineCursor(display, window, cursors[i]);
        XFlush(display);
    }

    bool startFileDrag(const std::vector<std::string>& paths) override {
        return drag->start(paths, lastTime);
    }
    bool isDragging() const override { return drag->isActive(); }
    int connectionFd() const override { return ConnectionNumber(display); }

    unsigned long nativeWindow() const override { return window; }

    unsigned long topLevelWindow() const override {
        // The host's own top-level window is the one its window manager
        // marked with WM_STATE (the manager's frame around it is not);
        // without a manager, the window just below the root.
        const Atom wmState = XInternAtom(display, "WM_STATE", True);
        Window w = window, root = None, parent = None, *children = nullptr;
        unsigned count = 0;
        while (XQueryTree(display, w, &root, &parent, &children, &count)) {
            if (children) XFree(children);
            if (wmState != None && w != window) {
                Atom type = None;
                int format = 0;
                unsigned long items = 0, after = 0;
                unsigned char* data = nullptr;
                XGetWindowProperty(display, w, wmState, 0, 0, False, AnyPropertyType, &type,
                                   &format, &items, &after, &data);
                if (data) XFree(data);
                if (type != None) return w;
            }
            if (parent == root || parent == None) return w;
            w = parent;
        }
        return 0;
    }

    void processEvents() override {
        while (XPending(display)) {
            XEvent e;
            XNextEvent(display, &e);
            if (drag->handleEvent(e)) {
                releaseAfterDrag();
                continue;
            }
            if (popup && dispatchToPopup(e)) continue;
            dispatch(e);
            dragWasActive = drag->isActive();
        }
        drag->checkTimeout();
        releaseAfterDrag();
    }

    bool popupSpace(CRect& screen, CPoint& frameOrigin) override {
        const int s = DefaultScreen(display);
        screen = CRect(0, 0, DisplayWidth(display, s), DisplayHeight(display, s));
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        frameOrigin = CPoint(x, y);
        return true;
    }

    void showPopup(CPopupView* view) override {
        popup = view;
        updatePopup();
    }

    void updatePopup() override {
        if (!popup) return;
        const std::vector<CRect> areas = popup->popupAreas();
        while (popupWindows.size() > areas.size()) {
            cairo_surface_destroy(popupWindows.back().surface);
            XDestroyWindow(display, popupWindows.back().window);
            popupWindows.pop_back();
        }
        for (size_t i = 0; i < areas.size(); ++i) {
            const CRect& a = areas[i];
            const int w = std::max(1, static_cast<int>(a.getWidth()));
            const int h = std::max(1, static_cast<int>(a.getHeight()));
            if (i < popupWindows.size()) {
                if (popupWindows[i].box == a) continue;
                XMoveResizeWindow(display, popupWindows[i].window, static_cast<int>(a.left),
                                  static_cast<int>(a.top), w, h);
                cairo_xlib_surface_set_size(popupWindows[i].surface, w, h);
                popupWindows[i].box = a;
                continue;
            }
            popupWindows.push_back(createPopupWindow(a, w, h));
        }
        if (!grabbed && !popupWindows.empty()) {
            // Every click and key goes to the pop-up while it is open, so
            // that a click anywhere else closes it.
            const Window grab = popupWindows.front().window;
            const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
            XGrabPointer(display, grab, False, mask, GrabModeAsync, GrabModeAsync, None, None,
                         CurrentTime);
            XGrabKeyboard(display, grab, False, GrabModeAsync, GrabModeAsync, CurrentTime);
            grabbed = true;
        }
        for (PopupWindow& p : popupWindows) drawPopupWindow(p);
        popup->setDirty(false);
        XFlush(display);
    }

    void hidePopup() override {
        if (grabbed) {
            XUngrabPointer(display, CurrentTime);
            XUngrabKeyboard(display, CurrentTime);
            grabbed = false;
        }
        for (PopupWindow& p : popupWindows) {
            cairo_surface_destroy(p.surface);
            XDestroyWindow(display, p.window);
        }
        popupWindows.clear();
        popup = nullptr;
        XFlush(display);
    }

private:
    // The drag source takes the pointer, and with it the release of the
    // button that started the drag: the pressed view gets its release when
    // the drag has ended, where the pointer is then.
    void releaseAfterDrag() {
        if (!dragWasActive || drag->isActive()) return;
        dragWasActive = false;
        Window rootWindow, child;
        int rootX, rootY, x = 0, y = 0;
        unsigned mask = 0;
        XQueryPointer(display, window, &rootWindow, &child, &rootX, &rootY, &x, &y, &mask);
        CPoint p(x, y);
        frame->onMouseUp(p, buttonsOfX11State(mask) & ~kButtonMask);
    }

    struct PopupWindow {
        Window window;
        cairo_surface_t* surface;
        CRect box;
    };

    PopupWindow createPopupWindow(const CRect& a, int w, int h) {
        const int screen = DefaultScreen(display);
        XSetWindowAttributes attr{};
        attr.override_redirect = True; // placed where asked, no window manager frame
        attr.save_under = True;
        attr.event_mask =
            ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
        attr.background_pixel = BlackPixel(display, screen);
        Window wnd = XCreateWindow(
            display, DefaultRootWindow(display), static_cast<int>(a.left), static_cast<int>(a.top),
            w, h, 0, CopyFromParent, InputOutput, CopyFromParent,
            CWOverrideRedirect | CWSaveUnder | CWEventMask | CWBackPixel, &attr);
        XMapRaised(display, wnd);
        // The grab needs a viewable window.
        XSync(display, False);
        return PopupWindow{
            wnd, cairo_xlib_surface_create(display, wnd, DefaultVisual(display, screen), w, h), a};
    }

    void drawPopupWindow(PopupWindow& p) {
        CDrawContext context(p.surface);
        cairo_t* cr = context.getCairo();
        cairo_push_group(cr);
        context.translate(-p.box.left, -p.box.top);
        popup->draw(&context);
        cairo_pop_group_to_source(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_surface_flush(p.surface);
    }

    // While a pop-up is open it gets every pointer and key event, in
    // screen coordinates. Answers false for events it has no use for.
    bool dispatchToPopup(XEvent& e) {
        CPopupView* view = popup;
        switch (e.type) {
        case Expose:
            for (PopupWindow& p : popupWindows)
                if (p.window == e.xexpose.window) {
                    drawPopupWindow(p);
                    return true;
                }
            return false;
        case ButtonPress: {
            lastTime = e.xbutton.time;
            CPoint p(e.xbutton.x_root, e.xbutton.y_root);
            view->remember();
            if (e.xbutton.button == 4 || e.xbutton.button == 5)
                view->onWheel(p, e.xbutton.button == 4 ? 1.f : -1.f,
                              modifiersOfX11State(e.xbutton.state));
            else if (e.xbutton.button <= 3)
                view->onMouseDown(p, buttonBit(e.xbutton.button) |
                                         modifiersOfX11State(e.xbutton.state));
            view->forget();
            return true;
        }
        case ButtonRelease: {
            lastTime = e.xbutton.time;
            CPoint p(e.xbutton.x_root, e.xbutton.y_root);
            view->remember();
            view->onMouseUp(p, buttonsOfX11State(e.xbutton.state) & ~buttonBit(e.xbutton.button));
            view->forget();
            return true;
        }
        case MotionNotify: {
            lastTime = e.xmotion.time;
            CPoint p(e.xmotion.x_root, e.xmotion.y_root);
            view->remember();
            view->onMouseMoved(p, buttonsOfX11State(e.xmotion.state));
            view->forget();
            return true;
        }
        case KeyPress: {
            lastTime = e.xkey.time;
            VstKeyCode k = keyCodeOf(e.xkey);
            view->remember();
            view->onKeyDown(k);
            view->forget();
            return true;
        }
        case EnterNotify:
        case LeaveNotify:
            return true;
        default:
            return false;
        }
    }

    void dispatch(XEvent& e) {
        switch (e.type) {
        case Expose:
            frame->invalidRect(CRect(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                                     e.xexpose.y + e.xexpose.height));
            break;
        case ButtonPress: {
            lastTime = e.xbutton.time;
            CPoint p(e.xbutton.x, e.xbutton.y);
            int32_t mods = modifiersOfX11State(e.xbutton.state);
            if (e.xbutton.button >= 4 && e.xbutton.button <= 7) {
                float d = e.xbutton.button == 4 ? 1.f : e.xbutton.button == 5 ? -1.f : 0.f;
                if (d != 0) frame->onWheel(p, d, mods);
                break;
            }
            int32_t buttons = buttonBit(e.xbutton.button) | mods;
            bool dbl = e.xbutton.button == lastButton &&
                       e.xbutton.time - lastPressTime < kDoubleClickTime &&
                       std::abs(e.xbutton.x - lastPressX) <= kDoubleClickDistance &&
                       std::abs(e.xbutton.y - lastPressY) <= kDoubleClickDistance;
            if (dbl) buttons |= kDoubleClick;
            // A third press starts counting anew.
            lastPressTime = dbl ? 0 : e.xbutton.time;
            lastButton = e.xbutton.button;
            lastPressX = e.xbutton.x;
            lastPressY = e.xbutton.y;
            XSetInputFocus(display, window, RevertToParent, e.xbutton.time);
            frame->onMouseDown(p, buttons);
            break;
        }
        case ButtonRelease: {
            lastTime = e.xbutton.time;
            if (e.xbutton.button >= 4) break;
            CPoint p(e.xbutton.x, e.xbutton.y);
            // The state holds the buttons before the release.
            int32_t buttons = buttonsOfX11State(e.xbutton.state) & ~buttonBit(e.xbutton.button);
            frame->onMouseUp(p, buttons);
            break;
        }
        case MotionNotify: {
            lastTime = e.xmotion.time;
            CPoint p(e.xmotion.x, e.xmotion.y);
            frame->onMouseMoved(p, buttonsOfX11State(e.xmotion.state));
            break;
        }
        case EnterNotify: {
            // Entering is seen as a move: the views under the pointer learn
            // of it through their enter handlers.
            CPoint p(e.xcrossing.x, e.xcrossing.y);
            frame->onMouseMoved(p, buttonsOfX11State(e.xcrossing.state));
            break;
        }
        case LeaveNotify: {
            CPoint p(e.xcrossing.x, e.xcrossing.y);
            frame->onMouseExited(p, buttonsOfX11State(e.xcrossing.state));
            break;
        }
        case KeyRelease: {
            // The state is the one before the event: drop the key let go.
            int32_t mods = modifiersOfX11State(e.xkey.state) & ~modifierOfKey(e.xkey);
            frame->onModifiersChanged(mods);
            break;
        }
        case KeyPress: {
            lastTime = e.xkey.time;
            frame->onModifiersChanged(modifiersOfX11State(e.xkey.state) | modifierOfKey(e.xkey));
            VstKeyCode k = keyCodeOf(e.xkey);
            frame->onKeyDown(k);
            break;
        }
        default:
            break;
        }
    }

    CFrame* frame;
    Display* display;
    Window window = 0;
    cairo_surface_t* surface = nullptr;
    Cursor cursors[10] = {};
    std::unique_ptr<XdndDragSource> drag;
    CPopupView* popup = nullptr;
    std::vector<PopupWindow> popupWindows;
    bool grabbed = false;
    Time lastTime = CurrentTime;
    bool dragWasActive = false;
    Time lastPressTime = 0;
    unsigned lastButton = 0;
    int lastPressX = 0, lastPressY = 0;
};
} // namespace

int32_t modifiersOfX11State(unsigned state) {
    int32_t m = 0;
    if (state & ShiftMask) m |= kShift;
    if (state & ControlMask) m |= kControl;
    if (state & (Mod1Mask | Mod4Mask)) m |= kAlt;
    return m;
}

int32_t buttonsOfX11State(unsigned state) {
    int32_t b = modifiersOfX11State(state);
    if (state & Button1Mask) b |= kLButton;
    if (state & Button2Mask) b |= kMButton;
    if (state & Button3Mask) b |= kRButton;
    return b;
}

std::unique_ptr<IPlatformFrame> createX11PlatformFrame(CFrame* frame, void* parentWindow) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    Window parent =
        parentWindow ? reinterpret_cast<Window>(parentWindow) : DefaultRootWindow(display);
    return std::make_unique<X11PlatformFrame>(frame, display, parent);
}
