// The preview synthesizer's single-cycle waveform: a falling ramp with a
// short linear fade at both ends of the table.
#pragma once

constexpr int kWaveformSize = 65536;

// Built once on first use and shared by every instance (it never changes).
const float* waveformTable();

// The same table in double precision (each entry converted exactly), with
// entry 0 repeated after the last one, so that an entry and the one after
// it can be read together; also built once.
const double* widenedWaveformTable();
