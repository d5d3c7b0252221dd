#include "output_event_list.h"

OutputEventList::OutputEventList() : events(new MidiMessage[kMaxOutputEvents]) {}

OutputEventList::~OutputEventList() {
    delete[] events;
}

bool OutputEventList::append(uint8_t status, uint8_t data1, uint8_t data2, int32_t frame) {
    if (count >= kMaxOutputEvents) return false;
    events[count++] = MidiMessage{frame, status, data1, data2};
    return true;
}

void OutputEventList::sortByTime() {
    // Insertion sort: the list is nearly sorted (only pass-through events and
    // hand-over events arrive out of order), and it must be stable.
    for (int32_t i = 1; i < count; ++i) {
        if (events[i].frame >= events[i - 1].frame) continue;
        const MidiMessage moving = events[i];
        int32_t j = i;
        while (j > 0 && events[j - 1].frame > moving.frame) {
            events[j] = events[j - 1];
            --j;
        }
        events[j] = moving;
    }
}

void OutputEventList::keepInsideBlock(int32_t frames) {
    const int32_t last = frames > 0 ? frames - 1 : 0;
    for (int32_t i = 0; i < count; ++i) {
        if (events[i].frame < 0) events[i].frame = 0;
        if (events[i].frame > last) events[i].frame = last;
    }
}

void OutputEventList::shiftFrames(int32_t frames) {
    for (int32_t i = 0; i < count; ++i) events[i].frame += frames;
}
