// Extra services of Zandrel that hosts of our own (the renderer, the tests,
// the benchmarks) reach through effVendorSpecific: index = the service,
// value = kVendorMagic, so that no other host's vendor call can hit one.
#pragma once

#include "aeffect.h"

#include <cstdint>

enum VendorCall : int32_t {
    kVendorMagic = fourCharId('Z', 'n', 'd', 'l'), // passed as value
    kVendorSeedRandom = 1,                         // ptr = uint64_t* seed
    kVendorRunDeferred = 2,      // runs the work a program change left for later, now
    kVendorLoadChordPreset = 3,  // ptr = path; answers 1 when loaded
    kVendorLoadArpPreset = 4,    // ptr = path; answers 1 when loaded
    kVendorUseReferencePath = 5, // value of opt: 1 = per-sample reference loop
    kVendorSavePreset = 6,       // ptr = path; opt 0 whole state, 1 chords, 2 arp
    kVendorSetPath = 7,          // ptr = path, as the editor sets it before a drag
    kVendorImportMidi = 8,       // ptr = path; answers 1 when chords were taken
    kVendorSaveCsv = 9,          // ptr = path
    kVendorHoldDeferred = 10,    // opt >= 0.5: that work waits for kVendorRunDeferred
};
