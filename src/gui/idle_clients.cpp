#include "idle_clients.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {
// Plug-in instances may be created on different threads (each registers
// its editor's timer), so the list itself is guarded. Clients run on the
// thread that calls runAll, without the lock, so that they may register
// or remove clients themselves.
struct Registry {
    std::mutex mutex;
    std::vector<IIdleClient*> list;
};

Registry& registry() {
    static Registry r;
    return r;
}
} // namespace

void IdleClients::add(IIdleClient* client) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (std::find(r.list.begin(), r.list.end(), client) == r.list.end()) r.list.push_back(client);
}

void IdleClients::remove(IIdleClient* client) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::replace(r.list.begin(), r.list.end(), client, static_cast<IIdleClient*>(nullptr));
}

void IdleClients::runAll(IdleClock::time_point now) {
    Registry& r = registry();
    // Index loop: a client may register another while we walk the list.
    for (size_t i = 0;; ++i) {
        IIdleClient* client;
        {
            std::lock_guard lock(r.mutex);
            if (i >= r.list.size()) {
                std::erase(r.list, nullptr);
                return;
            }
            client = r.list[i];
        }
        if (client) client->onIdle(now);
    }
}
