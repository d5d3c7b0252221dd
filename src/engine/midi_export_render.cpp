// Dragging the current chord or arpeggio out as a MIDI file: one bar is
// rendered offline through the engine's own chord and arpeggiator code, on
// a copy of the engine, and the captured events become a format-0 file at
// the path buffer.
#include "midi_export_file.h"
#include "midi_status.h"
#include "numeric.h"
#include "zand_engine.h"

#include <memory>
#include <thread>

void ZandEngine::exportMidiFile(float value) {
    // The bar is rendered on a copy: the live engine plays on untouched
    // while the render runs on this thread.
    std::unique_ptr<ZandEngine> copy(new ZandEngine(OfflineCopy{}, *this));
    const auto bytes = copy->renderExportBar(exportModeOfValue(value));
    writeMidiExportFile(pathBuffer, bytes);
    allChordNotesOff();
    allArpNotesOff();
}

std::vector<uint8_t> ZandEngine::renderExportBar(ExportMode mode) {
    outputOwner.store(std::this_thread::get_id(), std::memory_order_release);
    st.xmitChordsCh2 = 0;
    if (mode != ExportMode::kArpeggio) st.arpOn = 0;
    // A host loop does not apply to the bar rendered here.
    st.lastTransport.loopActive = false;
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
    }

    return midiExportBytes({outputEvents.begin(), outputEvents.end()}, samplesPerBeat, st.chordName,
                           mode, currentPatternIndex(),
                           [this](const char* line) { diag("%s", line); });
}
