#include "player.h"

#include <algorithm>
#include <sstream>

namespace validate {

namespace {
// Sixteen blocks of 64 frames, or more of fewer frames: the same stretch of
// time at every block size, so that runs at different sizes stay in step.
constexpr int32_t kSettleFrames = 1024;
enum FailureKind { kFormat, kEventLimit, kEvent, kAudio, kNeverQuiet, kHanging };
} // namespace

std::vector<TimedMidi> randomNotes(SeededRandom& random, int64_t start, int64_t frames, double rate,
                                   int channel) {
    std::vector<TimedMidi> midi;
    const auto ms = [rate](int n) { return static_cast<int64_t>(rate * n / 1000.0); };
    const auto status = static_cast<uint8_t>((channel - 1) & 15);
    for (int64_t t = start + ms(random.between(0, 100)); t < start + frames;
         t += ms(random.between(30, 400))) {
        const int keys = random.between(1, 3);
        const int64_t end = std::min(t + ms(random.between(20, 800)), start + frames - 1);
        for (int k = 0; k < keys; ++k) {
            const auto key = static_cast<uint8_t>(random.between(48, 72));
            midi.push_back({t, static_cast<uint8_t>(0x90 | status), key,
                            static_cast<uint8_t>(random.between(1, 127))});
            midi.push_back({end, static_cast<uint8_t>(0x80 | status), key, 0});
        }
    }
    std::stable_sort(midi.begin(), midi.end(),
                     [](const TimedMidi& a, const TimedMidi& b) { return a.frame < b.frame; });
    return midi;
}

Player::Player(PluginInstance& plugin, CheckLog& log)
    : plugin(plugin), log(log), eventLimit(plugin.eventLimit()) {}

void Player::start(double rate, int32_t maxBlockSize) {
    sampleRate = rate;
    if (!plugin.activate(rate, maxBlockSize)) log.fail("activation refused");
    play(kSettleFrames, std::min(64, maxBlockSize));
}

void Player::stop() {
    plugin.deactivate();
}

void Player::schedule(const std::vector<TimedMidi>& midi) {
    for (const TimedMidi& m : midi) {
        const auto at = std::upper_bound(
            scheduled.begin(), scheduled.end(), m.frame,
            [](int64_t frame, const TimedMidi& other) { return frame < other.frame; });
        scheduled.insert(at, m);
    }
}

void Player::block(int32_t frames) {
    blockMidi.clear();
    while (!scheduled.empty() && scheduled.front().frame < clock + std::max(frames, 1) &&
           frames > 0) {
        const TimedMidi m = scheduled.front();
        scheduled.pop_front();
        const auto frame = static_cast<int32_t>(std::max<int64_t>(m.frame - clock, 0));
        blockMidi.push_back({frame, m.status, m.data1, m.data2});
        const int channel = m.status & 15;
        const int kind = m.status & 0xF0;
        channelsPlayed.set(static_cast<size_t>(channel));
        if (kind == 0x90 && m.data2 > 0) held[channel].set(m.data1);
        if (kind == 0x80 || (kind == 0x90 && m.data2 == 0)) held[channel].reset(m.data1);
    }
    plugin.process(frames, blockMidi, out);
    judge(frames);
    clock += frames;
}

void Player::play(int64_t frames, int32_t blockSize) {
    while (frames > 0) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(frames, blockSize));
        block(n);
        frames -= n;
    }
}

void Player::failOnce(int kind, const std::string& what) {
    if (reported.test(static_cast<size_t>(kind))) return;
    reported.set(static_cast<size_t>(kind));
    std::ostringstream where;
    where << " (frame " << clock << ")";
    log.fail(what + where.str());
}

void Player::judge(int32_t frames) {
    for (const std::string& fault : plugin.takeFormatFaults()) failOnce(kFormat, fault);
    if (eventLimit > 0 && static_cast<int>(out.midi.size()) > eventLimit)
        failOnce(kEventLimit, std::to_string(out.midi.size()) + " events in one block, more than " +
                                  std::to_string(eventLimit));
    for (const SentMidi& e : out.midi) {
        const std::string fault = midiEventFault(e, frames);
        if (!fault.empty()) failOnce(kEvent, fault);
        ledger.take(e);
        const int kind = e.status & 0xF0;
        if (kind == 0x90 && e.data2 > 0)
            ons.push_back({clock + e.deltaFrames, (e.status & 15) + 1, e.data1});
    }
    events += static_cast<int64_t>(out.midi.size());
    for (size_t c = 0; c < out.audio.size(); ++c) {
        const std::string fault = audioFault(out.audio[c], frames, AudioRules{});
        if (!fault.empty()) failOnce(kAudio, "output " + std::to_string(c + 1) + ": " + fault);
    }
}

void Player::letGo(int32_t blockSize, bool judgeNotes) {
    std::vector<TimedMidi> release;
    for (int c = 0; c < 16; ++c) {
        if (!channelsPlayed.test(static_cast<size_t>(c))) continue;
        for (int key = 0; key < 128; ++key)
            if (held[c].test(static_cast<size_t>(key)))
                release.push_back(
                    {clock, static_cast<uint8_t>(0x80 | c), static_cast<uint8_t>(key), 0});
        release.push_back({clock, static_cast<uint8_t>(0xB0 | c), 123, 0});
    }
    scheduled.clear();
    schedule(release);
    channelsPlayed.reset();
    const auto quietFor = static_cast<int64_t>(sampleRate / 2);
    const auto longest = static_cast<int64_t>(sampleRate * 20);
    int64_t quiet = 0;
    int64_t ran = 0;
    const int32_t size = std::max(blockSize, 1);
    while (quiet < quietFor && ran < longest) {
        const int64_t before = events;
        block(size);
        quiet = events == before ? quiet + size : 0;
        ran += size;
    }
    if (quiet < quietFor) failOnce(kNeverQuiet, "still sending after 20 s without input");
    // A key struck again while it sounded and ended once hangs only on an
    // instrument that stacks voices of one key: the chord path keeps one
    // sounding mark per note number, and host automation from another
    // thread can cross a block's own notes. Such hangs are told in the
    // summary; every other one fails.
    std::string hanging, restruck;
    if (!judgeNotes) ledger.clear();
    for (const NoteLedger::Hanging& h : ledger.hangingNotes()) {
        const std::string note = " ch" + std::to_string(h.channel) + ":" + std::to_string(h.note) +
                                 "x" + std::to_string(h.count);
        (h.restruck ? restruck : hanging) += note;
    }
    if (!hanging.empty())
        failOnce(kHanging,
                 "notes never ended after all notes off (channel:key x times):" + hanging);
    if (!restruck.empty() && !restruckTold) {
        log.did("keys struck again while sounding and ended once:" + restruck);
        restruckTold = true;
    }
    ledger.clear();
}

} // namespace validate
