// Renders that must not change: the bundled song and a busier one of our
// own, through zandrel-render in several settings, compared with checksums
// recorded from a known-good build. A change of the engine that moves one
// note or one sample shows here. When a change of behaviour is intended,
// the failure prints the new checksums to record. Zandrel.clap must render
// exactly what Zandrel.so renders.
#include "plugin_host.h"
#include "song_bytes.h"
#include "zandrel_vendor_services.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sndfile.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

uint64_t fnv1a(const void* data, size_t size, uint64_t hash = 14695981039346656037ull) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

uint64_t fileChecksum(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return fnv1a(bytes.data(), bytes.size());
}

// The samples only: the WAV header carries a time stamp in its PEAK chunk.
uint64_t sampleChecksum(const fs::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return 0;
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    return fnv1a(samples.data(), samples.size() * sizeof(float));
}

// Several channels, chords that overlap, tempo changes (one of them off the
// beat), pitch bend, a controller passed through and an all-notes-off in the
// middle of held notes.
std::vector<uint8_t> busySong() {
    const std::vector<uint8_t> tempoTrack = track({
        {0, {0xFF, 0x58, 4, 4, 2, 24, 8}},
        {0, {0xFF, 0x51, 3, 0x07, 0xA1, 0x20}},    // 120 BPM
        {1920, {0xFF, 0x51, 3, 0x0A, 0x2C, 0x2B}}, // 90 BPM from bar 2
        {1000, {0xFF, 0x51, 3, 0x06, 0x8A, 0x1B}}, // 140 BPM off the beat
        {1880, {0xFF, 0x51, 3, 0x09, 0x27, 0xC0}}, // 100 BPM
    });
    const std::vector<uint8_t> chords = track({
        {0, {0x90, 60, 100}},
        {480, {0xE0, 0x00, 0x50}},
        {480, {0x90, 64, 90}}, // overlaps the first chord
        {240, {0x90, 67, 70}},
        {480, {0x80, 60, 0}},
        {240, {0xB0, 1, 64}},
        {480, {0x80, 64, 0}},
        {0, {0x90, 57, 110}},
        {600, {0x80, 67, 0}},
        {120, {0xB0, 123, 0}}, // all notes off while 57 is held
        {240, {0x90, 62, 80}},
        {60, {0x80, 57, 0}},
        {420, {0xE0, 0x00, 0x40}},
        {480, {0x80, 62, 0}},
        {0, {0x90, 55, 100}},
        {1920, {0x80, 55, 0}},
    });
    const std::vector<uint8_t> otherChannels = track({
        {240, {0x9F, 48, 90}}, // channel 16 plays chords too
        {960, {0x8F, 48, 0}},
        {0, {0x91, 72, 60}}, // channel 2 passes by
        {480, {0xE1, 0x7F, 0x7F}},
        {480, {0x81, 72, 0}},
        {0, {0x92, 40, 100}},
        {960, {0x82, 40, 0}},
        {0, {0x9F, 50, 100}},
        {1200, {0x8F, 50, 0}},
    });
    return smfBytes(1, 480, {tempoTrack, chords, otherChannels});
}

struct Golden {
    const char* name;
    bool busy; // the busy song, else the bundled one
    const char* options;
    uint64_t midi;
    uint64_t audio;
};

// Recorded before the engine was separated from the VST 2.4 effect.
const Golden kGolden[] = {
    {"demo chords only", false, "--set 'Arp ON=0'", 0xd7fb7bd69de05a29, 0x269b5e4f6d6c1d69},
    {"demo arp, 64-frame blocks", false, "--block 64", 0x97c5ef3f59263c0a, 0x479cab48fd28b98d},
    {"demo arp, 256-frame blocks", false, "--block 256", 0x97c5ef3f59263c0a, 0x479cab48fd28b98d},
    {"demo arp, 1000-frame blocks", false, "--block 1000", 0x97c5ef3f59263c0a, 0x479cab48fd28b98d},
    {"demo arp, 17-frame blocks", false, "--block 17", 0x97c5ef3f59263c0a, 0x479cab48fd28b98d},
    {"demo swing and gate", false, "--set Swing=0.45 --set Gate=0.3", 0xfbb4e31052a2423b,
     0x8de78b27ba7bab09},
    {"demo free rate", false, "--set ArpFreeRate=1 --set 18=0.4", 0xdd1be52efcb36ced,
     0xa509339346b36201},
    {"demo 44.1 kHz", false, "--rate 44100", 0x97c5ef3f59263c0a, 0x25a65e79bfd24721},
    {"demo 96 kHz", false, "--rate 96000 --block 512", 0x97c5ef3f59263c0a, 0x74c3306193f9f49d},
    {"busy chords only", true, "--set 'Arp ON=0' --block 128", 0xa9dc805c39b62eef,
     0x6d9fa7032944b079},
    {"busy arp, 64-frame blocks", true, "--block 64", 0xccfcdff099d09769, 0xb1f905e37d80b661},
    {"busy arp, 1000-frame blocks, swing", true, "--block 1000 --set Swing=0.3", 0xe6bae597a735ba0a,
     0xcc08fd2993434eb5},
    {"busy arp at 44.1 kHz with gate", true, "--rate 44100 --set Gate=0.8", 0xb9502a2def8308e3,
     0x21f17f0218fad055},
};

TEST(GoldenRenders, AreThoseRecordedBeforeTheEngineMoved) {
    char pattern[] = "/tmp/zandrel-golden-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path folder = pattern;
    const auto song = busySong();
    const fs::path busy = folder / "busy.mid";
    std::ofstream(busy, std::ios::binary)
        .write(reinterpret_cast<const char*>(song.data()),
               static_cast<std::streamsize>(song.size()));

    const std::vector<std::string> plugins = {
        std::string("--plugin '") + ZANDREL_SO + "'",
#ifdef ZANDREL_CLAP_PLUGIN
        std::string("--format clap --plugin '") + ZANDREL_CLAP_PLUGIN + "'",
#endif
#ifdef ZANDREL_LV2_BUNDLE
        std::string("--format lv2 --plugin '") + ZANDREL_LV2_BUNDLE + "'",
#endif
    };
    for (const Golden& g : kGolden) {
        for (const std::string& plugin : plugins) {
            const fs::path mid = folder / "out.mid", wav = folder / "out.wav";
            const std::string command =
                std::string("'") + ZANDREL_RENDER + "' -q " + plugin + " '" +
                (g.busy ? busy.string() : std::string(ZANDREL_DEMO_SONG)) + "' -o '" +
                mid.string() + "' --wav '" + wav.string() + "' " + g.options;
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            const uint64_t midi = fileChecksum(mid), audio = sampleChecksum(wav);
            EXPECT_TRUE(midi == g.midi && audio == g.audio)
                << g.name << " (" << plugin << "): now {..., 0x" << std::hex << midi << ", 0x"
                << audio << "}";
        }
    }
    fs::remove_all(folder);
}

// Dragging the chord and the arpeggio out while the arpeggiator plays a
// held chord: the files written must stay as they are.
TEST(GoldenRenders, MidiExportsAreThoseRecordedBeforeTheEngineMoved) {
    constexpr int32_t kExportMidi = 109;
    const fs::path file = fs::temp_directory_path() / "zandrel-golden-export.mid";
    PluginHost host(ZANDREL_SO);
    ASSERT_TRUE(host.loaded());
    uint64_t seed = 7;
    host.dispatch(effVendorSpecific, kVendorSeedRandom, kVendorMagic, &seed);
    host.run(48000 / 10, 256);       // past the guard blocks after a resume
    host.setParameter(2, 0.35f);     // gate
    host.setParameter(3, 2 / 12.0f); // pattern C
    host.setTempo(97.0);
    host.setPlaying(true);
    host.noteOn(10, 1, 62, 100);
    host.run(48000, 128);
    host.dispatch(effVendorSpecific, kVendorSetPath, kVendorMagic, const_cast<char*>(file.c_str()));
    std::vector<uint64_t> checksums;
    for (float mode : {0.0f, 1.0f}) {
        host.setParameter(kExportMidi, mode);
        checksums.push_back(fileChecksum(file));
        host.run(5000, 128);
    }
    fs::remove(file);
    EXPECT_EQ(checksums, (std::vector<uint64_t>{0x4002b959fa956d46, 0xbe610b3198a8357b}))
        << std::hex << checksums[0] << " " << checksums[1];
}

} // namespace
