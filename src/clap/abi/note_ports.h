// The plug-in's note ports and the note dialects each one speaks.
#pragma once

#include "id.h"

#include <cstddef>
#include <cstdint>

struct clap_plugin;
struct clap_host;

inline constexpr char CLAP_EXT_NOTE_PORTS[] = "clap.note-ports";

enum clap_note_dialect : uint32_t {
    CLAP_NOTE_DIALECT_CLAP = 1,
    CLAP_NOTE_DIALECT_MIDI = 2,
    CLAP_NOTE_DIALECT_MIDI_MPE = 4,
    CLAP_NOTE_DIALECT_MIDI2 = 8,
};

struct clap_note_port_info {
    clap_id id;
    uint32_t supported_dialects;
    uint32_t preferred_dialect; // one bit
    char name[CLAP_NAME_SIZE];
};

static_assert(sizeof(clap_note_port_info) == 268);

// [main], while inactive.
struct clap_plugin_note_ports {
    uint32_t (*count)(const clap_plugin* plugin, bool is_input);
    bool (*get)(const clap_plugin* plugin, uint32_t index, bool is_input,
                clap_note_port_info* info);
};

static_assert(sizeof(clap_plugin_note_ports) == 16);
