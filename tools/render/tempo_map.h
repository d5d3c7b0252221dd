// Where a MIDI file's ticks fall in real time, and back: the input's
// tempo changes drive the host's transport, and the plug-in's output is
// written with the same map, so a tick in the output means the same beat
// as in the input.
#pragma once

#include "smf_reader.h"

#include <vector>

class TempoMap {
public:
    struct Segment {
        double startQuarter;
        double startSeconds;
        double secondsPerQuarter;
    };

    // The file's own tempo map (120 BPM until the first tempo change); a
    // SMPTE-timed file plays at 120 BPM, its ticks being real time.
    static TempoMap ofFile(const SmfFile& file);
    // One tempo for the whole file, whatever the file says.
    static TempoMap constant(const SmfFile& file, double beatsPerMinute);

    double quarterOfTick(int64_t tick) const;
    double secondsOfQuarter(double quarter) const;
    double quarterOfSeconds(double seconds) const;
    double secondsOfTick(int64_t tick) const { return secondsOfQuarter(quarterOfTick(tick)); }
    double beatsPerMinuteAt(double quarter) const;

    const std::vector<Segment>& segments() const { return parts; }

private:
    double quartersPerTick = 0.0;
    std::vector<Segment> parts; // at least one, sorted, the first at 0
};
