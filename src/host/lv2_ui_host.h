// The editor side of our LV2 host: finds the plug-in's X11 UI through lilv
// (the bundle's ui:ui), opens the UI's binary and instantiates its
// descriptor inside a given X11 window, offering what a host may offer
// (instance access, ui:resize, ui:touch, the options with a scale
// factor), and idles it through ui:idleInterface. What the UI writes goes
// to the plug-in's control ports through the host's queue, taken before
// the next block, as hosts do; every write, gesture and size request is
// also kept for the tests to read. Use it on one thread (the host's UI
// thread).
#pragma once

#include "lv2_host.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Lv2UiHost {
public:
    struct Options {
        bool instanceAccess = true;
        bool offerResize = true;
        bool offerTouch = true;
        float scaleFactor = 0.0f; // ui:scaleFactor; 0: no options offered
        // Called with each size the UI asks its window to have (ui:resize),
        // from its instantiation on.
        std::function<void(int width, int height)> onResize;
    };
    struct Write {
        uint32_t port;
        float value;
        bool operator==(const Write&) const = default;
    };
    struct Touch {
        uint32_t port;
        bool grabbed;
        bool operator==(const Touch&) const = default;
    };

    // `plugin` must outlive the UI host.
    Lv2UiHost(Lv2Host& plugin, unsigned long parentWindow, const Options& options);
    ~Lv2UiHost(); // cleans the UI up, then closes its binary
    Lv2UiHost(const Lv2UiHost&) = delete;
    Lv2UiHost& operator=(const Lv2UiHost&) = delete;

    bool loaded() const;
    const std::string& error() const;
    // The UI's widget: its own X11 window inside the parent.
    unsigned long widget() const;
    // One idle call; false when the UI asked to be closed.
    bool idle();

    std::vector<std::pair<int, int>> sizes;
    std::vector<Write> writes;
    std::vector<Touch> touches;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
