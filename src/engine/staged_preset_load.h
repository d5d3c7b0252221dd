// A preset chosen by program change, on its way from the worker thread to
// the real-time thread. Reading the file must not happen on the audio
// thread, but the load itself belongs there, between two blocks, as if
// processing had loaded it at once: done on the worker while a block runs,
// its release helpers would race the notes that block starts and leave
// some hanging. So the worker reads the file into the slot and marks it
// ready; the real-time thread applies the bytes at the start of its next
// block and marks it applied; the worker then names the preset in the menu
// and tells the host. The state says which thread owns `bytes`, `path` and
// `loaded`.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class StagedPresetLoad {
public:
    std::vector<uint8_t> bytes; // the file
    std::string path;
    bool loaded = false; // how the real-time thread's load went

    // Worker: makes the slot its own. A choice the real-time thread has not
    // taken yet gives way (a newer one replaces it); one it is applying
    // right now is waited for, which is short and bounded. True when that
    // left an applied load to finish (finishApplied) before refilling.
    bool claim() {
        take(kReady, kEmpty);
        while (state.load(std::memory_order_acquire) == kApplying) std::this_thread::yield();
        return state.load(std::memory_order_acquire) == kApplied;
    }
    // Worker: true, and the slot the worker's to refill, when the
    // real-time thread has applied what was in it.
    bool finishApplied() { return take(kApplied, kEmpty); }
    // Worker: hands over what it filled in.
    void publish() { state.store(kReady, std::memory_order_release); }

    // Real-time thread: true, and the slot its own, when one is ready.
    bool takeReady() { return take(kReady, kApplying); }
    // Real-time thread: hands the slot back with the load's outcome.
    void markApplied(bool ok) {
        loaded = ok;
        state.store(kApplied, std::memory_order_release);
    }

private:
    enum State : uint8_t { kEmpty, kReady, kApplying, kApplied };
    bool take(State from, State to) {
        uint8_t expected = from;
        return state.compare_exchange_strong(expected, to, std::memory_order_acq_rel);
    }
    std::atomic<uint8_t> state{kEmpty};
};
