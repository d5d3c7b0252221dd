// Copies text into a fixed field, cut to fit, always terminated.
#pragma once

#include <cstddef>
#include <cstring>

inline void copyText(char* dest, const char* src, size_t capacity) {
    const size_t n = strnlen(src, capacity - 1);
    std::memcpy(dest, src, n);
    dest[n] = 0;
}
