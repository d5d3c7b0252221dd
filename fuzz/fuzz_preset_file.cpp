// The chord and arp preset loaders over whole files. The first byte picks
// the loader and whether the rest is the raw file or laid over a valid
// preset file of a given kind.
#include "arp_block.h"
#include "chord_block.h"
#include "fuzz_support.h"
#include "legacy_chunk.h"
#include "preset_file.h"
#include "state_chunk.h"

namespace {
std::vector<uint8_t> templateFile(int kind, const EngineState& s) {
    std::vector<uint8_t> block;
    switch (kind) {
    case 0:
        block.resize(kChordBlockSize);
        writeChordBlock(s, block.data());
        break;
    case 1:
        block.resize(kArpBlockSize);
        writeArpBlock(s, block.data());
        break;
    case 2:
        block.resize(kStateChunkSize);
        writeStateChunk(s, block.data());
        break;
    default:
        block.assign(kLegacyParameterBlockSize, 0);
        break;
    }
    return presetFileBytes(block.data(), static_cast<int32_t>(block.size()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool arpLoader = data[0] & 1;
    const int form = (data[0] >> 1) % 5; // 0..3 templates, 4 raw
    std::vector<uint8_t> file;
    if (form == 4) {
        file.assign(data + 1, data + size);
    } else {
        StandInDoor source;
        fillDistinctState(source.state());
        file = overlay(templateFile(form, source.state()), data + 1, size - 1);
    }

    StandInDoor door;
    const EngineState before = door.state();
    const std::string path = "/presets/Chord/fuzzed.fxp";
    const bool loaded = arpLoader ? loadArpPreset(door, file.data(), file.size(), path)
                                  : loadChordPreset(door, file.data(), file.size(), path);
    if (!loaded) {
        if (!sameRecord(before, door.state()) || door.diagnostics.size() != 1) std::abort();
        return 0;
    }
    checkLoadedRecord(door.state());
    return 0;
}
