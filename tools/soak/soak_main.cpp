// zandrel-soak: the session fuzzer. Runs random sessions, each seeded by
// base seed + session number, for a time or a number of sessions; a session
// that breaks an invariant or leaves a note hanging is shrunk to a short
// reproduction, printed, and written to the reproduction folder.
//
//   zandrel-soak --plugin build-san/Zandrel.so --seed 1 --seconds 30
//   zandrel-soak --plugin build-san/Zandrel.so --replay repro.txt
#include "rule_hangs.h"
#include "session_generator.h"
#include "session_presets.h"
#include "session_runner.h"
#include "session_shrinker.h"
#include "session_text.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

struct Arguments {
    std::string plugin = "build/Zandrel.so";
    uint64_t seed = 1;
    double seconds = 30.0;
    int64_t sessions = -1; // no limit
    std::string replay;
    std::string reproDir;
    int maxShrunk = 10;    // unexplained findings shrunk
    int maxShrunkRule = 3; // hangs that follow from the rules shrunk for the record
    bool single = false;   // --session: run only session `seed`
    int print = 0;         // --print / --print-neutral: write session `seed` out, run nothing
    bool trace = false;    // --trace: print the notes sent while replaying
    int deferEvery = 1;    // --defer-every N: the plug-in's deferred work after every N blocks
};

void usage() {
    std::puts("usage: zandrel-soak [--plugin PATH] [--seed N] [--seconds S] [--sessions N]\n"
              "                    [--session] [--print | --print-neutral]\n"
              "                    [--replay FILE [--trace]] [--repro-dir DIR] "
              "[--max-shrunk N]\n"
              "                    [--max-shrunk-rule N] [--defer-every N]");
}

bool parse(int argc, char** argv, Arguments& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
        if (arg == "--plugin")
            a.plugin = value();
        else if (arg == "--seed")
            a.seed = std::strtoull(value(), nullptr, 0);
        else if (arg == "--seconds")
            a.seconds = std::atof(value());
        else if (arg == "--sessions")
            a.sessions = std::atoll(value());
        else if (arg == "--session")
            a.single = true;
        else if (arg == "--print")
            a.print = 1;
        else if (arg == "--print-neutral")
            a.print = 2;
        else if (arg == "--trace")
            a.trace = true;
        else if (arg == "--defer-every")
            a.deferEvery = std::atoi(value());
        else if (arg == "--replay")
            a.replay = value();
        else if (arg == "--repro-dir")
            a.reproDir = value();
        else if (arg == "--max-shrunk")
            a.maxShrunk = std::atoi(value());
        else if (arg == "--max-shrunk-rule")
            a.maxShrunkRule = std::atoi(value());
        else
            return false;
    }
    return true;
}

// The plug-in reads its presets folder below the home folder: the fuzzer
// gives it one of its own, with presets for program changes to load, so
// that no user file is touched. Removed again when the fuzzer ends.
class IsolatedHome {
public:
    explicit IsolatedHome(const std::string& plugin) {
        char name[] = "/tmp/zandrel-soak-home-XXXXXX";
        if (!mkdtemp(name)) return;
        folder = name;
        setenv("HOME", name, 1);
        unsetenv("XDG_DOCUMENTS_DIR");
        unsetenv("XDG_CONFIG_HOME");
        if (!soak::writeSessionPresets(plugin, folder + "/Documents"))
            std::fprintf(stderr, "zandrel-soak: the session presets could not be written\n");
    }
    ~IsolatedHome() {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
    IsolatedHome(const IsolatedHome&) = delete;
    IsolatedHome& operator=(const IsolatedHome&) = delete;

private:
    std::string folder;
};

void report(const soak::Session& session, const soak::RunResult& r, const char* title) {
    std::printf("%s: %s (%s), session seed %llu, %zu steps\n", title, soak::kindName(r.kind),
                r.detail.c_str(), static_cast<unsigned long long>(session.seed),
                session.steps.size());
}

int replay(const Arguments& a) {
    std::ifstream file(a.replay);
    std::stringstream text;
    text << file.rdbuf();
    const auto session = soak::parseSession(text.str());
    if (!session) {
        std::fprintf(stderr, "cannot read %s\n", a.replay.c_str());
        return 2;
    }
    const soak::RunResult r = soak::runIsolated(*session, {a.plugin, a.trace, a.deferEvery}, false);
    report(*session, r, "replay");
    return r.failed() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    Arguments a;
    if (!parse(argc, argv, a)) {
        usage();
        return 2;
    }
    if (a.print != 0) {
        // The session as generated, or without the rules' known causes of
        // hangs, in the form --replay reads.
        const soak::Session session = soak::generateSession(a.seed);
        const std::string text =
            soak::sessionText(a.print == 1 ? session : soak::withoutRuleHangCauses(session));
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    const IsolatedHome home(a.plugin);
    // Loaded once here, so that every session's child process finds it mapped.
    if (!dlopen(a.plugin.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        std::fprintf(stderr, "cannot load %s: %s\n", a.plugin.c_str(), dlerror());
        return 2;
    }
    if (!a.replay.empty()) return replay(a);

    const soak::RunOptions options{a.plugin, false, a.deferEvery};
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    int64_t sessions = 0, inputEvents = 0, outputEvents = 0, blocks = 0, findings = 0,
            ruleHangs = 0;
    double lastReport = 0.0;
    for (uint64_t n = 0;; ++n) {
        if (a.single ? n >= 1
                     : (a.sessions >= 0 ? static_cast<int64_t>(n) >= a.sessions
                                        : elapsed() >= a.seconds))
            break;
        const soak::Session session = soak::generateSession(a.seed + n);
        const soak::RunResult r = soak::runIsolated(session, options, false);
        ++sessions;
        inputEvents += r.inputEvents;
        outputEvents += r.outputEvents;
        blocks += r.blocks;
        // A hang that goes away without the rules' known causes follows from
        // the rules: listed, shrunk a few times for the record, not failed.
        // An unexplained hang is shrunk from the session without those
        // causes, so that its reproduction shows our bug and not a rule's.
        bool listed = false;
        soak::Session toShrink = session;
        soak::RunResult failure = r;
        if (r.kind == soak::RunResult::kHangingNote) {
            soak::Session neutral = soak::withoutRuleHangCauses(session);
            const soak::RunResult n = soak::runIsolated(neutral, options, true);
            // Past 4096 events a block drops what does not fit, note-offs
            // included: the notes they would end hang by the same rules. So
            // do notes struck twice by a chord and ended once.
            listed = !n.failed() || r.outputFull || n.outputFull ||
                     (n.kind == soak::RunResult::kHangingNote && n.onlyRestruck);
            if (n.failed()) {
                toShrink = std::move(neutral);
                failure = n;
            }
        }
        if (r.failed()) {
            (listed ? ruleHangs : findings) += 1;
            report(session, r, listed ? "RULE HANG" : "FINDING");
            if (listed ? ruleHangs <= a.maxShrunkRule : findings <= a.maxShrunk) {
                const soak::Session shrunk =
                    soak::shrinkSession(toShrink, [&](const soak::Session& candidate) {
                        return soak::sameFailure(failure,
                                                 soak::runIsolated(candidate, options, true));
                    });
                const soak::RunResult again = soak::runIsolated(shrunk, options, true);
                report(shrunk, again, "SHRUNK");
                const std::string text = soak::sessionText(shrunk);
                std::printf("%s", text.c_str());
                if (!a.reproDir.empty()) {
                    std::ofstream out(a.reproDir + "/repro-" + std::to_string(session.seed) +
                                      ".txt");
                    out << "# " << soak::kindName(again.kind) << ": " << again.detail << '\n'
                        << text;
                }
            }
            std::fflush(stdout);
        }
        if (elapsed() - lastReport >= 60.0) {
            lastReport = elapsed();
            std::printf("progress: %.0f s, %lld sessions, %lld input events, %lld findings, "
                        "%lld hangs from the rules\n",
                        elapsed(), static_cast<long long>(sessions),
                        static_cast<long long>(inputEvents), static_cast<long long>(findings),
                        static_cast<long long>(ruleHangs));
            std::fflush(stdout);
        }
    }
    std::printf("soak: seed %llu, %.1f s, %lld sessions, %lld blocks, %lld input events, "
                "%lld output events, %lld findings, %lld hangs from the rules\n",
                static_cast<unsigned long long>(a.seed), elapsed(),
                static_cast<long long>(sessions), static_cast<long long>(blocks),
                static_cast<long long>(inputEvents), static_cast<long long>(outputEvents),
                static_cast<long long>(findings), static_cast<long long>(ruleHangs));
    return findings == 0 ? 0 : 1;
}
