// Positions in beats and seconds travel as 64-bit fixed-point numbers with
// 31 fraction bits: x is round(x * 2^31), and the way back is exact in a
// double.
#pragma once

#include <cmath>
#include <cstdint>

using clap_beattime = int64_t;
using clap_sectime = int64_t;

inline constexpr double CLAP_BEATTIME_FACTOR = 2147483648.0;
inline constexpr double CLAP_SECTIME_FACTOR = 2147483648.0;

inline double clapBeatsOf(clap_beattime fixed) {
    return static_cast<double>(fixed) / CLAP_BEATTIME_FACTOR;
}
inline double clapSecondsOf(clap_sectime fixed) {
    return static_cast<double>(fixed) / CLAP_SECTIME_FACTOR;
}
inline clap_beattime clapBeatTime(double beats) {
    return static_cast<clap_beattime>(std::llround(beats * CLAP_BEATTIME_FACTOR));
}
inline clap_sectime clapSecTime(double seconds) {
    return static_cast<clap_sectime>(std::llround(seconds * CLAP_SECTIME_FACTOR));
}
