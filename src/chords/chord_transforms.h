// The "Transform" submenu: rewrite the intervals of every chord, add bass
// roots, apply the note rules or the notes of the current chord, move the set,
// and fill the empty slots with variations.
#pragma once

#include "chord_work_list.h"
#include "engine_random.h"

enum IntervalMode : int {
    kMakeMinor = 0,     // "Make Major chords Minor"
    kMakeMajor = 1,     // "Make Minor chords Major"
    kMakeSuspended = 2, // "Make all chords Suspended"
};

// Rewrites the thirds, sixths and sevenths above each chord's root; chords
// without a root stay as they are.
void transformIntervals(EngineState& s, int mode);
// Adds each chord's root one or two octaves below its lowest note, in its
// first empty voice.
void addRootBelow(EngineState& s, int octaves);
// Applies the per-pitch-class note rules ("Arp_No C" .. "Arp_No B").
void applyNoteRules(EngineState& s);
// Moves every note of every other chord up to the nearest pitch class of the
// current chord; notes that would pass 127 are removed. A moving note skips
// notes that higher voices of its chord already hold, so that no two voices
// end on one note; notes already in the current chord stay where they are.
void snapToCurrentChord(EngineState& s);
// Packs the set from the current key's slot on; chords beyond 127 are lost.
void moveChordSetToCurrentKey(EngineState& s, ChordWorkList& list);

// The transform command: the integer part of value + 0.5 selects 0..8 in menu
// order (8 fills the empty slots with variations, see chord_variations.h).
// True when a transform ran and the chord-set-changed refresh is due.
bool transformChords(EngineState& s, ChordWorkList& list, EngineRandom& random, float value);
