#include "background_worker.h"

#include <cerrno>
#include <ctime>

BackgroundWorker::BackgroundWorker(RealtimeLog& log, Apply apply)
    : log(log), apply(std::move(apply)) {
    sem_init(&wakeup, 0, 0);
    thread = std::thread([this] { loop(); });
}

BackgroundWorker::~BackgroundWorker() {
    stopping.store(true);
    sem_post(&wakeup);
    thread.join();
    sem_destroy(&wakeup);
}

bool BackgroundWorker::defer(int32_t index, float value) {
    const bool queued = queue.push({index, value});
    wake();
    return queued;
}

void BackgroundWorker::wake() {
    sem_post(&wakeup);
}

void BackgroundWorker::runPending() {
    std::lock_guard<std::mutex> lock(consumer);
    busy.store(true);
    DeferredParameter p;
    while (queue.pop(p)) apply(p.index, p.value);
    log.flushTo(stderr);
    busy.store(false);
}

void BackgroundWorker::flushLog() {
    std::lock_guard<std::mutex> lock(consumer);
    log.flushTo(stderr);
}

void BackgroundWorker::loop() {
    while (!stopping.load()) {
        // Wake on demand, and at least every 100 ms to write out log lines.
        timespec deadline{};
        clock_gettime(CLOCK_REALTIME, &deadline);
        deadline.tv_nsec += 100 * 1000 * 1000;
        if (deadline.tv_nsec >= 1000000000) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000;
        }
        while (sem_timedwait(&wakeup, &deadline) == -1 && errno == EINTR) {}
        if (stopping.load()) break;
        if (heldForHost.load())
            flushLog();
        else
            runPending();
    }
    log.flushTo(stderr);
}
