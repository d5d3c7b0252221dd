// Periodic calls on the host's main thread, for a window's idle work.
#pragma once

#include "id.h"

#include <cstdint>

struct clap_plugin;
struct clap_host;

inline constexpr char CLAP_EXT_TIMER_SUPPORT[] = "clap.timer-support";

struct clap_plugin_timer_support {
    void (*on_timer)(const clap_plugin* plugin, clap_id timer_id); // [main]
};

// [main] The host may lengthen short periods.
struct clap_host_timer_support {
    bool (*register_timer)(const clap_host* host, uint32_t period_ms, clap_id* timer_id);
    bool (*unregister_timer)(const clap_host* host, clap_id timer_id);
};

static_assert(sizeof(clap_plugin_timer_support) == 8);
static_assert(sizeof(clap_host_timer_support) == 16);
