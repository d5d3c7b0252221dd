#include "format_log.h"

#include <cstdarg>
#include <cstdio>

namespace {
constexpr int kLineCapacity = 1024;
}

void stderrDiagnostic(const char* line) {
    std::fputs(line, stderr);
}

void logLine(const DiagnosticSink& sink, const char* format, ...) {
    char line[kLineCapacity];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (sink)
        sink(line);
    else
        stderrDiagnostic(line);
}

void logLine(EngineDoor& door, const char* format, ...) {
    char line[kLineCapacity];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    door.diagnostic(line);
}
