// Where the engine's diagnostic lines go. A host's log is not ours to fill:
// they are dropped unless the user asks for them with ZANDREL_LOG=1 (the
// standard error stream) or ZANDREL_LOG=/path/to/file (appended to that
// file). The lines themselves begin with their own newline.
#pragma once

// Reads ZANDREL_LOG and takes its sink; every new instance does this, so a
// host (or a test) that sets it later is heard from then on. Not from the
// real-time thread.
void chooseDiagnosticsSink();
// True when lines are wanted.
bool diagnosticsEnabled() noexcept;
// Writes one line to the chosen sink (not from the real-time thread).
void writeDiagnostic(const char* line) noexcept;
