#include "screen_scale.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

namespace {
// The Xft.dpi entry of the X resource database, 0 when there is none.
double xftDpi(const char* resources) {
    constexpr std::string_view key = "Xft.dpi:";
    for (const char* line = resources; line && *line;) {
        const char* end = std::strchr(line, '\n');
        const std::string_view text(line,
                                    end ? static_cast<size_t>(end - line) : std::strlen(line));
        if (text.starts_with(key)) return std::strtod(line + key.size(), nullptr);
        line = end ? end + 1 : nullptr;
    }
    return 0;
}

bool ask() {
    if (const char* gdk = std::getenv("GDK_SCALE"); gdk && std::atoi(gdk) == 2) return true;
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const bool large = xftDpi(XResourceManagerString(display)) >= 144;
    XCloseDisplay(display);
    return large;
}
} // namespace

bool screenWantsDoubleSize() {
    static std::once_flag once;
    static bool answer = false;
    std::call_once(once, [] { answer = ask(); });
    return answer;
}
