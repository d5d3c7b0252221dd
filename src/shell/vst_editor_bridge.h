// The editor window as a VST 2.4 host sees it: the AEffEditor that answers
// effEditGetRect, effEditOpen, effEditClose and effEditIdle by forwarding to
// ZandrelGUI, carries the editor's requests to the host (audioMasterAutomate,
// audioMasterBeginEdit, audioMasterEndEdit, audioMasterSizeWindow) and passes
// the engine's notifications on. Built only with the editor.
#pragma once

#include "aeff_editor.h"
#include "aeffect.h"
#include "editor_host.h"
#include "editor_link.h"
#include "zandrel_gui.h"

#include <memory>

class ZandrelDSPEdit;

class VstEditorBridge : public AEffEditor, public EditorHost, public EditorLink {
public:
    VstEditorBridge(ZandrelDSPEdit& effect, audioMasterCallback audioMaster);
    ~VstEditorBridge() override;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;

    void automate(int32_t index, float value) override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    bool resizeWindow(int32_t width, int32_t height) override;

    void setParameter(int32_t index, float value) override;

    ZandrelGUI& gui() { return *editor; }

private:
    intptr_t callHost(int32_t opcode, int32_t index, intptr_t value, float opt);

    ZandrelDSPEdit& owner;
    audioMasterCallback audioMaster;
    std::unique_ptr<ZandrelGUI> editor;
    ERect vstRect{};
};

// The editor factory that the plug-in's entry point hands ZandrelDSPEdit.
AEffEditor* createZandrelEditor(ZandrelDSPEdit& effect, audioMasterCallback audioMaster);
