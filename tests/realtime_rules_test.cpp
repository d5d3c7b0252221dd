// The real-time path never allocates, frees, locks or touches files, and the
// chord commands work in the list the engine reserved for them. This binary
// replaces the C library's allocation, lock and file functions with
// counting versions; the counts only run while the host is inside the
// plug-in (PluginHost::insidePlugin), so the host's own work is not counted.
#include "chord_removal.h"
#include "chord_set_fixture.h"
#include "chord_sort.h"
#include "chord_transforms.h"
#include "test_host_support.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <pthread.h>

// The C library's own entry points, reserved names by nature.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void* __libc_malloc(size_t);
void __libc_free(void*);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
int __open64(const char*, int, ...);
int zandrel_real_mutex_lock(pthread_mutex_t*);
__asm__(".symver zandrel_real_mutex_lock, __pthread_mutex_lock@GLIBC_2.2.5");
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {
std::atomic<long> allocations{0}, frees{0}, locks{0}, fileCalls{0};
bool counting = false;

inline bool counted() {
    return counting && PluginHost::insidePlugin;
}

template <typename F>
F realFunction(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
using FopenFn = FILE* (*)(const char*, const char*);
using VfprintfFn = int (*)(FILE*, const char*, va_list);
using FputsFn = int (*)(const char*, FILE*);
using FwriteFn = size_t (*)(const void*, size_t, size_t, FILE*);
FopenFn realFopen;
VfprintfFn realVfprintf;
FputsFn realFputs;
FwriteFn realFwrite;
__attribute__((constructor)) void resolveRealFunctions() {
    realFopen = realFunction<FopenFn>("fopen");
    realVfprintf = realFunction<VfprintfFn>("vfprintf");
    realFputs = realFunction<FputsFn>("fputs");
    realFwrite = realFunction<FwriteFn>("fwrite");
}
} // namespace

extern "C" {
void* malloc(size_t n) {
    if (counted()) ++allocations;
    return __libc_malloc(n);
}
void free(void* p) {
    if (p && counted()) ++frees;
    __libc_free(p);
}
void* calloc(size_t n, size_t size) {
    if (counted()) ++allocations;
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    if (counted()) ++allocations;
    return __libc_realloc(p, n);
}
void* memalign(size_t alignment, size_t n) {
    if (counted()) ++allocations;
    return __libc_memalign(alignment, n);
}
void* aligned_alloc(size_t alignment, size_t n) {
    return memalign(alignment, n);
}
int posix_memalign(void** out, size_t alignment, size_t n) {
    *out = memalign(alignment, n);
    return *out ? 0 : 12;
}
int pthread_mutex_lock(pthread_mutex_t* m) {
    if (counted()) ++locks;
    return zandrel_real_mutex_lock(m);
}
int open(const char* path, int flags, ...) {
    if (counted()) ++fileCalls;
    va_list args;
    va_start(args, flags);
    const int mode = va_arg(args, int);
    va_end(args);
    return __open64(path, flags, mode);
}
FILE* fopen(const char* path, const char* mode) {
    if (counted()) ++fileCalls;
    return realFopen(path, mode);
}
int vfprintf(FILE* f, const char* format, va_list args) {
    if (counted()) ++fileCalls;
    return realVfprintf(f, format, args);
}
int fprintf(FILE* f, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = vfprintf(f, format, args);
    va_end(args);
    return n;
}
int fputs(const char* s, FILE* f) {
    if (counted()) ++fileCalls;
    return realFputs(s, f);
}
size_t fwrite(const void* p, size_t size, size_t n, FILE* f) {
    if (counted()) ++fileCalls;
    return realFwrite(p, size, n, f);
}
}

namespace {
// A busy session: chords and arpeggios, controllers, program changes,
// transport starts and stops, preview voices sounding, notes on every
// channel the engine treats differently.
void busyBlock(PluginHost& host, int i, int32_t frames) {
    const int key = 36 + (i * 7) % 48;
    host.noteOn(i % frames, 1 + (i % 4 == 3 ? 15 : i % 4), key, 1 + (i * 13) % 127);
    if (i % 3 == 0) host.noteOff((i * 5) % frames, 1, 36 + ((i - 3) * 7) % 48);
    host.controller((i * 3) % frames, 1, 7, i % 128);
    if (i % 17 == 0) host.controller(0, 1, 123, 0);
    if (i % 29 == 0) host.queueMidi(1, 0xE0, 0, 64);
    if (i % 101 == 0) host.setPlaying(i % 202 == 0);
    if (i % 64 == 0) host.noteOn(0, 1, 60, 0); // velocity-0 note-on
}
// Playing, the preview on, warmed up by one block with the most events.
std::unique_ptr<PluginHost> warmHost() {
    auto host = makeHost(48000);
    host->setTempo(128);
    host->setPlaying(true);
    host->setParameter(param::kPreviewOn, 1.0f);
    for (int i = 0; i < 5000; ++i) host->controller(i % 512, 1, 7, i % 128);
    host->processBlock(512);
    host->events.clear();
    return host;
}
} // namespace

TEST(RealtimeRules, ProcessingNeverAllocatesLocksOrTouchesFiles) {
    auto host = warmHost();

    counting = true;
    for (int i = 0; i < 4000; ++i) {
        busyBlock(*host, i, 64);
        host->processBlock(64);
        if (host->events.size() > 50000) host->events.clear(); // outside the plug-in: not counted
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(frees.load(), 0);
    EXPECT_EQ(locks.load(), 0);
    EXPECT_EQ(fileCalls.load(), 0);
}

TEST(RealtimeRules, ProgramChangeLoadsApplyOnTheAudioThreadWithoutAllocating) {
    // The worker thread reads the files a program change chooses; the
    // blocks that follow apply them, and nothing of that may allocate.
    namespace fs = std::filesystem;
    const ScratchFolder documents;
    setenv("XDG_DOCUMENTS_DIR", documents.path().c_str(), 1);
    const fs::path presets = documents.path() / "Vrek" / "Zandrel Presets";
    fs::create_directories(presets / "Chord");
    fs::create_directories(presets / "Arp");
    {
        auto saver = makeHost();
        storeChord(*saver, 60, {60, 63, 67});
        ASSERT_EQ(service(*saver, kVendorSavePreset, (presets / "Chord" / "A.fxp").string(), 1), 1);
        ASSERT_EQ(service(*saver, kVendorSavePreset, (presets / "Arp" / "A.fxp").string(), 2), 1);
        storeChord(*saver, 60, {62, 65, 69});
        ASSERT_EQ(service(*saver, kVendorSavePreset, (presets / "Chord" / "B.fxp").string(), 1), 1);
    }
    auto host = warmHost();
    auto programChange = [&](int bank, int program) {
        host->controller(0, 1, 0, bank);
        host->controller(0, 1, 32, 0);
        host->queueMidi(0, 0xC0, static_cast<uint8_t>(program), 0);
    };

    allocations = frees = locks = fileCalls = 0;
    counting = true;
    for (int i = 0; i < 4000; ++i) {
        busyBlock(*host, i, 64);
        if (i % 40 == 0) programChange(i % 120 == 80 ? 1 : 0, (i / 40) % 2);
        host->processBlock(64);
        if (host->events.size() > 50000) host->events.clear();
    }
    counting = false;

    // The loads do reach the engine, B, then A again; here the file is read
    // at a known moment, so the block that applies it is surely counted.
    for (const auto& [program, chord] :
         {std::pair{1, std::vector<int>{62, 65, 69}}, std::pair{0, std::vector<int>{60, 63, 67}}}) {
        programChange(0, program);
        host->processBlock(64);
        service(*host, kVendorRunDeferred, "");
        counting = true;
        host->processBlock(64);
        counting = false;
        EXPECT_EQ(chordOf(*host, 60), chord) << "program " << program;
    }
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(frees.load(), 0);
    EXPECT_EQ(locks.load(), 0);
    EXPECT_EQ(fileCalls.load(), 0);
    unsetenv("XDG_DOCUMENTS_DIR");
}

TEST(RealtimeRules, TheCountersSeeWhatHappensInsideThePlugin) {
    // The counting itself works: loading a plug-in allocates and the
    // parameter door from this (non-real-time) thread may lock.
    allocations = 0;
    counting = true;
    auto host = std::make_unique<PluginHost>(kPluginPath);
    counting = false;
    EXPECT_GT(allocations.load(), 0);
}

TEST(RealtimeRules, ChordCommandsWorkInsideTheListTheEngineReserved) {
    auto s = emptyChordSet();
    ChordWorkList list;
    EngineRandom random{3};
    for (int slot = 0; slot < 128; slot += 5) setChord(*s, slot, {30 + slot % 60, 37 + slot % 60});
    s->playedKeys[0] = 10;
    s->playedKeysCount = 1;
    allocations = 0;
    counting = PluginHost::insidePlugin = true; // as the engine runs them
    for (int order = 0; order < kSortOrderCount; ++order) sortChordSet(*s, list, order);
    for (int value = 0; value <= 8; ++value)
        transformChords(*s, list, random, static_cast<float>(value));
    for (int value = 0; value <= 5; ++value) removeChords(*s, list, static_cast<float>(value));
    counting = PluginHost::insidePlugin = false;
    EXPECT_EQ(allocations.load(), 0);
    // The commands did run: the unwatched removal left only key 10's chord.
    EXPECT_EQ(occupiedSlots(*s).size(), 1u);
}
