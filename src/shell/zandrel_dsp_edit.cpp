#include "zandrel_dsp_edit.h"

ZandrelDSPEdit::ZandrelDSPEdit(audioMasterCallback audioMaster, EditorFactory makeEditor)
    : ZandDSP(audioMaster) {
    setUniqueID(kZandrelUniqueId);
    if (makeEditor) setEditor(makeEditor(*this, audioMaster)); // also sets effFlagsHasEditor
    resume();
}

ZandrelDSPEdit::~ZandrelDSPEdit() {
    // The editor reads the engine to its last moment: it goes first, before
    // any engine member does (and unlinks itself from the engine as it goes).
    delete editor;
    setEditor(nullptr);
}
