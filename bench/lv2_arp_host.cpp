#include "lv2_arp_host.h"

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace {
constexpr size_t kAtomBufferBytes = 64 * 1024;

// Atom buffers must be 64-bit aligned.
struct AtomBuffer {
    std::vector<uint64_t> words = std::vector<uint64_t>(kAtomBufferBytes / 8);
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(words.data()); }
    LV2_Atom_Sequence* sequence() { return reinterpret_cast<LV2_Atom_Sequence*>(words.data()); }
};
} // namespace

struct Lv2ArpHost::Impl {
    std::string error;
    double rate = 48000.0;
    LilvWorld* world = nullptr;
    LilvInstance* instance = nullptr;
    const LilvPlugin* plugin = nullptr;

    std::unordered_map<std::string, LV2_URID> uris;
    LV2_URID_Map map{this, &Impl::mapUri};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[2] = {&mapFeature, nullptr};

    std::vector<float> controls;
    std::unordered_map<std::string, uint32_t> controlIndex;
    AtomBuffer in, out;
    LV2_Atom_Forge forge{};
    LV2_Atom_Forge_Frame sequenceFrame{};
    LV2_URID midiEvent = 0, atomChunk = 0, atomSequence = 0;

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
        auto& table = static_cast<Impl*>(handle)->uris;
        const auto found = table.find(uri);
        if (found != table.end()) return found->second;
        const auto id = static_cast<LV2_URID>(table.size() + 1);
        table.emplace(uri, id);
        return id;
    }
    LV2_URID urid(const char* uri) { return mapUri(this, uri); }

    void startInput() {
        lv2_atom_forge_set_buffer(&forge, in.bytes(), kAtomBufferBytes);
        lv2_atom_forge_sequence_head(&forge, &sequenceFrame, 0);
    }
};

Lv2ArpHost::Lv2ArpHost(const std::string& uri, double sampleRate, int32_t /*maxBlock*/)
    : impl(std::make_unique<Impl>()) {
    Impl& m = *impl;
    m.rate = sampleRate;
    m.world = lilv_world_new();
    lilv_world_load_all(m.world);
    LilvNode* uriNode = lilv_new_uri(m.world, uri.c_str());
    m.plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(m.world), uriNode);
    lilv_node_free(uriNode);
    if (!m.plugin) {
        m.error = "no LV2 plug-in " + uri + " installed";
        return;
    }
    m.midiEvent = m.urid(LV2_MIDI__MidiEvent);
    m.atomChunk = m.urid(LV2_ATOM__Chunk);
    m.atomSequence = m.urid(LV2_ATOM__Sequence);
    lv2_atom_forge_init(&m.forge, &m.map);

    m.instance = lilv_plugin_instantiate(m.plugin, sampleRate, m.features);
    if (!m.instance) {
        m.error = "the plug-in did not instantiate";
        return;
    }
    const uint32_t ports = lilv_plugin_get_num_ports(m.plugin);
    m.controls.assign(ports, 0.0f);
    std::vector<float> defaults(ports, 0.0f);
    lilv_plugin_get_port_ranges_float(m.plugin, nullptr, nullptr, defaults.data());
    LilvNode* controlClass = lilv_new_uri(m.world, LV2_CORE__ControlPort);
    LilvNode* atomClass = lilv_new_uri(m.world, LV2_ATOM__AtomPort);
    LilvNode* inputClass = lilv_new_uri(m.world, LV2_CORE__InputPort);
    for (uint32_t i = 0; i < ports; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(m.plugin, i);
        if (lilv_port_is_a(m.plugin, port, controlClass)) {
            m.controls[i] = defaults[i] == defaults[i] ? defaults[i] : 0.0f;
            m.controlIndex[lilv_node_as_string(lilv_port_get_symbol(m.plugin, port))] = i;
            lilv_instance_connect_port(m.instance, i, &m.controls[i]);
        } else if (lilv_port_is_a(m.plugin, port, atomClass)) {
            const bool input = lilv_port_is_a(m.plugin, port, inputClass);
            lilv_instance_connect_port(m.instance, i, input ? m.in.bytes() : m.out.bytes());
        } else {
            lilv_instance_connect_port(m.instance, i, nullptr);
        }
    }
    lilv_node_free(controlClass);
    lilv_node_free(atomClass);
    lilv_node_free(inputClass);
    lilv_instance_activate(m.instance);
    m.startInput();
}

Lv2ArpHost::~Lv2ArpHost() {
    if (impl->instance) {
        lilv_instance_deactivate(impl->instance);
        lilv_instance_free(impl->instance);
    }
    if (impl->world) lilv_world_free(impl->world);
}

bool Lv2ArpHost::loaded() const {
    return impl->instance != nullptr;
}

const std::string& Lv2ArpHost::error() const {
    return impl->error;
}

bool Lv2ArpHost::setControl(const std::string& symbol, float value) {
    const auto found = impl->controlIndex.find(symbol);
    if (found == impl->controlIndex.end()) return false;
    impl->controls[found->second] = value;
    return true;
}

void Lv2ArpHost::queuePosition(int64_t frame, double beatsPerMinute, bool rolling) {
    Impl& m = *impl;
    const double beats = static_cast<double>(frame) / m.rate * beatsPerMinute / 60.0;
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&m.forge, 0);
    lv2_atom_forge_object(&m.forge, &object, 0, m.urid(LV2_TIME__Position));
    lv2_atom_forge_key(&m.forge, m.urid(LV2_TIME__frame));
    lv2_atom_forge_long(&m.forge, frame);
    lv2_atom_forge_key(&m.forge, m.urid(LV2_TIME__speed));
    lv2_atom_forge_float(&m.forge, rolling ? 1.0f : 0.0f);
    lv2_atom_forge_key(&m.forge, m.urid(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&m.forge, static_cast<float>(beatsPerMinute));
    lv2_atom_forge_key(&m.forge, m.urid(LV2_TIME__beatsPerBar));
    lv2_atom_forge_float(&m.forge, 4.0f);
    lv2_atom_forge_key(&m.forge, m.urid(LV2_TIME__beatUnit));
    lv2_atom_forge_int(&m.forge, 4);
    lv2_atom_forge_key(&m.forge, m.urid(LV2_TIME__bar));
    lv2_atom_forge_long(&m.forge, static_cast<int64_t>(beats / 4.0));
    lv2_atom_forge_key(&m.forge, m.urid(LV2_TIME__barBeat));
    lv2_atom_forge_float(&m.forge,
                         static_cast<float>(beats - 4.0 * static_cast<int64_t>(beats / 4.0)));
    lv2_atom_forge_pop(&m.forge, &object);
}

void Lv2ArpHost::queueObjectString(const std::string& objectType, const std::string& key,
                                   const std::string& text) {
    Impl& m = *impl;
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&m.forge, 0);
    lv2_atom_forge_object(&m.forge, &object, 0, m.urid(objectType.c_str()));
    lv2_atom_forge_key(&m.forge, m.urid(key.c_str()));
    lv2_atom_forge_string(&m.forge, text.c_str(), static_cast<uint32_t>(text.size()));
    lv2_atom_forge_pop(&m.forge, &object);
}

void Lv2ArpHost::queueNote(int32_t offset, uint8_t status, uint8_t note, uint8_t velocity) {
    Impl& m = *impl;
    const uint8_t bytes[3] = {status, note, velocity};
    lv2_atom_forge_frame_time(&m.forge, offset);
    lv2_atom_forge_atom(&m.forge, 3, m.midiEvent);
    lv2_atom_forge_write(&m.forge, bytes, 3);
}

int Lv2ArpHost::runBlock(int32_t frames) {
    Impl& m = *impl;
    if (!m.instance) return 0;
    lv2_atom_forge_pop(&m.forge, &m.sequenceFrame);
    // The output port gets the whole buffer to write into.
    LV2_Atom_Sequence* out = m.out.sequence();
    out->atom.type = m.atomChunk;
    out->atom.size = kAtomBufferBytes - sizeof(LV2_Atom);
    lilv_instance_run(m.instance, static_cast<uint32_t>(frames));
    int noteOns = 0;
    if (out->atom.type == m.atomSequence) {
        LV2_ATOM_SEQUENCE_FOREACH(out, event) {
            if (event->body.type != m.midiEvent || event->body.size < 3) continue;
            const auto* midi = reinterpret_cast<const uint8_t*>(event + 1);
            if ((midi[0] & 0xF0) == 0x90 && midi[2] != 0) ++noteOns;
        }
    }
    m.startInput();
    return noteOns;
}
