// Text chord lists: any bytes behind the "Mode" mark.
#include "fuzz_support.h"
#include "text_chord_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file = {'M', 'o', 'd', 'e'};
    file.insert(file.end(), data, data + size);
    StandInDoor door;
    applyTextChordList(door, file.data(), file.size());
    checkLoadedRecord(door.state());
    for (const auto& call : door.parameters)
        if (call.first == param::kCurrentKey && (call.second < 0.0f || call.second >= 1.0f))
            std::abort();
    return 0;
}
