#include "gui_test_support.h"

#include "font_caches.h"

#include <gtest/gtest.h>

namespace {
// Releases the font caches after the last test, for the leak checker.
struct FontCacheRelease : ::testing::Environment {
    void TearDown() override { releaseFontCaches(); }
};
const auto* const fontCacheRelease = ::testing::AddGlobalTestEnvironment(new FontCacheRelease);
} // namespace

CColor pixelAt(CFrame* frame, int x, int y) {
    cairo_surface_t* s = frame->getBackBuffer();
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
    return CColor{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                  static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)};
}

void press(CFrame* frame, CCoord x, CCoord y, int32_t buttons) {
    CPoint p(x, y);
    frame->onMouseDown(p, buttons);
}

void move(CFrame* frame, CCoord x, CCoord y, int32_t buttons) {
    CPoint p(x, y);
    frame->onMouseMoved(p, buttons);
}

void release(CFrame* frame, CCoord x, CCoord y, int32_t buttons) {
    CPoint p(x, y);
    frame->onMouseUp(p, buttons);
}

void click(CFrame* frame, CCoord x, CCoord y, int32_t buttons) {
    press(frame, x, y, buttons);
    release(frame, x, y, 0);
}

void typeKey(CFrame* frame, char c) {
    VstKeyCode k;
    k.character = static_cast<unsigned char>(c);
    frame->onKeyDown(k);
}

void typeVirtual(CFrame* frame, VirtualKey key) {
    VstKeyCode k;
    k.virt = key;
    frame->onKeyDown(k);
}
