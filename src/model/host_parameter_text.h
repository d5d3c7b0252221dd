// The text a host parameter shows for any value, not only for the current
// one, and the value a typed text stands for: what formats whose hosts ask
// for the text of a value (CLAP, LV2) answer. The rules are the engine's
// own displays, applied to the value as the engine's setters read it.
#pragma once

#include "host_parameters.h"

#include <cstddef>

// False where the parameter shows no text (the free-rate switch). Rates
// show in hertz while `freeRate` is on.
bool hostParameterText(const HostParameter& p, float value, bool freeRate, char* text, size_t size);

// The value whose text matches `text` (blanks around it and letter case
// aside); numbers are also taken for the semitones and percentages, and a
// frequency for a rate at the free rate. False when no value matches.
bool hostParameterValueOfText(const HostParameter& p, const char* text, bool freeRate,
                              float* value);
