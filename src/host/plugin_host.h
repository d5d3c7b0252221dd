// A small VST 2.4 host: loads Zandrel.so with dlopen, answers its callback,
// runs a transport it controls, sends MIDI in and collects the MIDI and
// audio that come back. The tests, the demo, the renderer and the
// benchmarks all drive the plug-in through it, exactly as a DAW would.
#pragma once

#include "aeffect.h"
#include "vst_events.h"
#include "vst_time_info.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class PluginHost {
public:
    struct Options {
        double sampleRate = 48000.0;
        int32_t maxBlockSize = 4096;
        intptr_t hostVersion = 2400;
        std::string productString = "Zandrel Test Host";
        bool openAndResume = true; // effOpen, rate, block size, resume
    };

    // One MIDI event the plug-in sent, with its place on the host's timeline.
    struct ReceivedEvent {
        int64_t sampleTime; // block start + deltaFrames
        int32_t deltaFrames;
        int32_t blockFrames;
        int32_t type;
        int32_t byteSize;
        uint8_t status;
        uint8_t data1;
        uint8_t data2;
    };

    explicit PluginHost(const std::string& pluginPath);
    PluginHost(const std::string& pluginPath, const Options& options);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    bool loaded() const { return effect != nullptr; }
    // Suspends and closes the effect now; the library stays loaded until
    // the host is destroyed.
    void close();
    // Forgets the instance without closing it: the destructor then unloads
    // the library with the instance still open, as some hosts and
    // scanners do. Whatever the abandoned effect still calls back reaches
    // no host.
    void abandonInstance() {
        if (effect) effect->resvd1 = 0;
        effect = nullptr;
    }
    const std::string& error() const { return loadError; }
    AEffect* aeffect() const { return effect; }
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);

    // Parameters and texts.
    void setParameter(int32_t index, float value);
    float getParameter(int32_t index);
    std::string parameterName(int32_t index);
    std::string parameterLabel(int32_t index);
    std::string parameterDisplay(int32_t index);
    std::string stringQuery(int32_t opcode);
    int32_t canDo(const char* what);

    // Transport the host reports through audioMasterGetTime.
    void setTempo(double bpm);
    void setPlaying(bool playing);
    void locate(double ppq);
    void setLoop(bool active, double startPpq = 0.0, double endPpq = 0.0);
    void setProvidesTimeInfo(bool provides) { providesTimeInfo = provides; }
    void setSampleRate(double rate); // also tells the plug-in (suspend, rate, resume)
    // A host's release and prepare around a change of its audio set-up:
    // stop processing and suspend; then rate, maximum block size, resume and
    // start processing.
    void release();
    void prepare(double rate, int32_t maxBlockSize);
    double sampleRate() const { return rate; }
    double ppqPosition() const { return currentPpq(); }
    int64_t samplePosition() const { return sampleClock; }

    // MIDI for the next block: deltaFrames inside that block.
    void queueMidi(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
    void noteOn(int32_t deltaFrames, int channel, int note, int velocity);
    void noteOff(int32_t deltaFrames, int channel, int note);
    void controller(int32_t deltaFrames, int channel, int number, int value);

    // Runs one block: effProcessEvents with the queued MIDI (if any), then
    // processReplacing; the transport then moves on by the block's length.
    void processBlock(int32_t frames);
    // Runs blocks of the given size until `frames` samples have passed.
    void run(int64_t frames, int32_t blockSize);

    // The editor window: effEditGetRect, effEditOpen (parentWindow: an X11
    // window id as a pointer), effEditIdle, effEditClose.
    bool editorRect(int32_t& width, int32_t& height);
    bool openEditor(void* parentWindow);
    void idleEditor();
    void closeEditor();
    // What a DAW shows or records of the plug-in's calls, on the thread
    // that made them: "automate" (index, value), "begin" and "end" of an
    // edit gesture (index), "updateDisplay", "size" (width, height).
    std::function<void(const char* what, int32_t index, float value)> observer;
    // Answers audioMasterSizeWindow; without one the request is granted.
    std::function<bool(int32_t width, int32_t height)> sizeWindowHandler;

    // What came back.
    std::vector<ReceivedEvent> events;
    std::vector<float> left, right; // the last block's audio
    bool captureAudio = false;      // append every block's audio to these
    std::vector<float> audioLeft, audioRight;
    int wantMidiCalls = 0;
    int updateDisplayCalls = 0;
    std::vector<std::pair<int32_t, float>> automated;

    // True on a thread while it runs plug-in code on the host's behalf (and
    // false again while the plug-in calls back into the host), so that a
    // test can tell the plug-in's work from the host's own.
    static thread_local bool insidePlugin;

private:
    static intptr_t callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                             void* ptr, float opt);
    intptr_t answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    void load(const std::string& pluginPath);
    void receive(const VstEvents* incoming);
    double currentPpq() const;
    void reanchor(double ppq);

    Options options;
    void* library = nullptr;
    AEffect* effect = nullptr;
    std::string loadError;
    double rate;
    VstTimeInfo timeInfo{};
    bool providesTimeInfo = true;
    bool playing = false;
    double ppqAnchor = 0.0;
    int64_t sampleAnchor = 0;
    int64_t sampleClock = 0;
    int32_t currentBlockFrames = 0;
    std::vector<VstMidiEvent> pending;
    std::vector<uint8_t> eventBlock;
};
