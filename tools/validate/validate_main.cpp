// zandrel-validate: loads a Zandrel build as hosts do and runs the checks
// plug-in validators are known for, plus what a MIDI effect needs.
#include "check_runner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void usage() {
    std::printf("usage: zandrel-validate [options] PLUGIN\n"
                "  PLUGIN             a Zandrel build: Zandrel.so (VST 2.4), Zandrel.clap,\n"
                "                     lv2/zandrel.lv2 (an LV2 bundle)\n"
                "  --check NAME       run only this check (again for more)\n"
                "  --seed N           the random choices of every check (default 1)\n"
                "  --quick | --full   fewer or more iterations than the default\n"
                "  --rate HZ          processing and timing at this rate only\n"
                "  --block N          processing and timing at this block size only\n"
                "  --no-fork          run the checks in this process (for a debugger)\n"
                "  --timeout S        seconds a check may take (default 600)\n"
                "  --list             name the checks\n"
                "Each check prints a verdict line; a failure adds what failed and how\n"
                "to reproduce it. The exit status is 1 when a check failed.\n");
}

} // namespace

int main(int argc, char** argv) {
    using namespace validate;
    CheckOptions options;
    RunnerOptions runner;
    runner.command = "zandrel-validate";
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--check" && hasValue) {
            only.emplace_back(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--quick") {
            options.effort = 0;
        } else if (arg == "--full") {
            options.effort = 2;
        } else if (arg == "--rate" && hasValue) {
            options.onlyRate = std::strtod(argv[++i], nullptr);
        } else if (arg == "--block" && hasValue) {
            options.onlyBlock = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 10));
        } else if (arg == "--no-fork") {
            runner.isolate = false;
        } else if (arg == "--timeout" && hasValue) {
            runner.timeoutSeconds = std::atoi(argv[++i]);
        } else if (arg == "--list") {
            for (const Check& c : allChecks()) std::printf("%-20s %s\n", c.name, c.summary);
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && options.pluginPath.empty()) {
            options.pluginPath = arg;
        } else {
            usage();
            return 2;
        }
    }
    if (options.pluginPath.empty()) {
        usage();
        return 2;
    }
    std::vector<const Check*> selected;
    for (const Check& c : allChecks()) {
        bool wanted = only.empty();
        for (const std::string& name : only) wanted = wanted || name == c.name;
        if (wanted) selected.push_back(&c);
    }
    for (const std::string& name : only) {
        bool known = false;
        for (const Check& c : allChecks()) known = known || name == c.name;
        if (!known) {
            std::fprintf(stderr, "no check named %s (--list names them)\n", name.c_str());
            return 2;
        }
    }
    return runChecks(selected, options, runner) > 0 ? 1 : 0;
}
