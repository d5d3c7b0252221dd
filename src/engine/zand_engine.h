// The engine: chord memory, arpeggiator, preview sound, commands, presets
// and files, with no plug-in format in it. A format's adapter owns one,
// hands it MIDI messages and the host's transport with their frames, and
// answers what it asks of the host through a HostPort. Every change to the
// engine's state passes through setParameter.
#pragma once

#include "chord_work_list.h"
#include "clock_lookahead.h"
#include "editor_link.h"
#include "engine_random.h"
#include "engine_state.h"
#include "host_parameters.h"
#include "host_port.h"
#include "midi_export_file.h"
#include "midi_message.h"
#include "output_event_list.h"
#include "pending_sends.h"
#include "preset_file.h"
#include "preset_folders.h"
#include "realtime_log.h"
#include "shared_worker.h"
#include "spsc_ring.h"
#include "staged_preset_load.h"
#include "transport_info.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct EngineSetup {
    float sampleRate = 44100.0f;  // the host's, before the 44100 rule
    const char* hostProduct = ""; // "Live" gets no "Song Options" menu
};

// A change of the host's transport at a frame of the block (formats whose
// hosts report it inside a block: CLAP's and LV2's).
struct TransportChange {
    int32_t frame;
    TransportInfo transport;
};

class ZandEngine {
public:
    ZandEngine(HostPort& port, const EngineSetup& setup);
    ~ZandEngine();
    ZandEngine(const ZandEngine&) = delete;
    ZandEngine& operator=(const ZandEngine&) = delete;

    // Lifecycle, with the host's sample rate at the time (below 44000 the
    // engine keeps its timing at 44100).
    void suspend(float hostSampleRate);
    void resume(float hostSampleRate);
    // From now on the process-wide worker thread reads the presets that
    // program changes choose. Formats call this when their host prepares
    // to process (never from the real-time thread).
    void startWorker();

    // Program name: one program whose name can be read and set.
    void setProgramName(const char* name);
    const char* programName() const { return st.programName; }

    // Parameters (the one door for every change). Host writes below 32 are
    // ignored for ten blocks after a resume or a whole-state load; the
    // editor's own writes pass.
    void setParameter(int32_t index, float value) noexcept;
    void setParameterFromEditor(int32_t index, float value) noexcept;
    // A host's change from inside its process call, between the parts of
    // a block that a format's adapter plays (CLAP's parameter events, LV2's
    // control ports and patch messages at their frames): as setParameter,
    // and what it sends waits for the next part without a lock, as the
    // real-time thread's own. `pastTheGuard` is for a host's settings of an
    // instance that has not played yet, which the guard after a resume
    // does not hold back.
    void setParameterInBlock(int32_t index, float value, bool pastTheGuard = false) noexcept;
    float getParameter(int32_t index) const noexcept;
    void getParameterName(int32_t index, char* text) const;
    void getParameterLabel(int32_t index, char* text) const;
    void getParameterDisplay(int32_t index, char* text) const;

    // State chunk: the block stays valid until the next call.
    int32_t getChunk(void** data);
    int32_t setChunk(const void* data, int32_t byteSize);

    // Real-time path. receiveMidi queues the messages of the block that the
    // next processBlock plays (frames inside that block); processBlock runs
    // it with the host's transport (null when the host gives none). process
    // does both for a block that carries transport changes: the block is
    // played as if split at each change.
    void receiveMidi(const MidiMessage* messages, int32_t count) noexcept;
    void processBlock(float* left, float* right, int32_t frames,
                      const TransportInfo* transport) noexcept;
    void process(const MidiMessage* messages, int32_t count, const TransportChange* changes,
                 int32_t changeCount, float* left, float* right, int32_t frames) noexcept;

    // The chord path's output: status, data bytes, sample offset, voice 0..7.
    void sendEvent(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset,
                   int voice) noexcept;
    // The same with the routing (ChordRouting bits) given rather than read.
    void sendRoutedEvent(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset, int voice,
                         uint8_t routing) noexcept;
    // The arpeggiator's output; a note-on also starts its note length.
    void sendArpEvent(uint8_t status, int note, uint8_t velocity, int32_t offset,
                      bool arpFlag) noexcept;
    // Ends an arp note that sounds: the note is the one sent, so the note
    // rules (which may have changed since) are not applied again.
    void sendArpNoteOff(int note, int32_t offset) noexcept;
    // Release helpers: silence what the chord path or the arpeggiator sounds.
    void allChordNotesOff() noexcept;
    void allArpNotesOff() noexcept;
    void arpNotesOff() noexcept;

    // Resets of group A and group B of the engine record.
    void resetChordMemory() noexcept;
    void resetArpeggiator() noexcept;

    // Chord triggering: one queued note at its sample.
    void trigger(int note, int channel, int velocity) noexcept;

    // Runs the work the real-time thread left for the worker (preset loads
    // chosen by program change) on the calling thread, now.
    void runDeferredWork();
    // While held, that work waits for runDeferredWork: a host of our own
    // replays a session the same way every time.
    void holdDeferredWork(bool hold);
    // One item of that work, handed over by a host's worker (see
    // HostPort::scheduleWork), run on the calling thread.
    void performDeferredWork(int32_t index, float value);
    // Reseeds the engine's random source (tests and the renderer).
    void seedRandom(uint64_t seed) { random.reseed(seed); }
    // The per-sample loop instead of the fast path, for tests that compare.
    void useReferencePath(bool on) { referencePath.store(on, std::memory_order_relaxed); }

    // Presets and files (the editor's file menu, the renderer, program change).
    void loadPresetFromMenu(PresetBank bank, float value);
    // The file at a preset menu position (command 78 or 102's value).
    std::optional<std::string> menuPresetPath(PresetBank bank, float value);
    bool loadPresetFile(PresetBank bank, const std::string& path);
    bool savePreset(PresetKind kind, const std::string& path);
    bool importMidiFile(const std::string& path);
    bool saveChordList(const std::string& path);
    // Renders one bar offline and writes it as a MIDI file to the path buffer.
    void exportMidiFile(float value);
    PresetLibrary& presetLibrary() { return *presets; }
    std::string& presetPath() { return pathBuffer; }

    EngineState& engine() { return st; }
    const EngineState& engine() const { return st; }

    // The editor (not owned). It hears of every parameter change after the
    // engine applied it; what the real-time thread has to say waits until
    // deliverEditorNotifications, which the editor calls from its idle.
    // Once it returns, no notification is still reaching the old link, so
    // the caller may destroy it.
    void setEditorLink(EditorLink* link);
    void deliverEditorNotifications();

protected:
    friend class ZandEngineDoor;
    // A copy for an offline render: the live engine's record and random
    // source, an output of its own, no presets, no worker.
    struct OfflineCopy {};
    ZandEngine(OfflineCopy, const ZandEngine& live);

    void applyParameter(int32_t index, float value) noexcept;
    // A parameter's value as the engine holds it (getParameter bounds it).
    float storedParameter(int32_t index) const noexcept;
    // A change the engine makes by itself; the host hears of host parameters.
    void changeParameter(int32_t index, float value) noexcept;
    void applyConfiguration(const Configuration& configuration);
    // Tells the editor that a value changed, without applying it.
    void notifyEditor(int32_t index, float value) noexcept;
    // True when called by the thread that is inside the processing routine
    // (or the offline render), which may write the block's output directly.
    bool ownsOutput() const noexcept {
        return outputOwner.load(std::memory_order_acquire) == std::this_thread::get_id();
    }
    // True on the real-time thread, inside a block or between the parts of
    // a host's block (setParameterFromProcess): it must not wait or write.
    bool onRealtimeThread() const noexcept {
        return ownsOutput() ||
               betweenPartsOwner.load(std::memory_order_acquire) == std::this_thread::get_id();
    }
    // A diagnostic line; on the real-time thread it is written out later.
    void diag(const char* format, ...) const noexcept __attribute__((format(printf, 2, 3)));
    // Queues what another thread asks of the output for the next block.
    // The queue holds 4096; a host that stops processing while the editor
    // keeps working fills it. What does not fit is dropped (false) and told
    // once per filling.
    bool handOver(const PendingSend& send) noexcept;

    // Parameter handlers.
    void selectPattern(float value) noexcept;
    void setArpNoteRule(int pitchClass, float value) noexcept;
    void setPatternRate(int pattern, float value) noexcept;
    void setLaneParameter(int32_t index, float value) noexcept;
    void silencePreview() noexcept;
    void editVoiceNote(int voice, float value) noexcept;
    void shiftChord(int voice, float value) noexcept;
    void setCurrentKey(float value) noexcept;
    void setInputMode(float value) noexcept;
    void audition(bool play) noexcept;
    void runCommand(int32_t index, float value) noexcept;
    void pastePattern() noexcept;
    void randomizeLane() noexcept;
    void rotateSteps(bool left) noexcept;
    void rateDisplay(int pattern, char* text) const;
    void hostParameterDisplay(const HostParameter& p, char* text) const;
    // The note of a voice's entry at a key, 0 when the entry is empty.
    int storedNote(int voice, int key) const noexcept;
    void restrikeVoice(int voice, int oldNote, int newNote) noexcept;
    // Chord triggering's parts.
    void playChord(int key, int velocity) noexcept;
    void rememberPlayedKey(int key) noexcept;
    void enterChordNote(int note, int channel, int velocity) noexcept;
    int firstEmptyVoice() const noexcept;
    // The first voice after `voice` that is not locked.
    int nextUnlockedVoice(int voice) const noexcept;
    // Names the chord of the current key and tells the editor.
    void refreshChordName() noexcept;

    int currentPatternIndex() const noexcept {
        return st.currentPattern >= 0 && st.currentPattern < kPatternCount ? st.currentPattern : 0;
    }
    ArpPattern& currentPatternRecord() noexcept { return st.patterns[currentPatternIndex()]; }
    const ArpPattern& currentPatternRecord() const noexcept {
        return st.patterns[currentPatternIndex()];
    }
    int currentLaneIndex() const noexcept {
        return st.currentLane >= 0 && st.currentLane < kLaneCount ? st.currentLane : 0;
    }

    // Arpeggiator clock services used by the parameters.
    void recomputePatternTiming(int pattern) noexcept;
    void keepPositionAcrossRateChange(double newStepsPerBeat) noexcept;

    // The arpeggiator: held notes, clock, steps.
    void applyHeldNoteInput(int note, int channel, int velocity) noexcept;
    void sortHeldNotes() noexcept;
    void arpClockBlock(const TransportInfo* transport) noexcept;
    void arpClockTick() noexcept;
    void transportStop() noexcept;
    void setBeatPos(double position) noexcept;
    void advanceClock() noexcept;
    // The clock position `samples` samples after the last anchor.
    double beatPosAfter(int64_t samples) const noexcept;
    // Offset of the step in quarter notes from the timing lane, -0.25..0.25.
    double timingOffset(int64_t step) const noexcept;
    // The offset the clock gives step n (step_offset_rule.h); timingOf(step)
    // answers timingOffset(step), so that a caller asking the rule several
    // times may answer from values it read once.
    template <typename IsLastStep, typename TimingOf>
    double stepOffset(int64_t n, IsLastStep isLastStep, TimingOf timingOf) const noexcept;
    template <typename IsLastStep>
    double stepOffset(int64_t n, IsLastStep isLastStep) const noexcept {
        return stepOffset(n, isLastStep, [this](int64_t step) { return timingOffset(step); });
    }
    void playStep() noexcept;
    void playNote(int index, int extra) noexcept;
    // The value of a lane at its current position.
    float laneValue(int lane) const noexcept;
    // Applies the per-pitch-class rules; answers the note to send or -1.
    int applyArpNoteRule(int note) const noexcept;
    // The gate countdown for an arp note starting now, in samples.
    int32_t arpNoteLength() const noexcept;

    HostPort* port; // null in an offline copy
    bool offline = false;
    EngineState st;
    OutputEventList outputEvents; // the block's OutputEventList
    const float* waveform = nullptr;
    const double* widenedWaveform = nullptr; // the fast path's copy, see waveform_table.h
    EngineRandom random;
    // Scratch space of the chord set commands, kept here so that they allocate nothing.
    ChordWorkList chordWorkList;
    PendingSends pendingSends;
    std::atomic<bool> handOverDropTold{false};
    mutable RealtimeLog realtimeLog;
    std::atomic<std::thread::id> outputOwner{};
    std::atomic<std::thread::id> betweenPartsOwner{};
    // Set by useReferencePath: the per-sample loop instead of the fast path.
    std::atomic<bool> referencePath{false};
    ClockLookahead lookahead; // the fast path's proof about the clock

private:
    friend class ProcessingScope;
    void applySampleRateRule(float rate) noexcept;
    // What other threads left for this block, whichever of receiveMidi and
    // processBlock comes first: the editor's events, then a preset a
    // program change chose.
    void takeHandOvers() noexcept;
    void replayPendingSends() noexcept;
    void handOverToHost() noexcept;
    void handleController(uint8_t status, uint8_t controller, uint8_t value,
                          int32_t offset) noexcept;
    void handleProgramChange(uint8_t program) noexcept;
    void endOfBlockInputModes(int32_t sampleFrames) noexcept;
    void runPreviewSample(float* left, float* right, int32_t s) noexcept;
    // The per-sample loop's body: input notes due at s, clock, preview.
    void runReferenceSample(float* left, float* right, int32_t s, int queued) noexcept;
    // The fast path: the same samples, skipping what cannot change anything.
    bool fastPathFits(const float* left, const float* right, int32_t frames) const noexcept;
    void runSamplesFast(float* left, float* right, int32_t frames, int queued) noexcept;
    int32_t samplesUntilInput(int32_t s, int32_t frames, int queued) const noexcept;
    int32_t samplesUntilGateEnds(int32_t limit) const noexcept;
    // How many ticks from now on are quiet (no step, no jump), up to limit.
    int32_t quietClockSamples(int32_t limit) noexcept;
    void proveQuietTicks(const ClockLookaheadInputs& inputs, int64_t horizon) noexcept;
    ClockLookaheadInputs clockLookaheadInputs() const noexcept;
    OffsetRange offsetRange(int64_t n) const noexcept;
    void skipQuietClock(int32_t samples) noexcept;
    void renderPreviewSpan(float* left, float* right, int32_t from, int32_t count) noexcept;
    void startPreviewVoice(PreviewVoice& v, int note) noexcept;
    // Picks the preview voice for a note starting now (see nextVoice).
    int takePreviewVoice(int range) noexcept;
    void previewChordNote(uint8_t note, bool noteOn) noexcept;
    void releasePreviewVoice(int note, int voiceLimit) noexcept;
    void releaseChordPreviewVoices() noexcept;
    // The bar a MIDI export captures; runs on an offline copy.
    std::vector<uint8_t> renderExportBar(ExportMode mode);
    // Program change loads (see staged_preset_load.h). The worker thread
    // runs what processing deferred through runDeferred; the real-time
    // thread applies the ready slots at the start of a block.
    void runDeferred(int32_t index, float value);
    // Real-time thread: hands work to the host's worker or the shared one.
    void deferWork(int32_t index, float value) noexcept;
    void stagePresetLoad(PresetBank bank, float value);
    void finishStagedLoad(PresetBank bank);
    void applyStagedPresetLoads() noexcept;

    std::vector<uint8_t> chunkBuffer; // what getChunk hands out
    std::string pathBuffer;           // the file every file operation uses
    std::unique_ptr<PresetLibrary> presets;
    StagedPresetLoad stagedLoads[2]; // by PresetBank
    // Where the block being played by process() starts in the host's block.
    int32_t frameBase = 0;
    std::unique_ptr<WorkerClient> worker;
    std::atomic<EditorLink*> editorLink{nullptr};
    // Notifications on their way through the link from threads other than
    // the real-time one (the worker, a host's automation threads).
    std::atomic<int32_t> editorLinkUsers{0};
    struct Notification {
        int32_t index;
        float value;
    };
    // The real-time thread never calls into the editor: what it has to say
    // waits here until the user-interface thread collects it.
    SpscRing<Notification, 1024> fromRealtime;
};
