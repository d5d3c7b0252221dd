// A small LV2 host: loads one bundle through lilv (and nothing else from
// the system's plug-in folders), instantiates its plug-in with the URID
// map and, if asked, the worker, and plays blocks as an LV2 host does: an
// atom sequence of MIDI, time:Position objects (only when the transport
// changes, at the frame it changes) and patch messages in, the MIDI and
// patch messages out collected, control ports set as automation sets
// them. The tests, the renderer, the real-time checks and the validator
// drive the LV2 build through it.
#pragma once

#include <lilv/lilv.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One bundle as a host sees it: a lilv world of its own with the bundle
// loaded and its plug-in found. The instances of one plug-in in a session
// share it, whatever thread made them; lilv is not made for several
// threads, so every use of the world, and every call of the plug-in's
// instantiation class (instantiate, activate, deactivate, cleanup) and
// discovery class (extension_data), holds lock().
class Lv2Bundle {
public:
    // `uri`: the plug-in to take; empty for the bundle's first.
    Lv2Bundle(const std::string& bundlePath, const std::string& uri);
    ~Lv2Bundle(); // closes the binary, if opened, after the world
    Lv2Bundle(const Lv2Bundle&) = delete;
    Lv2Bundle& operator=(const Lv2Bundle&) = delete;

    bool loaded() const { return lilvPlugin != nullptr; }
    const std::string& error() const { return loadError; }
    const std::string& path() const { return folder; } // ends in '/'
    LilvWorld* world() const { return lilvWorld; }
    const LilvPlugin* plugin() const { return lilvPlugin; }
    std::mutex& lock() const { return worldLock; }
    // The plug-in's binary opened by the host itself and its descriptor
    // found there (as hosts that load LV2 binaries without lilv do), once;
    // null with a reason when that fails. The binary stays loaded until
    // the bundle goes.
    const LV2_Descriptor* openBinary(std::string& error);

private:
    std::string folder;
    std::string loadError;
    LilvWorld* lilvWorld = nullptr;
    const LilvPlugin* lilvPlugin = nullptr;
    void* binary = nullptr;
    const LV2_Descriptor* descriptor = nullptr;
    mutable std::mutex worldLock;
};

class Lv2Host {
public:
    // How the transport is described: hosts differ.
    struct PositionStyle {
        int beatUnit = 4;
        bool sendBeat = true;    // time:beat, else only bar and beat in the bar
        bool doubleTempo = true; // beats per minute as a double, else a float
    };
    struct Options {
        double sampleRate = 48000.0;
        int32_t maxBlockSize = 4096;
        bool offerWorker = true;    // work:schedule among the features
        bool sendsTransport = true; // false: a host that tells no transport
        PositionStyle positionStyle;
        std::string pluginUri; // empty: the bundle's first plug-in
        bool activate = true;  // activate once instantiated
        // The room the output sequence offers the plug-in, in bytes (the
        // atom's size); 0: all of the host's buffer (256 KiB).
        uint32_t eventsOutBytes = 0;
        // Instantiated through the bundle's own load of the binary and its
        // descriptor instead of lilv: the instance then ends with cleanup
        // alone, and an abandoned one leaves the binary to close with the
        // bundle.
        bool loadBinaryItself = false;
    };

    struct PortInfo {
        std::string symbol, name;
        bool control = false, input = false, audio = false, atom = false;
        float minimum = 0, maximum = 0, defaultValue = 0;
        std::vector<std::pair<float, std::string>> scalePoints; // by value
        std::vector<std::string> properties;                    // lv2:portProperty URIs
    };
    struct ReceivedEvent {
        int64_t sampleTime; // block start + frame
        uint32_t size;
        uint8_t status, data1, data2;
    };
    struct ReceivedParameter {
        int64_t sampleTime;
        int32_t index; // host parameter 0..31
        float value;
        bool put; // part of a patch:Put of all parameters
    };

    explicit Lv2Host(const std::string& bundlePath);
    Lv2Host(const std::string& bundlePath, const Options& options);
    // An instance of a bundle already loaded (and shared with other hosts).
    Lv2Host(std::shared_ptr<Lv2Bundle> bundle, const Options& options);
    ~Lv2Host(); // deactivates and cleans up the instance, then lets go of the bundle
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    bool loaded() const;
    const std::string& error() const;
    const std::vector<PortInfo>& ports() const;
    const void* extensionData(const char* uri) const;
    LV2_Handle handle() const;
    const Lv2Bundle& bundle() const;

    // Lifecycle.
    void activate();
    void deactivate();
    bool active() const;
    // Forgets the instance without deactivate or cleanup, as a host that
    // unloads the binary with the instance still alive.
    void abandonInstance();

    // Control ports by their index, as a host's automation writes them: at
    // once from the thread that runs the blocks, or from any other thread
    // through the host's queue, taken before the next block.
    void setPortValue(uint32_t port, float value);
    float portValue(uint32_t port) const;
    void queuePortValue(uint32_t port, float value);

    // Host parameters 0..31: their control ports, as automation writes them,
    // or patch messages at a frame of the next block.
    void setControl(int32_t parameter, float value);
    float control(int32_t parameter) const;
    std::string parameterName(int32_t parameter) const; // its control port's name
    void patchSet(int32_t frame, int32_t parameter, float value);
    void patchGet(int32_t frame, int32_t parameter = -1); // -1: all of them
    std::vector<ReceivedParameter> parameters;

    // Transport, changed at a frame of the next block (0: at its start).
    void setTempo(double bpm, int32_t frame = 0);
    void setPlaying(bool playing, int32_t frame = 0);
    void locate(double ppq, int32_t frame = 0);
    double sampleRate() const;
    int64_t samplePosition() const;

    // MIDI for the next block, frames inside it.
    void queueMidi(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    void noteOn(int32_t frame, int channel, int note, int velocity);
    void noteOff(int32_t frame, int channel, int note);
    void controller(int32_t frame, int channel, int number, int value);

    // Runs one block, then (unless held) the work the plug-in scheduled.
    void processBlock(int32_t frames);
    void run(int64_t frames, int32_t blockSize);
    std::vector<ReceivedEvent> events;
    uint32_t outputBytes = 0;       // the size the last block's output sequence claims
    std::vector<float> left, right; // the last block's audio
    bool captureAudio = false;
    std::vector<float> audioLeft, audioRight;

    // The worker: what the plug-in scheduled waits while held.
    void holdWork(bool hold);
    void runWork();
    size_t workScheduled() const;

    // State through the plug-in's state interface: the properties as they
    // were stored, or a restore from given bytes of a given atom type; and
    // as hosts keep it, a state folder written and read by lilv (Turtle
    // with the chunk in it, and the port values).
    struct StoredProperty {
        std::string key, type;
        std::vector<uint8_t> value;
        uint32_t flags;
    };
    std::optional<std::vector<StoredProperty>> saveState();
    LV2_State_Status restoreState(const std::string& key, const std::vector<uint8_t>& value,
                                  const std::string& type);
    bool saveStateFolder(const std::string& folder);
    bool restoreStateFolder(const std::string& folder);
    // The state as text (Turtle: the port values and the plug-in's
    // properties, through lilv), as hosts keep it inside a project file.
    // A restore answers whether the plug-in took it; the port values are
    // set only then. Text lilv cannot read is refused before the plug-in
    // sees anything.
    std::optional<std::string> saveStateText();
    bool restoreStateText(const std::string& text);

    // Zandrel's own services (its extension for hosts of our own).
    void seedRandom(uint64_t seed);
    bool loadPreset(bool arp, const std::string& path);
    void setParameter(int32_t index, float value); // any index of the parameter door
    void runDeferred();

    // True on a thread while it runs the plug-in's run() (and false while
    // the plug-in calls back into the host).
    static thread_local bool insidePlugin;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
