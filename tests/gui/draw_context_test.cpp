#include "cbitmap.h"
#include "cdraw_context.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <string>

namespace {
CColor pixel(CBitmap* b, int x, int y) {
    cairo_surface_flush(b->getSurface());
    const unsigned char* d = cairo_image_surface_get_data(b->getSurface());
    uint32_t p = *reinterpret_cast<const uint32_t*>(
        d + y * cairo_image_surface_get_stride(b->getSurface()) + x * 4);
    return CColor{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)};
}
} // namespace

TEST(DrawContext, CourierNewResolvesToAMonospacedFont) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Courier New"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    ASSERT_NE(match, nullptr);
    FcChar8* family = nullptr;
    FcPatternGetString(match, FC_FAMILY, 0, &family);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(family)), "Liberation Mono");
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);

    CBitmap* target = new CBitmap(10, 10);
    {
        CDrawContext context(target);
        context.setFont(CFontDesc{"Courier New", 12, kNormalFace});
        EXPECT_DOUBLE_EQ(context.getStringWidth("iiii"), context.getStringWidth("MMMM"));
        context.setFont(kNormalFont);
        EXPECT_LT(context.getStringWidth("iiii"), context.getStringWidth("MMMM"));
    }
    target->forget();
}

TEST(DrawContext, BitmapsDrawFromTheirOffsetWithAlphaInsideTheClip) {
    CBitmap* source = new CBitmap(4, 8); // top half red, bottom half blue
    {
        CDrawContext c(source);
        c.setFillColor(CColor{255, 0, 0, 255});
        c.drawRect(CRect(0, 0, 4, 4), kDrawFilled);
        c.setFillColor(CColor{0, 0, 255, 255});
        c.drawRect(CRect(0, 4, 4, 8), kDrawFilled);
    }
    CBitmap* target = new CBitmap(20, 20);
    {
        CDrawContext c(target);
        c.drawBitmap(source, CRect(0, 0, 4, 4));
        c.drawBitmap(source, CRect(10, 0, 14, 4), CPoint(0, 4));
        c.drawBitmap(source, CRect(0, 10, 4, 14), CPoint(0, 4), 0.5f);
        c.saveState();
        c.clipRect(CRect(10, 10, 12, 20));
        c.setFillColor(kWhiteCColor);
        c.drawRect(CRect(10, 10, 20, 20), kDrawFilled);
        c.restoreState();
    }
    EXPECT_EQ(pixel(target, 1, 1), (CColor{255, 0, 0, 255}));
    EXPECT_EQ(pixel(target, 11, 1), (CColor{0, 0, 255, 255})) << "the offset picks the lower state";
    EXPECT_EQ(pixel(target, 5, 1).alpha, 0) << "nothing outside the destination";
    EXPECT_NEAR(pixel(target, 1, 11).alpha, 128, 1);
    EXPECT_EQ(pixel(target, 11, 15), kWhiteCColor);
    EXPECT_EQ(pixel(target, 13, 15).alpha, 0) << "the clip holds";
    source->forget();
    target->forget();
}

TEST(DrawContext, StrokedRectanglesStayInsideTheirBounds) {
    CBitmap* target = new CBitmap(10, 10);
    {
        CDrawContext c(target);
        c.setFrameColor(kGreenCColor);
        c.setLineWidth(1);
        c.drawRect(CRect(2, 2, 8, 8), kDrawStroked);
    }
    EXPECT_EQ(pixel(target, 2, 2), kGreenCColor);
    EXPECT_EQ(pixel(target, 7, 7), kGreenCColor);
    EXPECT_EQ(pixel(target, 8, 8).alpha, 0);
    EXPECT_EQ(pixel(target, 5, 5).alpha, 0) << "stroked, not filled";
    target->forget();
}
