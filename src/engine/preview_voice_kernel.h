// The sounding preview voices over a span, four voices to a vector (AVX2 on
// x86-64, chosen at run time; other processors have no kernel). Every
// operation is the one the per-sample loop does, element by element, so each
// voice's values are the same to the bit; the values are then added to the
// outputs in voice order, sample by sample.
#pragma once

#include "preview_voice.h"

#include <cstdint>

// True when the processor has what the vector kernel needs.
bool previewKernelAvailable();

// Renders `count` voices (in the order given, all active) over
// [from, from + length) into both outputs, which must be distinct. No note
// length may end inside the span. `table` is widenedWaveformTable().
void renderPreviewVoicesVectorized(PreviewVoice* const* voices, int count, const double* table,
                                   float* left, float* right, int32_t from, int32_t length);
