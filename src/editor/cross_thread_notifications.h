// Engine notifications that reach the editor on a thread other than its
// own (the host's automation threads, the engine's worker) wait here until
// the editor's idle applies them on its own thread: on X11 only the thread
// that owns the window may draw. Posting takes no lock and never waits, so
// that any thread, the real-time one included, may post.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

class CrossThreadNotifications {
public:
    CrossThreadNotifications() {
        for (size_t i = 0; i < kCapacity; ++i)
            slots[i].sequence.store(i, std::memory_order_relaxed);
    }

    // The editor's thread: the one that opens the window and calls idle.
    void setOwnerThread(std::thread::id id) { owner.store(id, std::memory_order_release); }
    bool onOwnerThread() const {
        return owner.load(std::memory_order_acquire) == std::this_thread::get_id();
    }

    // Any thread. False when the queue is full; the loss is remembered
    // (takeOverflow) so that the editor can refresh everything.
    bool post(int32_t index, float value) {
        size_t pos = head.load(std::memory_order_relaxed);
        for (;;) {
            Slot& slot = slots[pos % kCapacity];
            const size_t seq = slot.sequence.load(std::memory_order_acquire);
            const auto diff = static_cast<std::ptrdiff_t>(seq) - static_cast<std::ptrdiff_t>(pos);
            if (diff == 0) {
                if (head.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) break;
            } else if (diff < 0) {
                overflow.store(true, std::memory_order_relaxed);
                return false;
            } else {
                pos = head.load(std::memory_order_relaxed);
            }
        }
        Slot& slot = slots[pos % kCapacity];
        slot.index = index;
        slot.value = value;
        slot.sequence.store(pos + 1, std::memory_order_release);
        return true;
    }

    // The owner's thread only: hands every waiting notification to apply,
    // oldest first.
    template <class Apply>
    void drain(Apply&& apply) {
        for (;;) {
            const size_t pos = tail.load(std::memory_order_relaxed);
            Slot& slot = slots[pos % kCapacity];
            if (slot.sequence.load(std::memory_order_acquire) != pos + 1) return;
            const int32_t index = slot.index;
            const float value = slot.value;
            slot.sequence.store(pos + kCapacity, std::memory_order_release);
            tail.store(pos + 1, std::memory_order_relaxed);
            apply(index, value);
        }
    }

    bool takeOverflow() { return overflow.exchange(false, std::memory_order_relaxed); }

    static constexpr size_t kCapacity = 1024;

private:
    struct Slot {
        std::atomic<size_t> sequence;
        int32_t index = 0;
        float value = 0;
    };
    std::array<Slot, kCapacity> slots;
    alignas(64) std::atomic<size_t> head{0};
    alignas(64) std::atomic<size_t> tail{0};
    std::atomic<bool> overflow{false};
    std::atomic<std::thread::id> owner{};
};
