// The preview voices over a span of samples in which no note length ends
// and no note starts or stops: then the voices do not affect each other,
// so each runs through the whole span on its own, the voices in their
// usual order. Every output sample still receives the voices' values in
// voice order, so the float sums are the per-sample loop's sums.
#include "preview_voice_kernel.h"
#include "waveform_table.h"
#include "zand_engine.h"

#include <cmath>

namespace {
// Below this many sounding voices the voice-by-voice loop is cheaper.
constexpr int kVectorVoicesAtLeast = 3;

// floor() as the per-sample loop takes it: below 2^31 a positive value's
// floor is its truncation, which is cheaper. (Zero and below keep floor,
// for the sign of a negative zero.)
inline double floorOfScaled(double scaled) {
    if (scaled >= 1.0 && scaled < 2147483648.0)
        return static_cast<double>(static_cast<int32_t>(scaled));
    return std::floor(scaled);
}

// The phase runs on alone while the preview is muted; the voice ends when
// its release does.
void advanceSilently(PreviewVoice& v, int32_t count) {
    int32_t samples = count;
    if (v.releaseCounter > 0 && v.releaseCounter < samples) samples = v.releaseCounter;
    double phase = v.phase;
    const double increment = v.phaseIncrement;
    for (int32_t k = 0; k < samples; ++k) {
        phase += increment;
        if (phase >= 1.0) phase -= 1.0;
    }
    v.phase = phase;
    if (v.attackCounter > 0)
        v.attackCounter = v.attackCounter > samples ? v.attackCounter - samples : 0;
    if (v.releaseCounter > 0) {
        v.releaseCounter -= samples;
        if (v.releaseCounter == 0) {
            v.active = 0;
            v.note = 0;
        }
    }
    if (v.gateCountdown > 0) v.gateCountdown -= samples;
}

// The sounding voice: runPreviewSample's arithmetic, one voice at a time.
void renderAudibly(PreviewVoice& v, const float* waveform, float* left, float* right, int32_t from,
                   int32_t count) {
    double phase = v.phase;
    const double increment = v.phaseIncrement;
    int32_t samples = 0;
    for (int32_t s = from; s < from + count; ++s) {
        ++samples;
        phase += increment;
        if (phase >= 1.0) phase -= 1.0;
        const double scaled = phase * 65535;
        const double whole = floorOfScaled(scaled);
        const int i = static_cast<int>(whole) & (kWaveformSize - 1);
        const int j = (i + 1) & (kWaveformSize - 1);
        const double f = scaled - whole;
        double value = (1 - f) * waveform[j] + f * waveform[i];
        if (v.attackCounter > 0) {
            value *= (kAttackSamples - v.attackCounter) / static_cast<double>(kAttackSamples);
            v.attackCounter -= 1;
        }
        bool ended = false;
        if (v.releaseCounter > 0) {
            value *= v.releaseCounter / static_cast<double>(kReleaseSamples);
            ended = v.releaseCounter-- == 1;
        }
        if (left) left[s] += static_cast<float>(value);
        if (right) right[s] += static_cast<float>(value);
        if (ended) {
            v.active = 0;
            v.note = 0;
            break;
        }
    }
    v.phase = phase;
    if (v.gateCountdown > 0) v.gateCountdown -= samples;
}
} // namespace

void ZandEngine::renderPreviewSpan(float* left, float* right, int32_t from,
                                   int32_t count) noexcept {
    const bool muted = st.previewMuted != 0;
    // Two distinct outputs and enough voices to fill its vectors: the
    // vector kernel, when the processor has it.
    if (!muted && left && right && left != right && widenedWaveform && previewKernelAvailable()) {
        PreviewVoice* active[kPreviewVoiceCount];
        int n = 0;
        for (PreviewVoice& v : st.previewVoice)
            if (v.active) active[n++] = &v;
        if (n >= kVectorVoicesAtLeast) {
            renderPreviewVoicesVectorized(active, n, widenedWaveform, left, right, from, count);
            return;
        }
    }
    for (PreviewVoice& v : st.previewVoice) {
        if (!v.active) continue;
        if (muted)
            advanceSilently(v, count);
        else
            renderAudibly(v, waveform, left, right, from, count);
    }
}
