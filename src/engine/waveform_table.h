// The preview synthesizer's single-cycle waveform: a falling ramp with a
// short linear fade at both ends of the table.
#pragma once

constexpr int kWaveformSize = 65536;

// Built once on first use and shared by every instance (it never changes).
const float* waveformTable();
