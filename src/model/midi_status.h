// MIDI status bytes, by the kind of message (the high four bits).
#pragma once

#include <cstdint>

constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kPolyPressure = 0xA0;
constexpr uint8_t kController = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kChannelPressure = 0xD0;
constexpr uint8_t kPitchBend = 0xE0;
constexpr uint8_t kSystemMessage = 0xF0;

constexpr uint8_t messageKind(uint8_t status) {
    return status & 0xF0;
}
constexpr bool isNoteMessage(uint8_t status) {
    return messageKind(status) == kNoteOn || messageKind(status) == kNoteOff;
}
// A note-on of velocity 0 ends a note, as a note-off does.
constexpr bool startsNote(uint8_t status, uint8_t velocity) {
    return messageKind(status) == kNoteOn && velocity != 0;
}
// Program change and channel pressure carry one data byte, the others two.
constexpr int dataBytesOf(uint8_t status) {
    return messageKind(status) == kProgramChange || messageKind(status) == kChannelPressure ? 1 : 2;
}
