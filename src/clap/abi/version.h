// The CLAP version a plug-in or a host was built against. Hosts and
// plug-ins of any 1.x version work together; 0.x versions were drafts.
#pragma once

#include <cstdint>

struct clap_version {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};
using clap_version_t = clap_version;

static_assert(sizeof(clap_version) == 12);

// The version these declarations follow.
inline constexpr clap_version_t CLAP_VERSION = {1, 2, 10};

constexpr bool clap_version_is_compatible(const clap_version_t& v) {
    return v.major >= 1;
}
