// What the engine takes from CLAP's note and MIDI events: MIDI messages.
// Hosts send note events even to a port that prefers MIDI, and a MIDI
// note-on of velocity 0 may arrive as a note-on event of velocity 0.0:
// both mean note-off, as in MIDI.
#pragma once

#include "abi/events.h"
#include "midi_message.h"

// The message an event of the input port stands for, with `frame` as its
// frame; false for events the engine does not take (other ports, note
// expressions, system exclusive, MIDI 2.0, events of other spaces).
bool midiMessageOf(const clap_event_header& event, int32_t frame, MidiMessage* message);
