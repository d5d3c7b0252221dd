// Chord names: root letter, quality word and one extension, in the short
// form of the chord display and the CSV list, or the long form of the
// arpeggiator's held notes.
#pragma once

#include <cstdint>

enum class ChordNameForm { kShort, kLong };

constexpr int kChordNameCapacity = 14; // 13 characters and the terminator

// Composes the name of the chord given by eight note bytes (0 = empty) into
// `name`. Leaves `name` unchanged when positions 0..6 are all empty. With
// the long form, *chordRoot receives the root's pitch class when a root
// letter is written (chordRoot may be null for the short form).
void composeChordName(const uint8_t notes[8], ChordNameForm form, char* name, int32_t* chordRoot);

struct EngineState;

// The short form for the chord stored for trigger key `key` (0..127), as the
// chord display and the CSV list show it; stored values that decode to no
// note count as empty voices.
void composeKeyChordName(const EngineState& s, int key, char* name);
