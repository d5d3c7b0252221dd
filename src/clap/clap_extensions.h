// The extension tables the plug-in hands out, one file each, and its
// descriptor.
#pragma once

#include "abi/audio_ports.h"
#include "abi/note_ports.h"
#include "abi/params.h"
#include "abi/plugin.h"
#include "abi/state.h"
#include "zandrel_clap_services.h"

extern const clap_plugin_descriptor kZandrelDescriptor;
extern const clap_plugin_note_ports kZandrelNotePorts;
extern const clap_plugin_audio_ports kZandrelAudioPorts;
extern const clap_plugin_params kZandrelParams;
extern const clap_plugin_state kZandrelState;
extern const zandrel_clap_services kZandrelServices;
