// What the renderer needs of a host of our own, whatever the plug-in's
// format: a transport, MIDI in, blocks, MIDI and audio out, and the
// plug-in's state and parameters. One implementation per format, each on
// the host of our own for that format (src/host).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TimedMidi {
    int64_t sample;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

class RenderHost {
public:
    virtual ~RenderHost() = default;
    RenderHost() = default;
    RenderHost(const RenderHost&) = delete;
    RenderHost& operator=(const RenderHost&) = delete;

    virtual double sampleRate() const = 0;
    virtual int64_t samplePosition() const = 0;

    // The transport the plug-in sees from the next block on.
    virtual void setTempo(double bpm) = 0;
    virtual void setPlaying(bool playing) = 0;
    virtual void locate(double ppq) = 0;

    // MIDI for the next block, frames inside it; then the block.
    virtual void queueMidi(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2) = 0;
    virtual void processBlock(int32_t frames) = 0;
    // Appends the MIDI the plug-in sent since the last call, at the host's
    // sample times.
    virtual void takeMidi(std::vector<TimedMidi>& into) = 0;
    // Collects the audio of every block from now on, or stops collecting.
    virtual void captureAudio(bool on) = 0;
    virtual void takeAudio(std::vector<float>& left, std::vector<float>& right) = 0;

    // The plug-in's state and settings.
    virtual void seedRandom(uint64_t seed) = 0;
    virtual bool loadState(std::vector<uint8_t> bytes) = 0; // false: refused
    virtual bool loadPreset(bool arp, const std::string& path) = 0;
    virtual std::optional<std::string> saveState() = 0;
    virtual std::string parameterName(int32_t index) = 0; // of a host parameter
    // Any index of the plug-in's parameter door, 0..1.
    virtual void setParameter(int32_t index, float value) = 0;
};

struct RenderHostOptions {
    double sampleRate = 48000.0;
    int32_t maxBlockSize = 4096;
    std::string hostName = "zandrel-render";
};

// Null, with the reason in `error`, when the plug-in does not load.
std::unique_ptr<RenderHost> openVst2RenderHost(const std::string& pluginPath,
                                               const RenderHostOptions& options,
                                               std::string& error);
std::unique_ptr<RenderHost> openClapRenderHost(const std::string& pluginPath,
                                               const RenderHostOptions& options,
                                               std::string& error);
// The LV2 bundle (a folder); built with ZANDREL_LV2 only.
std::unique_ptr<RenderHost> openLv2RenderHost(const std::string& bundlePath,
                                              const RenderHostOptions& options, std::string& error);
