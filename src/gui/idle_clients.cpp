#include "idle_clients.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<IIdleClient*>& clients() {
    static std::vector<IIdleClient*> list;
    return list;
}
} // namespace

void IdleClients::add(IIdleClient* client) {
    auto& list = clients();
    if (std::find(list.begin(), list.end(), client) == list.end()) list.push_back(client);
}

void IdleClients::remove(IIdleClient* client) {
    auto& list = clients();
    std::replace(list.begin(), list.end(), client, static_cast<IIdleClient*>(nullptr));
}

void IdleClients::runAll(IdleClock::time_point now) {
    auto& list = clients();
    // Index loop: a client may register another while we walk the list.
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]) list[i]->onIdle(now);
    std::erase(list, nullptr);
}
