// Names, labels and display texts of the parameters.
#include "arp_rates.h"
#include "host_parameters.h"
#include "note_names.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_engine.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {
// Hosts give at least 8 bytes and in practice 64 or more; never more than 24.
constexpr size_t kTextMax = 24;

void put(char* text, const char* value) {
    std::snprintf(text, kTextMax, "%s", value);
}
} // namespace

void ZandEngine::getParameterName(int32_t index, char* text) const {
    const HostParameter* p = hostParameter(index);
    put(text, p ? p->name : "unknown");
}

void ZandEngine::getParameterLabel(int32_t index, char* text) const {
    const HostParameter* p = hostParameter(index);
    put(text, p ? p->label : "  ");
}

void ZandEngine::rateDisplay(int pattern, char* text) const {
    const float rate = st.patterns[pattern].rate;
    if (st.arpFreeRate) {
        // A point whatever the host's LC_NUMERIC: printf would follow it.
        // Room for any double (a damaged state may hold a huge rate); the
        // text is cut to the display's length below.
        char number[400];
        const auto written = std::to_chars(number, number + sizeof number - 1, freeRateHz(rate),
                                           std::chars_format::fixed, 2);
        *(written.ec == std::errc() ? written.ptr : number) = 0;
        std::snprintf(text, kTextMax, "%s Hz", number);
    } else
        std::snprintf(text, kTextMax, " %s", rateName(rateIndexOf(rate)));
}

void ZandEngine::getParameterDisplay(int32_t index, char* text) const {
    if (const HostParameter* p = hostParameter(index)) return hostParameterDisplay(*p, text);
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
    if (index == param::kCurrentRate) rateDisplay(currentPatternIndex(), text);
    // Any other index: the text stays as it was.
}

void ZandEngine::hostParameterDisplay(const HostParameter& p, char* text) const {
    static const char* const kRuleTexts[4] = {"  ", "MUTED", " -1 ", " +1 "};
    switch (p.display) {
    case DisplayRule::kSemitones:
        std::snprintf(text, kTextMax, "%3i", st.transpose - 24);
        break;
    case DisplayRule::kPercentOf100:
        std::snprintf(text, kTextMax, "%3i", saturatingInt(st.swing * 100 + 0.5));
        break;
    case DisplayRule::kPercentOf200:
        std::snprintf(text, kTextMax, "%3i", saturatingInt(st.gate * 200 + 0.5));
        break;
    case DisplayRule::kPatternLetter: {
        const char letter[2] = {static_cast<char>('A' + clampTo(st.currentPattern, 0, 11)), 0};
        put(text, letter);
        break;
    }
    case DisplayRule::kNoteRule:
        put(text, kRuleTexts[st.arpNoteRule[p.index - param::kArpNoteRuleFirst] & 3]);
        break;
    case DisplayRule::kRate:
        rateDisplay(p.index - param::kRateFirst, text);
        break;
    case DisplayRule::kOnOff:
        put(text, getParameter(p.index) != 0.0f ? "ON" : "OFF");
        break;
    case DisplayRule::kNone:
        break; // the text stays as it was
    }
}
