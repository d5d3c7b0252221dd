// The one symbol a .clap file exports: `clap_entry`, a constant table (data,
// not a function) that a host finds with dlsym.
#pragma once

#include "version.h"

#include <cstddef>

struct clap_plugin_entry {
    clap_version_t clap_version;
    // The path of the .clap file. Fast, no user interface; false means the
    // host calls nothing else. Pairs with deinit, possibly more than once.
    bool (*init)(const char* plugin_path);
    void (*deinit)();
    // Any thread; null for an unknown factory.
    const void* (*get_factory)(const char* factory_id);
};

static_assert(sizeof(clap_plugin_entry) == 40);
static_assert(offsetof(clap_plugin_entry, init) == 16);
static_assert(offsetof(clap_plugin_entry, deinit) == 24);
static_assert(offsetof(clap_plugin_entry, get_factory) == 32);
