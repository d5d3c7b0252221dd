#include "layout_metrics.h"

LayoutMetrics LayoutMetrics::forScale(double s) {
    LayoutMetrics m;
    double* v = m.value;
    const double first[] = {12, 8, 337, 302, 391, 278, 354, 188, 576, 208, 8, 27};
    int i = 0;
    for (double k : first) v[i++] = R(s * k);
    const double gridWidth = v[kGridWidth], gridHeight = v[kGridHeight];
    const double stepWidth = gridWidth / 16;
    v[i++] = 12 / gridHeight;
    v[i++] = gridHeight / 12;
    v[i++] = 1 / gridHeight;
    v[i++] = 1 / stepWidth;
    v[i++] = stepWidth;
    v[i++] = gridHeight + R(27 * s) + R(19 * s);
    v[i++] = gridHeight + R(27 * s) + R(13 * s);
    const double last[] = {162, 275, 240, 17, 8, 276, 12, 69, 43, 60, 70};
    for (double k : last) v[i++] = R(s * k);
    return m;
}

WindowSize editorWindowSize(int32_t scale, bool chordsShown, bool arpShown) {
    const double s = scale;
    const double height = R(37 * s) + (chordsShown ? R(188 * s) : 0) + (arpShown ? R(354 * s) : 0);
    return {static_cast<int32_t>(R(593 * s)), static_cast<int32_t>(height)};
}
