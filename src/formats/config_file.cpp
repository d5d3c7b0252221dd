#include "config_file.h"

#include "preset_file.h"

#include <vector>

Configuration parseConfiguration(const uint8_t* text, size_t size) {
    uint32_t values[6] = {};
    size_t pos = 0;
    for (uint32_t& value : values) {
        while (pos < size && text[pos] != '[') ++pos;
        if (pos >= size) break;
        ++pos;
        // Digits accumulate and wrap like the 32-bit number they become;
        // anything else inside the brackets is skipped.
        for (; pos < size && text[pos] != ']'; ++pos)
            if (text[pos] >= '0' && text[pos] <= '9') value = value * 10 + (text[pos] - '0');
    }
    Configuration c;
    c.unusedSwitch = values[0] != 0;
    c.optCcEditsNotes = values[1] != 0;
    c.optLowKeysPickPattern = values[2] != 0;
    c.optRetriggerHeld = values[3] != 0;
    c.optPreviewSound = values[4] != 0;
    c.optEditorSize = static_cast<int32_t>(values[5]);
    return c;
}

Configuration readConfiguration(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return {};
    return parseConfiguration(bytes.data(), bytes.size());
}

int32_t editorScaleOfConfiguration(int32_t optEditorSize) {
    const int64_t scale = static_cast<int64_t>(optEditorSize) + 1;
    return scale < 1 ? 1 : (scale > 2 ? 2 : static_cast<int32_t>(scale));
}
