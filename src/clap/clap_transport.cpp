#include "clap_transport.h"

#include <cmath>

TransportInfo transportInfoOf(const clap_event_transport& t, const TransportInfo& expected) {
    TransportInfo info{};
    info.playing = (t.flags & CLAP_TRANSPORT_IS_PLAYING) != 0;
    info.tempo = (t.flags & CLAP_TRANSPORT_HAS_TEMPO) ? t.tempo : expected.tempo;
    const bool beats = (t.flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) != 0;
    const bool seconds = (t.flags & CLAP_TRANSPORT_HAS_SECONDS_TIMELINE) != 0;
    const double beatsPerSecond = info.tempo / 60.0;
    if (beats) {
        info.beatPosition = clapBeatsOf(t.song_pos_beats);
        info.loopStart = clapBeatsOf(t.loop_start_beats);
        info.loopEnd = clapBeatsOf(t.loop_end_beats);
    } else if (seconds) {
        info.beatPosition = clapSecondsOf(t.song_pos_seconds) * beatsPerSecond;
        info.loopStart = clapSecondsOf(t.loop_start_seconds) * beatsPerSecond;
        info.loopEnd = clapSecondsOf(t.loop_end_seconds) * beatsPerSecond;
    } else {
        info.beatPosition = expected.beatPosition;
    }
    info.loopActive = (t.flags & CLAP_TRANSPORT_IS_LOOP_ACTIVE) != 0 && (beats || seconds);
    return info;
}

TransportInfo transportAfter(const TransportInfo& transport, int64_t frames, double sampleRate) {
    TransportInfo later = transport;
    if (!transport.playing || sampleRate <= 0.0) return later;
    later.beatPosition += static_cast<double>(frames) * transport.tempo / (60.0 * sampleRate);
    const double length = later.loopEnd - later.loopStart;
    if (later.loopActive && length > 0.0 && later.beatPosition >= later.loopEnd)
        later.beatPosition =
            later.loopStart + std::fmod(later.beatPosition - later.loopStart, length);
    return later;
}
