#include "zand_engine.h"

#include "csv_export.h"
#include "diagnostics.h"
#include "parameter_indices.h"
#include "preview_voice_kernel.h"
#include "state_chunk.h"
#include "text_copy.h"
#include "waveform_table.h"

#include <chrono>
#include <cstdarg>
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

} // namespace

ZandEngine::ZandEngine(HostPort& hostPort, const EngineSetup& setup)
    : port(&hostPort), random(initialSeed()) {
    chooseDiagnosticsSink();
    st = EngineState{};
    // 1. Run-time bookkeeping.
    st.currentLane = 0;
    st.editorScaleValue = 0.0f;
    std::memset(st.occupancyMarks, 0, sizeof st.occupancyMarks);

    // 2. The host's name: Live gets no "Song Options" menu.
    const char* product = setup.hostProduct ? setup.hostProduct : "";
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

    // 6. Routing.
    st.xmitVoicesCh3 = 0;
    st.xmitChordsCh2 = 0;
    applySampleRateRule(setup.sampleRate);

    // 8., 9. Working lists (the output list reserves its block maximum).
    outputEvents.clear();
    st.transpose = 24;

    // Clock constants that the resets rely on.
    st.tempo = 1.0;
    st.samplesPerBeat = 60.0 / st.tempo * st.sampleRate;
    st.beatsPerSample = 1.0 / st.samplesPerBeat;
    st.freeIncrement = 0.0001;
    st.freeStepSamples = 1.0;
    st.arpWalk = -1;
    st.lastControllerNumber = 1;

    worker = std::make_unique<WorkerClient>(
        realtimeLog, [this](int32_t index, float value) { runDeferred(index, value); });

    chunkBuffer.resize(kStateChunkSize);
    // The presets folder and the configuration, read where the editor
    // object would read them, so that program change and the options work
    // in a host that never opens the window.
    presets = std::make_unique<PresetLibrary>();
    applyConfiguration(presets->configuration());
    // A new instance sounds its preview only when the configuration asks:
    // most users have an instrument after Zandrel.
    st.previewMuted = st.configuredPreviewSound ? 0 : 1;

    // 10. Chord memory, arpeggiator, clipboard.
    resetChordMemory();
    resetArpeggiator();
    resetPattern(st.arpClipboard);

    // 11.
    std::memset(st.keyDown, 0, sizeof st.keyDown);
    st.lastTriggerVelocity = 100;

    // 12.
    resume(setup.sampleRate);
}

ZandEngine::ZandEngine(OfflineCopy, const ZandEngine& live)
    : port(nullptr), offline(true), st(live.st), waveform(live.waveform),
      widenedWaveform(live.widenedWaveform) {
    random.copyFrom(live.random);
}

ZandEngine::~ZandEngine() = default;

void ZandEngine::applySampleRateRule(float rate) noexcept {
    // Hosts below 44 kHz get the engine's timing at 44100.
    st.sampleRate = rate < 44000.0f ? 44100.0f : rate;
}

void ZandEngine::startWorker() {
    WorkerClient::startThread();
}

void ZandEngine::suspend(float hostSampleRate) {
    applySampleRateRule(hostSampleRate);
}

void ZandEngine::resume(float hostSampleRate) {
    applySampleRateRule(hostSampleRate);
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

void ZandEngine::setProgramName(const char* name) {
    // Longer names are cut to the field.
    copyText(st.programName, name, sizeof st.programName);
}

void ZandEngine::runDeferredWork() {
    if (worker) worker->runPending();
}

void ZandEngine::holdDeferredWork(bool hold) {
    if (worker) worker->holdForHost(hold);
}

bool ZandEngine::saveChordList(const std::string& path) {
    pathBuffer = path;
    return saveChordsCsv(st, pathBuffer);
}

bool ZandEngine::handOver(const PendingSend& send) noexcept {
    const bool realtime =
        betweenPartsOwner.load(std::memory_order_acquire) == std::this_thread::get_id();
    if (realtime ? pendingSends.pushFromRealtime(send) : pendingSends.push(send)) {
        handOverDropTold.store(false, std::memory_order_relaxed);
        return true;
    }
    if (!handOverDropTold.exchange(true, std::memory_order_relaxed))
        diag("\n editor events dropped: the host has not processed a block for a while");
    return false;
}

void ZandEngine::notifyEditor(int32_t index, float value) noexcept {
    if (onRealtimeThread()) {
        // Full means the editor is not collecting (window closed): it
        // rebuilds what it shows when it opens, so dropping is harmless.
        fromRealtime.push({index, value});
        return;
    }
    // Counted before the link is read: an editor going away waits for this
    // call to leave it (setEditorLink).
    editorLinkUsers.fetch_add(1);
    if (EditorLink* link = editorLink.load()) link->setParameter(index, value);
    editorLinkUsers.fetch_sub(1);
}

void ZandEngine::setEditorLink(EditorLink* link) {
    editorLink.store(link);
    // A worker or automation thread may have read the old link just before:
    // wait the few instructions until its call has left the old editor.
    while (editorLinkUsers.load() != 0) std::this_thread::yield();
}

void ZandEngine::deliverEditorNotifications() {
    Notification n;
    EditorLink* link = editorLink.load();
    while (fromRealtime.pop(n))
        if (link) link->setParameter(n.index, n.value);
}

void ZandEngine::diag(const char* format, ...) const noexcept {
    if (!diagnosticsEnabled()) return;
    va_list args;
    va_start(args, format);
    if (onRealtimeThread() && !offline) {
        LogLine line;
        std::vsnprintf(line.text, sizeof line.text, format, args);
        realtimeLog.push(line);
    } else {
        char text[1024];
        std::vsnprintf(text, sizeof text, format, args);
        writeDiagnostic(text);
    }
    va_end(args);
}
