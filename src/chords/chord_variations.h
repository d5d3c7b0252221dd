// "Populate empty slots with Variations": fills the slots around the stored
// chords with re-voiced copies of them, keeping every chord that was there.
#pragma once

#include "chord_work_list.h"
#include "engine_random.h"

// Eight cycles, each marking the occupied slots and then running ten passes
// of generate and de-duplicate. Draws from `random` only.
void populateEmptySlotsWithVariations(EngineState& s, ChordWorkList& list, EngineRandom& random);

// The parts of a cycle, for tests.
void markOccupiedSlots(EngineState& s);
void generateVariations(EngineState& s, ChordWorkList& list, EngineRandom& random);
void removeUnmarkedDuplicates(EngineState& s);
