// A small LV2 host: loads one bundle through lilv (and nothing else from
// the system's plug-in folders), instantiates its plug-in with the URID
// map and, if asked, the worker, and plays blocks as an LV2 host does: an
// atom sequence of MIDI, time:Position objects (only when the transport
// changes, at the frame it changes) and patch messages in, the MIDI and
// patch messages out collected, control ports set as automation sets
// them. The tests, the renderer and the real-time checks drive the LV2
// build through it.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
    };

    struct PortInfo {
        std::string symbol, name;
        bool control = false, input = false;
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
    ~Lv2Host();
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    bool loaded() const;
    const std::string& error() const;
    const std::vector<PortInfo>& ports() const;
    const void* extensionData(const char* uri) const;
    LV2_Handle handle() const;

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
