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
// bisection.
#include "numeric.h"
#include "zand_dsp.h"

#include <bit>
#include <cmath>

namespace {
struct OffsetRange {
    double smallest;
    double largest;
};

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

int32_t ZandDSP::quietClockSamples(int32_t limit) const {
    const ArpPattern& p = currentPatternRecord();
    const double spb = p.stepsPerBeat;
    if (!(spb > 0.0 && spb < 1e300 && st.tempo > 0.0 && st.tempo < 1e300 && st.sampleRate > 0.0f &&
          std::isfinite(st.clockAnchorPos) && std::isfinite(st.patternOrigin)))
        return 0;
    // The first tick reads the position as the block found it.
    if (std::bit_cast<uint64_t>(st.beatPos) !=
        std::bit_cast<uint64_t>(beatPosAfter(st.clockSamples)))
        return 0;
    const int64_t c0 = st.clockSamples;
    auto beatAt = [&](int64_t k) { return beatPosAfter(c0 + k); };
    const double first = beatAt(0);
    if (!(first >= 0.0)) return 0;

    int64_t end = limit - 1; // last sample offset still to be proven quiet
    if ((st.lastTimeInfo.flags & kVstTransportCycleActive) && !p.restartOnKey) {
        const double cs = st.lastTimeInfo.cycleStartPos;
        const double ce = st.lastTimeInfo.cycleEndPos;
        // The jump back to the loop's start: possible once past its end.
        if (cs < ce && !(first >= ce + 1)) {
            if (!(first <= ce)) return 0;
            end = lastHolding(0, end, [&](int64_t k) { return beatAt(k) <= ce; });
        }
        // The jump forward from before the loop's start only gets less likely.
        if (first <= ce && first < cs) return 0;
    }

    const int64_t lastStep = st.lastStep;
    auto stepPosAt = [&](int64_t k) { return (beatAt(k) - st.patternOrigin) * spb; };
    int64_t k = 0;
    while (k <= end) {
        const double s = stepPosAt(k);
        const int64_t n = saturatingFloor(s);
        const OffsetRange o = [&] {
            // Every offset the tick can choose within step n.
            const double swingDelay = (n & 1) ? st.swing * 0.125 : 0.0;
            const double tn = timingOffset(n);
            double candidates[2];
            int count = 0;
            if (tn > 0.001) {
                const double next = timingOffset(lastStep + 1);
                candidates[count++] = tn;
                candidates[count++] = next < -0.000001 ? next : tn;
            } else {
                const double next = timingOffset(n + 1);
                candidates[count++] = next < -0.000001 ? next : 0.0;
            }
            OffsetRange range{HUGE_VAL, -HUGE_VAL};
            for (int c = 0; c < count; ++c) {
                for (const bool laterStepIsCurrent : {false, true}) {
                    double x = candidates[c];
                    if (swingDelay > 0.0 && x >= 0.0)
                        x = swingDelay > x ? swingDelay : x;
                    else if (x < 0.0 && laterStepIsCurrent)
                        x = 0.0;
                    else if (x == 0.0)
                        x = swingDelay;
                    if (!std::isfinite(x)) return OffsetRange{NAN, NAN};
                    range.smallest = x < range.smallest ? x : range.smallest;
                    range.largest = x > range.largest ? x : range.largest;
                }
            }
            return range;
        }();
        if (!std::isfinite(o.smallest) || !std::isfinite(o.largest)) return static_cast<int32_t>(k);
        // A step counter below lastStep - 1 is a new step as well.
        if (saturatingFloor(s - spb * o.largest) < lastStep - 1) return static_cast<int32_t>(k);
        auto notPastStep = [&](int64_t j) {
            return saturatingFloor(stepPosAt(j) - spb * o.smallest) <= lastStep;
        };
        if (!notPastStep(k)) return static_cast<int32_t>(k);
        const int64_t stepEnd =
            lastHolding(k, end, [&](int64_t j) { return saturatingFloor(stepPosAt(j)) <= n; });
        const int64_t quietEnd = lastHolding(k, stepEnd, notPastStep);
        if (quietEnd < stepEnd) return static_cast<int32_t>(quietEnd + 1);
        k = stepEnd + 1;
    }
    return static_cast<int32_t>(end + 1);
}
