// The CLAP face of the engine: one plug-in instance owning one ZandEngine.
// It hands the engine the host's notes, MIDI, parameter changes and
// transport at their frames, and answers what the engine asks of the host
// (HostPort) with output events and the host's own extensions.
#pragma once

#include "abi/host.h"
#include "abi/params.h"
#include "abi/plugin.h"
#include "abi/state.h"
#include "abi/thread_check.h"
#include "parameter_indices.h"
#include "spsc_ring.h"
#include "zand_engine.h"

#include <atomic>
#include <bitset>
#include <cstdint>
#include <thread>

class ClapEditorBridge;

class ZandrelClap final : private HostPort {
public:
    explicit ZandrelClap(const clap_host* host);
    ~ZandrelClap() override;
    ZandrelClap(const ZandrelClap&) = delete;
    ZandrelClap& operator=(const ZandrelClap&) = delete;

    const clap_plugin* clapPlugin() const { return &plugin; }
    static ZandrelClap* of(const clap_plugin* plugin) {
        return static_cast<ZandrelClap*>(plugin->plugin_data);
    }

    // Lifecycle (the clap_plugin table).
    bool init();
    bool activate(double rate, uint32_t minFrames, uint32_t maxFrames);
    void deactivate();
    bool startProcessing();
    void stopProcessing();
    void reset() noexcept;
    clap_process_status process(const clap_process& process) noexcept;
    const void* extension(const char* id) const;
    void onMainThread();

    // Parameters (the params extension), by id = index of the one table.
    bool parameterInfo(uint32_t index, clap_param_info* info) const;
    bool parameterValue(clap_id id, double* value) const;
    bool valueToText(clap_id id, double value, char* text, uint32_t size) const;
    bool textToValue(clap_id id, const char* text, double* value) const;
    void flush(const clap_input_events* in, const clap_output_events* out) noexcept;

    // State (the state extension).
    bool saveState(const clap_ostream& stream);
    bool loadState(const clap_istream& stream);

    ZandEngine& zandEngine() { return engine; }

    // The editor (the gui extension; gui.cpp, built with the editor only).
    // Null until the host creates it and after it destroys it.
    ClapEditorBridge* editor() const { return editorBridge; }
    bool createEditor();
    void destroyEditor();

    // The editor's automation, on the main thread: a gesture's begin and
    // end and the values between, which reach the host as output events of
    // the next process or flush.
    void editorGesture(int32_t index, bool begin);
    void editorAutomate(int32_t index, float value);

private:
    // HostPort: what the engine asks of the host.
    void sendMidi(const MidiMessage* events, int32_t count) noexcept override;
    void displayChanged() override;
    void hostParameterChanged(int32_t index, float value) override;

    // The host's value of a parameter becomes the engine's float once, as a
    // VST 2.4 host would have sent it.
    void applyHostValue(clap_id id, double value) noexcept;
    // Plays frames [segmentStart, end) of the block with the messages taken
    // so far and the transport of that moment.
    void playSegment(int32_t end, float* left, float* right) noexcept;
    // Messages at or after `frame` belong to the segment that starts there.
    void splitMessagesAt(int32_t frame) noexcept;
    // Output: the engine's parameter changes of this block, merged in time
    // order with its MIDI.
    void pushParameterChange(int32_t frame, int32_t index, float value) noexcept;
    void pushParameterChangesUpTo(int32_t frame) noexcept;
    void pushMainThreadChanges() noexcept;
    bool insideAudioCall() const noexcept {
        return audioThread.load(std::memory_order_acquire) == std::this_thread::get_id();
    }
    bool calledOnMainThread() const;
    // Asks the host to read values and texts again, on its main thread.
    void rescanParameters();

    clap_plugin plugin;
    const clap_host* host;
    const clap_host_params* hostParams = nullptr;
    const clap_host_thread_check* threadCheck = nullptr;
    std::thread::id mainThread;
    ZandEngine engine;
    double sampleRate = 44100.0;
    bool active = false;

    // The thread inside process or flush, whose parameter changes go out
    // with that call's events.
    std::atomic<std::thread::id> audioThread{};
    const clap_output_events* out = nullptr;
    int32_t blockFrames = 0;

    // The block being played: the part from segmentStart on, its messages
    // (frames from the part's start) and its transport.
    static constexpr int32_t kSegmentMessages = 1024;
    MidiMessage messages[kSegmentMessages];
    int32_t messageCount = 0;
    int32_t segmentStart = 0;
    TransportInfo transport{};
    bool haveTransport = false;
    // Where the transport is expected at the next block's start.
    TransportInfo expected{false, false, 120.0, 0.0, 0.0, 0.0};

    struct ParameterChange {
        int32_t frame;
        int32_t index;
        float value;
        // CLAP_EVENT_PARAM_VALUE, _GESTURE_BEGIN or _GESTURE_END.
        uint16_t type = CLAP_EVENT_PARAM_VALUE;
        // The user's own (the editor's) is recorded as automation; the
        // engine's doing is shown but not recorded.
        bool record = false;
    };
    void pushParameterEvent(const ParameterChange& change, int32_t time) noexcept;
    // Queues a main-thread change for the next process or flush and asks
    // the host for a flush; false when the queue has no room for it.
    bool queueFromMainThread(const ParameterChange& change);
    // Changes the engine made on the audio thread during this call.
    static constexpr int32_t kQueuedChanges = 128;
    ParameterChange queuedChanges[kQueuedChanges];
    int32_t queuedCount = 0;
    int32_t queuedPushed = 0;
    int32_t lastPushedTime = 0; // output events go out in time order
    // Changes the engine made on the main thread (a state load) and the
    // editor's automation, told with the next process or flush. A drag
    // makes many; the last kGestureReserve slots are kept for the ends of
    // gestures, so that no gesture the host heard begin stays open.
    static constexpr size_t kFromMainThread = 512;
    static constexpr size_t kGestureReserve = param::kHostParameterCount;
    SpscRing<ParameterChange, kFromMainThread> fromMainThread;
    std::bitset<param::kHostParameterCount> gestureOpen; // main thread only
    bool mainThreadQueueFull = false;                    // told once per filling
    std::atomic<bool> flushRequested{false};
    std::atomic<bool> rescanDue{false};
    std::atomic<bool> loadingState{false};
    // A reset asked for: what sounds ends at the next block's start.
    std::atomic<bool> resetDue{false};

    ClapEditorBridge* editorBridge = nullptr;
};
