// The plug-in factory the entry hands out.
#pragma once

#include "abi/plugin_factory.h"

extern const clap_plugin_factory kZandrelFactory;
