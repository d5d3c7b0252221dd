// Step playback: what the arpeggiator plays when a new step is due.
#include "zand_dsp.h"

void ZandDSP::applyHeldNoteInput(int note, int channel, int velocity) {
    (void)note;
    (void)channel;
    (void)velocity;
}

int ZandDSP::applyArpNoteRule(int note) const {
    return note;
}

int32_t ZandDSP::arpNoteLength() const {
    return 1;
}
