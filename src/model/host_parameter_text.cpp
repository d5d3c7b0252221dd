#include "host_parameter_text.h"

#include "arp_rates.h"
#include "numeric.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void put(char* text, size_t size, const char* value) {
    std::snprintf(text, size, "%s", value);
}

// Hertz with two decimals and a decimal point under every locale.
void putHz(char* text, size_t size, double hz) {
    char digits[400]; // room for the largest double
    const char* end =
        std::to_chars(digits, digits + sizeof digits, hz, std::chars_format::fixed, 2).ptr;
    std::snprintf(text, size, "%.*s Hz", static_cast<int>(end - digits), digits);
}

std::string trimmedLower(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && s.back() == ' ') s.pop_back();
    size_t first = 0;
    while (first < s.size() && s[first] == ' ') ++first;
    s.erase(0, first);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The text without a unit after it ("30 %", "27.5 Hz").
std::string withoutUnit(std::string s, const char* unit) {
    const size_t n = std::strlen(unit);
    if (s.size() >= n && s.compare(s.size() - n, n, unit) == 0) s.resize(s.size() - n);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

bool number(const std::string& s, double* out) {
    if (s.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    while (end && *end == ' ') ++end;
    if (!end || *end != '\0' || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

// The value standing for each step of a stepped parameter, as the engine
// reads it back to that step.
float stepValue(const HostParameter& p, int step) {
    switch (p.display) {
    case DisplayRule::kSemitones:
        return transposeParameterValue(step);
    case DisplayRule::kPatternLetter:
        return static_cast<float>(step) / 12.0f;
    case DisplayRule::kNoteRule:
        return static_cast<float>(step) / 3.0f;
    case DisplayRule::kRate:
        return static_cast<float>(step) / 42.0f;
    default:
        return step == 0 ? 0.0f : 1.0f;
    }
}

} // namespace

bool hostParameterText(const HostParameter& p, float value, bool freeRate, char* text,
                       size_t size) {
    if (!text || size == 0) return false;
    static const char* const kRuleTexts[4] = {"  ", "MUTED", " -1 ", " +1 "};
    switch (p.display) {
    case DisplayRule::kSemitones:
        std::snprintf(text, size, "%3i",
                      clampTo(transposeStepOfValue(unitValue(value)), 0, 48) - 24);
        return true;
    case DisplayRule::kPercentOf100:
        std::snprintf(text, size, "%3i", saturatingInt(unitValue(value) * 100 + 0.5));
        return true;
    case DisplayRule::kPercentOf200:
        std::snprintf(text, size, "%3i", saturatingInt(unitValue(value) * 200 + 0.5));
        return true;
    case DisplayRule::kPatternLetter: {
        const char letter[2] = {
            static_cast<char>('A' + clampTo(saturatingInt(value * 12 + 0.5), 0, 11)), 0};
        put(text, size, letter);
        return true;
    }
    case DisplayRule::kNoteRule:
        put(text, size, kRuleTexts[clampTo(saturatingInt(value * 3 + 0.5), 0, 3)]);
        return true;
    case DisplayRule::kRate:
        if (freeRate)
            putHz(text, size, freeRateHz(value));
        else
            std::snprintf(text, size, " %s", rateName(rateIndexOf(value)));
        return true;
    case DisplayRule::kOnOff:
        put(text, size, value != 0.0f ? "ON" : "OFF");
        return true;
    case DisplayRule::kNone:
        return false;
    }
    return false;
}

bool hostParameterValueOfText(const HostParameter& p, const char* text, bool freeRate,
                              float* value) {
    if (!value) return false;
    const std::string typed = trimmedLower(text);
    double n = 0.0;
    switch (p.display) {
    case DisplayRule::kSemitones:
        if (!number(typed, &n) || n < -24.0 || n > 24.0) return false;
        *value = transposeParameterValue(static_cast<int>(std::lround(n)) + 24);
        return true;
    case DisplayRule::kPercentOf100:
    case DisplayRule::kPercentOf200: {
        const double full = p.display == DisplayRule::kPercentOf100 ? 100.0 : 200.0;
        if (!number(withoutUnit(typed, "%"), &n) || n < 0.0 || n > full) return false;
        *value = static_cast<float>(n / full);
        return true;
    }
    case DisplayRule::kRate:
        if (freeRate) {
            if (!number(withoutUnit(typed, "hz"), &n) || n < 0.0 || n > 440.0) return false;
            *value = static_cast<float>(std::pow(n / 440.0, 0.25));
            return true;
        }
        break;
    case DisplayRule::kNone:
        return false;
    default:
        break;
    }
    // The named steps: the first whose text matches.
    for (int step = 0; step < p.steps; ++step) {
        char shown[64];
        const float candidate = stepValue(p, step);
        if (hostParameterText(p, candidate, freeRate, shown, sizeof shown) &&
            trimmedLower(shown) == typed) {
            *value = candidate;
            return true;
        }
    }
    return false;
}
