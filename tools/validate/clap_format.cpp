// The CLAP backend: the project's own CLAP host (ClapHost) drives the
// plug-in through the file's entry, its factory, the plug-in's table and its
// extensions, nothing else. What the CLAP rules demand beyond the
// format-free checks (event sizes and order, parameter descriptions, ports)
// is judged here.
#include "clap_format.h"

#include "abi/audio_ports.h"
#include "abi/note_ports.h"
#include "backend_support.h"
#include "clap_host.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

namespace validate {

namespace {

// CLAP sets no number of events per block: a host's output queue may refuse
// more (try_push answers false). Ours takes any number and holds the
// plug-in to the same 4096 per block as VST 2.4, more than a MIDI effect
// ever needs.
constexpr int kEventLimit = 4096;
// State streams that move fewer bytes per call than asked, as hosts may:
// the plug-in must go on until the stream is done.
constexpr uint64_t kSaveChunk = 509;
constexpr uint64_t kLoadChunk = 1021;

uint32_t eventSize(uint16_t type) {
    switch (type) {
    case CLAP_EVENT_MIDI:
        return sizeof(clap_event_midi);
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF:
    case CLAP_EVENT_NOTE_CHOKE:
    case CLAP_EVENT_NOTE_END:
        return sizeof(clap_event_note);
    default:
        return 0;
    }
}

std::string text(const char* s) {
    return s ? s : "";
}

class ClapInstance final : public PluginInstance {
public:
    explicit ClapInstance(std::unique_ptr<ClapHost> created) : host(std::move(created)) {
        const uint32_t count = host->parameterCount();
        for (uint32_t i = 0; i < count; ++i) {
            const auto found = host->parameterInfo(i);
            if (!found) {
                formatFault("params get_info refused index " + std::to_string(i) + " of " +
                            std::to_string(count));
                infos.push_back({});
                infos.back().id = CLAP_INVALID_ID;
                continue;
            }
            infos.push_back(*found);
        }
    }
    ~ClapInstance() override {
        if (host) destroy();
    }

    void destroy() override {
        host->destroy();
        host.reset(); // lets go of the file; the format unloads it
    }

    void abandon() override {
        host->abandonInstance();
        host.reset();
    }

    PluginInfo info() override {
        const clap_plugin_descriptor* d = host->descriptor();
        PluginInfo i;
        i.name = text(d->name);
        i.vendor = text(d->vendor);
        i.version = text(d->version);
        i.id = text(d->id);
        for (const char* const* f = d->features; f && *f; ++f)
            i.category += (i.category.empty() ? "" : ", ") + std::string(*f);
        if (!d->features) formatFault("the descriptor has no feature list");
        if (!clap_version_is_compatible(d->clap_version))
            formatFault("the descriptor's CLAP version is not 1.x");
        if (i.version.empty()) formatFault("the descriptor has no version");
        if (const auto* ports = static_cast<const clap_plugin_audio_ports*>(
                host->extension(CLAP_EXT_AUDIO_PORTS))) {
            i.audioInputs = audioChannels(*ports, true);
            i.audioOutputs = audioChannels(*ports, false);
        }
        if (const auto* notes =
                static_cast<const clap_plugin_note_ports*>(host->extension(CLAP_EXT_NOTE_PORTS))) {
            i.midiIn = takesMidi(*notes, true);
            i.midiOut = takesMidi(*notes, false);
        }
        if (host->extension("zandrel-validate.no-such-extension"))
            formatFault("get_extension answers an extension no one has");
        judgeParameters();
        return i;
    }

    int eventLimit() override { return kEventLimit; }

    bool activate(double sampleRate, int32_t maxBlockSize) override {
        audio.processing();
        return host->activate(sampleRate, maxBlockSize);
    }

    void deactivate() override { host->deactivate(); }

    void setTransport(bool playing, double tempo, double ppq) override {
        host->setTempo(tempo);
        host->locate(ppq);
        host->setPlaying(playing);
    }

    void process(int32_t frames, const std::vector<MidiIn>& midi, BlockOutput& out) override {
        audio.processing();
        host->events.clear();
        host->parameterEvents.clear();
        out.midi.clear();
        out.audio.clear();
        if (frames == 0) {
            // CLAP blocks hold at least one frame (activate's minimum): a
            // host passes changes between blocks through params flush.
            host->flushParameters();
            unsent = false;
            judgeOutput(0, out);
            return;
        }
        for (const MidiIn& m : midi) host->queueMidi(m.frame, m.status, m.data1, m.data2);
        // Every sample the plug-in leaves unwritten shows up as not finite.
        if (host->left.size() < static_cast<size_t>(frames)) {
            host->left.resize(static_cast<size_t>(frames));
            host->right.resize(static_cast<size_t>(frames));
        }
        std::fill_n(host->left.begin(), frames, std::numeric_limits<float>::quiet_NaN());
        std::fill_n(host->right.begin(), frames, std::numeric_limits<float>::quiet_NaN());
        host->processBlock(frames);
        unsent = false;
        if (host->lastStatus == CLAP_PROCESS_ERROR)
            formatFault("process answered CLAP_PROCESS_ERROR");
        judgeOutput(frames, out);
        out.audio.push_back(host->left.data());
        out.audio.push_back(host->right.data());
        // The main thread answers the plug-in's request_callback.
        host->idle();
    }

    int parameterCount() override { return static_cast<int>(infos.size()); }

    ParameterInfo parameterInfo(int index) override {
        const clap_param_info& info = infos[static_cast<size_t>(index)];
        ParameterInfo p;
        p.name = std::string(info.name, strnlen(info.name, sizeof info.name));
        p.min = info.min_value;
        p.max = info.max_value;
        return p;
    }

    double parameter(int index) override {
        settle();
        return host->getParameter(idOf(index));
    }

    void setParameter(int index, double value) override {
        if (!audio.isCalling()) {
            host->queueParameterFromAnyThread(idOf(index), value);
            return;
        }
        host->setParameter(idOf(index), value);
        unsent = host->active();
    }

    std::string parameterText(int index) override {
        settle();
        const clap_id id = idOf(index);
        const std::string shown = host->parameterText(id, host->getParameter(id));
        if (std::any_of(shown.begin(), shown.end(), [](char c) { return c > 0 && c < 0x20; }))
            formatFault("value_to_text of parameter " + std::to_string(index) +
                        " answered a control character: \"" + printable(shown) + "\"");
        return shown;
    }

    std::optional<double> textToValue(int index, const std::string& shown) override {
        return host->textToValue(idOf(index), shown);
    }

    std::vector<uint8_t> saveState() override {
        settle();
        return host->saveState(ClapHost::StreamShape{kSaveChunk, -1})
            .value_or(std::vector<uint8_t>{});
    }

    bool loadState(const std::vector<uint8_t>& bytes) override {
        settle();
        return host->loadState(bytes, ClapHost::StreamShape{kLoadChunk, -1});
    }

    // CLAP has no programs.
    int programCount() override { return 0; }
    int program() override { return 0; }
    void setProgram(int) override {}
    std::string programName(int) override { return {}; }

    bool hasEditor() override { return host->gui() != nullptr; }
    // As CLAP hosts embed an editor on Linux: X11, in the host's window,
    // idled by the host's timers and its watch on the editor's descriptors.
    bool openEditor(unsigned long parentWindow, int& width, int& height) override {
        const clap_plugin_gui* gui = host->gui();
        const clap_plugin* p = host->plugin();
        if (!gui->is_api_supported(p, CLAP_WINDOW_API_X11, false)) {
            formatFault("clap.gui does not support embedding in an X11 window");
            return false;
        }
        if (!gui->create(p, CLAP_WINDOW_API_X11, false)) return false;
        uint32_t w = 0;
        uint32_t h = 0;
        const clap_window parent{CLAP_WINDOW_API_X11, {.x11 = parentWindow}};
        if (!gui->get_size(p, &w, &h) || !gui->set_parent(p, &parent)) {
            gui->destroy(p);
            return false;
        }
        gui->show(p);
        if (host->timers.empty() && host->fds.empty())
            formatFault("the editor registered neither a timer nor a descriptor for its idle");
        width = static_cast<int>(w);
        height = static_cast<int>(h);
        return true;
    }
    void idleEditor() override { host->idleGui(); }
    void closeEditor() override {
        host->gui()->destroy(host->plugin());
        if (!host->timers.empty() || !host->fds.empty())
            formatFault("the editor's destroy left timers or descriptors registered");
    }

    std::vector<std::string> takeFormatFaults() override { return faults.take(); }

private:
    void formatFault(const std::string& what) { faults.add(what); }

    clap_id idOf(int index) const { return infos[static_cast<size_t>(index)].id; }

    // Changes the audio thread made wait for the next block; a host that
    // reads values back first passes them on through flush, which is the
    // audio thread's to call between blocks.
    void settle() {
        if (!unsent || !audio.isCalling()) return;
        host->flushParameters();
        unsent = false;
        BlockOutput ignored;
        judgeOutput(0, ignored);
    }

    void judgeOutput(int32_t frames, BlockOutput& out) {
        int32_t last = 0;
        for (const ClapHost::ReceivedEvent& e : host->events) {
            if (e.size != eventSize(e.type))
                formatFault("an output event of type " + std::to_string(e.type) + " claims " +
                            std::to_string(e.size) + " bytes, not " +
                            std::to_string(eventSize(e.type)));
            if (e.frame < last) formatFault("output events out of time order");
            last = std::max(last, e.frame);
            out.midi.push_back({e.frame, e.status, e.data1, e.data2});
        }
        for (const ClapHost::ParameterEvent& e : host->parameterEvents) {
            if (e.type != CLAP_EVENT_PARAM_VALUE) continue;
            const auto known = std::find_if(infos.begin(), infos.end(),
                                            [&](const clap_param_info& i) { return i.id == e.id; });
            if (known == infos.end()) {
                formatFault("a parameter event for id " + std::to_string(e.id) + ", which is none");
            } else if (!(e.value >= known->min_value && e.value <= known->max_value)) {
                formatFault("a parameter event sets " + std::string(known->name) + " to " +
                            std::to_string(e.value) + ", outside its range");
            }
        }
        if (frames == 0 && !host->events.empty())
            formatFault("notes or MIDI sent from params flush");
        host->events.clear();
        host->parameterEvents.clear();
    }

    int audioChannels(const clap_plugin_audio_ports& ports, bool input) {
        int channels = 0;
        const uint32_t count = ports.count(host->plugin(), input);
        for (uint32_t i = 0; i < count; ++i) {
            clap_audio_port_info info{};
            if (!ports.get(host->plugin(), i, input, &info)) {
                formatFault("audio-ports get refused an index below its count");
                continue;
            }
            channels += static_cast<int>(info.channel_count);
            const bool main = (info.flags & CLAP_AUDIO_PORT_IS_MAIN) != 0;
            if (main && i != 0) formatFault("a main audio port not at index 0");
            if (info.port_type && std::strcmp(info.port_type, CLAP_PORT_STEREO) == 0 &&
                info.channel_count != 2)
                formatFault("a stereo audio port of " + std::to_string(info.channel_count) +
                            " channels");
        }
        if (input && count > 0) formatFault("has audio inputs, which this validator does not feed");
        if (!input && (count != 1 || channels != 2))
            formatFault("audio outputs other than one stereo port, which this validator feeds");
        return channels;
    }

    bool takesMidi(const clap_plugin_note_ports& ports, bool input) {
        bool midi = false;
        const uint32_t count = ports.count(host->plugin(), input);
        for (uint32_t i = 0; i < count; ++i) {
            clap_note_port_info info{};
            if (!ports.get(host->plugin(), i, input, &info)) {
                formatFault("note-ports get refused an index below its count");
                continue;
            }
            const uint32_t preferred = info.preferred_dialect;
            if (preferred == 0 || (preferred & (preferred - 1)) != 0 ||
                (preferred & info.supported_dialects) == 0)
                formatFault("a note port whose preferred dialect is not one it supports");
            midi = midi || (info.supported_dialects &
                            (CLAP_NOTE_DIALECT_MIDI | CLAP_NOTE_DIALECT_CLAP)) != 0;
        }
        return midi;
    }

    void judgeParameters() {
        std::set<clap_id> ids;
        for (const clap_param_info& p : infos) {
            if (p.id == CLAP_INVALID_ID) continue;
            const std::string name(p.name, strnlen(p.name, sizeof p.name));
            if (!ids.insert(p.id).second)
                formatFault("parameter id " + std::to_string(p.id) + " given twice");
            if (name.size() == sizeof p.name) formatFault("a parameter name without its end");
            if (!std::isfinite(p.min_value) || !std::isfinite(p.max_value) ||
                !std::isfinite(p.default_value) || p.default_value < p.min_value ||
                p.default_value > p.max_value)
                formatFault("parameter " + name + ": its default lies outside its range");
            const bool shown = (p.flags & (CLAP_PARAM_IS_HIDDEN | CLAP_PARAM_IS_READONLY)) == 0;
            if (shown && (p.flags & CLAP_PARAM_IS_AUTOMATABLE) == 0)
                formatFault("parameter " + name + " is not automatable: hosts do not list it");
        }
    }

    std::unique_ptr<ClapHost> host;
    std::vector<clap_param_info> infos;
    AudioThread audio;
    bool unsent = false; // parameter changes wait for the next block
    FormatFaults faults;
};

class ClapFormat final : public PluginFormat {
public:
    explicit ClapFormat(std::string path) : path(std::move(path)) {}

    std::string name() const override { return "clap"; }
    std::string closeCall() const override { return "destroy"; }
    std::string editorOffer() const override { return "clap.gui extension"; }

    bool load(std::string& error) override {
        library = std::make_shared<ClapLibrary>(path);
        if (!library->loaded()) {
            error = library->error();
            library.reset();
            return false;
        }
        const clap_plugin_factory* factory = library->factory();
        if (!factory || factory->get_plugin_count(factory) == 0) {
            error = "no plug-in factory, or none in it";
            library.reset();
            return false;
        }
        return true;
    }

    // Deinit (unless an instance was abandoned) and dlclose, once the last
    // instance let go of the file.
    void unload() override { library.reset(); }

    std::unique_ptr<PluginInstance> create(std::string& error) override {
        ClapHost::Options options;
        options.activate = false;
        options.hostName = "zandrel-validate";
        auto host = std::make_unique<ClapHost>(library, options);
        if (!host->loaded()) {
            error = host->error();
            return nullptr;
        }
        return std::make_unique<ClapInstance>(std::move(host));
    }

private:
    std::string path;
    std::shared_ptr<ClapLibrary> library;
};

} // namespace

std::unique_ptr<PluginFormat> makeClapFormat(const std::string& path) {
    return std::make_unique<ClapFormat>(path);
}

} // namespace validate
