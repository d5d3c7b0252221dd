// Helpers shared by the tests that drive the LV2 bundle through our host.
#pragma once

#include "lv2_host.h"
#include "test_host_support.h"

#include <vector>

inline constexpr const char* kBundlePath = ZANDREL_LV2_BUNDLE;
