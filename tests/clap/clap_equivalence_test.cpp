// Zandrel.clap plays exactly what Zandrel.so plays: the same MIDI at the
// same samples, the same preview sound. A change of the transport or of a
// parameter inside a CLAP block counts as a VST 2.4 host's block boundary
// at that frame: the VST 2.4 side of each comparison splits its blocks
// there.
#include "clap_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

enum class Kind { kNote, kTempo, kPlay, kLocate, kParameter };

struct Move {
    int64_t sample;
    Kind kind;
    double a; // key, tempo, playing, position or parameter index
    double b; // velocity (0: release) or parameter value
};

struct Scenario {
    const char* name;
    std::vector<std::pair<int32_t, float>> settings; // parameters before the start
    bool transport;                                  // false: the host gives none
    bool noteEvents; // the CLAP host sends notes as note events (as Qtractor does)
    std::vector<Move> moves;
};

constexpr int64_t kLength = 120000;

const Scenario kScenarios[] = {
    {"an arpeggio through tempo changes, a jump, a stop and a restart",
     {},
     true,
     false,
     {{1000, Kind::kNote, 60, 100},
      {1003, Kind::kNote, 64, 90},
      {20011, Kind::kTempo, 97.5, 0},
      {41117, Kind::kLocate, 7.25, 0},
      {60001, Kind::kPlay, 0, 0},
      {70777, Kind::kPlay, 1, 0},
      {70777, Kind::kTempo, 140, 0},
      {90000, Kind::kNote, 60, 0},
      {95000, Kind::kNote, 64, 0}}},
    {"chords with transpose and the chord switch changed while keys are held",
     {{17, 0.0f}},
     true,
     false,
     {{500, Kind::kNote, 60, 100},
      {15000, Kind::kParameter, 0, 31 / 48.99},
      {20000, Kind::kNote, 62, 80},
      {30000, Kind::kParameter, 16, 0.0},
      {35001, Kind::kParameter, 16, 1.0},
      {36000, Kind::kNote, 65, 70},
      {50000, Kind::kNote, 65, 0}}},
    {"an arpeggio whose pattern, rate, gate, swing, note rule and free rate change",
     {},
     true,
     false,
     {{300, Kind::kNote, 57, 100},
      {301, Kind::kNote, 64, 100},
      {12345, Kind::kParameter, 3, 2 / 12.0},
      {23456, Kind::kParameter, 2, 0.3},
      {23456, Kind::kParameter, 1, 0.4},
      {34567, Kind::kParameter, 20, 0.5},
      {40000, Kind::kParameter, 4 + 9, 1 / 3.0},
      {50000, Kind::kParameter, 31, 1.0},
      {60000, Kind::kParameter, 31, 0.0},
      {100000, Kind::kNote, 57, 0}}},
    {"an arpeggio in a host without a transport",
     {},
     false,
     false,
     {{100, Kind::kNote, 48, 100}, {9000, Kind::kNote, 55, 60}, {80000, Kind::kNote, 48, 0}}},
    {"notes as note events, a release as a note-on of velocity 0",
     {{17, 0.0f}},
     true,
     true,
     {{10, Kind::kNote, 60, 100},
      {4000, Kind::kNote, 60, 0},
      {4000, Kind::kNote, 62, 1},
      {9000, Kind::kNote, 62, 0},
      {9001, Kind::kNote, 67, 127}}},
};

bool splitsBlock(const Move& m) {
    return m.kind != Kind::kNote;
}

struct Played {
    std::vector<Sent> sent;
    std::vector<float> left, right;
};

void applyAtBoundary(PluginHost& host, const Move& m) {
    switch (m.kind) {
    case Kind::kTempo:
        return host.setTempo(m.a);
    case Kind::kPlay:
        return host.setPlaying(m.a != 0.0);
    case Kind::kLocate:
        return host.locate(m.a);
    case Kind::kParameter:
        return host.setParameter(static_cast<int32_t>(m.a), static_cast<float>(m.b));
    case Kind::kNote:
        break;
    }
}

// The VST 2.4 side: blocks of the given size, each split where the
// transport or a parameter changes inside it.
Played playVst2(const Scenario& s, int32_t block) {
    auto host = makeHost();
    seedRandom(*host, 3);
    host->setProvidesTimeInfo(s.transport);
    for (const auto& [index, value] : s.settings) host->setParameter(index, value);
    host->setPlaying(true);
    host->captureAudio = true;
    size_t next = 0;
    for (int64_t start = 0; start < kLength; start += block) {
        const int64_t end = std::min<int64_t>(start + block, kLength);
        for (int64_t a = start; a < end;) {
            int64_t b = end;
            for (size_t i = next; i < s.moves.size() && s.moves[i].sample < end; ++i) {
                const Move& m = s.moves[i];
                if (splitsBlock(m) && m.sample > a) {
                    b = m.sample;
                    break;
                }
            }
            for (; next < s.moves.size() && s.moves[next].sample < b; ++next) {
                const Move& m = s.moves[next];
                if (splitsBlock(m))
                    applyAtBoundary(*host, m);
                else
                    host->queueMidi(static_cast<int32_t>(m.sample - a), m.b > 0 ? 0x90 : 0x80,
                                    static_cast<uint8_t>(m.a), static_cast<uint8_t>(m.b));
            }
            host->processBlock(static_cast<int32_t>(b - a));
            a = b;
        }
    }
    return {sentOf(host->events), host->audioLeft, host->audioRight};
}

// The CLAP side: blocks of the given size with every change at its frame.
Played playClap(const Scenario& s, int32_t block) {
    ClapHost::Options options;
    options.notesAsNoteEvents = s.noteEvents;
    auto host = makeClapHost(options);
    seedRandom(*host, 3);
    host->setProvidesTransport(s.transport);
    for (const auto& [index, value] : s.settings) host->setParameter(index, value);
    host->setPlaying(true);
    host->captureAudio = true;
    size_t next = 0;
    for (int64_t start = 0; start < kLength; start += block) {
        const int64_t end = std::min<int64_t>(start + block, kLength);
        for (; next < s.moves.size() && s.moves[next].sample < end; ++next) {
            const Move& m = s.moves[next];
            const auto frame = static_cast<int32_t>(m.sample - start);
            ClapHost::TransportChange change;
            change.frame = frame;
            switch (m.kind) {
            case Kind::kNote:
                // A velocity-0 release stays a note-on, as MIDI has it.
                host->queueMidi(frame, m.b > 0 || s.noteEvents ? 0x90 : 0x80,
                                static_cast<uint8_t>(m.a), static_cast<uint8_t>(m.b));
                continue;
            case Kind::kParameter:
                host->setParameter(static_cast<clap_id>(m.a), m.b, frame);
                continue;
            case Kind::kTempo:
                change.tempo = m.a;
                break;
            case Kind::kPlay:
                change.playing = m.a != 0.0;
                break;
            case Kind::kLocate:
                change.locate = m.a;
                break;
            }
            host->queueTransportChange(change);
        }
        host->processBlock(static_cast<int32_t>(end - start));
    }
    return {sentOf(host->events), host->audioLeft, host->audioRight};
}

TEST(ClapEquivalence, PlaysWhatTheVst2BuildPlaysWithChangesInsideBlocks) {
    for (const Scenario& s : kScenarios) {
        for (int32_t block : {64, 500, 4096}) {
            const Played vst2 = playVst2(s, block);
            const Played clap = playClap(s, block);
            ASSERT_GT(vst2.sent.size(), 4u) << s.name;
            EXPECT_EQ(clap.sent, vst2.sent) << s.name << ", blocks of " << block;
            EXPECT_TRUE(clap.left == vst2.left && clap.right == vst2.right)
                << s.name << ", blocks of " << block << ": the preview differs";
        }
    }
}

} // namespace
