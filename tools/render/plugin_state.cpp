#include "plugin_state.h"

#include "render_error.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// A preset file: a 60-byte big-endian header whose last field is the size
// of the data behind it, which tells the kind of preset.
constexpr size_t kPresetHeaderBytes = 60;
constexpr size_t kPresetSizeOffset = 56;
constexpr uint32_t kWholeStateBytes = 27512;
constexpr uint32_t kChordPresetBytes = 8312;
constexpr uint32_t kArpPresetBytes = 19096;
constexpr uint32_t kArpPresetBytesShort = 19084;

constexpr int32_t kHostParameters = 32;
constexpr int32_t kHighestIndex = 300;
constexpr size_t kMaxStateFileBytes = 1u << 20;

std::vector<uint8_t> readWholeFile(const std::string& path, const char* what) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RenderError("cannot open the " + std::string(what) + " " + path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) throw RenderError("cannot read the " + std::string(what) + " " + path);
    if (bytes.size() > kMaxStateFileBytes) throw RenderError(path + " is too large for a " + what);
    return bytes;
}

void setChunk(RenderHost& host, const uint8_t* block, size_t size, const std::string& path) {
    if (!host.loadState(std::vector<uint8_t>(block, block + size)))
        throw RenderError("Zandrel refused the state in " + path);
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    return text;
}

int32_t parameterIndex(RenderHost& host, const std::string& name) {
    int32_t number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error == std::errc() && end == name.data() + name.size()) {
        if (number < 0 || number > kHighestIndex)
            throw RenderError("parameter index " + name + " is outside 0.." +
                              std::to_string(kHighestIndex));
        return number;
    }
    std::string known;
    for (int32_t i = 0; i < kHostParameters; ++i) {
        const std::string candidate = trimmed(host.parameterName(i));
        if (candidate == trimmed(name)) return i;
        known += (i ? ", " : "") + candidate;
    }
    throw RenderError("unknown parameter \"" + name + "\"; the parameters are: " + known);
}

} // namespace

void seedRandomSource(RenderHost& host, uint64_t seed) {
    host.seedRandom(seed);
}

void loadPresetFile(RenderHost& host, const std::string& path) {
    auto bytes = readWholeFile(path, "preset");
    if (bytes.size() < kPresetHeaderBytes)
        throw RenderError(path + " is not a Zandrel preset (too short)");
    // The plug-in takes any state block of the right length, so the
    // program-file header is what tells a preset from other bytes.
    if (std::memcmp(bytes.data(), "CcnK", 4) != 0 || std::memcmp(bytes.data() + 8, "FPCh", 4) != 0)
        throw RenderError(path + " is not a Zandrel preset (no program-file header)");
    uint32_t size = 0;
    for (size_t i = 0; i < 4; ++i) size = (size << 8) | bytes[kPresetSizeOffset + i];
    if (size == kWholeStateBytes) {
        // The state chunk follows the header, as a host keeps it in a project.
        if (bytes.size() < kPresetHeaderBytes + size)
            throw RenderError(path + " is cut short: its state is incomplete");
        setChunk(host, bytes.data() + kPresetHeaderBytes, size, path);
        return;
    }
    const bool chords = size == kChordPresetBytes;
    const bool arp = size == kArpPresetBytes || size == kArpPresetBytesShort;
    if (!chords && !arp) throw RenderError(path + " is not a Zandrel preset (unknown kind)");
    if (!host.loadPreset(arp, path)) throw RenderError("Zandrel refused the preset " + path);
}

void loadChunkFile(RenderHost& host, const std::string& path) {
    auto bytes = readWholeFile(path, "state chunk");
    if (bytes.empty()) throw RenderError("the state chunk " + path + " is empty");
    setChunk(host, bytes.data(), bytes.size(), path);
}

void applyParameterSetting(RenderHost& host, const std::string& setting) {
    const size_t equals = setting.find('=');
    if (equals == std::string::npos)
        throw RenderError("--set wants NAME=VALUE, not \"" + setting + "\"");
    const int32_t index = parameterIndex(host, setting.substr(0, equals));
    const std::string text = setting.substr(equals + 1);
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value))
        throw RenderError("--set " + setting + ": \"" + text + "\" is not a number");
    host.setParameter(index, value);
}

std::string stateChunk(RenderHost& host) {
    auto state = host.saveState();
    if (!state || state->empty()) throw RenderError("Zandrel gave no state to save");
    return std::move(*state);
}
