// The URIs the LV2 adapter reads and writes, mapped once when an instance
// is created (mapping may lock or allocate, so never in run()).
#pragma once

#include "parameter_indices.h"

#include <lv2/urid/urid.h>

#include <cstdint>

struct Lv2Urids {
    // Atom types.
    LV2_URID atomBlank, atomBool, atomChunk, atomDouble, atomFloat, atomInt, atomLong, atomObject,
        atomSequence, atomUrid;
    LV2_URID midiEvent;
    // Transport.
    LV2_URID timePosition, timeBar, timeBarBeat, timeBeat, timeBeatUnit, timeBeatsPerBar,
        timeBeatsPerMinute, timeSpeed;
    // Parameters.
    LV2_URID patchGet, patchSet, patchPut, patchBody, patchProperty, patchValue, patchSubject;
    LV2_URID plugin, stateChunk;
    LV2_URID parameter[param::kHostParameterCount];

    explicit Lv2Urids(const LV2_URID_Map& map);

    // The host parameter a property URID names, or -1.
    int32_t parameterOf(LV2_URID property) const noexcept {
        for (int32_t i = 0; i < param::kHostParameterCount; ++i)
            if (parameter[i] == property && property != 0) return i;
        return -1;
    }
};
