#include "zand_dsp.h"

#include "parameter_indices.h"
#include "text_copy.h"

#include <cstdlib>
#include <cstring>

ZandDSP::ZandDSP(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, 1, param::kHostParameterCount), engine(*this, setupFromHost()) {
    setNumInputs(0);
    setNumOutputs(2);
    canProcessReplacing();
    setUniqueID(kZandrelUniqueId);
    isSynth();
    programsAreChunks();

    // The host event block: header with 4096 pointers, 4096 records.
    // The header holds an array of pointers: the size of a pointer is meant.
    // NOLINTNEXTLINE(bugprone-sizeof-expression)
    const size_t header = offsetof(VstEvents, events) + kMaxOutputEvents * sizeof(VstEvent*);
    hostEvents = static_cast<VstEvents*>(std::calloc(1, header));
    hostEventRecords =
        static_cast<VstMidiEvent*>(std::calloc(kMaxOutputEvents, sizeof(VstMidiEvent)));
    if (!hostEvents || !hostEventRecords) std::abort();
    hostEvents->numEvents = 0;

    resume();
}

ZandDSP::~ZandDSP() {
    std::free(hostEventRecords);
    std::free(hostEvents);
}

EngineSetup ZandDSP::setupFromHost() {
    getHostProductString(hostProduct);
    hostProduct[kVstMaxProductStrLen] = 0;
    return {getSampleRate(), hostProduct};
}

bool ZandDSP::getEffectName(char* name) {
    copyText(name, "Zandrel", kVstMaxEffectNameLen);
    return true;
}

bool ZandDSP::getVendorString(char* text) {
    copyText(text, "Vrek Records", kVstMaxVendorStrLen);
    return true;
}

bool ZandDSP::getProductString(char* text) {
    copyText(text, "Zandrel", kVstMaxProductStrLen);
    return true;
}

int32_t ZandDSP::canDo(char* text) {
    static const char* const kCanDo[] = {"receiveVstEvents",   "receiveVstMidiEvent",
                                         "receiveVstTimeInfo", "plugAsChannelInsert",
                                         "sendVstMidiEvent",   "sendVstEvents"};
    for (const char* s : kCanDo)
        if (std::strcmp(text, s) == 0) return 1;
    return -1;
}

intptr_t ZandDSP::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    // The host prepares to process: program changes may now need the worker.
    if (opcode == effMainsChanged && value != 0) engine.startWorker();
    return AudioEffectX::dispatcher(opcode, index, value, ptr, opt);
}

intptr_t ZandDSP::vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) {
    if (value != kVendorMagic) return 0;
    const char* path = static_cast<const char*>(ptr);
    switch (index) {
    case kVendorLoadChordPreset:
        return path && engine.loadPresetFile(kChordBank, path) ? 1 : 0;
    case kVendorLoadArpPreset:
        return path && engine.loadPresetFile(kArpBank, path) ? 1 : 0;
    case kVendorSavePreset: {
        if (!path) return 0;
        const PresetKind kind = opt == 1.0f   ? PresetKind::kChords
                                : opt == 2.0f ? PresetKind::kArp
                                              : PresetKind::kWholeState;
        return engine.savePreset(kind, path) ? 1 : 0;
    }
    case kVendorSetPath:
        if (!path) return 0;
        engine.presetPath() = path;
        return 1;
    case kVendorImportMidi:
        return path && engine.importMidiFile(path) ? 1 : 0;
    case kVendorSaveCsv:
        return path && engine.saveChordList(path) ? 1 : 0;
    case kVendorSeedRandom:
        if (!ptr) return 0;
        engine.seedRandom(*static_cast<uint64_t*>(ptr));
        return 1;
    case kVendorRunDeferred:
        engine.runDeferredWork();
        return 1;
    case kVendorHoldDeferred:
        engine.holdDeferredWork(opt >= 0.5f);
        return 1;
    case kVendorUseReferencePath:
        engine.useReferencePath(opt >= 0.5f);
        return 1;
    default:
        return 0;
    }
}

void ZandDSP::suspend() {
    engine.suspend(getSampleRate());
}

void ZandDSP::resume() {
    wantEvents(1);
    setInitialDelay(0);
    engine.resume(getSampleRate());
}

void ZandDSP::setProgramName(char* name) {
    engine.setProgramName(name);
}

void ZandDSP::getProgramName(char* name) {
    copyText(name, engine.programName(), kVstMaxProgNameLen);
}

bool ZandDSP::getProgramNameIndexed(int32_t /*category*/, int32_t index, char* text) {
    if (index != 0) return false;
    copyText(text, engine.programName(), kVstMaxProgNameLen);
    return true;
}

void ZandDSP::setParameter(int32_t index, float value) {
    engine.setParameter(index, value);
}

float ZandDSP::getParameter(int32_t index) {
    return engine.getParameter(index);
}

void ZandDSP::getParameterName(int32_t index, char* text) {
    engine.getParameterName(index, text);
}

void ZandDSP::getParameterLabel(int32_t index, char* text) {
    engine.getParameterLabel(index, text);
}

void ZandDSP::getParameterDisplay(int32_t index, char* text) {
    engine.getParameterDisplay(index, text);
}

int32_t ZandDSP::getChunk(void** data, bool /*isPreset*/) {
    return engine.getChunk(data);
}

int32_t ZandDSP::setChunk(void* data, int32_t byteSize, bool /*isPreset*/) {
    return engine.setChunk(data, byteSize);
}

int32_t ZandDSP::processEvents(VstEvents* events) {
    if (!events) return 1;
    const int32_t count = events->numEvents;
    int32_t taken = 0;
    auto handOn = [&] {
        engine.receiveMidi(incoming, taken);
        taken = 0;
    };
    for (int32_t i = 0; i < count; ++i) {
        const VstEvent* e = events->events[i];
        if (!e || e->type != kVstMidiType) continue;
        const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
        incoming[taken++] = {m->deltaFrames, static_cast<uint8_t>(m->midiData[0]),
                             static_cast<uint8_t>(m->midiData[1]),
                             static_cast<uint8_t>(m->midiData[2])};
        if (taken == static_cast<int32_t>(std::size(incoming))) handOn();
    }
    // Even a block without MIDI takes what other threads left for it.
    handOn();
    return 1;
}

void ZandDSP::processReplacing(float** /*inputs*/, float** outputs, int32_t sampleFrames) {
    const VstTimeInfo* info = getTimeInfo(kVstPpqPosValid | kVstTempoValid | kVstClockValid);
    TransportInfo transport{};
    if (info) {
        transport.playing = (info->flags & kVstTransportPlaying) != 0;
        transport.loopActive = (info->flags & kVstTransportCycleActive) != 0;
        transport.tempo = info->tempo;
        transport.beatPosition = info->ppqPos;
        transport.loopStart = info->cycleStartPos;
        transport.loopEnd = info->cycleEndPos;
    }
    engine.processBlock(outputs ? outputs[0] : nullptr, outputs ? outputs[1] : nullptr,
                        sampleFrames, info ? &transport : nullptr);
}

void ZandDSP::sendMidi(const MidiMessage* events, int32_t count) noexcept {
    const int32_t n = count < kMaxOutputEvents ? count : kMaxOutputEvents;
    for (int32_t k = 0; k < n; ++k) {
        VstMidiEvent& e = hostEventRecords[k];
        std::memset(&e, 0, sizeof e);
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = events[k].frame;
        e.midiData[0] = static_cast<char>(events[k].status);
        e.midiData[1] = static_cast<char>(events[k].data1);
        e.midiData[2] = static_cast<char>(events[k].data2);
        hostEvents->events[k] = reinterpret_cast<VstEvent*>(&e);
    }
    hostEvents->numEvents = n;
    sendVstEventsToHost(hostEvents);
}

void ZandDSP::displayChanged() {
    updateDisplay();
}
