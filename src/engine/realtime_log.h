// Diagnostic lines written on the real-time thread cannot go to stderr there
// (that may block). They are formatted into a fixed ring and written out
// later by a non-real-time thread.
#pragma once

#include "spsc_ring.h"

#include <cstdio>

struct LogLine {
    char text[192];
};

class RealtimeLog {
public:
    // Called on the real-time thread only.
    bool push(const LogLine& line) { return ring.push(line); }
    // Called on one non-real-time thread.
    void flushTo(FILE* out) {
        LogLine line;
        bool any = false;
        while (ring.pop(line)) {
            std::fputs(line.text, out);
            any = true;
        }
        if (any) std::fflush(out);
    }

private:
    SpscRing<LogLine, 256> ring;
};
