#include "output_event_list.h"

#include <cstring>

OutputEventList::OutputEventList() : events(new VstMidiEvent[kMaxOutputEvents]) {}

OutputEventList::~OutputEventList() {
    delete[] events;
}

bool OutputEventList::append(uint8_t status, uint8_t data1, uint8_t data2, int32_t deltaFrames) {
    if (count >= kMaxOutputEvents) return false;
    VstMidiEvent& e = events[count++];
    std::memset(&e, 0, sizeof e);
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = deltaFrames;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    return true;
}

void OutputEventList::sortByTime() {
    // Insertion sort: the list is nearly sorted (only pass-through events and
    // hand-over events arrive out of order), and it must be stable.
    for (int32_t i = 1; i < count; ++i) {
        if (events[i].deltaFrames >= events[i - 1].deltaFrames) continue;
        const VstMidiEvent moving = events[i];
        int32_t j = i;
        while (j > 0 && events[j - 1].deltaFrames > moving.deltaFrames) {
            events[j] = events[j - 1];
            --j;
        }
        events[j] = moving;
    }
}

void OutputEventList::keepInsideBlock(int32_t frames) {
    const int32_t last = frames > 0 ? frames - 1 : 0;
    for (int32_t i = 0; i < count; ++i) {
        if (events[i].deltaFrames < 0) events[i].deltaFrames = 0;
        if (events[i].deltaFrames > last) events[i].deltaFrames = last;
    }
}
