#include "backend_support.h"

#include <cstdio>

namespace validate {

std::string printable(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        if (c > 0 && c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
            shown += escape;
        } else {
            shown += c;
        }
    }
    return shown;
}

void FormatFaults::add(const std::string& what) {
    const std::lock_guard<std::mutex> guard(lock);
    if (faults.size() < 16) faults.insert(what);
}

std::vector<std::string> FormatFaults::take() {
    const std::lock_guard<std::mutex> guard(lock);
    std::vector<std::string> taken(faults.begin(), faults.end());
    faults.clear();
    return taken;
}

} // namespace validate
