// The editor's rounding rules. The scale rule: a design value at 100 %
// becomes, at scale 1 or 2, the value times the scale taken to the nearest
// integer with halves away from zero; the 200 % twin of a bitmap has the
// id + 20000. Values stored as fractions (a note as note / 128) come back
// half up: x + 0.5 truncated.
#pragma once

#include "bitmap_resources.h"
#include "geometry.h"

#include <cmath>

inline CCoord scaled(double designValue, double scale) {
    return std::round(designValue * scale);
}

inline int32_t bitmapIdAtScale(int32_t id, double scale) {
    return scale >= 1.5 ? id + kDoubleSizeIdOffset : id;
}

// For x that is never negative, which is where the controls use it.
inline int roundHalfUp(float x) {
    return static_cast<int>(x + 0.5f); // NOLINT(bugprone-incorrect-roundings)
}
