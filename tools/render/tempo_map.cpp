#include "tempo_map.h"

#include <algorithm>

namespace {
constexpr double kDefaultSecondsPerQuarter = 0.5; // 120 BPM, the MIDI file default
}

TempoMap TempoMap::ofFile(const SmfFile& file) {
    TempoMap map;
    if (file.ticksPerQuarter == 0) {
        map.quartersPerTick = 1.0 / (file.ticksPerSecond * kDefaultSecondsPerQuarter);
        map.parts.push_back({0.0, 0.0, kDefaultSecondsPerQuarter});
        return map;
    }
    map.quartersPerTick = 1.0 / file.ticksPerQuarter;
    map.parts.push_back({0.0, 0.0, kDefaultSecondsPerQuarter});
    for (const auto& change : file.tempoChanges) {
        const double quarter = map.quarterOfTick(change.tick);
        const double perQuarter = change.microsPerQuarter / 1e6;
        Segment& last = map.parts.back();
        if (quarter <= last.startQuarter) {
            last.secondsPerQuarter = perQuarter; // a later change at the same tick wins
            continue;
        }
        const double seconds =
            last.startSeconds + (quarter - last.startQuarter) * last.secondsPerQuarter;
        map.parts.push_back({quarter, seconds, perQuarter});
    }
    return map;
}

TempoMap TempoMap::constant(const SmfFile& file, double beatsPerMinute) {
    TempoMap map;
    map.quartersPerTick =
        file.ticksPerQuarter ? 1.0 / file.ticksPerQuarter : 1.0 / (file.ticksPerSecond * 0.5);
    map.parts.push_back({0.0, 0.0, 60.0 / beatsPerMinute});
    return map;
}

double TempoMap::quarterOfTick(int64_t tick) const {
    return static_cast<double>(tick) * quartersPerTick;
}

double TempoMap::secondsOfQuarter(double quarter) const {
    auto after = std::upper_bound(parts.begin(), parts.end(), quarter,
                                  [](double q, const Segment& s) { return q < s.startQuarter; });
    const Segment& s = after == parts.begin() ? parts.front() : *(after - 1);
    return s.startSeconds + (quarter - s.startQuarter) * s.secondsPerQuarter;
}

double TempoMap::quarterOfSeconds(double seconds) const {
    auto after = std::upper_bound(parts.begin(), parts.end(), seconds,
                                  [](double t, const Segment& s) { return t < s.startSeconds; });
    const Segment& s = after == parts.begin() ? parts.front() : *(after - 1);
    return s.startQuarter + (seconds - s.startSeconds) / s.secondsPerQuarter;
}

double TempoMap::beatsPerMinuteAt(double quarter) const {
    auto after = std::upper_bound(parts.begin(), parts.end(), quarter,
                                  [](double q, const Segment& s) { return q < s.startQuarter; });
    const Segment& s = after == parts.begin() ? parts.front() : *(after - 1);
    return 60.0 / s.secondsPerQuarter;
}
