// Drawing on a Cairo surface: the frame's back buffer, an off-screen
// bitmap, or (through the back buffer) an X11 window. Views draw in their
// parent's coordinates; containers shift the origin for their children.
#pragma once

#include "ccolor.h"
#include "cfont.h"
#include "geometry.h"

#include <cairo.h>
#include <string_view>

class CBitmap;

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

class CDrawContext {
public:
    explicit CDrawContext(cairo_surface_t* target);
    explicit CDrawContext(CBitmap* offscreen);
    ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    void setFrameColor(CColor c) { frameColor = c; }
    void setFillColor(CColor c) { fillColor = c; }
    void setFontColor(CColor c) { fontColor = c; }
    void setFont(const CFontDesc& f) { font = f; }
    void setLineWidth(CCoord w) { lineWidth = w; }
    CColor getFrameColor() const { return frameColor; }
    CColor getFillColor() const { return fillColor; }

    void drawLine(const CPoint& from, const CPoint& to);
    void drawRect(const CRect& r, CDrawStyle style = kDrawStroked);
    void drawEllipse(const CRect& r, CDrawStyle style = kDrawStroked);
    // Draws the part of bitmap that starts at offset into dest.
    void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = {},
                    float alpha = 1.f);
    void drawString(std::string_view text, const CRect& r, CHoriTxtAlign align = kCenterText);
    CCoord getStringWidth(std::string_view text);

    // Clip rectangles are in the current coordinates and only ever narrow
    // the clip; saveState/restoreState bracket them.
    void clipRect(const CRect& r);
    void saveState();
    void restoreState();
    void translate(CCoord dx, CCoord dy);

    cairo_t* getCairo() const { return cr; }

private:
    void applyColor(CColor c);
    void applyFont();

    cairo_t* cr;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kWhiteCColor;
    CFontDesc font = kNormalFont;
    CCoord lineWidth = 1;
};
