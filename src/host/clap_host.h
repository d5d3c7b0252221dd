// A small CLAP host: loads a .clap file with dlopen, creates an instance of
// its first (or a named) plug-in, activates it, runs a transport it
// controls, sends MIDI (as MIDI or as note events), parameter changes and
// transport changes inside a block, and collects the events and audio that
// come back. Its calls mirror PluginHost's (the VST 2.4 host beside it), so
// that the renderer and the tests drive either format the same way.
//
// Everything runs on the thread that created the host: it is the host's
// main thread and, inside process, its audio thread too. Parameter changes
// go into the next block as parameter events (sample-accurate at their
// frame), or through the plug-in's flush while it is not active; changes
// made on other threads (a host's user interface) wait in the host's own
// queue for the next process call or flush.
//
// For the plug-in's window it answers the gui, timer-support and
// posix-fd-support extensions: it records resize requests, timers and
// watched file descriptors, and runs them when the caller idles it, as a
// host's main loop would.
#pragma once

#include "abi/entry.h"
#include "abi/events.h"
#include "abi/gui.h"
#include "abi/host.h"
#include "abi/params.h"
#include "abi/plugin.h"
#include "abi/plugin_factory.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// One .clap file opened as hosts open it: loaded, its entry's version
// checked and its init called once; deinit and unloaded again when the last
// host holding it goes. The instances of one plug-in in a session share
// their file this way, whatever thread made them.
class ClapLibrary {
public:
    explicit ClapLibrary(const std::string& path);
    ~ClapLibrary();
    ClapLibrary(const ClapLibrary&) = delete;
    ClapLibrary& operator=(const ClapLibrary&) = delete;

    bool loaded() const { return initialised; }
    const std::string& error() const { return loadError; }
    const std::string& path() const { return filePath; }
    const clap_plugin_entry* entry() const { return pluginEntry; }
    const clap_plugin_factory* factory() const; // null when there is none
    // The file is unloaded without deinit, as by a host that never
    // destroyed an instance: deinit with an instance alive breaks the
    // entry's rules.
    void skipDeinit() { deinitAtClose = false; }

private:
    std::string filePath;
    std::string loadError;
    void* handle = nullptr;
    const clap_plugin_entry* pluginEntry = nullptr;
    bool initialised = false;
    bool deinitAtClose = true;
};

class ClapHost {
public:
    struct Options {
        double sampleRate = 48000.0;
        int32_t maxBlockSize = 4096;
        std::string hostName = "Zandrel Test Host";
        std::string pluginId;           // empty: the factory's first plug-in
        bool activate = true;           // activate and start processing once created
        bool offerExtensions = true;    // thread-check, params and state; false: none at all
        bool notesAsNoteEvents = false; // note-ons and -offs go as CLAP note events
    };

    // One note or MIDI event the plug-in sent, with its place on the host's
    // timeline. A note event is given as the MIDI bytes it stands for
    // (velocity x 127, rounded).
    struct ReceivedEvent {
        int64_t sampleTime; // block start + frame
        int32_t frame;
        int32_t blockFrames;
        uint16_t type; // CLAP_EVENT_MIDI or CLAP_EVENT_NOTE_*
        uint8_t status;
        uint8_t data1;
        uint8_t data2;
        uint32_t size; // the event's own size, header included
    };

    // A parameter event the plug-in sent (value or gesture).
    struct ParameterEvent {
        int64_t sampleTime;
        uint16_t type;
        clap_id id;
        double value; // 0 for gestures
        uint32_t flags;
    };

    // A change of the transport at a frame of the next block, sent as a
    // transport event; the host's transport goes on from there.
    struct TransportChange {
        int32_t frame = 0;
        std::optional<bool> playing;
        std::optional<double> tempo;
        std::optional<double> locate; // quarter notes
    };

    // How the host's state streams behave: at most `chunkBytes` per call
    // (0: everything at once), and an error once `failAfter` bytes have
    // moved (-1: never).
    struct StreamShape {
        uint64_t chunkBytes = 0;
        int64_t failAfter = -1;
    };

    explicit ClapHost(const std::string& pluginPath);
    ClapHost(const std::string& pluginPath, const Options& options);
    // An instance from a file already opened (and shared with other hosts).
    ClapHost(std::shared_ptr<ClapLibrary> library, const Options& options);
    ~ClapHost(); // stops, deactivates and destroys the instance, then lets go of the file
    ClapHost(const ClapHost&) = delete;
    ClapHost& operator=(const ClapHost&) = delete;

    bool loaded() const { return instance != nullptr; }
    const std::string& error() const { return loadError; }
    const clap_plugin_entry* entry() const { return library ? library->entry() : nullptr; }
    const clap_plugin* plugin() const { return instance; }
    const clap_plugin_descriptor* descriptor() const { return instance ? instance->desc : nullptr; }
    // One of the plug-in's extensions, null when it has none of that id.
    const void* extension(const char* id) const;

    // Lifecycle. activate also starts processing.
    bool activate(double sampleRate, int32_t maxBlockSize);
    void deactivate();
    bool active() const { return isActive; }
    void reset();
    // Deactivates, then activates at the new rate.
    void setSampleRate(double rate);
    // Destroys the instance now; the library stays loaded until the host goes.
    void destroy();
    // Forgets the instance without deactivating or destroying it, as a host
    // that unloads the file with the instance still alive: the file then
    // closes without deinit. What the forgotten instance still calls on the
    // host reaches no host (its host table is left behind for it).
    void abandonInstance();
    // Runs the plug-in's on_main_thread when it asked for a callback.
    void idle();

    // The plug-in's window (null without the gui extension), and the host's
    // main loop for it: every registered timer fires once, and every
    // watched descriptor that is ready (within waitMs) is handed over.
    const clap_plugin_gui* gui() const;
    void idleGui(int waitMs = 0);
    struct Timer {
        clap_id id;
        uint32_t periodMs;
    };
    std::vector<Timer> timers;                                 // registered now
    std::vector<std::pair<int, uint32_t>> fds;                 // watched now, with their flags
    std::vector<std::pair<uint32_t, uint32_t>> resizeRequests; // width, height

    // Parameters, by the plug-in's parameter id.
    uint32_t parameterCount() const;
    std::optional<clap_param_info> parameterInfo(uint32_t index) const;
    std::string parameterName(uint32_t index) const;
    double getParameter(clap_id id) const;
    // A parameter event at `frame` of the next block; while the plug-in is
    // not active it goes through flush at once.
    void setParameter(clap_id id, double value, int32_t frame = 0);
    // The queued parameter events through the plug-in's flush, now.
    void flushParameters();
    // From any thread, also while another processes: the change waits in
    // the host's queue (the latest value of each parameter) for the next
    // process call or flush.
    void queueParameterFromAnyThread(clap_id id, double value);
    std::string parameterText(clap_id id, double value) const; // "" when there is none
    std::optional<double> textToValue(clap_id id, const std::string& text) const;

    // State as a host keeps it in a project.
    std::optional<std::vector<uint8_t>> saveState();
    std::optional<std::vector<uint8_t>> saveState(const StreamShape& shape);
    bool loadState(const std::vector<uint8_t>& bytes);
    bool loadState(const std::vector<uint8_t>& bytes, const StreamShape& shape);

    // Transport the host reports in each process call.
    void setTempo(double bpm);
    void setPlaying(bool playing);
    void locate(double ppq);
    void setLoop(bool active, double startPpq = 0.0, double endPpq = 0.0);
    void setProvidesTransport(bool provides) { providesTransport = provides; }
    void queueTransportChange(const TransportChange& change);
    double sampleRate() const { return rate; }
    double ppqPosition() const { return ppqAt(sampleClock); }
    int64_t samplePosition() const { return sampleClock; }

    // Input for the next block, frames inside that block.
    void queueMidi(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    void noteOn(int32_t frame, int channel, int note, int velocity);
    void noteOff(int32_t frame, int channel, int note);
    void controller(int32_t frame, int channel, int number, int value);
    void queueNoteEvent(int32_t frame, uint16_t type, int channel, int key, double velocity,
                        int portIndex = 0);

    // Runs one process call with the queued input; the transport then moves
    // on by the block's length.
    void processBlock(int32_t frames);
    // Runs blocks of the given size until `frames` samples have passed.
    void run(int64_t frames, int32_t blockSize);

    // What came back.
    std::vector<ReceivedEvent> events;
    std::vector<ParameterEvent> parameterEvents;
    std::vector<float> left, right; // the last block's audio
    bool captureAudio = false;      // append every block's audio to these
    std::vector<float> audioLeft, audioRight;
    clap_process_status lastStatus = CLAP_PROCESS_CONTINUE;
    // What the plug-in asked of the host.
    int callbackRequests = 0;
    int flushRequests = 0;
    int rescans = 0;
    uint32_t rescanFlags = 0; // of all rescans so far
    int dirtyMarks = 0;

    // True on a thread while it runs plug-in code on the host's behalf (and
    // false again while the plug-in calls back into the host), so that a
    // test can tell the plug-in's work from the host's own.
    static thread_local bool insidePlugin;

private:
    friend struct ClapHostAccess;
    // An input event of any kind, kept whole until the block is sorted.
    union AnyEvent {
        clap_event_header header;
        clap_event_note note;
        clap_event_midi midi;
        clap_event_param_value param;
        clap_event_transport transport;
    };

    static const void* hostExtension(const clap_host* host, const char* id);
    static void requestRestart(const clap_host* host);
    static void requestProcess(const clap_host* host);
    static void requestCallback(const clap_host* host);
    static uint32_t inputSize(const clap_input_events* list);
    static const clap_event_header* inputGet(const clap_input_events* list, uint32_t index);
    static bool outputPush(const clap_output_events* list, const clap_event_header* event);
    void setUp();
    void create();
    void takeQueuedFromOtherThreads();
    void receive(const clap_event_header& event);
    clap_event_transport transportAt(int64_t sample) const;
    double ppqAt(int64_t sample) const;
    void reanchor(int64_t sample, double ppq);
    void wrapLoop(int64_t sample);

    Options options;
    // On the heap: an abandoned instance keeps its pointer.
    std::unique_ptr<clap_host> hostTable = std::make_unique<clap_host>();
    std::shared_ptr<ClapLibrary> library;
    const clap_plugin* instance = nullptr;
    std::string loadError;
    bool isActive = false;
    bool callbackPending = false;
    std::thread::id mainThread;
    double rate;
    int32_t maxBlock;

    bool providesTransport = true;
    bool playing = false;
    double tempo = 120.0;
    double ppqAnchor = 0.0;
    int64_t sampleAnchor = 0;
    bool loopActive = false;
    double loopStart = 0.0;
    double loopEnd = 0.0;
    int64_t sampleClock = 0;
    int32_t currentBlockFrames = 0;
    clap_id timerIds = 1;

    std::vector<AnyEvent> pending; // input for the next block
    std::vector<AnyEvent> sorted;  // the block's input, in time order
    std::vector<TransportChange> transportChanges;
    std::mutex otherThreadsLock;
    std::vector<std::pair<clap_id, double>> fromOtherThreads;
    clap_input_events inputList{};
    clap_output_events outputList{};
};
