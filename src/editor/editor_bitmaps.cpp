#include "editor_bitmaps.h"

#include "bitmap_resources.h"

#include <algorithm>

void EditorBitmaps::load(int32_t scale) {
    release();
    for (size_t i = 0; i < kIds.size(); ++i)
        bitmaps[i] = new CBitmap(kIds[i] + (scale == 2 ? kDoubleSizeIdOffset : 0));
}

void EditorBitmaps::release() {
    for (CBitmap*& b : bitmaps) {
        if (b) b->forget();
        b = nullptr;
    }
}

CBitmap* EditorBitmaps::operator[](int32_t id) const {
    const auto* it = std::find(kIds.begin(), kIds.end(), id);
    return it == kIds.end() ? nullptr : bitmaps[static_cast<size_t>(it - kIds.begin())];
}
