#include "zand_dsp.h"

int32_t ZandDSP::getChunk(void** data, bool /*isPreset*/) {
    *data = nullptr;
    return 0;
}

int32_t ZandDSP::setChunk(void* /*data*/, int32_t /*byteSize*/, bool /*isPreset*/) {
    return -1;
}
