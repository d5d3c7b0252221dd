// Every editor coordinate is its design value at 100 % times the scale (1
// or 2), rounded to the nearest integer with halves away from zero. The
// layout metrics are the sizes derived that way which the step grid and the
// keyboards share; the window's size follows from the shown sections.
#pragma once

#include <cmath>
#include <cstdint>

inline double R(double x) {
    return std::round(x); // halves away from zero
}

struct LayoutMetrics {
    enum Index {
        kArpSectionHeight = 6,
        kChordSectionHeight = 7,
        kGridWidth = 8,
        kGridHeight = 9,
        kStepsPerPixel = 12, // 12 / grid height: pixels to step kinds
        kPixelsPerKind = 13, // grid height / 12
        kInverseGridHeight = 14,
        kInverseStepWidth = 15,
        kStepWidth = 16,
        kKeyboardSecond = 28,
        kOctaveWidth = 29,
        kCount = 30,
    };
    double value[kCount] = {};
    double operator[](int i) const { return value[i]; }
    static LayoutMetrics forScale(double scale);
};

struct WindowSize {
    int32_t width;
    int32_t height;
    bool operator==(const WindowSize&) const = default;
};

// Header always, then the arpeggiator section, then the chord section.
WindowSize editorWindowSize(int32_t scale, bool chordsShown, bool arpShown);
