#include "lv2_transport.h"

#include <lv2/atom/util.h>

namespace {
// Hosts differ in the numeric types they send; any of them will do.
bool numberOf(const LV2_Atom* atom, const Lv2Urids& u, double& out) {
    if (!atom) return false;
    if (atom->type == u.atomDouble)
        out = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    else if (atom->type == u.atomFloat)
        out = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    else if (atom->type == u.atomLong)
        out = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    else if (atom->type == u.atomInt)
        out = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    else
        return false;
    return out == out; // NaN is no number
}
} // namespace

void Lv2Transport::take(const LV2_Atom_Object* position, int64_t frame) noexcept {
    const LV2_Atom *speedAtom = nullptr, *beatAtom = nullptr, *barAtom = nullptr,
                   *barBeatAtom = nullptr, *unitAtom = nullptr, *perBarAtom = nullptr,
                   *tempoAtom = nullptr;
    lv2_atom_object_get(position, uris.timeSpeed, &speedAtom, uris.timeBeat, &beatAtom,
                        uris.timeBar, &barAtom, uris.timeBarBeat, &barBeatAtom, uris.timeBeatUnit,
                        &unitAtom, uris.timeBeatsPerBar, &perBarAtom, uris.timeBeatsPerMinute,
                        &tempoAtom, 0);
    // Where the position would be now had nothing changed.
    const TransportInfo before = at(frame);
    double value = 0.0;
    if (numberOf(unitAtom, uris, value) && value >= 1.0) beatUnit = value;
    if (numberOf(perBarAtom, uris, value) && value > 0.0) beatsPerBar = value;
    if (numberOf(tempoAtom, uris, value) && value > 0.0) quartersPerMinute = value * 4.0 / beatUnit;
    if (numberOf(speedAtom, uris, value)) speed = value;

    double beat = 0.0, bar = 0.0, barBeat = 0.0;
    if (numberOf(beatAtom, uris, beat))
        anchorQuarters = beat * 4.0 / beatUnit;
    else if (numberOf(barAtom, uris, bar) && numberOf(barBeatAtom, uris, barBeat))
        anchorQuarters = (bar * beatsPerBar + barBeat) * 4.0 / beatUnit;
    else
        anchorQuarters = before.beatPosition;
    anchorFrame = frame;
    heard = true;
}

TransportInfo Lv2Transport::at(int64_t frame) const noexcept {
    TransportInfo t{};
    // Only forward motion counts as playing; a stopped or rewinding host
    // leaves the arpeggiator running on at the last tempo.
    t.playing = speed > 0.0;
    t.tempo = t.playing ? quartersPerMinute * speed : quartersPerMinute;
    t.beatPosition = anchorQuarters;
    if (t.playing)
        t.beatPosition += static_cast<double>(frame - anchorFrame) * t.tempo / (60.0 * rate);
    return t;
}
