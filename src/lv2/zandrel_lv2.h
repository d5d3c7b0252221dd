// The LV2 face of the engine: one instance per plug-in the host creates.
// The host connects its ports, runs blocks with an atom sequence of MIDI,
// transport and patch messages, and saves and restores the state chunk;
// the instance hands the engine the MIDI and the transport at their frames
// and answers what the engine asks of the host (MIDI out, parameters it
// changed itself, deferred work) through the output sequence and the
// host's worker.
#pragma once

#include "lv2_transport.h"
#include "lv2_urids.h"
#include "zand_engine.h"

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <cstdint>
#include <memory>

class ZandrelLv2 final : private HostPort {
public:
    enum Port : uint32_t {
        kEventsIn = 0,
        kEventsOut = 1,
        kPreviewLeft = 2,
        kPreviewRight = 3,
        kFirstControl = 4, // the 32 host parameters, in table order
        kPortCount = kFirstControl + param::kHostParameterCount,
    };

    // Null when the host lacks a required feature (urid:map).
    static std::unique_ptr<ZandrelLv2> create(double sampleRate,
                                              const LV2_Feature* const* features);
    ZandrelLv2(double sampleRate, const LV2_URID_Map& map, const LV2_Worker_Schedule* schedule);
    ~ZandrelLv2() override = default;
    ZandrelLv2(const ZandrelLv2&) = delete;
    ZandrelLv2& operator=(const ZandrelLv2&) = delete;

    void connectPort(uint32_t port, void* data) noexcept;
    void activate();
    void deactivate();
    void run(uint32_t sampleCount) noexcept;

    // State: the chunk as one atom:Chunk property.
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
    // Worker: one item of deferred work, on the host's worker thread.
    void work(const void* data, uint32_t size);

    ZandEngine& zandEngine() { return engine; }
    // Whether the editor's size (parameter 105) is this instance's own by
    // now: a restored state or an earlier editor set it. Until then the
    // first editor takes the configured size.
    bool editorSizeSettled() const { return sizeSettled.load(); }
    void settleEditorSize() { sizeSettled.store(true); }

private:
    // HostPort: what the engine asks of the host.
    void sendMidi(const MidiMessage* events, int32_t count) noexcept override;
    void displayChanged() override;
    void hostParameterChanged(int32_t index, float value) override;
    bool scheduleWork(int32_t index, float value) noexcept override;

    // run()'s parts. The block is played in segments split where the host
    // changes a parameter; each segment goes to the engine with its MIDI
    // and the transport changes inside it.
    void takeControlPorts() noexcept;
    void readEvent(const LV2_Atom_Event& event, int32_t frames) noexcept;
    void takeMidi(const LV2_Atom& atom, int32_t frame) noexcept;
    void takePosition(const LV2_Atom_Object& position, int32_t frame) noexcept;
    void takePatchSet(const LV2_Atom_Object& message, int32_t frame) noexcept;
    void takePatchGet(const LV2_Atom_Object& message) noexcept;
    void playSegment(int32_t end) noexcept;
    void startSegment() noexcept;
    // The parameters the engine changed itself and those the host asked
    // for, as patch messages at the block's last frame.
    void reportParameters(int32_t frames) noexcept;
    bool roomFor(uint32_t bytes) const noexcept;
    void writeParameterSet(int64_t frame, int32_t index) noexcept;
    void writeAllParameters(int64_t frame) noexcept;

    double sampleRate;
    Lv2Urids uris;
    const LV2_Worker_Schedule* schedule; // null: the shared worker thread
    // Host parameters the engine changed (any thread), as bits. Before the
    // engine: it may report changes while it is being built.
    std::atomic<uint32_t> changedParameters{0};
    // Set by a restore: the next block takes the ports as they are, so
    // that values the host kept from before cannot undo the state loaded.
    std::atomic<bool> absorbPorts{false};
    std::atomic<bool> sizeSettled{false};
    ZandEngine engine;
    Lv2Transport transport;

    // Ports.
    const LV2_Atom_Sequence* eventsIn = nullptr;
    LV2_Atom_Sequence* eventsOut = nullptr;
    float* preview[2] = {nullptr, nullptr};
    const float* controls[param::kHostParameterCount] = {};
    // The value each control port had when last read: a port the host
    // moves is a host write; a port it leaves alone changes nothing.
    float portSeen[param::kHostParameterCount];
    bool playedOnce = false;

    // Output.
    LV2_Atom_Forge forge{};
    LV2_Atom_Forge_Frame sequenceFrame{};
    int32_t outputBase = 0;           // the segment's start, for the engine's frames
    uint32_t requestedParameters = 0; // patch:Get in this block
    bool requestedAll = false;

    // The segment being gathered.
    static constexpr int32_t kSegmentMessages = 4096;
    static constexpr int32_t kSegmentChanges = 64;
    MidiMessage messages[kSegmentMessages];
    int32_t messageCount = 0;
    TransportChange changes[kSegmentChanges];
    int32_t changeCount = 0;
    int32_t segmentStart = 0;
    int64_t blockStart = 0; // frames played before this block
};
