// The renderer's host for the LV2 bundle: our lilv host. Host parameters
// go in through their control ports, as automation moves them, the
// transport as time:Position objects when it changes, the state through
// the state interface, the rest through Zandrel's own extension.
#include "lv2_host.h"
#include "lv2_uris.h"
#include "parameter_indices.h"
#include "render_host_on.h"
#include "zandrel_lv2_services.h"

#include <lv2/atom/atom.h>

namespace {

class Lv2RenderHost final : public RenderHostOn<Lv2Host> {
public:
    Lv2RenderHost(const std::string& bundle, const Lv2Host::Options& options)
        : RenderHostOn(bundle, options) {}

    bool loaded() const { return host.loaded() && host.extensionData(kZandrelServicesUri); }
    std::string error() const { return host.loaded() ? "not Zandrel" : host.error(); }

    void takeMidi(std::vector<TimedMidi>& into) override {
        for (const auto& r : host.events)
            into.push_back({r.sampleTime, r.status, r.data1, r.data2});
        host.events.clear();
        host.parameters.clear();
    }

    void seedRandom(uint64_t seed) override { host.seedRandom(seed); }
    bool loadState(std::vector<uint8_t> bytes) override {
        return host.restoreState(kZandrelChunkKey, bytes, LV2_ATOM__Chunk) == LV2_STATE_SUCCESS;
    }
    bool loadPreset(bool arp, const std::string& path) override {
        return host.loadPreset(arp, path);
    }
    std::optional<std::string> saveState() override {
        const auto stored = host.saveState();
        if (!stored) return std::nullopt;
        for (const auto& property : *stored)
            if (property.key == kZandrelChunkKey)
                return std::string(property.value.begin(), property.value.end());
        return std::nullopt;
    }
    std::string parameterName(int32_t index) override { return host.parameterName(index); }
    void setParameter(int32_t index, float value) override {
        if (index >= 0 && index < param::kHostParameterCount)
            host.setControl(index, value);
        else
            host.setParameter(index, value);
    }
};

} // namespace

std::unique_ptr<RenderHost> openLv2RenderHost(const std::string& bundlePath,
                                              const RenderHostOptions& options,
                                              std::string& error) {
    Lv2Host::Options hostOptions;
    hostOptions.sampleRate = options.sampleRate;
    hostOptions.maxBlockSize = options.maxBlockSize;
    auto host = std::make_unique<Lv2RenderHost>(bundlePath, hostOptions);
    if (!host->loaded()) {
        error = host->error();
        return nullptr;
    }
    return host;
}
