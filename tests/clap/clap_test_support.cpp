#include "clap_test_support.h"

std::unique_ptr<ClapHost> makeClapHost(ClapHost::Options options) {
    auto host = std::make_unique<ClapHost>(kClapPath, options);
    for (int i = 0; i < 10; ++i) host->processBlock(64);
    host->events.clear();
    host->parameterEvents.clear();
    return host;
}

const zandrel_clap_services& services(ClapHost& host) {
    static const zandrel_clap_services none{};
    const auto* s =
        static_cast<const zandrel_clap_services*>(host.extension(kZandrelServicesExtension));
    return s ? *s : none;
}

void seedRandom(PluginHost& host, uint64_t seed) {
    host.dispatch(effVendorSpecific, kVendorSeedRandom, kVendorMagic, &seed);
}

void seedRandom(ClapHost& host, uint64_t seed) {
    services(host).seed_random(host.plugin(), seed);
}

template <typename Event>
std::vector<Sent> sentOfEvents(const std::vector<Event>& events) {
    std::vector<Sent> sent;
    for (const Event& e : events) sent.emplace_back(e.sampleTime, e.status, e.data1, e.data2);
    return sent;
}

std::vector<Sent> sentOf(const std::vector<PluginHost::ReceivedEvent>& events) {
    return sentOfEvents(events);
}

std::vector<Sent> sentOf(const std::vector<ClapHost::ReceivedEvent>& events) {
    return sentOfEvents(events);
}

std::vector<int> chordOf(ClapHost& host, int key) {
    host.setParameter(17, 0.0);
    host.events.clear();
    host.noteOn(0, 1, key, 100);
    host.processBlock(32);
    host.noteOn(0, 1, key, 0);
    host.processBlock(32);
    std::vector<int> notes;
    for (const auto& e : host.events)
        if ((e.status & 0xF0) == 0x90 && e.data2 > 0) notes.push_back(e.data1);
    host.events.clear();
    return notes;
}
