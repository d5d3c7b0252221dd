// Step playback: what the arpeggiator plays when a new step is due — which
// held note, in which octave, shifted in the scale or not, with which
// velocity and length, with an optional added interval — and the list of
// held notes it plays from.
#include "chord_naming.h"
#include "midi_status.h"
#include "note_rule_walk.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_engine.h"

#include <cmath>

namespace {

// -12..+12 semitones; values up to 1/26 mean no shift. Values beyond 1
// (a damaged load) shift as 1 does.
int shiftOf(float x) {
    return x > 0.03846154f ? clampTo(saturatingFloor(x * 25.99), 0, 25) - 13 : 0;
}

// A lane value in sixteenths, rounded, 0..16: what the spread and octave
// lanes are made of. A value outside 0..1 counts as the nearest end.
int sixteenthsOf(float x) {
    return clampTo(saturatingInt(x * 16 + 0.5), 0, 16);
}

int positiveMod(int a, int m) {
    return ((a % m) + m) % m;
}

// Scale degree 0..6 of a pitch class counted from the root.
int scaleDegree(int interval) {
    static constexpr int kDegree[12] = {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
    return kDegree[interval];
}

// The index a walk mode plays for walk position w over n notes.
int walkIndex(int mode, int w, int n) {
    switch (mode) {
    case 0:
        return w;
    case 1:
        return n - 1 - w;
    case 2:
        return w < n - 1 ? w : 2 * n - 2 - w;
    case 3:
        return n - 1 - walkIndex(2, w, n);
    case 4:
        return w == n ? n - 1 : (w > n ? 2 * n - 1 - w : w);
    case 5:
        return n - 1 - walkIndex(4, w, n);
    case 6: {
        if (w % 2 == 0) return 0;
        const int h = (w + 1) / 2;
        return h <= n - 1 ? h : 2 * n - 2 - h;
    }
    default:
        return n - 1 - walkIndex(6, w, n);
    }
}

// How many positions a walk mode cycles through over n notes.
int walkCycle(int mode, int n) {
    switch (mode) {
    case 0:
    case 1:
        return n;
    case 2:
    case 3:
        return std::max(2 * n - 2, 1);
    case 4:
    case 5:
        return 2 * n;
    default:
        return std::max(4 * n - 8, 1);
    }
}
} // namespace

float ZandEngine::laneValue(int lane) const noexcept {
    return currentPatternRecord().rowValue[rowOfLane(lane)][st.lanePos[lane] & 15];
}

void ZandEngine::applyHeldNoteInput(int note, int channel, int velocity) noexcept {
    if (channel == 2) {
        setParameter(param::kPattern, (note % 12) / 12.0f);
        return;
    }
    if (channel == 3) {
        if (velocity > 0) st.scaleTranspose = note - 60;
        return;
    }
    if (channel == 4) return;
    // The list holds signed bytes: a chord note transposed past 127 has no
    // place in it.
    if (note < 1 || note > 127) return;

    if (velocity == 0) {
        if (st.latchActive) {
            st.arpKeysDown -= 1;
            if (st.arpHeldCount <= 0) st.arpHeldCount = 0;
            return; // the notes stay in the list
        }
        for (int8_t& held : st.arpHeld)
            if (held == note) held = 0;
        st.arpHeldCount -= 1;
        if (st.arpHeldCount < 1) {
            st.arpHeldCount = 0;
            st.arpKeysDown = 0;
            allArpNotesOff();
        }
    } else {
        if (st.optLowKeysPickPattern && note < 12 && !st.chordsOn) {
            setParameter(param::kPattern, (note % 12) / 12.0f);
            return;
        }
        st.arpKeysDown += 1;
        if (st.latchActive && st.arpKeysDown == 1) {
            // The first key after a latched chord starts a new one.
            for (int8_t& held : st.arpHeld) held = 0;
            st.arpHeldCount = 0;
            st.arpWalk = -1;
        }
        int notes = 0;
        int firstEmpty = -1;
        for (int i = 0; i < 8; ++i) {
            if (st.arpHeld[i] == note) return;
            if (st.arpHeld[i] != 0)
                ++notes;
            else if (firstEmpty < 0)
                firstEmpty = i;
        }
        if (notes >= 8 || firstEmpty < 0) return;
        st.arpHeld[firstEmpty] = static_cast<int8_t>(note);
        st.arpHeldCount = clampTo(st.arpHeldCount + 1, 0, 8);
        if (!st.latchActive) st.arpWalk = -1; // every new note restarts the walk
        if (currentPatternRecord().restartOnKey && st.arpHeldCount == 1) {
            st.stepCounter = -1;
            st.lastStep = -1;
            // Step 0 falls on the next sample.
            st.patternOrigin = beatPosAfter(st.clockSamples + 1);
        }
    }
    sortHeldNotes();
    if (!st.chordsOn) {
        uint8_t notes[8];
        for (int i = 0; i < 8; ++i)
            notes[i] = static_cast<uint8_t>(st.arpHeld[i] > 0 ? st.arpHeld[i] : 0);
        composeChordName(notes, ChordNameForm::kLong, st.heldChordName, &st.chordRoot);
        setParameter(param::kRefreshHeldName, 1.0f);
    }
}

void ZandEngine::sortHeldNotes() noexcept {
    // Ascending, empty slots last; each note keeps its companion value.
    for (int i = 1; i < 8; ++i) {
        const int8_t note = st.arpHeld[i];
        const uint32_t aux = st.arpHeldAux[i];
        int j = i;
        auto before = [](int8_t a, int8_t b) { return a != 0 && (b == 0 || a < b); };
        while (j > 0 && before(note, st.arpHeld[j - 1])) {
            st.arpHeld[j] = st.arpHeld[j - 1];
            st.arpHeldAux[j] = st.arpHeldAux[j - 1];
            --j;
        }
        st.arpHeld[j] = note;
        st.arpHeldAux[j] = aux;
    }
}

void ZandEngine::playStep() noexcept {
    const ArpPattern& p = currentPatternRecord();
    const int p0 = st.lanePos[kNoteLane] & 15;
    if (!p.stepOn[p0] || p.stepKind[p0] > 10) return; // off, or tied to the step before
    const int sel = clampTo(saturatingInt(p.rowValue[0][p0] * 16), 0, 16);
    if (sel < 1) return; // a rest
    const int n = clampTo(st.arpHeldCount, 0, 8);
    if (n < 1) return;
    // Notes from the chord memory are transposed already.
    int extra = st.chordsOn ? 0 : st.transpose - 24;
    const int spread = sixteenthsOf(laneValue(kSpreadLane)) - 8;
    int i;
    if (spread != 0) {
        const int direction = spread > 0 ? 1 : -1;
        const int reach = spread > 0 ? spread : -spread;
        i = (sel - 1) + direction * (random.next() % reach);
        if (i < 0) i += n;
        i = positiveMod(i, n);
        if (i == st.arpWalk) {
            i += direction;
            if (i < 0) i = n - 1;
            if (i >= n) i = 0;
        }
        st.arpWalk = i;
    } else {
        i = sel - 1;
        if (i < n) {
            st.arpWalk = i;
        } else if (i <= 7) {
            // A choice beyond the held notes wraps round, an octave up each time.
            while (i >= n) {
                i -= n;
                extra += 12;
            }
            st.arpWalk = i;
        } else {
            const int mode = clampTo(i - 8, 0, 7);
            const int divider = p.laneDivider[kNoteLane];
            if (p.stepKind[p0] > 1 &&
                (divider == 0 || positiveMod(st.lastStep, divider > 0 ? divider : 1) == 0))
                st.arpWalk = -1; // the walk restarts on this step
            const int cycle = walkCycle(mode, n);
            st.arpWalk = positiveMod(st.arpWalk + 1, cycle);
            i = walkIndex(mode, st.arpWalk, n);
        }
    }
    if (i < 0 || i >= n) return;
    if (!p.chordStep) {
        arpNotesOff(); // the previous step's notes end now
        playNote(i, extra);
        return;
    }
    // A chord step plays the whole chord, rotated to start at note i.
    for (int j = i; j < n; ++j) playNote(j, extra);
    for (int j = 0; j < i; ++j) playNote(j, extra + 12);
}

void ZandEngine::playNote(int index, int extra) noexcept {
    const int octave = (sixteenthsOf(laneValue(kOctaveLane)) - 8) * 12;
    int note = st.arpHeld[index & 7] + extra + octave;
    const int interval = positiveMod(positiveMod(note, 12) - clampTo(st.chordRoot, 0, 11), 12);
    if (currentPatternRecord().scaleDegreeOn[scaleDegree(interval)])
        note += shiftOf(laneValue(kScaleLane)) + st.scaleTranspose;
    if (note < 1 || note > 127) return;
    const int velocity = clampTo(saturatingInt(laneValue(kVelocityLane) * 127), 0, 127);
    sendArpEvent(kNoteOn, note, static_cast<uint8_t>(velocity), st.sampleInBlock, true);
    const int added = shiftOf(laneValue(kIntervalLane));
    if (added != 0 && note + added >= 1 && note + added <= 127)
        sendArpEvent(kNoteOn, note + added, static_cast<uint8_t>(velocity), st.sampleInBlock, true);
}

int32_t ZandEngine::arpNoteLength() const noexcept {
    const ArpPattern& p = currentPatternRecord();
    const int p0 = st.lanePos[kNoteLane] & 15;
    const int length0 = clampTo(p.laneLength[kNoteLane], 1, kStepCount);
    double m = 2.0;
    // Tied steps that follow lengthen the note by one step each.
    if (p0 + 1 < kStepCount && p.stepKind[p0 + 1] > 10) {
        for (int j = p0 + 1, n = 0; n < length0 && p.stepKind[j % length0] > 10; ++j, ++n) m += 2.0;
    }
    const double lengthValue = laneValue(kLengthLane);
    const double length = st.arpFreeRate
                              ? st.gate * st.freeStepSamples * m * lengthValue
                              : st.samplesPerBeat / p.stepsPerBeat * st.gate * m * lengthValue;
    return saturatingInt(length);
}

int ZandEngine::applyArpNoteRule(int note) const noexcept {
    return walkNoteRules(note, st.arpNoteRule);
}
