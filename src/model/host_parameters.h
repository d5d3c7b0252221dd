// The 32 parameters a host sees, in one table: every plug-in format (the
// VST 2.4 names and displays, the CLAP parameter info, the LV2 description)
// is drawn from it, so that names, ranges and steps cannot drift apart.
// Values are 0..1 everywhere; a stepped parameter takes `steps` distinct
// values, which the engine reads as the Parts of the parameter door say.
#pragma once

#include "parameter_indices.h"

#include <cstdint>

enum class ParameterKind : uint8_t {
    kContinuous, // any value 0..1
    kStepped,    // `steps` values, the step chosen by the engine's rounding
    kToggle,     // off at 0, on at any other value
};

// How the engine turns a parameter's state into its display text.
enum class DisplayRule : uint8_t {
    kSemitones,     // transpose: -24..+24
    kPercentOf100,  // swing: value x 100
    kPercentOf200,  // gate: value x 200
    kPatternLetter, // "A".."L"
    kNoteRule,      // "  ", "MUTED", " -1 ", " +1 "
    kRate,          // " 1/16" and the other rate names, or "%.02f Hz" at the free rate
    kOnOff,         // "ON" / "OFF"
    kNone,          // no text (the free-rate switch shows its state in the rates)
};

struct HostParameter {
    int32_t index;
    const char* id;    // stable identifier: an LV2 symbol, a CLAP module path
    const char* name;  // the name hosts show, blanks included
    const char* label; // unit text after the value
    ParameterKind kind;
    int32_t steps; // distinct values of a stepped or toggle parameter, else 0
    float defaultValue;
    DisplayRule display;
};

extern const HostParameter kHostParameters[param::kHostParameterCount];

// The entry of a host parameter, null for any other index.
const HostParameter* hostParameter(int32_t index);
