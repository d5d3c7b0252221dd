// The arpeggiator clock: which step of the current pattern is due, sample by
// sample. It follows the host's transport while the host plays, runs on at
// the last tempo while it is stopped, can be restarted by the first held key
// and can run at a free rate in hertz instead. Swing and the timing lane
// move single steps late or early.
#include "arp_rates.h"
#include "numeric.h"
#include "step_offset_rule.h"
#include "zand_engine.h"

#include <cmath>

namespace {
// Lane positions outside the sixteen steps (a length set without regard to
// the start, a negative step counter after a loop jump or an early step)
// wrap around: the loop continues at step 0 after step 15.
int foldStep(int64_t step) {
    return static_cast<int>(((step % kStepCount) + kStepCount) % kStepCount);
}

int laneLengthOf(const ArpPattern& p, int lane) {
    return clampTo(p.laneLength[lane], 1, kStepCount);
}

int64_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

void ZandEngine::recomputePatternTiming(int pattern) noexcept {
    if (!st.arpFreeRate) {
        st.patterns[pattern].stepsPerBeat = stepsPerBeatOfRate(st.patterns[pattern].rate);
        return;
    }
    const double hz = freeRateHz(currentPatternRecord().rate);
    const double increment = hz / st.sampleRate;
    st.freeIncrement = increment > 1e-11 ? increment : 1e-11;
    st.freeStepSamples = currentPatternRecord().rate > 1e-7f ? st.sampleRate / hz : 1.0;
}

void ZandEngine::keepPositionAcrossRateChange(double newStepsPerBeat) noexcept {
    setBeatPos(st.beatPos * currentPatternRecord().stepsPerBeat / newStepsPerBeat);
}

void ZandEngine::setBeatPos(double position) noexcept {
    st.beatPos = position;
    st.clockAnchorPos = position;
    st.clockSamples = 0;
}

double ZandEngine::beatPosAfter(int64_t samples) const noexcept {
    // (samples x tempo) / (60 x rate) is exact where step boundaries fall on
    // whole samples, as the host computes its own position; adding
    // beatsPerSample sample by sample would drift.
    return st.clockAnchorPos +
           static_cast<double>(samples) * st.tempo / (60.0 * static_cast<double>(st.sampleRate));
}

void ZandEngine::advanceClock() noexcept {
    st.clockSamples += 1;
    st.beatPos = beatPosAfter(st.clockSamples);
}

void ZandEngine::transportStop() noexcept {
    if (st.midiLatch) allChordNotesOff();
    allArpNotesOff();
    st.patternOrigin = 0.0;
    st.transportChanged = 0;
}

void ZandEngine::arpClockBlock(const TransportInfo* info) noexcept {
    if (info) {
        st.lastTransport = *info;
        st.haveTransport = 1;
        const uint8_t playing = info->playing ? 1 : 0;
        if (playing != st.transportPlaying) {
            st.transportPlaying = playing;
            st.transportChanged = 1;
        }
        // Tempos are kept in a sane range: below 1 BPM the clock would
        // stand still, and a broken host value must not stop it either.
        double tempo = info->tempo;
        if (std::isfinite(tempo) && tempo != st.tempo) {
            tempo = clampTo(tempo, 1.0, 10000.0);
            setBeatPos(st.beatPos); // the new tempo counts from here
            st.tempo = tempo;
            st.samplesPerBeat = 60.0 / tempo * st.sampleRate;
            st.beatsPerSample = 1.0 / st.samplesPerBeat;
        }
        if (playing) {
            if (currentPatternRecord().restartOnKey) return; // the pattern keeps its own clock
            if (st.transportChanged) {
                st.transportChanged = 0;
                st.lastStep = saturatingFloor((st.beatPos - st.patternOrigin) *
                                              currentPatternRecord().stepsPerBeat);
            }
            const double hostPos = info->beatPosition;
            if (!std::isfinite(hostPos)) return;
            // A running clock continues undisturbed through the host's small
            // rounding; a real jump (locate, loop) moves it at once.
            if (st.hostAnchor >= -999.0 && hostPos > 0.0 &&
                std::fabs(st.predictedPos - hostPos) <= 0.001) {
                st.beatPos = st.predictedPos;
            } else {
                setBeatPos(hostPos);
                st.hostAnchor = hostPos;
                st.predictedPos = hostPos;
            }
            return;
        }
    }
    st.hostAnchor = -999999.0;
    st.predictedPos = -10.0;
    if (st.transportChanged) transportStop();
}

double ZandEngine::timingOffset(int64_t step) const noexcept {
    const ArpPattern& p = currentPatternRecord();
    const int length = laneLengthOf(p, kTimingLane);
    const int64_t within = ((step % length) + length) % length;
    const int index = foldStep(within + p.laneStart[kTimingLane]);
    return p.rowValue[rowOfLane(kTimingLane)][index] * 0.5 - 0.25;
}

void ZandEngine::arpClockTick() noexcept {
    if (st.beatPos < 0.0) {
        // Whole loops of 256 quarter notes, added at once.
        double position = st.beatPos + 256.0 * std::ceil(-st.beatPos / 256.0);
        if (!(position >= 0.0)) position = 0.0;
        setBeatPos(position);
    }
    const ArpPattern& p = currentPatternRecord();
    if (st.lastTransport.loopActive && !p.restartOnKey) {
        const double cs = st.lastTransport.loopStart;
        const double ce = st.lastTransport.loopEnd;
        if (st.beatPos > ce && st.beatPos > cs && st.beatPos < ce + 1 && cs < ce)
            setBeatPos((st.beatPos - std::floor(st.beatPos)) + cs);
        if (st.beatPos <= ce && st.beatPos < cs) setBeatPos(st.beatPos + (ce - cs));
    }
    const double spb = p.stepsPerBeat;
    const double s = (st.beatPos - st.patternOrigin) * spb;

    if (st.arpFreeRate) {
        st.freePhase += st.freeIncrement;
        if (st.freePhase >= 1.0) {
            // A counter taken from a huge position starts over at its end.
            st.stepCounter = st.stepCounter < INT32_MAX ? st.stepCounter + 1 : 0;
            st.freePhase -= 1.0;
        }
    } else {
        const int64_t n = saturatingFloor(s);
        const double o = stepOffset(
            n, [&](double offset) { return saturatingFloor(s - spb * offset) == st.lastStep; });
        st.stepCounter = saturatingFloor(s - spb * o);
    }

    // A step back by one never retriggers (an early step's neighbour).
    if (st.stepCounter == st.lastStep ||
        static_cast<int64_t>(st.stepCounter) == static_cast<int64_t>(st.lastStep) - 1)
        return;
    st.lastStep = st.stepCounter;
    for (int r = 0; r < kLaneCount; ++r) {
        const int divider = p.laneDivider[r] >= 1 ? p.laneDivider[r] : 1;
        const int64_t q = floorDiv(st.stepCounter, divider);
        const int length = laneLengthOf(p, r);
        st.lanePos[r] = foldStep(p.laneStart[r] + ((q % length) + length) % length);
    }
    if (st.arpHeldCount < 1)
        allArpNotesOff();
    else
        playStep();
}
