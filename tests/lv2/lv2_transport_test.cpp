// The LV2 build hears the transport as time:Position objects at the frames
// where it changes, inside a block too. The same session played through
// the VST 2.4 build, with each block split where the transport changes,
// must give the same MIDI and the same sound, whatever the block size and
// however the host describes its position.
#include "lv2_host.h"
#include "lv2_test_support.h"
#include "test_host_support.h"

#include <gtest/gtest.h>

namespace {

struct Change {
    int64_t sample;
    enum Kind { kTempo, kPlay, kStop, kLocate, kNote, kArpOff } kind;
    double value = 0; // tempo, position in quarter notes, or key (velocity 0: off)
    int velocity = 0;
};

struct Session {
    const char* name;
    std::vector<Change> changes; // in time order
    Lv2Host::PositionStyle style;
    bool transport = true;
};

// Two held chords under a running arpeggio, with the transport moved
// between and inside blocks.
const Session kSessions[] = {
    {"tempo changes inside blocks",
     {{0, Change::kPlay},
      {100, Change::kNote, 60, 100},
      {9001, Change::kTempo, 93.5},
      {20011, Change::kTempo, 141.0},
      {30000, Change::kNote, 60, 0},
      {30007, Change::kNote, 64, 90},
      {41999, Change::kTempo, 60.25}},
     {}},
    {"jumps, stops and starts inside blocks",
     {{0, Change::kPlay},
      {1, Change::kNote, 62, 100},
      {7777, Change::kLocate, 32.5},
      {15003, Change::kStop},
      {21000, Change::kLocate, 3.0},
      {24999, Change::kPlay},
      {33333, Change::kLocate, 0.125},
      {33333, Change::kTempo, 170.0}},
     {}},
    {"a six-eight host that counts eighths",
     {{0, Change::kPlay},
      {50, Change::kNote, 57, 80},
      {12345, Change::kTempo, 110.0},
      {23456, Change::kLocate, 9.0}},
     {8, true, true}},
    {"a host that sends bars and single-precision tempi",
     {{0, Change::kPlay},
      {50, Change::kNote, 65, 80},
      {12345, Change::kTempo, 90.0},
      {23456, Change::kLocate, 17.0},
      {30001, Change::kTempo, 132.0}},
     {4, false, false}},
    {"a host that tells no transport",
     {{0, Change::kPlay},
      {15000, Change::kArpOff},
      {16000, Change::kNote, 60, 100},
      {30000, Change::kNote, 60, 0},
      {31001, Change::kNote, 62, 100}},
     {},
     false},
};

constexpr int64_t kSessionFrames = 48000;

struct Played {
    std::vector<Note> notes;
    std::vector<float> audio;
};

template <typename Host>
void apply(Host& host, const Change& c, int32_t frame) {
    if (c.kind == Change::kNote)
        host.noteOn(frame, 1, static_cast<int>(c.value), c.velocity);
    else if (c.kind == Change::kArpOff) {
        // A control port, seen at the block's start (the session keeps
        // this change alone in its block).
        if constexpr (std::is_same_v<Host, Lv2Host>)
            host.setControl(17, 0.0f);
        else
            host.setParameter(17, 0.0f);
    } else if constexpr (std::is_same_v<Host, Lv2Host>) {
        if (c.kind == Change::kTempo) host.setTempo(c.value, frame);
        if (c.kind == Change::kPlay || c.kind == Change::kStop)
            host.setPlaying(c.kind == Change::kPlay, frame);
        if (c.kind == Change::kLocate) host.locate(c.value, frame);
    } else {
        if (c.kind == Change::kTempo) host.setTempo(c.value);
        if (c.kind == Change::kPlay || c.kind == Change::kStop)
            host.setPlaying(c.kind == Change::kPlay);
        if (c.kind == Change::kLocate) host.locate(c.value);
    }
}

// LV2: whole blocks, the changes inside them at their frames.
Played playLv2(const Session& s, int32_t block) {
    Lv2Host::Options options;
    options.sendsTransport = s.transport;
    options.positionStyle = s.style;
    Lv2Host host(kBundlePath, options);
    host.seedRandom(3);
    host.captureAudio = true;
    size_t next = 0;
    for (int64_t now = 0; now < kSessionFrames; now += block) {
        for (; next < std::size(s.changes) && s.changes[next].sample < now + block; ++next)
            apply(host, s.changes[next], static_cast<int32_t>(s.changes[next].sample - now));
        host.processBlock(block);
    }
    return {notesOf(host.events), host.audioLeft};
}

// VST 2.4: the same blocks, each split where the transport changes.
Played playVst2(const Session& s, int32_t block) {
    PluginHost host(kPluginPath);
    host.setProvidesTimeInfo(s.transport);
    uint64_t seed = 3;
    host.dispatch(effVendorSpecific, kVendorSeedRandom, kVendorMagic, &seed);
    host.captureAudio = true;
    size_t next = 0;
    for (int64_t now = 0; now < kSessionFrames; now += block) {
        int64_t start = now;
        for (; next < std::size(s.changes) && s.changes[next].sample < now + block; ++next) {
            const Change& c = s.changes[next];
            if (c.kind != Change::kNote && c.kind != Change::kArpOff && c.sample > start) {
                host.processBlock(static_cast<int32_t>(c.sample - start));
                start = c.sample;
            }
            apply(host, c, static_cast<int32_t>(c.sample - start));
        }
        host.processBlock(static_cast<int32_t>(now + block - start));
    }
    return {notesOf(host.events), host.audioLeft};
}

TEST(Lv2Transport, PositionChangesInsideABlockPlayAsTheVst2BlockSplitThere) {
    for (const Session& s : kSessions) {
        for (int32_t block : {64, 333, 1024}) {
            const Played lv2 = playLv2(s, block), vst2 = playVst2(s, block);
            EXPECT_GT(lv2.notes.size(), 4u) << s.name;
            EXPECT_EQ(lv2.notes, vst2.notes) << s.name << ", " << block << "-frame blocks";
            EXPECT_TRUE(lv2.audio == vst2.audio) << s.name << ", " << block << "-frame blocks";
        }
    }
}

} // namespace
