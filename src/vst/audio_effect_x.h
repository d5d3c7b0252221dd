// The VST 2 extensions: MIDI in and out, time information, the effect's
// identity strings and capabilities.
#pragma once

#include "audio_effect.h"
#include "vst_time_info.h"

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
        : AudioEffect(audioMaster, numPrograms, numParams) {}

    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;

    virtual int32_t processEvents(VstEvents* /*events*/) { return 0; }
    virtual bool getProgramNameIndexed(int32_t /*category*/, int32_t /*index*/, char* /*text*/) {
        return false;
    }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual int32_t getVendorVersion() { return 0; }
    virtual int32_t canDo(char* /*text*/) { return 0; }
    virtual int32_t getPlugCategory() { return kPlugCategUnknown; }
    virtual int32_t getGetTailSize() { return 0; }
    virtual int32_t getNumMidiInputChannels() { return 0; }
    virtual int32_t getNumMidiOutputChannels() { return 0; }
    virtual bool canParameterBeAutomated(int32_t /*index*/) { return true; }
    virtual int32_t startProcess() { return 0; }
    virtual int32_t stopProcess() { return 0; }
    virtual intptr_t vendorSpecific(int32_t /*index*/, intptr_t /*value*/, void* /*ptr*/,
                                    float /*opt*/) {
        return 0;
    }

    // Host calls.
    VstTimeInfo* getTimeInfo(int32_t filter);
    bool sendVstEventsToHost(VstEvents* events);
    void wantEvents(int32_t filter = 1);
    bool updateDisplay();
    bool sizeWindow(int32_t width, int32_t height);
    bool getHostProductString(char* text);
    bool beginEdit(int32_t index);
    bool endEdit(int32_t index);
};
