#include "vst_editor_bridge.h"

#include "zandrel_dsp_edit.h"

VstEditorBridge::VstEditorBridge(ZandrelDSPEdit& effect, audioMasterCallback audioMaster)
    : AEffEditor(&effect), owner(effect), audioMaster(audioMaster),
      editor(std::make_unique<ZandrelGUI>(effect.zandEngine(), *this)) {
    owner.zandEngine().setEditorLink(this);
}

VstEditorBridge::~VstEditorBridge() {
    owner.zandEngine().setEditorLink(nullptr);
    editor.reset();
}

intptr_t VstEditorBridge::callHost(int32_t opcode, int32_t index, intptr_t value, float opt) {
    return audioMaster ? audioMaster(owner.getAeffect(), opcode, index, value, nullptr, opt) : 0;
}

bool VstEditorBridge::getRect(ERect** rect) {
    const EditorRect r = editor->getRect();
    vstRect = ERect{static_cast<int16_t>(r.top), static_cast<int16_t>(r.left),
                    static_cast<int16_t>(r.bottom), static_cast<int16_t>(r.right)};
    *rect = &vstRect;
    return true;
}

bool VstEditorBridge::open(void* parentWindow) {
    AEffEditor::open(parentWindow);
    return editor->open(parentWindow);
}

void VstEditorBridge::close() {
    editor->close();
    AEffEditor::close();
}

void VstEditorBridge::idle() {
    editor->idle();
}

void VstEditorBridge::automate(int32_t index, float value) {
    callHost(audioMasterAutomate, index, 0, value);
}

void VstEditorBridge::beginEdit(int32_t index) {
    callHost(audioMasterBeginEdit, index, 0, 0.0f);
}

void VstEditorBridge::endEdit(int32_t index) {
    callHost(audioMasterEndEdit, index, 0, 0.0f);
}

bool VstEditorBridge::resizeWindow(int32_t width, int32_t height) {
    return callHost(audioMasterSizeWindow, width, height, 0.0f) != 0;
}

void VstEditorBridge::setParameter(int32_t index, float value) {
    editor->setParameter(index, value);
}

AEffEditor* createZandrelEditor(ZandrelDSPEdit& effect, audioMasterCallback audioMaster) {
    return new VstEditorBridge(effect, audioMaster);
}
