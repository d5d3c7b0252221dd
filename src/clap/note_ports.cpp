// One note port in and one out. The input prefers MIDI and takes CLAP's
// note events too (hosts send them even to a MIDI port); the output speaks
// MIDI only: some hosts turn a note event's 0..1 velocity into a byte
// without scaling it.
#include "clap_extensions.h"

#include <cstdio>

namespace {

uint32_t count(const clap_plugin* /*plugin*/, bool /*isInput*/) {
    return 1;
}

bool get(const clap_plugin* /*plugin*/, uint32_t index, bool isInput, clap_note_port_info* info) {
    if (index != 0 || !info) return false;
    info->id = 0;
    info->supported_dialects =
        isInput ? CLAP_NOTE_DIALECT_MIDI | CLAP_NOTE_DIALECT_CLAP : CLAP_NOTE_DIALECT_MIDI;
    info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
    std::snprintf(info->name, sizeof info->name, "%s", isInput ? "MIDI In" : "MIDI Out");
    return true;
}

} // namespace

const clap_plugin_note_ports kZandrelNotePorts = {count, get};
