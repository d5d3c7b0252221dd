#include "midi_writer.h"

#include "midi_status.h"
#include "smf_bytes.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct TickedMessage {
    int64_t tick;
    std::string bytes;
};

std::string message(std::initializer_list<uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

std::string midiFileBytes(const std::vector<TimedMidi>& events, const TempoMap& tempo,
                          const SmfTimeSignature& timeSignature, double sampleRate,
                          int64_t endSample) {
    auto tickOfSample = [&](int64_t sample) {
        const double quarter = tempo.quarterOfSeconds(static_cast<double>(sample) / sampleRate);
        return static_cast<int64_t>(std::llround(quarter * kOutputTicksPerQuarter));
    };

    std::vector<TickedMessage> track;
    const std::string name = "Zandrel";
    track.push_back({0, message({0xFF, 0x03, static_cast<uint8_t>(name.size())}) + name});
    int denominatorPower = 0;
    while ((1 << denominatorPower) < timeSignature.denominator) ++denominatorPower;
    track.push_back({0, message({0xFF, 0x58, 4, static_cast<uint8_t>(timeSignature.numerator),
                                 static_cast<uint8_t>(denominatorPower), 24, 8})});
    for (const auto& s : tempo.segments()) {
        const auto micros = static_cast<uint32_t>(
            std::clamp(std::llround(s.secondsPerQuarter * 1e6), 1LL, 0xFFFFFFLL));
        std::vector<uint8_t> tempoBytes;
        appendBigEndian(tempoBytes, micros, 3);
        const std::string meta =
            message({0xFF, 0x51, 3}) + std::string(tempoBytes.begin(), tempoBytes.end());
        track.push_back(
            {static_cast<int64_t>(std::llround(s.startQuarter * kOutputTicksPerQuarter)), meta});
    }

    std::map<int, int> held; // channel << 7 | key → how many note-ons wait for an off
    for (const auto& e : events) {
        const int kind = messageKind(e.status);
        if (kind < kNoteOff || kind > kPitchBend) continue;
        std::string bytes = message({e.status, e.data1});
        if (dataBytesOf(e.status) == 2) bytes.push_back(static_cast<char>(e.data2));
        track.push_back({tickOfSample(e.sample), bytes});
        const int key = ((e.status & 0x0F) << 7) | e.data1;
        if (startsNote(e.status, e.data2))
            ++held[key];
        else if (isNoteMessage(e.status) && held[key] > 0)
            --held[key];
    }
    const int64_t endTick = tickOfSample(endSample);
    for (const auto& [key, count] : held)
        for (int i = 0; i < count; ++i)
            track.push_back({endTick, message({static_cast<uint8_t>(kNoteOff | (key >> 7)),
                                               static_cast<uint8_t>(key & 0x7F), 0})});
    std::stable_sort(
        track.begin(), track.end(),
        [](const TickedMessage& a, const TickedMessage& b) { return a.tick < b.tick; });

    std::vector<uint8_t> body;
    int64_t lastTick = 0;
    for (const auto& m : track) {
        appendVariableLength(body, static_cast<uint32_t>(m.tick - lastTick));
        body.insert(body.end(), m.bytes.begin(), m.bytes.end());
        lastTick = m.tick;
    }
    appendVariableLength(body, static_cast<uint32_t>(std::max<int64_t>(endTick - lastTick, 0)));
    body.insert(body.end(), {0xFF, 0x2F, 0});
    const auto file = smfBytes(0, kOutputTicksPerQuarter, {body});
    return {file.begin(), file.end()};
}
