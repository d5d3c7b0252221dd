// The LV2 backend (a zandrel.lv2 bundle).
#pragma once

#include "plugin_format.h"

namespace validate {

std::unique_ptr<PluginFormat> makeLv2Format(const std::string& path);

} // namespace validate
