// Extra services of Zandrel that hosts of our own (the renderer, the tests)
// reach through extension data of its own, as the VST 2.4 build offers them
// through effVendorSpecific. No other host asks for this URI.
#pragma once

#include "lv2_uris.h"

#include <lv2/core/lv2.h>

#include <cstdint>

struct zandrel_lv2_services {
    // Seeds the random source, so that a render can be repeated exactly.
    void (*seed_random)(LV2_Handle instance, uint64_t seed);
    // Loads a chord preset file (arp false) or an arpeggiator preset file.
    bool (*load_preset)(LV2_Handle instance, bool arp, const char* path);
    // Runs the work a program change left for the shared worker thread, now.
    void (*run_deferred)(LV2_Handle instance);
    // Any index of the engine's parameter door, at once, as the VST 2.4
    // build's setParameter reaches them (the editor's values and commands
    // beyond the 32 host parameters).
    void (*set_parameter)(LV2_Handle instance, int32_t index, float value);
};
