#include "waveform_table.h"

namespace {
struct WaveformTable {
    float entries[kWaveformSize];
    WaveformTable() {
        for (int j = 0; j < kWaveformSize; ++j) {
            float v = static_cast<float>((j / 65535.0 - 0.5) * 0.125);
            if (j < 4096) v *= static_cast<float>(j / 4096.0);
            if (j > 61439) v *= static_cast<float>((65535 - j) / 4096.0);
            entries[j] = v;
        }
    }
};
} // namespace

const float* waveformTable() {
    static const WaveformTable table;
    return table.entries;
}

const double* widenedWaveformTable() {
    struct Widened {
        double entries[kWaveformSize + 1];
        Widened() {
            const float* table = waveformTable();
            for (int j = 0; j < kWaveformSize; ++j) entries[j] = table[j];
            entries[kWaveformSize] = table[0];
        }
    };
    static const Widened widened;
    return widened.entries;
}
