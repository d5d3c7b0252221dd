// The fuzzer's random source: the seeded one the host tools share.
#pragma once

#include "seeded_random.h"

namespace soak {
using SoakRandom = SeededRandom;
} // namespace soak
