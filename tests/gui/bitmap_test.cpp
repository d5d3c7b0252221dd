#include "bitmap_catalogue.h"
#include "bitmap_resources.h"
#include "cbitmap.h"

#include <gtest/gtest.h>

TEST(Bitmaps, EveryCatalogueBitmapLoadsAtBothScalesWithItsSizeAndWholeStates) {
    for (const BitmapEntry& entry : kBitmapCatalogue) {
        SCOPED_TRACE(entry.id);
        CBitmap* small = new CBitmap(entry.id);
        CBitmap* large = new CBitmap(entry.id + kDoubleSizeIdOffset);
        ASSERT_TRUE(small->isLoaded());
        ASSERT_TRUE(large->isLoaded());
        EXPECT_EQ(small->getWidth(), entry.width);
        EXPECT_EQ(small->getHeight(), entry.height);
        EXPECT_EQ(large->getWidth(), 2 * entry.width);
        EXPECT_EQ(large->getHeight(), 2 * entry.height);
        EXPECT_EQ(entry.height % entry.states, 0) << "states must stack in whole rows";
        small->forget();
        large->forget();
    }
}

TEST(Bitmaps, TheEditorsSizesAreThoseItsLayoutNeeds) {
    auto find = [](int id) -> const BitmapEntry* {
        for (const BitmapEntry& s : kBitmapCatalogue)
            if (s.id == id) return &s;
        return nullptr;
    };
    ASSERT_NE(find(128), nullptr);
    EXPECT_EQ(find(128)->width, 593);
    EXPECT_EQ(find(129)->height / find(129)->states, 31); // knob frames of 28 x 31
    EXPECT_EQ(find(143)->height / find(143)->states, 17); // lane selector rows
    EXPECT_EQ(find(1133)->width, 620);
    EXPECT_EQ(find(1133)->height, 12);
    EXPECT_EQ(kFontStripColumns[95], 620);
}

TEST(Bitmaps, AnUnknownIdLoadsNothing) {
    CBitmap* b = new CBitmap(4242);
    EXPECT_FALSE(b->isLoaded());
    EXPECT_EQ(b->getWidth(), 0);
    b->forget();
    EXPECT_EQ(findBitmapResource(4242), nullptr);
}

TEST(Bitmaps, FontStripHasInkInEveryPrintableGlyphAndNoneInTheSpace) {
    for (int scale = 1; scale <= 2; ++scale) {
        CBitmap* strip = new CBitmap(scale == 1 ? 1133 : 21133);
        ASSERT_TRUE(strip->isLoaded());
        cairo_surface_t* s = strip->getSurface();
        cairo_surface_flush(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        for (int g = 0; g < 95; ++g) {
            int x0 = static_cast<int>(kFontStripColumns[g] * scale);
            int x1 = static_cast<int>(kFontStripColumns[g + 1] * scale);
            int ink = 0;
            for (int y = 0; y < 12 * scale; ++y)
                for (int x = x0; x < x1; ++x) ink += data[y * stride + x * 4 + 3] > 40;
            if (g == 0)
                EXPECT_EQ(ink, 0) << "space";
            else
                EXPECT_GT(ink, 0) << "glyph " << static_cast<char>(32 + g) << " scale " << scale;
        }
        strip->forget();
    }
}

TEST(Bitmaps, TwoStateImagesDifferBetweenTheirStates) {
    for (const BitmapEntry& entry : kBitmapCatalogue) {
        if (entry.states != 2) continue;
        SCOPED_TRACE(entry.id);
        CBitmap* b = new CBitmap(entry.id);
        cairo_surface_t* s = b->getSurface();
        cairo_surface_flush(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        int half = entry.height / 2, differing = 0;
        for (int y = 0; y < half; ++y)
            for (int x = 0; x < entry.width * 4; ++x)
                differing += data[y * stride + x] != data[(y + half) * stride + x];
        EXPECT_GT(differing, entry.width) << "the two states must be told apart at a glance";
        b->forget();
    }
}
