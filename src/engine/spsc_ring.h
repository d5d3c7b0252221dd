// A bounded single-producer, single-consumer ring. Neither side blocks or
// allocates: push fails when the ring is full, pop fails when it is empty.
#pragma once

#include <atomic>
#include <cstddef>

template <typename T, size_t Capacity>
class SpscRing {
    static_assert((Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

public:
    bool push(const T& item) {
        const size_t head = writeIndex.load(std::memory_order_relaxed);
        if (head - readIndex.load(std::memory_order_acquire) >= Capacity) return false;
        slots[head & (Capacity - 1)] = item;
        writeIndex.store(head + 1, std::memory_order_release);
        return true;
    }

    bool pop(T& item) {
        const size_t tail = readIndex.load(std::memory_order_relaxed);
        if (tail == writeIndex.load(std::memory_order_acquire)) return false;
        item = slots[tail & (Capacity - 1)];
        readIndex.store(tail + 1, std::memory_order_release);
        return true;
    }

    // How many items wait. On the producer's thread never fewer than wait
    // by the time it pushes again (the consumer only takes).
    size_t size() const {
        return writeIndex.load(std::memory_order_acquire) -
               readIndex.load(std::memory_order_acquire);
    }

    bool empty() const {
        return readIndex.load(std::memory_order_acquire) ==
               writeIndex.load(std::memory_order_acquire);
    }

private:
    T slots[Capacity]{};
    alignas(64) std::atomic<size_t> writeIndex{0};
    alignas(64) std::atomic<size_t> readIndex{0};
};
