// Lets a plug-in ask the host which of its threads is calling.
#pragma once

struct clap_host;

inline constexpr char CLAP_EXT_THREAD_CHECK[] = "clap.thread-check";

struct clap_host_thread_check {
    bool (*is_main_thread)(const clap_host* host);  // [any]
    bool (*is_audio_thread)(const clap_host* host); // [any]
};

static_assert(sizeof(clap_host_thread_check) == 16);
