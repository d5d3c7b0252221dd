// Builds small MIDI files in memory for the tests.
#pragma once

#include "smf_bytes.h"

#include <cstdint>
#include <utility>
#include <vector>

using TrackEvent = std::pair<uint32_t, std::vector<uint8_t>>; // delta ticks, bytes

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
