#include "shell_open.h"

#include "idle_clients.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {
// Collects the openers that have finished, so that none stays a zombie.
class Reaper : public IIdleClient {
public:
    void add(pid_t pid) {
        if (children.empty()) IdleClients::add(this);
        children.push_back(pid);
    }

private:
    void onIdle(IdleClock::time_point) override {
        std::erase_if(children, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
        if (children.empty()) IdleClients::remove(this);
    }
    std::vector<pid_t> children;
};

Reaper& reaper() {
    static Reaper r;
    return r;
}
} // namespace

bool openWithShell(const std::string& target) {
    const char* custom = std::getenv("ZANDREL_OPEN_COMMAND");
    const std::string program = custom && *custom ? custom : "xdg-open";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The opener's chatter is not for the host's log.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string arg0 = program, arg1 = target;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    reaper().add(pid);
    return true;
}
