// The host as a plug-in instance sees it: its name and version, its
// extensions, and three requests that any thread may make.
#pragma once

#include "version.h"

#include <cstddef>

struct clap_host {
    clap_version_t clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    // From the plug-in's init on; null when the host does not offer it.
    const void* (*get_extension)(const clap_host* host, const char* extension_id);
    void (*request_restart)(const clap_host* host);
    void (*request_process)(const clap_host* host);
    // The host calls the plug-in's on_main_thread soon.
    void (*request_callback)(const clap_host* host);
};

static_assert(sizeof(clap_host) == 88);
static_assert(offsetof(clap_host, host_data) == 16);
static_assert(offsetof(clap_host, name) == 24);
static_assert(offsetof(clap_host, get_extension) == 56);
static_assert(offsetof(clap_host, request_callback) == 80);
