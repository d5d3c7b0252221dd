// Builds small MIDI files in memory for the tests.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

using TrackEvent = std::pair<uint32_t, std::vector<uint8_t>>; // delta ticks, bytes

inline void appendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    std::vector<uint8_t> groups{static_cast<uint8_t>(value & 0x7F)};
    while (value >>= 7) groups.insert(groups.begin(), static_cast<uint8_t>((value & 0x7F) | 0x80));
    out.insert(out.end(), groups.begin(), groups.end());
}

// A track's body, ended by an end-of-track event.
inline std::vector<uint8_t> track(const std::vector<TrackEvent>& events) {
    std::vector<uint8_t> body;
    for (const auto& [delta, bytes] : events) {
        appendVariableLength(body, delta);
        body.insert(body.end(), bytes.begin(), bytes.end());
    }
    body.insert(body.end(), {0, 0xFF, 0x2F, 0});
    return body;
}

inline std::vector<uint8_t> smfBytes(uint16_t format, uint16_t division,
                                     const std::vector<std::vector<uint8_t>>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    auto be16 = [&](uint16_t v) { out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v & 0xFF)}); };
    be16(format);
    be16(static_cast<uint16_t>(tracks.size()));
    be16(division);
    for (const auto& t : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        const auto n = static_cast<uint32_t>(t.size());
        out.insert(out.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
        out.insert(out.end(), t.begin(), t.end());
    }
    return out;
}
