#include "render_session.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

// The plug-in ignores the host's writes to its parameters during its first
// ten blocks after resume or after a whole-state load. The blocks are short
// and of a fixed size whatever the render's block size: the arpeggiator's
// clock runs on while the transport stands, and where it stands when the
// song starts decides which step comes first.
constexpr int kLoadGuardBlocks = 10;
constexpr int32_t kLoadGuardFrames = RenderSession::kShortestMaxBlock;
constexpr int kMaxEventsPerBlock = 4096; // the host's event list holds twice as many

int64_t sampleOfSeconds(double seconds, double rate) {
    return static_cast<int64_t>(std::llround(seconds * rate));
}

// Counts the notes the plug-in holds, per channel and key, so the render
// knows when everything has ended.
class SoundingNotes {
public:
    void track(const TimedMidi& e) {
        const int kind = e.status & 0xF0;
        const int key = ((e.status & 0x0F) << 7) | e.data1;
        if (kind == 0x90 && e.data2 > 0)
            held.insert(key);
        else if (kind == 0x80 || kind == 0x90)
            held.erase(key);
    }
    bool any() const { return !held.empty(); }

private:
    std::multiset<int> held;
};

} // namespace

std::vector<TimedMidi> scheduleInput(const SmfFile& file, const TempoMap& tempo, double rate) {
    std::vector<TimedMidi> timed;
    timed.reserve(file.events.size());
    for (const auto& e : file.events)
        timed.push_back(
            {sampleOfSeconds(tempo.secondsOfTick(e.tick), rate), e.status, e.data1, e.data2});
    return timed;
}

RenderSession::RenderSession(RenderHost& host, const RenderSettings& settings)
    : host(host), settings(settings) {}

void RenderSession::passLoadGuard() {
    host.setPlaying(false);
    for (int i = 0; i < kLoadGuardBlocks; ++i) host.processBlock(kLoadGuardFrames);
}

RenderResult RenderSession::render(const SmfFile& file, const TempoMap& tempo,
                                   const std::function<void(double)>& progress) {
    const double rate = host.sampleRate();
    RenderResult result;
    result.input = scheduleInput(file, tempo, rate);

    // Blocks end where the tempo changes, so the transport's tempo is right
    // for every sample whatever the block size.
    std::vector<std::pair<int64_t, double>> tempoChanges;
    for (const auto& s : tempo.segments())
        tempoChanges.emplace_back(sampleOfSeconds(s.startSeconds, rate),
                                  60.0 / s.secondsPerQuarter);

    const int64_t inputEnd = std::max(result.input.empty() ? 0 : result.input.back().sample,
                                      sampleOfSeconds(tempo.secondsOfTick(file.endTick), rate));
    const int64_t hardEnd = inputEnd + sampleOfSeconds(settings.maxTailSeconds, rate);
    const int64_t release = sampleOfSeconds(settings.releaseSeconds, rate);

    const int64_t origin = host.samplePosition();
    std::vector<TimedMidi> sent;
    host.takeMidi(sent); // what came before the render is not its output
    sent.clear();
    host.captureAudio(settings.captureAudio);
    host.locate(0.0);
    host.setTempo(tempoChanges.front().second);
    host.setPlaying(true);

    // The render ends a release time after the last note ended (counted
    // from that note's own sample, so the end does not depend on the block
    // size), or at the bound.
    SoundingNotes sounding;
    size_t nextInput = 0, nextTempo = 1;
    int64_t now = 0, lastNoteEnd = 0;
    double lastReported = -1.0;
    while (now < hardEnd) {
        const int64_t quietEnd = std::max(inputEnd, lastNoteEnd) + release;
        const bool quiet = now >= inputEnd && !sounding.any();
        if (quiet && now >= quietEnd) break;
        while (nextTempo < tempoChanges.size() && tempoChanges[nextTempo].first <= now)
            host.setTempo(tempoChanges[nextTempo++].second);
        int64_t end = now + settings.blockFrames;
        if (nextTempo < tempoChanges.size()) end = std::min(end, tempoChanges[nextTempo].first);
        if (now < inputEnd) end = std::min(end, inputEnd);
        if (quiet) end = std::min(end, quietEnd);
        end = std::min(end, hardEnd);

        int queued = 0;
        for (; nextInput < result.input.size() && result.input[nextInput].sample < end;
             ++nextInput, ++queued) {
            const auto& e = result.input[nextInput];
            // A block carries a bounded number of events: a crowded moment
            // ends the block early, and the rest go into the next one.
            if (queued >= kMaxEventsPerBlock && e.sample > now) {
                end = e.sample;
                break;
            }
            host.queueMidi(static_cast<int32_t>(e.sample - now), e.status, e.data1, e.data2);
        }
        host.processBlock(static_cast<int32_t>(end - now));
        host.takeMidi(sent);
        for (const TimedMidi& r : sent) {
            const TimedMidi e{r.sample - origin, r.status, r.data1, r.data2};
            sounding.track(e);
            if (!sounding.any()) lastNoteEnd = e.sample;
            result.output.push_back(e);
        }
        sent.clear();
        now = end;
        if (progress && now < inputEnd) { // progress counts the input; the tail is short
            const double done = static_cast<double>(now) / static_cast<double>(inputEnd);
            if (done - lastReported >= 0.01) {
                progress(done);
                lastReported = done;
            }
        }
    }
    if (progress) progress(1.0);

    // Whatever still sounds at the bound is ended by stopping the transport,
    // as a host does when the song stops.
    host.setPlaying(false);
    host.processBlock(settings.blockFrames);
    host.takeMidi(sent);
    for (const TimedMidi& r : sent) result.output.push_back({now, r.status, r.data1, r.data2});
    result.frames = now;
    host.takeAudio(result.left, result.right);
    result.left.resize(static_cast<size_t>(now));
    result.right.resize(static_cast<size_t>(now));
    host.captureAudio(false);
    return result;
}
