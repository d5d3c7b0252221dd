#include "diagnostics.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {
// The sink in use; null when the user asked for nothing. A file once opened
// stays open for the life of the library (a line being written by another
// thread may still hold it when the choice changes).
std::atomic<FILE*> chosenSink{nullptr};
std::mutex choosing;
std::string chosenFor; // the ZANDREL_LOG the sink was chosen for

FILE* sinkFor(const std::string& choice) {
    if (choice.empty() || choice == "0") return nullptr;
    if (choice == "1") return stderr;
    return std::fopen(choice.c_str(), "a");
}
} // namespace

void chooseDiagnosticsSink() {
    const char* env = std::getenv("ZANDREL_LOG");
    const std::string choice = env ? env : "";
    std::lock_guard<std::mutex> lock(choosing);
    if (choice == chosenFor && (chosenSink.load() || choice.empty() || choice == "0")) return;
    chosenFor = choice;
    chosenSink.store(sinkFor(choice));
}

bool diagnosticsEnabled() noexcept {
    return chosenSink.load(std::memory_order_relaxed) != nullptr;
}

void writeDiagnostic(const char* line) noexcept {
    FILE* out = chosenSink.load(std::memory_order_relaxed);
    if (!out) return;
    std::fputs(line, out);
    std::fflush(out);
}
