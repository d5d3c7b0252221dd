// The library's entry point: hosts look up lv2_descriptor and find one
// plug-in, Zandrel, whose instances are ZandrelLv2 objects. Nothing may be
// thrown across the C interface.
#include "lv2_uris.h"
#include "zandrel_lv2.h"
#include "zandrel_lv2_services.h"

#include <cstring>

namespace {

ZandrelLv2* self(LV2_Handle instance) {
    return static_cast<ZandrelLv2*>(instance);
}

LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features) {
    try {
        return ZandrelLv2::create(sampleRate, features).release();
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle instance, uint32_t port, void* data) {
    self(instance)->connectPort(port, data);
}

void activate(LV2_Handle instance) {
    try {
        self(instance)->activate();
    } catch (...) {}
}

void run(LV2_Handle instance, uint32_t sampleCount) {
    self(instance)->run(sampleCount);
}

void deactivate(LV2_Handle instance) {
    self(instance)->deactivate();
}

void cleanup(LV2_Handle instance) {
    delete self(instance);
}

LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t /*flags*/, const LV2_Feature* const* /*features*/) {
    try {
        return self(instance)->save(store, handle);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t /*flags*/,
                         const LV2_Feature* const* /*features*/) {
    try {
        return self(instance)->restore(retrieve, handle);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_Worker_Status work(LV2_Handle instance, LV2_Worker_Respond_Function /*respond*/,
                       LV2_Worker_Respond_Handle /*handle*/, uint32_t size, const void* data) {
    try {
        self(instance)->work(data, size);
    } catch (...) {
        return LV2_WORKER_ERR_UNKNOWN;
    }
    return LV2_WORKER_SUCCESS;
}

// What the worker read reaches the engine through its own hand-over at the
// start of a later block: nothing comes back through the host.
LV2_Worker_Status workResponse(LV2_Handle /*instance*/, uint32_t /*size*/, const void* /*body*/) {
    return LV2_WORKER_SUCCESS;
}

void seedRandom(LV2_Handle instance, uint64_t seed) {
    self(instance)->zandEngine().seedRandom(seed);
}

bool loadPreset(LV2_Handle instance, bool arp, const char* path) {
    if (!path) return false;
    try {
        return self(instance)->zandEngine().loadPresetFile(arp ? kArpBank : kChordBank, path);
    } catch (...) {
        return false;
    }
}

void runDeferred(LV2_Handle instance) {
    try {
        self(instance)->zandEngine().runDeferredWork();
    } catch (...) {}
}

void setParameter(LV2_Handle instance, int32_t index, float value) {
    self(instance)->zandEngine().setParameter(index, value);
}

const LV2_State_Interface kState = {save, restore};
const LV2_Worker_Interface kWorker = {work, workResponse, nullptr};
const zandrel_lv2_services kServices = {seedRandom, loadPreset, runDeferred, setParameter};

const void* extensionData(const char* uri) {
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kState;
    if (std::strcmp(uri, LV2_WORKER__interface) == 0) return &kWorker;
    if (std::strcmp(uri, kZandrelServicesUri) == 0) return &kServices;
    return nullptr;
}

const LV2_Descriptor kDescriptor = {kZandrelLv2Uri, instantiate, connectPort,  activate, run,
                                    deactivate,     cleanup,     extensionData};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor*
lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
