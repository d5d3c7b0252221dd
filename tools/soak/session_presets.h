// A presets folder for the fuzzer's home: program changes in a session then
// load real files (chord and arp presets, a text chord list, a preset cut
// short, one level of subfolders) instead of finding nothing.
#pragma once

#include <string>

namespace soak {

// Writes the files below `documents`/Vrek/Zandrel Presets/, saved by an
// instance of the plug-in of its own after a fixed set of edits. Bank 0
// (chords) lists Alpha.fxp, Bravo.txt, Charlie.fxp (damaged) and, as sub
// bank 1, More/Delta.fxp; bank 1 (arp) lists Alpha.fxp, Bravo.fxp and
// More/Charlie.fxp. False when something could not be written.
bool writeSessionPresets(const std::string& pluginPath, const std::string& documents);

} // namespace soak
