#include "clap_host.h"
#include "window_libraries.h"

#include "abi/posix_fd_support.h"
#include "abi/state.h"
#include "abi/thread_check.h"
#include "abi/timer_support.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <poll.h>

thread_local bool ClapHost::insidePlugin = false;

namespace {

class InsidePlugin {
public:
    InsidePlugin() : was(ClapHost::insidePlugin) { ClapHost::insidePlugin = true; }
    ~InsidePlugin() { ClapHost::insidePlugin = was; }
    InsidePlugin(const InsidePlugin&) = delete;
    InsidePlugin& operator=(const InsidePlugin&) = delete;

private:
    bool was;
};

class OutsidePlugin {
public:
    OutsidePlugin() : was(ClapHost::insidePlugin) { ClapHost::insidePlugin = false; }
    ~OutsidePlugin() { ClapHost::insidePlugin = was; }
    OutsidePlugin(const OutsidePlugin&) = delete;
    OutsidePlugin& operator=(const OutsidePlugin&) = delete;

private:
    bool was;
};

// Null for the host table of an abandoned instance.
ClapHost* hostOf(const clap_host* host) {
    return host ? static_cast<ClapHost*>(host->host_data) : nullptr;
}

// The host's side of a state stream, shaped as the test asks.
struct Stream {
    std::vector<uint8_t>* bytes;
    uint64_t position;
    ClapHost::StreamShape shape;

    uint64_t allowed(uint64_t size) const {
        uint64_t n = size;
        if (shape.chunkBytes > 0) n = std::min(n, shape.chunkBytes);
        return n;
    }
    bool failsNow() const {
        return shape.failAfter >= 0 && position >= static_cast<uint64_t>(shape.failAfter);
    }
};

int64_t streamRead(const clap_istream* stream, void* buffer, uint64_t size) {
    OutsidePlugin outside;
    auto* s = static_cast<Stream*>(stream->ctx);
    if (s->failsNow()) return -1;
    const uint64_t n = std::min(s->allowed(size), s->bytes->size() - s->position);
    if (n > 0) std::memcpy(buffer, s->bytes->data() + s->position, n);
    s->position += n;
    return static_cast<int64_t>(n);
}

int64_t streamWrite(const clap_ostream* stream, const void* buffer, uint64_t size) {
    OutsidePlugin outside;
    auto* s = static_cast<Stream*>(stream->ctx);
    if (s->failsNow()) return -1;
    const uint64_t n = s->allowed(size);
    const auto* from = static_cast<const uint8_t*>(buffer);
    s->bytes->insert(s->bytes->end(), from, from + n);
    s->position += n;
    return static_cast<int64_t>(n);
}

bool isMainThread(const clap_host* host);
bool isAudioThread(const clap_host* host);
void paramsRescan(const clap_host* host, uint32_t flags);
void paramsClear(const clap_host* /*host*/, clap_id /*id*/, uint32_t /*flags*/) {}
void paramsRequestFlush(const clap_host* host);
void stateMarkDirty(const clap_host* host);

void guiResizeHintsChanged(const clap_host* /*host*/) {}
bool guiRequestResize(const clap_host* host, uint32_t width, uint32_t height);
bool guiRequestShowOrHide(const clap_host* /*host*/) {
    return false;
}
void guiClosed(const clap_host* /*host*/, bool /*wasDestroyed*/) {}
bool registerTimer(const clap_host* host, uint32_t periodMs, clap_id* id);
bool unregisterTimer(const clap_host* host, clap_id id);
bool registerFd(const clap_host* host, int fd, uint32_t flags);
bool modifyFd(const clap_host* host, int fd, uint32_t flags);
bool unregisterFd(const clap_host* host, int fd);

const clap_host_thread_check kThreadCheck = {isMainThread, isAudioThread};
const clap_host_gui kHostGui = {guiResizeHintsChanged, guiRequestResize, guiRequestShowOrHide,
                                guiRequestShowOrHide, guiClosed};
const clap_host_timer_support kHostTimers = {registerTimer, unregisterTimer};
const clap_host_posix_fd_support kHostFds = {registerFd, modifyFd, unregisterFd};
const clap_host_params kHostParams = {paramsRescan, paramsClear, paramsRequestFlush};
const clap_host_state kHostState = {stateMarkDirty};

} // namespace

// The host's extensions reach its private counters through these.
struct ClapHostAccess {
    static bool isMain(const ClapHost& h) { return std::this_thread::get_id() == h.mainThread; }
    static void rescan(ClapHost& h, uint32_t flags) {
        ++h.rescans;
        h.rescanFlags |= flags;
    }
    static void requestFlush(ClapHost& h) { ++h.flushRequests; }
    static void markDirty(ClapHost& h) { ++h.dirtyMarks; }
    static clap_id nextTimerId(ClapHost& h) { return h.timerIds++; }
};

namespace {
bool isMainThread(const clap_host* host) {
    const ClapHost* h = hostOf(host);
    return h && ClapHostAccess::isMain(*h);
}
bool isAudioThread(const clap_host* host) {
    // The host's one thread processes too, inside the plug-in's process.
    const ClapHost* h = hostOf(host);
    return h && ClapHostAccess::isMain(*h);
}
void paramsRescan(const clap_host* host, uint32_t flags) {
    if (ClapHost* h = hostOf(host)) ClapHostAccess::rescan(*h, flags);
}
void paramsRequestFlush(const clap_host* host) {
    if (ClapHost* h = hostOf(host)) ClapHostAccess::requestFlush(*h);
}
void stateMarkDirty(const clap_host* host) {
    if (ClapHost* h = hostOf(host)) ClapHostAccess::markDirty(*h);
}
bool guiRequestResize(const clap_host* host, uint32_t width, uint32_t height) {
    // The host's window takes the size the plug-in asks for.
    ClapHost* h = hostOf(host);
    if (!h) return false;
    h->resizeRequests.emplace_back(width, height);
    return true;
}
bool registerTimer(const clap_host* host, uint32_t periodMs, clap_id* id) {
    ClapHost* h = hostOf(host);
    if (!h || !id) return false;
    *id = ClapHostAccess::nextTimerId(*h);
    h->timers.push_back({*id, periodMs});
    return true;
}
bool unregisterTimer(const clap_host* host, clap_id id) {
    ClapHost* h = hostOf(host);
    if (!h) return false;
    return std::erase_if(h->timers, [id](const ClapHost::Timer& t) { return t.id == id; }) > 0;
}
bool registerFd(const clap_host* host, int fd, uint32_t flags) {
    ClapHost* h = hostOf(host);
    if (!h || fd < 0 || std::ranges::any_of(h->fds, [fd](auto& f) { return f.first == fd; }))
        return false;
    h->fds.emplace_back(fd, flags);
    return true;
}
bool modifyFd(const clap_host* host, int fd, uint32_t flags) {
    ClapHost* h = hostOf(host);
    if (!h) return false;
    for (auto& f : h->fds)
        if (f.first == fd) f.second = flags;
    return std::ranges::any_of(h->fds, [fd](auto& f) { return f.first == fd; });
}
bool unregisterFd(const clap_host* host, int fd) {
    ClapHost* h = hostOf(host);
    if (!h) return false;
    return std::erase_if(h->fds, [fd](auto& f) { return f.first == fd; }) > 0;
}
} // namespace

ClapLibrary::ClapLibrary(const std::string& path) : filePath(path) {
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        loadError = why ? why : "dlopen failed";
        return;
    }
    keepWindowLibrariesLoaded();
    pluginEntry = static_cast<const clap_plugin_entry*>(dlsym(handle, "clap_entry"));
    if (!pluginEntry) {
        loadError = "no clap_entry";
        return;
    }
    if (!clap_version_is_compatible(pluginEntry->clap_version)) {
        loadError = "an incompatible CLAP version";
        return;
    }
    InsidePlugin inside;
    if (!pluginEntry->init(filePath.c_str())) {
        loadError = "the entry's init failed";
        return;
    }
    initialised = true;
}

ClapLibrary::~ClapLibrary() {
    if (initialised && deinitAtClose) {
        InsidePlugin inside;
        pluginEntry->deinit();
    }
    if (handle) dlclose(handle);
}

const clap_plugin_factory* ClapLibrary::factory() const {
    if (!initialised) return nullptr;
    InsidePlugin inside;
    return static_cast<const clap_plugin_factory*>(
        pluginEntry->get_factory(CLAP_PLUGIN_FACTORY_ID));
}

ClapHost::ClapHost(const std::string& pluginPath) : ClapHost(pluginPath, Options{}) {}

ClapHost::ClapHost(const std::string& pluginPath, const Options& opts)
    : options(opts), library(std::make_shared<ClapLibrary>(pluginPath)),
      mainThread(std::this_thread::get_id()), rate(opts.sampleRate), maxBlock(opts.maxBlockSize) {
    setUp();
    create();
}

ClapHost::ClapHost(std::shared_ptr<ClapLibrary> file, const Options& opts)
    : options(opts), library(std::move(file)), mainThread(std::this_thread::get_id()),
      rate(opts.sampleRate), maxBlock(opts.maxBlockSize) {
    setUp();
    create();
}

void ClapHost::setUp() {
    hostTable->clap_version = CLAP_VERSION;
    hostTable->host_data = this;
    hostTable->name = options.hostName.c_str();
    hostTable->vendor = "Zandrel developers";
    hostTable->url = "";
    hostTable->version = "1.0";
    hostTable->get_extension = hostExtension;
    hostTable->request_restart = requestRestart;
    hostTable->request_process = requestProcess;
    hostTable->request_callback = requestCallback;
    inputList.ctx = this;
    inputList.size = inputSize;
    inputList.get = inputGet;
    outputList.ctx = this;
    outputList.try_push = outputPush;
    pending.reserve(8192);
    sorted.reserve(8192);
    events.reserve(1 << 16);
    parameterEvents.reserve(1024);
}

ClapHost::~ClapHost() {
    destroy();
}

void ClapHost::create() {
    if (!library->loaded()) {
        loadError = library->error();
        return;
    }
    const clap_plugin_factory* factory = library->factory();
    InsidePlugin inside;
    if (!factory) {
        loadError = "no plug-in factory";
        return;
    }
    const clap_plugin_descriptor* chosen = nullptr;
    for (uint32_t i = 0; i < factory->get_plugin_count(factory) && !chosen; ++i) {
        const clap_plugin_descriptor* d = factory->get_plugin_descriptor(factory, i);
        if (d && (options.pluginId.empty() || options.pluginId == d->id)) chosen = d;
    }
    if (!chosen) {
        loadError = "no such plug-in in the factory";
        return;
    }
    instance = factory->create_plugin(factory, hostTable.get(), chosen->id);
    if (!instance) {
        loadError = "create_plugin gave no plug-in";
        return;
    }
    if (!instance->init(instance)) {
        instance->destroy(instance);
        instance = nullptr;
        loadError = "the plug-in's init failed";
        return;
    }
    if (options.activate && !activate(rate, maxBlock)) loadError = "activate failed";
}

const void* ClapHost::extension(const char* id) const {
    if (!instance) return nullptr;
    InsidePlugin inside;
    return instance->get_extension(instance, id);
}

const void* ClapHost::hostExtension(const clap_host* host, const char* id) {
    OutsidePlugin outside;
    const ClapHost* self = hostOf(host);
    if (!self || !self->options.offerExtensions || !id) return nullptr;
    if (std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0) return &kThreadCheck;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kHostParams;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kHostState;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &kHostGui;
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kHostTimers;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return &kHostFds;
    return nullptr;
}

void ClapHost::requestRestart(const clap_host* /*host*/) {}
void ClapHost::requestProcess(const clap_host* /*host*/) {}

void ClapHost::requestCallback(const clap_host* host) {
    OutsidePlugin outside;
    ClapHost* self = hostOf(host);
    if (!self) return;
    ++self->callbackRequests;
    self->callbackPending = true;
}

void ClapHost::idle() {
    if (!instance || !callbackPending) return;
    callbackPending = false;
    InsidePlugin inside;
    instance->on_main_thread(instance);
}

const clap_plugin_gui* ClapHost::gui() const {
    return static_cast<const clap_plugin_gui*>(extension(CLAP_EXT_GUI));
}

void ClapHost::idleGui(int waitMs) {
    if (!instance) return;
    std::vector<pollfd> watched;
    for (const auto& [fd, flags] : fds) {
        short events = 0;
        if (flags & CLAP_POSIX_FD_READ) events |= POLLIN;
        if (flags & CLAP_POSIX_FD_WRITE) events |= POLLOUT;
        watched.push_back({fd, events, 0});
    }
    if (!watched.empty() && poll(watched.data(), watched.size(), waitMs) > 0) {
        const auto* fdSupport =
            static_cast<const clap_plugin_posix_fd_support*>(extension(CLAP_EXT_POSIX_FD_SUPPORT));
        for (const pollfd& p : watched) {
            uint32_t ready = 0;
            if (p.revents & POLLIN) ready |= CLAP_POSIX_FD_READ;
            if (p.revents & POLLOUT) ready |= CLAP_POSIX_FD_WRITE;
            if (p.revents & (POLLERR | POLLHUP)) ready |= CLAP_POSIX_FD_ERROR;
            if (ready && fdSupport) {
                InsidePlugin inside;
                fdSupport->on_fd(instance, p.fd, ready);
            }
        }
    }
    const auto* timerSupport =
        static_cast<const clap_plugin_timer_support*>(extension(CLAP_EXT_TIMER_SUPPORT));
    // A copy: the plug-in may register or unregister timers as they fire.
    const std::vector<Timer> due = timers;
    for (const Timer& t : due) {
        if (!timerSupport) break;
        InsidePlugin inside;
        timerSupport->on_timer(instance, t.id);
    }
}

bool ClapHost::activate(double sampleRate, int32_t maxBlockSize) {
    if (!instance || isActive) return false;
    rate = sampleRate;
    maxBlock = maxBlockSize;
    left.assign(static_cast<size_t>(std::max(maxBlock, 1)), 0.0f);
    right.assign(left.size(), 0.0f);
    InsidePlugin inside;
    if (!instance->activate(instance, rate, 1, static_cast<uint32_t>(std::max(maxBlock, 1))))
        return false;
    isActive = true;
    if (!instance->start_processing(instance)) {
        instance->deactivate(instance);
        isActive = false;
    }
    return isActive;
}

void ClapHost::deactivate() {
    if (!instance || !isActive) return;
    InsidePlugin inside;
    instance->stop_processing(instance);
    instance->deactivate(instance);
    isActive = false;
}

void ClapHost::reset() {
    if (!instance || !isActive) return;
    InsidePlugin inside;
    instance->reset(instance);
}

void ClapHost::setSampleRate(double newRate) {
    deactivate();
    activate(newRate, maxBlock);
}

void ClapHost::destroy() {
    if (!instance) return;
    deactivate();
    InsidePlugin inside;
    instance->destroy(instance);
    instance = nullptr;
}

void ClapHost::abandonInstance() {
    if (!instance) return;
    hostTable->host_data = nullptr;
    hostTable->name = "";
    // Left to the abandoned instance, which may still hold it.
    (void)hostTable.release(); // NOLINT(bugprone-unused-return-value)
    hostTable = std::make_unique<clap_host>();
    instance = nullptr;
    isActive = false;
    library->skipDeinit();
}

uint32_t ClapHost::parameterCount() const {
    const auto* params = static_cast<const clap_plugin_params*>(extension(CLAP_EXT_PARAMS));
    if (!params) return 0;
    InsidePlugin inside;
    return params->count(instance);
}

std::optional<clap_param_info> ClapHost::parameterInfo(uint32_t index) const {
    const auto* params = static_cast<const clap_plugin_params*>(extension(CLAP_EXT_PARAMS));
    clap_param_info info{};
    if (!params) return std::nullopt;
    InsidePlugin inside;
    if (!params->get_info(instance, index, &info)) return std::nullopt;
    return info;
}

std::string ClapHost::parameterName(uint32_t index) const {
    const auto info = parameterInfo(index);
    return info ? std::string(info->name) : std::string();
}

double ClapHost::getParameter(clap_id id) const {
    const auto* params = static_cast<const clap_plugin_params*>(extension(CLAP_EXT_PARAMS));
    double value = 0.0;
    if (!params) return value;
    InsidePlugin inside;
    params->get_value(instance, id, &value);
    return value;
}

void ClapHost::setParameter(clap_id id, double value, int32_t frame) {
    AnyEvent e{};
    e.param.header = {sizeof(clap_event_param_value), static_cast<uint32_t>(frame),
                      CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    e.param.param_id = id;
    e.param.note_id = -1;
    e.param.port_index = e.param.channel = e.param.key = -1;
    e.param.value = value;
    pending.push_back(e);
    if (!isActive) flushParameters();
}

void ClapHost::queueParameterFromAnyThread(clap_id id, double value) {
    const std::lock_guard<std::mutex> lock(otherThreadsLock);
    // The latest value of each parameter, as hosts pass a window's changes
    // on: a window that moves faster than the blocks come fills nothing.
    for (auto& [queued, latest] : fromOtherThreads) {
        if (queued == id) {
            latest = value;
            return;
        }
    }
    fromOtherThreads.emplace_back(id, value);
}

void ClapHost::takeQueuedFromOtherThreads() {
    std::vector<std::pair<clap_id, double>> taken;
    {
        const std::lock_guard<std::mutex> lock(otherThreadsLock);
        taken.swap(fromOtherThreads);
    }
    for (const auto& [id, value] : taken) {
        AnyEvent e{};
        e.param.header = {sizeof(clap_event_param_value), 0, CLAP_CORE_EVENT_SPACE_ID,
                          CLAP_EVENT_PARAM_VALUE, 0};
        e.param.param_id = id;
        e.param.note_id = -1;
        e.param.port_index = e.param.channel = e.param.key = -1;
        e.param.value = value;
        pending.push_back(e);
    }
}

void ClapHost::flushParameters() {
    const auto* params = static_cast<const clap_plugin_params*>(extension(CLAP_EXT_PARAMS));
    if (!params) return;
    takeQueuedFromOtherThreads();
    sorted.clear();
    std::vector<AnyEvent> rest;
    for (const AnyEvent& e : pending)
        (e.header.type == CLAP_EVENT_PARAM_VALUE ? sorted : rest).push_back(e);
    pending.swap(rest);
    currentBlockFrames = 0;
    InsidePlugin inside;
    params->flush(instance, &inputList, &outputList);
    sorted.clear();
}

std::string ClapHost::parameterText(clap_id id, double value) const {
    const auto* params = static_cast<const clap_plugin_params*>(extension(CLAP_EXT_PARAMS));
    char text[256] = {};
    if (!params) return {};
    InsidePlugin inside;
    if (!params->value_to_text(instance, id, value, text, sizeof text)) return {};
    return text;
}

std::optional<double> ClapHost::textToValue(clap_id id, const std::string& text) const {
    const auto* params = static_cast<const clap_plugin_params*>(extension(CLAP_EXT_PARAMS));
    double value = 0.0;
    if (!params) return std::nullopt;
    InsidePlugin inside;
    if (!params->text_to_value(instance, id, text.c_str(), &value)) return std::nullopt;
    return value;
}

std::optional<std::vector<uint8_t>> ClapHost::saveState() {
    return saveState(StreamShape{});
}

bool ClapHost::loadState(const std::vector<uint8_t>& bytes) {
    return loadState(bytes, StreamShape{});
}

std::optional<std::vector<uint8_t>> ClapHost::saveState(const StreamShape& shape) {
    const auto* state = static_cast<const clap_plugin_state*>(extension(CLAP_EXT_STATE));
    if (!state) return std::nullopt;
    std::vector<uint8_t> bytes;
    Stream s{&bytes, 0, shape};
    const clap_ostream stream{&s, streamWrite};
    InsidePlugin inside;
    if (!state->save(instance, &stream)) return std::nullopt;
    return bytes;
}

bool ClapHost::loadState(const std::vector<uint8_t>& bytes, const StreamShape& shape) {
    const auto* state = static_cast<const clap_plugin_state*>(extension(CLAP_EXT_STATE));
    if (!state) return false;
    std::vector<uint8_t> copy = bytes;
    Stream s{&copy, 0, shape};
    const clap_istream stream{&s, streamRead};
    InsidePlugin inside;
    return state->load(instance, &stream);
}

double ClapHost::ppqAt(int64_t sample) const {
    if (!playing) return ppqAnchor;
    return ppqAnchor + static_cast<double>(sample - sampleAnchor) * tempo / (60.0 * rate);
}

void ClapHost::reanchor(int64_t sample, double ppq) {
    ppqAnchor = ppq;
    sampleAnchor = sample;
}

void ClapHost::wrapLoop(int64_t sample) {
    // As hosts do at a block's start: a position past the loop's end comes
    // back into the loop.
    const double ppq = ppqAt(sample);
    if (playing && loopActive && loopEnd > loopStart && ppq >= loopEnd)
        reanchor(sample, loopStart + std::fmod(ppq - loopStart, loopEnd - loopStart));
}

void ClapHost::setTempo(double bpm) {
    reanchor(sampleClock, ppqAt(sampleClock));
    tempo = bpm;
}

void ClapHost::setPlaying(bool play) {
    reanchor(sampleClock, ppqAt(sampleClock));
    playing = play;
}

void ClapHost::locate(double ppq) {
    reanchor(sampleClock, ppq);
}

void ClapHost::setLoop(bool active, double startPpq, double endPpq) {
    loopActive = active;
    loopStart = startPpq;
    loopEnd = endPpq;
}

void ClapHost::queueTransportChange(const TransportChange& change) {
    transportChanges.push_back(change);
}

clap_event_transport ClapHost::transportAt(int64_t sample) const {
    clap_event_transport t{};
    t.header = {sizeof t, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
    t.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE |
              CLAP_TRANSPORT_HAS_TIME_SIGNATURE;
    if (playing) t.flags |= CLAP_TRANSPORT_IS_PLAYING;
    if (loopActive) t.flags |= CLAP_TRANSPORT_IS_LOOP_ACTIVE;
    const double ppq = ppqAt(sample);
    t.song_pos_beats = clapBeatTime(ppq);
    t.tempo = tempo;
    t.loop_start_beats = clapBeatTime(loopStart);
    t.loop_end_beats = clapBeatTime(loopEnd);
    t.bar_start = clapBeatTime(std::floor(ppq / 4.0) * 4.0);
    t.bar_number = static_cast<int32_t>(std::floor(ppq / 4.0));
    t.tsig_num = 4;
    t.tsig_denom = 4;
    return t;
}

void ClapHost::queueMidi(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
    const uint8_t kind = status & 0xF0;
    if (options.notesAsNoteEvents && (kind == 0x90 || kind == 0x80)) {
        // As Qtractor sends them: a note-on of velocity 0 stays a note-on.
        queueNoteEvent(frame, kind == 0x90 ? CLAP_EVENT_NOTE_ON : CLAP_EVENT_NOTE_OFF,
                       (status & 0x0F) + 1, data1, data2 / 127.0);
        return;
    }
    AnyEvent e{};
    e.midi.header = {sizeof(clap_event_midi), static_cast<uint32_t>(frame),
                     CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
    e.midi.port_index = 0;
    e.midi.data[0] = status;
    e.midi.data[1] = data1;
    e.midi.data[2] = data2;
    pending.push_back(e);
}

void ClapHost::noteOn(int32_t frame, int channel, int note, int velocity) {
    queueMidi(frame, static_cast<uint8_t>(0x90 | ((channel - 1) & 15)), static_cast<uint8_t>(note),
              static_cast<uint8_t>(velocity));
}

void ClapHost::noteOff(int32_t frame, int channel, int note) {
    queueMidi(frame, static_cast<uint8_t>(0x80 | ((channel - 1) & 15)), static_cast<uint8_t>(note),
              0);
}

void ClapHost::controller(int32_t frame, int channel, int number, int value) {
    queueMidi(frame, static_cast<uint8_t>(0xB0 | ((channel - 1) & 15)),
              static_cast<uint8_t>(number), static_cast<uint8_t>(value));
}

void ClapHost::queueNoteEvent(int32_t frame, uint16_t type, int channel, int key, double velocity,
                              int portIndex) {
    AnyEvent e{};
    e.note.header = {sizeof(clap_event_note), static_cast<uint32_t>(frame),
                     CLAP_CORE_EVENT_SPACE_ID, type, 0};
    e.note.note_id = -1;
    e.note.port_index = static_cast<int16_t>(portIndex);
    e.note.channel = static_cast<int16_t>(channel < 1 ? -1 : channel - 1);
    e.note.key = static_cast<int16_t>(key);
    e.note.velocity = velocity;
    pending.push_back(e);
}

void ClapHost::processBlock(int32_t frames) {
    if (!instance || !isActive) return;
    if (left.size() < static_cast<size_t>(std::max(frames, 1))) {
        left.resize(static_cast<size_t>(frames));
        right.resize(static_cast<size_t>(frames));
    }
    wrapLoop(sampleClock);
    const clap_event_transport start = transportAt(sampleClock);

    // Transport changes inside the block: the host's transport takes each
    // one at its frame and goes on from there, as if a block began there.
    std::stable_sort(
        transportChanges.begin(), transportChanges.end(),
        [](const TransportChange& a, const TransportChange& b) { return a.frame < b.frame; });
    for (const TransportChange& c : transportChanges) {
        const int64_t at = sampleClock + c.frame;
        wrapLoop(at);
        reanchor(at, c.locate ? *c.locate : ppqAt(at));
        if (c.tempo) tempo = *c.tempo;
        if (c.playing) playing = *c.playing;
        AnyEvent e{};
        e.transport = transportAt(at);
        e.transport.header.time = static_cast<uint32_t>(c.frame);
        pending.push_back(e);
    }
    transportChanges.clear();

    takeQueuedFromOtherThreads();
    sorted = pending;
    pending.clear();
    std::stable_sort(sorted.begin(), sorted.end(), [](const AnyEvent& a, const AnyEvent& b) {
        return a.header.time < b.header.time;
    });

    float* channels[2] = {left.data(), right.data()};
    clap_audio_buffer output{};
    output.data32 = channels;
    output.channel_count = 2;
    clap_process process{};
    process.steady_time = sampleClock;
    process.frames_count = static_cast<uint32_t>(frames);
    process.transport = providesTransport ? &start : nullptr;
    process.audio_outputs = &output;
    process.audio_outputs_count = 1;
    process.in_events = &inputList;
    process.out_events = &outputList;
    currentBlockFrames = frames;
    {
        InsidePlugin inside;
        lastStatus = instance->process(instance, &process);
    }
    sorted.clear();
    if (captureAudio) {
        audioLeft.insert(audioLeft.end(), left.begin(), left.begin() + frames);
        audioRight.insert(audioRight.end(), right.begin(), right.begin() + frames);
    }
    sampleClock += frames;
}

void ClapHost::run(int64_t frames, int32_t blockSize) {
    while (frames > 0) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(frames, blockSize));
        processBlock(n);
        frames -= n;
    }
}

uint32_t ClapHost::inputSize(const clap_input_events* list) {
    return static_cast<uint32_t>(static_cast<const ClapHost*>(list->ctx)->sorted.size());
}

const clap_event_header* ClapHost::inputGet(const clap_input_events* list, uint32_t index) {
    const auto* self = static_cast<const ClapHost*>(list->ctx);
    return index < self->sorted.size() ? &self->sorted[index].header : nullptr;
}

bool ClapHost::outputPush(const clap_output_events* list, const clap_event_header* event) {
    OutsidePlugin outside;
    if (!event) return false;
    static_cast<ClapHost*>(list->ctx)->receive(*event);
    return true;
}

void ClapHost::receive(const clap_event_header& e) {
    const int64_t sampleTime = sampleClock + e.time;
    if (e.space_id != CLAP_CORE_EVENT_SPACE_ID) return;
    switch (e.type) {
    case CLAP_EVENT_MIDI: {
        const auto& m = reinterpret_cast<const clap_event_midi&>(e);
        events.push_back({sampleTime, static_cast<int32_t>(e.time), currentBlockFrames, e.type,
                          m.data[0], m.data[1], m.data[2], e.size});
        break;
    }
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF:
    case CLAP_EVENT_NOTE_CHOKE:
    case CLAP_EVENT_NOTE_END: {
        const auto& n = reinterpret_cast<const clap_event_note&>(e);
        const auto status =
            static_cast<uint8_t>((e.type == CLAP_EVENT_NOTE_ON ? 0x90 : 0x80) | (n.channel & 15));
        events.push_back({sampleTime, static_cast<int32_t>(e.time), currentBlockFrames, e.type,
                          status, static_cast<uint8_t>(n.key & 127),
                          static_cast<uint8_t>(std::lround(n.velocity * 127.0)), e.size});
        break;
    }
    case CLAP_EVENT_PARAM_VALUE: {
        const auto& p = reinterpret_cast<const clap_event_param_value&>(e);
        parameterEvents.push_back({sampleTime, e.type, p.param_id, p.value, e.flags});
        break;
    }
    case CLAP_EVENT_PARAM_GESTURE_BEGIN:
    case CLAP_EVENT_PARAM_GESTURE_END: {
        const auto& g = reinterpret_cast<const clap_event_param_gesture&>(e);
        parameterEvents.push_back({sampleTime, e.type, g.param_id, 0.0, e.flags});
        break;
    }
    default:
        break;
    }
}
