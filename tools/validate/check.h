// A check: a named function that drives fresh instances of the plug-in and
// writes what it finds to its log. The runner gives each its own process.
#pragma once

#include "check_log.h"
#include "plugin_format.h"
#include "seeded_random.h"

#include <memory>
#include <string>
#include <vector>

namespace validate {

struct CheckOptions {
    std::string pluginPath;
    uint64_t seed = 1;
    int effort = 1;         // 0 quick, 1 the default, 2 full
    double onlyRate = 0.0;  // a reproduction's rate (0: every rate)
    int32_t onlyBlock = -1; // a reproduction's block size (-1: every size)
};

class CheckContext {
public:
    CheckContext(const CheckOptions& options, CheckLog& log, const std::string& checkName);

    CheckLog& log;
    const CheckOptions& options;
    SeededRandom random; // from the seed and the check's name

    // The plug-in file opened and loaded by its backend; null (and a
    // failure logged) when that does not work.
    std::unique_ptr<PluginFormat> loadFormat();
    // A new instance; null (and a failure logged) when creation fails.
    std::unique_ptr<PluginInstance> create(PluginFormat& format);
    // A count for the default effort, scaled for --quick and --full.
    int scaled(int count) const;
    // The rates and block sizes to run, narrowed to a reproduction's.
    std::vector<double> rates(const std::vector<double>& all) const;
    std::vector<int32_t> blocks(const std::vector<int32_t>& all) const;
    // Fails with every fault the format's own rules found since last asked.
    void reportFormatFaults(PluginInstance& instance);
};

// "2.5 s": a stretch of frames at a rate, for the summaries.
std::string secondsText(int64_t frames, double rate);

using CheckFunction = void (*)(CheckContext&);

struct Check {
    const char* name;
    const char* summary;
    CheckFunction run;
};

// Every check, in the order they run.
const std::vector<Check>& allChecks();

} // namespace validate
