// setChunk with every kind of block it dispatches on. The first byte picks
// the kind: a template block of that kind with the rest laid over it, or
// (kind 6 and above) the raw bytes at their own length.
#include "arp_block.h"
#include "chord_block.h"
#include "fuzz_support.h"
#include "legacy_chunk.h"
#include "state_chunk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    StandInDoor source;
    fillDistinctState(source.state());
    std::vector<uint8_t> block;
    const uint8_t kind = data[0] % 8;
    switch (kind) {
    case 0:
        block.assign(kLegacyParameterBlockSize, 0);
        break;
    case 1:
        block.resize(kArpBlockSize);
        writeArpBlock(source.state(), block.data());
        block.resize(kOlderArpBlockSize);
        break;
    case 2:
        block.resize(kChordBlockSize);
        writeChordBlock(source.state(), block.data());
        break;
    case 3:
    case 4:
    case 5:
        block.resize(kStateChunkSize);
        writeStateChunk(source.state(), block.data());
        // Kinds 4 and 5 cut it to an older length.
        if (kind == 4) block.resize(kLegacyStateChunkMinSize + (size > 1 ? data[1] : 0));
        if (kind == 5) block.resize(kStateChunkSize + 64, 0);
        break;
    default:
        block.assign(data + 1, data + size);
        break;
    }
    if (kind < 6) block = overlay(std::move(block), data + 1, size - 1);

    StandInDoor door;
    door.state().paramGuardBlocks = static_cast<int32_t>(size % 12);
    const EngineState before = door.state();
    const int32_t result = setChunk(door, block.data(), static_cast<int32_t>(block.size()));
    if (result == kSetChunkRefused) {
        if (!sameRecord(before, door.state())) std::abort();
        return 0;
    }
    checkLoadedRecord(door.state());
    // Whatever was loaded must write and load again.
    std::vector<uint8_t> again(kStateChunkSize);
    writeStateChunk(door.state(), again.data());
    StandInDoor second;
    if (setChunk(second, again.data(), kStateChunkSize) != 0) std::abort();
    return 0;
}
