// A chord set to operate on: an engine record with every slot empty, and
// short ways to put chords in and read them back.
#pragma once

#include "engine_state.h"

#include <initializer_list>
#include <memory>
#include <vector>

// Note numbers by name, octave 4 from middle C.
enum : int {
    C4 = 60,
    Cs4,
    D4,
    Ds4,
    E4,
    F4,
    Fs4,
    G4,
    Gs4,
    A4,
    As4,
    B4,
    C5 = 72,
    Cs5,
    D5,
    Ds5,
    E5,
    F5,
    Fs5,
    G5,
    Gs5,
    A5,
    As5,
    B5
};

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
