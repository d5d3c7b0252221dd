#include "session_runner.h"

#include "output_checks.h"
#include "plugin_host.h"
#include "state_damage.h"
#include "zandrel_vendor_services.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace soak {

namespace {

constexpr int kReleasedChannels[] = {1, 2, 3, 4, 5, 16};
// Thirty-two preview voices of amplitude one at most.
constexpr float kAudioBound = 64.0f;

class SessionPlayer {
public:
    SessionPlayer(const Session& session, const RunOptions& options)
        : session(session), trace(options.trace), deferEvery(std::max(options.deferEvery, 1)),
          host(options.pluginPath, hostOptions()) {}

    RunResult play() {
        if (!host.loaded()) {
            result.kind = RunResult::kCrash;
            result.detail = "plug-in not loaded: " + host.error();
            return result;
        }
        uint64_t seed = session.seed;
        host.dispatch(effVendorSpecific, kVendorSeedRandom, kVendorMagic, &seed);
        // The work a program change leaves for the plug-in's worker thread
        // (reading the preset file, which the next block then applies) runs
        // after the block that received it, here, instead of whenever that
        // thread wakes: a session then replays the same way every time.
        host.dispatch(effVendorSpecific, kVendorHoldDeferred, kVendorMagic, nullptr, 1.0f);
        for (const Step& step : session.steps) {
            apply(step);
            if (result.failed()) return result;
        }
        letGo();
        return result;
    }

private:
    static PluginHost::Options hostOptions() {
        PluginHost::Options o;
        o.maxBlockSize = 4096;
        return o;
    }

    void apply(const Step& step) {
        result.inputEvents +=
            step.kind == Step::kBlock ? static_cast<int64_t>(step.midi.size()) + 1 : 1;
        switch (step.kind) {
        case Step::kBlock:
            for (const MidiIn& m : step.midi)
                host.queueMidi(m.deltaFrames, m.status, m.data1, m.data2);
            processBlock(step.frames);
            break;
        case Step::kParameter:
            host.setParameter(step.index, step.value);
            break;
        case Step::kPlay:
            host.setPlaying(step.index != 0);
            break;
        case Step::kLocate:
            host.locate(step.position);
            break;
        case Step::kLoop:
            host.setLoop(step.index != 0, step.position, step.loopEnd);
            break;
        case Step::kTempo:
            host.setTempo(step.position);
            break;
        case Step::kSampleRate:
            host.setSampleRate(step.index);
            break;
        case Step::kChunkLoad:
            loadChunk(step);
            break;
        case Step::kReadBack:
            readBack(step.index);
            break;
        }
    }

    // The state as the plug-in saves it, cut or grown to the step's size,
    // then damaged by the step's seed.
    void loadChunk(const Step& step) {
        void* data = nullptr;
        const auto size = host.dispatch(effGetChunk, 0, 0, &data);
        std::vector<uint8_t> bytes(static_cast<size_t>(std::max(step.index, 0)));
        if (data && size > 0 && !bytes.empty())
            std::memcpy(bytes.data(), data,
                        std::min<size_t>(bytes.size(), static_cast<size_t>(size)));
        if (step.seed != 0) damageState(bytes, step.seed);
        host.dispatch(effSetChunk, 0, static_cast<intptr_t>(bytes.size()),
                      bytes.empty() ? nullptr : bytes.data());
    }

    void readBack(int32_t first) {
        for (int32_t i = first; i < first + 8; ++i) {
            const float v = host.getParameter(i);
            (void)v;
            host.parameterName(i);
            host.parameterLabel(i);
            host.parameterDisplay(i);
        }
        char name[256] = {};
        host.dispatch(effGetProgramName, 0, 0, name);
    }

    void processBlock(int32_t frames) {
        if (trace)
            std::printf("block %d at %lld\n", frames,
                        static_cast<long long>(host.samplePosition()));
        host.events.clear();
        host.processBlock(frames);
        if (++blocksSinceDeferred >= deferEvery) {
            host.dispatch(effVendorSpecific, kVendorRunDeferred, kVendorMagic);
            blocksSinceDeferred = 0;
        }
        result.blocks += 1;
        result.outputEvents += static_cast<int64_t>(host.events.size());
        if (host.events.size() >= 4096) result.outputFull = true;
        checkEvents(frames);
        checkAudio(frames);
    }

    void fail(RunResult::Kind kind, const std::string& detail) {
        if (result.failed()) return;
        result.kind = kind;
        result.detail = detail;
    }

    void checkEvents(int32_t frames) {
        if (host.events.size() > 4096) {
            fail(RunResult::kMalformedEvent, "more than 4096 events in one block");
            return;
        }
        for (const auto& e : host.events) {
            const SentMidi midi = sentMidiOf(e);
            std::string fault = vstEventFault(e);
            // Events of a block of no frames count as at its start here;
            // whether they belong there at all is the validator's question.
            if (fault.empty()) fault = midiEventFault(midi, std::max(frames, 1));
            if (!fault.empty()) {
                fail(RunResult::kMalformedEvent, fault);
                return;
            }
            const int kind = e.status & 0xF0;
            if (kind != 0x90 && kind != 0x80) continue;
            if (trace)
                std::printf("  out @%lld %s ch%d %d %d\n", static_cast<long long>(e.sampleTime),
                            kind == 0x90 && e.data2 > 0 ? "on " : "off", (e.status & 15) + 1,
                            e.data1, e.data2);
            // The plug-in's own rule: notes outside 1..127 are dropped.
            if (e.data1 < 1) {
                fail(RunResult::kMalformedEvent,
                     "note number 0 on channel " + std::to_string((e.status & 15) + 1));
                return;
            }
            ledger.take(midi);
        }
    }

    void checkAudio(int32_t frames) {
        // Subnormals are the validator's concern; the fuzzer looks for bugs.
        const AudioRules rules{kAudioBound, true};
        for (const auto* channel : {&host.left, &host.right}) {
            const std::string fault = audioFault(channel->data(), frames, rules);
            if (!fault.empty()) {
                fail(RunResult::kBadAudio, fault);
                return;
            }
        }
    }

    // The end of every session: nothing new is played, all notes off, every
    // key let go, the transport stopped; then blocks run until quiet.
    void letGo() {
        host.controller(0, 1, 123, 0);
        processBlock(64);
        int queued = 0;
        for (int channel : kReleasedChannels) {
            for (int note = 0; note < 128; ++note) {
                host.noteOff(queued, channel, note);
                if (++queued == 128) {
                    processBlock(128);
                    queued = 0;
                }
            }
        }
        host.setLoop(false);
        host.setPlaying(false);
        constexpr int32_t kFrames = 512;
        const auto rate = static_cast<int64_t>(host.sampleRate());
        int64_t silent = 0;
        int64_t ran = 0;
        while (silent < rate / 2 && ran < 20 * rate && !result.failed()) {
            processBlock(kFrames);
            silent = host.events.empty() ? silent + kFrames : 0;
            ran += kFrames;
        }
        if (result.failed()) return;
        if (silent < rate / 2) {
            fail(RunResult::kNeverQuiet, "still sending after twenty seconds without input");
            return;
        }
        result.firstHangChannel = ledger.firstHangingChannel();
        result.onlyRestruck = true;
        for (const NoteLedger::Hanging& h : ledger.hangingNotes())
            result.onlyRestruck = result.onlyRestruck && h.restruck;
        if (result.firstHangChannel != 0) {
            result.kind = RunResult::kHangingNote;
            result.detail = "hanging notes (channel:note x count):" + ledger.hanging();
        }
    }

    const Session& session;
    bool trace;
    int deferEvery;
    int blocksSinceDeferred = 0;
    PluginHost host;
    RunResult result;
    NoteLedger ledger;
};

} // namespace

const char* kindName(RunResult::Kind kind) {
    switch (kind) {
    case RunResult::kClean:
        return "clean";
    case RunResult::kMalformedEvent:
        return "malformed event";
    case RunResult::kBadAudio:
        return "bad audio";
    case RunResult::kHangingNote:
        return "hanging note";
    case RunResult::kNeverQuiet:
        return "never quiet";
    default:
        return "crash";
    }
}

RunResult runSession(const Session& session, const RunOptions& options) {
    SessionPlayer player(session, options);
    return player.play();
}

RunResult runIsolated(const Session& session, const RunOptions& options, bool quiet) {
    int fds[2];
    if (pipe(fds) != 0) return runSession(session, options);
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (quiet) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, STDERR_FILENO);
        }
        const RunResult r = runSession(session, options);
        std::ostringstream out;
        out << int(r.kind) << ' ' << r.firstHangChannel << ' ' << r.inputEvents << ' '
            << r.outputEvents << ' ' << r.blocks << ' ' << r.outputFull << ' ' << r.onlyRestruck
            << '\n'
            << r.detail;
        const std::string text = out.str();
        size_t written = 0;
        while (written < text.size()) {
            const ssize_t n = write(fds[1], text.data() + written, text.size() - written);
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        close(fds[1]);
        std::fflush(stdout);
        _exit(0);
    }
    close(fds[1]);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    RunResult r;
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) {
        r.kind = RunResult::kCrash;
        std::ostringstream what;
        if (child < 0)
            what << "fork failed";
        else if (WIFSIGNALED(status))
            what << "killed by signal " << WTERMSIG(status);
        else
            what << "exit status " << WEXITSTATUS(status);
        r.detail = what.str();
        r.inputEvents = inputEventCount(session);
        return r;
    }
    std::istringstream in(text);
    int kind = 0;
    in >> kind >> r.firstHangChannel >> r.inputEvents >> r.outputEvents >> r.blocks >>
        r.outputFull >> r.onlyRestruck;
    r.kind = static_cast<RunResult::Kind>(kind);
    in.get();
    std::getline(in, r.detail, '\0');
    return r;
}

bool sameFailure(const RunResult& original, const RunResult& candidate) {
    if (candidate.kind != original.kind) return false;
    if (original.kind == RunResult::kHangingNote)
        return candidate.firstHangChannel == original.firstHangChannel &&
               candidate.onlyRestruck == original.onlyRestruck;
    return true;
}

} // namespace soak
