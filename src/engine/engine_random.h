// The engine's one random source: random notes, lane randomization, the
// arpeggiator's spread, the preview's start phase and chord variations all
// draw from it. Seedable, so that a session can be reproduced exactly; safe
// to call from the real-time and the user-interface thread at once (each
// draw takes a distinct position of one counter, no locks).
#pragma once

#include <atomic>
#include <cstdint>

class EngineRandom {
public:
    explicit EngineRandom(uint64_t seed = 0) { reseed(seed); }
    void reseed(uint64_t seed) {
        base = seed;
        counter.store(0, std::memory_order_relaxed);
    }
    // Continues where `other` stands (an offline copy of the engine).
    void copyFrom(const EngineRandom& other) {
        base = other.base;
        counter.store(other.counter.load(std::memory_order_relaxed), std::memory_order_relaxed);
    }
    // A non-negative 31-bit integer, as the C library's rand() gives.
    int32_t next() {
        uint64_t z =
            base + 0x9E3779B97F4A7C15ull * (counter.fetch_add(1, std::memory_order_relaxed) + 1);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<int32_t>(z >> 33);
    }

private:
    uint64_t base = 0;
    std::atomic<uint64_t> counter{0};
};
