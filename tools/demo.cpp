// Plays a short phrase into Zandrel.so through the project's host and prints
// the MIDI that comes back.
#include "plugin_host.h"

#include <cstdio>

namespace {
const char* noteName(int note) {
    static const char* const names[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                          "F#", "G",  "G#", "A",  "A#", "B"};
    return names[note % 12];
}
} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "build/Zandrel.so";
    PluginHost host(path);
    if (!host.loaded()) {
        std::fprintf(stderr, "cannot load %s: %s\n", path, host.error().c_str());
        return 2;
    }
    std::printf("Loaded %s: %s by %s, version %ld\n", path,
                host.stringQuery(effGetEffectName).c_str(),
                host.stringQuery(effGetVendorString).c_str(),
                static_cast<long>(host.dispatch(effGetVendorVersion)));

    // Two bars at 120 BPM: a chord on C, then one on F, then on G.
    const double rate = host.sampleRate();
    const int32_t block = 256;
    const auto beat = static_cast<int64_t>(rate / 2);
    host.setTempo(120.0);
    host.setPlaying(true);
    const int keys[3] = {60, 65, 67};
    int64_t clock = 0;
    for (int i = 0; i < 3; ++i) {
        host.noteOn(0, 1, keys[i], 100);
        host.run(beat * 2 - block, block);
        host.noteOff(0, 1, keys[i]);
        host.processBlock(block);
        clock += beat * 2;
    }
    host.run(beat * 2, block);
    host.setPlaying(false);
    host.processBlock(block);

    std::printf("%zu events came back:\n", host.events.size());
    for (const auto& e : host.events) {
        const int kind = e.status & 0xF0;
        const int channel = (e.status & 15) + 1;
        const double seconds = static_cast<double>(e.sampleTime) / rate;
        if (kind == 0x90 || kind == 0x80)
            std::printf("  %8.4f s  ch %2d  %s %-2s%d (%3d) vel %3d\n", seconds, channel,
                        kind == 0x90 ? "note-on " : "note-off", noteName(e.data1), e.data1 / 12 - 2,
                        e.data1, e.data2);
        else
            std::printf("  %8.4f s  %02X %02X %02X\n", seconds, e.status, e.data1, e.data2);
    }
    (void)clock;
    return 0;
}
