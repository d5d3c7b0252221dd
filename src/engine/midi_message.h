// A short MIDI message at a frame of the block it belongs to: what hosts
// hand the engine and what the engine hands back, whatever the format.
#pragma once

#include <cstdint>

struct MidiMessage {
    int32_t frame;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};
