// Small conversions shared by the block readers and writers.
#pragma once

#include "arp_pattern.h"
#include "engine_state.h"

#include <cstdint>
#include <cstring>

// A key byte from a block. Keys index the 128-entry chord tables, so bytes
// beyond 127 (which no writer produces) are read as 127.
inline uint8_t keyOfByte(uint8_t byte) {
    return byte > 127 ? 127 : byte;
}

// A pattern index from a block, kept to the twelve patterns for the same
// reason.
inline int32_t patternOfValue(int32_t value) {
    return value < 0 ? 0 : (value >= kPatternCount ? kPatternCount - 1 : value);
}

// Copies a text into a fixed field of `size` bytes: at most size - 1
// characters, then zeros to the end of the field.
inline void putText(uint8_t* field, int size, const char* text, int textCapacity) {
    std::memset(field, 0, static_cast<size_t>(size));
    const size_t length = strnlen(text, static_cast<size_t>(textCapacity));
    std::memcpy(field, text, length < static_cast<size_t>(size - 1) ? length : size - 1);
}

// The fixed-length 32-byte name copies of the blocks; the engine keeps its
// copy terminated.
inline void takeMenuName(char (&name)[kMenuNameSize], const uint8_t* field) {
    std::memcpy(name, field, kMenuNameSize);
    name[kMenuNameSize - 1] = 0;
}

// Sets an engine text field from a C text, cut to fit and terminated.
template <size_t N>
void setText(char (&field)[N], const char* text) {
    const size_t length = strnlen(text, N - 1);
    std::memcpy(field, text, length);
    std::memset(field + length, 0, N - length);
}

// A chord table entry of a block: voice k, key n, in a table at `base`.
inline int chordEntryOffset(int base, int voice, int key) {
    return base + 512 * voice + 4 * key;
}
