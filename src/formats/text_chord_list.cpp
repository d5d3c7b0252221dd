#include "text_chord_list.h"

#include "engine_state.h"
#include "parameter_indices.h"

#include <cstring>

namespace {

constexpr uint8_t kLineFeed = 10;

bool isBlank(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// The standard decimal-to-integer reading (leading blanks, an optional
// sign, digits up to the first other character), held within one line and
// saturating instead of overflowing. `next` receives where reading stopped.
int32_t readInteger(const uint8_t* p, const uint8_t* end, const uint8_t** next = nullptr) {
    while (p < end && isBlank(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    int64_t value = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (value < INT32_MAX) value = value * 10 + (*p - '0');
        ++p;
    }
    if (value > INT32_MAX) value = INT32_MAX;
    if (next) *next = p;
    return static_cast<int32_t>(negative ? -value : value);
}

void applyLine(EngineDoor& door, const uint8_t* line, const uint8_t* end) {
    const uint8_t* afterKey = line;
    const int32_t key = readInteger(line, end, &afterKey);
    int64_t notes[kVoiceCount];
    int count = 0;
    // Blanks before the key belong to the key, not to the offsets.
    const uint8_t* space = static_cast<const uint8_t*>(std::memchr(afterKey, ' ', end - afterKey));
    while (space != nullptr && count < kVoiceCount) {
        notes[count++] = static_cast<int64_t>(key) + readInteger(space + 1, end);
        space = static_cast<const uint8_t*>(std::memchr(space + 1, ' ', end - space - 1));
    }
    if (key < 0 || key >= kKeyCount) return;
    if (count < 2 && !(count == 1 && notes[0] != key)) return;
    door.setParameter(param::kCurrentKey, key * 0.0078125f);
    for (int i = 0; i < count; ++i)
        door.setParameter(param::kNoteNumFirst + i, static_cast<float>(notes[i] * 0.0078125));
}

} // namespace

bool isTextChordList(const uint8_t* file, size_t size) {
    return size >= 4 && std::memcmp(file, "Mode", 4) == 0;
}

void applyTextChordList(EngineDoor& door, const uint8_t* file, size_t size) {
    door.resetChordMemory();
    const uint8_t* end = file + size;
    const uint8_t* p = static_cast<const uint8_t*>(std::memchr(file, kLineFeed, size));
    if (p == nullptr) return;
    ++p;
    while (p < end) {
        const uint8_t* lineEnd = static_cast<const uint8_t*>(std::memchr(p, kLineFeed, end - p));
        if (lineEnd == nullptr) lineEnd = end;
        applyLine(door, p, lineEnd);
        p = lineEnd + 1;
    }
}
