#include "midi_import.h"

#include "midi_status.h"
#include "smf_bytes.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 14;
// Events start right behind the 8-byte track header, which is not examined.
constexpr size_t kFirstEvent = 22;

struct ChordGrouping {
    EngineState& state;
    int32_t destination;
    int voice = 0;
    int held = 0;
    int added = 0;
    bool noteOn[128] = {};

    // Closes the chord of the destination key; false when no key is left.
    bool finish() {
        for (int k = voice; k < kVoiceCount; ++k) state.chordNote[k][destination] = 0.0f;
        std::memset(noteOn, 0, sizeof noteOn);
        voice = held = added = 0;
        return ++destination < kKeyCount;
    }
    bool noteStarts(uint8_t n) {
        if (n >= 128 || held >= 8 || voice >= 8 || noteOn[n]) return true;
        state.chordNote[voice][destination] = n / 128.0f;
        noteOn[n] = true;
        ++voice;
        ++held;
        ++added;
        return held == 8 ? finish() : true;
    }
    bool noteEnds(uint8_t n) {
        if (n >= 128 || !noteOn[n]) return true;
        noteOn[n] = false;
        --held;
        return held == 0 ? finish() : true;
    }
};

bool headerAccepted(const uint8_t* f, size_t size, const DiagnosticSink& sink) {
    if (f == nullptr || size < kHeaderSize || f[0] != 'M' || f[1] != 'T') {
        logLine(sink, "\n invalid header for MIDI file");
        return false;
    }
    if (f[6] != 0 || f[7] != 6) {
        logLine(sink, "\n invalid header - not for Standard MIDI file");
        return false;
    }
    if (f[8] != 0 || f[9] != 0) {
        logLine(sink, "\n invalid header - not type 0 Standard MIDI file");
        return false;
    }
    if (f[10] != 0 || f[11] != 1) {
        logLine(sink, "\n invalid header - not a single-track MIDI file");
        return false;
    }
    return true;
}

} // namespace

MidiImportResult importMidiChords(EngineState& state, const uint8_t* file, size_t size,
                                  const DiagnosticSink& sink) {
    MidiImportResult result;
    if (!headerAccepted(file, size, sink)) return result;
    result.accepted = true;
    result.firstKey = state.currentKey > 127 ? 127 : state.currentKey;

    ChordGrouping chords{state, result.firstKey};
    SmfCursor r(file, size, kFirstEvent);
    uint8_t runningStatus = 0;
    // Parsing stops once the last byte is reached: no event fits in it.
    while (r.offset() + 1 < size) {
        uint32_t delta;
        if (!r.quantity(delta)) break;
        if (delta > 0 && chords.added > 0 && !chords.finish()) break;

        uint8_t status;
        if (!r.byte(status)) break;
        uint8_t data1 = 0;
        bool haveData1 = false;
        if (status >= 128) {
            runningStatus = status;
        } else {
            data1 = status;
            haveData1 = true;
            status = runningStatus;
        }
        auto firstData = [&](uint8_t& out) {
            if (haveData1) {
                out = data1;
                return true;
            }
            return r.byte(out);
        };

        const uint8_t kind = messageKind(status);
        bool more = true;
        if (status == 0xFF) {
            uint8_t type;
            uint32_t length;
            more = firstData(type) && r.quantity(length) && r.skip(length);
        } else if (status == 0xF0 || status == 0xF7) {
            // A data byte under a running sysex status is the length's first byte.
            uint32_t length = 0;
            if (haveData1) {
                length = data1;
            } else {
                more = r.quantity(length);
            }
            more = more && r.skip(length);
        } else if (kind == kNoteOn || kind == kNoteOff) {
            uint8_t note, velocity;
            more = firstData(note) && r.byte(velocity);
            if (more)
                more =
                    startsNote(status, velocity) ? chords.noteStarts(note) : chords.noteEnds(note);
        } else if (kind == 0xA0 || kind == 0xB0 || kind == 0xE0 || status == 0xF2) {
            uint8_t ignored;
            more = firstData(ignored) && r.byte(ignored);
        } else if (kind == 0xC0 || kind == 0xD0 || status == 0xF1 || status == 0xF3) {
            uint8_t ignored;
            more = firstData(ignored);
        }
        if (!more) break;
    }
    result.nextKey = chords.destination;
    return result;
}
