// The byte-level pieces of Standard MIDI Files that every reader and writer
// of them shares: the MIDI import, the MIDI export, the renderer's song
// reader and writer, and the tests that build files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Reads bytes from untrusted input: every read checks what is left, and a
// read that does not fit answers false and leaves the cursor at the end.
class SmfCursor {
public:
    SmfCursor(const uint8_t* data, size_t size, size_t position = 0)
        : data(data), size(size), position(position < size ? position : size) {}

    bool atEnd() const { return position >= size; }
    size_t remaining() const { return size - position; }
    size_t offset() const { return position; }

    bool byte(uint8_t& out);
    bool peek(uint8_t& out) const;
    bool bigEndian(int count, uint32_t& out);
    // A variable-length quantity of at most four bytes. A fourth byte that
    // still announces more ends it all the same; `tooLong` tells.
    bool quantity(uint32_t& out, bool* tooLong = nullptr);
    bool skip(size_t count);
    // The next `count` bytes, or null when fewer are left.
    const uint8_t* take(size_t count);

private:
    const uint8_t* data;
    size_t size;
    size_t position;
};

void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int count);
void appendVariableLength(std::vector<uint8_t>& out, uint32_t value);
// A whole file: the header chunk and one chunk per track body (each body
// complete with its end-of-track event).
std::vector<uint8_t> smfBytes(uint16_t format, uint16_t division,
                              const std::vector<std::vector<uint8_t>>& tracks);
