// What a host sees when it loads Zandrel.so, and its real-time path as a
// host meets it: which messages pass through, which are consumed, how many
// events a block can carry.
#include "test_host_support.h"

#include <array>
#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
int threadCount() {
    int n = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) n += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return n;
}
} // namespace

TEST(PluginIdentity, HostSeesAnInstrumentWithMidiInAndOut) {
    PluginHost host(kPluginPath);
    ASSERT_TRUE(host.loaded()) << host.error();
    const AEffect* e = host.aeffect();
    // Magic, programs, parameters, inputs, outputs, identifier, delay.
    EXPECT_EQ((std::vector<int32_t>{e->magic, e->numPrograms, e->numParams, e->numInputs,
                                    e->numOutputs, e->uniqueID, e->initialDelay}),
              (std::vector<int32_t>{0x56737450, 1, 32, 0, 2, fourCharId('Q', 'z', '4', 'k'), 0}));
    const int32_t flags = effFlagsIsSynth | effFlagsCanReplacing | effFlagsProgramChunks;
    EXPECT_EQ(e->flags & flags, flags);
    EXPECT_NE(e->processReplacing, nullptr);
    // Category (instrument), vendor and VST versions, MIDI channels in and out.
    EXPECT_EQ((std::vector<intptr_t>{
                  host.dispatch(effGetPlugCategory), host.dispatch(effGetVendorVersion),
                  host.dispatch(effGetVstVersion), host.dispatch(effGetNumMidiInputChannels),
                  host.dispatch(effGetNumMidiOutputChannels)}),
              (std::vector<intptr_t>{2, 1005, 2400, 3, 13}));
    EXPECT_EQ((std::vector<std::string>{host.stringQuery(effGetEffectName),
                                        host.stringQuery(effGetProductString),
                                        host.stringQuery(effGetVendorString)}),
              (std::vector<std::string>{"Zandrel", "Zandrel", "Vrek Records"}));
    // It asks for MIDI on every resume.
    EXPECT_GE(host.wantMidiCalls, 1);
}

TEST(PluginIdentity, CanDoAnswersYesForItsSixCapabilitiesAndNoOtherwise) {
    PluginHost host(kPluginPath);
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                            "plugAsChannelInsert", "sendVstMidiEvent", "sendVstEvents"})
        EXPECT_EQ(host.canDo(yes), 1) << yes;
    for (const char* no : {"offline", "receiveVstSysexEvent", "", "sendVstEventsX", "bypass"})
        EXPECT_EQ(host.canDo(no), -1) << no;
    // A host of version 0 gets no effect at all.
    PluginHost::Options options;
    options.hostVersion = 0;
    EXPECT_FALSE(PluginHost(kPluginPath, options).loaded());
}

TEST(PluginIdentity, OneProgramWhoseNameCanBeSetAndRead) {
    PluginHost host(kPluginPath);
    char name[64] = {};
    host.dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "Default Program");

    host.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);

    char newName[] = "Verse chords";
    host.dispatch(effSetProgramName, 0, 0, newName);
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 0, 0, name), 1);
    EXPECT_STREQ(name, "Verse chords");
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 1, 0, name), 0);

    // A name longer than the field is cut, never overruns it; hosts get at
    // most 24 bytes back.
    char longName[] = "An extremely long program name that goes on and on";
    host.dispatch(effSetProgramName, 0, 0, longName);
    char back[64];
    std::memset(back, 'x', sizeof back);
    host.dispatch(effGetProgramName, 0, 0, back);
    EXPECT_EQ(std::string(back), std::string(longName).substr(0, 23));
}

TEST(PluginIdentity, ManyInstancesShareOneWorkerThreadThatEndsWithTheLast) {
    const int before = threadCount();
    std::vector<std::unique_ptr<PluginHost>> hosts;
    for (int i = 0; i < 8; ++i) hosts.push_back(std::make_unique<PluginHost>(kPluginPath));
    for (auto& h : hosts) {
        ASSERT_TRUE(h->loaded());
        h->controller(0, 1, 0, 1);
        h->queueMidi(1, 0xC0, 3, 0); // a program change: work for the worker
        h->run(4096, 512);
    }
    EXPECT_EQ(threadCount(), before + 1);
    hosts.clear();
    EXPECT_EQ(threadCount(), before);
}

TEST(PluginIdentity, AHostThatUnloadsTheLibraryWithoutClosingTheInstanceDoesNotCrash) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "under the sanitizers our host keeps the library loaded";
#endif
    // In a child process: the worker thread has work, then the library is
    // unloaded under it. A thread left running would crash the child.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int before = threadCount();
        {
            PluginHost host(kPluginPath);
            host.queueMidi(0, 0xC0, 1, 0);
            host.run(2048, 256);
            host.abandonInstance();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        _exit(threadCount() == before ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a thread of ours outlived the library";
}

namespace {
using Event = PluginHost::ReceivedEvent;

// Everything but notes, as (offset, status, data1, data2).
std::vector<std::array<int, 4>> nonNotes(const std::vector<Event>& events) {
    std::vector<std::array<int, 4>> out;
    for (const Event& e : events)
        if ((e.status & 0xE0) != 0x80) out.push_back({e.deltaFrames, e.status, e.data1, e.data2});
    return out;
}
} // namespace

TEST(ProcessingLoop, ControllersPassThroughAtTheirOffsetsBankSelectAndProgramChangeDoNot) {
    auto host = makeHost();
    host->controller(5, 1, 7, 100);        // volume on channel 1
    host->controller(9, 16, 74, 3);        // brightness on channel 16
    host->queueMidi(20, 0xE2, 0x00, 0x40); // pitch bend on channel 3
    host->queueMidi(30, 0xD0, 0x55, 0x00); // channel pressure
    host->controller(31, 1, 0, 1);         // bank select pair: consumed
    host->controller(31, 1, 32, 2);
    host->queueMidi(32, 0xC0, 3, 0); // program change: consumed
    host->controller(33, 1, 123, 0); // all notes off: consumed
    host->controller(40, 1, 0, 0);   // controller 7 in between: the later
    host->controller(41, 1, 7, 90);  // controller 32 is an ordinary one
    host->controller(42, 1, 32, 4);
    host->processBlock(64);
    EXPECT_EQ(nonNotes(host->events), (std::vector<std::array<int, 4>>{{5, 0xB0, 7, 100},
                                                                       {9, 0xBF, 74, 3},
                                                                       {20, 0xE2, 0x00, 0x40},
                                                                       {30, 0xD0, 0x55, 0},
                                                                       {41, 0xB0, 7, 90},
                                                                       {42, 0xB0, 32, 4}}));
    for (const Event& e : host->events) EXPECT_EQ(e.type, kVstMidiType);
}

TEST(ProcessingLoop, EventsLeaveSortedByTimeAndABlockCarriesAtMost4096) {
    auto host = makeHost();
    host->controller(40, 1, 7, 1);
    host->controller(3, 1, 7, 2);
    host->controller(40, 1, 7, 3);
    host->controller(10, 1, 7, 4);
    host->processBlock(64);
    // Equal times keep their order.
    EXPECT_EQ(nonNotes(host->events),
              (std::vector<std::array<int, 4>>{
                  {3, 0xB0, 7, 2}, {10, 0xB0, 7, 4}, {40, 0xB0, 7, 1}, {40, 0xB0, 7, 3}}));
    host->events.clear();
    for (int i = 0; i < 5000; ++i) host->controller(i % 512, 1, 7, i % 128);
    host->processBlock(512);
    EXPECT_EQ(host->events.size(), 4096u);
    host->events.clear();
    host->controller(0, 1, 7, 1);
    host->processBlock(512);
    EXPECT_EQ(host->events.size(), 1u); // the next block starts empty again
    // Silent outputs without notes, no events for an empty block.
    host->events.clear();
    host->left.assign(256, 1.0f);
    host->right.assign(256, 1.0f);
    host->processBlock(256);
    EXPECT_EQ(host->left, std::vector<float>(256, 0.0f));
    EXPECT_EQ(host->right, std::vector<float>(256, 0.0f));
    host->processBlock(0); // some hosts send empty blocks
    EXPECT_TRUE(host->events.empty());
}
