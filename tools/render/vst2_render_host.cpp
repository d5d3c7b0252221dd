// The renderer's host for Zandrel.so: our VST 2.4 host, with the plug-in's
// vendor services for what the format itself does not offer.
#include "plugin_host.h"
#include "render_host_on.h"
#include "zandrel_vendor_services.h"

namespace {

class Vst2RenderHost final : public RenderHostOn<PluginHost> {
public:
    Vst2RenderHost(const std::string& path, const PluginHost::Options& options)
        : RenderHostOn(path, options) {}

    bool loaded() const { return host.loaded(); }
    const std::string& error() const { return host.error(); }

    void takeMidi(std::vector<TimedMidi>& into) override {
        for (const auto& r : host.events)
            if (r.type == kVstMidiType) into.push_back({r.sampleTime, r.status, r.data1, r.data2});
        host.events.clear();
    }

    void seedRandom(uint64_t seed) override {
        host.dispatch(effVendorSpecific, kVendorSeedRandom, kVendorMagic, &seed);
    }
    bool loadState(std::vector<uint8_t> bytes) override {
        return host.dispatch(effSetChunk, 0, static_cast<intptr_t>(bytes.size()), bytes.data()) !=
               -1;
    }
    bool loadPreset(bool arp, const std::string& path) override {
        return host.dispatch(effVendorSpecific, arp ? kVendorLoadArpPreset : kVendorLoadChordPreset,
                             kVendorMagic, const_cast<char*>(path.c_str())) == 1;
    }
    std::optional<std::string> saveState() override {
        void* data = nullptr;
        const intptr_t size = host.dispatch(effGetChunk, 0, 0, &data);
        if (size <= 0 || !data) return std::nullopt;
        return std::string(static_cast<const char*>(data), static_cast<size_t>(size));
    }
    std::string parameterName(int32_t index) override { return host.parameterName(index); }
    void setParameter(int32_t index, float value) override { host.setParameter(index, value); }
};

} // namespace

std::unique_ptr<RenderHost> openVst2RenderHost(const std::string& pluginPath,
                                               const RenderHostOptions& options,
                                               std::string& error) {
    PluginHost::Options hostOptions;
    hostOptions.sampleRate = options.sampleRate;
    hostOptions.maxBlockSize = options.maxBlockSize;
    hostOptions.productString = options.hostName;
    auto host = std::make_unique<Vst2RenderHost>(pluginPath, hostOptions);
    if (!host->loaded()) {
        error = host->error();
        return nullptr;
    }
    return host;
}
