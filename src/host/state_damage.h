// Damage done to a saved state before a plug-in is asked to load it, the
// way a corrupt project file would: shared by the session fuzzer and the
// validator.
#pragma once

#include <cstdint>
#include <vector>

// Overwrites 1 to 64 aligned words of `bytes`, chosen by `seed`: floats made
// NaN, infinite or huge, counts and indices made negative or large, or
// random bits. The same seed damages the same way every time.
void damageState(std::vector<uint8_t>& bytes, uint64_t seed);
