#include "shared_worker.h"

#include "diagnostics.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <ctime>
#include <semaphore.h>
#include <thread>
#include <vector>

class SharedWorker {
public:
    static SharedWorker& instance() {
        // Destroyed when the library is unloaded, which joins the thread.
        static SharedWorker worker;
        return worker;
    }
    SharedWorker(const SharedWorker&) = delete;
    SharedWorker& operator=(const SharedWorker&) = delete;

    void add(WorkerClient* client) {
        std::lock_guard<std::mutex> lock(registry);
        clients.push_back(client);
    }

    void remove(WorkerClient* client) {
        std::thread finished;
        {
            std::unique_lock<std::mutex> lock(registry);
            served.wait(lock, [client] { return !client->inUse; });
            clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
            if (clients.empty()) finished = stopLocked();
        }
        if (finished.joinable()) finished.join();
    }

    void start() {
        std::lock_guard<std::mutex> lock(registry);
        if (thread.joinable() || clients.empty()) return;
        stopping.store(false);
        thread = std::thread([this] { loop(); });
    }

    bool running() {
        std::lock_guard<std::mutex> lock(registry);
        return thread.joinable();
    }

    void wake() noexcept { sem_post(&wakeup); }

private:
    SharedWorker() { sem_init(&wakeup, 0, 0); }
    ~SharedWorker() {
        std::thread finished;
        {
            std::lock_guard<std::mutex> lock(registry);
            finished = stopLocked();
        }
        if (finished.joinable()) finished.join();
        sem_destroy(&wakeup);
    }

    // Hands back the thread to join once the registry is unlocked.
    std::thread stopLocked() {
        stopping.store(true);
        sem_post(&wakeup);
        return std::move(thread);
    }

    void loop() {
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
            serveAll();
        }
    }

    // Each instance in turn, without the registry held while its work runs
    // (the work calls back into the host, which may be closing another).
    void serveAll() {
        std::unique_lock<std::mutex> lock(registry);
        for (size_t i = 0; i < clients.size() && !stopping.load(); ++i) {
            WorkerClient* client = clients[i];
            client->inUse = true;
            lock.unlock();
            client->serve();
            lock.lock();
            client->inUse = false;
            served.notify_all();
        }
    }

    std::mutex registry;
    std::condition_variable served;
    std::vector<WorkerClient*> clients;
    std::thread thread;
    std::atomic<bool> stopping{false};
    sem_t wakeup;
};

WorkerClient::WorkerClient(RealtimeLog& log, Apply apply) : log(log), apply(std::move(apply)) {
    SharedWorker::instance().add(this);
}

WorkerClient::~WorkerClient() {
    SharedWorker::instance().remove(this);
    std::lock_guard<std::mutex> lock(consumer);
    log.flushTo(writeDiagnostic);
}

bool WorkerClient::defer(int32_t index, float value) noexcept {
    const bool queued = queue.push({index, value});
    SharedWorker::instance().wake();
    return queued;
}

void WorkerClient::runPending() {
    std::lock_guard<std::mutex> lock(consumer);
    DeferredParameter p;
    while (queue.pop(p)) apply(p.index, p.value);
    log.flushTo(writeDiagnostic);
}

void WorkerClient::serve() {
    if (!heldForHost.load()) return runPending();
    std::lock_guard<std::mutex> lock(consumer);
    log.flushTo(writeDiagnostic);
}

void WorkerClient::startThread() {
    SharedWorker::instance().start();
}

bool WorkerClient::threadRunning() {
    return SharedWorker::instance().running();
}
