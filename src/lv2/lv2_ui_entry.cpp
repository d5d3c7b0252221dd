// The editor's entry point in the bundle's binary: hosts look up
// lv2ui_descriptor and find one UI, an X11 UI embedded in the window the
// host gives (ui:parent) and idled through ui:idleInterface. With the
// plug-in instance (lv2:instanceAccess) it is the editor; without it, a
// notice that says why there is none. Nothing may be thrown across the C
// interface.
#include "lv2_editor_bridge.h"
#include "lv2_ui_notice.h"
#include "lv2_uris.h"
#include "zandrel_lv2.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

const void* featureData(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    return nullptr;
}

// The host's ui:scaleFactor among its options; 0 when it gives none.
float scaleFactorOf(const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
    const auto* option =
        static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options));
    if (!map || !option) return 0.0f;
    const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    const LV2_URID doubleType = map->map(map->handle, LV2_ATOM__Double);
    for (; option->key || option->value; ++option) {
        if (option->key != key || !option->value) continue;
        if (option->type == floatType && option->size == sizeof(float))
            return *static_cast<const float*>(option->value);
        if (option->type == doubleType && option->size == sizeof(double))
            return static_cast<float>(*static_cast<const double*>(option->value));
    }
    return 0.0f;
}

// One UI instance: the editor, or the notice where the host keeps the
// plug-in instance to itself.
struct ZandrelLv2Ui {
    std::unique_ptr<Lv2EditorBridge> editor;
    std::unique_ptr<Lv2UiNotice> notice;
};

LV2UI_Handle instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                         const char* /*bundlePath*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, kZandrelLv2Uri) != 0 || !widget) return nullptr;
    const auto parent = reinterpret_cast<uintptr_t>(featureData(features, LV2_UI__parent));
    if (!parent) return nullptr;
    auto* instance =
        static_cast<ZandrelLv2*>(const_cast<void*>(featureData(features, LV2_INSTANCE_ACCESS_URI)));
    try {
        auto ui = std::make_unique<ZandrelLv2Ui>();
        unsigned long window = 0;
        if (instance) {
            Lv2EditorBridge::HostCalls calls;
            calls.write = write;
            calls.controller = controller;
            calls.resize = static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize));
            calls.touch = static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch));
            calls.scaleFactor = scaleFactorOf(features);
            ui->editor = std::make_unique<Lv2EditorBridge>(*instance, calls);
            window = ui->editor->open(parent);
        } else {
            ui->notice = std::make_unique<Lv2UiNotice>();
            if (ui->notice->open(reinterpret_cast<void*>(parent)))
                if (const auto* resize =
                        static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize)))
                    resize->ui_resize(resize->handle, Lv2UiNotice::kWidth, Lv2UiNotice::kHeight);
            const CFrame* frame = ui->notice->getFrame();
            if (frame && frame->getPlatformFrame())
                window = frame->getPlatformFrame()->nativeWindow();
        }
        if (!window) return nullptr; // no X display: nothing to show
        *widget = reinterpret_cast<LV2UI_Widget>(static_cast<uintptr_t>(window));
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    // The bridge unlinks the engine before its editor goes.
    delete static_cast<ZandrelLv2Ui*>(handle);
}

// Control ports need no forwarding: with instance access the engine tells
// the editor of every change it applies, in the order it applies them,
// the host's port writes included (the plug-in hands them to the engine in
// its next block). What the host echoes here would only show values the
// engine may not have taken yet.
void portEvent(LV2UI_Handle /*handle*/, uint32_t /*port*/, uint32_t /*size*/, uint32_t /*format*/,
               const void* /*buffer*/) {}

int idle(LV2UI_Handle handle) {
    auto* ui = static_cast<ZandrelLv2Ui*>(handle);
    try {
        if (ui->editor)
            ui->editor->idle();
        else
            ui->notice->idle();
    } catch (...) {}
    return 0; // the window lives in the host's: only the host closes it
}

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) {
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kZandrelLv2UiUri, instantiate, cleanup, portEvent,
                                      extensionData};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor*
lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
