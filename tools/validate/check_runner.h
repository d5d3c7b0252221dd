// Runs checks one after the other, each in a process of its own, so that a
// crash, a sanitizer report or a hang becomes that check's verdict instead
// of the end of the run; prints each verdict and the tally.
#pragma once

#include "check.h"

#include <string>
#include <vector>

namespace validate {

struct RunnerOptions {
    bool isolate = true; // a process per check (off to debug one)
    int timeoutSeconds = 600;
    std::string command; // how this program was called, for reproductions
};

// Prints a verdict per check and "N passed, M failed"; answers M.
int runChecks(const std::vector<const Check*>& checks, const CheckOptions& options,
              const RunnerOptions& runner);

} // namespace validate
