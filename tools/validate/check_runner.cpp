#include "check_runner.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace validate {

namespace {

// How a check's process ends.
constexpr int kPassed = 0;
constexpr int kFailed = 1;
constexpr int kNotBuilt = 2;

struct Outcome {
    int status;
    bool leavesMemoryBehind;
};

Outcome runHere(const Check& check, const CheckOptions& options, int fd) {
    CheckLog log(fd);
    CheckContext context(options, log, check.name);
    check.run(context);
    log.finish();
    return {log.failed() ? kFailed : log.skipped() ? kNotBuilt : kPassed, log.leavesMemoryBehind()};
}

// The process ends through exit() so that a leak report runs, unless the
// check left memory behind on purpose. What it prints (a sanitizer's report,
// the plug-in's own lines) goes to `output`, shown when the check fails.
[[noreturn]] void runChild(const Check& check, const CheckOptions& options, int fd, int output,
                           int timeout) {
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    alarm(static_cast<unsigned>(timeout));
    const Outcome outcome = runHere(check, options, fd);
    std::fflush(nullptr);
    if (outcome.leavesMemoryBehind) _exit(outcome.status);
    std::exit(outcome.status);
}

std::string readAll(FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    return text;
}

bool hasSanitizerReport(const std::string& text) {
    return text.find("Sanitizer") != std::string::npos ||
           text.find("runtime error") != std::string::npos;
}

// What a failed check's process printed: from a sanitizer's report on, if
// there is one, else the end.
void printOutput(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    if (lines.empty()) return;
    constexpr size_t kShown = 40;
    size_t from = lines.size() > kShown ? lines.size() - kShown : 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (hasSanitizerReport(lines[i])) {
            from = i;
            break;
        }
    }
    std::printf("      its output%s:\n", from > 0 ? " (in part)" : "");
    for (size_t i = from; i < std::min(lines.size(), from + kShown); ++i)
        std::printf("      | %s\n", lines[i].c_str());
}

std::string describeEnd(int status, bool finished, const std::string& output) {
    std::ostringstream out;
    if (hasSanitizerReport(output)) {
        out << "stopped by a sanitizer";
    } else if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        if (sig == SIGALRM)
            out << "did not finish in time";
        else
            out << "crashed: signal " << sig << " (" << strsignal(sig) << ")";
    } else {
        out << "ended " << (finished ? "" : "before the check finished, ") << "with exit status "
            << WEXITSTATUS(status);
    }
    return out.str();
}

std::string reproduction(const Check& check, const CheckOptions& options,
                         const RunnerOptions& runner, const Place& place) {
    std::ostringstream out;
    out << runner.command << " --check " << check.name << " --seed " << options.seed;
    if (options.effort == 0) out << " --quick";
    if (options.effort == 2) out << " --full";
    if (place.rate > 0.0) out << " --rate " << place.rate;
    if (place.block >= 0) out << " --block " << place.block;
    out << ' ' << options.pluginPath;
    return out.str();
}

} // namespace

int runChecks(const std::vector<const Check*>& checks, const CheckOptions& options,
              const RunnerOptions& runner) {
    int passed = 0;
    int failed = 0;
    std::string failedNames;
    std::string formatName = "?";
    {
        std::string error;
        if (auto format = openFormat(options.pluginPath, error)) formatName = format->name();
    }
    for (const Check* check : checks) {
        FILE* recordFile = std::tmpfile();
        FILE* outputFile = std::tmpfile();
        if (!recordFile || !outputFile) {
            std::perror("tmpfile");
            return 1;
        }
        const int fd = fileno(recordFile);
        std::fflush(nullptr);
        const auto start = std::chrono::steady_clock::now();
        int status = 0;
        bool ended = true;
        if (runner.isolate) {
            const pid_t child = fork();
            if (child == 0)
                runChild(*check, options, fd, fileno(outputFile), runner.timeoutSeconds);
            if (child < 0 || waitpid(child, &status, 0) != child) ended = false;
        } else {
            status = runHere(*check, options, fd).status << 8; // as waitpid gives it
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        CheckRecord record = readCheckRecord(fd);
        std::fclose(recordFile);
        const std::string output = readAll(outputFile);
        std::fclose(outputFile);

        // A process that ended without the check's last record did not
        // finish it, whatever its exit status (a stray thread may end it).
        const bool exitedNormally =
            ended && record.finished && WIFEXITED(status) &&
            (WEXITSTATUS(status) == kPassed || WEXITSTATUS(status) == kFailed ||
             WEXITSTATUS(status) == kNotBuilt);
        std::string failures = record.failures;
        int failureCount = record.failureCount;
        Place place = failureCount > 0 ? record.firstFailurePlace : record.lastPlace;
        if (!exitedNormally) {
            const std::string where = record.lastPlace.text();
            failures +=
                (where.empty() ? "" : "at " + where + ": ") +
                (ended ? describeEnd(status, record.finished, output) : "could not run it") + "\n";
            failureCount += 1;
            if (record.failureCount == 0) place = record.lastPlace;
        }
        const bool notBuilt = exitedNormally && WEXITSTATUS(status) == kNotBuilt;
        const char* verdict = failureCount > 0 ? "FAIL" : notBuilt ? "SKIP" : "PASS";
        std::printf("%s  %-20s %7.2f s  %s\n", verdict, check->name, seconds,
                    notBuilt ? ("not built: " + record.notBuilt).c_str() : record.summary.c_str());
        if (failureCount > 0) {
            ++failed;
            failedNames += std::string(failedNames.empty() ? "" : " ") + check->name;
            std::istringstream lines(failures);
            std::string line;
            while (std::getline(lines, line)) std::printf("      %s\n", line.c_str());
            const int unwritten =
                failureCount - static_cast<int>(std::count(failures.begin(), failures.end(), '\n'));
            if (unwritten > 0) std::printf("      ... and %d more\n", unwritten);
            printOutput(output);
            std::printf("      reproduce (%s%s%s): %s\n", formatName.c_str(),
                        place.text().empty() ? "" : ", ", place.text().c_str(),
                        reproduction(*check, options, runner, place).c_str());
        } else if (!notBuilt) {
            ++passed;
        }
        std::fflush(stdout);
    }
    if (failed > 0) std::printf("failed checks: %s\n", failedNames.c_str());
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed;
}

} // namespace validate
