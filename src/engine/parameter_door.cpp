// The parameter interface: setParameter and getParameter for every index.
// Host parameters 0..31 are ignored for ten blocks after a resume or a full
// state load, so that stale automation cannot overwrite what was loaded.
#include "arp_rates.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_engine.h"

#include <cmath>

namespace {
bool isOn(float value) {
    return value != 0.0f;
}
} // namespace

void ZandEngine::setParameter(int32_t index, float value) noexcept {
    // The editor hears of a write even when the guard ignores it.
    if (index >= param::kHostParameterCount || st.paramGuardBlocks >= kParamGuardLength)
        applyParameter(index, value);
    notifyEditor(index, value);
}

void ZandEngine::setParameterFromEditor(int32_t index, float value) noexcept {
    // A click in the window is the user's own: the guard against stale
    // host automation after a resume or a load does not apply to it.
    applyParameter(index, value);
    notifyEditor(index, value);
}

void ZandEngine::setParameterInBlock(int32_t index, float value, bool pastTheGuard) noexcept {
    betweenPartsOwner.store(std::this_thread::get_id(), std::memory_order_release);
    if (pastTheGuard)
        setParameterFromEditor(index, value);
    else
        setParameter(index, value);
    betweenPartsOwner.store(std::thread::id{}, std::memory_order_release);
}

void ZandEngine::changeParameter(int32_t index, float value) noexcept {
    setParameter(index, value);
    if (port && index >= 0 && index < param::kHostParameterCount)
        port->hostParameterChanged(index, getParameter(index));
}

void ZandEngine::applyParameter(int32_t index, float value) noexcept {
    if (index >= param::kArpNoteRuleFirst && index < param::kArpNoteRuleFirst + 12)
        return setArpNoteRule(index - param::kArpNoteRuleFirst, value);
    if (index >= param::kRateFirst && index < param::kRateFirst + kPatternCount)
        return setPatternRate(index - param::kRateFirst, value);
    if (index >= param::kNoteNumFirst && index < param::kNoteNumFirst + kVoiceCount)
        return editVoiceNote(index - param::kNoteNumFirst, value);
    if (index >= param::kNoteVelFirst && index < param::kNoteVelFirst + kVoiceCount) {
        const int k = index - param::kNoteVelFirst;
        st.chordVel[k][st.voiceKey[k] & 127] = value;
        return;
    }
    if (index >= param::kLockFirst && index < param::kLockFirst + kVoiceCount) {
        st.voiceLock[index - param::kLockFirst] = isOn(value);
        return;
    }
    if (index >= param::kChordShiftFirst && index < param::kChordShiftFirst + kVoiceCount)
        return shiftChord(index - param::kChordShiftFirst, value);
    if (index >= param::kVelAllKeysFirst && index < param::kVelAllKeysFirst + kVoiceCount) {
        for (float& v : st.chordVel[index - param::kVelAllKeysFirst]) v = value;
        return;
    }
    if (index >= param::kStepOnFirst && index < param::kStepOnFirst + kStepCount) {
        currentPatternRecord().stepOn[index - param::kStepOnFirst] = isOn(value);
        return;
    }
    if ((index >= param::kLaneDivider && index <= param::kLaneStartKeepLength) ||
        index == param::kCurrentLane)
        return setLaneParameter(index, value);

    switch (index) {
    case param::kTranspose: {
        const int next = clampTo(transposeStepOfValue(unitValue(value)), 0, 48);
        if (next != st.transpose) {
            allChordNotesOff();
            st.transpose = static_cast<int8_t>(next);
        }
        break;
    }
    case param::kSwing:
        st.swing = unitValue(value);
        break;
    case param::kGate:
        st.gate = unitValue(value);
        break;
    case param::kPattern:
        selectPattern(value);
        break;
    case param::kChordsOn:
        if (isOn(value) != (st.chordsOn != 0)) {
            allChordNotesOff();
            allArpNotesOff();
        }
        st.chordsOn = isOn(value);
        st.latchActive = st.midiLatch && !st.chordsOn;
        break;
    case param::kArpOn:
        if (isOn(value) != (st.arpOn != 0)) {
            allArpNotesOff();
            allChordNotesOff();
        }
        st.arpOn = isOn(value);
        break;
    case param::kMidiLatch: {
        const bool was = st.midiLatch != 0;
        st.midiLatch = isOn(value);
        st.latchActive = st.midiLatch && !st.chordsOn;
        if (was && !st.midiLatch) {
            allChordNotesOff();
            if (!st.chordsOn) allArpNotesOff();
        }
        break;
    }
    case param::kArpFreeRate:
        st.arpFreeRate = isOn(value);
        // stepsPerBeat is derived from each pattern's rate; rates set while
        // the free rate ran left it behind, so bring every pattern up to date.
        if (!st.arpFreeRate)
            for (int p = 0; p < kPatternCount; ++p) recomputePatternTiming(p);
        changeParameter(param::kRateFirst + st.currentPattern, currentPatternRecord().rate);
        break;
    case param::kInputMode:
        setInputMode(value);
        break;
    case param::kCurrentKey:
        setCurrentKey(value);
        break;
    case param::kPreviewOn:
        st.previewMuted = value == 0.0f;
        if (value != 0.0f) silencePreview();
        break;
    case param::kEditorScale:
        st.editorScaleValue = value;
        break;
    case param::kPlayedKeys:
        st.playedKeysMode = saturatingInt(value + 0.5);
        if (st.playedKeysMode == 1) st.playedKeysCount = 0;
        break;
    case param::kAudition:
        audition(value > 0.5f);
        break;
    default:
        runCommand(index, value);
        break;
    }
}

float ZandEngine::getParameter(int32_t index) const noexcept {
    // Hosts are promised values in 0..1; a damaged state may have left
    // anything in the fields behind them.
    const float value = storedParameter(index);
    return index >= 0 && index < param::kHostParameterCount ? unitValue(value) : value;
}

float ZandEngine::storedParameter(int32_t index) const noexcept {
    if (index >= param::kArpNoteRuleFirst && index < param::kArpNoteRuleFirst + 12)
        return st.arpNoteRule[index - param::kArpNoteRuleFirst] / 3.0f;
    if (index >= param::kRateFirst && index < param::kRateFirst + kPatternCount)
        return st.patterns[index - param::kRateFirst].rate;
    if (index >= param::kNoteNumFirst && index < param::kNoteNumFirst + kVoiceCount) {
        const int k = index - param::kNoteNumFirst;
        return st.chordNote[k][st.voiceKey[k] & 127];
    }
    if (index >= param::kNoteVelFirst && index < param::kNoteVelFirst + kVoiceCount) {
        const int k = index - param::kNoteVelFirst;
        return st.chordVel[k][st.voiceKey[k] & 127];
    }
    if (index >= param::kLockFirst && index < param::kLockFirst + kVoiceCount)
        return st.voiceLock[index - param::kLockFirst] ? 1.0f : 0.0f;
    if (index >= param::kStepOnFirst && index < param::kStepOnFirst + kStepCount)
        return currentPatternRecord().stepOn[index - param::kStepOnFirst] ? 1.0f : 0.0f;

    const ArpPattern& p = currentPatternRecord();
    const int lane = currentLaneIndex();
    switch (index) {
    case param::kTranspose:
        return transposeParameterValue(st.transpose);
    case param::kSwing:
        return st.swing;
    case param::kGate:
        return st.gate;
    case param::kPattern:
        return st.currentPattern / 12.0f;
    case param::kChordsOn:
        return st.chordsOn ? 1.0f : 0.0f;
    case param::kArpOn:
        return st.arpOn ? 1.0f : 0.0f;
    case param::kMidiLatch:
        return st.midiLatch ? 1.0f : 0.0f;
    case param::kArpFreeRate:
        return st.arpFreeRate ? 1.0f : 0.0f;
    case param::kInputMode:
    case param::kInputModeRead:
        return static_cast<float>(st.inputMode);
    case param::kCurrentKey:
        return st.currentKey * 0.0078125f;
    case param::kCurrentRate:
        return p.rate;
    case param::kPreviewOn:
        return st.previewMuted ? 0.0f : 1.0f;
    case param::kEditorScale:
        return st.editorScaleValue;
    case param::kLaneDivider:
        return p.laneDividerValue[lane];
    case param::kLinkLanes:
        return p.linkLanes ? 1.0f : 0.0f;
    case param::kChordStep:
        return p.chordStep ? 1.0f : 0.0f;
    case param::kRestartOnKey:
        return p.restartOnKey ? 1.0f : 0.0f;
    case param::kLaneLength:
        return p.laneLength[lane] * 0.0625f;
    case param::kLaneStartKeepEnd:
        return p.laneStartValue[lane];
    case param::kCurrentLane:
        return st.currentLane / 7.0f;
    default:
        return 0.0f;
    }
}

void ZandEngine::selectPattern(float value) noexcept {
    const int next = clampTo(saturatingInt(value * 12 + 0.5), 0, kPatternCount - 1);
    if (next == st.currentPattern) return;
    st.currentPattern = next;
    if (!st.patterns[next].restartOnKey) st.patternOrigin = 0.0;
    // The new pattern's step is due at once: on the real-time thread now,
    // otherwise at the start of the next block.
    if (st.haveTransport) {
        if (ownsOutput())
            arpClockTick();
        else
            handOver({PendingSend::kClockTick, 0, 0, 0, 0});
    }
    setParameter(param::kPatternChanged, 17.0f);
}

void ZandEngine::setArpNoteRule(int pitchClass, float value) noexcept {
    const int rule = clampTo(saturatingInt(value * 3 + 0.5), 0, 3);
    if (rule != st.arpNoteRule[pitchClass]) {
        for (int n = pitchClass; n < kKeyCount; n += 12) {
            if (!st.arpNoteOn[n]) continue;
            st.arpNoteOn[n] = 0;
            sendArpNoteOff(n, st.sampleInBlock);
        }
    }
    st.arpNoteRule[pitchClass] = static_cast<int8_t>(rule);
    setParameter(param::kPatternChanged, 1.1f);
}

void ZandEngine::setPatternRate(int pattern, float value) noexcept {
    ArpPattern& p = st.patterns[pattern];
    if (pattern != st.currentPattern) {
        p.rate = value;
        recomputePatternTiming(pattern);
        return;
    }
    const int r = rateIndexOf(value);
    if (r == rateIndexOf(p.rate) && !st.arpFreeRate) return;
    if (!st.arpFreeRate) {
        if (p.restartOnKey)
            keepPositionAcrossRateChange(stepsPerBeatOfIndex(r));
        else
            arpNotesOff();
    }
    p.rate = value;
    recomputePatternTiming(pattern);
}

void ZandEngine::setLaneParameter(int32_t index, float value) noexcept {
    ArpPattern& p = currentPatternRecord();
    const int lane = currentLaneIndex();
    // Values of 10 and above apply value - 10 to all twelve patterns.
    const bool allPatterns = value >= 10.0f;
    const float v = allPatterns ? value - 10.0f : value;
    auto forPatterns = [&](auto&& apply) {
        if (allPatterns)
            for (ArpPattern& each : st.patterns) apply(each);
        else
            apply(p);
    };
    switch (index) {
    case param::kLaneDivider: {
        const int choice = clampTo(saturatingInt(v * 9 + 0.5), 0, 9);
        forPatterns([&](ArpPattern& q) {
            q.laneDividerValue[lane] = v;
            q.laneDivider[lane] = kLaneDividers[choice];
        });
        break;
    }
    case param::kLinkLanes:
        forPatterns([&](ArpPattern& q) { q.linkLanes = isOn(v); });
        break;
    case param::kChordStep:
        forPatterns([&](ArpPattern& q) { q.chordStep = isOn(v); });
        allArpNotesOff();
        break;
    case param::kRestartOnKey:
        forPatterns([&](ArpPattern& q) { q.restartOnKey = isOn(v); });
        break;
    case param::kLaneLength: {
        const int length = clampTo(saturatingInt(value * 16), 1, kStepCount);
        for (int l = 0; l < kLaneCount; ++l)
            if (l == lane || p.linkLanes) p.laneLength[l] = length;
        break;
    }
    case param::kLaneStartKeepEnd: {
        // The loop's end stays where it was; its start moves.
        // A damaged load may have left any number in these: bounded first.
        const int s0 = clampTo(p.laneStart[lane], 0, kStepCount - 1);
        const int start = clampTo(saturatingInt(value * 16), 0, kStepCount - 1);
        for (int l = 0; l < kLaneCount; ++l) {
            if (l != lane && !p.linkLanes) continue;
            p.laneStartValue[l] = value;
            p.laneStart[l] = start;
            int length = clampTo(p.laneLength[l], 1, kStepCount) + s0 - start;
            if (length > 15) length = 16;
            if (start + length > 16) length = 16 - start;
            if (length < 1) length = 1;
            p.laneLength[l] = length;
        }
        break;
    }
    case param::kLaneStartKeepLength: {
        const int start = clampTo(saturatingInt(value * 16), 0, kStepCount - 1);
        for (int l = 0; l < kLaneCount; ++l) {
            if (l != lane && !p.linkLanes) continue;
            if (clampTo(p.laneLength[l], 1, kStepCount) + start > 16) break;
            p.laneStartValue[l] = value;
            p.laneStart[l] = start;
        }
        break;
    }
    case param::kCurrentLane:
        st.currentLane = clampTo(saturatingInt(value * 7 + 0.5), 0, kLaneCount - 1);
        break;
    default:
        break;
    }
}

void ZandEngine::silencePreview() noexcept {
    if (!ownsOutput()) {
        handOver({PendingSend::kSilencePreview, 0, 0, 0, 0});
        return;
    }
    for (int index = 0; index < kPreviewVoiceCount; ++index) {
        PreviewVoice& v = st.previewVoice[index];
        // A running note length would never end: its note-off goes now.
        const int note = v.gateNote & 127;
        if (v.active && v.gateCountdown > 0 && st.arpNoteOn[note] && st.arpNoteVoice[note] == index)
            sendArpNoteOff(note, st.sampleInBlock);
        v.gateCountdown = 0;
        v.active = 0;
    }
}
