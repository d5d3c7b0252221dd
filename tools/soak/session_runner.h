// Plays a session into a fresh Zandrel.so through the host and checks the
// plug-in after every block: each output event well formed, no note number
// outside 1..127, the audio finite and bounded. At the end it lets go of
// everything (all notes off, every key released, the transport stopped),
// runs until the plug-in is quiet and checks that every note it started on
// a channel has ended there.
#pragma once

#include "session.h"

#include <cstdint>
#include <string>

namespace soak {

struct RunResult {
    enum Kind : uint8_t { kClean, kMalformedEvent, kBadAudio, kHangingNote, kNeverQuiet, kCrash };
    Kind kind = kClean;
    std::string detail;       // what went wrong, for the report
    int firstHangChannel = 0; // 1..16 for a hanging note
    int64_t inputEvents = 0;
    int64_t outputEvents = 0;
    int64_t blocks = 0;
    bool outputFull = false; // a block sent the most events a block may hold
    // Every hanging note was struck again while it sounded and ended once:
    // it hangs only on a receiver that stacks voices of one key (see
    // output_checks.h). The chord path's one sounding mark per note number
    // does that to a chord with two voices on one note.
    bool onlyRestruck = false;
    bool failed() const { return kind != kClean; }
};

const char* kindName(RunResult::Kind kind);

struct RunOptions {
    std::string pluginPath;
    bool trace = false; // print every note event the plug-in sends
    // The plug-in's deferred work (reading a program change's preset) runs
    // after every `deferEvery` blocks: 1 as between blocks, more to play a
    // worker that lags behind the audio thread, still reproducibly.
    int deferEvery = 1;
};

RunResult runSession(const Session& session, const RunOptions& options);

// The same in a child process, so that a crash or a sanitizer abort
// becomes a result instead of the end of the fuzzer. The child's error
// output is kept when `quiet` is false.
RunResult runIsolated(const Session& session, const RunOptions& options, bool quiet);

// Whether `candidate` fails the way `original` did (used while shrinking).
bool sameFailure(const RunResult& original, const RunResult& candidate);

} // namespace soak
