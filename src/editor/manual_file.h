// The user manual, Zandrel_Manual.pdf, travels inside the plug-in and is
// written next to the presets when it is missing there, so that the
// desktop can open it.
#pragma once

#include <string>

// Writes the manual to path unless a file is there; false when it cannot.
bool installManual(const std::string& path);
