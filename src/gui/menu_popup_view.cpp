#include "menu_popup_view.h"

#include "cdraw_context.h"
#include "cframe.h"
#include "coption_menu.h"

#include <algorithm>

namespace {
const CFontDesc kMenuFont{"Liberation Sans", 12, kNormalFace};
const CColor kMenuBack{28, 30, 36, 250};
const CColor kMenuFrame{120, 128, 145, 255};
const CColor kMenuText{235, 238, 245, 255};
const CColor kMenuDim{130, 136, 150, 255};
const CColor kMenuHover{40, 110, 200, 255};

CCoord textWidth(const std::string& text) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    CCoord width;
    {
        CDrawContext context(scratch);
        context.setFont(kMenuFont);
        width = context.getStringWidth(text);
    }
    cairo_surface_destroy(scratch);
    return width;
}

CCoord entryHeight(const CMenuItem& e) {
    return e.isSeparator() ? MenuPopupView::kSeparatorHeight : MenuPopupView::kEntryHeight;
}
} // namespace

MenuPopupView::MenuPopupView(const CRect& frameSize, COptionMenu* root, const CRect& anchor)
    : CView(frameSize), root(root) {
    openLevel(root, CPoint(anchor.left, anchor.bottom));
}

void MenuPopupView::openLevel(COptionMenu* menu, CPoint topLeft) {
    CCoord width = 60, height = 4;
    for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
        const CMenuItem& e = *menu->getEntry(i);
        width = std::max(width, textWidth(e.title) + 40);
        height += entryHeight(e);
    }
    CRect box(topLeft, width, height);
    // Keep the box inside the frame: shift it left or up when it would
    // leave the window.
    if (box.right > size.right) box.offset(size.right - box.right, 0);
    if (box.bottom > size.bottom) box.offset(0, size.bottom - box.bottom);
    if (box.left < 0) box.offset(-box.left, 0);
    if (box.top < 0) box.offset(0, -box.top);
    levels.push_back(Level{menu, box});
    setDirty();
}

CRect MenuPopupView::entryRect(size_t level, int32_t index) const {
    const Level& l = levels[level];
    CCoord y = l.box.top + 2;
    for (int32_t i = 0; i < index; ++i) y += entryHeight(*l.menu->getEntry(i));
    return CRect(l.box.left, y, l.box.right, y + entryHeight(*l.menu->getEntry(index)));
}

bool MenuPopupView::hitTest(const CPoint& where, size_t& level, int32_t& index) const {
    for (size_t l = levels.size(); l-- > 0;) {
        if (!levels[l].box.pointInside(where)) continue;
        for (int32_t i = 0; i < levels[l].menu->getNbEntries(); ++i)
            if (entryRect(l, i).pointInside(where)) {
                level = l;
                index = i;
                return true;
            }
        level = l;
        index = -1;
        return true;
    }
    return false;
}

void MenuPopupView::draw(CDrawContext* context) {
    for (size_t l = 0; l < levels.size(); ++l) {
        const Level& lv = levels[l];
        context->setFillColor(kMenuBack);
        context->setFrameColor(kMenuFrame);
        context->setLineWidth(1);
        context->drawRect(lv.box, kDrawFilledAndStroked);
        context->setFont(kMenuFont);
        for (int32_t i = 0; i < lv.menu->getNbEntries(); ++i) {
            const CMenuItem& e = *lv.menu->getEntry(i);
            CRect r = entryRect(l, i);
            if (e.isSeparator()) {
                context->setFrameColor(kMenuDim);
                CCoord y = r.top + r.getHeight() / 2;
                context->drawLine(CPoint(r.left + 6, y), CPoint(r.right - 7, y));
                continue;
            }
            bool open = l + 1 < levels.size() && levels[l + 1].menu == e.submenu && e.submenu;
            if ((i == lv.hovered && e.isSelectable()) || open) {
                CRect h = r;
                h.inset(2, 0);
                context->setFillColor(kMenuHover);
                context->drawRect(h, kDrawFilled);
            }
            context->setFontColor(e.isSelectable() && !(e.flags & CMenuItem::kTitle) ? kMenuText
                                                                                     : kMenuDim);
            if (e.isChecked()) {
                // The check mark is drawn, not taken from a font that may lack it.
                context->setFrameColor(kMenuText);
                context->setLineWidth(2);
                cairo_t* cr = context->getCairo();
                CCoord my = r.top + r.getHeight() / 2;
                cairo_move_to(cr, r.left + 6, my);
                cairo_line_to(cr, r.left + 9, my + 4);
                cairo_line_to(cr, r.left + 15, my - 5);
                cairo_set_source_rgba(cr, kMenuText.red / 255.0, kMenuText.green / 255.0,
                                      kMenuText.blue / 255.0, 1);
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            }
            context->drawString(e.title, CRect(r.left + 20, r.top, r.right - 14, r.bottom),
                                kLeftText);
            if (e.submenu) {
                // A small right-pointing triangle marks a submenu.
                cairo_t* cr = context->getCairo();
                cairo_set_source_rgba(cr, kMenuText.red / 255.0, kMenuText.green / 255.0,
                                      kMenuText.blue / 255.0, 1);
                cairo_move_to(cr, r.right - 11, r.top + 5);
                cairo_line_to(cr, r.right - 6, r.top + r.getHeight() / 2);
                cairo_line_to(cr, r.right - 11, r.bottom - 5);
                cairo_close_path(cr);
                cairo_fill(cr);
            }
        }
    }
    setDirty(false);
}

CMouseEventResult MenuPopupView::onMouseMoved(CPoint& where, const int32_t&) {
    size_t level;
    int32_t index;
    if (!hitTest(where, level, index)) return kMouseEventHandled;
    if (levels[level].hovered != index) {
        levels[level].hovered = index;
        levels.resize(level + 1);
        COptionMenu* sub = index >= 0 ? levels[level].menu->getSubMenu(index) : nullptr;
        if (sub && sub->getNbEntries() > 0) {
            CRect r = entryRect(level, index);
            openLevel(sub, CPoint(r.right - 2, r.top - 2));
        }
        setDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult MenuPopupView::onMouseDown(CPoint& where, const int32_t& buttons) {
    size_t level;
    int32_t index;
    if (!hitTest(where, level, index)) {
        close(nullptr, -1);
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    onMouseMoved(where, buttons);
    if (index < 0) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    const CMenuItem& e = *levels[level].menu->getEntry(index);
    if (e.submenu || !e.isSelectable()) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    close(levels[level].menu, index);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult MenuPopupView::onMouseUp(CPoint&, const int32_t&) {
    return kMouseEventHandled;
}

int32_t MenuPopupView::onKeyDown(VstKeyCode& key) {
    Level& level = levels.back();
    const int32_t n = level.menu->getNbEntries();
    auto step = [&](int32_t direction) {
        // Moves to the next selectable entry, wrapping, skipping separators.
        int32_t i = level.hovered;
        for (int32_t tries = 0; tries < n; ++tries) {
            i = (i + direction + n) % n;
            if (level.menu->getEntry(i)->isSelectable()) break;
        }
        level.hovered = i;
    };
    switch (key.virt) {
    case VKEY_ESCAPE:
        close(nullptr, -1);
        return 1;
    case VKEY_DOWN:
        step(+1);
        break;
    case VKEY_UP:
        if (level.hovered < 0) level.hovered = 0;
        step(-1);
        break;
    case VKEY_LEFT:
        if (levels.size() > 1) levels.pop_back();
        break;
    case VKEY_RIGHT:
    case VKEY_RETURN:
    case VKEY_ENTER: {
        if (level.hovered < 0) return 1;
        const CMenuItem& e = *level.menu->getEntry(level.hovered);
        if (e.submenu && e.submenu->getNbEntries() > 0) {
            CRect r = entryRect(levels.size() - 1, level.hovered);
            openLevel(e.submenu, CPoint(r.right - 2, r.top - 2));
            levels.back().hovered = -1;
            VstKeyCode down;
            down.virt = VKEY_DOWN;
            return onKeyDown(down);
        }
        if (key.virt != VKEY_RIGHT && e.isSelectable()) {
            close(level.menu, level.hovered);
            return 1;
        }
        break;
    }
    default:
        return -1;
    }
    setDirty();
    return 1;
}

void MenuPopupView::close(COptionMenu* chosenMenu, int32_t index) {
    if (closing) return;
    closing = true;
    COptionMenu* r = root;
    r->remember();
    CFrame* f = frame;
    // The frame releases this view; the result goes out after that, so the
    // listener may open another menu.
    if (f) f->setModalView(nullptr);
    r->popupResult(chosenMenu, index);
    r->forget();
}
