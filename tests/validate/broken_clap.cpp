// A small CLAP note effect for the validator's own tests, for the check
// paths CLAP has of its own: state streams that move fewer bytes than
// asked, and a file unloaded without destroy or deinit. Left alone it
// passes those checks: it passes MIDI through at its frames, writes
// silence and keeps a state of 4096 bytes. ZANDREL_BROKEN_FAULT plants
// one fault:
//   short-read    its state load takes one read for the whole state
//   unload-crash  a thread that only destroy stops
#include "abi/audio_ports.h"
#include "abi/entry.h"
#include "abi/host.h"
#include "abi/note_ports.h"
#include "abi/plugin_factory.h"
#include "abi/state.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

enum class Fault { kNone, kShortRead, kUnloadCrash };

Fault plantedFault() {
    const char* wanted = std::getenv("ZANDREL_BROKEN_FAULT");
    if (!wanted) return Fault::kNone;
    if (std::strcmp(wanted, "short-read") == 0) return Fault::kShortRead;
    if (std::strcmp(wanted, "unload-crash") == 0) return Fault::kUnloadCrash;
    return Fault::kNone;
}

const Fault fault = plantedFault();
constexpr uint32_t kStateMagic = 0x4B52425Au; // "ZBRK"

class Broken {
public:
    Broken() {
        state.fill(0);
        std::memcpy(state.data(), &kStateMagic, sizeof kStateMagic);
        // A pattern the whole way, so that a state read short shows.
        for (size_t i = sizeof kStateMagic; i < state.size(); ++i)
            state[i] = static_cast<uint8_t>(i * 7);
        if (fault == Fault::kUnloadCrash) worker = std::thread([this] { idle(); });
    }
    ~Broken() {
        stopping = true;
        if (worker.joinable()) worker.join();
    }
    Broken(const Broken&) = delete;
    Broken& operator=(const Broken&) = delete;

    clap_process_status process(const clap_process& p) {
        for (uint32_t port = 0; p.audio_outputs && port < p.audio_outputs_count; ++port)
            for (uint32_t c = 0; c < p.audio_outputs[port].channel_count; ++c)
                if (p.audio_outputs[port].data32 && p.audio_outputs[port].data32[c])
                    std::memset(p.audio_outputs[port].data32[c], 0, sizeof(float) * p.frames_count);
        const uint32_t count = p.in_events->size(p.in_events);
        for (uint32_t i = 0; i < count; ++i) {
            const clap_event_header* e = p.in_events->get(p.in_events, i);
            if (e->space_id == CLAP_CORE_EVENT_SPACE_ID && e->type == CLAP_EVENT_MIDI)
                p.out_events->try_push(p.out_events, e);
        }
        return CLAP_PROCESS_CONTINUE;
    }

    bool save(const clap_ostream& stream) const {
        for (size_t done = 0; done < state.size();) {
            const int64_t n = stream.write(&stream, state.data() + done, state.size() - done);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    bool load(const clap_istream& stream) {
        std::array<uint8_t, 4096> in{};
        size_t total = 0;
        for (;;) {
            uint8_t extra = 0;
            const bool full = total == in.size();
            const int64_t n = full ? stream.read(&stream, &extra, 1)
                                   : stream.read(&stream, in.data() + total, in.size() - total);
            if (n < 0 || (full && n > 0)) return false;
            if (n == 0) break;
            total += static_cast<size_t>(n);
            if (fault == Fault::kShortRead) break; // as if one read gave it all
        }
        uint32_t magic = 0;
        std::memcpy(&magic, in.data(), sizeof magic);
        if (total != in.size() && fault != Fault::kShortRead) return false;
        if (magic != kStateMagic) return false;
        state = in;
        return true;
    }

private:
    void idle() {
        while (!stopping) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    std::array<uint8_t, 4096> state{};
    std::atomic<bool> stopping{false};
    std::thread worker;
};

Broken* self(const clap_plugin* p) {
    return static_cast<Broken*>(p->plugin_data);
}

uint32_t audioPortCount(const clap_plugin*, bool input) {
    return input ? 0 : 1;
}
bool audioPort(const clap_plugin*, uint32_t index, bool input, clap_audio_port_info* info) {
    if (input || index != 0) return false;
    *info = {};
    std::snprintf(info->name, sizeof info->name, "Out");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = 2;
    info->port_type = CLAP_PORT_STEREO;
    info->in_place_pair = CLAP_INVALID_ID;
    return true;
}
uint32_t notePortCount(const clap_plugin*, bool) {
    return 1;
}
bool notePort(const clap_plugin*, uint32_t index, bool input, clap_note_port_info* info) {
    if (index != 0) return false;
    *info = {};
    info->supported_dialects = CLAP_NOTE_DIALECT_MIDI;
    info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
    std::snprintf(info->name, sizeof info->name, input ? "In" : "Out");
    return true;
}
bool saveState(const clap_plugin* p, const clap_ostream* stream) {
    return self(p)->save(*stream);
}
bool loadState(const clap_plugin* p, const clap_istream* stream) {
    return self(p)->load(*stream);
}

const clap_plugin_audio_ports kAudioPorts = {audioPortCount, audioPort};
const clap_plugin_note_ports kNotePorts = {notePortCount, notePort};
const clap_plugin_state kState = {saveState, loadState};

const void* extension(const clap_plugin*, const char* id) {
    if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0) return &kAudioPorts;
    if (std::strcmp(id, CLAP_EXT_NOTE_PORTS) == 0) return &kNotePorts;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kState;
    return nullptr;
}

const char* const kFeatures[] = {"note-effect", nullptr};
const clap_plugin_descriptor kDescriptor = {
    CLAP_VERSION, "dev.zandrel.broken", "Broken", "Zandrel developers", "", "", "", "1.0", "",
    kFeatures};

const clap_plugin* create(const clap_plugin_factory*, const clap_host*, const char* id) {
    if (std::strcmp(id, kDescriptor.id) != 0) return nullptr;
    auto* plugin = new clap_plugin{};
    plugin->desc = &kDescriptor;
    plugin->plugin_data = new Broken;
    plugin->init = [](const clap_plugin*) { return true; };
    plugin->destroy = [](const clap_plugin* p) {
        delete self(p);
        delete p;
    };
    plugin->activate = [](const clap_plugin*, double, uint32_t, uint32_t) { return true; };
    plugin->deactivate = [](const clap_plugin*) {};
    plugin->start_processing = [](const clap_plugin*) { return true; };
    plugin->stop_processing = [](const clap_plugin*) {};
    plugin->reset = [](const clap_plugin*) {};
    plugin->process = [](const clap_plugin* p, const clap_process* process) {
        return self(p)->process(*process);
    };
    plugin->get_extension = extension;
    plugin->on_main_thread = [](const clap_plugin*) {};
    return plugin;
}

const clap_plugin_factory kFactory = {
    [](const clap_plugin_factory*) -> uint32_t { return 1; },
    [](const clap_plugin_factory*, uint32_t index) { return index == 0 ? &kDescriptor : nullptr; },
    create};

} // namespace

extern "C" {
__attribute__((visibility("default"))) extern const clap_plugin_entry clap_entry;
const clap_plugin_entry clap_entry = {CLAP_VERSION, [](const char*) { return true; }, [] {},
                                      [](const char* id) -> const void* {
                                          return std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0
                                                     ? &kFactory
                                                     : nullptr;
                                      }};
}
