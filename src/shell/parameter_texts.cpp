// Names, labels and display texts of the parameters.
#include "arp_rates.h"
#include "note_names.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_dsp.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
// Hosts give at least 8 bytes and in practice 64 or more; never more than 24.
constexpr size_t kTextMax = 24;

const char* const kHostParameterNames[32] = {
    "Transpos",  "Swing ",    "Gate",      "Pattern",    "Arp_No C ", "Arp_No C#", "Arp_No D ",
    "Arp_No D#", "Arp_No E ", "Arp_No F ", "Arp_No F#",  "Arp_No G ", "Arp_No G#", "Arp_No A ",
    "Arp_No A#", "Arp_No B ", "Chords ON", "Arp ON",     "Rate P01",  "Rate P02",  "Rate P03",
    "Rate P04",  "Rate P05",  "Rate P06",  "Rate P07",   "Rate P08",  "Rate P09",  "Rate P10",
    "Rate P11",  "Rate P12",  "MIDILatch", "ArpFreeRate"};

void put(char* text, const char* value) {
    std::snprintf(text, kTextMax, "%s", value);
}
} // namespace

void ZandDSP::getParameterName(int32_t index, char* text) {
    put(text,
        index >= 0 && index < param::kHostParameterCount ? kHostParameterNames[index] : "unknown");
}

void ZandDSP::getParameterLabel(int32_t index, char* text) {
    put(text, index == param::kSwing || index == param::kGate ? "%" : "  ");
}

void ZandDSP::rateDisplay(int pattern, char* text) const {
    const float rate = st.patterns[pattern].rate;
    if (st.arpFreeRate) {
        // The same text under every locale a host may set (printf would
        // write a decimal comma under de_DE); room for the largest double.
        char hz[400];
        char* end =
            std::to_chars(hz, hz + sizeof hz, freeRateHz(rate), std::chars_format::fixed, 2).ptr;
        put(text, (std::string(hz, end) + " Hz").c_str());
    } else
        std::snprintf(text, kTextMax, " %s", rateName(rateIndexOf(rate)));
}

void ZandDSP::getParameterDisplay(int32_t index, char* text) {
    static const char* const kRuleTexts[4] = {"  ", "MUTED", " -1 ", " +1 "};
    if (index >= param::kArpNoteRuleFirst && index < param::kArpNoteRuleFirst + 12)
        return put(text, kRuleTexts[st.arpNoteRule[index - param::kArpNoteRuleFirst] & 3]);
    if (index >= param::kRateFirst && index < param::kRateFirst + kPatternCount)
        return rateDisplay(index - param::kRateFirst, text);
    if (index >= param::kNoteNumFirst && index < param::kNoteNumFirst + kVoiceCount) {
        const int k = index - param::kNoteNumFirst;
        const int n = noteOfValue(st.chordNote[k][st.voiceKey[k] & 127]);
        if (n <= 0 || n > 127) return put(text, " - ");
        return noteNameText(n, text);
    }
    if (index >= param::kNoteVelFirst && index < param::kNoteVelFirst + kVoiceCount) {
        const int k = index - param::kNoteVelFirst;
        std::snprintf(text, kTextMax, "%3i",
                      saturatingInt(st.chordVel[k][st.voiceKey[k] & 127] * 200 + 0.5));
        return;
    }
    if (index >= param::kLockFirst && index < param::kLockFirst + kVoiceCount)
        return put(text, st.voiceLock[index - param::kLockFirst] ? "Locked" : "Unlocked");
    switch (index) {
    case param::kTranspose:
        std::snprintf(text, kTextMax, "%3i", st.transpose - 24);
        break;
    case param::kSwing:
        std::snprintf(text, kTextMax, "%3i", saturatingInt(st.swing * 100 + 0.5));
        break;
    case param::kGate:
        std::snprintf(text, kTextMax, "%3i", saturatingInt(st.gate * 200 + 0.5));
        break;
    case param::kPattern: {
        const char letter[2] = {static_cast<char>('A' + clampTo(st.currentPattern, 0, 11)), 0};
        put(text, letter);
        break;
    }
    case param::kChordsOn:
        put(text, st.chordsOn ? "ON" : "OFF");
        break;
    case param::kArpOn:
        put(text, st.arpOn ? "ON" : "OFF");
        break;
    case param::kMidiLatch:
        put(text, st.midiLatch ? "ON" : "OFF");
        break;
    case param::kCurrentRate:
        rateDisplay(currentPatternIndex(), text);
        break;
    default:
        break; // the text stays as it was
    }
}
