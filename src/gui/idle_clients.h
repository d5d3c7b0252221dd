// Everything that must run periodically on the user-interface thread
// (timers, the file selector's child process) registers here; the editor's
// idle call runs them all. Nothing in the toolkit starts a thread.
#pragma once

#include <chrono>

using IdleClock = std::chrono::steady_clock;

class IIdleClient {
public:
    virtual ~IIdleClient() = default;
    virtual void onIdle(IdleClock::time_point now) = 0;
};

namespace IdleClients {
void add(IIdleClient* client);
void remove(IIdleClient* client);
// Runs every registered client once; clients may add or remove clients.
void runAll(IdleClock::time_point now = IdleClock::now());
} // namespace IdleClients
