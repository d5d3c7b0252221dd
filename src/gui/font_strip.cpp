#include "font_strip.h"

#include "bitmap_catalogue.h"
#include "cbitmap.h"
#include "cdraw_context.h"
#include "scale_rule.h"

FontStrip::FontStrip(double scale)
    : scale(scale), strip(new CBitmap(bitmapIdAtScale(1133, scale))) {
    for (int g = 0; g <= kGlyphs; ++g) columns[g] = scaled(kFontStripColumns[g], scale);
}

FontStrip::~FontStrip() {
    strip->forget();
}

CCoord FontStrip::getHeight() const {
    return scaled(kDesignHeight, scale);
}

void FontStrip::drawGlyph(CDrawContext* context, int g, CCoord x, CCoord top, CCoord width) const {
    if (g < 0 || g >= kGlyphs || width <= 0) return;
    context->drawBitmap(strip, CRect(x, top, x + width, top + getHeight()), CPoint(columns[g], 0));
}
