#include "check.h"

#include <algorithm>
#include <charconv>

namespace validate {

namespace {
uint64_t nameHash(const std::string& name) {
    uint64_t h = 1469598103934665603ull; // FNV-1a
    for (const char c : name) {
        h ^= static_cast<uint8_t>(c);
        h *= 1099511628211ull;
    }
    return h;
}
} // namespace

CheckContext::CheckContext(const CheckOptions& options, CheckLog& log, const std::string& checkName)
    : log(log), options(options), random(options.seed ^ nameHash(checkName)) {}

std::unique_ptr<PluginFormat> CheckContext::loadFormat() {
    std::string error;
    auto format = openFormat(options.pluginPath, error);
    if (format && !format->load(error)) format.reset();
    if (!format) log.fail("cannot load the plug-in: " + error);
    return format;
}

std::unique_ptr<PluginInstance> CheckContext::create(PluginFormat& format) {
    std::string error;
    auto instance = format.create(error);
    if (!instance) log.fail("cannot create an instance: " + error);
    return instance;
}

int CheckContext::scaled(int count) const {
    if (options.effort <= 0) return std::max(1, count / 10);
    if (options.effort >= 2) return count * 5;
    return count;
}

std::vector<double> CheckContext::rates(const std::vector<double>& all) const {
    if (options.onlyRate <= 0.0) return all;
    return {options.onlyRate};
}

std::vector<int32_t> CheckContext::blocks(const std::vector<int32_t>& all) const {
    if (options.onlyBlock < 0) return all;
    return {options.onlyBlock};
}

std::string secondsText(int64_t frames, double rate) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(frames) / rate,
                                   std::chars_format::fixed, 1)
                         .ptr;
    return std::string(text, end) + " s";
}

void CheckContext::reportFormatFaults(PluginInstance& instance) {
    for (const std::string& fault : instance.takeFormatFaults()) log.fail(fault);
}

} // namespace validate
