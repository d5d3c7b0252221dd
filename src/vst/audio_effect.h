// Glue between the C descriptor a host holds and a C++ effect object: the
// dispatcher turns opcodes into virtual calls, the host calls the effect
// needs are wrapped as methods.
#pragma once

#include "aeff_editor.h"
#include "aeffect.h"
#include "vst_events.h"

class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() { return &cEffect; }
    virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                float opt);

    // Parameters.
    virtual void setParameter(int32_t /*index*/, float /*value*/) {}
    virtual float getParameter(int32_t /*index*/) { return 0.0f; }
    virtual void setParameterAutomated(int32_t index, float value);
    virtual void getParameterLabel(int32_t /*index*/, char* text) { *text = 0; }
    virtual void getParameterDisplay(int32_t /*index*/, char* text) { *text = 0; }
    virtual void getParameterName(int32_t /*index*/, char* text) { *text = 0; }

    // Programs and state.
    virtual int32_t getProgram() { return curProgram; }
    virtual void setProgram(int32_t program) { curProgram = program; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { *name = 0; }
    virtual int32_t getChunk(void** data, bool /*isPreset*/) {
        *data = nullptr;
        return 0;
    }
    virtual int32_t setChunk(void* /*data*/, int32_t /*byteSize*/, bool /*isPreset*/) { return 0; }

    // Processing.
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(int32_t size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}
    virtual void open() {}
    virtual void close() {}
    virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) = 0;

    // Setup done by constructors.
    void setUniqueID(int32_t id) { cEffect.uniqueID = id; }
    void setNumInputs(int32_t n) { cEffect.numInputs = n; }
    void setNumOutputs(int32_t n) { cEffect.numOutputs = n; }
    void setInitialDelay(int32_t delay) { cEffect.initialDelay = delay; }
    void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
    void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
    void isSynth(bool state = true) { setFlag(effFlagsIsSynth, state); }
    void setEditor(AEffEditor* newEditor);
    AEffEditor* getEditor() const { return editor; }

    // Host queries.
    virtual float getSampleRate();
    virtual int32_t getMasterVersion();
    bool hasHost() const { return audioMaster != nullptr; }

protected:
    intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    void setFlag(int32_t flag, bool state);

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    int32_t blockSize = 1024;
    int32_t numPrograms;
    int32_t numParams;
    int32_t curProgram = 0;
    AEffect cEffect{};
};
