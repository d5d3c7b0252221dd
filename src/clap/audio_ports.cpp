// No audio in; one stereo main output carrying the preview sound of the
// notes sent.
#include "clap_extensions.h"

#include <cstdio>

namespace {

uint32_t count(const clap_plugin* /*plugin*/, bool isInput) {
    return isInput ? 0 : 1;
}

bool get(const clap_plugin* /*plugin*/, uint32_t index, bool isInput, clap_audio_port_info* info) {
    if (isInput || index != 0 || !info) return false;
    info->id = 0;
    std::snprintf(info->name, sizeof info->name, "%s", "Preview");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = 2;
    info->port_type = CLAP_PORT_STEREO;
    info->in_place_pair = CLAP_INVALID_ID;
    return true;
}

} // namespace

const clap_plugin_audio_ports kZandrelAudioPorts = {count, get};
