// The real-time path: intake of the host's events, the per-sample loop, the
// two output routes and the release helpers.
#include "midi_status.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_engine.h"

#include <cmath>
#include <cstring>

// Marks the calling thread as the one inside the processing routine for
// the duration of a call, so that sends from it go straight to the block.
class ProcessingScope {
public:
    explicit ProcessingScope(ZandEngine& engine) : engine(engine) {
        engine.outputOwner.store(std::this_thread::get_id(), std::memory_order_release);
    }
    ~ProcessingScope() { engine.outputOwner.store(std::thread::id{}, std::memory_order_release); }
    ProcessingScope(const ProcessingScope&) = delete;
    ProcessingScope& operator=(const ProcessingScope&) = delete;

private:
    ZandEngine& engine;
};

namespace {

// Moves a channel message n channels up; false when that would leave the
// message's channel range (the status would turn into another message).
bool moveChannel(uint8_t& status, int n) {
    if (status >= 0xF0) return n == 0;
    const int channel = (status & 0x0F) + n;
    if (channel > 15) return false;
    status = static_cast<uint8_t>((status & 0xF0) | channel);
    return true;
}
} // namespace

void ZandEngine::receiveMidi(const MidiMessage* messages, int32_t count) noexcept {
    ProcessingScope scope(*this);
    if (!messages) return;
    // Events sent from here belong to the block that follows.
    st.sampleInBlock = 0;
    // What the editor did before this block comes before the host's events
    // of the block: an audition must not outlive an all-notes-off after it.
    // So does a preset that a program change chose in an earlier block.
    takeHandOvers();
    for (int32_t i = 0; i < count; ++i) {
        const MidiMessage& m = messages[i];
        const uint8_t s = m.status;
        const uint8_t d1 = m.data1;
        const uint8_t d2 = m.data2;
        if (s < 0x80) continue; // not a status byte: nothing a host should send
        const uint8_t kind = s & 0xF0;
        if (kind == kNoteOn || kind == kNoteOff) {
            if ((d2 & 127) != 0) st.lastInputVelocity = static_cast<int8_t>(d2 & 127);
            // Excess note events of a crowded block are dropped.
            if (st.inputNoteCount >= 0 && st.inputNoteCount < kInputQueueSize) {
                InputNoteEntry& q = st.InputNoteQueue[st.inputNoteCount++];
                q.deltaFrames = m.frame;
                q.note = d1 & 127;
                q.velocity = kind == kNoteOn ? (d2 & 127) : 0;
                q.channel = static_cast<uint8_t>((s + 1) & 15);
            }
        } else if (kind == kController) {
            handleController(s, d1 & 127, d2, m.frame);
        } else if (kind == kProgramChange) {
            handleProgramChange(d1 & 127);
        } else {
            sendEvent(s, d1, d2, m.frame, 0);
        }
    }
}

void ZandEngine::handleController(uint8_t status, uint8_t controller, uint8_t value,
                                  int32_t offset) noexcept {
    if (controller == 32 && st.lastControllerNumber == 0) {
        st.subBank = value & 127;
    } else if (controller == 0) {
        st.bank = value;
    } else if (controller == 123) {
        allArpNotesOff();
        allChordNotesOff();
    } else if (controller >= 101 && controller <= 108) {
        if (st.optCcEditsNotes) setParameter(controller - 68, value / 127.0f);
    } else {
        sendEvent(status, controller, value, offset, 0);
    }
    st.lastControllerNumber = controller;
}

void ZandEngine::handleProgramChange(uint8_t program) noexcept {
    const long p = program;
    diag("\n - - - -  recieved PRG CHG with value %li... final result follows:", p);
    diag("\n <><><><> BANK:%i SUBBANK:%i PRG:%li", st.bank, st.subBank, p);
    const auto command = presetCommandOfProgramChange(st.bank, st.subBank, program);
    if (!command) return;
    diag("\n bank %i outval %i", st.bank, static_cast<int>(command->value));
    // The worker thread reads the preset file; the load itself comes back to
    // this thread at the start of a later block (staged_preset_load.h).
    deferWork(command->index, command->value);
    deferWork(param::kRefreshMenus, 10.0f);
}

void ZandEngine::processBlock(float* left, float* right, int32_t sampleFrames,
                              const TransportInfo* transport) noexcept {
    ProcessingScope scope(*this);
    st.sampleInBlock = 0;
    arpClockBlock(transport);
    takeHandOvers();

    const int32_t frames = sampleFrames > 0 ? sampleFrames : 0;
    if (left) std::memset(left, 0, sizeof(float) * frames);
    if (right) std::memset(right, 0, sizeof(float) * frames);

    const int queued = clampTo<int>(st.inputNoteCount, 0, kInputQueueSize);
    if (referencePath.load(std::memory_order_relaxed) || !fastPathFits(left, right, frames)) {
        for (int32_t s = 0; s < frames; ++s) runReferenceSample(left, right, s, queued);
    } else {
        runSamplesFast(left, right, frames, queued);
    }

    // A block without frames has no place for an event: what it would send
    // waits for the next block, at its start.
    if (frames > 0) {
        outputEvents.keepInsideBlock(frames);
        handOverToHost();
    }
    st.inputNoteCount = 0;
    // What the input modes send now (a captured chord's voices) leaves with
    // the next block, at its start: before anything that block brings.
    st.sampleInBlock = 0;
    endOfBlockInputModes(frames);
    if (st.paramGuardBlocks < kParamGuardLength) st.paramGuardBlocks += 1;
}

void ZandEngine::process(const MidiMessage* messages, int32_t count, const TransportChange* changes,
                         int32_t changeCount, float* left, float* right, int32_t frames) noexcept {
    // A block the host's transport changes in is played as consecutive
    // blocks, each with its transport, as a host that gives one transport
    // per block would play it split at those frames. The first part takes
    // the transport given for the block's start.
    const TransportInfo* transport = changeCount > 0 ? &changes[0].transport : nullptr;
    int32_t start = 0;
    int32_t nextMessage = 0;
    int32_t nextChange = 1;
    while (start < frames || start == 0) {
        while (nextChange < changeCount && changes[nextChange].frame <= start)
            transport = &changes[nextChange++].transport;
        int32_t end = frames;
        if (nextChange < changeCount && changes[nextChange].frame < end)
            end = changes[nextChange].frame;
        // The part's messages, their frames counted from its start.
        MidiMessage part[kInputQueueSize];
        int32_t partCount = 0;
        while (nextMessage < count && (messages[nextMessage].frame < end || end == frames)) {
            if (partCount == kInputQueueSize) {
                receiveMidi(part, partCount);
                partCount = 0;
            }
            part[partCount] = messages[nextMessage++];
            part[partCount].frame -= start;
            ++partCount;
        }
        if (partCount > 0) receiveMidi(part, partCount);
        frameBase = start;
        processBlock(left ? left + start : nullptr, right ? right + start : nullptr, end - start,
                     transport);
        frameBase = 0;
        if (end >= frames) break;
        start = end;
    }
}

// The reference: everything the engine does at one sample, in this order.
// The fast path must produce exactly what a run of these produces.
void ZandEngine::runReferenceSample(float* left, float* right, int32_t s, int queued) noexcept {
    for (int q = 0; q < queued; ++q) {
        InputNoteEntry& e = st.InputNoteQueue[q];
        if (e.deltaFrames != s) continue;
        e.deltaFrames = -1;
        trigger(e.note, e.channel, e.velocity);
    }
    if (st.arpOn) arpClockTick();
    runPreviewSample(left, right, s);
    advanceClock();
    st.predictedPos = st.beatPos;
    st.sampleInBlock += 1;
}

void ZandEngine::takeHandOvers() noexcept {
    replayPendingSends();
    applyStagedPresetLoads();
}

void ZandEngine::replayPendingSends() noexcept {
    PendingSend p;
    while (pendingSends.pop(p)) {
        switch (p.kind) {
        case PendingSend::kChordEvent:
            sendRoutedEvent(p.status, p.data1, p.data2, 0, p.voiceOrFlag, p.routing);
            break;
        case PendingSend::kArpEvent:
            sendArpEvent(p.status, p.data1, p.data2, 0, p.voiceOrFlag != 0);
            break;
        case PendingSend::kArpNoteOff:
            sendArpNoteOff(p.data1, 0);
            break;
        case PendingSend::kReleaseChordPreview:
            releaseChordPreviewVoices();
            break;
        case PendingSend::kSilencePreview:
            silencePreview();
            break;
        case PendingSend::kClockTick:
            if (st.arpOn) arpClockTick();
            break;
        case PendingSend::kTrigger:
            trigger(p.data1, p.voiceOrFlag, p.data2);
            break;
        }
    }
}

void ZandEngine::handOverToHost() noexcept {
    if (outputEvents.empty()) return;
    outputEvents.sortByTime();
    if (frameBase != 0) outputEvents.shiftFrames(frameBase);
    if (port) port->sendMidi(outputEvents.begin(), outputEvents.size());
    outputEvents.clear();
}

void ZandEngine::endOfBlockInputModes(int32_t sampleFrames) noexcept {
    // Step entry: a second without a chord note moves on to the next key.
    if (st.inputMode == kInputStepEntry && st.recordHeld >= 1) {
        st.stepIdleSamples += sampleFrames;
        if (st.stepIdleSamples > static_cast<int32_t>(st.sampleRate)) {
            if (st.currentKey < 127) st.currentKey += 1;
            st.stepIdleSamples = 0;
            setParameter(param::kCurrentKey, st.currentKey / 128.0f);
        }
    }
    // Capture (and the end of a recorded chord): the notes held become the
    // chord of the current key, which then moves on.
    if (st.captureDue) {
        st.captureDue = 0;
        for (int n = 0; n < kKeyCount; ++n) {
            if (!st.outNoteOn[n]) continue;
            const int voice = clampTo<int>(st.recordVoice, 0, kVoiceCount - 1);
            setParameter(param::kNoteNumFirst + voice, n / 128.0f);
            const int next = nextUnlockedVoice(voice);
            if (next > kVoiceCount - 1) {
                st.recordVoice = kVoiceCount - 1;
                break;
            }
            st.recordVoice = static_cast<int8_t>(next);
        }
        if (st.currentKey < 127) st.currentKey += 1;
        setParameter(param::kCurrentKey, st.currentKey / 128.0f);
        st.recordVoice = 0;
    }
}

void ZandEngine::sendEvent(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset,
                           int voice) noexcept {
    // The event goes where the routing sends it now, even when it leaves at
    // the next block: a switch that releases notes and then changes the
    // routing (the arpeggiator switched on) must not swallow the note-offs.
    const uint8_t routing = static_cast<uint8_t>((st.arpOn ? kRouteToArp : 0) |
                                                 (st.xmitChordsCh2 ? kRouteChordsCh2 : 0) |
                                                 (st.xmitVoicesCh3 ? kRouteVoicesCh3 : 0));
    if (!ownsOutput()) {
        if (!handOver({PendingSend::kChordEvent, status, data1, data2, static_cast<uint8_t>(voice),
                       routing}))
            return;
        // The note counts as sounding (or ended) from now on, as if sent at
        // once: a release helper called before the next block must end it.
        // A dropped event leaves the flag as it was.
        if (isNoteMessage(status) && data1 > 0 && data1 < kKeyCount)
            st.outNoteOn[data1] = (status & 0xF0) == kNoteOn && data2 > 0;
        return;
    }
    sendRoutedEvent(status, data1, data2, offset, voice, routing);
}

void ZandEngine::sendRoutedEvent(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset,
                                 int voice, uint8_t routing) noexcept {
    const bool note = isNoteMessage(status);
    bool noteOn = (status & 0xF0) == kNoteOn;
    if (note) {
        if (data1 == 0) return;
        if (noteOn && data2 == 0) {
            status = kNoteOff | (status & 0x0F);
            noteOn = false;
        }
        if (routing & kRouteToArp) {
            applyHeldNoteInput(data1, 1, noteOn ? data2 : 0);
            if (!(routing & kRouteChordsCh2)) {
                previewChordNote(data1, noteOn);
                return;
            }
        }
    }

    if (outputEvents.full()) return; // dropped: no bookkeeping for what was not sent
    uint8_t outStatus = status;
    uint8_t outData1 = data1;
    if (outData1 > 127) {
        // Notes past 127 continue on the next channel.
        outData1 -= 128;
        if (outData1 > 127 || !moveChannel(outStatus, 1)) return;
        // Note 128 would land on note 0, outside 1..127.
        if (note && outData1 == 0) return;
    }
    uint8_t mainStatus = outStatus;
    if (!moveChannel(mainStatus, (routing & kRouteChordsCh2) ? 1 : 0)) return;
    outputEvents.append(mainStatus, outData1, data2, offset);
    if (routing & kRouteVoicesCh3) {
        uint8_t voiceStatus = outStatus;
        if (moveChannel(voiceStatus, 2 + clampTo(voice, 0, kVoiceCount - 1)))
            outputEvents.append(voiceStatus, outData1, data2, offset);
    }
    if (note) previewChordNote(data1, noteOn);
}

void ZandEngine::previewChordNote(uint8_t note, bool noteOn) noexcept {
    // The offline render of an export sounds nothing.
    if (offline) return;
    if (note >= kKeyCount) return;
    if (!noteOn) {
        st.outNoteOn[note] = 0;
        releasePreviewVoice(note, kChordPreviewVoices);
        return;
    }
    st.outNoteOn[note] = 1;
    // While the arpeggiator runs, only its own notes sound in the preview.
    if (st.arpOn) return;
    const int v = takePreviewVoice(kChordPreviewVoices);
    startPreviewVoice(st.previewVoice[v], note);
}

int ZandEngine::takePreviewVoice(int range) noexcept {
    // The next free one of voices 0..range - 1 from where the last started;
    // with none free, the next one is taken over.
    int v = clampTo<int32_t>(st.nextVoice, 0, kPreviewVoiceCount - 1) % range;
    for (int tries = 0; tries < range && st.previewVoice[v].active; ++tries) v = (v + 1) % range;
    st.nextVoice = v;
    return v;
}

void ZandEngine::sendArpEvent(uint8_t status, int note, uint8_t velocity, int32_t offset,
                              bool arpFlag) noexcept {
    if (!ownsOutput()) {
        handOver({PendingSend::kArpEvent, status, static_cast<uint8_t>(clampTo(note, 0, 255)),
                  velocity, static_cast<uint8_t>(arpFlag ? 1 : 0)});
        return;
    }
    if (note < 1) return;
    note = applyArpNoteRule(note);
    if (note < 1 || note > 127) return;
    const bool noteOn = (status & 0xF0) == kNoteOn;
    if (outputEvents.full()) return;
    if (!noteOn) {
        if (arpFlag) st.arpPitchClassOn[note % 12] = 0;
        outputEvents.append(status, static_cast<uint8_t>(note), velocity, offset);
        st.arpNoteOn[note] = 0;
        releasePreviewVoice(note, kPreviewVoiceCount);
        return;
    }
    // A note that already sounds ends before it starts again, so that every
    // note-on has exactly one note-off.
    if (st.arpNoteOn[note]) {
        sendArpNoteOff(note, offset);
        if (outputEvents.full()) return;
    }
    const int v = takePreviewVoice(kPreviewVoiceCount);
    PreviewVoice& voice = st.previewVoice[v];
    // Every voice busy: the note the taken voice was timing ends now.
    if (voice.active && voice.gateCountdown > 0) {
        const int stolen = voice.gateNote & 127;
        voice.gateCountdown = 0;
        if (st.arpNoteOn[stolen] && st.arpNoteVoice[stolen] == v) {
            sendArpNoteOff(stolen, offset);
            if (outputEvents.full()) return;
        }
    }
    if (arpFlag) st.arpPitchClassOn[note % 12] = 1;
    outputEvents.append(status, static_cast<uint8_t>(note), velocity, offset);
    st.arpNoteOn[note] = 1;
    st.arpNoteVoice[note] = static_cast<uint8_t>(v);
    const int32_t length = arpNoteLength();
    voice.gateCountdown = length < 1 ? 1 : length;
    voice.gateNote = note;
    startPreviewVoice(voice, note);
}

void ZandEngine::sendArpNoteOff(int note, int32_t offset) noexcept {
    if (!ownsOutput()) {
        handOver({PendingSend::kArpNoteOff, 0x80, static_cast<uint8_t>(note & 127), 0, 1});
        return;
    }
    if (note < 1 || note > 127 || outputEvents.full()) return;
    st.arpPitchClassOn[note % 12] = 0;
    outputEvents.append(kNoteOff, static_cast<uint8_t>(note), 0, offset);
    st.arpNoteOn[note] = 0;
    releasePreviewVoice(note, kPreviewVoiceCount);
}

void ZandEngine::allChordNotesOff() noexcept {
    for (int n = 0; n < kKeyCount; ++n) {
        if (!st.outNoteOn[n]) continue;
        st.outNoteOn[n] = 0;
        sendEvent(kNoteOff, static_cast<uint8_t>(n), 0, st.sampleInBlock, 0);
    }
    if (!st.arpOn) {
        if (ownsOutput())
            releaseChordPreviewVoices();
        else
            handOver({PendingSend::kReleaseChordPreview, 0, 0, 0, 0});
    }
}

void ZandEngine::arpNotesOff() noexcept {
    for (int n = 0; n < kKeyCount; ++n) {
        if (!st.arpNoteOn[n]) continue;
        st.arpNoteOn[n] = 0;
        sendArpNoteOff(n, st.sampleInBlock);
    }
    if (st.arpOn) {
        if (ownsOutput())
            releaseChordPreviewVoices();
        else
            handOver({PendingSend::kReleaseChordPreview, 0, 0, 0, 0});
    }
}

void ZandEngine::allArpNotesOff() noexcept {
    arpNotesOff();
    st.arpHeldCount = 0;
    st.arpKeysDown = 0;
    setParameter(param::kRefreshArpReleased, 1.0f);
}
