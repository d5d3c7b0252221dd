#include "cdraw_context.h"

#include "cbitmap.h"

#include <string>

CDrawContext::CDrawContext(cairo_surface_t* target) : cr(cairo_create(target)) {}

CDrawContext::CDrawContext(CBitmap* offscreen) : cr(cairo_create(offscreen->getSurface())) {}

CDrawContext::~CDrawContext() {
    cairo_destroy(cr);
}

void CDrawContext::applyColor(CColor c) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CDrawContext::applyFont() {
    cairo_select_font_face(
        cr, font.name.c_str(),
        (font.style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        (font.style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.size);
}

void CDrawContext::drawLine(const CPoint& a, const CPoint& b) {
    applyColor(frameColor);
    cairo_set_line_width(cr, lineWidth);
    // Odd line widths land on pixel centres so that one-pixel lines stay sharp.
    double shift = (static_cast<int>(lineWidth) % 2) ? 0.5 : 0.0;
    cairo_move_to(cr, a.x + shift, a.y + shift);
    cairo_line_to(cr, b.x + shift, b.y + shift);
    cairo_stroke(cr);
}

void CDrawContext::drawRect(const CRect& r, CDrawStyle style) {
    if (style != kDrawStroked) {
        applyColor(fillColor);
        cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
        cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        applyColor(frameColor);
        cairo_set_line_width(cr, lineWidth);
        double h = lineWidth / 2;
        cairo_rectangle(cr, r.left + h, r.top + h, r.getWidth() - lineWidth,
                        r.getHeight() - lineWidth);
        cairo_stroke(cr);
    }
}

void CDrawContext::drawEllipse(const CRect& r, CDrawStyle style) {
    cairo_save(cr);
    cairo_translate(cr, r.left + r.getWidth() / 2, r.top + r.getHeight() / 2);
    cairo_scale(cr, r.getWidth() / 2, r.getHeight() / 2);
    cairo_arc(cr, 0, 0, 1, 0, 6.283185307179586);
    cairo_restore(cr);
    if (style != kDrawStroked) {
        applyColor(fillColor);
        style == kDrawFilled ? cairo_fill(cr) : cairo_fill_preserve(cr);
    }
    if (style != kDrawFilled) {
        applyColor(frameColor);
        cairo_set_line_width(cr, lineWidth);
        cairo_stroke(cr);
    }
}

void CDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset,
                              float alpha) {
    if (!bitmap || !bitmap->isLoaded() || dest.isEmpty()) return;
    cairo_save(cr);
    cairo_rectangle(cr, dest.left, dest.top, dest.getWidth(), dest.getHeight());
    cairo_clip(cr);
    cairo_set_source_surface(cr, bitmap->getSurface(), dest.left - offset.x, dest.top - offset.y);
    // Bitmaps are drawn pixel for pixel; no smoothing between neighbours.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    if (alpha >= 1.f)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void CDrawContext::drawString(std::string_view text, const CRect& r, CHoriTxtAlign align) {
    if (text.empty()) return;
    std::string s(text);
    applyFont();
    cairo_text_extents_t ext;
    cairo_text_extents(cr, s.c_str(), &ext);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    double x = r.left;
    if (align == kCenterText)
        x = r.left + (r.getWidth() - ext.x_advance) / 2;
    else if (align == kRightText)
        x = r.right - ext.x_advance;
    double y = r.top + (r.getHeight() + fe.ascent - fe.descent) / 2;
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
    cairo_clip(cr);
    applyColor(fontColor);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
    cairo_restore(cr);
}

CCoord CDrawContext::getStringWidth(std::string_view text) {
    std::string s(text);
    applyFont();
    cairo_text_extents_t ext;
    cairo_text_extents(cr, s.c_str(), &ext);
    return ext.x_advance;
}

void CDrawContext::clipRect(const CRect& r) {
    cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
    cairo_clip(cr);
}

void CDrawContext::saveState() {
    cairo_save(cr);
}
void CDrawContext::restoreState() {
    cairo_restore(cr);
}
void CDrawContext::translate(CCoord dx, CCoord dy) {
    cairo_translate(cr, dx, dy);
}
