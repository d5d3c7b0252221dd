#include "root_analysis.h"

namespace {

constexpr int kNone = -1;

} // namespace

// The search ranks intervals: a fifth outweighs everything, a fourth comes
// next, then the thirds and sixths, and a second or seventh only counts when
// nothing better was seen. Each interval names its root from the side where a
// musician would hear it (the lower note of a fifth or third, the upper note
// of a fourth or sixth).
RootAnalysis analyseRoot(const uint8_t notes[8]) {
    bool upperPositionsEmpty = true;
    for (int p = 1; p <= 6; ++p)
        if (notes[p] != 0) upperPositionsEmpty = false;
    if (notes[0] == 0 && upperPositionsEmpty) return {RootAnalysis::kNotAnalysed, 0};

    int first = 0;
    while (notes[first] == 0) ++first;

    int best = kNone;
    int root = kNone;
    // Position 7 is never a lower note, and the pair offset j skips j == i:
    // from position i the note at position 2i mod 8 is not compared. Names
    // of chords such as E G C or B D F depend on both.
    for (int i = first; i <= 6; ++i) {
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
                // A fifth or a fourth has already decided.
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
