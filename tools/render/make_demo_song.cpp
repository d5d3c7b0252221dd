// Writes examples/demo.mid, the song ./scripts/demo renders: a four-bar
// progression, one key per bar (the chord memory turns each key into its
// chord), in a type-1 file with a tempo track, as most sequencers export.
#include "smf_bytes.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr uint32_t kMicrosPerQuarter = 545455; // 110 BPM

std::vector<uint8_t> tempoTrack() {
    std::vector<uint8_t> t = {0, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08, // 4/4
                              0, 0xFF, 0x51, 0x03};
    appendBigEndian(t, kMicrosPerQuarter, 3);
    t.insert(t.end(), {0, 0xFF, 0x2F, 0x00});
    return t;
}

std::vector<uint8_t> progressionTrack() {
    // A minor, F, C, G: a bar each, released a sixteenth early so the
    // chords do not run into each other.
    const uint8_t keys[] = {57, 53, 60, 55};
    const uint32_t bar = 4 * kTicksPerQuarter, gap = kTicksPerQuarter / 4;
    std::vector<uint8_t> t;
    uint32_t wait = 0;
    for (uint8_t key : keys) {
        appendVariableLength(t, wait);
        t.insert(t.end(), {0x90, key, 100});
        appendVariableLength(t, bar - gap);
        t.insert(t.end(), {0x80, key, 64});
        wait = gap;
    }
    appendVariableLength(t, gap); // the track ends with the last bar
    t.insert(t.end(), {0xFF, 0x2F, 0x00});
    return t;
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "examples/demo.mid";
    const auto file = smfBytes(1, kTicksPerQuarter, {tempoTrack(), progressionTrack()});
    FILE* out = std::fopen(path, "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out)) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    return 0;
}
