// A fuzzing session: what a host does to the plug-in, step by step, in a
// form that can be replayed, shrunk and printed. Everything a step needs is
// in the step itself, so that a session replays the same on a fresh
// plug-in wherever it is cut.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

struct MidiIn {
    int32_t deltaFrames;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

struct Step {
    enum Kind : uint8_t {
        kBlock,      // frames, midi
        kParameter,  // index, value
        kPlay,       // index: 1 plays, 0 stops
        kLocate,     // position
        kLoop,       // index: 1 active; position .. loopEnd
        kTempo,      // position holds the tempo
        kSampleRate, // index holds the rate
        kChunkLoad,  // index: byte size; seed: damage (0 = the state as saved)
        kReadBack,   // index: first parameter index whose texts and value are read
    };
    Kind kind = kBlock;
    int32_t frames = 0;
    std::vector<MidiIn> midi;
    int32_t index = 0;
    float value = 0.0f;
    double position = 0.0;
    double loopEnd = 0.0;
    uint64_t seed = 0;
};

struct Session {
    uint64_t seed = 0; // also seeds the plug-in's random source
    std::vector<Step> steps;
};

// Input events of a session: MIDI events plus every other call the host made.
int64_t inputEventCount(const Session& session);

} // namespace soak
