// The engine's side of its files and blocks: the state chunk the host keeps,
// presets chosen from the menus or by program change, saving, MIDI import.
#include "midi_import.h"
#include "parameter_indices.h"
#include "preset_file.h"
#include "state_chunk.h"
#include "zand_engine.h"
#include "zand_engine_door.h"

// clang-format off
EngineState& ZandEngineDoor::state() { return engine.st; }
void ZandEngineDoor::setParameter(int32_t index, float value) { engine.changeParameter(index, value); }
void ZandEngineDoor::notifyEditor(int32_t index, float value) { engine.notifyEditor(index, value); }
void ZandEngineDoor::resetChordMemory() { engine.resetChordMemory(); }
void ZandEngineDoor::resetArpeggiator() { engine.resetArpeggiator(); }
void ZandEngineDoor::allChordNotesOff() { engine.allChordNotesOff(); }
void ZandEngineDoor::allArpNotesOff() { engine.allArpNotesOff(); }
void ZandEngineDoor::updateDisplay() { if (engine.port) engine.port->displayChanged(); }
void ZandEngineDoor::diagnostic(const char* line) { engine.diag("%s", line); }
// clang-format on

int32_t ZandEngine::getChunk(void** data) {
    // The block stays valid until the next call: the host copies it.
    writeStateChunk(st, chunkBuffer.data());
    *data = chunkBuffer.data();
    return kStateChunkSize;
}

int32_t ZandEngine::setChunk(const void* data, int32_t byteSize) {
    if (!data) return kSetChunkRefused;
    ZandEngineDoor door(*this);
    return ::setChunk(door, static_cast<const uint8_t*>(data), byteSize);
}

std::optional<std::string> ZandEngine::menuPresetPath(PresetBank bank, float value) {
    if (bank == kArpBank) diag("\n  <><><>kArp_PresetMenu<><><> value is %f", value);
    if (value < 0.5f) return std::nullopt;
    // Beyond the lists: nothing loads.
    return presets->pathForMenuPosition(bank, value,
                                        [this](const char* line) { diag("%s", line); });
}

void ZandEngine::loadPresetFromMenu(PresetBank bank, float value) {
    if (const auto path = menuPresetPath(bank, value)) loadPresetFile(bank, *path);
}

namespace {
// What the real-time thread defers after applying a staged load: the
// worker then finishes it. Not a parameter index.
constexpr int32_t kStagedLoadApplied = -1;
} // namespace

void ZandEngine::deferWork(int32_t index, float value) noexcept {
    // The host's own worker where it offers one, else the shared thread.
    if (port && port->scheduleWork(index, value)) return;
    if (worker) worker->defer(index, value);
}

void ZandEngine::performDeferredWork(int32_t index, float value) {
    runDeferred(index, value);
}

void ZandEngine::runDeferred(int32_t index, float value) {
    switch (index) {
    case param::kLoadChordPreset:
    case param::kLoadArpPreset:
        stagePresetLoad(index == param::kLoadChordPreset ? kChordBank : kArpBank, value);
        // As if the parameter had been set: the editor follows the menu position.
        notifyEditor(index, value);
        break;
    case kStagedLoadApplied:
        finishStagedLoad(value == 0.0f ? kChordBank : kArpBank);
        break;
    default:
        setParameter(index, value);
        break;
    }
}

void ZandEngine::stagePresetLoad(PresetBank bank, float value) {
    const auto path = menuPresetPath(bank, value);
    if (!path) return;
    StagedPresetLoad& slot = stagedLoads[bank];
    if (slot.claim()) finishStagedLoad(bank);
    if (!readWholeFile(*path, slot.bytes)) {
        diag("\n could not read preset file %s", path->c_str());
        return;
    }
    slot.path = *path;
    slot.publish();
}

void ZandEngine::finishStagedLoad(PresetBank bank) {
    StagedPresetLoad& slot = stagedLoads[bank];
    if (!slot.finishApplied() || !slot.loaded) return;
    ZandEngineDoor door(*this);
    nameLoadedPreset(door, bank == kChordBank, slot.path);
    pathBuffer = presetDisplayName(slot.path);
}

void ZandEngine::applyStagedPresetLoads() noexcept {
    for (int bank = kChordBank; bank <= kArpBank; ++bank) {
        StagedPresetLoad& slot = stagedLoads[bank];
        if (!slot.takeReady()) continue;
        ZandEngineDoor door(*this);
        slot.markApplied(bank == kChordBank
                             ? applyChordPreset(door, slot.bytes.data(), slot.bytes.size())
                             : applyArpPreset(door, slot.bytes.data(), slot.bytes.size()));
        deferWork(kStagedLoadApplied, static_cast<float>(bank));
    }
}

bool ZandEngine::loadPresetFile(PresetBank bank, const std::string& path) {
    ZandEngineDoor door(*this);
    pathBuffer = path;
    return bank == kChordBank ? loadChordPresetFile(door, pathBuffer)
                              : loadArpPresetFile(door, pathBuffer);
}

bool ZandEngine::savePreset(PresetKind kind, const std::string& path) {
    ZandEngineDoor door(*this);
    pathBuffer = path;
    return savePresetFile(door, pathBuffer, kind);
}

bool ZandEngine::importMidiFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return false;
    const MidiImportResult result = importMidiChords(
        st, bytes.data(), bytes.size(), [this](const char* line) { diag("%s", line); });
    if (result.accepted) setParameter(param::kChordSetChanged, 1.0f);
    return result.accepted;
}

void ZandEngine::applyConfiguration(const Configuration& c) {
    st.optCcEditsNotes = c.optCcEditsNotes;
    st.optLowKeysPickPattern = c.optLowKeysPickPattern;
    st.optRetriggerHeld = c.optRetriggerHeld;
    st.configuredPreviewSound = c.optPreviewSound;
    st.configuredEditorSize = c.optEditorSize;
}
