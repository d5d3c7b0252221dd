// The renderer's host for Zandrel.clap: our CLAP host. Host parameters go
// in as parameter events at the start of the next block, the state through
// the state extension's streams; the rest through Zandrel's own extension.
#include "abi/params.h"
#include "clap_host.h"
#include "parameter_indices.h"
#include "render_host_on.h"
#include "zandrel_clap_services.h"

namespace {

class ClapRenderHost final : public RenderHostOn<ClapHost> {
public:
    ClapRenderHost(const std::string& path, const ClapHost::Options& options)
        : RenderHostOn(path, options) {
        if (host.loaded())
            services = static_cast<const zandrel_clap_services*>(
                host.extension(kZandrelServicesExtension));
    }

    bool loaded() const { return host.loaded() && services; }
    std::string error() const { return host.loaded() ? "not Zandrel" : host.error(); }

    void takeMidi(std::vector<TimedMidi>& into) override {
        for (const auto& r : host.events)
            into.push_back({r.sampleTime, r.status, r.data1, r.data2});
        host.events.clear();
        host.parameterEvents.clear();
    }

    void seedRandom(uint64_t seed) override { services->seed_random(host.plugin(), seed); }
    bool loadState(std::vector<uint8_t> bytes) override { return host.loadState(bytes); }
    bool loadPreset(bool arp, const std::string& path) override {
        return services->load_preset(host.plugin(), arp, path.c_str());
    }
    std::optional<std::string> saveState() override {
        const auto bytes = host.saveState();
        if (!bytes) return std::nullopt;
        return std::string(bytes->begin(), bytes->end());
    }
    std::string parameterName(int32_t index) override {
        return host.parameterName(static_cast<uint32_t>(index));
    }
    void setParameter(int32_t index, float value) override {
        if (index >= 0 && index < param::kHostParameterCount)
            host.setParameter(static_cast<clap_id>(index), value);
        else
            services->set_parameter(host.plugin(), index, value);
    }

private:
    const zandrel_clap_services* services = nullptr;
};

} // namespace

std::unique_ptr<RenderHost> openClapRenderHost(const std::string& pluginPath,
                                               const RenderHostOptions& options,
                                               std::string& error) {
    ClapHost::Options hostOptions;
    hostOptions.sampleRate = options.sampleRate;
    hostOptions.maxBlockSize = options.maxBlockSize;
    hostOptions.hostName = options.hostName;
    auto host = std::make_unique<ClapRenderHost>(pluginPath, hostOptions);
    if (!host->loaded()) {
        error = host->error();
        return nullptr;
    }
    return host;
}
