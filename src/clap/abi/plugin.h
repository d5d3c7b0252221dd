// A plug-in's description and the table through which the host drives one
// instance. Thread rules: [main] the host's main thread, [audio] the one
// thread processing at a time, [any] any thread.
#pragma once

#include "process.h"
#include "version.h"

#include <cstddef>

struct clap_plugin_descriptor {
    clap_version_t clap_version;
    const char* id; // reverse-URI, never changes
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features; // null-terminated
};

static_assert(sizeof(clap_plugin_descriptor) == 88);
static_assert(offsetof(clap_plugin_descriptor, id) == 16);
static_assert(offsetof(clap_plugin_descriptor, features) == 80);

struct clap_plugin {
    const clap_plugin_descriptor* desc;
    void* plugin_data;
    bool (*init)(const clap_plugin* plugin);    // [main]
    void (*destroy)(const clap_plugin* plugin); // [main], inactive
    bool (*activate)(const clap_plugin* plugin, double sample_rate, uint32_t min_frames_count,
                     uint32_t max_frames_count);         // [main]
    void (*deactivate)(const clap_plugin* plugin);       // [main]
    bool (*start_processing)(const clap_plugin* plugin); // [audio]
    void (*stop_processing)(const clap_plugin* plugin);  // [audio]
    void (*reset)(const clap_plugin* plugin);            // [audio], active
    clap_process_status (*process)(const clap_plugin* plugin, const clap_process* process);
    const void* (*get_extension)(const clap_plugin* plugin, const char* id); // [any]
    void (*on_main_thread)(const clap_plugin* plugin); // [main], after request_callback
};

static_assert(sizeof(clap_plugin) == 96);
static_assert(offsetof(clap_plugin, init) == 16);
static_assert(offsetof(clap_plugin, process) == 72);
static_assert(offsetof(clap_plugin, on_main_thread) == 88);
