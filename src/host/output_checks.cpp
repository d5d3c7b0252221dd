#include "output_checks.h"

#include "midi_status.h"

#include <cmath>
#include <sstream>

namespace {
std::string describe(const SentMidi& e, int32_t blockFrames) {
    std::ostringstream what;
    what << "event " << int(e.status) << ' ' << int(e.data1) << ' ' << int(e.data2) << " at frame "
         << e.deltaFrames << " of a block of " << blockFrames;
    return what.str();
}
} // namespace

std::string midiEventFault(const SentMidi& e, int32_t blockFrames) {
    if ((e.status & 0x80) == 0) return "no status byte: " + describe(e, blockFrames);
    // System exclusive does not fit a short message.
    if (e.status == 0xF0 || e.status == 0xF7) return "sysex status: " + describe(e, blockFrames);
    if (e.data1 > 127 || e.data2 > 127) return "data byte above 127: " + describe(e, blockFrames);
    if (e.deltaFrames < 0 || e.deltaFrames >= blockFrames)
        return "outside its block: " + describe(e, blockFrames);
    return {};
}

std::string vstEventFault(const PluginHost::ReceivedEvent& e) {
    if (e.type == kVstMidiType && e.byteSize == static_cast<int32_t>(sizeof(VstMidiEvent)))
        return {};
    std::ostringstream what;
    what << "event record of type " << e.type << " and byte size " << e.byteSize
         << " (a MIDI event is type 1 of 32 bytes)";
    return what.str();
}

SentMidi sentMidiOf(const PluginHost::ReceivedEvent& e) {
    return {e.deltaFrames, e.status, e.data1, e.data2};
}

std::string audioFault(const float* samples, int32_t frames, const AudioRules& rules) {
    for (int32_t i = 0; i < frames; ++i) {
        const float x = samples[i];
        const char* fault = nullptr;
        if (!std::isfinite(x))
            fault = "not finite";
        else if (std::fabs(x) > rules.bound)
            fault = "out of bounds";
        else if (!rules.subnormalsAllowed && std::fpclassify(x) == FP_SUBNORMAL)
            fault = "subnormal";
        if (!fault) continue;
        std::ostringstream what;
        what << "audio sample " << i << " of " << frames << " " << fault << ": " << x;
        return what.str();
    }
    return {};
}

void NoteLedger::take(uint8_t status, uint8_t note, uint8_t velocity) {
    if (!isNoteMessage(status) || note > 127) return;
    int& sounding = count[status & 15][note];
    const bool on = startsNote(status, velocity);
    if (on)
        ++sounding;
    else if (sounding > 0)
        --sounding;
    released[status & 15][note] = !on;
}

int NoteLedger::firstHangingChannel() const {
    for (int c = 0; c < 16; ++c)
        for (int n = 0; n < 128; ++n)
            if (count[c][n] > 0) return c + 1;
    return 0;
}

std::vector<NoteLedger::Hanging> NoteLedger::hangingNotes() const {
    std::vector<Hanging> notes;
    for (int c = 0; c < 16; ++c)
        for (int n = 0; n < 128; ++n)
            if (count[c][n] > 0) notes.push_back({c + 1, n, count[c][n], released[c][n]});
    return notes;
}

std::string NoteLedger::hanging() const {
    std::ostringstream out;
    for (const Hanging& h : hangingNotes())
        out << " ch" << h.channel << ":" << h.note << "x" << h.count;
    return out.str();
}
