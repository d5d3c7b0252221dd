// Plays a MIDI file into the plug-in in real-time order, with the host's
// transport running from position 0 at the file's tempo, and collects
// what comes back.
#pragma once

#include "render_host.h"
#include "smf_reader.h"
#include "tempo_map.h"

#include <cstdint>
#include <functional>
#include <vector>

struct RenderResult {
    std::vector<TimedMidi> input;  // what was played in, in samples
    std::vector<TimedMidi> output; // what the plug-in sent
    std::vector<float> left, right;
    int64_t frames = 0; // length of the render
};

struct RenderSettings {
    int32_t blockFrames = 256;
    // After the input ends the render goes on until every note the plug-in
    // started has ended, but not longer than this (a latched arpeggio
    // would run for ever).
    double maxTailSeconds = 30.0;
    // Time left after the last note-off for the preview sound to fade.
    double releaseSeconds = 0.5;
    bool captureAudio = true;
};

class RenderSession {
public:
    RenderSession(RenderHost& host, const RenderSettings& settings);

    // The host must announce blocks at least this long.
    static constexpr int32_t kShortestMaxBlock = 32;

    // Runs the plug-in's load guard: blocks with the transport stopped,
    // after which it accepts the host's parameter changes.
    void passLoadGuard();

    // `progress` is called now and then with the fraction done.
    RenderResult render(const SmfFile& file, const TempoMap& tempo,
                        const std::function<void(double)>& progress = {});

private:
    RenderHost& host;
    RenderSettings settings;
};

// The input's channel messages at their sample times, in order.
std::vector<TimedMidi> scheduleInput(const SmfFile& file, const TempoMap& tempo, double rate);
