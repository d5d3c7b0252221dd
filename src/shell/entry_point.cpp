// The library's entry point: hosts look up VSTPluginMain (older Linux hosts
// look up main) and get one effect per call.
#include "zandrel_dsp_edit.h"
#ifdef ZANDREL_WITH_EDITOR
#include "vst_editor_bridge.h"
#endif

namespace {
AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    // Nothing may be thrown across the C interface: a failed creation is a
    // null effect for the host.
    try {
#ifdef ZANDREL_WITH_EDITOR
        return new ZandrelDSPEdit(audioMaster, createZandrelEditor);
#else
        return new ZandrelDSPEdit(audioMaster); // a build without a window
#endif
    } catch (...) {
        return nullptr;
    }
}
} // namespace

extern "C" {

__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    AudioEffect* effect = createEffectInstance(audioMaster);
    return effect ? effect->getAeffect() : nullptr;
}

// The same function under the name older hosts use; the assembler name keeps
// the compiler from treating it as a program's main.
__attribute__((visibility("default"), alias("VSTPluginMain"))) AEffect*
vstPluginMainAlias(audioMasterCallback audioMaster) __asm__("main");
}
