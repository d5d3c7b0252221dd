// Zandrel's own extension for hosts of our own (zandrel_clap_services.h).
#include "clap_extensions.h"
#include "zandrel_clap.h"

namespace {

ZandrelClap* self(const clap_plugin* p) {
    return ZandrelClap::of(p);
}

void seedRandom(const clap_plugin* p, uint64_t seed) {
    self(p)->zandEngine().seedRandom(seed);
}

bool loadPreset(const clap_plugin* p, bool arp, const char* path) {
    if (!path) return false;
    try {
        return self(p)->zandEngine().loadPresetFile(arp ? kArpBank : kChordBank, path);
    } catch (...) {
        return false;
    }
}

void runDeferred(const clap_plugin* p) {
    try {
        self(p)->zandEngine().runDeferredWork();
    } catch (...) {}
}

void setParameter(const clap_plugin* p, int32_t index, float value) {
    self(p)->zandEngine().setParameter(index, value);
}

} // namespace

const zandrel_clap_services kZandrelServices = {seedRandom, loadPreset, runDeferred, setParameter};
