// The arpeggiator clock: which step of the current pattern is due, sample by
// sample, following the host's transport or a free rate.
#include "zand_dsp.h"

void ZandDSP::arpClockBlock() {}

void ZandDSP::arpClockTick() {}
