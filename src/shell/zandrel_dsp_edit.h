// The class a host actually gets: the effect plus the editor it owns. The
// editor comes from a factory, so that a build without a window (and tests)
// make none.
#pragma once

#include "zand_dsp.h"

class ZandrelDSPEdit;
// Makes the editor of an effect; it also links itself for notifications.
using EditorFactory = AEffEditor* (*)(ZandrelDSPEdit& effect, audioMasterCallback audioMaster);

class ZandrelDSPEdit : public ZandDSP {
public:
    explicit ZandrelDSPEdit(audioMasterCallback audioMaster, EditorFactory makeEditor = nullptr);
    ~ZandrelDSPEdit() override;

    int32_t getVendorVersion() override { return 1005; }
};
