// File descriptors the host watches in its main loop for the plug-in (a
// window's X connection), with level-triggered calls on its main thread.
#pragma once

#include <cstdint>

struct clap_plugin;
struct clap_host;

inline constexpr char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";

enum clap_posix_fd_flags : uint32_t {
    CLAP_POSIX_FD_READ = 1,
    CLAP_POSIX_FD_WRITE = 2,
    CLAP_POSIX_FD_ERROR = 4,
};

struct clap_plugin_posix_fd_support {
    void (*on_fd)(const clap_plugin* plugin, int fd, uint32_t flags); // [main]
};

// [main]
struct clap_host_posix_fd_support {
    bool (*register_fd)(const clap_host* host, int fd, uint32_t flags);
    bool (*modify_fd)(const clap_host* host, int fd, uint32_t flags);
    bool (*unregister_fd)(const clap_host* host, int fd);
};

static_assert(sizeof(clap_plugin_posix_fd_support) == 8);
static_assert(sizeof(clap_host_posix_fd_support) == 24);
