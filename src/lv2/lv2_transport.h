// The host's transport as LV2 hosts tell it: time:Position objects inside
// the input sequence, sent when something changes rather than every block.
// Between two of them the position runs on from the last one at its tempo
// and speed, as the host's own clock does, so that every block (and every
// part of a block after a change) starts where the host would say it is.
//
// Positions are counted in quarter notes, as the engine's clock reads them:
// a beat of a time signature's beat unit u is 4 / u quarter notes, and a
// tempo of b such beats per minute is b x 4 / u quarter notes per minute.
// A host that sends no time:beat has it computed from the bar, the beat in
// the bar and the beats per bar.
#pragma once

#include "lv2_urids.h"
#include "transport_info.h"

#include <lv2/atom/atom.h>

#include <cstdint>

class Lv2Transport {
public:
    Lv2Transport(const Lv2Urids& urids, double sampleRate) : uris(urids), rate(sampleRate) {}

    // A time:Position object heard at `frame` (frames since the instance
    // started counting). Fields it leaves out keep their last values.
    void take(const LV2_Atom_Object* position, int64_t frame) noexcept;
    // Whether any position has been heard: before that the host gives none.
    bool known() const noexcept { return heard; }
    // The transport at `frame`, at or after the last position heard.
    TransportInfo at(int64_t frame) const noexcept;

private:
    const Lv2Urids& uris;
    double rate;
    bool heard = false;
    double speed = 0.0;
    double beatUnit = 4.0;
    double beatsPerBar = 4.0;
    double quartersPerMinute = 120.0;
    double anchorQuarters = 0.0; // the position at anchorFrame
    int64_t anchorFrame = 0;
};
