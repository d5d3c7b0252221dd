// The VST 2.4 backend (a Zandrel.so).
#pragma once

#include "plugin_format.h"

namespace validate {

std::unique_ptr<PluginFormat> makeVst2Format(const std::string& path);

} // namespace validate
