// The class a host actually gets: the engine plus the editor it owns. Every
// parameter change reaches the editor after the engine has applied it.
// The editor comes from a factory, so that a build without a window (and
// the engine's tests) make none.
#pragma once

#include "editor_link.h"
#include "spsc_ring.h"
#include "zand_dsp.h"

class ZandrelDSPEdit;
// Makes the editor of an effect; it also links itself for notifications.
using EditorFactory = AEffEditor* (*)(ZandrelDSPEdit& effect, audioMasterCallback audioMaster);

class ZandrelDSPEdit : public ZandDSP {
public:
    explicit ZandrelDSPEdit(audioMasterCallback audioMaster, EditorFactory makeEditor = nullptr);
    ~ZandrelDSPEdit() override;

    int32_t getVendorVersion() override { return 1005; }
    void setParameter(int32_t index, float value) override;
    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;

    // The editor (or, in tests, an observer standing in for it). Not owned.
    void setEditorLink(EditorLink* link);
    // Delivers notifications the real-time thread queued; the editor calls
    // this from its idle, tests call it directly.
    void deliverEditorNotifications();

protected:
    void notifyEditor(int32_t index, float value) override;

private:
    struct Notification {
        int32_t index;
        float value;
    };
    std::atomic<EditorLink*> editorLink{nullptr};
    // The real-time thread never calls into the editor: what it has to say
    // waits here until the user-interface thread collects it.
    SpscRing<Notification, 1024> fromRealtime;
};
