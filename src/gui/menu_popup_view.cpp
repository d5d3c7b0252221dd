#include "menu_popup_view.h"

#include "cdraw_context.h"
#include "cframe.h"
#include "coption_menu.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
const CColor kMenuBack{28, 30, 36, 250};
const CColor kMenuFrame{120, 128, 145, 255};
const CColor kMenuText{235, 238, 245, 255};
const CColor kMenuDim{130, 136, 150, 255};
const CColor kMenuHover{40, 110, 200, 255};
// While the pointer rests on an arrow, the column moves one entry per tick.
constexpr auto kScrollTick = std::chrono::milliseconds(45);

CFontDesc menuFont(double scale) {
    return CFontDesc{"Liberation Sans", 12 * scale, kNormalFace};
}

void setSource(cairo_t* cr, CColor c) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}
} // namespace

CCoord MenuPopupView::Level::scrollLimit() const {
    if (arrowHeight <= 0) return 0;
    return std::max<CCoord>(0, content - (box.getHeight() - 2 * pad - 2 * arrowHeight));
}

MenuPopupView::MenuPopupView(const CRect& bounds, COptionMenu* root, const CRect& anchor,
                             double scale)
    : CPopupView(bounds), root(root), scale(scale), entryH(std::round(18 * scale)),
      separatorH(std::round(7 * scale)) {
    // The menu may leave the window while its pop-up is open.
    root->remember();
    openLevel(root, anchor, false);
    IdleClients::add(this);
}

MenuPopupView::~MenuPopupView() {
    IdleClients::remove(this);
    root->forget();
}

CCoord MenuPopupView::heightOf(int32_t flags) const {
    return (flags & CMenuItem::kSeparator) ? separatorH : entryH;
}

void MenuPopupView::openLevel(COptionMenu* menu, const CRect& opener, bool beside) {
    Level level{menu, CRect()};
    level.pad = std::round(2 * scale);
    CCoord width = std::round(60 * scale);
    {
        cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        CDrawContext context(scratch);
        context.setFont(menuFont(scale));
        for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
            const CMenuItem& e = *menu->getEntry(i);
            width = std::max(width, std::ceil(context.getStringWidth(e.title)) + 40 * scale);
            level.content += heightOf(e.flags);
        }
        cairo_surface_destroy(scratch);
    }
    CCoord height = level.content + 2 * level.pad;
    if (height > size.getHeight()) {
        // Taller than the space: the column scrolls between two arrow rows.
        height = size.getHeight();
        level.arrowHeight = entryH;
    }
    // A submenu opens beside its entry, to the right when there is room,
    // else to the left of its parent; the main column opens below its
    // button, or is moved up as far as it must.
    CPoint topLeft = beside ? CPoint(opener.right - level.pad, opener.top - level.pad)
                            : CPoint(opener.left, opener.bottom);
    CRect box(topLeft, width, height);
    if (box.right > size.right) {
        if (beside)
            box.offset(levels.back().box.left + level.pad - box.right, 0);
        else
            box.offset(size.right - box.right, 0);
    }
    if (box.bottom > size.bottom) box.offset(0, size.bottom - box.bottom);
    if (box.left < size.left) box.offset(size.left - box.left, 0);
    if (box.top < size.top) box.offset(0, size.top - box.top);
    level.box = box;
    levels.push_back(level);
    setDirty();
}

CRect MenuPopupView::entryArea(const Level& l) const {
    CRect r = l.box;
    r.inset(0, l.pad + l.arrowHeight);
    return r;
}

CRect MenuPopupView::entryRect(size_t level, int32_t index) const {
    const Level& l = levels[level];
    CCoord y = entryArea(l).top - l.scroll;
    for (int32_t i = 0; i < index; ++i) y += heightOf(l.menu->getEntry(i)->flags);
    return CRect(l.box.left, y, l.box.right, y + heightOf(l.menu->getEntry(index)->flags));
}

std::vector<CRect> MenuPopupView::popupAreas() const {
    std::vector<CRect> areas;
    for (const Level& l : levels) areas.push_back(l.box);
    return areas;
}

bool MenuPopupView::hitTest(const CPoint& where, size_t& level, int32_t& index) const {
    for (size_t l = levels.size(); l-- > 0;) {
        if (!levels[l].box.pointInside(where)) continue;
        level = l;
        index = -1;
        if (!entryArea(levels[l]).pointInside(where)) return true; // an arrow or the border
        for (int32_t i = 0; i < levels[l].menu->getNbEntries(); ++i)
            if (entryRect(l, i).pointInside(where)) {
                index = i;
                break;
            }
        return true;
    }
    return false;
}

void MenuPopupView::draw(CDrawContext* context) {
    cairo_t* cr = context->getCairo();
    const CCoord inset = std::round(2 * scale);
    for (size_t l = 0; l < levels.size(); ++l) {
        const Level& lv = levels[l];
        context->setFillColor(kMenuBack);
        context->setFrameColor(kMenuFrame);
        context->setLineWidth(std::max(1.0, std::floor(scale)));
        context->drawRect(lv.box, kDrawFilledAndStroked);
        context->setFont(menuFont(scale));
        const CRect area = entryArea(lv);
        context->saveState();
        context->clipRect(area);
        for (int32_t i = 0; i < lv.menu->getNbEntries(); ++i) {
            CRect r = entryRect(l, i);
            if (r.bottom <= area.top) continue;
            if (r.top >= area.bottom) break;
            const CMenuItem& e = *lv.menu->getEntry(i);
            if (e.isSeparator()) {
                context->setFrameColor(kMenuDim);
                CCoord y = std::floor(r.top + r.getHeight() / 2);
                context->drawLine(CPoint(r.left + 6 * scale, y), CPoint(r.right - 7 * scale, y));
                continue;
            }
            bool open = l + 1 < levels.size() && levels[l + 1].menu == e.submenu && e.submenu;
            if ((i == lv.hovered && e.isSelectable()) || open) {
                CRect h = r;
                h.inset(inset, 0);
                context->setFillColor(kMenuHover);
                context->drawRect(h, kDrawFilled);
            }
            context->setFontColor(e.isSelectable() && !(e.flags & CMenuItem::kTitle) ? kMenuText
                                                                                     : kMenuDim);
            const CCoord my = r.top + r.getHeight() / 2;
            if (e.isChecked()) {
                // The check mark is drawn, not taken from a font that may lack it.
                cairo_move_to(cr, r.left + 6 * scale, my);
                cairo_line_to(cr, r.left + 9 * scale, my + 4 * scale);
                cairo_line_to(cr, r.left + 15 * scale, my - 5 * scale);
                setSource(cr, kMenuText);
                cairo_set_line_width(cr, 2 * scale);
                cairo_stroke(cr);
            }
            context->drawString(e.title,
                                CRect(r.left + 20 * scale, r.top, r.right - 14 * scale, r.bottom),
                                kLeftText);
            if (e.submenu) {
                // A small right-pointing triangle marks a submenu.
                setSource(cr, kMenuText);
                cairo_move_to(cr, r.right - 11 * scale, my - 4 * scale);
                cairo_line_to(cr, r.right - 6 * scale, my);
                cairo_line_to(cr, r.right - 11 * scale, my + 4 * scale);
                cairo_close_path(cr);
                cairo_fill(cr);
            }
        }
        context->restoreState();
        if (lv.scrollable()) {
            // Arrows at both ends, dimmed when that end is reached.
            const CCoord cx = (lv.box.left + lv.box.right) / 2, a = lv.arrowHeight, w = 5 * scale;
            const CCoord top = lv.box.top + lv.pad, bottom = lv.box.bottom - lv.pad;
            setSource(cr, lv.scroll > 0 ? kMenuText : kMenuDim);
            cairo_move_to(cr, cx - w, top + a * 0.7);
            cairo_line_to(cr, cx + w, top + a * 0.7);
            cairo_line_to(cr, cx, top + a * 0.3);
            cairo_close_path(cr);
            cairo_fill(cr);
            setSource(cr, lv.scroll < lv.scrollLimit() ? kMenuText : kMenuDim);
            cairo_move_to(cr, cx - w, bottom - a * 0.7);
            cairo_line_to(cr, cx + w, bottom - a * 0.7);
            cairo_line_to(cr, cx, bottom - a * 0.3);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
    }
    setDirty(false);
}

void MenuPopupView::scrollBy(size_t level, CCoord delta) {
    Level& l = levels[level];
    CCoord next = std::clamp(l.scroll + delta, CCoord(0), l.scrollLimit());
    if (next == l.scroll) return;
    l.scroll = next;
    // A submenu would no longer stand beside its entry.
    levels.resize(level + 1);
    setDirty();
}

void MenuPopupView::showEntry(size_t level, int32_t index) {
    if (index < 0 || !levels[level].scrollable()) return;
    const CRect area = entryArea(levels[level]);
    const CRect r = entryRect(level, index);
    if (r.top < area.top) scrollBy(level, r.top - area.top);
    if (r.bottom > area.bottom) scrollBy(level, r.bottom - area.bottom);
}

void MenuPopupView::onIdle(IdleClock::time_point now) {
    if (now < nextScroll) return;
    nextScroll = now + kScrollTick;
    for (size_t l = 0; l < levels.size(); ++l)
        if (levels[l].scrollStep) {
            scrollBy(l, levels[l].scrollStep * entryH);
            return;
        }
}

CMouseEventResult MenuPopupView::onMouseMoved(CPoint& where, const int32_t&) {
    size_t level;
    int32_t index;
    for (Level& l : levels) l.scrollStep = 0;
    if (!hitTest(where, level, index)) return kMouseEventHandled;
    Level& lv = levels[level];
    if (index < 0 && lv.scrollable()) {
        const CRect area = entryArea(lv);
        lv.scrollStep = where.y < area.top ? -1 : where.y >= area.bottom ? 1 : 0;
    }
    if (lv.hovered != index) {
        lv.hovered = index;
        levels.resize(level + 1);
        COptionMenu* sub = index >= 0 ? lv.menu->getSubMenu(index) : nullptr;
        if (sub && sub->getNbEntries() > 0) openLevel(sub, entryRect(level, index), true);
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

bool MenuPopupView::onWheel(const CPoint& where, float distance, const int32_t&) {
    size_t level = levels.size() - 1;
    int32_t index;
    hitTest(where, level, index);
    scrollBy(level, -distance * 3 * entryH);
    return true;
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
        showEntry(levels.size() - 1, i);
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
            openLevel(e.submenu, entryRect(levels.size() - 1, level.hovered), true);
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
    if (f) f->closePopup();
    r->popupResult(chosenMenu, index);
    r->forget();
}
