// What the validator needs of a plug-in format, whatever the format: a
// host's view of one plug-in file and of its instances. Each format has one
// backend that answers it through that format's own host calls only (for
// VST 2.4 the exported entry and the dispatcher, for CLAP the entry, its
// factory and the plug-in's extensions, for LV2 lilv and the descriptor);
// the checks know nothing else.
#pragma once

#include "output_checks.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace validate {

// One MIDI message the host sends, at its frame inside the block.
struct MidiIn {
    int32_t frame;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

// What one processed block gave back. Valid until the next block.
struct BlockOutput {
    std::vector<SentMidi> midi;
    std::vector<const float*> audio; // one per output channel, `frames` samples each
};

struct PluginInfo {
    std::string name;
    std::string vendor;
    std::string version;
    std::string id;       // the format's identity of the plug-in
    std::string category; // as the format names it
    int audioInputs = 0;
    int audioOutputs = 0;
    bool midiIn = false;
    bool midiOut = false;
};

struct ParameterInfo {
    std::string name;
    std::string unit;
    double min = 0.0;
    double max = 1.0;
};

class PluginInstance {
public:
    virtual ~PluginInstance() = default; // destroys it with the close call if it still lives
    PluginInstance() = default;
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // The format's close call: the instance is gone afterwards.
    virtual void destroy() = 0;
    // Forgets the instance without the close call, as a careless host does
    // before it unloads the library.
    virtual void abandon() = 0;

    // The description, as a scanner reads it.
    virtual PluginInfo info() = 0;
    // The most events one block may carry (0: no limit).
    virtual int eventLimit() = 0;

    // Processing: activate at a rate with blocks of at most `maxBlockSize`
    // frames (the format's prepare, resume or activate), deactivate again.
    virtual bool activate(double sampleRate, int32_t maxBlockSize) = 0;
    virtual void deactivate() = 0;
    // The transport the host reports from the next block on; its position
    // moves on with every block while it plays.
    virtual void setTransport(bool playing, double tempo, double ppq) = 0;
    virtual void process(int32_t frames, const std::vector<MidiIn>& midi, BlockOutput& out) = 0;

    // Parameters, by the host's index, with values in the format's range.
    // setParameter may come from any thread, also while another processes;
    // the value is taken before the next call on the calling thread.
    virtual int parameterCount() = 0;
    virtual ParameterInfo parameterInfo(int index) = 0;
    virtual double parameter(int index) = 0;
    virtual void setParameter(int index, double value) = 0;
    virtual std::string parameterText(int index) = 0; // of the current value
    // Text to value, where the format has it (nothing otherwise).
    virtual std::optional<double> textToValue(int index, const std::string& text) = 0;

    // State as the host keeps it in a project; false when a load is refused.
    virtual std::vector<uint8_t> saveState() = 0;
    virtual bool loadState(const std::vector<uint8_t>& bytes) = 0;

    // Programs, where the format has them (a count of 0 otherwise).
    virtual int programCount() = 0;
    virtual int program() = 0;
    virtual void setProgram(int index) = 0;
    virtual std::string programName(int index) = 0;

    // The editor, embedded into an X11 window of the host's.
    virtual bool hasEditor() = 0;
    virtual bool openEditor(unsigned long parentWindow, int& width, int& height) = 0;
    virtual void idleEditor() = 0;
    virtual void closeEditor() = 0;

    // What the format's own rules found wrong since the last call: text
    // written past its buffer, an event record of the wrong size, ...
    virtual std::vector<std::string> takeFormatFaults() = 0;
};

// One plug-in file (or bundle) as a host opens it.
class PluginFormat {
public:
    virtual ~PluginFormat() = default;
    PluginFormat() = default;
    PluginFormat(const PluginFormat&) = delete;
    PluginFormat& operator=(const PluginFormat&) = delete;

    virtual std::string name() const = 0;        // "vst2"
    virtual std::string closeCall() const = 0;   // the call that ends an instance
    virtual std::string editorOffer() const = 0; // how a plug-in offers its editor
    // Opens the file (and runs its entry's set-up, where the format has one).
    virtual bool load(std::string& error) = 0;
    // Closes the file: the library is unmapped once nothing else holds it.
    // Destroying the format without this leaves the file open.
    virtual void unload() = 0;
    // A new instance; the file must be loaded.
    virtual std::unique_ptr<PluginInstance> create(std::string& error) = 0;
};

// The backend for the file at `path`, chosen by its kind; null with a
// reason when no backend takes it.
std::unique_ptr<PluginFormat> openFormat(const std::string& path, std::string& error);

} // namespace validate
