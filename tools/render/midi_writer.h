// Writes the plug-in's output as a format-0 MIDI file, division 960, with
// the input's tempo map, so it lines up with the input in any sequencer.
#pragma once

#include "render_session.h"
#include "tempo_map.h"

#include <string>
#include <vector>

constexpr int kOutputTicksPerQuarter = 960;

// The file's bytes. Notes still held at the end are ended there, so every
// note-on has its note-off.
std::string midiFileBytes(const std::vector<TimedMidi>& events, const TempoMap& tempo,
                          const SmfTimeSignature& timeSignature, double sampleRate,
                          int64_t endSample);
