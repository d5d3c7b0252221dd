// Processors without the vector kernel: the per-voice loop renders every
// span (see preview_voice_span.cpp).
#include "preview_voice_kernel.h"

bool previewKernelAvailable() {
    return false;
}

void renderPreviewVoicesVectorized(PreviewVoice* const* /*voices*/, int /*count*/,
                                   const double* /*table*/, float* /*left*/, float* /*right*/,
                                   int32_t /*from*/, int32_t /*length*/) {}
