#include "lv2_editor_bridge.h"

#include "parameter_indices.h"
#include "platform_frame.h"

Lv2EditorBridge::Lv2EditorBridge(ZandrelLv2& plugin, const HostCalls& calls)
    : engine(plugin.zandEngine()), host(calls) {
    // The editor takes the configured size when it is made, as it does in
    // the VST 2.4 build when the effect is made. Here it is made each time
    // the host shows the UI, which may be after a project restored its own
    // size or after the user chose another: that size stays.
    const float size = engine.getParameter(param::kEditorScale);
    editor = std::make_unique<ZandrelGUI>(engine, *this);
    if (plugin.editorSizeSettled()) engine.setParameterFromEditor(param::kEditorScale, size);
    plugin.settleEditorSize();
    // A host that draws at double size asks for 200 %. A factor of 1 says
    // nothing against the 200 % a user chose.
    if (host.scaleFactor >= 1.5f) engine.setParameterFromEditor(param::kEditorScale, 0.5f);
    engine.setEditorLink(this);
}

Lv2EditorBridge::~Lv2EditorBridge() {
    engine.setEditorLink(nullptr);
    editor.reset();
}

unsigned long Lv2EditorBridge::open(unsigned long parentWindow) {
    if (!parentWindow) return 0;
    editor->open(reinterpret_cast<void*>(parentWindow));
    const CFrame* frame = editor->getFrame();
    const IPlatformFrame* platform = frame ? frame->getPlatformFrame() : nullptr;
    const unsigned long window = platform ? platform->nativeWindow() : 0;
    if (!window) {
        editor->close();
        return 0;
    }
    const EditorRect r = editor->getRect();
    resizeWindow(r.width(), r.height());
    return window;
}

void Lv2EditorBridge::idle() {
    editor->idle();
}

// The engine has the value already. The control port follows, so that the
// host records it and shows it: the plug-in's next block sees the port
// move and hands the same value to the engine once more, which changes
// nothing. A port the host leaves alone is never read again, so the port
// cannot bring back an older value later.
void Lv2EditorBridge::automate(int32_t index, float value) {
    if (!host.write || index < 0 || index >= param::kHostParameterCount) return;
    host.write(host.controller, ZandrelLv2::kFirstControl + static_cast<uint32_t>(index),
               sizeof(float), 0, &value);
}

void Lv2EditorBridge::beginEdit(int32_t index) {
    touch(index, true);
}

void Lv2EditorBridge::endEdit(int32_t index) {
    touch(index, false);
}

void Lv2EditorBridge::touch(int32_t index, bool grabbed) {
    if (!host.touch || index < 0 || index >= param::kHostParameterCount) return;
    host.touch->touch(host.touch->handle, ZandrelLv2::kFirstControl + static_cast<uint32_t>(index),
                      grabbed);
}

bool Lv2EditorBridge::resizeWindow(int32_t width, int32_t height) {
    return host.resize && host.resize->ui_resize(host.resize->handle, width, height) == 0;
}

void Lv2EditorBridge::setParameter(int32_t index, float value) {
    editor->setParameter(index, value);
}
