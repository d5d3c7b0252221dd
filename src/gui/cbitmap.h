// An image: loaded from the compiled-in PNG resources, or created empty to
// draw into off screen. Reference counted like every toolkit object.
#pragma once

#include "cbase_object.h"
#include "geometry.h"

#include <cairo.h>
#include <cstdint>

class CBitmap : public CBaseObject {
public:
    // Loads resource id; isLoaded() tells whether it exists and decoded.
    explicit CBitmap(int32_t resourceId);
    // An empty, fully transparent image.
    CBitmap(int32_t width, int32_t height);
    ~CBitmap() override;

    bool isLoaded() const { return surface != nullptr; }
    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }
    int32_t getResourceId() const { return resourceId; }
    cairo_surface_t* getSurface() const { return surface; }

private:
    int32_t resourceId = -1;
    int32_t width = 0;
    int32_t height = 0;
    cairo_surface_t* surface = nullptr;
};
