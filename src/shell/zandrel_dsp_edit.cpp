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
    setEditorLink(nullptr);
    delete editor;
    setEditor(nullptr);
}

void ZandrelDSPEdit::setParameter(int32_t index, float value) {
    ZandDSP::setParameter(index, value);
    notifyEditor(index, value);
}

void ZandrelDSPEdit::notifyEditor(int32_t index, float value) {
    if (ownsOutput()) {
        // Full means the editor is not collecting (window closed): it
        // rebuilds what it shows when it opens, so dropping is harmless.
        fromRealtime.push({index, value});
        return;
    }
    if (EditorLink* link = editorLink.load()) link->setParameter(index, value);
}

void ZandrelDSPEdit::setEditorLink(EditorLink* link) {
    editorLink.store(link);
}

void ZandrelDSPEdit::deliverEditorNotifications() {
    Notification n;
    EditorLink* link = editorLink.load();
    while (fromRealtime.pop(n))
        if (link) link->setParameter(n.index, n.value);
}

intptr_t ZandrelDSPEdit::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                    float opt) {
    if (opcode == effEditIdle) deliverEditorNotifications();
    return ZandDSP::dispatcher(opcode, index, value, ptr, opt);
}
