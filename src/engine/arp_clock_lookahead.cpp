// Looking ahead on the arpeggiator clock: how many of the coming samples
// are certain to tick quietly — no new step, no wrap of a negative
// position, no jump at the host's loop. The fast path skips those ticks.
//
// Certainty comes from monotonicity, not from tolerances. The position the
// tick computes, (anchor + samples x tempo / (60 x rate) - origin) x steps
// per beat, never decreases from one sample to the next when tempo, rate
// and steps per beat are positive, because every rounded operation in it
// is monotonic. Within one whole step n the tick's offset is one of a few
// values fixed by n (timing lane, swing); the step it computes lies between
// the steps computed with the smallest and the largest of them. Both
// bounds are evaluated with the tick's own arithmetic, at samples found by
// bisection. A proof reaches well beyond the block and is kept for the
// blocks that follow while its inputs stay the same.
#include "numeric.h"
#include "step_offset_rule.h"
#include "zand_engine.h"

#include <bit>
#include <cmath>

namespace {
// How far one proof looks ahead: about a second, so that at common rates a
// proof is made once per step rather than once per block.
constexpr int64_t kHorizon = 1 << 15;

// The largest j in [lo, hi] for which holds(j), given holds(lo) and that
// holds stays false once it turns false.
template <typename Predicate>
int64_t lastHolding(int64_t lo, int64_t hi, Predicate holds) {
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo + 1) / 2;
        if (holds(mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}
} // namespace

ClockLookaheadInputs ZandEngine::clockLookaheadInputs() const noexcept {
    const ArpPattern& p = currentPatternRecord();
    ClockLookaheadInputs in{};
    in.anchor = std::bit_cast<uint64_t>(st.clockAnchorPos);
    in.origin = std::bit_cast<uint64_t>(st.patternOrigin);
    in.tempo = std::bit_cast<uint64_t>(st.tempo);
    in.stepsPerBeat = std::bit_cast<uint64_t>(p.stepsPerBeat);
    in.cycleStart = std::bit_cast<uint64_t>(st.lastTransport.loopStart);
    in.cycleEnd = std::bit_cast<uint64_t>(st.lastTransport.loopEnd);
    for (int i = 0; i < kStepCount; ++i)
        in.timingRow[i] = std::bit_cast<uint32_t>(p.rowValue[rowOfLane(kTimingLane)][i]);
    in.swing = std::bit_cast<uint32_t>(st.swing);
    in.sampleRate = std::bit_cast<uint32_t>(st.sampleRate);
    in.lastStep = st.lastStep;
    in.timingLength = p.laneLength[kTimingLane];
    in.timingStart = p.laneStart[kTimingLane];
    in.cycleActiveAndRestart = (st.lastTransport.loopActive ? 1 : 0) | (p.restartOnKey ? 256 : 0);
    return in;
}

int32_t ZandEngine::quietClockSamples(int32_t limit) noexcept {
    const ArpPattern& p = currentPatternRecord();
    const double spb = p.stepsPerBeat;
    if (!(spb > 0.0 && spb < 1e300 && st.tempo > 0.0 && st.tempo < 1e300 && st.sampleRate > 0.0f &&
          std::isfinite(st.clockAnchorPos) && std::isfinite(st.patternOrigin)))
        return 0;
    // The first tick reads the position as the block found it.
    if (std::bit_cast<uint64_t>(st.beatPos) !=
        std::bit_cast<uint64_t>(beatPosAfter(st.clockSamples)))
        return 0;
    const ClockLookaheadInputs inputs = clockLookaheadInputs();
    const int64_t now = st.clockSamples;
    const int64_t last = now + limit - 1;
    const ClockLookahead& known = lookahead;
    const bool covered = known.valid && known.inputs == inputs && now >= known.from &&
                         now <= known.quietThrough &&
                         (last <= known.quietThrough || !known.endedAtHorizon);
    if (!covered) proveQuietTicks(inputs, limit > kHorizon ? limit : kHorizon);
    if (!lookahead.valid || now > lookahead.quietThrough) return 0;
    const int64_t quiet = lookahead.quietThrough - now + 1;
    return quiet < limit ? static_cast<int32_t>(quiet) : limit;
}

void ZandEngine::proveQuietTicks(const ClockLookaheadInputs& inputs, int64_t horizon) noexcept {
    const ArpPattern& p = currentPatternRecord();
    const double spb = p.stepsPerBeat;
    const int64_t c0 = st.clockSamples;
    lookahead.inputs = inputs;
    lookahead.valid = false;
    lookahead.from = c0;
    lookahead.endedAtHorizon = false;
    lookahead.offsetKnown = true;
    bool firstOffset = true;
    // Records the proof: samples c0 .. c0 + quiet - 1 tick quietly.
    auto conclude = [&](int64_t quiet) {
        lookahead.valid = quiet > 0;
        lookahead.quietThrough = c0 + quiet - 1;
        lookahead.endedAtHorizon = quiet >= horizon;
        if (!lookahead.valid) lookahead.offsetKnown = false;
    };
    auto beatAt = [&](int64_t k) { return beatPosAfter(c0 + k); };
    const double first = beatAt(0);
    if (!(first >= 0.0)) return conclude(0);

    int64_t end = horizon - 1; // last sample offset still to be proven quiet
    if (st.lastTransport.loopActive && !p.restartOnKey) {
        const double cs = st.lastTransport.loopStart;
        const double ce = st.lastTransport.loopEnd;
        // The jump back to the loop's start: possible once past its end.
        if (cs < ce && !(first >= ce + 1)) {
            if (!(first <= ce)) return conclude(0);
            end = lastHolding(0, end, [&](int64_t k) { return beatAt(k) <= ce; });
        }
        // The jump forward from before the loop's start only gets less likely.
        if (first <= ce && first < cs) return conclude(0);
    }

    const int64_t lastStep = st.lastStep;
    auto stepPosAt = [&](int64_t k) { return (beatAt(k) - st.patternOrigin) * spb; };
    int64_t k = 0;
    while (k <= end) {
        const double s = stepPosAt(k);
        const int64_t n = saturatingFloor(s);
        const OffsetRange o = offsetRange(n);
        if (!std::isfinite(o.smallest) || !std::isfinite(o.largest)) return conclude(k);
        if (std::bit_cast<uint64_t>(o.smallest) != std::bit_cast<uint64_t>(o.largest) ||
            (!firstOffset &&
             std::bit_cast<uint64_t>(o.smallest) != std::bit_cast<uint64_t>(lookahead.offset)))
            lookahead.offsetKnown = false;
        lookahead.offset = o.smallest;
        firstOffset = false;
        // A step counter below lastStep - 1 is a new step as well.
        if (saturatingFloor(s - spb * o.largest) < lastStep - 1) return conclude(k);
        auto notPastStep = [&](int64_t j) {
            return saturatingFloor(stepPosAt(j) - spb * o.smallest) <= lastStep;
        };
        if (!notPastStep(k)) return conclude(k);
        const int64_t stepEnd =
            lastHolding(k, end, [&](int64_t j) { return saturatingFloor(stepPosAt(j)) <= n; });
        const int64_t quietEnd = lastHolding(k, stepEnd, notPastStep);
        if (quietEnd < stepEnd) return conclude(quietEnd + 1);
        k = stepEnd + 1;
    }
    conclude(end + 1);
}

OffsetRange ZandEngine::offsetRange(int64_t n) const noexcept {
    // Every offset the tick can choose within step n: the rule with both
    // answers to each of its questions about the position.
    // The rule reads the timing lane at three steps at most: read once.
    const int64_t afterLast = static_cast<int64_t>(st.lastStep) + 1;
    const double atStep = timingOffset(n);
    const double atNext = timingOffset(n + 1);
    const double atAfterLast = timingOffset(afterLast);
    const auto timingOf = [&](int64_t step) {
        return step == n ? atStep : step == n + 1 ? atNext : atAfterLast;
    };
    OffsetRange range{HUGE_VAL, -HUGE_VAL};
    for (const bool first : {false, true}) {
        for (const bool second : {false, true}) {
            int asked = 0;
            const double x = stepOffset(
                n, [&](double) { return asked++ == 0 ? first : second; }, timingOf);
            if (!std::isfinite(x)) return OffsetRange{NAN, NAN};
            range.smallest = x < range.smallest ? x : range.smallest;
            range.largest = x > range.largest ? x : range.largest;
        }
    }
    return range;
}
