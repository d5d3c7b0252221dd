// What a check tells as it runs: where it is (rate, block size, what it is
// doing), what it did and what failed. Each line goes straight to a file
// the runner reads afterwards, so that a check that crashes still leaves
// its last place behind for the reproduction.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace validate {

struct Place {
    double rate = 0.0;  // 0 when the check is at no particular rate
    int32_t block = -1; // -1 when at no particular block size
    std::string doing;
    std::string text() const;
};

// Several threads of a check may write to it at once.
class CheckLog {
public:
    explicit CheckLog(int fd) : fd(fd) {}

    void at(const Place& place);
    void at(double rate, int32_t block, const std::string& doing);
    Place place() const;
    // One part of the check's one-line summary.
    void did(const std::string& what);
    // A failure at the current place.
    void fail(const std::string& what);
    // The plug-in does not have what the check is about.
    void notBuilt(const std::string& why);
    bool failed() const { return failureCount > 0; }
    bool skipped() const { return wasSkipped; }
    // The check leaves memory behind on purpose (an instance a careless
    // host never closed, a window library's caches): a leak report would
    // blame the host or those libraries, so its process skips it.
    void leaveMemoryBehind() { memoryLeftBehind = true; }
    bool leavesMemoryBehind() const { return memoryLeftBehind; }
    // Ends the record with the number of failures (more than are written).
    void finish();

private:
    void write(char kind, const std::string& text);

    int fd;
    mutable std::mutex lock;
    Place current;
    std::atomic<int> failureCount{0};
    std::atomic<bool> wasSkipped{false};
    std::atomic<bool> memoryLeftBehind{false};
};

// The record as the runner reads it back.
struct CheckRecord {
    Place lastPlace;
    std::string summary;  // the did() parts, joined
    std::string notBuilt; // why, when not built
    std::string failures; // the failures written, one per line
    Place firstFailurePlace;
    int failureCount = 0;
    bool finished = false;
};
CheckRecord readCheckRecord(int fd);

} // namespace validate
