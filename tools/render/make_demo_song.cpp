// Writes examples/demo.mid, the song ./scripts/demo renders: a four-bar
// progression, one key per bar (the chord memory turns each key into its
// chord), in a type-1 file with a tempo track, as most sequencers export.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr uint32_t kMicrosPerQuarter = 545455; // 110 BPM

void appendBigEndian(std::string& out, uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void appendDelta(std::string& out, uint32_t value) {
    std::string groups(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) groups.insert(groups.begin(), static_cast<char>((value & 0x7F) | 0x80));
    out += groups;
}

std::string chunk(const char* id, const std::string& body) {
    std::string out(id);
    appendBigEndian(out, static_cast<uint32_t>(body.size()), 4);
    return out + body;
}

std::string tempoTrack() {
    std::string t;
    appendDelta(t, 0);
    t += std::string("\xFF\x58\x04\x04\x02\x18\x08", 7); // 4/4
    appendDelta(t, 0);
    t += std::string("\xFF\x51\x03", 3);
    appendBigEndian(t, kMicrosPerQuarter, 3);
    appendDelta(t, 0);
    t += std::string("\xFF\x2F\x00", 3);
    return t;
}

std::string progressionTrack() {
    // A minor, F, C, G: a bar each, released a sixteenth early so the
    // chords do not run into each other.
    const int keys[] = {57, 53, 60, 55};
    const uint32_t bar = 4 * kTicksPerQuarter, gap = kTicksPerQuarter / 4;
    std::string t;
    uint32_t wait = 0;
    for (int key : keys) {
        appendDelta(t, wait);
        t += {'\x90', static_cast<char>(key), 100};
        appendDelta(t, bar - gap);
        t += {'\x80', static_cast<char>(key), 64};
        wait = gap;
    }
    appendDelta(t, gap); // the track ends with the last bar
    t += std::string("\xFF\x2F\x00", 3);
    return t;
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "examples/demo.mid";
    std::string header;
    appendBigEndian(header, 1, 2); // type 1
    appendBigEndian(header, 2, 2); // two tracks
    appendBigEndian(header, kTicksPerQuarter, 2);
    const std::string file =
        chunk("MThd", header) + chunk("MTrk", tempoTrack()) + chunk("MTrk", progressionTrack());
    FILE* out = std::fopen(path, "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out)) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    return 0;
}
