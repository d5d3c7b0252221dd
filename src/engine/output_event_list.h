// The events one block sends to the host, collected in time order of their
// production. Storage for the block maximum is reserved once, so appending
// never allocates on the real-time thread.
#pragma once

#include "midi_message.h"

#include <cstdint>

constexpr int kMaxOutputEvents = 4096;

class OutputEventList {
public:
    OutputEventList();
    ~OutputEventList();
    OutputEventList(const OutputEventList&) = delete;
    OutputEventList& operator=(const OutputEventList&) = delete;

    // -1 when empty, as the processing loop tests it.
    int32_t lastIndex() const { return count - 1; }
    int32_t size() const { return count; }
    bool empty() const { return count == 0; }
    bool full() const { return count >= kMaxOutputEvents; }
    void clear() { count = 0; }
    // Appends a MIDI event; answers false (and drops it) when the block is full.
    bool append(uint8_t status, uint8_t data1, uint8_t data2, int32_t frame);
    const MidiMessage& operator[](int32_t i) const { return events[i]; }
    MidiMessage* data() { return events; }
    const MidiMessage* begin() const { return events; }
    const MidiMessage* end() const { return events + count; }
    // Orders the events by frame, keeping the order of equal times:
    // hosts expect a block's events sorted.
    void sortByTime();
    // Brings every offset inside a block of `frames` samples. Messages passed
    // through keep the host's offset, and a host may hand over one outside
    // the block it then processes.
    void keepInsideBlock(int32_t frames);
    // Moves every event `frames` later (a part of a longer block).
    void shiftFrames(int32_t frames);

private:
    MidiMessage* events;
    int32_t count = 0;
};
