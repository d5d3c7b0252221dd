// The effect object: the VST 2.4 effect that holds the whole engine. The
// host drives it through the dispatcher; every change to the engine's state
// passes through setParameter.
#pragma once

#include "audio_effect_x.h"
#include "background_worker.h"
#include "chord_work_list.h"
#include "clock_lookahead.h"
#include "engine_random.h"
#include "engine_state.h"
#include "output_event_list.h"
#include "pending_sends.h"
#include "preset_file.h"
#include "preset_folders.h"
#include "realtime_log.h"
#include "staged_preset_load.h"
#include "zandrel_vendor_services.h"

#include <atomic>
#include <cstdarg>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

constexpr int32_t kZandrelUniqueId = fourCharId('Q', 'z', '4', 'k');

class ZandDSP : public AudioEffectX {
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
    // A change made in the editor window: applied like setParameter, but
    // host indices pass the guard that follows a resume or a state load.
    void setParameterFromEditor(int32_t index, float value);
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

    // The chord path's output: status, data bytes, sample offset, voice 0..7.
    void sendEvent(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset, int voice);
    // The same with the routing (ChordRouting bits) given rather than read.
    void sendRoutedEvent(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset, int voice,
                         uint8_t routing);
    // The arpeggiator's output; a note-on also starts its note length.
    void sendArpEvent(uint8_t status, int note, uint8_t velocity, int32_t offset, bool arpFlag);
    // Ends an arp note that sounds: the note is the one sent, so the note
    // rules (which may have changed since) are not applied again.
    void sendArpNoteOff(int note, int32_t offset);
    // Release helpers: silence what the chord path or the arpeggiator sounds.
    void allChordNotesOff();
    void allArpNotesOff();
    void arpNotesOff();

    // Resets of group A and group B of the engine record.
    void resetChordMemory();
    void resetArpeggiator();

    // Chord triggering: one queued note at its sample.
    void trigger(int note, int channel, int velocity);

    // Runs work the real-time thread deferred, and the editor notifications
    // it queued, on the calling (non-real-time) thread.
    void runDeferredWork();
    // Reseeds the engine's random source (tests and the renderer).
    void seedRandom(uint64_t seed) { random.reseed(seed); }

    // Presets and files (the editor's file menu, the renderer, program change).
    void loadPresetFromMenu(PresetBank bank, float value);
    // The file at a preset menu position (command 78 or 102's value).
    std::optional<std::string> menuPresetPath(PresetBank bank, float value);
    bool loadPresetFile(PresetBank bank, const std::string& path);
    bool savePreset(PresetKind kind, const std::string& path);
    bool importMidiFile(const std::string& path);
    // Renders one bar offline and writes it as a MIDI file to the path buffer.
    void exportMidiFile(float value);
    PresetLibrary& presetLibrary() { return *presets; }
    std::string& presetPath() { return pathBuffer; }

    EngineState& engine() { return st; }
    const EngineState& engine() const { return st; }

protected:
    friend class EffectDoor;
    void applyConfiguration(const Configuration& configuration);
    // Tells the editor that a value changed, without applying it. The
    // editor-owning subclass forwards it; the bare engine ignores it.
    virtual void notifyEditor(int32_t /*index*/, float /*value*/) {}
    // True when called by the thread that is inside the processing routine
    // (or the offline render), which may write the block's output directly.
    bool ownsOutput() const {
        return outputOwner.load(std::memory_order_acquire) == std::this_thread::get_id();
    }
    // A diagnostic line; on the real-time thread it is written out later.
    void diag(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Queues what another thread asks of the output for the next block.
    // The queue holds 4096; a host that stops processing while the editor
    // keeps working fills it. What does not fit is dropped (false) and told
    // once per filling on stderr.
    bool handOver(const PendingSend& send);

    // setParameter's work after the guard.
    void applyParameter(int32_t index, float value);
    // Parameter handlers.
    void selectPattern(float value);
    void setArpNoteRule(int pitchClass, float value);
    void setPatternRate(int pattern, float value);
    void setLaneParameter(int32_t index, float value);
    void silencePreview();
    void editVoiceNote(int voice, float value);
    void shiftChord(int voice, float value);
    void setCurrentKey(float value);
    void setInputMode(float value);
    void audition(bool play);
    void runCommand(int32_t index, float value);
    void pastePattern();
    void randomizeLane();
    void rotateSteps(bool left);
    void rateDisplay(int pattern, char* text) const;
    // The note of a voice's entry at a key, 0 when the entry is empty.
    int storedNote(int voice, int key) const;
    void restrikeVoice(int voice, int oldNote, int newNote);
    // Chord triggering's parts.
    void playChord(int key, int velocity);
    void rememberPlayedKey(int key);
    void enterChordNote(int note, int channel, int velocity);
    int firstEmptyVoice() const;
    // Names the chord of the current key and tells the editor.
    void refreshChordName();

    int currentPatternIndex() const {
        return st.currentPattern >= 0 && st.currentPattern < kPatternCount ? st.currentPattern : 0;
    }
    ArpPattern& currentPatternRecord() { return st.patterns[currentPatternIndex()]; }
    const ArpPattern& currentPatternRecord() const { return st.patterns[currentPatternIndex()]; }
    int currentLaneIndex() const {
        return st.currentLane >= 0 && st.currentLane < kLaneCount ? st.currentLane : 0;
    }

    // Arpeggiator clock services used by the parameters.
    void recomputePatternTiming(int pattern);
    void keepPositionAcrossRateChange(double newStepsPerBeat);

    // The arpeggiator: held notes, clock, steps.
    void applyHeldNoteInput(int note, int channel, int velocity);
    void sortHeldNotes();
    void arpClockBlock();
    void arpClockTick();
    void transportStop();
    void setBeatPos(double position);
    void advanceClock();
    // The clock position `samples` samples after the last anchor.
    double beatPosAfter(int64_t samples) const;
    // Offset of the step in quarter notes from the timing lane, -0.25..0.25.
    double timingOffset(int64_t step) const;
    void playStep();
    void playNote(int index, int extra);
    // The value of a lane at its current position.
    float laneValue(int lane) const;
    // Applies the per-pitch-class rules; answers the note to send or -1.
    int applyArpNoteRule(int note) const;
    // The gate countdown for an arp note starting now, in samples.
    int32_t arpNoteLength() const;

    EngineState st;
    OutputEventList outputEvents; // the block's OutputEventList
    // [0] stops chord triggering, [1] the processing routine, while a MIDI
    // file is rendered offline.
    std::atomic<uint8_t> renderBusy[2]{};
    const float* waveform = nullptr;
    const double* widenedWaveform = nullptr; // the fast path's copy, see waveform_table.h
    EngineRandom random;
    // Scratch space of the chord set commands, kept here so that they allocate nothing.
    ChordWorkList chordWorkList;
    PendingSends pendingSends;
    std::atomic<bool> handOverDropTold{false};
    RealtimeLog realtimeLog;
    std::atomic<std::thread::id> outputOwner{};
    std::atomic<bool> insideProcessing{false};
    // Set by kVendorUseReferencePath: the per-sample loop instead of the
    // fast path, for tests that compare the two.
    std::atomic<bool> referencePath{false};
    ClockLookahead lookahead; // the fast path's proof about the clock

private:
    friend class ProcessingScope;
    void applySampleRateRule(float rate);
    // What other threads left for this block, whichever of processEvents
    // and processReplacing comes first: the editor's events, then a preset
    // a program change chose.
    void takeHandOvers();
    void replayPendingSends();
    void handOverToHost();
    void handleController(uint8_t status, uint8_t controller, uint8_t value, int32_t offset);
    void handleProgramChange(uint8_t program);
    void endOfBlockInputModes(int32_t sampleFrames);
    void runPreviewSample(float* left, float* right, int32_t s);
    // The per-sample loop's body: input notes due at s, clock, preview.
    void runReferenceSample(float* left, float* right, int32_t s, int queued);
    // The fast path: the same samples, skipping what cannot change anything.
    bool fastPathFits(const float* left, const float* right, int32_t frames) const;
    void runSamplesFast(float* left, float* right, int32_t frames, int queued);
    int32_t samplesUntilInput(int32_t s, int32_t frames, int queued) const;
    int32_t samplesUntilGateEnds(int32_t limit) const;
    // How many ticks from now on are quiet (no step, no jump), up to limit.
    int32_t quietClockSamples(int32_t limit);
    void proveQuietTicks(const ClockLookaheadInputs& inputs, int64_t horizon);
    ClockLookaheadInputs clockLookaheadInputs() const;
    OffsetRange offsetRange(int64_t n, int64_t lastStep) const;
    void skipQuietClock(int32_t samples);
    void renderPreviewSpan(float* left, float* right, int32_t from, int32_t count);
    void startPreviewVoice(PreviewVoice& v, int note);
    void previewChordNote(uint8_t note, bool noteOn);
    void releasePreviewVoice(int note, int voiceLimit);
    void releaseChordPreviewVoices();
    // Program change loads (see staged_preset_load.h). The worker thread
    // runs what processing deferred through runDeferred; the real-time
    // thread applies the ready slots at the start of a block.
    void runDeferred(int32_t index, float value);
    void stagePresetLoad(PresetBank bank, float value);
    void finishStagedLoad(PresetBank bank);
    void applyStagedPresetLoads();

    std::vector<uint8_t> chunkBuffer; // what getChunk hands out
    std::string pathBuffer;           // the file every file operation uses
    std::unique_ptr<PresetLibrary> presets;
    StagedPresetLoad stagedLoads[2]; // by PresetBank
    VstEvents* hostEvents = nullptr; // header with 4096 pointers
    VstMidiEvent* hostEventRecords = nullptr;
    std::unique_ptr<BackgroundWorker> worker;
};
