// The bitmap font of the value displays and the step editor: one strip of
// glyphs (bitmap 1133, 21133 at 200 %), glyph g standing for character
// 32 + g and spanning the columns kFontStripColumns[g] to [g + 1], each
// taken times the scale to the nearest pixel. How the pen moves between
// glyphs is the drawing control's own business.
#pragma once

#include "geometry.h"

class CBitmap;
class CDrawContext;

class FontStrip {
public:
    static constexpr int kGlyphs = 95;
    static constexpr int kDesignHeight = 12;

    explicit FontStrip(double scale);
    ~FontStrip();
    FontStrip(const FontStrip&) = delete;
    FontStrip& operator=(const FontStrip&) = delete;

    double getScale() const { return scale; }
    CCoord getHeight() const;
    // The left column of glyph g (0..95: entry 95 is the strip's right end).
    CCoord column(int g) const { return columns[g]; }
    CCoord glyphWidth(int g) const { return columns[g + 1] - columns[g]; }
    // Copies width pixels of glyph g (0..94), from its left column, so that
    // its top-left lands at (x, top).
    void drawGlyph(CDrawContext* context, int g, CCoord x, CCoord top, CCoord width) const;

private:
    double scale;
    CBitmap* strip;
    CCoord columns[kGlyphs + 1];
};
