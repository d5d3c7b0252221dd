#include "manual_file.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <system_error>

// Generated at build time from docs/manual.
extern const unsigned char kZandrelManualPdf[];
extern const size_t kZandrelManualPdfSize;

bool installManual(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) return true;
    // Written under another name first: an interrupted write never leaves
    // half a manual that would then count as installed.
    const std::string partial = path + ".part";
    FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) return false;
    const bool written =
        std::fwrite(kZandrelManualPdf, 1, kZandrelManualPdfSize, f) == kZandrelManualPdfSize;
    const bool closed = std::fclose(f) == 0;
    if (written && closed) std::filesystem::rename(partial, path, error);
    if (!written || !closed || error) {
        std::filesystem::remove(partial, error);
        return false;
    }
    return true;
}
