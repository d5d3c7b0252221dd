// The PNG images compiled into the binary, found by resource id. The 200 %
// twin of an image has the id plus 20000.
#pragma once

#include <cstddef>
#include <cstdint>

struct BitmapResource {
    int32_t id;
    const unsigned char* data;
    size_t size;
};

inline constexpr int32_t kDoubleSizeIdOffset = 20000;

// Null when no image has that id.
const BitmapResource* findBitmapResource(int32_t id);
