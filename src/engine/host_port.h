// What the engine asks of the host it runs in. Each plug-in format answers
// it in its own terms (VST 2.4's host callback, CLAP's host and output
// events, LV2's atom ports); the engine knows none of them.
#pragma once

#include "midi_message.h"

#include <cstdint>

class HostPort {
public:
    virtual ~HostPort() = default;
    // The events of the block just processed, in time order, frames inside
    // the block. Called once per block on the real-time thread, and only
    // when there are events.
    virtual void sendMidi(const MidiMessage* events, int32_t count) noexcept = 0;
    // Something the host shows (parameter values, the program name) changed
    // behind its back: a preset or a state was loaded.
    virtual void displayChanged() {}
    // A host parameter (index below 32) took a new value through the
    // engine's own doing rather than the host's: a load, a program change,
    // the free-rate switch re-sending a rate. Called on the thread that
    // made the change; formats whose hosts must be told sample-accurately
    // queue it.
    virtual void hostParameterChanged(int32_t /*index*/, float /*value*/) {}
    // Work the real-time thread must not do (reading a preset file). A host
    // with a worker thread of its own takes it (true) and later calls
    // ZandEngine::performDeferredWork with the same two numbers on that
    // thread; otherwise (false) the engine's shared worker thread does it.
    // Called on the real-time thread.
    virtual bool scheduleWork(int32_t /*index*/, float /*value*/) noexcept { return false; }
};
