// One audio port's channels for a process call: 32-bit samples unless the
// port was agreed to carry 64-bit ones.
#pragma once

#include <cstddef>
#include <cstdint>

struct clap_audio_buffer {
    float** data32;
    double** data64;
    uint32_t channel_count;
    uint32_t latency;
    uint64_t constant_mask; // bit n: channel n holds one value throughout (a hint)
};

static_assert(sizeof(clap_audio_buffer) == 32);
static_assert(offsetof(clap_audio_buffer, channel_count) == 16);
static_assert(offsetof(clap_audio_buffer, constant_mask) == 24);
