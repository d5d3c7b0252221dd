// The factory with Zandrel's one descriptor. A note effect first (hosts put
// it before an instrument), then a utility.
#include "abi/plugin_factory.h"
#include "abi/host.h"
#include "abi/plugin_features.h"
#include "clap_extensions.h"
#include "clap_factory.h"
#include "zandrel_clap.h"

#include <cstring>
#include <new>

namespace {

const char* const kFeatures[] = {CLAP_PLUGIN_FEATURE_NOTE_EFFECT, CLAP_PLUGIN_FEATURE_UTILITY,
                                 nullptr};

uint32_t pluginCount(const clap_plugin_factory* /*factory*/) {
    return 1;
}

const clap_plugin_descriptor* descriptor(const clap_plugin_factory* /*factory*/, uint32_t index) {
    return index == 0 ? &kZandrelDescriptor : nullptr;
}

const clap_plugin* createPlugin(const clap_plugin_factory* /*factory*/, const clap_host* host,
                                const char* pluginId) {
    // The host is not called here: not even for its extensions.
    if (!host || !pluginId || std::strcmp(pluginId, kZandrelDescriptor.id) != 0 ||
        !clap_version_is_compatible(host->clap_version))
        return nullptr;
    // Nothing may be thrown across the C interface.
    try {
        return (new ZandrelClap(host))->clapPlugin();
    } catch (...) {
        return nullptr;
    }
}

} // namespace

const clap_plugin_descriptor kZandrelDescriptor = {
    CLAP_VERSION,    "com.vrekrecords.zandrel",           "Zandrel", "Vrek Records", "", "", "",
    ZANDREL_VERSION, "Chord memory and step arpeggiator", kFeatures,
};

const clap_plugin_factory kZandrelFactory = {pluginCount, descriptor, createPlugin};
