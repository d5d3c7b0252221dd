// The user-interface thread's share of a core while the editor is open and
// the arpeggiator plays a held chord at "1/16" (120 BPM): Zandrel.so loaded
// as a DAW loads it, a processing thread at real-time pace, and the
// editor's idle called sixty times a second, for ten seconds per run, at
// 100 % and 200 % (argument 1 or 2). With a display (DISPLAY set, e.g.
// under xvfb-run) the editor opens in an X window, otherwise headless.
// Counters: ui_cpu_percent (of one core) and ui_cpu_seconds_per_minute.
#include "plugin_host.h"

#include <X11/Xlib.h>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <time.h>

namespace {
double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void playing(PluginHost& host, const std::atomic<bool>& running) {
    constexpr int32_t kBlock = 256;
    const auto period = std::chrono::duration<double>(kBlock / host.sampleRate());
    auto next = std::chrono::steady_clock::now();
    for (int note : {60, 64, 67}) host.noteOn(0, 1, note, 100);
    while (running.load()) {
        host.processBlock(kBlock);
        host.events.clear();
        next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
        std::this_thread::sleep_until(next);
    }
}

void BM_UiThreadWhileTheArpeggiatorPlays(benchmark::State& state) {
    char pattern[] = "/tmp/zandrel-ui-bench-XXXXXX";
    const std::string documents = mkdtemp(pattern);
    setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    PluginHost host(ZANDREL_SO);
    if (!host.loaded()) return state.SkipWithError("cannot load Zandrel.so");
    host.setTempo(120);
    host.setPlaying(true);
    host.setParameter(105, state.range(0) == 2 ? 1.0f : 0.0f); // the size

    Display* display = XOpenDisplay(nullptr);
    Window window = 0;
    int32_t width = 0, height = 0;
    host.editorRect(width, height);
    if (display) {
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0,
                                     static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                     0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    host.openEditor(display ? reinterpret_cast<void*>(window) : nullptr);
    std::atomic<bool> running{true};
    std::thread audio(playing, std::ref(host), std::cref(running));

    const auto seconds = std::chrono::seconds(10);
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpuStart = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        auto next = start;
        while (std::chrono::steady_clock::now() - start < seconds) {
            host.idleEditor();
            next += std::chrono::milliseconds(16);
            std::this_thread::sleep_until(next);
        }
        cpu += threadCpuSeconds() - cpuStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    running = false;
    audio.join();
    host.closeEditor();
    if (display) {
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    std::filesystem::remove_all(documents);
    state.counters["ui_cpu_percent"] = 100 * cpu / wall;
    state.counters["ui_cpu_seconds_per_minute"] = 60 * cpu / wall;
    state.counters["x_window"] = display ? 1 : 0;
}
} // namespace

BENCHMARK(BM_UiThreadWhileTheArpeggiatorPlays)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
