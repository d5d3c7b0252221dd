// Importing a format-0, single-track Standard MIDI File as chords: every
// group of notes that start together becomes the chord of the next trigger
// key, from the current key upward. Only note numbers are taken.
#pragma once

#include "engine_state.h"
#include "format_log.h"

#include <cstddef>
#include <cstdint>

struct MidiImportResult {
    bool accepted = false; // the header passed its checks
    int32_t firstKey = 0;  // the key the first chord went to
    int32_t nextKey = 0;   // the key a further chord would go to
};

// Writes chordNote directly (velocities, locks and voice keys stay). A file
// failing the header checks changes nothing and leaves its line on `sink`.
// Never reads beyond `size`, whatever the file declares.
MidiImportResult importMidiChords(EngineState& state, const uint8_t* file, size_t size,
                                  const DiagnosticSink& sink = {});
