// Chord lists kept as text: a chord preset file beginning with "Mode". The
// first line is a title; each further line is a trigger key followed by
// note offsets from it, separated by single spaces ("60 0 4 7").
//
// Two choices where older readers were loose:
// - up to eight offsets are read, one per voice (older readers stopped at
//   four);
// - the offsets are searched for within the line only, from the end of the
//   key on, so a line holding a key and no offset has no notes and is
//   skipped (older readers ran on into the next line), and blanks before
//   the key are not taken for a separator.
// Lines whose key lies outside 0..127 are skipped as well.
#pragma once

#include "engine_door.h"

#include <cstddef>
#include <cstdint>

// True when the file's first four bytes are "Mode".
bool isTextChordList(const uint8_t* file, size_t size);

// Resets the chord memory and applies every line as described, through the
// parameter door (current key, then the voices' notes).
void applyTextChordList(EngineDoor& door, const uint8_t* file, size_t size);
