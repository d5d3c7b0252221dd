// The configuration file "ZandrelConfig.txt" in the presets folder: six
// bracketed numbers, read once and never written. Any text may stand around
// the brackets, and only the digits between a "[" and its "]" count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct Configuration {
    bool unusedSwitch = false;
    bool optCcEditsNotes = false;
    bool optLowKeysPickPattern = false;
    bool optRetriggerHeld = false;
    bool optPreviewSound = false;
    int32_t optEditorSize = 0;
};

constexpr const char* kConfigFileName = "ZandrelConfig.txt";

Configuration parseConfiguration(const uint8_t* text, size_t size);
// A missing or unreadable file gives the defaults.
Configuration readConfiguration(const std::string& path);

// The editor's scale from the configured size: value + 1, limited to 1..2.
int32_t editorScaleOfConfiguration(int32_t optEditorSize);
