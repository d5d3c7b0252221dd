// A key press: a printable character, or a virtual key for the keys that
// editing needs, with the modifier keys held.
#pragma once

#include <cstdint>

enum VirtualKey : uint8_t {
    VKEY_NONE = 0,
    VKEY_BACK,
    VKEY_TAB,
    VKEY_RETURN,
    VKEY_ESCAPE,
    VKEY_SPACE,
    VKEY_END,
    VKEY_HOME,
    VKEY_LEFT,
    VKEY_UP,
    VKEY_RIGHT,
    VKEY_DOWN,
    VKEY_DELETE,
    VKEY_ENTER,
};

enum KeyModifier : uint8_t {
    MODIFIER_SHIFT = 1,
    MODIFIER_ALTERNATE = 2,
    MODIFIER_CONTROL = 4,
};

struct VstKeyCode {
    int32_t character = 0; // the character typed, 0 for a virtual key
    uint8_t virt = VKEY_NONE;
    uint8_t modifier = 0;
};
