// A one-line progress bar on stderr, for long renders in a terminal.
#pragma once

#include <cstdio>

class ProgressBar {
public:
    explicit ProgressBar(bool shown) : shown(shown) {}
    ~ProgressBar() { finish(); }
    // Ends the bar's line, so that what is printed next starts on its own.
    void finish() {
        if (shown && drawn) std::fputc('\n', stderr);
        drawn = false;
    }
    void show(double fraction) {
        if (!shown) return;
        constexpr int kWidth = 40;
        const int filled = static_cast<int>(fraction * kWidth + 0.5);
        std::fprintf(stderr, "\rRendering [%-*.*s] %3d%%", kWidth, filled,
                     "########################################",
                     static_cast<int>(fraction * 100 + 0.5));
        std::fflush(stderr);
        drawn = true;
    }

private:
    bool shown;
    bool drawn = false;
};
