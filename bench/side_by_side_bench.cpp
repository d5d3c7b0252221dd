// Zandrel next to QMidiArp's arpeggiator (LV2) on the same work: eight held
// notes at 120 BPM with the transport rolling, ten minutes of audio at
// 48 kHz in 64- and 256-frame blocks. Prints the CPU seconds each takes per
// second of audio (minimum and median of several runs), the note-ons each
// sent, and their ratio. Without QMidiArp installed, or built without lilv,
// only Zandrel's figures are printed.
#include "plugin_host.h"
#ifdef ZANDREL_HAVE_LILV
#include "lv2_arp_host.h"
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {
constexpr double kRate = 48000.0;
constexpr double kTempo = 120.0;
constexpr const char* kPeerUri = "https://git.code.sf.net/p/qmidiarp/arp";
// The peer takes its pattern as text in an object of this type: two steps
// of halving ("1/16"), then the eight held notes upwards.
constexpr const char* kPeerPatternUri = "https://git.code.sf.net/p/qmidiarp#ARPPATTERN";
constexpr const char* kPeerPattern = ">>01234567";
constexpr int kHeldNotes[8] = {48, 51, 55, 58, 60, 63, 67, 70};

// Zandrel's host parameters used here.
constexpr int32_t kChordsOn = 16, kArpOn = 17, kRatePattern1 = 18, kPreviewOn = 104;
constexpr float kRateSixteenths = 0.58f; // "1/16"

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Run {
    double cpuPerAudioSecond;
    long noteOns;
};

struct Settings {
    double seconds = 600.0;
    int runs = 5;
    std::vector<int32_t> blocks{64, 256};
};

// One player: sets up a fresh instance, then runs `blocks` blocks, returning
// the note-ons it sent; only the block loop is timed.
using Player = std::function<std::optional<Run>(int32_t block, int64_t blocks)>;

std::optional<Run> playZandrel(bool sounding, int32_t block, int64_t blocks) {
    PluginHost host(ZANDREL_SO);
    if (!host.loaded()) return std::nullopt;
    // Host parameters are writable after the guard blocks that follow a resume.
    for (int i = 0; i < 12; ++i) host.processBlock(block);
    host.setParameter(kChordsOn, 0.0f);
    host.setParameter(kArpOn, 1.0f);
    host.setParameter(kRatePattern1, kRateSixteenths);
    host.setParameter(kPreviewOn, sounding ? 1.0f : 0.0f);
    host.setTempo(kTempo);
    host.locate(0.0);
    host.setPlaying(true);
    for (int note : kHeldNotes) host.noteOn(0, 1, note, 100);
    host.events.clear();
    long noteOns = 0;
    const double start = threadCpuSeconds();
    for (int64_t b = 0; b < blocks; ++b) {
        host.processBlock(block);
        for (const auto& e : host.events)
            if ((e.status & 0xF0) == 0x90 && e.data2 != 0) ++noteOns;
        host.events.clear();
    }
    const double cpu = threadCpuSeconds() - start;
    return Run{cpu / (static_cast<double>(blocks * block) / kRate), noteOns};
}

#ifdef ZANDREL_HAVE_LILV
std::optional<Run> playPeer(int32_t block, int64_t blocks) {
    Lv2ArpHost peer(kPeerUri, kRate, block);
    if (!peer.loaded()) return std::nullopt;
    peer.setControl("TRANSPORT_MODE", 1.0f); // follow the host's transport
    peer.queuePosition(0, kTempo, true);
    peer.queueObjectString(kPeerPatternUri, kPeerPatternUri, kPeerPattern);
    for (int note : kHeldNotes) peer.queueNote(0, 0x90, static_cast<uint8_t>(note), 100);
    long noteOns = 0;
    const double start = threadCpuSeconds();
    for (int64_t b = 0; b < blocks; ++b) noteOns += peer.runBlock(block);
    const double cpu = threadCpuSeconds() - start;
    return Run{cpu / (static_cast<double>(blocks * block) / kRate), noteOns};
}
#endif

struct Summary {
    double minimum = 0.0, median = 0.0;
    long noteOns = 0;
};

Summary summarize(std::vector<Run> runs) {
    Summary s;
    if (runs.empty()) return s;
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.cpuPerAudioSecond < b.cpuPerAudioSecond; });
    s.minimum = runs.front().cpuPerAudioSecond;
    const size_t n = runs.size();
    s.median = n % 2 ? runs[n / 2].cpuPerAudioSecond
                     : 0.5 * (runs[n / 2 - 1].cpuPerAudioSecond + runs[n / 2].cpuPerAudioSecond);
    s.noteOns = runs.front().noteOns;
    return s;
}

std::string cpuModel() {
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line))
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown";
}

Settings parse(int argc, char** argv) {
    Settings s;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--seconds" && hasValue)
            s.seconds = std::atof(argv[++i]);
        else if (arg == "--runs" && hasValue)
            s.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--block" && hasValue)
            s.blocks = {std::max(1, std::atoi(argv[++i]))};
        else {
            std::printf("usage: %s [--seconds S] [--runs N] [--block FRAMES]\n", argv[0]);
            std::exit(arg == "--help" ? 0 : 2);
        }
    }
    return s;
}
} // namespace

int main(int argc, char** argv) {
    const Settings settings = parse(argc, argv);
    std::printf("CPU: %s\n", cpuModel().c_str());
    std::printf("Eight held notes at 120 BPM, transport rolling, %.0f s of audio at 48 kHz; "
                "CPU seconds per second of audio, %d runs.\n",
                settings.seconds, settings.runs);
    struct Case {
        const char* name;
        Player play;
    };
    std::vector<Case> cases = {
        {"Zandrel 1/16, preview muted",
         [](int32_t block, int64_t n) { return playZandrel(false, block, n); }},
        {"Zandrel 1/16, preview sounding",
         [](int32_t block, int64_t n) { return playZandrel(true, block, n); }},
    };
#ifdef ZANDREL_HAVE_LILV
    cases.push_back({"QMidiArp arp (LV2)", playPeer});
#endif
    int failures = 0;
    for (const int32_t block : settings.blocks) {
        const auto blocks = static_cast<int64_t>(settings.seconds * kRate / block);
        std::vector<std::vector<Run>> runs(cases.size());
        std::vector<bool> skipped(cases.size(), false);
        // Runs alternate between the players, so that a slower stretch of
        // the machine does not fall on one of them only.
        for (int r = 0; r < settings.runs; ++r) {
            for (size_t c = 0; c < cases.size(); ++c) {
                if (skipped[c]) continue;
                const auto run = cases[c].play(block, blocks);
                if (run)
                    runs[c].push_back(*run);
                else
                    skipped[c] = true;
            }
        }
        std::printf("\n%d-frame blocks          %12s %12s %10s\n", block, "minimum", "median",
                    "note-ons");
        std::vector<Summary> summaries;
        for (size_t c = 0; c < cases.size(); ++c) {
            summaries.push_back(summarize(runs[c]));
            if (skipped[c]) {
                std::printf("%-32s skipped: not installed\n", cases[c].name);
                continue;
            }
            const Summary& s = summaries.back();
            std::printf("%-32s %12.7f %12.7f %10ld   (%.4f %% of a core)\n", cases[c].name,
                        s.minimum, s.median, s.noteOns, 100.0 * s.median);
            if (s.noteOns == 0) ++failures;
        }
        if (cases.size() > 2 && !skipped[2] && summaries[2].minimum > 0.0) {
            std::printf("ratio Zandrel muted / QMidiArp:   minimum %.3f, median %.3f\n",
                        summaries[0].minimum / summaries[2].minimum,
                        summaries[0].median / summaries[2].median);
            std::printf("ratio Zandrel sounding / QMidiArp: minimum %.3f, median %.3f\n",
                        summaries[1].minimum / summaries[2].minimum,
                        summaries[1].median / summaries[2].median);
        }
    }
    // A player that sent no notes did not do the work it is measured on.
    return failures == 0 ? 0 : 1;
}
