#include "zand_dsp.h"

#include "csv_export.h"

#include "parameter_indices.h"
#include "preview_voice_kernel.h"
#include "state_chunk.h"
#include "waveform_table.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

uint64_t initialSeed() {
    // Renders and tests pin the seed; otherwise every instance differs.
    if (const char* env = std::getenv("ZANDREL_SEED"); env && *env)
        return std::strtoull(env, nullptr, 0);
    return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

void copyText(char* dest, const char* src, size_t capacity) {
    const size_t n = strnlen(src, capacity - 1);
    std::memcpy(dest, src, n);
    dest[n] = 0;
}

} // namespace

ZandDSP::ZandDSP(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, 1, param::kHostParameterCount), random(initialSeed()) {
    st = EngineState{};
    // 1. Run-time bookkeeping.
    renderBusy[0] = 0;
    renderBusy[1] = 0;
    st.currentLane = 0;
    st.editorScaleValue = 0.0f;
    std::memset(st.occupancyMarks, 0, sizeof st.occupancyMarks);

    // 2. The host's name: Live gets no "Song Options" menu.
    char product[kVstMaxProductStrLen + 1] = {};
    getHostProductString(product);
    product[kVstMaxProductStrLen] = 0;
    st.hostIsLive = std::strcmp(product, "Live") == 0;
    diag("\n %s", product);

    // 3. Program and switches.
    copyText(st.programName, "Default Program", sizeof st.programName);
    st.previewMuted = 0;
    st.midiLatch = 0;
    st.latchActive = 0;

    // 4., 5. Preview synthesizer.
    waveform = waveformTable();
    widenedWaveform = widenedWaveformTable();
    previewKernelAvailable(); // decided here, not on the real-time thread
    std::memset(st.previewVoice, 0, sizeof st.previewVoice);
    st.nextVoice = 0;

    // 6. Routing and identity.
    st.xmitVoicesCh3 = 0;
    st.xmitChordsCh2 = 0;
    setNumInputs(0);
    setNumOutputs(2);
    canProcessReplacing();
    setUniqueID(kZandrelUniqueId);
    applySampleRateRule(AudioEffect::sampleRate);
    isSynth();

    // 7. The host event block: header with 4096 pointers, 4096 records.
    // The header holds an array of pointers: the size of a pointer is meant.
    // NOLINTNEXTLINE(bugprone-sizeof-expression)
    const size_t header = offsetof(VstEvents, events) + kMaxOutputEvents * sizeof(VstEvent*);
    hostEvents = static_cast<VstEvents*>(std::calloc(1, header));
    hostEventRecords =
        static_cast<VstMidiEvent*>(std::calloc(kMaxOutputEvents, sizeof(VstMidiEvent)));
    if (!hostEvents || !hostEventRecords) std::abort();
    hostEvents->numEvents = 0;

    // 8., 9. Working lists (the output list reserves its block maximum).
    outputEvents.clear();
    programsAreChunks();
    st.transpose = 24;

    // Clock constants that the resets rely on.
    st.tempo = 1.0;
    st.samplesPerBeat = 60.0 / st.tempo * st.sampleRate;
    st.beatsPerSample = 1.0 / st.samplesPerBeat;
    st.freeIncrement = 0.0001;
    st.freeStepSamples = 1.0;
    st.arpWalk = -1;
    st.lastControllerNumber = 1;

    worker = std::make_unique<BackgroundWorker>(
        realtimeLog, [this](int32_t index, float value) { runDeferred(index, value); });

    chunkBuffer.resize(kStateChunkSize);
    // The presets folder and the configuration, read where the editor
    // object would read them, so that program change and the options work
    // in a host that never opens the window.
    presets = std::make_unique<PresetLibrary>();
    applyConfiguration(presets->configuration());

    // 10. Chord memory, arpeggiator, clipboard.
    resetChordMemory();
    resetArpeggiator();
    resetPattern(st.arpClipboard);

    // 11.
    std::memset(st.keyDown, 0, sizeof st.keyDown);
    st.lastTriggerVelocity = 100;

    // 12.
    resume();
}

ZandDSP::~ZandDSP() {
    worker.reset();
    std::free(hostEventRecords);
    std::free(hostEvents);
}

void ZandDSP::applySampleRateRule(float rate) {
    // Hosts below 44 kHz get the engine's timing at 44100.
    st.sampleRate = rate < 44000.0f ? 44100.0f : rate;
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

intptr_t ZandDSP::vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) {
    if (value != kVendorMagic) return 0;
    const char* path = static_cast<const char*>(ptr);
    switch (index) {
    case kVendorLoadChordPreset:
        return path && loadPresetFile(kChordBank, path) ? 1 : 0;
    case kVendorLoadArpPreset:
        return path && loadPresetFile(kArpBank, path) ? 1 : 0;
    case kVendorSavePreset: {
        if (!path) return 0;
        const PresetKind kind = opt == 1.0f   ? PresetKind::kChords
                                : opt == 2.0f ? PresetKind::kArp
                                              : PresetKind::kWholeState;
        return savePreset(kind, path) ? 1 : 0;
    }
    case kVendorSetPath:
        if (!path) return 0;
        pathBuffer = path;
        return 1;
    case kVendorImportMidi:
        return path && importMidiFile(path) ? 1 : 0;
    case kVendorSaveCsv:
        if (!path) return 0;
        pathBuffer = path;
        return saveChordsCsv(st, pathBuffer) ? 1 : 0;
    case kVendorSeedRandom:
        if (!ptr) return 0;
        seedRandom(*static_cast<uint64_t*>(ptr));
        return 1;
    case kVendorRunDeferred:
        runDeferredWork();
        return 1;
    case kVendorHoldDeferred:
        worker->holdForHost(opt >= 0.5f);
        return 1;
    case kVendorUseReferencePath:
        referencePath.store(opt >= 0.5f, std::memory_order_relaxed);
        return 1;
    default:
        return 0;
    }
}

void ZandDSP::suspend() {
    applySampleRateRule(getSampleRate());
}

void ZandDSP::resume() {
    wantEvents(1);
    setInitialDelay(0);
    applySampleRateRule(getSampleRate());
    st.samplesPerBeat = 60.0 / st.tempo * st.sampleRate;
    st.beatsPerSample = 1.0 / st.samplesPerBeat;
    // An arp note that sounds now would lose the note-off its length gives
    // it: that note-off only ends notes still marked as sounding. End them
    // at the start of the next block instead.
    for (int n = 1; n < kKeyCount; ++n)
        if (st.arpNoteOn[n])
            handOver({PendingSend::kArpNoteOff, 0x80, static_cast<uint8_t>(n), 0, 1});
    std::memset(st.outNoteOn, 0, sizeof st.outNoteOn);
    std::memset(st.arpNoteOn, 0, sizeof st.arpNoteOn);
    st.paramGuardBlocks = 0;
    st.hostAnchor = 0.0;
    st.predictedPos = 0.0;
    st.freePhase = 0.0;
}

void ZandDSP::setProgramName(char* name) {
    // Longer names are cut to the field.
    copyText(st.programName, name, sizeof st.programName);
}

void ZandDSP::getProgramName(char* name) {
    copyText(name, st.programName, kVstMaxProgNameLen);
}

bool ZandDSP::getProgramNameIndexed(int32_t /*category*/, int32_t index, char* text) {
    if (index != 0) return false;
    copyText(text, st.programName, kVstMaxProgNameLen);
    return true;
}

void ZandDSP::runDeferredWork() {
    worker->runPending();
}

bool ZandDSP::handOver(const PendingSend& send) {
    if (pendingSends.push(send)) {
        handOverDropTold.store(false, std::memory_order_relaxed);
        return true;
    }
    if (!handOverDropTold.exchange(true, std::memory_order_relaxed))
        diag("\n editor events dropped: the host has not processed a block for a while");
    return false;
}

void ZandDSP::diag(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (ownsOutput()) {
        LogLine line;
        std::vsnprintf(line.text, sizeof line.text, format, args);
        realtimeLog.push(line);
    } else {
        std::vfprintf(stderr, format, args);
    }
    va_end(args);
}
