// Parameters: their descriptions, values and texts, and how changes travel
// (parameter events in process or flush, both ways).
#pragma once

#include "events.h"
#include "id.h"

#include <cstddef>
#include <cstdint>

struct clap_plugin;
struct clap_host;

inline constexpr char CLAP_EXT_PARAMS[] = "clap.params";

enum clap_param_info_flags : uint32_t {
    CLAP_PARAM_IS_STEPPED = 1, // values are whole numbers
    CLAP_PARAM_IS_PERIODIC = 2,
    CLAP_PARAM_IS_HIDDEN = 4,
    CLAP_PARAM_IS_READONLY = 8,
    CLAP_PARAM_IS_BYPASS = 16,
    CLAP_PARAM_IS_AUTOMATABLE = 32,
    CLAP_PARAM_IS_MODULATABLE = 1024,
    CLAP_PARAM_REQUIRES_PROCESS = 32768,
    CLAP_PARAM_IS_ENUM = 65536,
};

struct clap_param_info {
    clap_id id; // stable for ever
    uint32_t flags;
    void* cookie;
    char name[CLAP_NAME_SIZE];
    char module[CLAP_PATH_SIZE];
    double min_value;
    double max_value;
    double default_value;
};

static_assert(sizeof(clap_param_info) == 1320);
static_assert(offsetof(clap_param_info, name) == 16);
static_assert(offsetof(clap_param_info, module) == 272);
static_assert(offsetof(clap_param_info, min_value) == 1296);

// All [main], but flush: [audio] while active, [main] while inactive.
struct clap_plugin_params {
    uint32_t (*count)(const clap_plugin* plugin);
    bool (*get_info)(const clap_plugin* plugin, uint32_t param_index, clap_param_info* info);
    bool (*get_value)(const clap_plugin* plugin, clap_id param_id, double* value);
    bool (*value_to_text)(const clap_plugin* plugin, clap_id param_id, double value, char* display,
                          uint32_t size);
    bool (*text_to_value)(const clap_plugin* plugin, clap_id param_id, const char* display,
                          double* value);
    void (*flush)(const clap_plugin* plugin, const clap_input_events* in,
                  const clap_output_events* out);
};

static_assert(sizeof(clap_plugin_params) == 48);

enum clap_param_rescan_flags : uint32_t {
    CLAP_PARAM_RESCAN_VALUES = 1,
    CLAP_PARAM_RESCAN_TEXT = 2,
    CLAP_PARAM_RESCAN_INFO = 4,
    CLAP_PARAM_RESCAN_ALL = 8,
};

enum clap_param_clear_flags : uint32_t {
    CLAP_PARAM_CLEAR_ALL = 1,
    CLAP_PARAM_CLEAR_AUTOMATIONS = 2,
    CLAP_PARAM_CLEAR_MODULATIONS = 4,
};

struct clap_host_params {
    void (*rescan)(const clap_host* host, uint32_t flags);                  // [main]
    void (*clear)(const clap_host* host, clap_id param_id, uint32_t flags); // [main]
    void (*request_flush)(const clap_host* host); // [any], never the audio thread
};

static_assert(sizeof(clap_host_params) == 24);
