// Diagnostic lines written on the real-time thread cannot be written out
// there (that may block). They are formatted into a fixed ring and written
// out later by a non-real-time thread.
#pragma once

#include "spsc_ring.h"

struct LogLine {
    char text[192];
};

class RealtimeLog {
public:
    // Called on the real-time thread only.
    bool push(const LogLine& line) { return ring.push(line); }
    // Called on one non-real-time thread.
    void flushTo(void (*write)(const char* line) noexcept) {
        LogLine line;
        while (ring.pop(line)) write(line.text);
    }

private:
    SpscRing<LogLine, 256> ring;
};
