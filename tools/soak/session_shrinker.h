// Cuts a failing session down to a short reproduction: removes runs of
// steps, then runs of MIDI events inside the blocks, keeping each cut while
// the session still fails the same way.
#pragma once

#include "session.h"
#include "session_runner.h"

#include <functional>

namespace soak {

struct ShrinkLimits {
    int maxRuns = 4000;
    double maxSeconds = 180.0;
};

using FailureCheck = std::function<bool(const Session&)>;

Session shrinkSession(const Session& failing, const FailureCheck& stillFails,
                      const ShrinkLimits& limits = {});

} // namespace soak
