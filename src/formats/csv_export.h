// The chord memory as a CSV list for spreadsheets: 128 lines, one per
// trigger key, each with the key's name, the chord's name and the eight
// voices' note names, every field followed by a comma. Nothing reads it
// back.
#pragma once

#include "engine_state.h"

#include <string>

// The four characters a note is named by in the list: letter, sharp or
// blank, then the octave (note / 12 - 2) as a digit and a blank, or a minus
// and the digit below octave 0. "C -2" for note 0, "C 3 " for note 60.
std::string csvNoteName(int note);

// The whole text. Voices whose entry decodes to 128 or more are blank and
// left out of the chord's name, as everywhere the chord memory is read, so
// a chord of only such voices is named by two blanks. Chord naming leaves each chord's name in the
// record's chord name text, so afterwards it holds the name of key 127's chord.
std::string chordsCsv(EngineState& state);

// Writes the list under `pathBuffer`, trimmed and given ".csv" (the buffer
// keeps the path written to). An empty path or a file that cannot be
// written does nothing (false).
bool saveChordsCsv(EngineState& state, std::string& pathBuffer);
