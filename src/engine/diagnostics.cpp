#include "diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
struct Sink {
    FILE* out = nullptr;
    bool ownsFile = false;
    Sink() {
        const char* choice = std::getenv("ZANDREL_LOG");
        if (!choice || !*choice || std::strcmp(choice, "0") == 0) return;
        if (std::strcmp(choice, "1") == 0) {
            out = stderr;
            return;
        }
        out = std::fopen(choice, "a");
        ownsFile = out != nullptr;
    }
    ~Sink() {
        if (ownsFile) std::fclose(out);
    }
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;
};

Sink& sink() {
    static Sink instance;
    return instance;
}
} // namespace

bool diagnosticsEnabled() noexcept {
    return sink().out != nullptr;
}

void writeDiagnostic(const char* line) noexcept {
    FILE* out = sink().out;
    if (!out) return;
    std::fputs(line, out);
    std::fflush(out);
}
