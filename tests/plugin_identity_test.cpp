// What a host sees when it loads Zandrel.so.
#include "test_host_support.h"

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
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, 32);
    EXPECT_EQ(e->numInputs, 0);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->uniqueID, ('Q' << 24) | ('z' << 16) | ('4' << 8) | 'k');
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_TRUE(e->flags & effFlagsIsSynth);
    EXPECT_TRUE(e->flags & effFlagsCanReplacing);
    EXPECT_TRUE(e->flags & effFlagsProgramChunks);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), 2);
    EXPECT_EQ(host.stringQuery(effGetEffectName), "Zandrel");
    EXPECT_EQ(host.stringQuery(effGetProductString), "Zandrel");
    EXPECT_EQ(host.stringQuery(effGetVendorString), "Vrek Records");
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 1005);
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.dispatch(effGetNumMidiInputChannels), 3);
    EXPECT_EQ(host.dispatch(effGetNumMidiOutputChannels), 13);
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
}

TEST(PluginIdentity, HostOfVersionZeroGetsNoEffect) {
    PluginHost::Options options;
    options.hostVersion = 0;
    PluginHost host(kPluginPath, options);
    EXPECT_FALSE(host.loaded());
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

TEST(PluginIdentity, ParameterTextsHaveFallbacksForUnknownIndices) {
    PluginHost host(kPluginPath);
    EXPECT_EQ(host.parameterName(32), "unknown");
    EXPECT_EQ(host.parameterLabel(1), "%");
    EXPECT_EQ(host.parameterLabel(2), "%");
    EXPECT_EQ(host.parameterLabel(0), "  ");
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
