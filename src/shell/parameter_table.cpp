// The parameter interface: names, values and displays of every index.
#include "parameter_indices.h"
#include "zand_dsp.h"

#include <cstdio>
#include <cstring>

void ZandDSP::setParameter(int32_t index, float value) {
    if (index < param::kHostParameterCount && st.paramGuardBlocks < kParamGuardLength) return;
    switch (index) {
    case param::kPreviewOn:
        st.previewMuted = value == 0.0f;
        if (value != 0.0f)
            for (PreviewVoice& v : st.previewVoice) v.active = 0;
        break;
    default:
        break;
    }
}

float ZandDSP::getParameter(int32_t index) {
    switch (index) {
    case param::kPreviewOn:
        return st.previewMuted ? 0.0f : 1.0f;
    default:
        return 0.0f;
    }
}

void ZandDSP::getParameterName(int32_t index, char* text) {
    std::strcpy(text, index < param::kHostParameterCount ? "" : "unknown");
}

void ZandDSP::getParameterLabel(int32_t index, char* text) {
    std::strcpy(text, index == 1 || index == 2 ? "%" : "  ");
}

void ZandDSP::getParameterDisplay(int32_t /*index*/, char* /*text*/) {}
