// The effect's side of its files and blocks: the state chunk the host keeps,
// presets chosen from the menus or by program change, saving, MIDI import,
// and the services hosts of our own reach through the vendor opcode.
#include "effect_door.h"
#include "midi_import.h"
#include "parameter_indices.h"
#include "preset_file.h"
#include "state_chunk.h"
#include "zand_dsp.h"

// clang-format off
EngineState& EffectDoor::state() { return effect.st; }
void EffectDoor::setParameter(int32_t index, float value) { effect.setParameter(index, value); }
void EffectDoor::notifyEditor(int32_t index, float value) { effect.notifyEditor(index, value); }
void EffectDoor::resetChordMemory() { effect.resetChordMemory(); }
void EffectDoor::resetArpeggiator() { effect.resetArpeggiator(); }
void EffectDoor::allChordNotesOff() { effect.allChordNotesOff(); }
void EffectDoor::allArpNotesOff() { effect.allArpNotesOff(); }
void EffectDoor::updateDisplay() { effect.updateDisplay(); }
void EffectDoor::diagnostic(const char* line) { effect.diag("%s", line); }
// clang-format on

int32_t ZandDSP::getChunk(void** data, bool /*isPreset*/) {
    // The block stays valid until the next call: the host copies it.
    writeStateChunk(st, chunkBuffer.data());
    *data = chunkBuffer.data();
    return kStateChunkSize;
}

int32_t ZandDSP::setChunk(void* data, int32_t byteSize, bool /*isPreset*/) {
    if (!data) return kSetChunkRefused;
    EffectDoor door(*this);
    return ::setChunk(door, static_cast<const uint8_t*>(data), byteSize);
}

std::optional<std::string> ZandDSP::menuPresetPath(PresetBank bank, float value) {
    if (bank == kArpBank) diag("\n  <><><>kArp_PresetMenu<><><> value is %f", value);
    if (value < 0.5f) return std::nullopt;
    // Beyond the lists: nothing loads.
    return presets->pathForMenuPosition(bank, value,
                                        [this](const char* line) { diag("%s", line); });
}

void ZandDSP::loadPresetFromMenu(PresetBank bank, float value) {
    if (const auto path = menuPresetPath(bank, value)) loadPresetFile(bank, *path);
}

namespace {
// What the real-time thread defers after applying a staged load: the
// worker then finishes it. Not a parameter index.
constexpr int32_t kStagedLoadApplied = -1;
} // namespace

void ZandDSP::runDeferred(int32_t index, float value) {
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

void ZandDSP::stagePresetLoad(PresetBank bank, float value) {
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

void ZandDSP::finishStagedLoad(PresetBank bank) {
    StagedPresetLoad& slot = stagedLoads[bank];
    if (!slot.finishApplied() || !slot.loaded) return;
    EffectDoor door(*this);
    nameLoadedPreset(door, bank == kChordBank, slot.path);
    pathBuffer = presetDisplayName(slot.path);
}

void ZandDSP::applyStagedPresetLoads() {
    for (int bank = kChordBank; bank <= kArpBank; ++bank) {
        StagedPresetLoad& slot = stagedLoads[bank];
        if (!slot.takeReady()) continue;
        EffectDoor door(*this);
        slot.markApplied(bank == kChordBank
                             ? applyChordPreset(door, slot.bytes.data(), slot.bytes.size())
                             : applyArpPreset(door, slot.bytes.data(), slot.bytes.size()));
        worker->defer(kStagedLoadApplied, static_cast<float>(bank));
    }
}

bool ZandDSP::loadPresetFile(PresetBank bank, const std::string& path) {
    EffectDoor door(*this);
    pathBuffer = path;
    return bank == kChordBank ? loadChordPresetFile(door, pathBuffer)
                              : loadArpPresetFile(door, pathBuffer);
}

bool ZandDSP::savePreset(PresetKind kind, const std::string& path) {
    EffectDoor door(*this);
    pathBuffer = path;
    return savePresetFile(door, pathBuffer, kind);
}

bool ZandDSP::importMidiFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return false;
    const MidiImportResult result = importMidiChords(
        st, bytes.data(), bytes.size(), [this](const char* line) { diag("%s", line); });
    if (result.accepted) setParameter(param::kChordSetChanged, 1.0f);
    return result.accepted;
}

void ZandDSP::applyConfiguration(const Configuration& c) {
    st.optCcEditsNotes = c.optCcEditsNotes;
    st.optLowKeysPickPattern = c.optLowKeysPickPattern;
    st.optRetriggerHeld = c.optRetriggerHeld;
    st.configuredPreviewSound = c.optPreviewSound;
    st.configuredEditorSize = c.optEditorSize;
}
