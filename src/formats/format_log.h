// Diagnostic lines of the format readers and writers. They carry no
// behaviour: a refused load or a failed write leaves one line on a sink, by
// default the standard error stream.
#pragma once

#include "engine_door.h"

#include <functional>

using DiagnosticSink = std::function<void(const char* line)>;

// Writes the line to stderr as it is (lines begin with their own newline).
void stderrDiagnostic(const char* line);

// printf-style formatting into one line, handed to the sink or the door.
void logLine(const DiagnosticSink& sink, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void logLine(EngineDoor& door, const char* format, ...) __attribute__((format(printf, 2, 3)));
