// The plug-in's whole state, saved into and loaded from the host's streams.
#pragma once

#include "stream.h"

struct clap_plugin;
struct clap_host;

inline constexpr char CLAP_EXT_STATE[] = "clap.state";

// [main]
struct clap_plugin_state {
    bool (*save)(const clap_plugin* plugin, const clap_ostream* stream);
    bool (*load)(const clap_plugin* plugin, const clap_istream* stream);
};

struct clap_host_state {
    void (*mark_dirty)(const clap_host* host); // [main]
};

static_assert(sizeof(clap_plugin_state) == 16);
