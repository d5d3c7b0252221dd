// The streams a plug-in's state is saved to and loaded from. Each call may
// move fewer bytes than asked for.
#pragma once

#include <cstdint>

struct clap_istream {
    void* ctx;
    // Bytes read; 0 at the end, -1 on an error.
    int64_t (*read)(const clap_istream* stream, void* buffer, uint64_t size);
};

struct clap_ostream {
    void* ctx;
    // Bytes taken; -1 on an error.
    int64_t (*write)(const clap_ostream* stream, const void* buffer, uint64_t size);
};

static_assert(sizeof(clap_istream) == 16);
static_assert(sizeof(clap_ostream) == 16);
