// The host's transport as CLAP gives it, in the terms the arpeggiator's
// clock reads: positions in quarter notes (hosts count CLAP's beats in
// quarter notes) converted from their fixed-point forms. A tempo ramp
// (tempo_inc) is not followed: like a VST 2.4 host's block, each part of a
// block runs at the tempo of its first frame.
#pragma once

#include "abi/events.h"
#include "transport_info.h"

#include <cstdint>

// `expected` stands in for what the host leaves out: the tempo when it
// gives none, the position when it gives neither a beat nor a seconds
// timeline (the transport running on from the last block).
TransportInfo transportInfoOf(const clap_event_transport& transport, const TransportInfo& expected);

// The transport `frames` samples later at the host's sample rate, as a host
// reports it at the start of a later block: moved on while it plays, and
// brought back into its loop.
TransportInfo transportAfter(const TransportInfo& transport, int64_t frames, double sampleRate);
