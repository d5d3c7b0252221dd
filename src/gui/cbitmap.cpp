#include "cbitmap.h"

#include "bitmap_resources.h"

#include <cstring>

namespace {
struct PngReader {
    const unsigned char* data;
    size_t size;
    size_t pos = 0;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
    auto* r = static_cast<PngReader*>(closure);
    if (r->size - r->pos < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->data + r->pos, length);
    r->pos += length;
    return CAIRO_STATUS_SUCCESS;
}
} // namespace

CBitmap::CBitmap(int32_t id) : resourceId(id) {
    const BitmapResource* res = findBitmapResource(id);
    if (!res) return;
    PngReader reader{res->data, res->size};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readPng, &reader);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return;
    }
    surface = s;
    width = cairo_image_surface_get_width(s);
    height = cairo_image_surface_get_height(s);
}

CBitmap::CBitmap(int32_t w, int32_t h) : width(w), height(h) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
}

CBitmap::~CBitmap() {
    if (surface) cairo_surface_destroy(surface);
}
