#include "text_entry_rule.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {
// The note a letter names in octave 0 of the displays (C 0 is note 24).
int noteOfLetter(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'C':
        return 24;
    case 'D':
        return 26;
    case 'E':
        return 28;
    case 'F':
        return 29;
    case 'G':
        return 31;
    case 'A':
        return 33;
    case 'B':
        return 35;
    default:
        return -1;
    }
}

int noteOfName(const std::string& text, int note) {
    bool negativeOctave = false;
    const size_t end = std::min<size_t>(text.size(), 4);
    for (size_t i = 1; i < end; ++i) {
        const char c = text[i];
        if (c == '-') {
            negativeOctave = true;
            if (i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2'))
                note -= 12 * (text[i + 1] - '0');
        } else if (c == '#') {
            note += 1;
        }
    }
    if (!negativeOctave)
        for (size_t i = 1; i < end; ++i)
            if (text[i] >= '0' && text[i] <= '8') note += 12 * (text[i] - '0');
    return note;
}
} // namespace

float typedValue(const std::string& text, TypedValueKind kind) {
    const double number = std::strtod(text.c_str(), nullptr);
    double value;
    if (text.find('%') != std::string::npos) {
        value = number * 0.01;
    } else if (kind == TypedValueKind::kNoteNumber) {
        const int letterNote = text.empty() ? -1 : noteOfLetter(text[0]);
        value = (letterNote >= 0 ? noteOfName(text, letterNote) : number) / 128.0;
    } else {
        value = number * 0.005;
    }
    return static_cast<float>(std::clamp(value, 0.0, 1.0));
}

std::string textEntryStart(std::string text, bool noteName) {
    if (const size_t paren = text.find('('); paren != std::string::npos) text.resize(paren);
    if (noteName && text.size() > 3)
        if (const size_t blank = text.find(' ', 3); blank != std::string::npos) text.resize(blank);
    return text;
}
