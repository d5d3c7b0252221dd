// Identifiers of parameters, ports and timers, and the fixed sizes of the
// text buffers the interface passes.
#pragma once

#include <cstddef>
#include <cstdint>

using clap_id = uint32_t;
inline constexpr clap_id CLAP_INVALID_ID = UINT32_MAX;

inline constexpr size_t CLAP_NAME_SIZE = 256;  // names
inline constexpr size_t CLAP_PATH_SIZE = 1024; // paths and parameter modules
