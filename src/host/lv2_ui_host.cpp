#include "lv2_ui_host.h"
#include "window_libraries.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <dlfcn.h>
#include <mutex>

struct Lv2UiHost::Impl {
    Lv2UiHost& owner;
    Lv2Host& plugin;
    std::string error;
    void* binary = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;

    std::vector<std::string> uris{""};
    LV2_URID_Map map{this, &Impl::mapUri};
    LV2UI_Resize resize{this, &Impl::resizeUi};
    LV2UI_Touch touch{this, &Impl::touchPort};
    float scaleFactor = 0.0f;
    std::function<void(int, int)> onResize;
    LV2_Options_Option options[2] = {};

    Impl(Lv2UiHost& owner, Lv2Host& plugin) : owner(owner), plugin(plugin) {}

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
        auto& self = *static_cast<Impl*>(handle);
        for (size_t i = 1; i < self.uris.size(); ++i)
            if (self.uris[i] == uri) return static_cast<LV2_URID>(i);
        self.uris.emplace_back(uri);
        return static_cast<LV2_URID>(self.uris.size() - 1);
    }
    static int resizeUi(LV2UI_Feature_Handle handle, int width, int height) {
        auto& self = *static_cast<Impl*>(handle);
        self.owner.sizes.emplace_back(width, height);
        if (self.onResize) self.onResize(width, height);
        return 0;
    }
    static void touchPort(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
        static_cast<Impl*>(handle)->owner.touches.push_back({port, grabbed});
    }
    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                      const void* buffer) {
        auto& self = *static_cast<Impl*>(controller);
        // Only control port values (protocol 0): the UI sends nothing else.
        if (protocol != 0 || size != sizeof(float) || !buffer) return;
        float value = 0.0f;
        std::memcpy(&value, buffer, sizeof value);
        self.owner.writes.push_back({port, value});
        self.plugin.queuePortValue(port, value);
    }

    // The bundle's X11 UI of the plug-in: its URI, binary and bundle path.
    bool findUi(std::string& uri, std::string& binaryPath, std::string& bundlePath);
};

bool Lv2UiHost::Impl::findUi(std::string& uri, std::string& binaryPath, std::string& bundlePath) {
    const Lv2Bundle& bundle = plugin.bundle();
    std::lock_guard lock(bundle.lock());
    LilvUIs* uis = lilv_plugin_get_uis(bundle.plugin());
    if (!uis) return false;
    LilvNode* x11 = lilv_new_uri(bundle.world(), LV2_UI__X11UI);
    bool found = false;
    LILV_FOREACH(uis, u, uis) {
        const LilvUI* ui = lilv_uis_get(uis, u);
        if (!lilv_ui_is_a(ui, x11)) continue;
        char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
        char* folder = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
        if (binary && folder) {
            uri = lilv_node_as_uri(lilv_ui_get_uri(ui));
            binaryPath = binary;
            bundlePath = folder;
            found = true;
        }
        lilv_free(binary);
        lilv_free(folder);
        if (found) break;
    }
    lilv_node_free(x11);
    lilv_uis_free(uis);
    return found;
}

Lv2UiHost::Lv2UiHost(Lv2Host& plugin, unsigned long parentWindow, const Options& o)
    : impl(std::make_unique<Impl>(*this, plugin)) {
    Impl& m = *impl;
    std::string uri, binaryPath, bundlePath;
    if (!plugin.loaded() || !m.findUi(uri, binaryPath, bundlePath)) {
        m.error = "the bundle describes no X11 UI";
        return;
    }
    m.binary = dlopen(binaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    keepWindowLibrariesLoaded();
    const auto entry =
        m.binary ? reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(m.binary, "lv2ui_descriptor"))
                 : nullptr;
    if (!entry) {
        m.error = binaryPath + " has no lv2ui_descriptor";
        return;
    }
    for (uint32_t i = 0; (m.descriptor = entry(i)); ++i)
        if (uri == m.descriptor->URI) break;
    if (!m.descriptor) {
        m.error = "no descriptor for " + uri;
        return;
    }

    const LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(parentWindow)};
    const LV2_Feature instance{LV2_INSTANCE_ACCESS_URI, plugin.handle()};
    const LV2_Feature map{LV2_URID__map, &m.map};
    const LV2_Feature resize{LV2_UI__resize, &m.resize};
    const LV2_Feature touch{LV2_UI__touch, &m.touch};
    const LV2_Feature idle{LV2_UI__idleInterface, nullptr};
    m.scaleFactor = o.scaleFactor;
    m.onResize = o.onResize;
    m.options[0] = {LV2_OPTIONS_INSTANCE,
                    0,
                    Impl::mapUri(&m, LV2_UI__scaleFactor),
                    sizeof(float),
                    Impl::mapUri(&m, LV2_ATOM__Float),
                    &m.scaleFactor};
    const LV2_Feature options{LV2_OPTIONS__options, m.options};
    std::vector<const LV2_Feature*> features{&parent, &map, &idle};
    if (o.instanceAccess) features.push_back(&instance);
    if (o.offerResize) features.push_back(&resize);
    if (o.offerTouch) features.push_back(&touch);
    if (o.scaleFactor > 0.0f) features.push_back(&options);
    features.push_back(nullptr);

    std::string pluginUri;
    {
        std::lock_guard lock(plugin.bundle().lock());
        pluginUri = lilv_node_as_uri(lilv_plugin_get_uri(plugin.bundle().plugin()));
    }
    m.handle = m.descriptor->instantiate(m.descriptor, pluginUri.c_str(), bundlePath.c_str(),
                                         &Impl::write, &m, &m.widget, features.data());
    if (!m.handle) {
        m.error = "the UI did not instantiate";
        return;
    }
    if (m.descriptor->extension_data)
        m.idleInterface = static_cast<const LV2UI_Idle_Interface*>(
            m.descriptor->extension_data(LV2_UI__idleInterface));
}

Lv2UiHost::~Lv2UiHost() {
    if (impl->handle) impl->descriptor->cleanup(impl->handle);
    if (impl->binary) dlclose(impl->binary);
}

bool Lv2UiHost::loaded() const {
    return impl->handle != nullptr;
}

const std::string& Lv2UiHost::error() const {
    return impl->error;
}

unsigned long Lv2UiHost::widget() const {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(impl->widget));
}

bool Lv2UiHost::idle() {
    if (!impl->handle || !impl->idleInterface) return impl->handle != nullptr;
    return impl->idleInterface->idle(impl->handle) == 0;
}
