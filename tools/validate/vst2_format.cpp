// The VST 2.4 backend: the project's own host (PluginHost) drives the
// plug-in through its exported entry and its dispatcher, nothing else. What
// the VST 2.4 rules demand beyond the format-free checks (text buffers,
// event records, flags) is judged here.
#include "vst2_format.h"

#include "aeff_editor.h"
#include "backend_support.h"
#include "plugin_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <limits>

namespace validate {

namespace {

// Parameter texts: hosts give at least 8 bytes and in practice 64 or more;
// a plug-in writes at most 24 with the terminator.
constexpr int kParameterTextLimit = 24;
// VST 2.4 sets no limit of events per block; a MIDI effect that sends more
// than this in one block fills every host buffer we know.
constexpr int kEventLimit = 4096;
constexpr uint8_t kUntouched = 0xA5;

std::string categoryName(intptr_t category) {
    return category == kPlugCategSynth    ? "2 (synth)"
           : category == kPlugCategEffect ? "1 (effect)"
                                          : std::to_string(category);
}

std::string fourCharText(int32_t id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
        text += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return text;
}

class Vst2Instance final : public PluginInstance {
public:
    explicit Vst2Instance(std::unique_ptr<PluginHost> loadedHost) : host(std::move(loadedHost)) {
        host->dispatch(effOpen);
    }
    ~Vst2Instance() override {
        if (host) destroy();
    }

    void destroy() override {
        if (active) deactivate();
        host->close();
        host.reset();
    }

    void abandon() override {
        host->abandonInstance();
        host.reset(); // unloads its hold on the library, the effect still open
    }

    PluginInfo info() override {
        const AEffect* e = host->aeffect();
        PluginInfo i;
        i.name = text(effGetEffectName, 0, kVstMaxEffectNameLen, "effGetEffectName");
        i.vendor = text(effGetVendorString, 0, kVstMaxVendorStrLen, "effGetVendorString");
        const std::string product =
            text(effGetProductString, 0, kVstMaxProductStrLen, "effGetProductString");
        i.version = std::to_string(host->dispatch(effGetVendorVersion));
        i.id = "'" + fourCharText(e->uniqueID) + "'";
        if (!product.empty() && product != i.name) i.id += " (" + product + ")";
        i.category = categoryName(host->dispatch(effGetPlugCategory));
        i.audioInputs = e->numInputs;
        i.audioOutputs = e->numOutputs;
        i.midiIn = host->canDo("receiveVstEvents") == 1 || host->canDo("receiveVstMidiEvent") == 1;
        i.midiOut = host->canDo("sendVstEvents") == 1 || host->canDo("sendVstMidiEvent") == 1;
        judgeDescriptor(*e);
        return i;
    }

    int eventLimit() override { return kEventLimit; }

    bool activate(double sampleRate, int32_t maxBlockSize) override {
        host->prepare(sampleRate, maxBlockSize);
        active = true;
        return true;
    }

    void deactivate() override {
        host->release();
        active = false;
    }

    void setTransport(bool playing, double tempo, double ppq) override {
        host->setTempo(tempo);
        host->locate(ppq);
        host->setPlaying(playing);
    }

    void process(int32_t frames, const std::vector<MidiIn>& midi, BlockOutput& out) override {
        host->events.clear();
        for (const MidiIn& m : midi) host->queueMidi(m.frame, m.status, m.data1, m.data2);
        // Every sample the plug-in leaves unwritten shows up as not finite.
        const auto needed = static_cast<size_t>(std::max(frames, 1));
        if (host->left.size() < needed) {
            host->left.resize(needed);
            host->right.resize(needed);
        }
        std::fill_n(host->left.begin(), needed, std::numeric_limits<float>::quiet_NaN());
        std::fill_n(host->right.begin(), needed, std::numeric_limits<float>::quiet_NaN());
        host->processBlock(frames);
        out.midi.clear();
        for (const auto& e : host->events) {
            const std::string fault = vstEventFault(e);
            if (!fault.empty()) formatFault(fault);
            out.midi.push_back(sentMidiOf(e));
        }
        out.audio.clear();
        const int outputs = std::min(host->aeffect()->numOutputs, 2);
        if (outputs > 0) out.audio.push_back(host->left.data());
        if (outputs > 1) out.audio.push_back(host->right.data());
    }

    int parameterCount() override { return host->aeffect()->numParams; }

    ParameterInfo parameterInfo(int index) override {
        ParameterInfo p;
        p.name = text(effGetParamName, index, kParameterTextLimit, "effGetParamName");
        p.unit = text(effGetParamLabel, index, kParameterTextLimit, "effGetParamLabel");
        return p;
    }

    double parameter(int index) override { return host->getParameter(index); }
    void setParameter(int index, double value) override {
        host->setParameter(index, static_cast<float>(value));
    }
    std::string parameterText(int index) override {
        return text(effGetParamDisplay, index, kParameterTextLimit, "effGetParamDisplay");
    }
    // VST 2.4 hosts have no text-to-value call of their own.
    std::optional<double> textToValue(int, const std::string&) override { return std::nullopt; }

    std::vector<uint8_t> saveState() override {
        if (!(host->aeffect()->flags & effFlagsProgramChunks)) return parameterState();
        void* data = nullptr;
        const intptr_t size = host->dispatch(effGetChunk, 0, 0, &data);
        if (!data || size <= 0) return {};
        const auto* bytes = static_cast<const uint8_t*>(data);
        return {bytes, bytes + size};
    }

    bool loadState(const std::vector<uint8_t>& bytes) override {
        if (!(host->aeffect()->flags & effFlagsProgramChunks)) return loadParameterState(bytes);
        // An empty block still comes with a valid address, as from a host's
        // own buffer.
        uint8_t none = 0;
        std::vector<uint8_t> copy(bytes);
        const intptr_t answer = host->dispatch(effSetChunk, 0, static_cast<intptr_t>(copy.size()),
                                               copy.empty() ? &none : copy.data());
        // A refused block is answered with all 32 low bits set (-1).
        return static_cast<int32_t>(answer) != -1;
    }

    int programCount() override { return host->aeffect()->numPrograms; }
    int program() override { return static_cast<int>(host->dispatch(effGetProgram)); }
    void setProgram(int index) override { host->dispatch(effSetProgram, 0, index); }
    std::string programName(int index) override {
        char buffer[256];
        prepareText(buffer);
        if (host->dispatch(effGetProgramNameIndexed, index, -1, buffer) != 0)
            return judgeText(buffer, kVstMaxProgNameLen, "effGetProgramNameIndexed");
        if (index != program()) return {};
        return text(effGetProgramName, 0, kVstMaxProgNameLen, "effGetProgramName");
    }

    bool hasEditor() override { return (host->aeffect()->flags & effFlagsHasEditor) != 0; }

    bool openEditor(unsigned long parentWindow, int& width, int& height) override {
        ERect* rect = nullptr;
        if (host->dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
            formatFault("effEditGetRect gave no rectangle");
            return false;
        }
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
        // The parent is an X11 window id passed as the pointer.
        return host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parentWindow)) != 0;
    }

    void idleEditor() override { host->dispatch(effEditIdle); }
    void closeEditor() override { host->dispatch(effEditClose); }

    std::vector<std::string> takeFormatFaults() override { return faults.take(); }

private:
    void formatFault(const std::string& what) { faults.add(what); }

    // A text buffer as hosts pass it (an empty string) but larger than they
    // promise, so that writing past the promise is seen, not an overrun.
    static void prepareText(char (&buffer)[256]) {
        std::memset(buffer, kUntouched, sizeof buffer);
        buffer[0] = 0;
    }

    std::string text(int32_t opcode, int32_t index, int limit, const char* name) {
        char buffer[256];
        prepareText(buffer);
        host->dispatch(opcode, index, 0, buffer);
        return judgeText(buffer, limit, std::string(name) + " " + std::to_string(index));
    }

    std::string judgeText(const char* buffer, int limit, const std::string& name) {
        const size_t length = strnlen(buffer, 256);
        bool overrun = length + 1 > static_cast<size_t>(limit);
        for (int i = limit; i < 256 && !overrun; ++i)
            overrun = static_cast<uint8_t>(buffer[i]) != kUntouched;
        if (overrun)
            formatFault(name + " wrote past the " + std::to_string(limit) + " bytes a host gives");
        std::string text(buffer, std::min<size_t>(length, limit - 1));
        if (std::any_of(text.begin(), text.end(), [](char c) { return c > 0 && c < 0x20; }))
            formatFault(name + " answered a control character: \"" + printable(text) + "\"");
        return text;
    }

    void judgeDescriptor(const AEffect& e) {
        if (!(e.flags & effFlagsCanReplacing) || !e.processReplacing)
            formatFault("no processReplacing (flag effFlagsCanReplacing and the pointer)");
        if (e.numParams < 0 || e.numPrograms < 0 || e.numInputs < 0 || e.numOutputs < 0 ||
            e.numInputs > 64 || e.numOutputs > 64)
            formatFault("counts of parameters, programs or channels out of range");
        if (e.numInputs > 0) formatFault("has audio inputs, which this validator does not feed");
        if (e.uniqueID == 0) formatFault("unique ID 0");
        if (host->dispatch(effGetVstVersion) < 2400) formatFault("effGetVstVersion below 2400");
        if (host->canDo("zandrel-validate: no such capability") == 1)
            formatFault("effCanDo says yes to a capability no one has");
    }

    // Hosts keep the parameter values of a plug-in that has no chunk.
    std::vector<uint8_t> parameterState() {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < parameterCount(); ++i) {
            const float v = host->getParameter(i);
            const auto* p = reinterpret_cast<const uint8_t*>(&v);
            bytes.insert(bytes.end(), p, p + sizeof v);
        }
        return bytes;
    }

    bool loadParameterState(const std::vector<uint8_t>& bytes) {
        if (bytes.size() != static_cast<size_t>(parameterCount()) * sizeof(float)) return false;
        for (int i = 0; i < parameterCount(); ++i) {
            float v = 0.0f;
            std::memcpy(&v, bytes.data() + static_cast<size_t>(i) * sizeof v, sizeof v);
            host->setParameter(i, v);
        }
        return true;
    }

    std::unique_ptr<PluginHost> host;
    bool active = false;
    FormatFaults faults;
};

class Vst2Format final : public PluginFormat {
public:
    // Only unload() closes the file: a check that ends with it loaded leaves
    // it to the end of its process, as a host that quits does, so that a
    // thread the plug-in left behind fails the checks about unloading only.
    explicit Vst2Format(std::string path) : path(std::move(path)) {}

    std::string name() const override { return "vst2"; }
    std::string closeCall() const override { return "effClose"; }
    std::string editorOffer() const override { return "effFlagsHasEditor"; }

    bool load(std::string& error) override {
        library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            const char* why = dlerror();
            error = why ? why : "dlopen failed";
            return false;
        }
        if (!dlsym(library, "VSTPluginMain") && !dlsym(library, "main")) {
            error = "exports neither VSTPluginMain nor main";
            return false;
        }
        return true;
    }

    void unload() override {
        if (library) dlclose(library);
        library = nullptr;
    }

    std::unique_ptr<PluginInstance> create(std::string& error) override {
        PluginHost::Options options;
        options.openAndResume = false;
        options.productString = "zandrel-validate";
        auto host = std::make_unique<PluginHost>(path, options);
        if (!host->loaded()) {
            error = host->error().empty() ? "the entry point gave no effect" : host->error();
            return nullptr;
        }
        return std::make_unique<Vst2Instance>(std::move(host));
    }

private:
    std::string path;
    void* library = nullptr;
};

} // namespace

std::unique_ptr<PluginFormat> makeVst2Format(const std::string& path) {
    return std::make_unique<Vst2Format>(path);
}

} // namespace validate
