// The library's one exported symbol. A host may run init and deinit in
// pairs, again after a deinit: there is nothing global to set up or tear
// down (the shared worker thread starts with the first activation and ends
// with the last instance), so every pair is as good as the first.
#include "abi/entry.h"
#include "clap_factory.h"

#include <cstring>

namespace {

bool entryInit(const char* /*pluginPath*/) {
    return true;
}

void entryDeinit() {}

const void* entryFactory(const char* factoryId) {
    if (factoryId && std::strcmp(factoryId, CLAP_PLUGIN_FACTORY_ID) == 0) return &kZandrelFactory;
    return nullptr;
}

} // namespace

extern "C" {
__attribute__((visibility("default"))) extern const clap_plugin_entry clap_entry;
const clap_plugin_entry clap_entry = {CLAP_VERSION, entryInit, entryDeinit, entryFactory};
}
