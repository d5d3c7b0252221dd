// The thread that does what the real-time thread must not: reading the
// presets that program changes choose, and writing out the diagnostic lines
// written during processing. One thread serves every instance in the
// process (a session with a hundred instances has one sleeping thread, not
// a hundred). It starts when an instance first prepares to process, stops
// and is joined when the last instance goes away, and, should a host unload
// the library with instances still open, is joined when the library is
// unloaded: it never runs code that is no longer mapped.
#pragma once

#include "realtime_log.h"
#include "spsc_ring.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

struct DeferredParameter {
    int32_t index;
    float value;
};

// One instance's side: its queue, kept in order, and its log.
class WorkerClient {
public:
    using Apply = std::function<void(int32_t index, float value)>;

    WorkerClient(RealtimeLog& log, Apply apply);
    ~WorkerClient();
    WorkerClient(const WorkerClient&) = delete;
    WorkerClient& operator=(const WorkerClient&) = delete;

    // Real-time side: never blocks; answers false when the queue is full.
    bool defer(int32_t index, float value) noexcept;
    // Runs everything queued so far on the calling thread.
    void runPending();
    // A host of our own may take the work into its own hands: while held,
    // the thread only writes out log lines and the work waits for
    // runPending(), so that a recorded session replays the same way.
    void holdForHost(bool hold) { heldForHost.store(hold); }

    // Starts the shared thread if it is not running (non-real-time threads).
    static void startThread();
    // Whether the shared thread runs now (tests).
    static bool threadRunning();

private:
    friend class SharedWorker;
    void serve(); // the shared thread's turn at this instance

    RealtimeLog& log;
    Apply apply;
    SpscRing<DeferredParameter, 256> queue;
    std::atomic<bool> heldForHost{false};
    std::mutex consumer; // the shared thread and runPending() callers take turns
    bool inUse = false;  // the shared thread serves it now; guarded by the registry
};
