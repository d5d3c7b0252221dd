// One process call: the block's length, the transport at its first sample,
// the audio buffers and the events both ways. All valid during the call only.
#pragma once

#include "audio_buffer.h"
#include "events.h"

#include <cstddef>
#include <cstdint>

enum clap_process_status : int32_t {
    CLAP_PROCESS_ERROR = 0,
    CLAP_PROCESS_CONTINUE = 1,
    CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
    CLAP_PROCESS_TAIL = 3,
    CLAP_PROCESS_SLEEP = 4,
};

struct clap_process {
    int64_t steady_time; // -1 when unknown
    uint32_t frames_count;
    const clap_event_transport* transport; // null: the host has no transport
    const clap_audio_buffer* audio_inputs;
    clap_audio_buffer* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const clap_input_events* in_events;
    const clap_output_events* out_events;
};

static_assert(sizeof(clap_process) == 64);
static_assert(offsetof(clap_process, transport) == 16);
static_assert(offsetof(clap_process, audio_inputs_count) == 40);
static_assert(offsetof(clap_process, in_events) == 48);
static_assert(offsetof(clap_process, out_events) == 56);
