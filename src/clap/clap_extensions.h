// The extension tables the plug-in hands out, one file each, and its
// descriptor.
#pragma once

#include "abi/audio_ports.h"
#include "abi/gui.h"
#include "abi/note_ports.h"
#include "abi/params.h"
#include "abi/plugin.h"
#include "abi/posix_fd_support.h"
#include "abi/state.h"
#include "abi/timer_support.h"
#include "zandrel_clap_services.h"

extern const clap_plugin_descriptor kZandrelDescriptor;
extern const clap_plugin_note_ports kZandrelNotePorts;
extern const clap_plugin_audio_ports kZandrelAudioPorts;
extern const clap_plugin_params kZandrelParams;
extern const clap_plugin_state kZandrelState;
extern const zandrel_clap_services kZandrelServices;
// The window's tables (gui.cpp), built with the editor only.
extern const clap_plugin_gui kZandrelGui;
extern const clap_plugin_timer_support kZandrelTimerSupport;
extern const clap_plugin_posix_fd_support kZandrelPosixFdSupport;
