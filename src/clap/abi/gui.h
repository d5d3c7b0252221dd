// The plug-in's window: which window system it is embedded by, its size at
// the host's scale, and the host's side (resize requests). Only X11
// embedding is used on Linux. All [main] unless said.
#pragma once

#include <cstddef>
#include <cstdint>

struct clap_plugin;
struct clap_host;

inline constexpr char CLAP_EXT_GUI[] = "clap.gui";
inline constexpr char CLAP_WINDOW_API_X11[] = "x11"; // physical pixels, XEmbed

struct clap_window {
    const char* api;
    union {
        void* cocoa;
        unsigned long x11; // the X11 Window id
        void* win32;
        void* ptr;
    };
};

static_assert(sizeof(clap_window) == 16);
static_assert(offsetof(clap_window, x11) == 8);

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    uint32_t aspect_ratio_width;
    uint32_t aspect_ratio_height;
};

static_assert(sizeof(clap_gui_resize_hints) == 12);
static_assert(offsetof(clap_gui_resize_hints, aspect_ratio_width) == 4);

struct clap_plugin_gui {
    bool (*is_api_supported)(const clap_plugin* plugin, const char* api, bool is_floating);
    // Points *api at a constant string.
    bool (*get_preferred_api)(const clap_plugin* plugin, const char** api, bool* is_floating);
    bool (*create)(const clap_plugin* plugin, const char* api, bool is_floating);
    void (*destroy)(const clap_plugin* plugin);
    // 2.0 = 200 %; false: the scale is ignored.
    bool (*set_scale)(const clap_plugin* plugin, double scale);
    // In physical pixels, at the current scale.
    bool (*get_size)(const clap_plugin* plugin, uint32_t* width, uint32_t* height);
    bool (*can_resize)(const clap_plugin* plugin);
    bool (*get_resize_hints)(const clap_plugin* plugin, clap_gui_resize_hints* hints);
    // The nearest usable size; changes nothing.
    bool (*adjust_size)(const clap_plugin* plugin, uint32_t* width, uint32_t* height);
    bool (*set_size)(const clap_plugin* plugin, uint32_t width, uint32_t height);
    bool (*set_parent)(const clap_plugin* plugin, const clap_window* window);    // embedded
    bool (*set_transient)(const clap_plugin* plugin, const clap_window* window); // floating
    void (*suggest_title)(const clap_plugin* plugin, const char* title);         // floating
    bool (*show)(const clap_plugin* plugin);
    bool (*hide)(const clap_plugin* plugin); // keeps the window's resources
};

static_assert(sizeof(clap_plugin_gui) == 120);

struct clap_host_gui {
    void (*resize_hints_changed)(const clap_host* host); // [any], embedded
    // [any], embedded. True: the host's window took the size, and no
    // set_size follows; off the main thread only an acknowledgement.
    bool (*request_resize)(const clap_host* host, uint32_t width, uint32_t height);
    bool (*request_show)(const clap_host* host); // [any]
    bool (*request_hide)(const clap_host* host); // [any]
    // [any] The window was closed or lost; true: the host calls destroy.
    void (*closed)(const clap_host* host, bool was_destroyed);
};

static_assert(sizeof(clap_host_gui) == 40);
