// Preset files: a VST program file with an opaque chunk, that is a 60-byte
// big-endian header followed by one block: the state chunk (whole-state
// presets), the chord block or the arp block. The block's length tells the
// kinds apart.
#pragma once

#include "engine_door.h"
#include "format_log.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kPresetHeaderSize = 60;
// Declared block sizes of this many bytes or more are refused.
constexpr int64_t kPresetChunkSizeLimit = 4048577;
// Display names of preset paths are cut to this many characters.
constexpr size_t kDisplayNameLimit = 43;

namespace preset_header {
constexpr int kChunkMagic = 0; // "CcnK"
constexpr int kByteSize = 4;   // file length - 8
constexpr int kFxMagic = 8;    // "FPCh"
constexpr int kFileVersion = 12;
constexpr int kFxId = 16; // "Qz4k"
constexpr int kFxVersion = 20;
constexpr int kProgramCount = 24;
constexpr int kProgramName = 28; // 28 bytes
constexpr int kChunkSize = 56;
} // namespace preset_header

enum class PresetKind { kWholeState, kChords, kArp };

// The whole file for a block: header and block.
std::vector<uint8_t> presetFileBytes(const uint8_t* block, int32_t blockSize);

// The block inside a preset file, or a null data pointer when the header's
// chunk size is below 1, at kPresetChunkSizeLimit or more, or larger than
// the file holds behind the header. `reason` receives a diagnostic line.
struct PresetBlock {
    const uint8_t* data = nullptr;
    int32_t size = 0;
};
PresetBlock findPresetBlock(const uint8_t* file, size_t fileSize, const char** reason = nullptr);

// The name a preset path is shown by: the text after the last "/" or "\",
// without the last four characters, at most 43 characters; empty when the
// path without those four characters holds fewer than two separators.
std::string presetDisplayName(const std::string& path);

// Removes every trailing "." + extension (exact case) and appends one.
// `extension` is given without its dot and must be 3 characters long.
std::string withExtension(const std::string& path, const char* extension,
                          const DiagnosticSink& sink = {});

// Whole-file reading and writing as raw bytes.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
bool writeWholeFile(const std::string& path, const uint8_t* bytes, size_t size);

// Saves the engine state of the kind under `pathBuffer` (trimmed and given
// ".fxp"; the buffer keeps the path saved to). Sets `programName` to the
// display name; after a chord or arp save also the matching preset menu
// name, and tells the editor through index 146. An empty path does nothing.
// Returns false when nothing was written ("\n error writing file.").
bool savePresetFile(EngineDoor& door, std::string& pathBuffer, PresetKind kind);

// The chord preset loader (command 78) over a file's bytes: a "Mode" text
// chord list or a preset file whose block is applied as a chord block.
// `path` names the file for the preset menu title. Refused files (false)
// change nothing and leave one diagnostic line.
bool loadChordPreset(EngineDoor& door, const uint8_t* file, size_t size, const std::string& path);
// The arp preset loader (command 102) over a file's bytes.
bool loadArpPreset(EngineDoor& door, const uint8_t* file, size_t size, const std::string& path);

// The part of the two loaders that changes the engine: it reads no file
// and allocates nothing, so the real-time thread may run it. The preset
// menu's name is set afterwards, by nameLoadedPreset (chord menu or arp
// menu), which also asks the host to update its display.
bool applyChordPreset(EngineDoor& door, const uint8_t* file, size_t size);
bool applyArpPreset(EngineDoor& door, const uint8_t* file, size_t size);
void nameLoadedPreset(EngineDoor& door, bool chords, const std::string& path);

// The same loaders reading the file at `pathBuffer`; after a load the
// buffer holds the preset's display name.
bool loadChordPresetFile(EngineDoor& door, std::string& pathBuffer);
bool loadArpPresetFile(EngineDoor& door, std::string& pathBuffer);
