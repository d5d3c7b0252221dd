#include "chord_set_fixture.h"

#include "numeric.h"

std::unique_ptr<EngineState> emptyChordSet() {
    auto s = std::make_unique<EngineState>();
    setChordMemoryDefaults(*s);
    for (int n = 0; n < kKeyCount; ++n)
        for (int k = 0; k < kVoiceCount; ++k) s->chordNote[k][n] = 0.0f;
    return s;
}

void setChord(EngineState& s, int slot, std::initializer_list<int> notes) {
    int k = 0;
    for (int note : notes) s.chordNote[k++][slot] = note / 128.0f;
    for (; k < kVoiceCount; ++k) s.chordNote[k][slot] = 0.0f;
}

void setVelocities(EngineState& s, int slot, std::initializer_list<float> velocities) {
    int k = 0;
    for (float v : velocities) s.chordVel[k++][slot] = v;
}

std::vector<int> positionsOf(const EngineState& s, int slot) {
    std::vector<int> notes;
    for (int k = 0; k < kVoiceCount; ++k) notes.push_back(noteOfValue(s.chordNote[k][slot]));
    return notes;
}

std::vector<int> notesOf(const EngineState& s, int slot) {
    std::vector<int> notes;
    for (int note : positionsOf(s, slot))
        if (note != 0) notes.push_back(note);
    return notes;
}

std::vector<int> occupiedSlots(const EngineState& s) {
    std::vector<int> slots;
    for (int n = 0; n < kKeyCount; ++n)
        if (!notesOf(s, n).empty()) slots.push_back(n);
    return slots;
}
