// Loading and unloading: the library opened, an instance created and
// destroyed, the library closed, over and over; the same by a careless host
// that never closes the instance; many instances alive at once on several
// threads. Nothing may crash, and no thread of the plug-in's may outlive
// its last instance.
#include "checks.h"
#include "player.h"

#include <chrono>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <thread>

namespace validate {

namespace {

int threadCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') ++count;
        closedir(dir);
    }
    return count;
}

// Threads take a moment to leave the process after they were joined; a
// thread still there after that was left running.
int threadsAfterSettling(int expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    int count = threadCount();
    while (count > expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        count = threadCount();
    }
    return count;
}

bool mapped(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find(path) != std::string::npos) return true;
    return false;
}

std::string canonicalPath(const CheckContext& c) {
    std::error_code ignored;
    return std::filesystem::canonical(c.options.pluginPath, ignored).string();
}

void checkThreadsBack(CheckContext& c, int baseline, const std::string& when) {
    const int left = threadsAfterSettling(baseline) - baseline;
    if (left > 0)
        c.log.fail(std::to_string(left) + " thread(s) of the plug-in still running " + when);
}

// A few blocks with a note, as a host that plays the instance briefly.
void playBriefly(PluginInstance& instance, CheckLog& log) {
    Player player(instance, log);
    player.start(48000.0, 256);
    player.schedule({{player.position(), 0x90, 60, 100}, {player.position() + 600, 0x80, 60, 0}});
    player.play(2048, 256);
    player.letGo(256);
    player.stop();
}

} // namespace

void loadUnloadCheck(CheckContext& c) {
    const int cycles = c.scaled(100);
    const int baseline = threadCount();
    std::string closeCall = "?";
    for (int i = 0; i < cycles && !c.log.failed(); ++i) {
        c.log.at(0.0, -1, "cycle " + std::to_string(i + 1) + " of " + std::to_string(cycles));
        auto format = c.loadFormat();
        if (!format) return;
        closeCall = format->closeCall();
        auto instance = c.create(*format);
        if (!instance) return;
        // Every tenth instance also plays before it is destroyed.
        if (i % 10 == 0) playBriefly(*instance, c.log);
        instance->destroy();
        checkThreadsBack(c, baseline, "after its last instance was destroyed");
        format->unload();
    }
    checkThreadsBack(c, baseline, "after the library was unloaded");
    c.log.did(std::to_string(cycles) + " cycles of load, create, " + closeCall + ", unload" +
              (mapped(canonicalPath(c)) ? " (the library stays mapped)" : ""));
}

void unloadWithoutCloseCheck(CheckContext& c) {
    const int cycles = c.scaled(100);
    const int baseline = threadCount();
    // The instances are never destroyed: what they hold is the host's leak.
    c.log.leaveMemoryBehind();
    std::string closeCall = "?";
    for (int i = 0; i < cycles; ++i) {
        c.log.at(0.0, -1,
                 "cycle " + std::to_string(i + 1) + " of " + std::to_string(cycles) +
                     ": unloaded without the close call");
        auto format = c.loadFormat();
        if (!format) return;
        closeCall = format->closeCall();
        auto instance = c.create(*format);
        if (!instance) return;
        if (i % 10 == 0) playBriefly(*instance, c.log);
        instance->abandon();
        format->unload();
    }
    c.log.at(0.0, -1, "half a second after the last unload without the close call");
    // Whatever the plug-in left running gets its time to crash.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // A library that stays mapped keeps its code: the threads of instances
    // the host abandoned may live on there without harm.
    std::string remark;
    if (mapped(canonicalPath(c))) {
        remark = " (the library stays mapped; " +
                 std::to_string(threadsAfterSettling(baseline) - baseline) +
                 " thread(s) of the abandoned instances live on)";
    } else {
        checkThreadsBack(c, baseline, "after the library was unloaded without " + closeCall);
    }
    c.log.did(std::to_string(cycles) + " cycles of load, create, unload without " + closeCall +
              remark);
}

void instancesOnThreadsCheck(CheckContext& c) {
    constexpr int kThreads = 4;
    constexpr int kInstances = 32;
    const int baseline = threadCount();
    auto format = c.loadFormat();
    if (!format) return;
    std::vector<std::unique_ptr<PluginInstance>> instances(kInstances);
    c.log.at(0.0, -1, "creating and playing 32 instances on 4 threads");
    const auto onThreads = [&](auto work) {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) threads.emplace_back(work, t);
        for (auto& thread : threads) thread.join();
    };
    onThreads([&](int t) {
        for (int i = t; i < kInstances; i += kThreads) {
            instances[i] = c.create(*format);
            if (instances[i]) playBriefly(*instances[i], c.log);
        }
    });
    const int peak = threadCount();
    c.log.at(0.0, -1, "destroying 32 instances on 4 other threads");
    // Instance i was made by thread i % 4; thread t destroys those of t + 1.
    onThreads([&](int t) {
        for (int i = (t + 1) % kThreads; i < kInstances; i += kThreads)
            if (instances[i]) instances[i]->destroy();
    });
    checkThreadsBack(c, baseline, "after all 32 instances were destroyed");
    instances.clear();
    format->unload();
    c.log.did("32 instances created, played and destroyed on 4 threads each; threads " +
              std::to_string(baseline) + " before, " + std::to_string(peak) + " at most, " +
              std::to_string(threadCount()) + " after");
}

} // namespace validate
