#include "lv2_host.h"
#include "window_libraries.h"

#include "host_parameters.h"
#include "lv2_uris.h"
#include "zandrel_lv2_services.h"

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <unordered_map>

thread_local bool Lv2Host::insidePlugin = false;

namespace {

constexpr size_t kAtomBufferBytes = 256 * 1024;

class InsidePlugin {
public:
    explicit InsidePlugin(bool inside) : was(Lv2Host::insidePlugin) {
        Lv2Host::insidePlugin = inside;
    }
    ~InsidePlugin() { Lv2Host::insidePlugin = was; }
    InsidePlugin(const InsidePlugin&) = delete;
    InsidePlugin& operator=(const InsidePlugin&) = delete;

private:
    bool was;
};

// Atom buffers must be 64-bit aligned.
struct AtomBuffer {
    std::vector<uint64_t> words = std::vector<uint64_t>(kAtomBufferBytes / 8);
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(words.data()); }
    LV2_Atom_Sequence* sequence() { return reinterpret_cast<LV2_Atom_Sequence*>(words.data()); }
};

// Something for the next block's input sequence.
struct Input {
    enum Kind { kMidi, kPosition, kPatchSet, kPatchGet } kind;
    int32_t frame;
    uint8_t bytes[3];
    int32_t parameter;
    float value;
    // A position: speed, where (quarter notes), tempo, at an absolute frame.
    double speed, ppq, tempo;
    int64_t absoluteFrame;
};

struct Node {
    LilvNode* node;
    explicit Node(LilvNode* n) : node(n) {}
    ~Node() { lilv_node_free(node); }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    operator const LilvNode*() const { return node; }
};

} // namespace

struct Lv2Host::Impl {
    Options options;
    std::string error;
    std::shared_ptr<Lv2Bundle> bundle;
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    LilvInstance ownInstance{}; // made through the bundle's own load of the binary
    bool isActive = false;

    std::unordered_map<std::string, LV2_URID> ids;
    std::vector<std::string> uris{""};
    LV2_URID_Map map{this, &Impl::mapUri};
    LV2_URID_Unmap unmap{this, &Impl::unmapUri};
    LV2_Worker_Schedule schedule{this, &Impl::scheduleWork};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Feature unmapFeature{LV2_URID__unmap, &unmap};
    LV2_Feature scheduleFeature{LV2_WORKER__schedule, &schedule};
    std::vector<const LV2_Feature*> features;

    std::vector<PortInfo> ports;
    std::vector<float> controls;
    std::vector<uint32_t> audioOutputs; // connected to left and right
    int32_t parameterPort[param::kHostParameterCount] = {};
    AtomBuffer in, out;
    LV2_Atom_Forge forge{};

    std::vector<Input> pending;
    std::mutex queuedLock; // port values from other threads
    std::vector<std::pair<uint32_t, float>> queuedPorts;
    double rate = 48000.0, tempo = 120.0, ppqAnchor = 0.0;
    bool playing = false;
    int64_t sampleAnchor = 0, sampleClock = 0;

    const LV2_Worker_Interface* worker = nullptr;
    const LV2_State_Interface* state = nullptr;
    const zandrel_lv2_services* services = nullptr;
    std::vector<std::vector<uint8_t>> work, responses;
    bool workHeld = false;

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
        InsidePlugin outside(false);
        auto& self = *static_cast<Impl*>(handle);
        const auto found = self.ids.find(uri);
        if (found != self.ids.end()) return found->second;
        const auto id = static_cast<LV2_URID>(self.uris.size());
        self.uris.emplace_back(uri);
        self.ids.emplace(uri, id);
        return id;
    }
    static const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID id) {
        const auto& self = *static_cast<const Impl*>(handle);
        return id > 0 && id < self.uris.size() ? self.uris[id].c_str() : nullptr;
    }
    static LV2_Worker_Status scheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                          const void* data) {
        InsidePlugin outside(false);
        const auto* bytes = static_cast<const uint8_t*>(data);
        static_cast<Impl*>(handle)->work.emplace_back(bytes, bytes + size);
        return LV2_WORKER_SUCCESS;
    }
    static LV2_Worker_Status respond(LV2_Worker_Respond_Handle handle, uint32_t size,
                                     const void* data) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        static_cast<Impl*>(handle)->responses.emplace_back(bytes, bytes + size);
        return LV2_WORKER_SUCCESS;
    }
    LV2_URID urid(const char* uri) { return mapUri(this, uri); }
    bool instantiate();
    static const void* portValue(const char* symbol, void* userData, uint32_t* size,
                                 uint32_t* type);
    static const void* exactPortValue(const char* symbol, void* userData, uint32_t* size,
                                      uint32_t* type);
    std::vector<double> exactValues; // the port values as doubles, while a state is made

    void describePorts();
    double ppqAt(int64_t sample) const {
        if (!playing) return ppqAnchor;
        return ppqAnchor + static_cast<double>(sample - sampleAnchor) * tempo / (60.0 * rate);
    }
    void reanchor(int32_t frame) {
        ppqAnchor = ppqAt(sampleClock + frame);
        sampleAnchor = sampleClock + frame;
    }
    void queuePosition(int32_t frame);
    void writeInput(const Input& input);
};

void Lv2Host::Impl::describePorts() {
    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    Node controlClass(lilv_new_uri(world, LV2_CORE__ControlPort));
    Node inputClass(lilv_new_uri(world, LV2_CORE__InputPort));
    Node audioClass(lilv_new_uri(world, LV2_CORE__AudioPort));
    Node atomClass(lilv_new_uri(world, LV2_ATOM__AtomPort));
    Node portProperty(lilv_new_uri(world, LV2_CORE__portProperty));
    std::vector<float> minimum(count), maximum(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    ports.resize(count);
    controls.assign(count, 0.0f);
    for (uint32_t i = 0; i < count; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        PortInfo& p = ports[i];
        p.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
        Node name(lilv_port_get_name(plugin, port));
        p.name = name.node ? lilv_node_as_string(name) : "";
        p.control = lilv_port_is_a(plugin, port, controlClass);
        p.input = lilv_port_is_a(plugin, port, inputClass);
        p.audio = lilv_port_is_a(plugin, port, audioClass);
        p.atom = lilv_port_is_a(plugin, port, atomClass);
        p.minimum = minimum[i];
        p.maximum = maximum[i];
        p.defaultValue = defaults[i];
        if (LilvScalePoints* points = lilv_port_get_scale_points(plugin, port)) {
            LILV_FOREACH(scale_points, s, points) {
                const LilvScalePoint* point = lilv_scale_points_get(points, s);
                p.scalePoints.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(point)),
                                           lilv_node_as_string(lilv_scale_point_get_label(point)));
            }
            lilv_scale_points_free(points);
            std::sort(p.scalePoints.begin(), p.scalePoints.end());
        }
        if (LilvNodes* props = lilv_port_get_value(plugin, port, portProperty)) {
            LILV_FOREACH(nodes, n, props)
            p.properties.emplace_back(lilv_node_as_uri(lilv_nodes_get(props, n)));
            lilv_nodes_free(props);
        }
        if (p.control) controls[i] = p.defaultValue;
    }
    for (const HostParameter& hp : kHostParameters) {
        parameterPort[hp.index] = -1;
        for (uint32_t i = 0; i < count; ++i)
            if (ports[i].control && ports[i].symbol == hp.id)
                parameterPort[hp.index] = static_cast<int32_t>(i);
    }
}

Lv2Bundle::Lv2Bundle(const std::string& bundlePath, const std::string& uri) : folder(bundlePath) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    lilvWorld = lilv_world_new();
    // Of the system's LV2 folders only the core specification, which names
    // the plug-in classes.
    const char* lv2Path = std::getenv("LV2_PATH");
    std::string folders = lv2Path ? lv2Path : "/usr/local/lib/lv2:/usr/lib/lv2";
    for (size_t from = 0; from <= folders.size();) {
        const size_t to = std::min(folders.find(':', from), folders.size());
        const std::string core = folders.substr(from, to - from) + "/core.lv2/";
        std::error_code ignored;
        if (to > from && std::filesystem::exists(core + "manifest.ttl", ignored)) {
            Node coreBundle(lilv_new_file_uri(lilvWorld, nullptr, core.c_str()));
            lilv_world_load_bundle(lilvWorld, coreBundle);
            break;
        }
        from = to + 1;
    }
    lilv_world_load_specifications(lilvWorld);
    lilv_world_load_plugin_classes(lilvWorld);
    Node bundle(lilv_new_file_uri(lilvWorld, nullptr, folder.c_str()));
    lilv_world_load_bundle(lilvWorld, bundle);
    const LilvPlugins* plugins = lilv_world_get_all_plugins(lilvWorld);
    if (uri.empty()) {
        LILV_FOREACH(plugins, i, plugins) {
            const LilvPlugin* p = lilv_plugins_get(plugins, i);
            if (lilv_node_equals(lilv_plugin_get_bundle_uri(p), bundle)) {
                lilvPlugin = p;
                break;
            }
        }
    } else {
        Node wanted(lilv_new_uri(lilvWorld, uri.c_str()));
        lilvPlugin = lilv_plugins_get_by_uri(plugins, wanted);
    }
    if (!lilvPlugin) loadError = "no plug-in " + (uri.empty() ? "" : uri + " ") + "in " + folder;
}

Lv2Bundle::~Lv2Bundle() {
    lilv_world_free(lilvWorld);
    if (binary) dlclose(binary);
}

const LV2_Descriptor* Lv2Bundle::openBinary(std::string& error) {
    if (descriptor) return descriptor;
    if (!lilvPlugin) {
        error = loadError;
        return nullptr;
    }
    char* file =
        lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_library_uri(lilvPlugin)), nullptr);
    if (!file) {
        error = "the plug-in's binary is no file";
        return nullptr;
    }
    if (!binary) binary = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    keepWindowLibrariesLoaded();
    lilv_free(file);
    if (!binary) {
        const char* why = dlerror();
        error = why ? why : "dlopen failed";
        return nullptr;
    }
    using Entry = const LV2_Descriptor* (*)(uint32_t);
    const auto entry = reinterpret_cast<Entry>(dlsym(binary, "lv2_descriptor"));
    if (!entry) {
        error = "the binary exports no lv2_descriptor";
        return nullptr;
    }
    const char* uri = lilv_node_as_uri(lilv_plugin_get_uri(lilvPlugin));
    for (uint32_t i = 0; !descriptor; ++i) {
        const LV2_Descriptor* d = entry(i);
        if (!d) break;
        if (d->URI && std::strcmp(d->URI, uri) == 0) descriptor = d;
    }
    if (!descriptor) error = std::string("the binary has no descriptor of ") + uri;
    return descriptor;
}

Lv2Host::Lv2Host(const std::string& bundlePath) : Lv2Host(bundlePath, Options{}) {}

Lv2Host::Lv2Host(const std::string& bundlePath, const Options& options)
    : Lv2Host(std::make_shared<Lv2Bundle>(bundlePath, options.pluginUri), options) {}

bool Lv2Host::Impl::instantiate() {
    InsidePlugin inside(true);
    if (!options.loadBinaryItself) {
        instance = lilv_plugin_instantiate(plugin, rate, features.data());
        keepWindowLibrariesLoaded();
        return instance != nullptr;
    }
    const LV2_Descriptor* descriptor = bundle->openBinary(error);
    if (!descriptor) return false;
    LV2_Handle handle =
        descriptor->instantiate(descriptor, rate, bundle->path().c_str(), features.data());
    if (!handle) return false;
    ownInstance = {descriptor, handle, nullptr};
    instance = &ownInstance;
    return true;
}

Lv2Host::Lv2Host(std::shared_ptr<Lv2Bundle> shared, const Options& options)
    : impl(std::make_unique<Impl>()) {
    Impl& m = *impl;
    m.options = options;
    m.rate = options.sampleRate;
    m.pending.reserve(16384);
    events.reserve(1 << 16);
    m.bundle = std::move(shared);
    if (!m.bundle->loaded()) {
        m.error = m.bundle->error();
        return;
    }
    m.world = m.bundle->world();
    m.plugin = m.bundle->plugin();
    {
        const std::lock_guard<std::mutex> lock(m.bundle->lock());
        m.describePorts();
        m.features = {&m.mapFeature, &m.unmapFeature};
        if (options.offerWorker) m.features.push_back(&m.scheduleFeature);
        m.features.push_back(nullptr);
        if (!m.instantiate()) {
            if (m.error.empty()) m.error = "the plug-in did not instantiate";
            return;
        }
        m.worker = static_cast<const LV2_Worker_Interface*>(
            lilv_instance_get_extension_data(m.instance, LV2_WORKER__interface));
        m.state = static_cast<const LV2_State_Interface*>(
            lilv_instance_get_extension_data(m.instance, LV2_STATE__interface));
        m.services = static_cast<const zandrel_lv2_services*>(
            lilv_instance_get_extension_data(m.instance, kZandrelServicesUri));
    }
    lv2_atom_forge_init(&m.forge, &m.map);

    const auto blockCapacity = static_cast<size_t>(std::max(options.maxBlockSize, 1));
    left.resize(blockCapacity);
    right.resize(blockCapacity);
    // By their kind, as hosts connect them: the first atom input and output
    // take the event buffers, the first two audio outputs left and right.
    bool atomIn = false, atomOut = false;
    for (uint32_t i = 0; i < m.ports.size(); ++i) {
        const PortInfo& p = m.ports[i];
        void* data = nullptr;
        if (p.control) {
            data = &m.controls[i];
        } else if (p.atom && p.input && !atomIn) {
            data = m.in.bytes();
            atomIn = true;
        } else if (p.atom && !p.input && !atomOut) {
            data = m.out.bytes();
            atomOut = true;
        } else if (p.audio && !p.input && m.audioOutputs.size() < 2) {
            data = m.audioOutputs.empty() ? left.data() : right.data();
            m.audioOutputs.push_back(i);
        }
        lilv_instance_connect_port(m.instance, i, data);
    }
    if (options.activate) activate();
    // A host tells its transport from the first block on.
    m.queuePosition(0);
}

Lv2Host::~Lv2Host() {
    Impl& m = *impl;
    if (!m.instance) return;
    const std::lock_guard<std::mutex> lock(m.bundle->lock());
    if (m.isActive) lilv_instance_deactivate(m.instance);
    if (m.instance == &m.ownInstance)
        m.ownInstance.lv2_descriptor->cleanup(m.ownInstance.lv2_handle);
    else
        lilv_instance_free(m.instance);
}

void Lv2Host::activate() {
    Impl& m = *impl;
    if (!m.instance || m.isActive) return;
    const std::lock_guard<std::mutex> lock(m.bundle->lock());
    InsidePlugin inside(true);
    lilv_instance_activate(m.instance);
    m.isActive = true;
}

void Lv2Host::deactivate() {
    Impl& m = *impl;
    if (!m.instance || !m.isActive) return;
    const std::lock_guard<std::mutex> lock(m.bundle->lock());
    InsidePlugin inside(true);
    lilv_instance_deactivate(m.instance);
    m.isActive = false;
}

bool Lv2Host::active() const {
    return impl->isActive;
}

void Lv2Host::abandonInstance() {
    impl->instance = nullptr;
    impl->isActive = false;
}

const Lv2Bundle& Lv2Host::bundle() const {
    return *impl->bundle;
}

void Lv2Host::setPortValue(uint32_t port, float value) {
    Impl& m = *impl;
    if (port < m.ports.size() && m.ports[port].control) m.controls[port] = value;
}

float Lv2Host::portValue(uint32_t port) const {
    const Impl& m = *impl;
    return port < m.ports.size() && m.ports[port].control ? m.controls[port] : 0.0f;
}

void Lv2Host::queuePortValue(uint32_t port, float value) {
    const std::lock_guard<std::mutex> lock(impl->queuedLock);
    // The latest value of each port: only that reaches the port anyway.
    for (auto& [queued, latest] : impl->queuedPorts) {
        if (queued == port) {
            latest = value;
            return;
        }
    }
    impl->queuedPorts.emplace_back(port, value);
}

bool Lv2Host::loaded() const {
    return impl->instance != nullptr;
}

const std::string& Lv2Host::error() const {
    return impl->error;
}

const std::vector<Lv2Host::PortInfo>& Lv2Host::ports() const {
    return impl->ports;
}

const void* Lv2Host::extensionData(const char* uri) const {
    return impl->instance ? lilv_instance_get_extension_data(impl->instance, uri) : nullptr;
}

LV2_Handle Lv2Host::handle() const {
    return impl->instance ? lilv_instance_get_handle(impl->instance) : nullptr;
}

void Lv2Host::setControl(int32_t parameter, float value) {
    if (parameter < 0 || parameter >= param::kHostParameterCount) return;
    const int32_t port = impl->parameterPort[parameter];
    if (port >= 0) impl->controls[static_cast<size_t>(port)] = value;
}

float Lv2Host::control(int32_t parameter) const {
    if (parameter < 0 || parameter >= param::kHostParameterCount) return 0.0f;
    const int32_t port = impl->parameterPort[parameter];
    return port >= 0 ? impl->controls[static_cast<size_t>(port)] : 0.0f;
}

std::string Lv2Host::parameterName(int32_t parameter) const {
    if (parameter < 0 || parameter >= param::kHostParameterCount) return "";
    const int32_t port = impl->parameterPort[parameter];
    return port >= 0 ? impl->ports[static_cast<size_t>(port)].name : "";
}

void Lv2Host::patchSet(int32_t frame, int32_t parameter, float value) {
    Input i{};
    i.kind = Input::kPatchSet;
    i.frame = frame;
    i.parameter = parameter;
    i.value = value;
    impl->pending.push_back(i);
}

void Lv2Host::patchGet(int32_t frame, int32_t parameter) {
    Input i{};
    i.kind = Input::kPatchGet;
    i.frame = frame;
    i.parameter = parameter;
    impl->pending.push_back(i);
}

void Lv2Host::Impl::queuePosition(int32_t frame) {
    if (!options.sendsTransport) return;
    Input i{};
    i.kind = Input::kPosition;
    i.frame = frame;
    i.absoluteFrame = sampleClock + frame;
    i.speed = playing ? 1.0 : 0.0;
    i.ppq = ppqAt(sampleClock + frame);
    i.tempo = tempo;
    pending.push_back(i);
}

void Lv2Host::setTempo(double bpm, int32_t frame) {
    impl->reanchor(frame);
    impl->tempo = bpm;
    impl->queuePosition(frame);
}

void Lv2Host::setPlaying(bool play, int32_t frame) {
    impl->reanchor(frame);
    impl->playing = play;
    impl->queuePosition(frame);
}

void Lv2Host::locate(double ppq, int32_t frame) {
    impl->ppqAnchor = ppq;
    impl->sampleAnchor = impl->sampleClock + frame;
    impl->queuePosition(frame);
}

double Lv2Host::sampleRate() const {
    return impl->rate;
}

int64_t Lv2Host::samplePosition() const {
    return impl->sampleClock;
}

void Lv2Host::queueMidi(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
    Input i{};
    i.kind = Input::kMidi;
    i.frame = frame;
    i.bytes[0] = status;
    i.bytes[1] = data1;
    i.bytes[2] = data2;
    impl->pending.push_back(i);
}

void Lv2Host::noteOn(int32_t frame, int channel, int note, int velocity) {
    queueMidi(frame, static_cast<uint8_t>(0x90 | ((channel - 1) & 15)), static_cast<uint8_t>(note),
              static_cast<uint8_t>(velocity));
}

void Lv2Host::noteOff(int32_t frame, int channel, int note) {
    queueMidi(frame, static_cast<uint8_t>(0x80 | ((channel - 1) & 15)), static_cast<uint8_t>(note),
              0);
}

void Lv2Host::controller(int32_t frame, int channel, int number, int value) {
    queueMidi(frame, static_cast<uint8_t>(0xB0 | ((channel - 1) & 15)),
              static_cast<uint8_t>(number), static_cast<uint8_t>(value));
}

void Lv2Host::Impl::writeInput(const Input& i) {
    const PositionStyle& style = options.positionStyle;
    lv2_atom_forge_frame_time(&forge, i.frame);
    LV2_Atom_Forge_Frame object;
    switch (i.kind) {
    case Input::kMidi: {
        const uint32_t size = (i.bytes[0] & 0xF0) == 0xC0 || (i.bytes[0] & 0xF0) == 0xD0 ? 2 : 3;
        lv2_atom_forge_atom(&forge, size, urid(LV2_MIDI__MidiEvent));
        lv2_atom_forge_write(&forge, i.bytes, size);
        break;
    }
    case Input::kPosition: {
        // Beats of the beat unit: a quarter note is unit / 4 of them.
        const double beat = i.ppq * style.beatUnit / 4.0, bpm = i.tempo * style.beatUnit / 4.0;
        const double beatsPerBar = 4.0;
        const double bar = std::floor(beat / beatsPerBar);
        lv2_atom_forge_object(&forge, &object, 0, urid(LV2_TIME__Position));
        lv2_atom_forge_key(&forge, urid(LV2_TIME__frame));
        lv2_atom_forge_long(&forge, i.absoluteFrame);
        lv2_atom_forge_key(&forge, urid(LV2_TIME__speed));
        lv2_atom_forge_float(&forge, static_cast<float>(i.speed));
        lv2_atom_forge_key(&forge, urid(LV2_TIME__beatUnit));
        lv2_atom_forge_int(&forge, style.beatUnit);
        lv2_atom_forge_key(&forge, urid(LV2_TIME__beatsPerBar));
        lv2_atom_forge_float(&forge, static_cast<float>(beatsPerBar));
        lv2_atom_forge_key(&forge, urid(LV2_TIME__beatsPerMinute));
        if (style.doubleTempo)
            lv2_atom_forge_double(&forge, bpm);
        else
            lv2_atom_forge_float(&forge, static_cast<float>(bpm));
        if (style.sendBeat) {
            lv2_atom_forge_key(&forge, urid(LV2_TIME__beat));
            lv2_atom_forge_double(&forge, beat);
        }
        lv2_atom_forge_key(&forge, urid(LV2_TIME__bar));
        lv2_atom_forge_long(&forge, static_cast<int64_t>(bar));
        lv2_atom_forge_key(&forge, urid(LV2_TIME__barBeat));
        lv2_atom_forge_double(&forge, beat - bar * beatsPerBar);
        lv2_atom_forge_pop(&forge, &object);
        break;
    }
    case Input::kPatchSet: {
        char uri[96];
        zandrelParameterUri(uri, sizeof uri, kHostParameters[i.parameter].id);
        lv2_atom_forge_object(&forge, &object, 0, urid(LV2_PATCH__Set));
        lv2_atom_forge_key(&forge, urid(LV2_PATCH__property));
        lv2_atom_forge_urid(&forge, urid(uri));
        lv2_atom_forge_key(&forge, urid(LV2_PATCH__value));
        lv2_atom_forge_float(&forge, i.value);
        lv2_atom_forge_pop(&forge, &object);
        break;
    }
    case Input::kPatchGet: {
        lv2_atom_forge_object(&forge, &object, 0, urid(LV2_PATCH__Get));
        if (i.parameter >= 0 && i.parameter < param::kHostParameterCount) {
            char uri[96];
            zandrelParameterUri(uri, sizeof uri, kHostParameters[i.parameter].id);
            lv2_atom_forge_key(&forge, urid(LV2_PATCH__property));
            lv2_atom_forge_urid(&forge, urid(uri));
        }
        lv2_atom_forge_pop(&forge, &object);
        break;
    }
    }
}

void Lv2Host::processBlock(int32_t frames) {
    Impl& m = *impl;
    if (!m.instance) return;
    const auto needed = static_cast<size_t>(std::max(frames, 1));
    if (left.size() < needed) {
        // The audio ports move with their buffers.
        left.resize(needed);
        right.resize(needed);
        for (size_t k = 0; k < m.audioOutputs.size(); ++k)
            lilv_instance_connect_port(m.instance, m.audioOutputs[k],
                                       k == 0 ? left.data() : right.data());
    }
    {
        const std::lock_guard<std::mutex> lock(m.queuedLock);
        for (const auto& [port, value] : m.queuedPorts) setPortValue(port, value);
        m.queuedPorts.clear();
    }
    std::stable_sort(m.pending.begin(), m.pending.end(),
                     [](const Input& a, const Input& b) { return a.frame < b.frame; });
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_set_buffer(&m.forge, m.in.bytes(), kAtomBufferBytes);
    lv2_atom_forge_sequence_head(&m.forge, &sequence, 0);
    for (const Input& input : m.pending) m.writeInput(input);
    lv2_atom_forge_pop(&m.forge, &sequence);
    m.pending.clear();

    // The output port gets the room the host offers to write into; the
    // rest of the buffer lies beyond, so that a plug-in writing past it is
    // seen, not an overrun.
    LV2_Atom_Sequence* out = m.out.sequence();
    out->atom.type = m.urid(LV2_ATOM__Chunk);
    const uint32_t room = m.options.eventsOutBytes > 0
                              ? std::min<uint32_t>(m.options.eventsOutBytes, kAtomBufferBytes)
                              : kAtomBufferBytes;
    out->atom.size = room - sizeof(LV2_Atom);
    {
        InsidePlugin inside(true);
        lilv_instance_run(m.instance, static_cast<uint32_t>(frames));
    }
    outputBytes = out->atom.type == m.urid(LV2_ATOM__Sequence)
                      ? static_cast<uint32_t>(sizeof(LV2_Atom) + out->atom.size)
                      : 0;

    const LV2_URID midiEvent = m.urid(LV2_MIDI__MidiEvent);
    const LV2_URID patchSetType = m.urid(LV2_PATCH__Set), patchPutType = m.urid(LV2_PATCH__Put);
    const LV2_URID floatType = m.urid(LV2_ATOM__Float);
    auto parameterOf = [&m](LV2_URID property) {
        for (const HostParameter& hp : kHostParameters) {
            char uri[96];
            zandrelParameterUri(uri, sizeof uri, hp.id);
            if (m.urid(uri) == property) return hp.index;
        }
        return -1;
    };
    if (out->atom.type == m.urid(LV2_ATOM__Sequence)) {
        LV2_ATOM_SEQUENCE_FOREACH(out, event) {
            const int64_t time = m.sampleClock + event->time.frames;
            if (event->body.type == midiEvent) {
                const auto* bytes = reinterpret_cast<const uint8_t*>(event + 1);
                const uint32_t size = event->body.size;
                events.push_back({time, size, size > 0 ? bytes[0] : uint8_t{0},
                                  size > 1 ? bytes[1] : uint8_t{0},
                                  size > 2 ? bytes[2] : uint8_t{0}});
                continue;
            }
            if (event->body.type != m.forge.Object) continue;
            const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
            if (object->body.otype == patchSetType) {
                const LV2_Atom *property = nullptr, *value = nullptr;
                lv2_atom_object_get(object, m.urid(LV2_PATCH__property), &property,
                                    m.urid(LV2_PATCH__value), &value, 0);
                if (property && value && value->type == floatType)
                    parameters.push_back(
                        {time, parameterOf(reinterpret_cast<const LV2_Atom_URID*>(property)->body),
                         reinterpret_cast<const LV2_Atom_Float*>(value)->body, false});
            } else if (object->body.otype == patchPutType) {
                const LV2_Atom* body = nullptr;
                lv2_atom_object_get(object, m.urid(LV2_PATCH__body), &body, 0);
                if (!body || body->type != m.forge.Object) continue;
                LV2_ATOM_OBJECT_FOREACH(reinterpret_cast<const LV2_Atom_Object*>(body), p) {
                    if (p->value.type == floatType)
                        parameters.push_back(
                            {time, parameterOf(p->key),
                             reinterpret_cast<const LV2_Atom_Float*>(&p->value)->body, true});
                }
            }
        }
    }
    if (captureAudio) {
        audioLeft.insert(audioLeft.end(), left.begin(), left.begin() + frames);
        audioRight.insert(audioRight.end(), right.begin(), right.begin() + frames);
    }
    m.sampleClock += frames;
    if (!m.workHeld) runWork();
}

void Lv2Host::run(int64_t frames, int32_t blockSize) {
    while (frames > 0) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(frames, blockSize));
        processBlock(n);
        frames -= n;
    }
}

void Lv2Host::holdWork(bool hold) {
    impl->workHeld = hold;
}

size_t Lv2Host::workScheduled() const {
    return impl->work.size();
}

// As a host's worker thread would, between two blocks: the work, then its
// responses delivered before the next block, then the end of the run.
void Lv2Host::runWork() {
    Impl& m = *impl;
    if (!m.worker) return;
    std::vector<std::vector<uint8_t>> items;
    items.swap(m.work);
    for (const auto& item : items)
        m.worker->work(handle(), &Impl::respond, &m, static_cast<uint32_t>(item.size()),
                       item.data());
    std::vector<std::vector<uint8_t>> responses;
    responses.swap(m.responses);
    for (const auto& r : responses)
        m.worker->work_response(handle(), static_cast<uint32_t>(r.size()), r.data());
    if (m.worker->end_run) m.worker->end_run(handle());
}

std::optional<std::vector<Lv2Host::StoredProperty>> Lv2Host::saveState() {
    Impl& m = *impl;
    if (!m.state) return std::nullopt;
    struct Collector {
        Impl* host;
        std::vector<StoredProperty> stored;
    } collector{&m, {}};
    auto store = [](LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type,
                    uint32_t flags) -> LV2_State_Status {
        auto& c = *static_cast<Collector*>(h);
        const auto* bytes = static_cast<const uint8_t*>(value);
        c.stored.push_back({c.host->uris[key], c.host->uris[type],
                            std::vector<uint8_t>(bytes, bytes + size), flags});
        return LV2_STATE_SUCCESS;
    };
    const LV2_State_Status status = m.state->save(
        handle(), store, &collector, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, m.features.data());
    if (status != LV2_STATE_SUCCESS) return std::nullopt;
    return collector.stored;
}

LV2_State_Status Lv2Host::restoreState(const std::string& key, const std::vector<uint8_t>& value,
                                       const std::string& type) {
    Impl& m = *impl;
    if (!m.state) return LV2_STATE_ERR_NO_FEATURE;
    struct Given {
        LV2_URID key, type;
        const std::vector<uint8_t>* value;
    } given{m.urid(key.c_str()), m.urid(type.c_str()), &value};
    auto retrieve = [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type,
                       uint32_t* flags) -> const void* {
        const auto& g = *static_cast<const Given*>(h);
        if (key != g.key) return nullptr;
        *size = g.value->size();
        *type = g.type;
        *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
        return g.value->data();
    };
    return m.state->restore(handle(), retrieve, &given, 0, m.features.data());
}

const void* Lv2Host::Impl::portValue(const char* symbol, void* userData, uint32_t* size,
                                     uint32_t* type) {
    auto& host = *static_cast<Impl*>(userData);
    for (size_t i = 0; i < host.ports.size(); ++i) {
        if (host.ports[i].control && host.ports[i].input && host.ports[i].symbol == symbol) {
            *size = sizeof(float);
            *type = host.urid(LV2_ATOM__Float);
            return &host.controls[i];
        }
    }
    *size = 0;
    *type = 0;
    return nullptr;
}

// lilv writes a float port value with eight decimals, which brings small
// values back changed; as doubles they come back exactly.
const void* Lv2Host::Impl::exactPortValue(const char* symbol, void* userData, uint32_t* size,
                                          uint32_t* type) {
    auto& host = *static_cast<Impl*>(userData);
    for (size_t i = 0; i < host.ports.size(); ++i) {
        if (host.ports[i].control && host.ports[i].input && host.ports[i].symbol == symbol) {
            host.exactValues.resize(host.ports.size());
            host.exactValues[i] = host.controls[i];
            *size = sizeof(double);
            *type = host.urid(LV2_ATOM__Double);
            return &host.exactValues[i];
        }
    }
    *size = 0;
    *type = 0;
    return nullptr;
}

bool Lv2Host::saveStateFolder(const std::string& folder) {
    Impl& m = *impl;
    if (!m.instance) return false;
    const std::lock_guard<std::mutex> lock(m.bundle->lock());
    LilvState* state = lilv_state_new_from_instance(
        m.plugin, m.instance, &m.map, nullptr, nullptr, nullptr, folder.c_str(), &Impl::portValue,
        &m, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, m.features.data());
    if (!state) return false;
    const int failed =
        lilv_state_save(m.world, &m.map, &m.unmap, state, nullptr, folder.c_str(), "state.ttl");
    lilv_state_free(state);
    return failed == 0;
}

bool Lv2Host::restoreStateFolder(const std::string& folder) {
    Impl& m = *impl;
    if (!m.instance) return false;
    auto setPortValue = [](const char* symbol, void* userData, const void* value, uint32_t size,
                           uint32_t type) {
        auto& host = *static_cast<Impl*>(userData);
        if (size != sizeof(float) || type != host.urid(LV2_ATOM__Float)) return;
        for (size_t i = 0; i < host.ports.size(); ++i)
            if (host.ports[i].control && host.ports[i].symbol == symbol)
                std::memcpy(&host.controls[i], value, sizeof(float));
    };
    const std::string file = folder + "/state.ttl";
    const std::lock_guard<std::mutex> lock(m.bundle->lock());
    LilvState* state = lilv_state_new_from_file(m.world, &m.map, nullptr, file.c_str());
    if (!state) return false;
    lilv_state_restore(state, m.instance, setPortValue, &m, 0, m.features.data());
    lilv_state_free(state);
    return true;
}

void Lv2Host::seedRandom(uint64_t seed) {
    if (impl->services) impl->services->seed_random(handle(), seed);
}

bool Lv2Host::loadPreset(bool arp, const std::string& path) {
    return impl->services && impl->services->load_preset(handle(), arp, path.c_str());
}

void Lv2Host::setParameter(int32_t index, float value) {
    if (impl->services) impl->services->set_parameter(handle(), index, value);
}

void Lv2Host::runDeferred() {
    if (impl->services) impl->services->run_deferred(handle());
}

namespace {

constexpr const char* kStateUri = "urn:zandrel-host:state";

// lilv_state_restore keeps the plug-in's answer to itself (it only prints
// it), and a host must know whether the plug-in took a state to know
// whether to set its port values too. So the restore goes through a copy
// of the plug-in's descriptor whose state interface notes the answer: one
// restore at a time on each thread.
struct RestoreWatch {
    const LV2_Descriptor* descriptor;
    const LV2_State_Interface* state;
    LV2_State_Status answer = LV2_STATE_SUCCESS;
    bool asked = false;
};
thread_local RestoreWatch* watching = nullptr;

LV2_State_Status watchedSave(LV2_Handle instance, LV2_State_Store_Function store,
                             LV2_State_Handle handle, uint32_t flags,
                             const LV2_Feature* const* features) {
    return watching->state->save(instance, store, handle, flags, features);
}

LV2_State_Status watchedRestore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                LV2_State_Handle handle, uint32_t flags,
                                const LV2_Feature* const* features) {
    watching->asked = true;
    watching->answer = watching->state->restore(instance, retrieve, handle, flags, features);
    return watching->answer;
}

const LV2_State_Interface kWatchedState = {watchedSave, watchedRestore};

const void* watchedExtensionData(const char* uri) {
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kWatchedState;
    return watching->descriptor->extension_data(uri);
}

struct PortValues {
    LV2_URID floatType, doubleType;
    std::vector<std::pair<std::string, float>> values;
};

void collectPortValue(const char* symbol, void* userData, const void* value, uint32_t size,
                      uint32_t type) {
    auto& collected = *static_cast<PortValues*>(userData);
    if (size == sizeof(float) && type == collected.floatType) {
        float v = 0.0f;
        std::memcpy(&v, value, sizeof v);
        collected.values.emplace_back(symbol, v);
    } else if (size == sizeof(double) && type == collected.doubleType) {
        double v = 0.0;
        std::memcpy(&v, value, sizeof v);
        collected.values.emplace_back(symbol, static_cast<float>(v));
    }
}

} // namespace

std::optional<std::string> Lv2Host::saveStateText() {
    Impl& m = *impl;
    if (!m.instance) return std::nullopt;
    const std::lock_guard<std::mutex> lock(m.bundle->lock());
    LilvState* state = lilv_state_new_from_instance(
        m.plugin, m.instance, &m.map, nullptr, nullptr, nullptr, nullptr, &Impl::exactPortValue, &m,
        LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, m.features.data());
    if (!state) return std::nullopt;
    char* text = lilv_state_to_string(m.world, &m.map, &m.unmap, state, kStateUri, nullptr);
    lilv_state_free(state);
    if (!text) return std::nullopt;
    std::string saved(text);
    lilv_free(text);
    return saved;
}

bool Lv2Host::restoreStateText(const std::string& text) {
    Impl& m = *impl;
    // No text is no state: nothing for lilv to read.
    if (!m.instance || text.empty()) return false;
    PortValues ports{m.urid(LV2_ATOM__Float), m.urid(LV2_ATOM__Double), {}};
    RestoreWatch watch{m.instance->lv2_descriptor, m.state};
    {
        const std::lock_guard<std::mutex> lock(m.bundle->lock());
        LilvState* state = lilv_state_new_from_string(m.world, &m.map, text.c_str());
        if (!state) return false;
        const bool ours =
            lilv_node_equals(lilv_state_get_plugin_uri(state), lilv_plugin_get_uri(m.plugin));
        if (ours) {
            LV2_Descriptor watched = *m.instance->lv2_descriptor;
            if (m.state) watched.extension_data = watchedExtensionData;
            LilvInstance through = *m.instance;
            through.lv2_descriptor = &watched;
            watching = &watch;
            lilv_state_restore(state, &through, collectPortValue, &ports, 0, m.features.data());
            watching = nullptr;
        }
        lilv_state_free(state);
        if (!ours) return false;
    }
    if (watch.asked && watch.answer != LV2_STATE_SUCCESS) return false;
    for (const auto& [symbol, value] : ports.values)
        for (uint32_t i = 0; i < m.ports.size(); ++i)
            if (m.ports[i].control && m.ports[i].input && m.ports[i].symbol == symbol)
                setPortValue(i, value);
    return true;
}
