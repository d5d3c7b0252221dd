#include "chord_work_list.h"

#include "numeric.h"

#include <algorithm>

namespace {

constexpr float kNoteStep = 0.0078125f; // 1/128, exact in a float

} // namespace

bool isEmpty(const ChordRecord& r) {
    for (uint8_t n : r.notes)
        if (n != 0) return false;
    return true;
}

int noteCount(const ChordRecord& r) {
    int count = 0;
    for (uint8_t n : r.notes)
        if (n != 0) ++count;
    return count;
}

void normalize(ChordRecord& r) {
    std::sort(std::begin(r.notes), std::end(r.notes), [](uint8_t a, uint8_t b) {
        if (a == 0 || b == 0) return b == 0 && a != 0;
        return a < b;
    });
}

bool ChordWorkList::append(const ChordRecord& r) {
    if (count >= kChordWorkListCapacity) return false;
    records[count++] = r;
    return true;
}

void ChordWorkList::truncate(int n) {
    count = clampTo(n, 0, count);
}

int slotNote(const EngineState& s, int slot, int position) {
    const int note = noteOfValue(s.chordNote[position][slot]);
    return note >= 1 && note <= 127 ? note : 0;
}

void readSlotNotes(const EngineState& s, int slot, uint8_t notes[kVoiceCount]) {
    for (int k = 0; k < kVoiceCount; ++k) notes[k] = static_cast<uint8_t>(slotNote(s, slot, k));
}

void writeSlotNote(EngineState& s, int slot, int position, int note) {
    s.chordNote[position][slot] = static_cast<float>(note) * kNoteStep;
}

ChordRecord recordOfSlot(const EngineState& s, int slot) {
    ChordRecord r{};
    readSlotNotes(s, slot, r.notes);
    for (int k = 0; k < kVoiceCount; ++k) r.velocities[k] = s.chordVel[k][slot];
    r.slotIndex = static_cast<int8_t>(slot);
    return r;
}

void writeRecordToSlot(EngineState& s, int slot, const ChordRecord& r) {
    for (int k = 0; k < kVoiceCount; ++k) {
        writeSlotNote(s, slot, k, r.notes[k]);
        s.chordVel[k][slot] = r.velocities[k];
    }
}

void emptySlot(EngineState& s, int slot) {
    for (int k = 0; k < kVoiceCount; ++k) {
        s.chordNote[k][slot] = 0.0f;
        s.chordVel[k][slot] = 0.5f;
    }
}

bool slotOccupied(const EngineState& s, int slot) {
    for (int k = 0; k < kVoiceCount; ++k)
        if (s.chordNote[k][slot] > 0.002f) return true;
    return false;
}

int countOccupiedSlots(const EngineState& s) {
    int n = 0;
    for (int slot = 0; slot < kKeyCount; ++slot)
        if (slotOccupied(s, slot)) ++n;
    return n;
}

int firstOccupiedSlot(const EngineState& s) {
    int slot = 0;
    while (slot < kKeyCount - 1 && !(s.chordNote[0][slot] >= 0.01f)) ++slot;
    return slot;
}

void collectChords(const EngineState& s, ChordWorkList& list) {
    list.clear();
    for (int slot = 0; slot < kKeyCount; ++slot) list.append(recordOfSlot(s, slot));
}

void writeBack(EngineState& s, const ChordWorkList& list, StartRule rule) {
    // Both are measured on the slots as they were, before anything is written.
    const int n = countOccupiedSlots(s);
    int start = 0;
    if (rule == StartRule::kFirstOccupied)
        start = firstOccupiedSlot(s);
    else if (rule == StartRule::kCurrentKey)
        start = clampTo<int>(s.currentKey, 0, kKeyCount - 1);

    for (int slot = 0; slot < kKeyCount; ++slot) {
        const int i = slot - start;
        if (i >= 0 && i < n && i < list.size())
            writeRecordToSlot(s, slot, list[i]);
        else
            emptySlot(s, slot);
    }
}

bool compactionPrecedes(const ChordRecord& a, const ChordRecord& b) {
    const bool aEmpty = isEmpty(a);
    if (aEmpty != isEmpty(b)) return !aEmpty;
    return a.slotIndex < b.slotIndex;
}

void sortInCompactionOrder(ChordWorkList& list) {
    std::sort(list.begin(), list.end(), compactionPrecedes);
}

void packChordSet(EngineState& s, ChordWorkList& list) {
    collectChords(s, list);
    sortInCompactionOrder(list);
    writeBack(s, list, StartRule::kFirstOccupied);
}
