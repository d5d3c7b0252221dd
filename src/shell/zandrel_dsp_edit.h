// The class a host actually gets: the effect plus the editor it owns.
#pragma once

#include "zand_dsp.h"

class ZandrelDSPEdit : public ZandDSP {
public:
    explicit ZandrelDSPEdit(audioMasterCallback audioMaster);
    ~ZandrelDSPEdit() override;

    int32_t getVendorVersion() override { return 1005; }
    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;
};
