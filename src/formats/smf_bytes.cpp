#include "smf_bytes.h"

bool SmfCursor::byte(uint8_t& out) {
    if (position >= size) return false;
    out = data[position++];
    return true;
}

bool SmfCursor::peek(uint8_t& out) const {
    if (position >= size) return false;
    out = data[position];
    return true;
}

bool SmfCursor::bigEndian(int count, uint32_t& out) {
    if (static_cast<size_t>(count) > remaining()) {
        position = size;
        return false;
    }
    out = 0;
    for (int i = 0; i < count; ++i) out = (out << 8) | data[position++];
    return true;
}

bool SmfCursor::quantity(uint32_t& out, bool* tooLong) {
    out = 0;
    if (tooLong) *tooLong = false;
    for (int i = 0; i < 4; ++i) {
        uint8_t b;
        if (!byte(b)) return false;
        out = (out << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) return true;
    }
    if (tooLong) *tooLong = true;
    return true;
}

bool SmfCursor::skip(size_t count) {
    if (count > remaining()) {
        position = size;
        return false;
    }
    position += count;
    return true;
}

const uint8_t* SmfCursor::take(size_t count) {
    if (count > remaining()) {
        position = size;
        return nullptr;
    }
    const uint8_t* start = data + position;
    position += count;
    return start;
}

void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void appendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    groups[count++] = value & 0x7F;
    while ((value >>= 7) != 0) groups[count++] = static_cast<uint8_t>(0x80 | (value & 0x7F));
    while (count > 0) out.push_back(groups[--count]);
}

std::vector<uint8_t> smfBytes(uint16_t format, uint16_t division,
                              const std::vector<std::vector<uint8_t>>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    appendBigEndian(out, 6, 4);
    appendBigEndian(out, format, 2);
    appendBigEndian(out, static_cast<uint32_t>(tracks.size()), 2);
    appendBigEndian(out, division, 2);
    for (const auto& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        appendBigEndian(out, static_cast<uint32_t>(track.size()), 4);
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}
