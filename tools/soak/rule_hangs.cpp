#include "rule_hangs.h"

#include "parameter_indices.h"

#include <algorithm>

namespace soak {

namespace {
// With the transpose left alone, the chords of keys below this stay at or
// below 127 in the default memory (key, third, fifth).
constexpr int kHighKeys = 121;

bool causesRuleHang(const Step& s) {
    return (s.kind == Step::kParameter &&
            (s.index == param::kRoutingOptions || s.index == param::kTranspose ||
             s.index == param::kInputMode)) ||
           s.kind == Step::kSampleRate || s.kind == Step::kChunkLoad;
}

bool causesRuleHang(const MidiIn& m) {
    const int kind = m.status & 0xF0;
    const int channel = (m.status & 15) + 1;
    if (kind != 0x80 && kind != 0x90) return false;
    return (channel >= 2 && channel <= 5) || m.data1 >= kHighKeys;
}
} // namespace

Session withoutRuleHangCauses(const Session& session) {
    Session s = session;
    std::erase_if(s.steps, [](const Step& step) { return causesRuleHang(step); });
    for (Step& step : s.steps) {
        std::erase_if(step.midi, [](const MidiIn& m) { return causesRuleHang(m); });
        // Channel 16 plays chords as channel 1 does, but with the chord
        // memory off its notes keep their channel: play them on channel 1.
        for (MidiIn& m : step.midi) {
            const int kind = m.status & 0xF0;
            if ((kind == 0x80 || kind == 0x90) && (m.status & 15) == 15)
                m.status = static_cast<uint8_t>(kind);
        }
    }
    return s;
}

} // namespace soak
