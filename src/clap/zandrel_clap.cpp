#include "zandrel_clap.h"

#include "clap_extensions.h"
#include "diagnostics.h"

#include <cstring>

namespace {

ZandrelClap* self(const clap_plugin* p) {
    return ZandrelClap::of(p);
}

bool pluginInit(const clap_plugin* p) {
    return self(p)->init();
}
void pluginDestroy(const clap_plugin* p) {
    delete self(p);
}
bool pluginActivate(const clap_plugin* p, double rate, uint32_t minFrames, uint32_t maxFrames) {
    return self(p)->activate(rate, minFrames, maxFrames);
}
void pluginDeactivate(const clap_plugin* p) {
    self(p)->deactivate();
}
bool pluginStartProcessing(const clap_plugin* p) {
    return self(p)->startProcessing();
}
void pluginStopProcessing(const clap_plugin* p) {
    self(p)->stopProcessing();
}
void pluginReset(const clap_plugin* p) {
    self(p)->reset();
}
clap_process_status pluginProcess(const clap_plugin* p, const clap_process* process) {
    return process ? self(p)->process(*process) : CLAP_PROCESS_ERROR;
}
const void* pluginExtension(const clap_plugin* p, const char* id) {
    return id ? self(p)->extension(id) : nullptr;
}
void pluginOnMainThread(const clap_plugin* p) {
    self(p)->onMainThread();
}

} // namespace

ZandrelClap::ZandrelClap(const clap_host* clapHost)
    : host(clapHost), mainThread(std::this_thread::get_id()),
      // The host's rate comes with activate; until then the engine's own.
      engine(*this, EngineSetup{44100.0f, clapHost && clapHost->name ? clapHost->name : ""}) {
    plugin.desc = &kZandrelDescriptor;
    plugin.plugin_data = this;
    plugin.init = pluginInit;
    plugin.destroy = pluginDestroy;
    plugin.activate = pluginActivate;
    plugin.deactivate = pluginDeactivate;
    plugin.start_processing = pluginStartProcessing;
    plugin.stop_processing = pluginStopProcessing;
    plugin.reset = pluginReset;
    plugin.process = pluginProcess;
    plugin.get_extension = pluginExtension;
    plugin.on_main_thread = pluginOnMainThread;
}

ZandrelClap::~ZandrelClap() {
    // The editor reads the engine to its last moment: it goes first.
    destroyEditor();
}

bool ZandrelClap::init() {
    // The host's main thread is the one that initialises us.
    mainThread = std::this_thread::get_id();
    if (host && host->get_extension) {
        hostParams =
            static_cast<const clap_host_params*>(host->get_extension(host, CLAP_EXT_PARAMS));
        threadCheck = static_cast<const clap_host_thread_check*>(
            host->get_extension(host, CLAP_EXT_THREAD_CHECK));
    }
    return true;
}

bool ZandrelClap::activate(double rate, uint32_t /*minFrames*/, uint32_t /*maxFrames*/) {
    if (active || !(rate > 0.0)) return false;
    sampleRate = rate;
    engine.resume(static_cast<float>(rate));
    // Program changes may now need the worker that reads their presets.
    engine.startWorker();
    active = true;
    return true;
}

void ZandrelClap::deactivate() {
    if (!active) return;
    engine.suspend(static_cast<float>(sampleRate));
    active = false;
}

bool ZandrelClap::startProcessing() {
    return active;
}

void ZandrelClap::stopProcessing() {}

void ZandrelClap::reset() noexcept {
    // What sounds ends, as with an all-notes-off at the next block's start
    // (here, outside a block, the engine would have to queue it with a
    // lock); parameters and chords stay.
    resetDue.store(true);
}

const void* ZandrelClap::extension(const char* id) const {
    if (std::strcmp(id, CLAP_EXT_NOTE_PORTS) == 0) return &kZandrelNotePorts;
    if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0) return &kZandrelAudioPorts;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kZandrelParams;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kZandrelState;
    if (std::strcmp(id, kZandrelServicesExtension) == 0) return &kZandrelServices;
#ifdef ZANDREL_WITH_EDITOR
    if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &kZandrelGui;
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kZandrelTimerSupport;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return &kZandrelPosixFdSupport;
#endif
    return nullptr;
}

bool ZandrelClap::calledOnMainThread() const {
    if (threadCheck && threadCheck->is_main_thread) return threadCheck->is_main_thread(host);
    return std::this_thread::get_id() == mainThread;
}

void ZandrelClap::onMainThread() {
    if (rescanDue.exchange(false)) rescanParameters();
}

void ZandrelClap::rescanParameters() {
    if (hostParams && hostParams->rescan)
        hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES | CLAP_PARAM_RESCAN_TEXT);
}

void ZandrelClap::displayChanged() {
    // After a load: values and texts (the rates' at the free rate) changed.
    if (loadingState) return; // the load rescans once at its end
    if (!insideAudioCall() && calledOnMainThread()) return rescanParameters();
    rescanDue.store(true);
    if (host && host->request_callback) host->request_callback(host);
}

void ZandrelClap::hostParameterChanged(int32_t index, float value) {
    if (insideAudioCall()) {
        // At the frame the engine has reached in the part being played.
        pushParameterChange(segmentStart + engine.engine().sampleInBlock, index, value);
        return;
    }
    if (calledOnMainThread()) {
        // Told with the next process or flush; if too many wait, the host
        // reads every value again instead.
        if (!queueFromMainThread({0, index, value})) rescanParameters();
        return;
    }
    // Another thread: the host reads the values again on its main thread.
    rescanDue.store(true);
    if (host && host->request_callback) host->request_callback(host);
}

bool ZandrelClap::queueFromMainThread(const ParameterChange& change) {
    const bool gestureEnd = change.type == CLAP_EVENT_PARAM_GESTURE_END;
    const size_t room = kFromMainThread - (gestureEnd ? 0 : kGestureReserve);
    if (fromMainThread.size() >= room || !fromMainThread.push(change)) {
        // A host that neither processes nor flushes while the editor is
        // dragged: what does not fit is dropped, and said once.
        if (!mainThreadQueueFull && diagnosticsEnabled())
            writeDiagnostic("\nCLAP: parameter changes for the host dropped: it neither "
                            "processes nor flushes");
        mainThreadQueueFull = true;
        return false;
    }
    mainThreadQueueFull = false;
    // The host calls flush, or sends them with its next process call.
    if (hostParams && hostParams->request_flush && !flushRequested.exchange(true))
        hostParams->request_flush(host);
    return true;
}

void ZandrelClap::editorGesture(int32_t index, bool begin) {
    if (index < 0 || index >= param::kHostParameterCount) return;
    const auto bit = static_cast<size_t>(index);
    // An end only for a begin the host has heard, and at most one gesture
    // per parameter at a time.
    if (begin == gestureOpen[bit]) return;
    ParameterChange c{0, index, 0.0f};
    c.type = begin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END;
    c.record = true;
    if (queueFromMainThread(c)) gestureOpen[bit] = begin;
}

void ZandrelClap::editorAutomate(int32_t index, float value) {
    if (index < 0 || index >= param::kHostParameterCount) return;
    ParameterChange c{0, index, value};
    c.record = true;
    // The engine has the value already; with no room, the host at least
    // reads it again.
    if (!queueFromMainThread(c)) rescanParameters();
}

#ifndef ZANDREL_WITH_EDITOR
// A build without a window offers no gui extension.
bool ZandrelClap::createEditor() {
    return false;
}
void ZandrelClap::destroyEditor() {}
#endif
