#include "plugin_host.h"

#include "aeff_editor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <dlfcn.h>

thread_local bool PluginHost::insidePlugin = false;

namespace {
// The plug-in calls back before the host knows its AEffect: the host being
// constructed answers those calls.
thread_local PluginHost* constructingHost = nullptr;

class InsidePlugin {
public:
    InsidePlugin() : was(PluginHost::insidePlugin) { PluginHost::insidePlugin = true; }
    ~InsidePlugin() { PluginHost::insidePlugin = was; }
    InsidePlugin(const InsidePlugin&) = delete;
    InsidePlugin& operator=(const InsidePlugin&) = delete;

private:
    bool was;
};

class OutsidePlugin {
public:
    OutsidePlugin() : was(PluginHost::insidePlugin) { PluginHost::insidePlugin = false; }
    ~OutsidePlugin() { PluginHost::insidePlugin = was; }
    OutsidePlugin(const OutsidePlugin&) = delete;
    OutsidePlugin& operator=(const OutsidePlugin&) = delete;

private:
    bool was;
};

void copyString(void* ptr, const std::string& text, size_t capacity) {
    auto* dest = static_cast<char*>(ptr);
    std::strncpy(dest, text.c_str(), capacity - 1);
    dest[capacity - 1] = 0;
}
} // namespace

PluginHost::PluginHost(const std::string& pluginPath) : PluginHost(pluginPath, Options{}) {}

PluginHost::PluginHost(const std::string& pluginPath, const Options& opts)
    : options(opts), rate(opts.sampleRate) {
    timeInfo.sampleRate = rate;
    timeInfo.tempo = 120.0;
    timeInfo.timeSigNumerator = 4;
    timeInfo.timeSigDenominator = 4;
    pending.reserve(8192);
    events.reserve(1 << 16);
    // VstEvents ends in an array of pointers: the size of a pointer is meant.
    // NOLINTNEXTLINE(bugprone-sizeof-expression)
    eventBlock.resize(sizeof(VstEvents) + 8192 * sizeof(VstEvent*));
    load(pluginPath);
}

PluginHost::~PluginHost() {
    close();
    if (library) dlclose(library);
}

void PluginHost::close() {
    if (!effect) return;
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
    effect = nullptr;
}

void PluginHost::load(const std::string& pluginPath) {
#ifdef __SANITIZE_ADDRESS__
    // The libraries the plug-in's window brings (pixman through Cairo) set
    // things up when loaded and never free them; unloaded, the leak checker
    // would blame them on nobody. Under the sanitizers they stay loaded.
    constexpr int kKeepLoaded = RTLD_NODELETE;
#else
    constexpr int kKeepLoaded = 0;
#endif
    library = dlopen(pluginPath.c_str(), RTLD_NOW | RTLD_LOCAL | kKeepLoaded);
    if (!library) {
        loadError = dlerror();
        return;
    }
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<Entry>(dlsym(library, "main"));
    if (!entry) {
        loadError = "no VSTPluginMain or main";
        return;
    }
    constructingHost = this;
    {
        InsidePlugin inside;
        effect = entry(&PluginHost::callback);
    }
    constructingHost = nullptr;
    if (!effect) {
        loadError = "the entry point returned no effect";
        return;
    }
    if (effect->magic != kEffectMagic) {
        loadError = "bad magic";
        effect = nullptr;
        return;
    }
    effect->resvd1 = reinterpret_cast<intptr_t>(this);
    if (options.openAndResume) {
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
        dispatch(effSetBlockSize, 0, options.maxBlockSize);
        dispatch(effMainsChanged, 0, 1);
    }
}

intptr_t PluginHost::callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                              void* ptr, float opt) {
    PluginHost* host =
        effect && effect->resvd1 ? reinterpret_cast<PluginHost*>(effect->resvd1) : constructingHost;
    if (!host) return opcode == audioMasterVersion ? 2400 : 0;
    OutsidePlugin outside;
    return host->answer(opcode, index, value, ptr, opt);
}

intptr_t PluginHost::answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    switch (opcode) {
    case audioMasterVersion:
        return options.hostVersion;
    case audioMasterCurrentId:
        return effect ? effect->uniqueID : 0;
    case audioMasterWantMidi:
        ++wantMidiCalls;
        return 1;
    case audioMasterGetTime:
        if (!providesTimeInfo) return 0;
        return reinterpret_cast<intptr_t>(&timeInfo);
    case audioMasterProcessEvents:
        receive(static_cast<const VstEvents*>(ptr));
        return 1;
    case audioMasterGetSampleRate:
        return static_cast<intptr_t>(rate);
    case audioMasterGetBlockSize:
        return options.maxBlockSize;
    case audioMasterGetCurrentProcessLevel:
        return 0;
    case audioMasterGetVendorString:
        copyString(ptr, "Zandrel developers", 64);
        return 1;
    case audioMasterGetProductString:
        copyString(ptr, options.productString, 64);
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    case audioMasterCanDo:
        return 0;
    case audioMasterUpdateDisplay:
        ++updateDisplayCalls;
        if (observer) observer("updateDisplay", 0, 0.0f);
        return 1;
    case audioMasterAutomate:
        automated.emplace_back(index, opt);
        if (observer) observer("automate", index, opt);
        return 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        if (observer) observer(opcode == audioMasterBeginEdit ? "begin" : "end", index, 0.0f);
        return 1;
    case audioMasterSizeWindow:
        if (observer) observer("size", index, static_cast<float>(value));
        return sizeWindowHandler ? (sizeWindowHandler(index, static_cast<int32_t>(value)) ? 1 : 0)
                                 : 1;
    default:
        (void)value;
        return 0;
    }
}

void PluginHost::receive(const VstEvents* incoming) {
    if (!incoming) return;
    for (int32_t i = 0; i < incoming->numEvents; ++i) {
        const VstEvent* e = incoming->events[i];
        if (!e) continue;
        ReceivedEvent r{};
        r.type = e->type;
        r.byteSize = e->byteSize;
        r.deltaFrames = e->deltaFrames;
        r.blockFrames = currentBlockFrames;
        r.sampleTime = sampleClock + e->deltaFrames;
        if (e->type == kVstMidiType) {
            const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
            r.status = static_cast<uint8_t>(m->midiData[0]);
            r.data1 = static_cast<uint8_t>(m->midiData[1]);
            r.data2 = static_cast<uint8_t>(m->midiData[2]);
        }
        events.push_back(r);
    }
}

intptr_t PluginHost::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    if (!effect) return 0;
    InsidePlugin inside;
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void PluginHost::setParameter(int32_t index, float value) {
    if (!effect) return;
    InsidePlugin inside;
    effect->setParameter(effect, index, value);
}

float PluginHost::getParameter(int32_t index) {
    if (!effect) return 0.0f;
    InsidePlugin inside;
    return effect->getParameter(effect, index);
}

std::string PluginHost::parameterName(int32_t index) {
    char text[256] = {};
    dispatch(effGetParamName, index, 0, text);
    return text;
}

std::string PluginHost::parameterLabel(int32_t index) {
    char text[256] = {};
    dispatch(effGetParamLabel, index, 0, text);
    return text;
}

std::string PluginHost::parameterDisplay(int32_t index) {
    char text[256] = {};
    dispatch(effGetParamDisplay, index, 0, text);
    return text;
}

std::string PluginHost::stringQuery(int32_t opcode) {
    char text[256] = {};
    dispatch(opcode, 0, 0, text);
    return text;
}

int32_t PluginHost::canDo(const char* what) {
    return static_cast<int32_t>(dispatch(effCanDo, 0, 0, const_cast<char*>(what)));
}

bool PluginHost::editorRect(int32_t& width, int32_t& height) {
    ERect* rect = nullptr;
    if (!dispatch(effEditGetRect, 0, 0, &rect) || !rect) return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

bool PluginHost::openEditor(void* parentWindow) {
    return dispatch(effEditOpen, 0, 0, parentWindow) != 0;
}

void PluginHost::idleEditor() {
    dispatch(effEditIdle);
}

void PluginHost::closeEditor() {
    dispatch(effEditClose);
}

double PluginHost::currentPpq() const {
    if (!playing) return ppqAnchor;
    return ppqAnchor +
           static_cast<double>(sampleClock - sampleAnchor) * timeInfo.tempo / (60.0 * rate);
}

void PluginHost::reanchor(double ppq) {
    ppqAnchor = ppq;
    sampleAnchor = sampleClock;
    timeInfo.ppqPos = ppq;
}

void PluginHost::setTempo(double bpm) {
    reanchor(currentPpq());
    timeInfo.tempo = bpm;
}

void PluginHost::setPlaying(bool play) {
    reanchor(currentPpq());
    if (play != playing) timeInfo.flags |= kVstTransportChanged;
    playing = play;
}

void PluginHost::locate(double ppq) {
    reanchor(ppq);
}

void PluginHost::setLoop(bool active, double startPpq, double endPpq) {
    timeInfo.cycleStartPos = startPpq;
    timeInfo.cycleEndPos = endPpq;
    if (active)
        timeInfo.flags |= kVstTransportCycleActive;
    else
        timeInfo.flags &= ~kVstTransportCycleActive;
}

void PluginHost::setSampleRate(double newRate) {
    rate = newRate;
    timeInfo.sampleRate = rate;
    dispatch(effMainsChanged, 0, 0);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    dispatch(effMainsChanged, 0, 1);
}

void PluginHost::release() {
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
}

void PluginHost::prepare(double newRate, int32_t maxBlockSize) {
    rate = newRate;
    timeInfo.sampleRate = rate;
    options.maxBlockSize = maxBlockSize;
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    dispatch(effSetBlockSize, 0, maxBlockSize);
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
}

void PluginHost::queueMidi(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2) {
    VstMidiEvent e{};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = deltaFrames;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    pending.push_back(e);
}

void PluginHost::noteOn(int32_t deltaFrames, int channel, int note, int velocity) {
    queueMidi(deltaFrames, static_cast<uint8_t>(0x90 | ((channel - 1) & 15)),
              static_cast<uint8_t>(note), static_cast<uint8_t>(velocity));
}

void PluginHost::noteOff(int32_t deltaFrames, int channel, int note) {
    queueMidi(deltaFrames, static_cast<uint8_t>(0x80 | ((channel - 1) & 15)),
              static_cast<uint8_t>(note), 0);
}

void PluginHost::controller(int32_t deltaFrames, int channel, int number, int value) {
    queueMidi(deltaFrames, static_cast<uint8_t>(0xB0 | ((channel - 1) & 15)),
              static_cast<uint8_t>(number), static_cast<uint8_t>(value));
}

void PluginHost::processBlock(int32_t frames) {
    if (!effect) return;
    currentBlockFrames = frames;
    const size_t needed = static_cast<size_t>(std::max(frames, 1));
    if (left.size() < needed) {
        left.resize(needed);
        right.resize(needed);
    }
    // Position from an anchor, as hosts derive it from their sample clock:
    // no error builds up over a long session. A loop wraps at a block's start.
    double ppq = currentPpq();
    if (playing && (timeInfo.flags & kVstTransportCycleActive) &&
        timeInfo.cycleEndPos > timeInfo.cycleStartPos && ppq >= timeInfo.cycleEndPos) {
        ppq = timeInfo.cycleStartPos + std::fmod(ppq - timeInfo.cycleStartPos,
                                                 timeInfo.cycleEndPos - timeInfo.cycleStartPos);
        reanchor(ppq);
    }
    timeInfo.ppqPos = ppq;
    timeInfo.samplePos = static_cast<double>(sampleClock);
    timeInfo.sampleRate = rate;
    timeInfo.flags |= kVstPpqPosValid | kVstTempoValid;
    if (playing)
        timeInfo.flags |= kVstTransportPlaying;
    else
        timeInfo.flags &= ~kVstTransportPlaying;

    if (!pending.empty()) {
        auto* block = reinterpret_cast<VstEvents*>(eventBlock.data());
        const size_t capacity = // pointers the block has room for
            (eventBlock.size() - offsetof(VstEvents, events)) /
            sizeof(VstEvent*); // NOLINT(bugprone-sizeof-expression)
        const size_t n = std::min(pending.size(), capacity);
        block->numEvents = static_cast<int32_t>(n);
        block->reserved = 0;
        for (size_t i = 0; i < n; ++i) block->events[i] = reinterpret_cast<VstEvent*>(&pending[i]);
        dispatch(effProcessEvents, 0, 0, block);
    }
    float* outputs[2] = {left.data(), right.data()};
    {
        InsidePlugin inside;
        effect->processReplacing(effect, nullptr, outputs, frames);
    }
    pending.clear();
    if (captureAudio) {
        audioLeft.insert(audioLeft.end(), left.begin(), left.begin() + frames);
        audioRight.insert(audioRight.end(), right.begin(), right.begin() + frames);
    }

    sampleClock += frames;
    timeInfo.flags &= ~kVstTransportChanged;
}

void PluginHost::run(int64_t frames, int32_t blockSize) {
    while (frames > 0) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(frames, blockSize));
        processBlock(n);
        frames -= n;
    }
}
