// The effect object: the VST 2.4 face of the engine. The host drives it
// through the dispatcher; it hands the engine the host's MIDI and time
// information and answers what the engine asks of the host with the host
// callback.
#pragma once

#include "audio_effect_x.h"
#include "vst_time_info.h"
#include "zand_engine.h"
#include "zandrel_vendor_services.h"

#include <cstdint>

constexpr int32_t kZandrelUniqueId = fourCharId('Q', 'z', '4', 'k');

class ZandDSP : public AudioEffectX, private HostPort {
public:
    explicit ZandDSP(audioMasterCallback audioMaster);
    ~ZandDSP() override;

    // Identity and capabilities.
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override { return 1000; }
    int32_t canDo(char* text) override;
    int32_t getPlugCategory() override { return kPlugCategSynth; }
    int32_t getNumMidiInputChannels() override { return 3; }
    int32_t getNumMidiOutputChannels() override { return 13; }
    intptr_t vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) override;
    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;

    // Lifecycle.
    void suspend() override;
    void resume() override;

    // Programs: one program whose name can be read and set.
    void setProgram(int32_t /*program*/) override {}
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;

    // Parameters (the one door for every change).
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void getParameterName(int32_t index, char* text) override;
    void getParameterLabel(int32_t index, char* text) override;
    void getParameterDisplay(int32_t index, char* text) override;

    // State chunk.
    int32_t getChunk(void** data, bool isPreset) override;
    int32_t setChunk(void* data, int32_t byteSize, bool isPreset) override;

    // Real-time path.
    int32_t processEvents(VstEvents* events) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

    ZandEngine& zandEngine() { return engine; }

private:
    // HostPort: what the engine asks of the host.
    void sendMidi(const MidiMessage* events, int32_t count) noexcept override;
    void displayChanged() override;

    EngineSetup setupFromHost();

    char hostProduct[kVstMaxProductStrLen + 1] = {};
    ZandEngine engine;
    // The host event block: header with 4096 pointers, 4096 records.
    VstEvents* hostEvents = nullptr;
    VstMidiEvent* hostEventRecords = nullptr;
    // The host's events of one processEvents call, as the engine takes them.
    MidiMessage incoming[256];
};
