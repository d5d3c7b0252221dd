// A plug-in writes nothing to the host's standard output or error unless
// the user asks it to: hosts show that stream in their own log.
#include "checks.h"
#include "player.h"

#include <cstdio>
#include <unistd.h>

namespace validate {

namespace {

// Sends this process's standard output and error to a file while it lives.
class CapturedOutput {
public:
    CapturedOutput() : file(std::tmpfile()) {
        std::fflush(nullptr);
        savedOut = dup(STDOUT_FILENO);
        savedError = dup(STDERR_FILENO);
        if (!file) return;
        dup2(fileno(file), STDOUT_FILENO);
        dup2(fileno(file), STDERR_FILENO);
    }
    ~CapturedOutput() {
        restore();
        if (file) std::fclose(file);
    }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // Ends the capture; answers what was written meanwhile.
    std::string take() {
        restore();
        std::string text;
        if (!file) return text;
        std::rewind(file);
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, n);
        return text;
    }

private:
    void restore() {
        if (savedOut < 0) return;
        std::fflush(nullptr);
        dup2(savedOut, STDOUT_FILENO);
        dup2(savedError, STDERR_FILENO);
        close(savedOut);
        close(savedError);
        savedOut = savedError = -1;
    }

    FILE* file;
    int savedOut = -1;
    int savedError = -1;
};

} // namespace

void quietCheck(CheckContext& c) {
    constexpr double kRate = 48000.0;
    CapturedOutput captured;
    // The library stays loaded: unloading is the lifecycle checks' concern.
    c.log.at(0.0, -1, "a short session: load, play, parameters, state, close");
    {
        auto format = c.loadFormat();
        if (!format) return;
        {
            auto instance = c.create(*format);
            if (!instance) return;
            Player player(*instance, c.log);
            player.start(kRate, 256);
            instance->setTransport(true, 120.0, 0.0);
            player.schedule(randomNotes(c.random, player.position(), 48000, kRate, 1));
            for (int i = 0; i < instance->parameterCount(); ++i) {
                instance->setParameter(i, instance->parameterInfo(i).min);
                (void)instance->parameterText(i);
            }
            player.play(48000, 256);
            player.letGo(256);
            const std::vector<uint8_t> state = instance->saveState();
            instance->loadState(state);
            instance->loadState({});
            player.stop();
            instance->destroy();
        }
    }
    const std::string text = captured.take();
    if (!text.empty()) {
        std::string first = text.substr(
            text.find_first_not_of('\n') == std::string::npos ? 0 : text.find_first_not_of('\n'));
        first = first.substr(0, first.find('\n'));
        c.log.fail(std::to_string(text.size()) + " bytes written to standard output or error, " +
                   "the first line \"" + first + "\"");
    }
    c.log.did("a short session wrote " + std::to_string(text.size()) +
              " bytes to standard output and error");
}

} // namespace validate
