// Names, labels and display texts of the parameters.
#include "host_parameter_text.h"
#include "host_parameters.h"
#include "note_names.h"
#include "numeric.h"
#include "parameter_indices.h"
#include "zand_engine.h"

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
    hostParameterText(kHostParameters[param::kRateFirst + pattern], st.patterns[pattern].rate,
                      st.arpFreeRate != 0, text, kTextMax);
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
    // The text the value the host reads back stands for; a parameter
    // without a text (the free-rate switch) leaves it as it was.
    hostParameterText(p, getParameter(p.index), st.arpFreeRate != 0, text, kTextMax);
}
