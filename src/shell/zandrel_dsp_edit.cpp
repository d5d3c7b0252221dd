#include "zandrel_dsp_edit.h"

ZandrelDSPEdit::ZandrelDSPEdit(audioMasterCallback audioMaster) : ZandDSP(audioMaster) {
    setUniqueID(kZandrelUniqueId);
    resume();
}

ZandrelDSPEdit::~ZandrelDSPEdit() = default;

intptr_t ZandrelDSPEdit::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                    float opt) {
    // What the real-time thread had to tell the editor reaches it here, on
    // the thread that runs the window.
    if (opcode == effEditIdle) zandEngine().deliverEditorNotifications();
    return ZandDSP::dispatcher(opcode, index, value, ptr, opt);
}
