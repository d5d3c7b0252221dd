// A picture of a render: the input's notes in the upper panel, the
// plug-in's output in the lower one, on the same time axis, each note
// coloured by its MIDI channel, bar lines and bar numbers across both.
#pragma once

#include "render_session.h"
#include "tempo_map.h"

#include <string>

constexpr int kPianoRollWidth = 1600;
constexpr int kPianoRollHeight = 900;

void writePianoRoll(const std::string& path, const RenderResult& render, const TempoMap& tempo,
                    const SmfTimeSignature& timeSignature, double sampleRate); // throws RenderError
