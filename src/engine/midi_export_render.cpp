// Dragging the current chord or arpeggio out as a MIDI file: one bar is
// rendered offline through the engine's own chord and arpeggiator code, and
// the captured events become a format-0 file at the path buffer.
#include "midi_export_file.h"
#include "numeric.h"
#include "zand_dsp.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kNoteOff = 0x80;
} // namespace

void ZandDSP::exportMidiFile(float value) {
    const ExportMode mode = exportModeOfValue(value);
    const uint8_t wasArpOn = st.arpOn;
    const uint8_t wasXmitChords = st.xmitChordsCh2;
    st.arpOn = 0;
    st.xmitChordsCh2 = 0;
    renderBusy[0] = 1;
    renderBusy[1] = 1;
    // The processing routine returns at once from now on; let a block that
    // is running finish before the render takes the output list.
    for (int waited = 0; insideProcessing.load() && waited < 200; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::thread::id previousOwner = outputOwner.exchange(std::this_thread::get_id());
    if (mode == ExportMode::kArpeggio) st.arpOn = wasArpOn;

    // The live clock continues after the render as if nothing happened.
    const EngineState live = st;
    // A host loop does not apply to the bar rendered here.
    st.lastTimeInfo.flags &= ~kVstTransportCycleActive;
    outputEvents.clear();
    st.sampleInBlock = 0;
    setBeatPos(0.0);
    st.lastStep = -1; // step 0 falls on the first sample

    double samplesPerBeat = 60.0 / st.tempo * st.sampleRate;
    if (!(samplesPerBeat >= 1.0)) samplesPerBeat = 1.0;
    const int32_t barSamples = saturatingInt(samplesPerBeat * 4);

    int sentNote[kVoiceCount];
    for (int k = 0; k < kVoiceCount; ++k) {
        sentNote[k] = -1;
        const float stored = st.chordNote[k][st.voiceKey[k] & 127];
        if (!(stored > 0.0f)) continue;
        const int note = st.transpose - 24 + noteOfValue(stored);
        if (note < 0 || note > 127) continue;
        const int velocity =
            clampTo(saturatingInt(st.chordVel[k][st.voiceKey[k] & 127] * 127 + 0.5), 0, 127);
        sendEvent(kNoteOn, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity), 0, k);
        sentNote[k] = note;
    }

    if (st.arpOn) {
        for (int32_t sample = 0; sample < barSamples; ++sample) {
            arpClockTick();
            for (int index = 0; index < kPreviewVoiceCount; ++index) {
                PreviewVoice& v = st.previewVoice[index];
                if (v.gateCountdown <= 0) continue;
                if (--v.gateCountdown == 0) {
                    const int note = v.gateNote & 127;
                    if (st.arpNoteOn[note] && st.arpNoteVoice[note] == index)
                        sendArpNoteOff(note, sample);
                }
            }
            st.sampleInBlock += 1;
            advanceClock();
        }
        for (int k = 0; k < kVoiceCount; ++k)
            if (sentNote[k] >= 0)
                sendEvent(kNoteOff, static_cast<uint8_t>(sentNote[k]), 0, barSamples, k);
        for (PreviewVoice& v : st.previewVoice) v = PreviewVoice{};
    }

    const auto bytes = midiExportBytes(capturedEvents(outputEvents.begin(), outputEvents.end()),
                                       samplesPerBeat, st.chordName, mode, currentPatternIndex(),
                                       [this](const char* line) { diag("%s", line); });
    writeMidiExportFile(pathBuffer, bytes);

    // Put back the clock and the sounding-note tables the render used: the
    // render's own notes never left, and the notes that sounded before it
    // must be found by the release below, not forgotten because the render
    // ended its copies of them.
    std::memcpy(st.outNoteOn, live.outNoteOn, sizeof st.outNoteOn);
    std::memcpy(st.arpNoteOn, live.arpNoteOn, sizeof st.arpNoteOn);
    std::memcpy(st.arpNoteVoice, live.arpNoteVoice, sizeof st.arpNoteVoice);
    std::memcpy(st.arpPitchClassOn, live.arpPitchClassOn, sizeof st.arpPitchClassOn);
    st.beatPos = live.beatPos;
    st.clockAnchorPos = live.clockAnchorPos;
    st.clockSamples = live.clockSamples;
    st.lastStep = live.lastStep;
    st.stepCounter = live.stepCounter;
    st.patternOrigin = live.patternOrigin;
    st.lastTimeInfo = live.lastTimeInfo;
    st.sampleInBlock = 0;
    outputEvents.clear();
    outputOwner.store(previousOwner);
    renderBusy[0] = 0;
    renderBusy[1] = 0;
    st.arpOn = wasArpOn;
    st.xmitChordsCh2 = wasXmitChords;
    allChordNotesOff();
    allArpNotesOff();
}
