// A small LV2 MIDI plug-in for the validator's own tests, for the check
// paths LV2 has of its own: state restored through lilv (where only the
// host's watch on the state interface tells a refusal), the room of the
// output sequence, and a binary unloaded without cleanup. Left alone it
// passes those checks: it passes MIDI through at its frames and keeps a
// state of 64 bytes. ZANDREL_BROKEN_FAULT plants one fault:
//   refused-but-changed  a restore that refuses a state after changing its own
//   ignores-room         blocks of 4096 frames and more send 400 events,
//                        whatever room the host gave
//   unload-crash         a thread that only cleanup stops
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

enum class Fault { kNone, kRefusedButChanged, kIgnoresRoom, kUnloadCrash };

Fault plantedFault() {
    const char* wanted = std::getenv("ZANDREL_BROKEN_FAULT");
    if (!wanted) return Fault::kNone;
    if (std::strcmp(wanted, "refused-but-changed") == 0) return Fault::kRefusedButChanged;
    if (std::strcmp(wanted, "ignores-room") == 0) return Fault::kIgnoresRoom;
    if (std::strcmp(wanted, "unload-crash") == 0) return Fault::kUnloadCrash;
    return Fault::kNone;
}

const Fault fault = plantedFault();
constexpr const char* kUri = "urn:zandrel:broken";
constexpr const char* kChunkKey = "urn:zandrel:broken#chunk";
constexpr uint32_t kStateMagic = 0x4B52425Au; // "ZBRK"

class Broken {
public:
    explicit Broken(const LV2_URID_Map& map)
        : midiEvent(map.map(map.handle, LV2_MIDI__MidiEvent)),
          chunkKey(map.map(map.handle, kChunkKey)),
          chunkType(map.map(map.handle, LV2_ATOM__Chunk)) {
        lv2_atom_forge_init(&forge, const_cast<LV2_URID_Map*>(&map));
        std::memcpy(state.data(), &kStateMagic, sizeof kStateMagic);
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

    void connect(uint32_t port, void* data) {
        if (port == 0) in = static_cast<const LV2_Atom_Sequence*>(data);
        if (port == 1) out = static_cast<LV2_Atom_Sequence*>(data);
    }

    void run(uint32_t frames) {
        if (!out) return;
        const bool burst = fault == Fault::kIgnoresRoom && frames >= 4096;
        // The planted fault writes on as if the host had given room for all.
        const uint32_t room = burst ? 16384 : sizeof(LV2_Atom) + out->atom.size;
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(out), room);
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head(&forge, &sequence, 0);
        if (in) {
            LV2_ATOM_SEQUENCE_FOREACH(in, event) {
                if (event->body.type != midiEvent) continue;
                if (!lv2_atom_forge_frame_time(&forge, event->time.frames)) break;
                lv2_atom_forge_write(&forge, &event->body, sizeof(LV2_Atom) + event->body.size);
            }
        }
        for (int i = 0; burst && i < 200; ++i) {
            const uint8_t on[3] = {0x9F, static_cast<uint8_t>(i % 128), 1};
            const uint8_t off[3] = {0x8F, static_cast<uint8_t>(i % 128), 0};
            for (const uint8_t* m : {on, off}) {
                lv2_atom_forge_frame_time(&forge, frames - 1);
                lv2_atom_forge_atom(&forge, 3, midiEvent);
                lv2_atom_forge_write(&forge, m, 3);
            }
        }
        lv2_atom_forge_pop(&forge, &sequence);
    }

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle) {
        return store(handle, chunkKey, state.data(), state.size(), chunkType,
                     LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    }

    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
        if (fault == Fault::kRefusedButChanged) state.fill(0);
        size_t size = 0;
        uint32_t type = 0;
        uint32_t flags = 0;
        const void* data = retrieve(handle, chunkKey, &size, &type, &flags);
        uint32_t magic = 0;
        if (data && size == state.size()) std::memcpy(&magic, data, sizeof magic);
        if (type != chunkType || magic != kStateMagic) return LV2_STATE_ERR_BAD_TYPE;
        std::memcpy(state.data(), data, state.size());
        return LV2_STATE_SUCCESS;
    }

private:
    void idle() {
        while (!stopping) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    LV2_URID midiEvent, chunkKey, chunkType;
    LV2_Atom_Forge forge{};
    const LV2_Atom_Sequence* in = nullptr;
    LV2_Atom_Sequence* out = nullptr;
    std::array<uint8_t, 64> state{};
    std::atomic<bool> stopping{false};
    std::thread worker;
};

Broken* self(LV2_Handle instance) {
    return static_cast<Broken*>(instance);
}

LV2_Handle instantiate(const LV2_Descriptor*, double, const char*,
                       const LV2_Feature* const* features) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, LV2_URID__map) == 0)
            return new Broken(*static_cast<const LV2_URID_Map*>((*features)->data));
    return nullptr;
}

LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const*) {
    return self(instance)->save(store, handle);
}

LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
    return self(instance)->restore(retrieve, handle);
}

const LV2_State_Interface kState = {save, restore};

const LV2_Descriptor kDescriptor = {
    kUri,
    instantiate,
    [](LV2_Handle instance, uint32_t port, void* data) { self(instance)->connect(port, data); },
    [](LV2_Handle) {},
    [](LV2_Handle instance, uint32_t frames) { self(instance)->run(frames); },
    [](LV2_Handle) {},
    [](LV2_Handle instance) { delete self(instance); },
    [](const char* uri) -> const void* {
        return std::strcmp(uri, LV2_STATE__interface) == 0 ? &kState : nullptr;
    },
};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor*
lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
