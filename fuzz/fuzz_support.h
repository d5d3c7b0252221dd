// Shared by the fuzz targets: a fresh stand-in effect per input, checks of
// the invariants a load must leave behind, and blocks built from a valid
// template with the fuzzer's bytes laid over them, so that short inputs
// reach deep into the readers.
#pragma once

#include "stand_in_door.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// Aborts (a finding) when a loaded record breaks what the engine relies on.
inline void checkLoadedRecord(const EngineState& s) {
    if (s.currentKey > 127) std::abort();
    for (uint8_t key : s.voiceKey)
        if (key > 127) std::abort();
    if (s.currentPattern < 0 || s.currentPattern >= kPatternCount) std::abort();
    if (strnlen(s.chordPresetMenuName, kMenuNameSize) == kMenuNameSize) std::abort();
    if (strnlen(s.arpPresetMenuName, kMenuNameSize) == kMenuNameSize) std::abort();
    if (strnlen(s.programName, kProgramNameSize) == kProgramNameSize) std::abort();
    for (const ArpPattern& p : s.patterns)
        if (strnlen(p.patternName, kPatternNameSize) == kPatternNameSize) std::abort();
}

// The template with input[2..] written at the offset in input[0..1]
// (taken modulo the template's size), clipped at its end.
inline std::vector<uint8_t> overlay(std::vector<uint8_t> block, const uint8_t* input, size_t size) {
    if (size < 2 || block.empty()) return block;
    const size_t offset = ((static_cast<size_t>(input[0]) << 8) | input[1]) * 7 % block.size();
    const size_t n = std::min(size - 2, block.size() - offset);
    std::memcpy(block.data() + offset, input + 2, n);
    return block;
}
