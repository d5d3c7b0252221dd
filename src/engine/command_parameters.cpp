// Commands: parameter indices that start an operation when they are set, the
// value choosing the variant. Refresh signals (85, 91, 93, 94, 95, 146, and
// 127 with values other than the two rotations) land here too and do
// nothing in the engine: the editor hears of them through the door.
#include "chord_removal.h"
#include "chord_sort.h"
#include "chord_transforms.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_engine.h"

#include <cstring>

namespace {
constexpr float kRotateLeft = 266.0f;
constexpr float kRotateRight = 267.0f;
} // namespace

void ZandEngine::runCommand(int32_t index, float value) noexcept {
    switch (index) {
    case param::kRandomNotes:
        for (int k = 0; k < kVoiceCount; ++k)
            if (!st.voiceLock[k])
                setParameter(param::kNoteNumFirst + k,
                             (random.next() % 48) / 128.0f + 35.0f / 128.0f);
        break;
    case param::kLoadChordPreset:
        loadPresetFromMenu(kChordBank, value);
        break;
    case param::kLoadArpPreset:
        loadPresetFromMenu(kArpBank, value);
        break;
    case param::kExportMidi:
        exportMidiFile(value);
        break;
    case param::kChordSetChanged:
        setParameter(param::kRefreshChordSet, 1.0f);
        break;
    case param::kSortChords:
        allChordNotesOff();
        if (sortChordSet(st, chordWorkList, sortOrderOfCommand(value)))
            setParameter(param::kRefreshChordSet, 1.0f);
        break;
    case param::kRemoveChords: {
        const RemoveOutcome outcome = removeChords(st, chordWorkList, value);
        if (outcome.chordSetChanged) setParameter(param::kRefreshChordSet, 1.0f);
        if (outcome.stopPlayedKeys) setParameter(param::kPlayedKeys, 0.0f);
        break;
    }
    case param::kTransformChords:
        if (transformChords(st, chordWorkList, random, value))
            setParameter(param::kRefreshChordSet, 1.0f);
        break;
    case param::kRoutingOptions:
        if (value == 0.0f) st.xmitChordsCh2 = !st.xmitChordsCh2;
        if (value == 1.0f) st.xmitVoicesCh3 = !st.xmitVoicesCh3;
        notifyEditor(param::kRefreshMenus, 9.1f);
        break;
    case param::kSnapshot:
        for (int k = 0; k < kVoiceCount; ++k) {
            st.voiceSnapshotNote[k] = st.chordNote[k][st.voiceKey[k] & 127];
            st.voiceSnapshotVel[k] = st.chordVel[k][st.voiceKey[k] & 127];
            st.voiceSnapshotLock[k] = st.voiceLock[k];
        }
        break;
    case param::kRestoreSnapshot:
        for (int k = 0; k < kVoiceCount; ++k) {
            setParameter(param::kNoteNumFirst + k, st.voiceSnapshotNote[k]);
            setParameter(param::kNoteVelFirst + k, st.voiceSnapshotVel[k]);
            setParameter(param::kLockFirst + k, st.voiceSnapshotLock[k]);
        }
        break;
    case param::kCopy:
        st.Arp_Current_Copy_Type = saturatingInt(value);
        st.copySourcePattern = currentPatternIndex();
        st.arpClipboard = currentPatternRecord();
        break;
    case param::kPaste:
        pastePattern();
        break;
    case param::kRandomizeLane:
        randomizeLane();
        break;
    case param::kPatternChanged:
        if (value == kRotateLeft || value == kRotateRight) rotateSteps(value == kRotateLeft);
        break;
    default:
        break;
    }
}

void ZandEngine::pastePattern() noexcept {
    diag("\n kArp_PasteTag copy recieved! Arp_Current_Copy_Type is %i", st.Arp_Current_Copy_Type);
    ArpPattern& target = currentPatternRecord();
    const ArpPattern& clip = st.arpClipboard;
    switch (st.Arp_Current_Copy_Type) {
    case kCopyOneLane: {
        const int lane = currentLaneIndex();
        const int row = rowOfLane(lane);
        std::memcpy(target.rowValue[row], clip.rowValue[row], sizeof target.rowValue[row]);
        if (lane == 0) std::memcpy(target.rowValue[1], clip.rowValue[1], sizeof target.rowValue[1]);
        target.laneStartValue[lane] = clip.laneStartValue[lane];
        target.laneStart[lane] = clip.laneStart[lane];
        target.laneLength[lane] = clip.laneLength[lane];
        target.laneDivider[lane] = clip.laneDivider[lane];
        target.laneDividerValue[lane] = clip.laneDividerValue[lane];
        std::memcpy(target.patternName, clip.patternName, sizeof target.patternName);
        break;
    }
    case kCopyAllLanes:
        std::memcpy(target.rowValue, clip.rowValue, sizeof target.rowValue);
        break;
    case kCopyWholePattern: {
        diag("\n graphset copy recieved!");
        // The source pattern as it is now, not as it was copied.
        const int source = clampTo(st.copySourcePattern, 0, kPatternCount - 1);
        if (source != currentPatternIndex()) target = st.patterns[source];
        break;
    }
    default:
        return;
    }
    setParameter(param::kPatternChanged, 17.0f);
}

void ZandEngine::randomizeLane() noexcept {
    ArpPattern& p = currentPatternRecord();
    const int lane = currentLaneIndex();
    const int row = rowOfLane(lane);
    // Scale shift and added interval have 25 useful values, the others 16.
    const int choices = lane == 3 || lane == 7 ? 25 : 16;
    for (int s = 0; s < kStepCount; ++s)
        p.rowValue[row][s] = static_cast<float>(random.next() % choices) / choices;
    setParameter(param::kPatternChanged, 17.0f);
}

void ZandEngine::rotateSteps(bool left) noexcept {
    ArpPattern& p = currentPatternRecord();
    auto rotate = [left](auto* steps) {
        if (left) {
            const auto first = steps[0];
            for (int s = 0; s < kStepCount - 1; ++s) steps[s] = steps[s + 1];
            steps[kStepCount - 1] = first;
        } else {
            const auto last = steps[kStepCount - 1];
            for (int s = kStepCount - 1; s > 0; --s) steps[s] = steps[s - 1];
            steps[0] = last;
        }
    };
    for (auto& row : p.rowValue) rotate(row);
    rotate(p.stepOn);
    rotate(p.stepKind);
    setParameter(param::kPatternChanged, 17.0f);
}
