// Extra services of Zandrel that hosts of our own (the renderer, the tests)
// reach through an extension of its own, as the VST 2.4 build offers them
// through effVendorSpecific. No other host asks for this id.
#pragma once

#include "abi/plugin.h"

#include <cstdint>

inline constexpr char kZandrelServicesExtension[] = "com.vrekrecords.zandrel.services";

struct zandrel_clap_services {
    // Seeds the random source, so that a render can be repeated exactly.
    void (*seed_random)(const clap_plugin* plugin, uint64_t seed);
    // Loads a chord preset file (arp false) or an arpeggiator preset file.
    bool (*load_preset)(const clap_plugin* plugin, bool arp, const char* path);
    // Runs the work a program change left for the worker thread, now.
    void (*run_deferred)(const clap_plugin* plugin);
    // Any index of the engine's parameter door, at once, as the VST 2.4
    // build's setParameter reaches them (the editor's values and commands
    // beyond the 32 host parameters).
    void (*set_parameter)(const clap_plugin* plugin, int32_t index, float value);
};
