// A non-real-time thread owned by the effect. The real-time thread hands it
// work that must not run there: preset loads chosen by program change
// (they read files) and the diagnostic lines written during processing.
#pragma once

#include "realtime_log.h"
#include "spsc_ring.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <semaphore.h>
#include <thread>

struct DeferredParameter {
    int32_t index;
    float value;
};

class BackgroundWorker {
public:
    using Apply = std::function<void(int32_t index, float value)>;

    BackgroundWorker(RealtimeLog& log, Apply apply);
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    // Real-time side: never blocks; answers false when the queue is full.
    bool defer(int32_t index, float value);
    void wake();
    // Runs everything queued so far on the calling thread (tests, shutdown).
    void runPending();
    // A host of our own may take the work into its own hands: while held,
    // the thread only writes out log lines and the work waits for
    // runPending(), so that a recorded session replays the same way each time.
    void holdForHost(bool hold) { heldForHost.store(hold); }
    // True while nothing is queued or being applied.
    bool idle() const { return queue.empty() && !busy.load(); }

private:
    void loop();
    void flushLog();

    RealtimeLog& log;
    Apply apply;
    SpscRing<DeferredParameter, 256> queue;
    sem_t wakeup;
    std::atomic<bool> stopping{false};
    std::atomic<bool> busy{false};
    std::atomic<bool> heldForHost{false};
    std::mutex consumer; // the worker thread and runPending() callers take turns
    std::thread thread;
};
