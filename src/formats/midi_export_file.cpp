#include "midi_export_file.h"
#include "midi_status.h"

#include "numeric.h"
#include "preset_file.h"
#include "smf_bytes.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kTrackNameSize = 16;
constexpr int kDebugEventCount = 490;

void trackName(char (&text)[kTrackNameSize], bool haveEvents, const char* chordName,
               ExportMode mode, int32_t currentPattern) {
    std::memset(text, ' ', sizeof text);
    if (!haveEvents) {
        std::memcpy(text, "empty!", 6);
        return;
    }
    const size_t length = strnlen(chordName, 15);
    if (mode == ExportMode::kArpeggio) {
        std::memcpy(text, chordName, std::min<size_t>(length, 8));
        const char letter = static_cast<char>('A' + clampTo(currentPattern, 0, 11));
        const char pattern[8] = {'(', 'P', 'a', 't', ' ', letter, ')', 0};
        std::memcpy(text + 8, pattern, 8);
    } else {
        std::memcpy(text, chordName, length);
        text[length] = 0;
    }
}

} // namespace

ExportMode exportModeOfValue(float value) {
    return saturatingInt(value + 0.5) == 1 ? ExportMode::kArpeggio : ExportMode::kChord;
}

std::vector<uint8_t> midiExportBytes(std::vector<MidiMessage> events, double samplesPerBeat,
                                     const char* chordName, ExportMode mode, int32_t currentPattern,
                                     const DiagnosticSink& sink) {
    std::stable_sort(events.begin(), events.end(),
                     [](const MidiMessage& a, const MidiMessage& b) { return a.frame < b.frame; });
    // Ticks are computed in single precision, as hosts have always read
    // these files.
    const float ticksPerSample =
        static_cast<float>(kTicksPerQuarter) / static_cast<float>(std::max(samplesPerBeat, 1.0));

    std::vector<uint8_t> body;
    const size_t sizeBound = 5 * events.size() + 128;
    if (events.empty()) {
        const uint8_t controlChange[4] = {0x00, 0xB0, 0x00, 0x00};
        body.insert(body.end(), controlChange, controlChange + 4);
    } else {
        bool noteOn[128] = {};
        int32_t lastTick = 0;
        for (size_t i = 0; i < events.size(); ++i) {
            const MidiMessage& e = events[i];
            const int ev = static_cast<int>(i);
            int32_t frames = e.frame;
            if (frames < 0) {
                logLine(sink,
                        "\n warning - MIDI Export, delta is negative for ev# %i, frames# %i, "
                        "lastdelta is %i",
                        ev, frames, lastTick);
                frames = 0;
            }
            const int32_t tick = saturatingInt(static_cast<float>(frames) * ticksPerSample + 0.5f);
            int64_t delta = static_cast<int64_t>(tick) - lastTick;
            if (i < kDebugEventCount)
                logLine(sink, "\n  ev# %i, CCVal %i delta reads %i frames# %i, lastdelta is %i", ev,
                        e.status, static_cast<int>(delta), frames, lastTick);
            if (delta < 0) {
                logLine(sink,
                        "\n warning - MIDI export, delta reads %i - assigning to 0---   ev# %i, "
                        "frames# %i, lastdelta is %i",
                        static_cast<int>(delta), ev, frames, lastTick);
                delta = 0;
            }
            appendVariableLength(body, static_cast<uint32_t>(delta));
            body.push_back(e.status);
            body.push_back(e.data1);
            body.push_back(e.data2);
            if (e.status == kNoteOn) noteOn[e.data1 & 127] = true;
            if (e.status == kNoteOff) noteOn[e.data1 & 127] = false;
            lastTick = tick;
        }
        // Notes still sounding at the end of the bar stop one bar after the
        // last event, so that the host sees every note closed.
        bool first = true;
        for (int note = 0; note < 128; ++note) {
            if (!noteOn[note]) continue;
            const int delta = first ? kTicksPerBar : 0;
            first = false;
            logLine(sink,
                    "\n adding note off for note %i - delta set %i, finalppq calc %f, lastdelta "
                    "calc %i",
                    note, delta, static_cast<double>(kTicksPerBar), lastTick);
            appendVariableLength(body, static_cast<uint32_t>(delta));
            body.push_back(kNoteOff);
            body.push_back(static_cast<uint8_t>(note));
            body.push_back(0);
        }
        if (body.size() >= sizeBound)
            logLine(sink, "\n WARNING!!!!!!!!!!!!! n (%i) should be less than malloc size of %i",
                    static_cast<int>(body.size()), static_cast<int>(sizeBound));
    }

    char name[kTrackNameSize];
    trackName(name, !events.empty(), chordName, mode, currentPattern);

    // The track: its name, the events, the end of the track.
    std::vector<uint8_t> track;
    track.reserve(4 + kTrackNameSize + body.size() + 4);
    track.insert(track.end(), {0x00, 0xFF, 0x03, kTrackNameSize});
    track.insert(track.end(), name, name + kTrackNameSize);
    track.insert(track.end(), body.begin(), body.end());
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    return smfBytes(0, kTicksPerQuarter, {track});
}

bool writeMidiExportFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (path.empty() || path.front() != '/') return false;
    return writeWholeFile(path, bytes.data(), bytes.size());
}
