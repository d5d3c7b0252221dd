#include "preset_file.h"

#include "arp_block.h"
#include "byte_order.h"
#include "chord_block.h"
#include "format_fields.h"
#include "parameter_indices.h"
#include "state_chunk.h"
#include "text_chord_list.h"

#include <cstdio>
#include <cstring>

std::vector<uint8_t> presetFileBytes(const uint8_t* block, int32_t blockSize) {
    using namespace preset_header;
    std::vector<uint8_t> file(kPresetHeaderSize + static_cast<size_t>(blockSize), 0);
    uint8_t* h = file.data();
    // Four-character tags and a fixed-width name: byte fields, not C strings.
    // NOLINTBEGIN(bugprone-not-null-terminated-result)
    std::memcpy(h + kChunkMagic, "CcnK", 4);
    putBe32(h + kByteSize, static_cast<uint32_t>(file.size() - 8));
    std::memcpy(h + kFxMagic, "FPCh", 4);
    putBe32(h + kFileVersion, 1);
    std::memcpy(h + kFxId, "Qz4k", 4);
    putBe32(h + kFxVersion, 1);
    putBe32(h + kProgramCount, 1);
    // Every preset carries the same program name; the block holds the real one.
    std::memcpy(h + kProgramName, "(Custom)            ", 20);
    // NOLINTEND(bugprone-not-null-terminated-result)
    putBe32(h + kChunkSize, static_cast<uint32_t>(blockSize));
    std::memcpy(h + kPresetHeaderSize, block, static_cast<size_t>(blockSize));
    return file;
}

PresetBlock findPresetBlock(const uint8_t* file, size_t fileSize, const char** reason) {
    const char* why = nullptr;
    PresetBlock block;
    if (file == nullptr || fileSize < static_cast<size_t>(kPresetHeaderSize)) {
        why = "\n preset file shorter than its header, ignored";
    } else {
        const int32_t size = static_cast<int32_t>(getBe32(file + preset_header::kChunkSize));
        if (size < 1 || size >= kPresetChunkSizeLimit)
            why = "\n preset chunk size out of range, ignored";
        else if (static_cast<size_t>(size) > fileSize - kPresetHeaderSize)
            why = "\n preset chunk larger than the file, ignored";
        else
            block = {file + kPresetHeaderSize, size};
    }
    if (reason) *reason = why;
    return block;
}

std::string presetDisplayName(const std::string& path) {
    if (path.size() < 4) return {};
    const std::string stem = path.substr(0, path.size() - 4);
    int separators = 0;
    for (char c : stem) separators += c == '/' || c == '\\';
    if (separators < 2) return {};
    const std::string name = stem.substr(stem.find_last_of("/\\") + 1);
    return name.substr(0, kDisplayNameLimit);
}

std::string withExtension(const std::string& path, const char* extension,
                          const DiagnosticSink& sink) {
    std::string name = path;
    const size_t extensionLength = std::strlen(extension);
    if (extensionLength != 3) {
        logLine(sink, "extension length invalid, expected 3 here: %li",
                static_cast<long>(extensionLength));
    } else {
        const std::string suffix = std::string(".") + extension;
        for (;;) {
            if (name.size() < 4) {
                logLine(sink, "file length invalid, expected at least 4 here: %i",
                        static_cast<int>(name.size()));
                break;
            }
            if (name.compare(name.size() - 4, 4, suffix) != 0) break;
            name.resize(name.size() - 4);
        }
    }
    return name + "." + extension;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool writeWholeFile(const std::string& path, const uint8_t* bytes, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

bool savePresetFile(EngineDoor& door, std::string& pathBuffer, PresetKind kind) {
    if (pathBuffer.empty()) return false;
    pathBuffer =
        withExtension(pathBuffer, "fxp", [&door](const char* line) { door.diagnostic(line); });
    EngineState& s = door.state();
    const std::string name = presetDisplayName(pathBuffer);
    setText(s.programName, name.c_str());

    std::vector<uint8_t> block;
    switch (kind) {
    case PresetKind::kWholeState:
        block.resize(kStateChunkSize);
        writeStateChunk(s, block.data());
        break;
    case PresetKind::kChords:
        block.resize(kChordBlockSize);
        writeChordBlock(s, block.data());
        break;
    case PresetKind::kArp:
        block.resize(kArpBlockSize);
        writeArpBlock(s, block.data());
        break;
    }
    const std::vector<uint8_t> file =
        presetFileBytes(block.data(), static_cast<int32_t>(block.size()));
    if (!writeWholeFile(pathBuffer, file.data(), file.size())) {
        logLine(door, "\n error writing file.");
        return false;
    }
    if (kind == PresetKind::kWholeState) return true;
    setText(kind == PresetKind::kChords ? s.chordPresetMenuName : s.arpPresetMenuName,
            name.c_str());
    door.setParameter(param::kRefreshPresetNames, 1.0f);
    return true;
}

bool applyChordPreset(EngineDoor& door, const uint8_t* file, size_t size) {
    if (isTextChordList(file, size)) {
        door.allChordNotesOff();
        applyTextChordList(door, file, size);
        return true;
    }
    const char* reason = nullptr;
    const PresetBlock block = findPresetBlock(file, size, &reason);
    if (block.data == nullptr) {
        logLine(door, "%s", reason);
        return false;
    }
    if (block.size < kChordBlockReadSize) {
        logLine(door, "\n chord block of %i bytes too short, ignored", block.size);
        return false;
    }
    door.allChordNotesOff();
    applyChordBlock(door, block.data, block.size);
    return true;
}

bool applyArpPreset(EngineDoor& door, const uint8_t* file, size_t size) {
    const char* reason = nullptr;
    const PresetBlock block = findPresetBlock(file, size, &reason);
    if (block.data == nullptr) {
        logLine(door, "%s", reason);
        return false;
    }
    if (!arpBlockFits(block.data, block.size)) {
        logLine(door, "\n arp block of %i bytes too short, ignored", block.size);
        return false;
    }
    door.allArpNotesOff();
    applyArpBlock(door, block.data, block.size);
    door.allArpNotesOff();
    door.notifyEditor(param::kPatternChanged, 17.0f);
    return true;
}

void nameLoadedPreset(EngineDoor& door, bool chords, const std::string& path) {
    EngineState& s = door.state();
    setText(chords ? s.chordPresetMenuName : s.arpPresetMenuName, presetDisplayName(path).c_str());
    door.updateDisplay();
}

bool loadChordPreset(EngineDoor& door, const uint8_t* file, size_t size, const std::string& path) {
    if (!applyChordPreset(door, file, size)) return false;
    nameLoadedPreset(door, true, path);
    return true;
}

bool loadArpPreset(EngineDoor& door, const uint8_t* file, size_t size, const std::string& path) {
    if (!applyArpPreset(door, file, size)) return false;
    nameLoadedPreset(door, false, path);
    return true;
}

namespace {
bool loadFile(EngineDoor& door, std::string& pathBuffer,
              bool (*load)(EngineDoor&, const uint8_t*, size_t, const std::string&)) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(pathBuffer, bytes)) {
        logLine(door, "\n could not read preset file %s", pathBuffer.c_str());
        return false;
    }
    if (!load(door, bytes.data(), bytes.size(), pathBuffer)) return false;
    pathBuffer = presetDisplayName(pathBuffer);
    return true;
}
} // namespace

bool loadChordPresetFile(EngineDoor& door, std::string& pathBuffer) {
    return loadFile(door, pathBuffer, loadChordPreset);
}

bool loadArpPresetFile(EngineDoor& door, std::string& pathBuffer) {
    return loadFile(door, pathBuffer, loadArpPreset);
}
