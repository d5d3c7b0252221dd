// Builds a random session from a seed: blocks of every size with notes,
// controllers, program changes and pitch bend on the channels that mean
// something to the plug-in; transport moves; sample-rate changes; and,
// between blocks, parameters and commands with edge values, state loads
// (valid, truncated, damaged) and the chord set operations.
#pragma once

#include "session.h"
#include "soak_random.h"

namespace soak {

struct GeneratorOptions {
    int minSteps = 40;
    int maxSteps = 400;
};

Session generateSession(uint64_t seed, const GeneratorOptions& options = {});

// Edge values every parameter and command index is tried with.
float edgeValue(SoakRandom& random);

} // namespace soak
