// A chord set to operate on: an engine record with every slot empty, and
// short ways to put chords in and read them back.
#pragma once

#include "engine_state.h"

#include <initializer_list>
#include <memory>
#include <vector>

// Note numbers by name, octave 4 from middle C.
constexpr int C4 = 60, Cs4 = 61, D4 = 62, Ds4 = 63, E4 = 64, F4 = 65, Fs4 = 66, G4 = 67, Gs4 = 68,
              A4 = 69, As4 = 70, B4 = 71, C5 = 72, Cs5 = 73, D5 = 74, Ds5 = 75, E5 = 76, F5 = 77,
              Fs5 = 78, G5 = 79, Gs5 = 80, A5 = 81, As5 = 82, B5 = 83;

// A record with the chord memory's defaults, then every slot emptied.
std::unique_ptr<EngineState> emptyChordSet();
// Notes in position order from position 0; 0 leaves a position empty.
void setChord(EngineState& s, int slot, std::initializer_list<int> notes);
void setVelocities(EngineState& s, int slot, std::initializer_list<float> velocities);
// The eight positions of a slot as note numbers, 0 for empty.
std::vector<int> positionsOf(const EngineState& s, int slot);
// The notes of a slot in position order, empty positions left out.
std::vector<int> notesOf(const EngineState& s, int slot);
std::vector<int> occupiedSlots(const EngineState& s);
