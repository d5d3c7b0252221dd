// Reads a Standard MIDI File (format 0 or 1) from untrusted bytes: every
// length and offset is checked, so a damaged or hostile file gives an
// SmfError, never a read past the end.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

class SmfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A channel message (note, controller, program, pressure, pitch bend) at
// its place in ticks; the file's tracks are merged in time order.
struct SmfEvent {
    int64_t tick;
    uint8_t status;
    uint8_t data1;
    uint8_t data2; // 0 for the one-byte messages (program, channel pressure)
};

struct SmfTempoChange {
    int64_t tick;
    uint32_t microsPerQuarter;
};

struct SmfTimeSignature {
    int numerator = 4;
    int denominator = 4;
};

struct SmfFile {
    int format = 0;
    int trackCount = 0;
    // Ticks per quarter note; for a SMPTE time base the file counts real
    // time instead, and ticksPerSecond is set (ticksPerQuarter is then 0).
    int ticksPerQuarter = 0;
    double ticksPerSecond = 0.0;
    std::vector<SmfEvent> events;
    std::vector<SmfTempoChange> tempoChanges; // sorted by tick
    SmfTimeSignature timeSignature;           // the first one in the file
    int64_t endTick = 0;                      // the latest end-of-track
};

SmfFile readSmf(std::span<const uint8_t> bytes);
SmfFile readSmfFile(const std::string& path);
