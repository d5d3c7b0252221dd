// Where the engine's diagnostic lines go. A host's log is not ours to fill:
// they are dropped unless the user asks for them with ZANDREL_LOG=1 (the
// standard error stream) or ZANDREL_LOG=/path/to/file (appended to that
// file). The lines themselves begin with their own newline.
#pragma once

// True when lines are wanted; decided once per process.
bool diagnosticsEnabled() noexcept;
// Writes one line to the chosen sink (not from the real-time thread).
void writeDiagnostic(const char* line) noexcept;
