// The fast path of the processing loop. Most samples change nothing but the
// clock position and the preview voices' phases: between the samples where
// an input note, a step, a jump of the clock or the end of a note length is
// due, whole spans run at once — the voices one after the other over the
// span, the clock in a single move. Those due samples run the per-sample
// reference itself, so the events and the audio are the reference's, bit
// for bit.
#include "numeric.h"
#include "zand_engine.h"

#include <cstdint>

bool ZandEngine::fastPathFits(const float* left, const float* right,
                              int32_t frames) const noexcept {
    // Outputs that overlap only in part would see the sums in another
    // order; the same buffer twice sees them in the reference's order.
    if (!left || !right || left == right) return true;
    const auto a = reinterpret_cast<uintptr_t>(left);
    const auto b = reinterpret_cast<uintptr_t>(right);
    const uintptr_t bytes = sizeof(float) * static_cast<uintptr_t>(frames > 0 ? frames : 0);
    return a >= b + bytes || b >= a + bytes;
}

void ZandEngine::runSamplesFast(float* left, float* right, int32_t frames, int queued) noexcept {
    int32_t s = 0;
    while (s < frames) {
        int32_t span = samplesUntilInput(s, frames, queued);
        if (span > 0) span = samplesUntilGateEnds(span);
        // The free rate adds its phase sample by sample: it stays per sample.
        if (span > 0 && st.arpOn) span = st.arpFreeRate ? 0 : quietClockSamples(span);
        if (span == 0) {
            runReferenceSample(left, right, s, queued);
            s += 1;
            continue;
        }
        renderPreviewSpan(left, right, s, span);
        skipQuietClock(span);
        s += span;
    }
}

int32_t ZandEngine::samplesUntilInput(int32_t s, int32_t frames, int queued) const noexcept {
    int32_t span = frames - s;
    for (int q = 0; q < queued; ++q) {
        const int32_t due = st.InputNoteQueue[q].deltaFrames;
        if (due >= s && due - s < span) span = due - s;
    }
    return span;
}

int32_t ZandEngine::samplesUntilGateEnds(int32_t limit) const noexcept {
    // A countdown at g ends the note at the g-th sample from now, which
    // then runs per sample.
    int32_t span = limit;
    for (const PreviewVoice& v : st.previewVoice) {
        if (!v.active || v.gateCountdown <= 0) continue;
        if (v.gateCountdown - 1 < span) span = v.gateCountdown - 1;
    }
    return span;
}

void ZandEngine::skipQuietClock(int32_t samples) noexcept {
    if (st.arpOn) {
        // The span's last tick is quiet too, but leaves stepCounter behind:
        // computed as the tick computes it, or by the tick itself.
        st.clockSamples += samples - 1;
        st.beatPos = beatPosAfter(st.clockSamples);
        if (lookahead.offsetKnown) {
            const double spb = currentPatternRecord().stepsPerBeat;
            const double s = (st.beatPos - st.patternOrigin) * spb;
            st.stepCounter = saturatingFloor(s - spb * lookahead.offset);
        } else {
            arpClockTick();
        }
        advanceClock();
    } else {
        st.clockSamples += samples;
        st.beatPos = beatPosAfter(st.clockSamples);
    }
    st.predictedPos = st.beatPos;
    st.sampleInBlock += samples;
}
