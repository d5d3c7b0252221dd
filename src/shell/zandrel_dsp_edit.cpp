#include "zandrel_dsp_edit.h"

ZandrelDSPEdit::ZandrelDSPEdit(audioMasterCallback audioMaster, EditorFactory makeEditor)
    : ZandDSP(audioMaster) {
    setUniqueID(kZandrelUniqueId);
    if (makeEditor) setEditor(makeEditor(*this, audioMaster)); // also sets effFlagsHasEditor
    resume();
}

ZandrelDSPEdit::~ZandrelDSPEdit() {
    // The editor reads the engine to its last moment: it goes first, before
    // any engine member does.
    zandEngine().setEditorLink(nullptr);
    delete editor;
    setEditor(nullptr);
}

intptr_t ZandrelDSPEdit::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                    float opt) {
    // What the real-time thread had to tell the editor reaches it here, on
    // the thread that runs the window.
    if (opcode == effEditIdle) zandEngine().deliverEditorNotifications();
    return ZandDSP::dispatcher(opcode, index, value, ptr, opt);
}
