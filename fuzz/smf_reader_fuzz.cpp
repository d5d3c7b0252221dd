// libFuzzer target: the MIDI-file reader and the tempo map it feeds must
// take any bytes without reading out of bounds or crashing; a bad file may
// only end in SmfError.
#include "smf_reader.h"
#include "tempo_map.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const SmfFile file = readSmf({data, size});
        const TempoMap tempo = TempoMap::ofFile(file);
        for (const auto& e : file.events) (void)tempo.secondsOfTick(e.tick);
        (void)tempo.quarterOfSeconds(tempo.secondsOfTick(file.endTick));
    } catch (const SmfError&) {}
    return 0;
}
