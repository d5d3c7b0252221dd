// The Standard MIDI File written for dragging the current chord or arpeggio
// into the host: format 0, one track, 480 ticks per quarter note, built
// from the events captured while one bar was rendered offline.
#pragma once

#include "format_log.h"
#include "midi_message.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ExportMode { kChord, kArpeggio };

constexpr int kTicksPerQuarter = 480;
constexpr int kTicksPerBar = 4 * kTicksPerQuarter;

// The mode parameter 109 selects: its value + 0.5, truncated, is 1 for an
// arpeggio, anything else a chord.
ExportMode exportModeOfValue(float value);

// The file's bytes. `events` are the render's, their frames counted from
// its start, sorted by frame here; `chordName` is
// the engine's chord name text; `currentPattern` gives the letter of an
// arpeggio's track name. Debug lines go to `sink`.
std::vector<uint8_t> midiExportBytes(std::vector<MidiMessage> events, double samplesPerBeat,
                                     const char* chordName, ExportMode mode, int32_t currentPattern,
                                     const DiagnosticSink& sink = {});

// Writes the bytes to `path` in one piece; false when the file cannot be
// written (nothing is reported, as for a drag that finds no target). A drag
// always names a file in the presets folder: a path that is not absolute
// (a preset load leaves just the preset's name in the path buffer) is not
// written, so that no file lands in the host's working folder.
bool writeMidiExportFile(const std::string& path, const std::vector<uint8_t>& bytes);
