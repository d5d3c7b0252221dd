// The factory a .clap file hands out under "clap.plugin-factory": how many
// plug-ins it holds, their descriptions, and new instances.
#pragma once

#include "plugin.h"

#include <cstdint>

struct clap_host;

inline constexpr char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";

struct clap_plugin_factory {
    uint32_t (*get_plugin_count)(const clap_plugin_factory* factory);
    // Null for an index out of range.
    const clap_plugin_descriptor* (*get_plugin_descriptor)(const clap_plugin_factory* factory,
                                                           uint32_t index);
    // Null for an unknown id. Must not call the host, which stays valid
    // until after the instance's destroy.
    const clap_plugin* (*create_plugin)(const clap_plugin_factory* factory, const clap_host* host,
                                        const char* plugin_id);
};

static_assert(sizeof(clap_plugin_factory) == 24);
