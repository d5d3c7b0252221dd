// The CLAP backend (a Zandrel.clap).
#pragma once

#include "plugin_format.h"

namespace validate {

std::unique_ptr<PluginFormat> makeClapFormat(const std::string& path);

} // namespace validate
