#include "arp_rates.h"

#include "numeric.h"

#include <cmath>

namespace {
const char* const kRateNames[39] = {
    "16 bars",   "12 bars",   "16b trip", "8 bars",    "4 bars.",   "8 b trip",  "4 bars",
    "2 bars.",   "4 b trip",  "2 bars",   "bar.",      "2 b trip",  "bar",       "1/2.",
    "bar trip",  "1/2",       "1/4.",     "1/2 trip",  "1/4",       "1/8.",      "1/4 trip",
    "1/8",       "1/16.",     "1/8 trip", "1/16",      "1/32.",     "1/16 trip", "1/32",
    "1/48.",     "1/32 trip", "1/64",     "1/64.",     "1/48 trip", "1/128",     "1/128.",
    "1/64 trip", "1/256",     "1/256.",   "1/128 trip"};
}

int rateIndexOf(float rate) {
    // Host values outside 0..1 (and NaN) still land on a row of the table.
    const int r = saturatingInt(rate * 42 + 0.5);
    return r < 0 ? 0 : (r > kRateIndexCount - 1 ? kRateIndexCount - 1 : r);
}

double stepsPerBeatOfIndex(int r) {
    // r is a clamped index, never negative: adding a half and truncating rounds.
    const int e = static_cast<int>(r / 3.0 + 0.5); // NOLINT(bugprone-incorrect-roundings)
    double base = std::ldexp(1.0, e);
    const int m = ((r % 3) + 3) % 3;
    if (m == 1) base *= 4.0 / 3.0;
    if (m == 2) base *= 0.75;
    return base / 64.0;
}

double stepsPerBeatOfRate(float rate) {
    return stepsPerBeatOfIndex(rateIndexOf(rate));
}

const char* rateName(int r) {
    if (r < 0) return kRateNames[0];
    if (r > 38) return "fast";
    return kRateNames[r];
}

double freeRateHz(float rate) {
    const double r = rate;
    return r * r * r * r * 440.0;
}
