#include "session_presets.h"

#include "parameter_indices.h"
#include "plugin_host.h"
#include "zandrel_vendor_services.h"

#include <filesystem>
#include <fstream>

namespace soak {

namespace {

// Index 127's value that rotates the current row's steps left.
constexpr float kRotateLeft = 266.0f;
constexpr float kChordsOnly = 1.0f;
constexpr float kArpOnly = 2.0f;

// Keys and offsets of a text chord list; every note stays below 128.
constexpr const char* kTextChordList = "Mode soak chords\n"
                                       "48 0 4 7\n"
                                       "50 0 3 7 10\n"
                                       "60 0 4 7 11 14\n"
                                       "62 -12 0 3 7\n"
                                       "72 0 5 7\n"
                                       "7 0 12 24 36\n";

bool save(PluginHost& host, const std::filesystem::path& path, float kind) {
    const std::string text = path.string();
    return host.dispatch(effVendorSpecific, kVendorSavePreset, kVendorMagic,
                         const_cast<char*>(text.c_str()), kind) == 1;
}

bool writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

bool writeCutShort(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::ifstream in(from, std::ios::binary);
    std::string bytes(100, '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return false;
    return writeText(to, bytes);
}

} // namespace

bool writeSessionPresets(const std::string& pluginPath, const std::string& documents) {
    const std::filesystem::path root =
        std::filesystem::path(documents) / "Vrek" / "Zandrel Presets";
    const auto chords = root / "Chord";
    const auto arps = root / "Arp";
    std::error_code error;
    std::filesystem::create_directories(chords / "More", error);
    std::filesystem::create_directories(arps / "More", error);
    if (error) return false;

    PluginHost host(pluginPath);
    if (!host.loaded()) return false;
    uint64_t seed = 7;
    host.dispatch(effVendorSpecific, kVendorSeedRandom, kVendorMagic, &seed);
    for (int i = 0; i < 10; ++i) host.processBlock(64); // past the load guard

    // Chords: random voicings on a run of keys, then a transform and a sort.
    for (int key = 36; key <= 84; key += 3) {
        host.setParameter(param::kCurrentKey, static_cast<float>(key) / 128.0f);
        host.setParameter(param::kRandomNotes, 1.0f);
    }
    bool written = save(host, chords / "Alpha.fxp", kChordsOnly);
    written = written && writeText(chords / "Bravo.txt", kTextChordList);
    written = written && writeCutShort(chords / "Alpha.fxp", chords / "Charlie.fxp");
    host.setParameter(param::kTransformChords, 1.0f);
    host.setParameter(param::kSortChords, 0.0f);
    written = written && save(host, chords / "More" / "Delta.fxp", kChordsOnly);

    // Arpeggios: every pattern's lanes randomized and shortened, then swing,
    // gate and rotated steps on top.
    host.setParameter(param::kArpOn, 1.0f);
    for (int pattern = 0; pattern < 12; ++pattern) {
        host.setParameter(param::kPattern, static_cast<float>(pattern) / 12.0f);
        for (int lane = 0; lane < 8; ++lane) {
            host.setParameter(param::kCurrentLane, static_cast<float>(lane) / 7.0f);
            host.setParameter(param::kRandomizeLane, 1.0f);
            host.setParameter(param::kLaneLength,
                              static_cast<float>(3 + (pattern + lane) % 13) / 16.0f);
        }
    }
    written = written && save(host, arps / "Alpha.fxp", kArpOnly);
    host.setParameter(param::kSwing, 0.4f);
    host.setParameter(param::kGate, 0.3f);
    host.setParameter(param::kPattern, 5.0f / 12.0f);
    host.setParameter(param::kPatternChanged, kRotateLeft);
    written = written && save(host, arps / "Bravo.fxp", kArpOnly);
    host.setParameter(param::kGate, 1.0f);
    host.setParameter(param::kPattern, 11.0f / 12.0f);
    return written && save(host, arps / "More" / "Charlie.fxp", kArpOnly);
}

} // namespace soak
