#include "test_host_support.h"

#include <map>

std::unique_ptr<PluginHost> makeHost(double sampleRate) {
    PluginHost::Options options;
    options.sampleRate = sampleRate;
    auto host = std::make_unique<PluginHost>(kPluginPath, options);
    for (int i = 0; i < 10; ++i) host->processBlock(64);
    host->events.clear();
    return host;
}

std::vector<Note> notesOf(const std::vector<PluginHost::ReceivedEvent>& events) {
    std::vector<Note> notes;
    for (const auto& e : events) {
        const int kind = e.status & 0xF0;
        if (kind != 0x90 && kind != 0x80) continue;
        notes.push_back({e.sampleTime, (e.status & 15) + 1, e.data1, kind == 0x90 ? e.data2 : 0});
    }
    return notes;
}

std::vector<Note> noteOnsOf(const std::vector<PluginHost::ReceivedEvent>& events) {
    std::vector<Note> ons;
    for (const Note& n : notesOf(events))
        if (n.velocity > 0) ons.push_back(n);
    return ons;
}

std::vector<Note> hangingNotes(const std::vector<PluginHost::ReceivedEvent>& events) {
    std::map<std::pair<int, int>, int> balance;
    for (const Note& n : notesOf(events)) balance[{n.channel, n.note}] += n.velocity > 0 ? 1 : -1;
    std::vector<Note> hanging;
    for (const auto& [key, count] : balance)
        if (count > 0) hanging.push_back({0, key.first, key.second, count});
    return hanging;
}

void storeChord(PluginHost& host, int key, const std::vector<int>& notes) {
    host.setParameter(84, noteValue(key));
    for (int k = 0; k < 8; ++k)
        host.setParameter(33 + k, k < static_cast<int>(notes.size()) ? noteValue(notes[k]) : 0.0f);
}

std::vector<uint8_t> stateChunk(PluginHost& host) {
    void* data = nullptr;
    const auto size = host.dispatch(effGetChunk, 0, 0, &data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return bytes && size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>{};
}

intptr_t service(PluginHost& host, VendorCall which, const std::string& path, float opt) {
    return host.dispatch(effVendorSpecific, which, kVendorMagic, const_cast<char*>(path.c_str()),
                         opt);
}

std::vector<int> chordOf(PluginHost& host, int key) {
    host.setParameter(17, 0.0f);
    host.events.clear();
    host.noteOn(0, 1, key, 100);
    host.processBlock(32);
    host.noteOn(0, 1, key, 0);
    host.processBlock(32);
    std::vector<int> notes;
    for (const Note& n : noteOnsOf(host.events)) notes.push_back(n.note);
    host.events.clear();
    return notes;
}
