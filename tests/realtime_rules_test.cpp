// The real-time path never allocates, frees, locks or touches files, in
// Zandrel.so, Zandrel.clap and the LV2 build, and the chord commands work in
// the list the engine reserved for them. This binary replaces the C library's
// allocation, lock and file functions with counting versions; the counts
// only run while a host of ours is inside the plug-in (insidePlugin), so
// the host's own work is not counted.
#include "chord_removal.h"
#include "chord_set_fixture.h"
#include "chord_sort.h"
#include "chord_transforms.h"
#include "test_host_support.h"

#ifdef ZANDREL_CLAP_PLUGIN
#include "clap_host.h"
#include "zandrel_clap_services.h"
#endif
#ifdef ZANDREL_LV2_BUNDLE
#include "lv2_host.h"
#endif

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
#ifdef ZANDREL_CLAP_PLUGIN
    if (counting && ClapHost::insidePlugin) return true;
#endif
#ifdef ZANDREL_LV2_BUNDLE
    if (counting && Lv2Host::insidePlugin) return true;
#endif
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
template <typename Host>
void busyBlock(Host& host, int i, int32_t frames) {
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

namespace fs = std::filesystem;

// A documents folder whose presets folder holds chord presets A (C minor
// at key 60) and B (D minor), and arp preset A, for program changes.
class PresetsFolder {
public:
    PresetsFolder() {
        char pattern[] = "/tmp/zandrel-realtime-XXXXXX";
        if (!mkdtemp(pattern)) return;
        documents = pattern;
        setenv("XDG_DOCUMENTS_DIR", pattern, 1);
        const fs::path presets = documents / "Vrek" / "Zandrel Presets";
        fs::create_directories(presets / "Chord");
        fs::create_directories(presets / "Arp");
        auto saver = makeHost();
        storeChord(*saver, 60, {60, 63, 67});
        made = service(*saver, kVendorSavePreset, (presets / "Chord" / "A.fxp").string(), 1) == 1 &&
               service(*saver, kVendorSavePreset, (presets / "Arp" / "A.fxp").string(), 2) == 1;
        storeChord(*saver, 60, {62, 65, 69});
        made = made &&
               service(*saver, kVendorSavePreset, (presets / "Chord" / "B.fxp").string(), 1) == 1;
    }
    ~PresetsFolder() {
        unsetenv("XDG_DOCUMENTS_DIR");
        if (!documents.empty()) fs::remove_all(documents);
    }
    PresetsFolder(const PresetsFolder&) = delete;
    PresetsFolder& operator=(const PresetsFolder&) = delete;

    bool made = false;

private:
    fs::path documents;
};

TEST(RealtimeRules, ProgramChangeLoadsApplyOnTheAudioThreadWithoutAllocating) {
    // The worker thread reads the files a program change chooses; the
    // blocks that follow apply them, and nothing of that may allocate.
    const PresetsFolder folder;
    ASSERT_TRUE(folder.made);
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
}

#ifdef ZANDREL_CLAP_PLUGIN
TEST(RealtimeRules, TheClapBuildProcessesWithoutAllocatingLockingOrTouchingFiles) {
    // The busy session again, with what only CLAP hosts send inside a
    // block: note events (chokes, velocity-0 note-ons), parameter changes
    // and transport changes at their frames; program changes and resets.
    const PresetsFolder folder;
    ASSERT_TRUE(folder.made);
    ClapHost host(ZANDREL_CLAP_PLUGIN);
    ASSERT_TRUE(host.loaded()) << host.error();
    const auto* services =
        static_cast<const zandrel_clap_services*>(host.extension(kZandrelServicesExtension));
    ASSERT_NE(services, nullptr);
    host.setTempo(128);
    host.setPlaying(true);
    for (int i = 0; i < 5000; ++i) host.controller(i % 512, 1, 7, i % 128);
    host.processBlock(512);
    host.events.clear();
    auto programChange = [&](int bank, int program) {
        host.controller(0, 1, 0, bank);
        host.controller(0, 1, 32, 0);
        host.queueMidi(0, 0xC0, static_cast<uint8_t>(program), 0);
    };

    allocations = frees = locks = fileCalls = 0;
    counting = true;
    for (int i = 0; i < 4000; ++i) {
        const int32_t frame = (i * 11) % 64;
        const int key = 36 + (i * 7) % 48;
        host.noteOn(frame, 1 + (i % 4 == 3 ? 15 : i % 4), key, 1 + (i * 13) % 127);
        if (i % 3 == 0) host.queueNoteEvent(frame, CLAP_EVENT_NOTE_ON, 1, key - 21, 0.0);
        if (i % 7 == 0) host.queueNoteEvent((i * 5) % 64, CLAP_EVENT_NOTE_OFF, 1, key, 0.5);
        if (i % 31 == 0) host.queueNoteEvent(3, CLAP_EVENT_NOTE_CHOKE, 0, -1, 0.0);
        if (i % 5 == 0) host.setParameter(static_cast<clap_id>(i % 32), (i % 9) / 8.0, frame);
        if (i % 13 == 0) host.queueTransportChange({(i * 3) % 64, i % 26 == 0, 90.0 + i % 50, {}});
        if (i % 41 == 0) host.queueTransportChange({frame, {}, {}, (i % 17) * 0.75});
        if (i % 40 == 0) programChange(i % 120 == 80 ? 1 : 0, (i / 40) % 2);
        if (i % 97 == 0) host.reset(); // on the audio thread too
        host.processBlock(64);
        if (host.events.size() > 50000) host.events.clear();
        host.parameterEvents.clear();
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(frees.load(), 0);
    EXPECT_EQ(locks.load(), 0);
    EXPECT_EQ(fileCalls.load(), 0);

    // A program change's preset does reach the engine, in a counted block,
    // once the presets the busy blocks chose are read and applied.
    services->run_deferred(host.plugin());
    host.run(640, 64);
    host.setParameter(0, 24 / 48.99); // no transposition
    host.setParameter(16, 1.0);       // chords on
    host.setParameter(17, 0.0);       // arpeggiator off: the chord is heard
    host.setPlaying(false);
    host.processBlock(64);
    programChange(0, 1);
    host.processBlock(64);
    services->run_deferred(host.plugin());
    counting = true;
    host.processBlock(64);
    counting = false;
    host.events.clear();
    host.noteOn(0, 1, 60, 100);
    host.processBlock(64);
    std::vector<int> chord;
    for (const auto& e : host.events)
        if ((e.status & 0xF0) == 0x90 && e.data2 > 0) chord.push_back(e.data1);
    EXPECT_EQ(chord, (std::vector<int>{62, 65, 69}));
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(frees.load(), 0);
    EXPECT_EQ(locks.load(), 0);
    EXPECT_EQ(fileCalls.load(), 0);
}
#endif

TEST(RealtimeRules, TheCountersSeeWhatHappensInsideThePlugin) {
    // The counting itself works: loading a plug-in allocates and the
    // parameter door from this (non-real-time) thread may lock.
    allocations = 0;
    counting = true;
    auto host = std::make_unique<PluginHost>(kPluginPath);
    counting = false;
    EXPECT_GT(allocations.load(), 0);
#ifdef ZANDREL_CLAP_PLUGIN
    allocations = 0;
    counting = true;
    auto clap = std::make_unique<ClapHost>(ZANDREL_CLAP_PLUGIN);
    counting = false;
    EXPECT_GT(allocations.load(), 0);
#endif
}

#ifdef ZANDREL_LV2_BUNDLE
TEST(RealtimeRules, TheLv2RunNeverAllocatesLocksOrTouchesFiles) {
    // The same session through the LV2 build, with what only LV2 hosts
    // send inside a block: transport positions, patch messages (a
    // transpose while chords sound ends them at once), control port moves,
    // and program changes whose presets the host's worker reads.
    const PresetsFolder folder;
    ASSERT_TRUE(folder.made);
    Lv2Host host(ZANDREL_LV2_BUNDLE);
    ASSERT_TRUE(host.loaded()) << host.error();
    host.setTempo(128);
    host.setPlaying(true);
    host.setParameter(104, 1.0f);
    for (int i = 0; i < 5000; ++i) host.controller(i % 512, 1, 7, i % 128);
    host.processBlock(512);

    allocations = frees = locks = fileCalls = 0;
    counting = true;
    for (int i = 0; i < 4000; ++i) {
        busyBlock(host, i, 64);
        if (i % 7 == 0) host.patchSet(i % 64, 0, static_cast<float>(i % 49) / 48.99f);
        if (i % 11 == 0) host.setControl(4 + i % 12, static_cast<float>(i % 4) / 3.0f);
        if (i % 13 == 0) host.setTempo(90.0 + i % 50, (i * 3) % 64);
        if (i % 19 == 0) host.locate(i % 32, (i * 5) % 64);
        if (i % 23 == 0) host.patchGet(i % 64);
        if (i % 40 == 0) host.queueMidi(i % 64, 0xC0, static_cast<uint8_t>((i / 40) % 2), 0);
        host.processBlock(64);
        if (host.events.size() > 50000) host.events.clear();
        host.parameters.clear();
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(frees.load(), 0);
    EXPECT_EQ(locks.load(), 0);
    EXPECT_EQ(fileCalls.load(), 0);
}
#endif

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
