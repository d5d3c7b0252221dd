// The preview synthesizer: one table-lookup voice per sounding note, mixed
// into both outputs, so the result is audible without an instrument. Its
// voices also time the arpeggiator's note lengths.
#include "numeric.h"
#include "waveform_table.h"
#include "zand_engine.h"

#include <cmath>

void ZandEngine::startPreviewVoice(PreviewVoice& v, int note) noexcept {
    v.active = 1;
    v.note = note;
    v.phaseIncrement = 13.75 * std::pow(2.0, (note - 9) / 12.0) / st.sampleRate;
    v.phase = (random.next() % 100) * 0.01;
    v.attackCounter = kAttackSamples;
    v.releaseCounter = 0;
}

void ZandEngine::releasePreviewVoice(int note, int voiceLimit) noexcept {
    // The search starts after the voice most recently started.
    const int start = clampTo<int32_t>(st.nextVoice, 0, kPreviewVoiceCount - 1);
    for (int i = 1; i <= voiceLimit; ++i) {
        PreviewVoice& v = st.previewVoice[(start + i) % voiceLimit];
        if (v.active && v.note == note && v.releaseCounter == 0) {
            v.releaseCounter = kReleaseSamples;
            return;
        }
    }
}

void ZandEngine::releaseChordPreviewVoices() noexcept {
    for (int i = 0; i < kChordPreviewVoices; ++i) {
        PreviewVoice& v = st.previewVoice[i];
        if (v.active && v.releaseCounter == 0) v.releaseCounter = kReleaseSamples;
    }
}

void ZandEngine::runPreviewSample(float* left, float* right, int32_t s) noexcept {
    const bool muted = st.previewMuted != 0;
    for (int index = 0; index < kPreviewVoiceCount; ++index) {
        PreviewVoice& v = st.previewVoice[index];
        if (!v.active) continue;
        if (v.gateCountdown > 0) {
            const int32_t was = v.gateCountdown--;
            // The note may have ended already (the next step, a release), or
            // been struck again by another voice: then it is not this
            // voice's to end.
            const int note = v.gateNote & 127;
            if (was == 1 && st.arpNoteOn[note] && st.arpNoteVoice[note] == index)
                sendArpNoteOff(note, s);
        }
        v.phase += v.phaseIncrement;
        if (v.phase >= 1.0) v.phase -= 1.0;
        double value = 0.0;
        if (!muted) {
            const double scaled = v.phase * 65535;
            const double whole = std::floor(scaled);
            const int i = static_cast<int>(whole) & (kWaveformSize - 1);
            const int j = (i + 1) % kWaveformSize;
            const double f = scaled - whole;
            value = (1 - f) * waveform[j] + f * waveform[i];
        }
        if (v.attackCounter > 0) {
            value *= (kAttackSamples - v.attackCounter) / static_cast<double>(kAttackSamples);
            v.attackCounter -= 1;
        }
        if (v.releaseCounter > 0) {
            value *= v.releaseCounter / static_cast<double>(kReleaseSamples);
            const int32_t was = v.releaseCounter--;
            if (was == 1) {
                v.active = 0;
                v.note = 0;
            }
        }
        if (!muted) {
            if (left) left[s] += static_cast<float>(value);
            if (right) right[s] += static_cast<float>(value);
        }
    }
}
