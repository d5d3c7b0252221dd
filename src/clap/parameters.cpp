// The 32 host parameters from the one parameter table: ids are their
// indices, values 0..1 as every format of the plug-in has them, so that the
// same host value gives the same step everywhere. Only the switches are
// stepped: CLAP's stepped values are whole numbers, which in 0..1 leaves
// off and on; the other stepped parameters keep the engine's own rounding
// of a 0..1 value. Texts come from the engine's display rules.
#include "clap_extensions.h"
#include "host_parameter_text.h"
#include "zandrel_clap.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

ZandrelClap* self(const clap_plugin* p) {
    return ZandrelClap::of(p);
}

uint32_t count(const clap_plugin* /*plugin*/) {
    return param::kHostParameterCount;
}
bool getInfo(const clap_plugin* p, uint32_t index, clap_param_info* info) {
    return info && self(p)->parameterInfo(index, info);
}
bool getValue(const clap_plugin* p, clap_id id, double* value) {
    return value && self(p)->parameterValue(id, value);
}
bool valueToText(const clap_plugin* p, clap_id id, double value, char* text, uint32_t size) {
    return text && size > 0 && self(p)->valueToText(id, value, text, size);
}
bool textToValue(const clap_plugin* p, clap_id id, const char* text, double* value) {
    return text && value && self(p)->textToValue(id, text, value);
}
void flush(const clap_plugin* p, const clap_input_events* in, const clap_output_events* out) {
    self(p)->flush(in, out);
}

const HostParameter* parameterOfId(clap_id id) {
    return id < static_cast<clap_id>(param::kHostParameterCount)
               ? hostParameter(static_cast<int32_t>(id))
               : nullptr;
}

bool blank(const char* text) {
    return text[std::strspn(text, " ")] == '\0';
}

} // namespace

const clap_plugin_params kZandrelParams = {count,       getInfo,     getValue,
                                           valueToText, textToValue, flush};

bool ZandrelClap::parameterInfo(uint32_t index, clap_param_info* info) const {
    const HostParameter* p = parameterOfId(index);
    if (!p) return false;
    std::memset(info, 0, sizeof *info);
    info->id = index;
    info->flags = CLAP_PARAM_IS_AUTOMATABLE;
    if (p->kind == ParameterKind::kToggle) info->flags |= CLAP_PARAM_IS_STEPPED;
    info->cookie = nullptr;
    std::snprintf(info->name, sizeof info->name, "%s", p->name);
    info->min_value = 0.0;
    info->max_value = 1.0;
    info->default_value = p->defaultValue;
    return true;
}

bool ZandrelClap::parameterValue(clap_id id, double* value) const {
    if (!parameterOfId(id)) return false;
    *value = engine.getParameter(static_cast<int32_t>(id));
    return true;
}

bool ZandrelClap::valueToText(clap_id id, double value, char* text, uint32_t size) const {
    const HostParameter* p = parameterOfId(id);
    char shown[64];
    if (!p || !hostParameterText(*p, static_cast<float>(value), engine.engine().arpFreeRate != 0,
                                 shown, sizeof shown))
        return false;
    // The unit after the value, as VST 2.4 hosts show the label.
    if (blank(p->label))
        std::snprintf(text, size, "%s", shown);
    else
        std::snprintf(text, size, "%s %s", shown, p->label);
    return true;
}

bool ZandrelClap::textToValue(clap_id id, const char* text, double* value) const {
    const HostParameter* p = parameterOfId(id);
    float v = 0.0f;
    if (!p || !hostParameterValueOfText(*p, text, engine.engine().arpFreeRate != 0, &v))
        return false;
    *value = v;
    return true;
}
