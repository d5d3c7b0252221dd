// The working copy of the chord set that every chord set operation sorts,
// edits and writes back, and the rules by which it goes back into the slots.
#pragma once

#include "engine_state.h"

#include <array>
#include <cstdint>

// One chord slot as note numbers.
struct ChordRecord {
    uint8_t notes[kVoiceCount];    // note per position, 0 = empty
    float velocities[kVoiceCount]; // copied unchanged
    int8_t slotIndex;              // 0..127, or kGeneratedRecord
};

// The slotIndex of a chord made by "Populate empty slots with Variations".
constexpr int8_t kGeneratedRecord = -1;

bool isEmpty(const ChordRecord& r);
int noteCount(const ChordRecord& r);
// Sorts the notes ascending with the empty positions last. The velocities stay
// where they are: velocity k now belongs to whatever note sits in position k.
void normalize(ChordRecord& r);

// The 128 slots and every variation a generate pass can add (at most 127
// while the list holds fewer than 128, so 255): fixed storage, so that no
// operation allocates.
constexpr int kChordWorkListCapacity = 2 * kKeyCount;

class ChordWorkList {
public:
    int size() const { return count; }
    bool empty() const { return count == 0; }
    void clear() { count = 0; }
    // Refused (false) when the list is full.
    bool append(const ChordRecord& r);
    // Keeps the first n records.
    void truncate(int n);
    ChordRecord& operator[](int i) { return records[i]; }
    const ChordRecord& operator[](int i) const { return records[i]; }
    ChordRecord* begin() { return records.data(); }
    ChordRecord* end() { return records.data() + count; }
    const ChordRecord* begin() const { return records.data(); }
    const ChordRecord* end() const { return records.data() + count; }

private:
    std::array<ChordRecord, kChordWorkListCapacity> records{};
    int count = 0;
};

// Where the write-back starts placing the chords.
enum class StartRule {
    kSlotZero,
    kFirstOccupied, // where the first chord (by its position 0) stood before
    kCurrentKey,    // the slot of currentKey
};

// The note stored at position k of a slot, 0 when the stored value decodes to
// no note (0, or 128 and above, or anything a damaged chunk may hold).
int slotNote(const EngineState& s, int slot, int position);
void readSlotNotes(const EngineState& s, int slot, uint8_t notes[kVoiceCount]);
// Writes a note number (0 = empty) as the stored note value.
void writeSlotNote(EngineState& s, int slot, int position, int note);
ChordRecord recordOfSlot(const EngineState& s, int slot);
void writeRecordToSlot(EngineState& s, int slot, const ChordRecord& r);
// All notes empty, all velocities back to 0.5.
void emptySlot(EngineState& s, int slot);

// A slot counts as occupied when any stored note value is above 0.002.
bool slotOccupied(const EngineState& s, int slot);
int countOccupiedSlots(const EngineState& s);
// The first slot whose position 0 holds a value of at least 0.01; 127 when
// there is none.
int firstOccupiedSlot(const EngineState& s);

// Clears the list and appends every slot 0..127, empty or not.
void collectChords(const EngineState& s, ChordWorkList& list);
// Places the list's first records from the start slot on, as many as there
// were occupied slots before, and empties every other slot. Relies on the
// list holding its non-empty records first; records beyond slot 127 are lost.
void writeBack(EngineState& s, const ChordWorkList& list, StartRule rule);

// Non-empty records first, each group by slotIndex (generated records first).
bool compactionPrecedes(const ChordRecord& a, const ChordRecord& b);
void sortInCompactionOrder(ChordWorkList& list);
// Collect, compaction order, write back from the first occupied slot: the
// packing every removal ends with.
void packChordSet(EngineState& s, ChordWorkList& list);
