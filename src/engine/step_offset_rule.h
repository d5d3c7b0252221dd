// Where the clock places a step: the timing lane moves single steps early
// or late by up to a sixteenth of a bar, swing delays every odd step, and
// an early step may take the place of the one before it. The rule asks two
// questions of the clock's position ("with this offset, is it still the
// step played last?"); the tick answers them from its position, the fast
// path's lookahead answers them both ways to bound every offset a stretch
// of ticks may choose.
#pragma once

#include "zand_engine.h"

template <typename IsLastStep, typename TimingOf>
double ZandEngine::stepOffset(int64_t n, IsLastStep isLastStep, TimingOf timingOf) const noexcept {
    const double swingDelay = (n & 1) ? st.swing * 0.125 : 0.0;
    const double tn = timingOf(n);
    double o;
    if (tn > 0.001) {
        if (isLastStep(tn)) {
            const double next = timingOf(static_cast<int64_t>(st.lastStep) + 1);
            o = next < -0.000001 ? next : tn;
        } else {
            o = tn;
        }
    } else {
        const double next = timingOf(n + 1);
        o = next < -0.000001 ? next : 0.0;
    }
    if (swingDelay > 0.0 && o >= 0.0)
        o = swingDelay > o ? swingDelay : o;
    else if (o < 0.0 && isLastStep(o))
        o = 0.0;
    else if (o == 0.0)
        o = swingDelay;
    return o;
}
