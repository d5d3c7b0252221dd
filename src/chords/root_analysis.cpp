#include "root_analysis.h"

RootAnalysis analyseRoot(const uint8_t notes[8]) {
    int first = -1;
    for (int p = 0; p < 7 && first < 0; ++p)
        if (notes[p] != 0) first = p;
    // A chord whose only note sits in the last position is not analysed.
    if (first < 0) return {RootAnalysis::kNotAnalysed, 0};

    constexpr int kNone = -1;
    int best = kNone;
    int root = kNone;
    // Each lower note (never the last position) against every other note
    // above it; the interval found ranks how strongly it names a root: a
    // fifth beats a fourth beats a major third beats a minor sixth beats a
    // minor third beats a major sixth, and seconds or sevenths count only
    // when nothing else was found.
    for (int i = first; i < 7; ++i) {
        const int a = notes[i];
        if (a == 0) continue;
        for (int j = 0; j < 8; ++j) {
            if (j == i) continue;
            const int b = notes[(i + j) % 8];
            if (b == 0 || b <= a) continue;
            const int d = (b - a) % 12;
            if (d == 7) {
                if (best != 7) root = a % 12;
                best = 7;
            } else if (best == 5 || best == 7) {
                // a fifth or a fourth found already stands
            } else if (d == 5) {
                best = 5;
                root = b % 12;
            } else if (d == 4) {
                best = 4;
                root = a % 12;
            } else if (d == 8) {
                if (best != 4) {
                    best = 8;
                    root = b % 12;
                }
            } else if (d == 3) {
                if (best != 4 && best != 8) {
                    best = 3;
                    root = a % 12;
                }
            } else if (d == 9) {
                if (best != 3 && best != 8) {
                    best = 9;
                    root = b % 12;
                }
            } else if (d == 2 || d == 10) {
                if (best == kNone) {
                    best = d;
                    root = b % 12;
                }
            }
        }
    }
    if (root == kNone) return {RootAnalysis::kNoRoot, 0};
    return {RootAnalysis::kRoot, root};
}
