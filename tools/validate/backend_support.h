// What every format's backend needs besides its host: a place for the
// faults the format's own rules find, texts shown with their control
// characters, and which thread is the audio thread.
#pragma once

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace validate {

// A text with its control characters shown as \xNN.
std::string printable(const std::string& text);

// Faults found on any thread, each told once until taken (at most 16).
class FormatFaults {
public:
    void add(const std::string& what);
    std::vector<std::string> take();

private:
    std::mutex lock;
    std::set<std::string> faults;
};

// The thread that processes an instance: the one that made it until
// another processes. Parameter changes from it go straight into the next
// block; changes from any other thread (a host's user interface) through
// the host's queue for the audio thread.
class AudioThread {
public:
    void processing() { id.store(std::this_thread::get_id(), std::memory_order_relaxed); }
    bool isCalling() const {
        return id.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }

private:
    std::atomic<std::thread::id> id{std::this_thread::get_id()};
};

} // namespace validate
