// The LV2 backend: the project's own LV2 host (Lv2Host) reads the bundle
// through lilv and drives the plug-in through its descriptor, its ports
// (control ports, atom sequences in and out), its state interface (through
// lilv's state, as Turtle text) and the host's worker, nothing else. What
// the LV2 rules demand beyond the format-free checks (the output's room,
// event order, the extension data the bundle lists) is judged here.
//
// Instances come from the host's own load of the binary (dlopen and
// lv2_descriptor, as some hosts do), not from lilv: lilv keeps a binary
// loaded while an instance lives, even after its world is freed, so only a
// load of the host's own can unload the binary without cleanup. The close
// call is cleanup either way.
#include "lv2_format.h"

#include "backend_support.h"
#include "lv2_host.h"
#include "lv2_ui_host.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/resize-port/resize-port.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <limits>
#include <set>

namespace validate {

namespace {

// The room a host gives an atom output that names no minimum: a common
// default.
constexpr uint32_t kDefaultOutputBytes = 8192;
// A three-byte MIDI event in a sequence: its time and atom header (16
// bytes) and the body, padded to 8.
constexpr uint32_t kMidiEventBytes = 24;
// Instances are made at this rate until activated at another.
constexpr double kFirstRate = 48000.0;
// The largest block the checks run: the host's buffers never move.
constexpr int32_t kLargestBlock = 8192;

struct Node {
    LilvNode* node;
    Node(LilvWorld* world, const char* uri) : node(lilv_new_uri(world, uri)) {}
    explicit Node(LilvNode* n) : node(n) {}
    ~Node() { lilv_node_free(node); }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    operator const LilvNode*() const { return node; }
};

std::string stringOf(const LilvNode* node) {
    return node ? lilv_node_as_string(node) : "";
}

// What a host reads of the bundle once, before it makes instances.
struct Description {
    PluginInfo info;
    uint32_t outputBytes = kDefaultOutputBytes;
    std::vector<uint32_t> controlInputs; // port indices, in port order
    std::set<std::string> extensionData; // as the bundle lists it
    std::vector<std::string> faults;
    bool hasUi = false;
};

Description describe(const Lv2Bundle& bundle) {
    const std::lock_guard<std::mutex> lock(bundle.lock());
    LilvWorld* world = bundle.world();
    const LilvPlugin* plugin = bundle.plugin();
    Description d;
    PluginInfo& i = d.info;
    Node name(lilv_plugin_get_name(plugin));
    Node author(lilv_plugin_get_author_name(plugin));
    i.name = stringOf(name);
    i.vendor = stringOf(author);
    i.id = stringOf(lilv_plugin_get_uri(plugin));
    i.category = stringOf(lilv_plugin_class_get_label(lilv_plugin_get_class(plugin)));
    Node minorKey(world, LV2_CORE__minorVersion);
    Node microKey(world, LV2_CORE__microVersion);
    Node minor(lilv_world_get(world, lilv_plugin_get_uri(plugin), minorKey, nullptr));
    Node micro(lilv_world_get(world, lilv_plugin_get_uri(plugin), microKey, nullptr));
    i.version = stringOf(minor) + "." + stringOf(micro);
    if (!minor.node || !micro.node) d.faults.emplace_back("no lv2:minorVersion and microVersion");

    Node audioClass(world, LV2_CORE__AudioPort);
    Node controlClass(world, LV2_CORE__ControlPort);
    Node atomClass(world, LV2_ATOM__AtomPort);
    Node inputClass(world, LV2_CORE__InputPort);
    Node midiEvent(world, LV2_MIDI__MidiEvent);
    Node minimumSize(world, LV2_RESIZE_PORT__minimumSize);
    bool outputSized = false;
    const uint32_t ports = lilv_plugin_get_num_ports(plugin);
    std::vector<float> minimum(ports), maximum(ports), defaults(ports);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    for (uint32_t p = 0; p < ports; ++p) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
        const bool input = lilv_port_is_a(plugin, port, inputClass);
        const std::string symbol = stringOf(lilv_port_get_symbol(plugin, port));
        if (lilv_port_is_a(plugin, port, audioClass)) (input ? i.audioInputs : i.audioOutputs)++;
        if (lilv_port_is_a(plugin, port, atomClass)) {
            const bool midi = lilv_port_supports_event(plugin, port, midiEvent);
            (input ? i.midiIn : i.midiOut) = (input ? i.midiIn : i.midiOut) || midi;
            if (!input && !outputSized) {
                outputSized = true;
                if (LilvNodes* sizes = lilv_port_get_value(plugin, port, minimumSize)) {
                    const LilvNode* size = lilv_nodes_get_first(sizes);
                    if (size && lilv_node_is_int(size) && lilv_node_as_int(size) > 0)
                        d.outputBytes = static_cast<uint32_t>(lilv_node_as_int(size));
                    lilv_nodes_free(sizes);
                }
            }
        }
        if (lilv_port_is_a(plugin, port, controlClass) && input) {
            d.controlInputs.push_back(p);
            if (!(minimum[p] < maximum[p]))
                d.faults.push_back("control port " + symbol + " has no range");
            else if (!(defaults[p] >= minimum[p] && defaults[p] <= maximum[p]))
                d.faults.push_back("control port " + symbol +
                                   ": its default lies outside its range");
        }
    }
    if (i.audioInputs > 0)
        d.faults.emplace_back("has audio inputs, which this validator does not feed");
    if (LilvNodes* data = lilv_plugin_get_extension_data(plugin)) {
        LILV_FOREACH(nodes, n, data) d.extensionData.insert(stringOf(lilv_nodes_get(data, n)));
        lilv_nodes_free(data);
    }
    // Features the host offers: the URID map and unmap, the worker.
    const std::set<std::string> offered = {LV2_URID__map, LV2_URID__unmap, LV2_WORKER__schedule};
    if (LilvNodes* required = lilv_plugin_get_required_features(plugin)) {
        LILV_FOREACH(nodes, n, required) {
            const std::string feature = stringOf(lilv_nodes_get(required, n));
            if (!offered.count(feature))
                d.faults.push_back("requires " + feature + ", which hosts may not offer");
        }
        lilv_nodes_free(required);
    }
    if (LilvUIs* uis = lilv_plugin_get_uis(plugin)) {
        d.hasUi = lilv_uis_size(uis) > 0;
        lilv_uis_free(uis);
    }
    return d;
}

// A value as a host shows a control port: its scale point's label, else
// the number (written the same in every locale).
std::string portText(const Lv2Host::PortInfo& port, float value) {
    for (const auto& [point, label] : port.scalePoints)
        if (point == value) return label;
    char number[32];
    const auto end = std::to_chars(number, number + sizeof number, value).ptr;
    return {number, end};
}

class Lv2Instance final : public PluginInstance {
public:
    Lv2Instance(std::shared_ptr<Lv2Bundle> shared, std::shared_ptr<const Description> described,
                const Lv2Host::Options& options, std::unique_ptr<Lv2Host> made)
        : bundle(std::move(shared)), description(std::move(described)), options(options),
          host(std::move(made)),
          knobs(std::make_unique<std::atomic<float>[]>(description->controlInputs.size())) {
        for (size_t k = 0; k < description->controlInputs.size(); ++k)
            knobs[k] = host->portValue(description->controlInputs[k]);
    }
    ~Lv2Instance() override {
        if (host) destroy();
    }

    void destroy() override { host.reset(); } // deactivate, cleanup

    void abandon() override {
        host->abandonInstance();
        host.reset();
    }

    PluginInfo info() override {
        for (const std::string& fault : description->faults) formatFault(fault);
        // The extension data the bundle lists and what the binary answers
        // agree: a host asks only for what is listed.
        for (const char* uri : {LV2_STATE__interface, LV2_WORKER__interface}) {
            const bool listed = description->extensionData.count(uri) > 0;
            const bool answered = host->extensionData(uri) != nullptr;
            if (listed != answered)
                formatFault(std::string(uri) + (listed ? " listed in the bundle, not answered"
                                                       : " answered, not listed in the bundle"));
        }
        return description->info;
    }

    int eventLimit() override {
        const auto room = static_cast<int64_t>(description->outputBytes) - 16;
        return static_cast<int>(std::max<int64_t>(room / kMidiEventBytes, 1));
    }

    bool activate(double sampleRate, int32_t) override {
        audio.processing();
        // The rate comes with instantiation: a host makes the instance again
        // and carries its state over.
        if (sampleRate != options.sampleRate && !instantiateAt(sampleRate)) return false;
        host->activate();
        return true;
    }

    void deactivate() override { host->deactivate(); }

    void setTransport(bool playing, double tempo, double ppq) override {
        host->locate(ppq);
        host->setTempo(tempo);
        host->setPlaying(playing);
    }

    void process(int32_t frames, const std::vector<MidiIn>& midi, BlockOutput& out) override {
        audio.processing();
        host->events.clear();
        for (const MidiIn& m : midi) host->queueMidi(m.frame, m.status, m.data1, m.data2);
        // Every sample the plug-in leaves unwritten shows up as not finite.
        const auto filled = std::min(static_cast<size_t>(frames), host->left.size());
        std::fill_n(host->left.begin(), filled, std::numeric_limits<float>::quiet_NaN());
        std::fill_n(host->right.begin(), filled, std::numeric_limits<float>::quiet_NaN());
        const int64_t start = host->samplePosition();
        host->processBlock(frames);
        if (host->outputBytes > description->outputBytes)
            formatFault("the output sequence took " + std::to_string(host->outputBytes) +
                        " bytes of the " + std::to_string(description->outputBytes) +
                        " the host offered");
        out.midi.clear();
        int64_t last = start;
        for (const Lv2Host::ReceivedEvent& e : host->events) {
            if (e.sampleTime < last) formatFault("output events out of time order");
            last = std::max(last, e.sampleTime);
            if (e.size == 0 || e.size > 3)
                formatFault("a MIDI event of " + std::to_string(e.size) + " bytes");
            out.midi.push_back(
                {static_cast<int32_t>(e.sampleTime - start), e.status, e.data1, e.data2});
        }
        out.audio.clear();
        if (description->info.audioOutputs > 0) out.audio.push_back(host->left.data());
        if (description->info.audioOutputs > 1) out.audio.push_back(host->right.data());
    }

    int parameterCount() override { return static_cast<int>(description->controlInputs.size()); }

    ParameterInfo parameterInfo(int index) override {
        const Lv2Host::PortInfo& port = portOf(index);
        ParameterInfo p;
        p.name = port.name;
        if (port.minimum < port.maximum) {
            p.min = port.minimum;
            p.max = port.maximum;
        }
        return p;
    }

    double parameter(int index) override { return knobs[static_cast<size_t>(index)]; }

    void setParameter(int index, double value) override {
        const auto v = static_cast<float>(value);
        knobs[static_cast<size_t>(index)] = v;
        const uint32_t port = description->controlInputs[static_cast<size_t>(index)];
        if (audio.isCalling())
            host->setPortValue(port, v);
        else
            host->queuePortValue(port, v);
    }

    std::string parameterText(int index) override {
        return portText(portOf(index), knobs[static_cast<size_t>(index)]);
    }

    // Control ports have scale points at most, no text to read back.
    std::optional<double> textToValue(int, const std::string&) override { return std::nullopt; }

    std::vector<uint8_t> saveState() override {
        const std::string text = host->saveStateText().value_or("");
        return {text.begin(), text.end()};
    }

    bool loadState(const std::vector<uint8_t>& bytes) override {
        if (!host->restoreStateText(std::string(bytes.begin(), bytes.end()))) return false;
        // The state set the host's ports too.
        for (size_t k = 0; k < description->controlInputs.size(); ++k)
            knobs[k] = host->portValue(description->controlInputs[k]);
        return true;
    }

    // LV2 has no programs (presets are states of their own).
    int programCount() override { return 0; }
    int program() override { return 0; }
    void setProgram(int) override {}
    std::string programName(int) override { return {}; }

    bool hasEditor() override { return description->hasUi; }
    // The bundle's X11 UI, offered all a host may offer (instance access,
    // ui:resize, ui:touch), at the size it asks for.
    bool openEditor(unsigned long parentWindow, int& width, int& height) override {
        ui = std::make_unique<Lv2UiHost>(*host, parentWindow, Lv2UiHost::Options{});
        if (!ui->loaded()) {
            formatFault("the UI did not open: " + ui->error());
            ui.reset();
            return false;
        }
        if (ui->sizes.empty()) {
            formatFault("the UI asked for no size through ui:resize");
        } else {
            width = ui->sizes.back().first;
            height = ui->sizes.back().second;
        }
        return true;
    }
    void idleEditor() override {
        if (ui && !ui->idle()) formatFault("the UI's idle asked to close an embedded window");
    }
    void closeEditor() override { ui.reset(); }

    std::vector<std::string> takeFormatFaults() override { return faults.take(); }

private:
    void formatFault(const std::string& what) { faults.add(what); }

    const Lv2Host::PortInfo& portOf(int index) const {
        return host->ports()[description->controlInputs[static_cast<size_t>(index)]];
    }

    bool instantiateAt(double rate) {
        ui.reset(); // the UI works on the instance that goes
        const std::string state = host->saveStateText().value_or("");
        Lv2Host::Options again = options;
        again.sampleRate = rate;
        auto made = std::make_unique<Lv2Host>(bundle, again);
        if (!made->loaded()) {
            formatFault("instantiation at " + std::to_string(rate) +
                        " Hz failed: " + made->error());
            return false;
        }
        if (!state.empty() && !made->restoreStateText(state))
            formatFault("the state did not carry over to the instance made at " +
                        std::to_string(rate) + " Hz");
        host = std::move(made);
        options = again;
        return true;
    }

    std::shared_ptr<Lv2Bundle> bundle;
    std::shared_ptr<const Description> description;
    Lv2Host::Options options;
    std::unique_ptr<Lv2Host> host;
    std::unique_ptr<Lv2UiHost> ui; // goes before the instance it works on
    // The host's own value of each control port (what its window shows),
    // readable from any thread.
    std::unique_ptr<std::atomic<float>[]> knobs;
    AudioThread audio;
    FormatFaults faults;
};

class Lv2Format final : public PluginFormat {
public:
    explicit Lv2Format(std::string path) : path(std::move(path)) {}

    std::string name() const override { return "lv2"; }
    std::string closeCall() const override { return "cleanup"; }
    std::string editorOffer() const override { return "UI in the bundle's data"; }

    bool load(std::string& error) override {
        bundle = std::make_shared<Lv2Bundle>(path, "");
        if (!bundle->loaded()) {
            error = bundle->error();
            bundle.reset();
            return false;
        }
        if (!bundle->openBinary(error)) {
            bundle.reset();
            return false;
        }
        description = std::make_shared<const Description>(describe(*bundle));
        return true;
    }

    // The world freed and the binary closed, once the last instance let go
    // of the bundle.
    void unload() override {
        bundle.reset();
        description.reset();
    }

    std::unique_ptr<PluginInstance> create(std::string& error) override {
        Lv2Host::Options options;
        options.sampleRate = kFirstRate;
        options.maxBlockSize = kLargestBlock;
        options.activate = false;
        options.eventsOutBytes = description->outputBytes;
        options.loadBinaryItself = true;
        auto host = std::make_unique<Lv2Host>(bundle, options);
        if (!host->loaded()) {
            error = host->error();
            return nullptr;
        }
        return std::make_unique<Lv2Instance>(bundle, description, options, std::move(host));
    }

private:
    std::string path;
    std::shared_ptr<Lv2Bundle> bundle;
    std::shared_ptr<const Description> description;
};

} // namespace

std::unique_ptr<PluginFormat> makeLv2Format(const std::string& path) {
    return std::make_unique<Lv2Format>(path);
}

} // namespace validate
