// Conversions of host-supplied floats that must never be undefined: NaN and
// values beyond the integer range saturate instead of trapping.
#pragma once

#include <cmath>
#include <cstdint>

// (int)x as C truncates it, for any x: NaN gives 0, out-of-range values clamp.
inline int32_t saturatingInt(double x) {
    if (!(x == x)) return 0;
    if (x >= 2147483647.0) return INT32_MAX;
    if (x <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(x);
}

inline int32_t saturatingFloor(double x) {
    return saturatingInt(std::floor(x));
}

// The host value of transpose step 0..48. The double quotient rounded to
// float is what the setter's single-precision product, floored, brings back
// to the same step for every one of the 49 steps.
inline float transposeParameterValue(int transpose) {
    return static_cast<float>(transpose / 48.99);
}
inline int32_t transposeStepOfValue(float unit) {
    return saturatingFloor(unit * 48.99f);
}

// The note number a stored note value decodes to: (int)(value * 128 + 0.5).
inline int32_t noteOfValue(float value) {
    return saturatingInt(value * 128 + 0.5);
}

template <typename T>
constexpr T clampTo(T v, T lo, T hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// Host values are documented as 0..1; NaN and strays are brought back there.
inline float unitValue(float value) {
    return value == value ? clampTo(value, 0.0f, 1.0f) : 0.0f;
}
